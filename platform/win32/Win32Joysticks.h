#pragma once

#include "Joysticks.h"

namespace vornik {

// Joysticks through the multimedia joystick interface (winmm): joyGetDevCapsA and joyGetPosEx.
// Both return the system's own result code: 0 (JOYERR_NOERROR) or a JOYERR_/MMSYSERR_ value. On an
// error the record passed in is left as it was.
class Win32Joysticks : public Joysticks {
public:
    uint32_t getDevCaps(uint32_t id, JoyCapsRecord& caps) override;
    uint32_t getPosEx(uint32_t id, JoyReading& reading) override;
};

} // namespace vornik
