#include "Win32Joysticks.h"

#include "Win32Api.h"

namespace vornik {

// The record sizes the capability query and the read are made with; a header that packed these
// records differently would make the system reject every call (or write past the record).
static_assert(sizeof(JOYCAPSA) == 404, "JOYCAPSA must be the 404-byte record");
static_assert(sizeof(JOYINFOEX) == 52, "JOYINFOEX must be the 52-byte record");
// X, Y, Z, R, U, V, point of view and buttons: everything is asked for, X, Y and buttons are used.
static_assert(JOY_RETURNALL == 0xFF, "a read asks for every value");

uint32_t Win32Joysticks::getDevCaps(uint32_t id, JoyCapsRecord& caps) {
    JOYCAPSA system{};
    const MMRESULT result = joyGetDevCapsA(id, &system, sizeof system);
    if (result != JOYERR_NOERROR)
        return result;
    caps.wXmin = system.wXmin;
    caps.wXmax = system.wXmax;
    caps.wYmin = system.wYmin;
    caps.wYmax = system.wYmax;
    caps.wMaxButtons = system.wMaxButtons;
    return 0;
}

uint32_t Win32Joysticks::getPosEx(uint32_t id, JoyReading& reading) {
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNALL;
    const MMRESULT result = joyGetPosEx(id, &info);
    if (result != JOYERR_NOERROR)
        return result;
    reading.dwXpos = info.dwXpos;
    reading.dwYpos = info.dwYpos;
    reading.dwButtons = info.dwButtons;
    return 0;
}

} // namespace vornik
