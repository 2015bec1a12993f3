#pragma once

#include "Joysticks.h"

#include <array>

namespace vornik {

// Joysticks through the multimedia joystick interface (winmm): joyGetDevCapsA and joyGetPosEx; a
// joystick's name is its product's, from the system's game controller settings, where they hold one.
// Both return the system's own result code: 0 (JOYERR_NOERROR) or a JOYERR_/MMSYSERR_ value. On an
// error the record passed in is left as it was. A joystick plugged in again usually comes back under
// its old id, and is then read under it as before.
class Win32Joysticks : public Joysticks {
public:
    uint32_t getDevCaps(uint32_t id, JoyCapsRecord& caps) override;
    uint32_t getPosEx(uint32_t id, JoyReading& reading) override;
    // winmm announces nothing: the pads are read every 4 ms between ticks while that can press a key.
    uint32_t pollInterval() override { return 4; }

private:
    std::array<bool, 32> m_hasPov{}; // by id, from its last capability query
};

} // namespace vornik
