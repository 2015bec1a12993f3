#pragma once

#include <array>
#include <cstdint>

namespace vornik {

// What a pad read through winmm does with its axes beyond X and Y: Z, R, U and V (in that order
// below), as its capabilities list them and as they read at rest. No <windows.h>.
struct WinmmAxes {
    static constexpr int kNone = -1;
    enum Axis : int { Z = 0, R = 1, U = 2, V = 3 };
    int rightX = kNone, rightY = kNone;            // the right stick
    int leftTrigger = kNone, rightTrigger = kNone; // the triggers, each on an axis of its own
    // Both triggers on Z, as Xbox-style pads give them to winmm: at rest in the middle, the left
    // trigger towards the top of the range, the right one towards the bottom. Pressed together they
    // cancel: one trigger's press reads as the other's release.
    bool sharedTriggers = false;

    bool operator==(const WinmmAxes&) const = default;
};

// Z, R, U and V: whether the pad has each, its range, and where it rests (read as the pad is found).
struct WinmmAxisRanges {
    std::array<bool, 4> present{};
    std::array<uint32_t, 4> min{}, max{}, rest{};
};

// The pad's axes: on an Xbox-style pad (`xboxStyle`) the triggers share Z and the right stick is U
// (across) and R (down), as Windows gives such a pad to winmm. Else each pair, Z and R then U and V,
// that the pad has whole is its right stick when both rest in the middle third of their range and
// its triggers when both rest in the outer eighths (a trigger rests at one end); the first pair of
// each kind wins, and a pair that rests otherwise is the right stick, as pads' Z and R usually are.
WinmmAxes winmmAxes(const WinmmAxisRanges& axes, bool xboxStyle);

// A trigger's position on 0..65535 from its axis at `position`, resting at `rest` on the range lo..hi
// (a trigger resting at the top grows downwards).
uint32_t triggerPosition(uint32_t position, uint32_t rest, uint32_t lo, uint32_t hi);

} // namespace vornik
