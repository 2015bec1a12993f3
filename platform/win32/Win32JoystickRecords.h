#pragma once

// The system's joystick records as the program sees them. Includes <windows.h>: for the backend's
// .cpp files and its console test only.

#include "Joysticks.h"
#include "Win32Api.h"

namespace vornik {

// The ranges, the button count and the name (from the system's code page to UTF-8).
JoyCapsRecord capsFromSystem(const JOYCAPSA& system);
// The product name of joystick `id` as the system's game controller settings record it (the OEM name
// of the device its driver `regKey` has under that id, as JOYCAPS::szRegKey names it), in UTF-8;
// empty when there is none. The driver's own name (szPname) is often only "Microsoft PC-joystick
// driver".
std::string joystickProductName(uint32_t id, const char* regKey);
// Whether the joystick has a point-of-view hat.
bool capsHavePov(const JOYCAPSA& system);
// The axes, the buttons and, on a joystick with a hat, its position; kPovCentred without one, so
// that whatever the driver leaves in dwPOV never reads as a direction.
JoyReading readingFromSystem(const JOYINFOEX& info, bool hasPov);
// A position on the range lo..hi as 0..65535.
uint32_t onFullRange(uint32_t position, uint32_t lo, uint32_t hi);

// XInputGetCapabilitiesEx's record: XInput's capabilities, then the pad's maker and product.
struct XInputCapabilitiesEx {
    XINPUT_CAPABILITIES capabilities;
    WORD vendorId;
    WORD productId;
    WORD versionNumber;
    WORD unknown1;
    DWORD unknown2;
};

// XInput, where the system has it: the state of user slot 0..3, as XInputGetState, and where the
// library has it (xinput1_4's ordinal 108, from Windows 8 on) XInputGetCapabilitiesEx, which names
// the pad's maker and product. Loaded from the newest XInput library the system has; a test puts in
// its own.
struct XInputCalls {
    DWORD(WINAPI* getState)(DWORD user, XINPUT_STATE* state) = nullptr;
    DWORD(WINAPI* getCapabilitiesEx)(DWORD one, DWORD user, DWORD flags, XInputCapabilitiesEx* caps) = nullptr;
    bool available() const { return getState != nullptr; }
};
XInputCalls systemXInput();
// The multimedia joystick calls; a test puts in its own.
struct WinmmCalls {
    MMRESULT(WINAPI* getDevCaps)(UINT_PTR id, JOYCAPSA* caps, UINT size) = joyGetDevCapsA;
    MMRESULT(WINAPI* getPosEx)(UINT id, JOYINFOEX* info) = joyGetPosEx;
};
// What the joysticks are read through.
struct Win32JoystickCalls {
    WinmmCalls winmm;
    XInputCalls xinput;
};
// The maker and product winmm gives a joystick (vendor << 16 | product), 0 where it gives only its
// own generic driver's numbers.
uint32_t capsProduct(const JOYCAPSA& system);
// Whether a winmm joystick is an XInput pad, by its name or its product name: XInput pads appear to
// winmm as "Controller (XBOX 360 For Windows)" and the like, with their product's VID and PID.
bool speaksXInput(const std::string& name);
// Whether a maker and product (vendor << 16 | product) is one of Microsoft's Xbox pads, for systems
// that name every joystick after their driver (Wine's "Wine joystick driver").
bool speaksXInputByProduct(uint32_t product);
// An XInput pad as winmm numbers it: buttons A 1, B 2, X 3, Y 4, LB 5, RB 6, Back 7, Start 8, LS 9,
// RS 10; the left stick as X and Y, the right stick, the triggers, the D-pad as the hat.
JoyReading readingFromXInput(const XINPUT_GAMEPAD& pad);
// `caps` with what XInput adds: ten named buttons, the right stick and both triggers.
JoyCapsRecord capsWithXInput(JoyCapsRecord caps);

} // namespace vornik
