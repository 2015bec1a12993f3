#pragma once

#include "Output.h"

namespace vornik {

// Key events through keybd_event into the system-wide input stream, and pointer events through
// SendInput (moves to absolute positions, which the system does not accelerate). A key's native code
// is its virtual-key code.
class Win32KeyOutput : public Output {
public:
    // Scan code 0 and KEYEVENTF_EXTENDEDKEY on every key-down, extended key or not.
    std::optional<uint32_t> keyDown(uint8_t vk) override;
    // KEYEVENTF_KEYUP, with the extended flag as well so that it releases the key the key-down pressed.
    void keyUp(const SentKey& key) override;
    bool canPoint() const override { return true; }
    void pointerButton(PointerButton button, bool down) override;
    void pointerMotion(int dx, int dy) override;
    void wheel(int steps, bool horizontal) override;
};

} // namespace vornik
