#include "Win32Keyboard.h"

#include "Win32Api.h"

namespace vornik {

static_assert(kKeyEventExtendedKey == KEYEVENTF_EXTENDEDKEY && kKeyEventKeyUp == KEYEVENTF_KEYUP,
              "the engine's action codes are the event flags");

// Every key goes down as its extended form. The key-up names the same form: the system keeps the two
// forms of a key apart (right and left Control, Alt and Shift; the grey and the keypad Enter, arrows and
// editing keys), so a plain key-up would leave the extended key down, in the key state and in every
// program that reads scan codes.
void Win32Keyboard::keyEvent(uint8_t vk, uint32_t flags) {
    if ((flags & kKeyEventKeyUp) != 0) {
        keybd_event(vk, 0, KEYEVENTF_KEYUP | KEYEVENTF_EXTENDEDKEY, 0);
        m_heldByUs[vk] = false;
    } else {
        keybd_event(vk, 0, KEYEVENTF_EXTENDEDKEY, 0);
        m_heldByUs[vk] = true;
    }
}

int16_t Win32Keyboard::asyncKeyState(int vk) {
    if (vk < 0 || vk > 255)
        return 0;
    // Only the top bit says "down"; the lowest bit says "pressed since the previous query", which a key
    // that is up again must not count as.
    return static_cast<int16_t>(GetAsyncKeyState(vk) & 0x8000);
}

void Win32Keyboard::releaseAll() {
    for (int vk = 0; vk < 256; ++vk) {
        if (m_heldByUs[static_cast<std::size_t>(vk)])
            keyEvent(static_cast<uint8_t>(vk), kKeyEventKeyUp);
    }
}

bool Win32Keyboard::holdsKeys() const {
    for (bool held : m_heldByUs) {
        if (held)
            return true;
    }
    return false;
}

} // namespace vornik
