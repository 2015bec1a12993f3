#pragma once

#include "Output.h"
#include "Tables.h"

#include <cstdint>

namespace vornik {

// A stick's position, each axis -1..1 from its centre, right and down positive.
struct StickVector {
    double x = 0;
    double y = 0;
};

// How far a stick is pushed past its dead zone: r from 0 (inside it) to 1 (all the way), measured on
// the distance from the centre so that every direction counts alike, and the direction it points.
struct Deflection {
    double r = 0;
    double dx = 0; // unit vector
    double dy = 0;
};
Deflection deflection(StickVector v, int deadZonePercent);

// The pointer and the wheel one pad drives. Speeds come from the deflection (speed = full speed *
// r^curve), in pixels or notches per second, and are integrated over the time that has passed, so the
// pointer's speed does not depend on how often the steps come; what is less than a pixel or a notch
// is carried to the next step, so a slow push creeps instead of stalling.
class PointerMotion {
public:
    // The stick in pointer or wheel mode, `ms` milliseconds of it; true when it is outside its dead
    // zone. Wheel mode scrolls by the stick's Y (down scrolls down) and X.
    bool stickStep(StickMode mode, const PadSettings& pad, StickVector v, int deadZonePercent, uint32_t ms,
                   Output& output);
    // Held wheel bindings: `vertical` and `horizontal` notches per second (up and right positive).
    void wheelStep(double vertical, double horizontal, uint32_t ms, Output& output);
    // Drops the carried fractions (the pad stopped).
    void reset() { *this = PointerMotion{}; }

private:
    static int whole(double& carried);

    double m_pointerX = 0, m_pointerY = 0; // pixels not yet sent
    double m_wheelX = 0, m_wheelY = 0;     // notches not yet sent
};

} // namespace vornik
