#pragma once

#include "Keyboard.h"

#include <array>

namespace vornik {

// Key events through keybd_event into the system-wide input stream, key state from GetAsyncKeyState.
// Remembers which keys it pressed and has not released, so that every exit path can let go of them.
class Win32Keyboard : public Keyboard {
public:
    // Scan code 0 and KEYEVENTF_EXTENDEDKEY on every key-down, extended key or not; KEYEVENTF_KEYUP on
    // every key-up, with the extended flag as well so that it releases the key the key-down pressed.
    void keyEvent(uint8_t vk, uint32_t flags) override;
    // The "down" bit of GetAsyncKeyState (0x8000 or 0); 0 for codes outside 0..255.
    int16_t asyncKeyState(int vk) override;
    // Key-ups, in ascending code order, for the keys this backend still holds down.
    void releaseAll() override;
    bool holdsKeys() const override;

    bool heldByUs(uint8_t vk) const { return m_heldByUs[vk]; }

private:
    std::array<bool, 256> m_heldByUs{};
};

} // namespace vornik
