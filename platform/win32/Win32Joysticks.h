#pragma once

#include "Joysticks.h"
#include "WinmmAxes.h"
#include "XInputSlots.h"

#include <array>
#include <memory>

namespace vornik {

struct Win32JoystickCalls;

// Joysticks through the multimedia joystick interface (winmm): joyGetDevCapsA and joyGetPosEx; a
// joystick's name is its product's, from the system's game controller settings, where they hold one.
// Both return the system's own result code: 0 (JOYERR_NOERROR) or a JOYERR_/MMSYSERR_ value. On an
// error the record passed in is left as it was. A joystick plugged in again usually comes back under
// its old id, and is then read under it as before.
// Pads that speak XInput (Xbox-style pads) are read through XInput instead, their buttons numbered
// as winmm numbers them, so a profile means the same whichever way the pad is read. Each such
// joystick is bound to its XInput slot once (XInputSlots), and is lost when that pad goes: it never
// reads another pad.
// A pad read through winmm has the right stick where its Z and R axes rest in the middle, and its
// triggers where two axes (U and V, or Z and R) rest at one end; an Xbox-style pad winmm reads (no
// XInput slot for it) gives both triggers on one Z axis, the left above the middle, the right below.
class Win32Joysticks : public Joysticks {
public:
    Win32Joysticks();
    // With winmm's and XInput's calls of the caller's own, for tests.
    explicit Win32Joysticks(const Win32JoystickCalls& calls);
    ~Win32Joysticks() override;
    Win32Joysticks(const Win32Joysticks&) = delete;
    Win32Joysticks& operator=(const Win32Joysticks&) = delete;
    uint32_t getDevCaps(uint32_t id, JoyCapsRecord& caps) override;
    uint32_t getPosEx(uint32_t id, JoyReading& reading) override;
    // winmm announces nothing: the pads are read every 4 ms between ticks while that can press a key.
    uint32_t pollInterval() override { return 4; }

    // Pads plugged in or out: the system broadcasts WM_DEVICECHANGE to every top-level window, here
    // a hidden one of this backend's (a message-only window gets no broadcasts), whose messages the
    // main thread's message loop dispatches. winmm takes a moment to list a new pad, so after each
    // announcement the pads are looked for at once and then once a second for kSettleMs.
    static constexpr uint32_t kSettleMs = 3000;
    bool devicesAnnounced() override { return m_deviceWindow != nullptr; }
    bool deviceChangesWaiting() override { return m_settling; }
    bool takeDeviceChanges() override;
    // What the window does with WM_DEVICECHANGE: the configuration is reloaded, and the looks begin.
    void deviceChangeAnnounced();
    // The hidden window (an HWND), null when it could not be made.
    void* deviceWindow() const { return m_deviceWindow; }

private:
    void watchDevices();
    void unwatchDevices();

    void* m_deviceWindow = nullptr;
    bool m_settling = false;
    uint32_t m_announcedAt = 0; // GetTickCount of the last announcement
    uint32_t m_nextLook = 0;    // GetTickCount of the next look while settling

    // By id, from its last capability query.
    struct Device {
        bool hasPov = false;
        bool xinput = false; // an XInput pad, read through its slot
        WinmmAxes axes;         // a winmm pad's right stick and triggers
        WinmmAxisRanges ranges; // and its Z, R, U and V
        uint32_t faceButtons = 0; // an XInput pad's, when last read
        uint32_t product = 0;     // its maker and product, where winmm says
        bool slotWanted = false;  // an XInput pad XInput has not listed yet
        uint32_t wantedSince = 0; // GetTickCount of its capability query
    };
    // What XInput says of its slots now; with the pads' products only when `products`.
    XInputSlots::Users xinputUsers(bool products) const;
    // An XInput pad's reading from its own slot; false when that pad has gone.
    bool readXInput(uint32_t id, JoyReading& reading);
    bool readSlot(uint32_t id, JoyReading& reading);
    // Pairs the XInput pads anew by a press (XInputSlots::confirmPress) on each, as winmm reads them;
    // whether any changed slots.
    bool pairPresses();

    std::array<Device, 32> m_devices{};
    std::unique_ptr<Win32JoystickCalls> m_calls;
    XInputSlots m_slots;
};

} // namespace vornik
