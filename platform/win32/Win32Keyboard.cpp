#include "Win32Keyboard.h"

#include "Win32Api.h"

namespace vornik {

int16_t Win32Keyboard::query(int vk) {
    const auto state = static_cast<int16_t>(GetAsyncKeyState(vk));
    if ((state & 1) != 0)
        m_pressed[static_cast<std::size_t>(vk)] = true;
    return state;
}

int16_t Win32Keyboard::asyncKeyState(int vk) {
    if (vk < 0 || vk > 255)
        return 0;
    // Only the top bit says "down"; the lowest bit says "pressed since the previous query", which a key
    // that is up again must not count as here.
    return static_cast<int16_t>(query(vk) & 0x8000);
}

bool Win32Keyboard::pressedSinceLastQuery(int vk) {
    if (vk < 0 || vk > 255)
        return false;
    const bool down = (query(vk) & 0x8000) != 0;
    const bool pressed = m_pressed[static_cast<std::size_t>(vk)];
    m_pressed[static_cast<std::size_t>(vk)] = false;
    return down || pressed;
}

} // namespace vornik
