#include "WinmmAxes.h"

#include <utility>

namespace vornik {

namespace {
// Where on its range an axis rests: 0 at lo, 1 at hi; -1 for an empty range.
double restShare(const WinmmAxisRanges& axes, int axis) {
    const auto a = static_cast<std::size_t>(axis);
    if (axes.max[a] <= axes.min[a])
        return -1;
    const double rest = axes.rest[a] < axes.min[a] ? axes.min[a] : axes.rest[a] > axes.max[a] ? axes.max[a] : axes.rest[a];
    return (rest - axes.min[a]) / (static_cast<double>(axes.max[a]) - axes.min[a]);
}
bool restsMiddle(double share) {
    return share >= 1.0 / 3 && share <= 2.0 / 3;
}
bool restsAtAnEnd(double share) {
    return share >= 0 && (share <= 1.0 / 8 || share >= 7.0 / 8);
}
} // namespace

WinmmAxes winmmAxes(const WinmmAxisRanges& axes, bool xboxStyle) {
    WinmmAxes out;
    const auto has = [&](int axis) { return axes.present[static_cast<std::size_t>(axis)]; };
    if (xboxStyle) {
        out.sharedTriggers = has(WinmmAxes::Z);
        if (has(WinmmAxes::U) && has(WinmmAxes::R)) {
            out.rightX = WinmmAxes::U;
            out.rightY = WinmmAxes::R;
        }
        return out;
    }
    for (const auto& [first, second] : {std::pair{WinmmAxes::Z, WinmmAxes::R}, std::pair{WinmmAxes::U, WinmmAxes::V}}) {
        if (!has(first) || !has(second))
            continue;
        const double a = restShare(axes, first), b = restShare(axes, second);
        const bool triggers = restsAtAnEnd(a) && restsAtAnEnd(b);
        const bool stick = !triggers && ((restsMiddle(a) && restsMiddle(b)) || first == WinmmAxes::Z);
        if (triggers && out.leftTrigger == WinmmAxes::kNone) {
            out.leftTrigger = first;
            out.rightTrigger = second;
        } else if (stick && out.rightX == WinmmAxes::kNone) {
            out.rightX = first;
            out.rightY = second;
        }
    }
    return out;
}

uint32_t triggerPosition(uint32_t position, uint32_t rest, uint32_t lo, uint32_t hi) {
    if (hi <= lo)
        return 0;
    position = position < lo ? lo : position > hi ? hi : position;
    rest = rest < lo ? lo : rest > hi ? hi : rest;
    const bool fromTop = rest - lo > hi - rest;
    const uint64_t travel = fromTop ? hi - position : position - lo;
    return static_cast<uint32_t>(travel * 65535 / (hi - lo));
}

} // namespace vornik
