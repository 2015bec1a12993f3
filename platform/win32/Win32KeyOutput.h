#pragma once

#include "Output.h"

namespace vornik {

// Key and pointer events through SendInput into the system-wide input stream. A key goes with its
// scan code as well as its virtual-key code, since games that read the keyboard through DirectInput
// or Raw Input see only the scan code, and with KEYEVENTF_EXTENDEDKEY exactly when the key's scan
// code is an extended (E0) one. Pointer moves go to absolute positions, which the system does not
// accelerate.
class Win32KeyOutput : public Output {
public:
    enum class Keys {
        VirtualAndScan, // the virtual key and its scan code: what a keyboard driver sends
        ScanCodesOnly,  // KEYEVENTF_SCANCODE: the system derives the virtual key from the scan code
    };
    explicit Win32KeyOutput(Keys keys = Keys::VirtualAndScan) : m_keys(keys) {}

    // The native code carries what the key-up must repeat: bits 0..7 the virtual key, 8..15 the scan
    // code, bit 16 the extended flag, bit 17 whether it went by scan code alone. Nothing is sent in
    // ScanCodesOnly for a key with no scan code. Nothing when SendInput sent nothing (a target the
    // system keeps input from), so that the key is not recorded as held.
    std::optional<uint32_t> keyDown(uint8_t vk) override;
    // The same virtual key, scan code and flags as the key-down, with KEYEVENTF_KEYUP, whichever
    // form this output sends in now.
    void keyUp(const SentKey& key) override;
    bool canPoint() const override { return true; }
    bool pointerButton(PointerButton button, bool down) override;
    void pointerMotion(int dx, int dy) override;
    void wheel(int steps, bool horizontal) override;

private:
    Keys m_keys;
};

// The native code of virtual key `vk` as the keyboard layout in force gives it: its scan code and
// whether that is an extended one. Exposed for the backend's console test.
uint32_t win32KeyCode(uint8_t vk);
constexpr uint8_t win32KeyVk(uint32_t native) {
    return static_cast<uint8_t>(native & 0xFF);
}
constexpr uint8_t win32KeyScan(uint32_t native) {
    return static_cast<uint8_t>((native >> 8) & 0xFF);
}
constexpr bool win32KeyExtended(uint32_t native) {
    return (native & 0x10000) != 0;
}

} // namespace vornik
