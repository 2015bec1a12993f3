#include "PointerMotion.h"

#include <algorithm>
#include <cmath>

namespace vornik {

Deflection deflection(StickVector v, int deadZonePercent) {
    const double length = std::hypot(v.x, v.y);
    const double m = std::min(length, 1.0);
    const double dead = std::clamp(deadZonePercent, 0, 99) / 100.0;
    if (length <= 0 || m <= dead)
        return {};
    return {(m - dead) / (1.0 - dead), v.x / length, v.y / length};
}

int PointerMotion::whole(double& carried) {
    const double sent = std::trunc(carried);
    carried -= sent;
    return static_cast<int>(sent);
}

bool PointerMotion::stickStep(StickMode mode, const PadSettings& pad, StickVector v, int deadZonePercent,
                              uint32_t ms, Output& output) {
    const Deflection d = deflection(v, deadZonePercent);
    if (d.r <= 0)
        return false;
    const double scale = std::pow(d.r, pad.pointerCurve) * ms / 1000.0;
    if (mode == StickMode::Pointer) {
        const double distance = pad.pointerSpeed * scale;
        m_pointerX += distance * d.dx;
        m_pointerY += distance * d.dy;
        const int x = whole(m_pointerX), y = whole(m_pointerY);
        if (x != 0 || y != 0)
            output.pointerMotion(x, y);
    } else if (mode == StickMode::Wheel) {
        const double notches = pad.wheelSpeed * scale;
        m_wheelY -= notches * d.dy; // stick down turns the wheel down
        m_wheelX += notches * d.dx;
        if (const int y = whole(m_wheelY); y != 0)
            output.wheel(y, false);
        if (const int x = whole(m_wheelX); x != 0)
            output.wheel(x, true);
    }
    return true;
}

void PointerMotion::wheelStep(double vertical, double horizontal, uint32_t ms, Output& output) {
    m_wheelY += vertical * ms / 1000.0;
    m_wheelX += horizontal * ms / 1000.0;
    if (const int y = whole(m_wheelY); y != 0)
        output.wheel(y, false);
    if (const int x = whole(m_wheelX); x != 0)
        output.wheel(x, true);
}

} // namespace vornik
