#pragma once

#include "Joysticks.h"

#include <array>
#include <memory>

namespace vornik {

struct XInputCalls;

// Joysticks through the multimedia joystick interface (winmm): joyGetDevCapsA and joyGetPosEx; a
// joystick's name is its product's, from the system's game controller settings, where they hold one.
// Both return the system's own result code: 0 (JOYERR_NOERROR) or a JOYERR_/MMSYSERR_ value. On an
// error the record passed in is left as it was. A joystick plugged in again usually comes back under
// its old id, and is then read under it as before.
// Pads that speak XInput (Xbox-style pads) are read through XInput instead, numbered as winmm
// numbers them, so a profile means the same whichever way the pad is read: the n-th such winmm
// joystick is the n-th XInput pad connected.
class Win32Joysticks : public Joysticks {
public:
    Win32Joysticks();
    // With XInput's calls of the caller's own, for tests.
    explicit Win32Joysticks(const XInputCalls& xinput);
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
        bool xinput = false;            // an XInput pad
        bool rightStick = false;        // a winmm pad whose Z and R axes are its right stick
        uint32_t zMin = 0, zMax = 0, rMin = 0, rMax = 0;
    };
    // The XInput user slot of id `id`, an XInput pad: the n-th XInput pad among the ids is the n-th
    // slot connected. -1 when no slot answers for it.
    int xinputUser(uint32_t id) const;

    std::array<Device, 32> m_devices{};
    std::unique_ptr<XInputCalls> m_xinput;
};

} // namespace vornik
