#include "HeldOutput.h"

#include <algorithm>

namespace vornik {

bool HeldOutput::pressKey(uint8_t vk, Owner owner) {
    const std::optional<uint32_t> native = m_output.keyDown(vk);
    if (!native)
        return false;
    const SentKey key{vk, *native};
    // A keymap change between two presses of one code holds two keys; each is recorded.
    const auto held = std::find_if(m_keys.begin(), m_keys.end(),
                                   [&](const Held& h) { return h.key == key && h.owner == owner; });
    if (held != m_keys.end())
        ++held->presses;
    else
        m_keys.push_back({key, owner, 1});
    return true;
}

bool HeldOutput::holdKey(uint8_t vk, Owner owner) {
    if (holdsKey(vk, owner))
        return true;
    const auto other = std::find_if(m_keys.begin(), m_keys.end(), [vk](const Held& h) { return h.key.vk == vk; });
    if (other == m_keys.end())
        return pressKey(vk, owner);
    m_keys.push_back({other->key, owner, 1});
    return true;
}

bool HeldOutput::heldByAnother(const SentKey& key, Owner owner) const {
    return std::any_of(m_keys.begin(), m_keys.end(),
                       [&](const Held& h) { return h.key == key && !(h.owner == owner) && h.presses > 0; });
}

void HeldOutput::releaseKey(uint8_t vk, Owner owner) {
    releaseKeys(owner, vk);
}

void HeldOutput::releaseKeys(Owner owner, std::optional<uint8_t> vk) {
    std::vector<SentKey> released;
    for (Held& held : m_keys) {
        if (!(held.owner == owner) || (vk && held.key.vk != *vk))
            continue;
        held.presses = vk ? held.presses - 1 : 0;
        if (!heldByAnother(held.key, owner))
            released.push_back(held.key);
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

bool HeldOutput::holdsKey(uint8_t vk, Owner owner) const {
    return std::any_of(m_keys.begin(), m_keys.end(),
                       [&](const Held& held) { return held.key.vk == vk && held.owner == owner; });
}

bool HeldOutput::pressButton(PointerButton button, Owner owner) {
    std::vector<Owner>& holders = m_buttons[index(button)];
    if (std::find(holders.begin(), holders.end(), owner) != holders.end())
        return true;
    if (holders.empty() && (!m_output.canPoint() || !m_output.pointerButton(button, true)))
        return false;
    holders.push_back(owner);
    return true;
}

void HeldOutput::releaseButton(PointerButton button, Owner owner) {
    std::vector<Owner>& holders = m_buttons[index(button)];
    const auto held = std::find(holders.begin(), holders.end(), owner);
    if (held == holders.end())
        return;
    holders.erase(held);
    if (holders.empty())
        m_output.pointerButton(button, false);
}

void HeldOutput::releaseOwner(Owner owner) {
    releaseKeys(owner, std::nullopt);
    for (int b = 0; b < kPointerButtonCount; ++b)
        releaseButton(static_cast<PointerButton>(b), owner);
}

void HeldOutput::releaseAll() {
    if (!holdsAnything())
        return;
    std::vector<Held> keys;
    keys.swap(m_keys);
    std::stable_sort(keys.begin(), keys.end(), [](const Held& a, const Held& b) { return a.key.vk < b.key.vk; });
    // One key-up lets go of a key however often, and by however many owners, it went down.
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const bool seen = std::any_of(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(i),
                                      [&](const Held& h) { return h.key == keys[i].key; });
        if (!seen)
            m_output.keyUp(keys[i].key);
    }
    for (int b = 0; b < kPointerButtonCount; ++b) {
        std::vector<Owner>& holders = m_buttons[static_cast<std::size_t>(b)];
        if (holders.empty())
            continue;
        holders.clear();
        m_output.pointerButton(static_cast<PointerButton>(b), false);
    }
    m_output.flush();
}

bool HeldOutput::holdsAnything() const {
    return !m_keys.empty() ||
           std::any_of(m_buttons.begin(), m_buttons.end(), [](const std::vector<Owner>& h) { return !h.empty(); });
}

} // namespace vornik
