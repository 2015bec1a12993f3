#include "HeldOutput.h"

#include <algorithm>

namespace vornik {

void HeldOutput::pressKey(uint8_t vk) {
    const std::optional<uint32_t> native = m_output.keyDown(vk);
    if (!native)
        return;
    const SentKey key{vk, *native};
    // A keymap change between two presses of one code holds two keys; each is recorded.
    const auto held = std::find_if(m_keys.begin(), m_keys.end(), [&](const Held& h) { return h.key == key; });
    if (held != m_keys.end())
        ++held->presses;
    else
        m_keys.push_back({key, 1});
}

void HeldOutput::releaseKey(uint8_t vk) {
    std::vector<SentKey> released;
    for (Held& held : m_keys) {
        if (held.key.vk == vk) {
            released.push_back(held.key);
            --held.presses;
        }
    }
    // Out of the record before the key-up goes, so nothing can release it twice.
    m_keys.erase(std::remove_if(m_keys.begin(), m_keys.end(), [](const Held& h) { return h.presses <= 0; }),
                 m_keys.end());
    for (const SentKey& key : released)
        m_output.keyUp(key);
}

bool HeldOutput::holdsKey(uint8_t vk) const {
    return std::any_of(m_keys.begin(), m_keys.end(), [vk](const Held& held) { return held.key.vk == vk; });
}

void HeldOutput::pressButton(PointerButton button) {
    if (holdsButton(button) || !m_output.canPoint())
        return;
    m_output.pointerButton(button, true);
    m_buttons[index(button)] = true;
}

void HeldOutput::releaseButton(PointerButton button) {
    if (!holdsButton(button))
        return;
    m_buttons[index(button)] = false;
    m_output.pointerButton(button, false);
}

void HeldOutput::releaseAll() {
    if (!holdsAnything())
        return;
    std::vector<Held> keys;
    keys.swap(m_keys);
    std::stable_sort(keys.begin(), keys.end(), [](const Held& a, const Held& b) { return a.key.vk < b.key.vk; });
    // One key-up lets go of a key however often it went down.
    for (const Held& held : keys)
        m_output.keyUp(held.key);
    for (int b = 0; b < kPointerButtonCount; ++b)
        releaseButton(static_cast<PointerButton>(b));
    m_output.flush();
}

bool HeldOutput::holdsAnything() const {
    return !m_keys.empty() || std::any_of(m_buttons.begin(), m_buttons.end(), [](bool held) { return held; });
}

} // namespace vornik
