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

} // namespace vornik
