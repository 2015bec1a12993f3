#pragma once

#include <cstdint>

namespace vornik {

// Capability record: the part of the system's joystick capabilities the program uses.
struct JoyCapsRecord {
    uint32_t wXmin = 0, wXmax = 0, wYmin = 0, wYmax = 0;
    uint32_t wMaxButtons = 0;
};

// One reading: the two stick axes and the 32-bit button mask (bit b-1 = button b held).
struct JoyReading {
    uint32_t dwXpos = 0, dwYpos = 0;
    uint32_t dwButtons = 0;
};

// Joysticks by system id 0..31. Main thread only.
class Joysticks {
public:
    virtual ~Joysticks() = default;
    // Fills `caps` for system id `id`; returns 0 when the joystick exists, else a nonzero error code.
    virtual uint32_t getDevCaps(uint32_t id, JoyCapsRecord& caps) = 0;
    // Reads system id `id` into `reading`; returns 0 on success, a nonzero error code when the read fails.
    virtual uint32_t getPosEx(uint32_t id, JoyReading& reading) = 0;
};

} // namespace vornik
