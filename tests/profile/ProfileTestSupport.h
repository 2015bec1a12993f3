#pragma once

#include "Configuration.h"
#include "KeyLabels.h"
#include "Tables.h"

#include <cstring>
#include <string>
#include <string_view>

namespace vornik::test {

// Byte-equal tables are equal, which is quick to see; otherwise field by field, since padding and the
// bytes past a name's length may differ between equal tables.
inline bool sameTables(const Configuration& a, const Configuration& b) {
    if (a.padSettings != b.padSettings || !(a.windowsKeys == b.windowsKeys) || a.layeredBindings != b.layeredBindings)
        return false;
    if (std::memcmp(&a.keyBindings, &b.keyBindings, sizeof a.keyBindings) == 0 &&
        std::memcmp(&a.joystickBindings, &b.joystickBindings, sizeof a.joystickBindings) == 0 &&
        std::memcmp(&a.moves, &b.moves, sizeof a.moves) == 0)
        return true;
    return a.keyBindings == b.keyBindings && a.joystickBindings == b.joystickBindings && a.moves == b.moves;
}

inline void setName(Move& m, std::string_view big5) {
    m.Name = MoveName{};
    for (std::size_t i = 0; i < big5.size(); ++i)
        m.Name.Bytes[i] = big5[i];
    m.Name.Length = static_cast<uint8_t>(big5.size());
}

// Tables holding every kind of value a profile carries, at the ends of every range, plus engine
// state and stale steps that a profile leaves out.
inline Configuration richConfiguration() {
    Configuration c;
    buildNamedKeyList(c.namedKeys);
    c.keyBindings[0] = {1, AutoFireNone, 0};          // BackSpace
    c.keyBindings[10] = {100, AutoFireAutomatic, 10}; // Home
    c.keyBindings[99] = {0, AutoFireWhileHeld, 3};    // "'", no move but a mode
    c.keyBindings[50] = {0, 0, 7};                    // a delay left behind

    c.joystickBindings[1][kEntryUp] = {BindingKeys, 38, 0, 0, 1, AutoFireNone, 0};
    c.joystickBindings[1][buttonEntry(1)] = {BindingKeys, 17, 16, 255, 3, AutoFireAutomatic, 10};
    c.joystickBindings[2][buttonEntry(2)] = {BindingMove, 100, 65, 66, 2, AutoFireWhileHeld, 5};
    c.joystickBindings[32][kJoystickEntries] = {BindingNone, 90, 91, 92, 3, AutoFireAutomatic, 1};
    c.joystickBindings[16][kEntryRight] = {BindingMove, 0, 0, 0, 0, 0, 0};

    Move& full = c.moves[1];
    full.StepCount = kMaxMoveSteps;
    for (int s = 1; s <= kMaxMoveSteps; ++s)
        full.Steps[s] = {static_cast<uint16_t>(s % 3 == 0 ? 16 + (s / 3) % 3 : 40 + s),
                         static_cast<uint16_t>(s % 7 ? 0 : 17)};
    full.Steps[kMaxMoveSteps] = {255, 255};
    full.Speed = 100;
    full.RepeatCount = 300;
    full.Overlap = 1;
    std::string longName;
    for (int i = 0; i < kMaxMoveNameBytes / 2; ++i)
        longName += "\xAA\x69"; // "波" in Big5, 125 times: exactly 250 bytes
    setName(full, longName);

    Move& small = c.moves[2];
    small.StepCount = 3;
    small.Steps[1] = {40, 0};
    small.Steps[2] = {39, 18};
    small.Steps[3] = {65, 0};
    small.Steps[4] = {77, 78}; // stale, past StepCount
    small.Speed = 20;
    small.RepeatCount = 1;
    setName(small, "\xAA\x69\xB0\xCA\xAE\xB1 A \"q\" \\ /"); // "波動拳 A "q" \ /"

    Move& cleared = c.moves[50]; // cleared with the delete button: speed and press mode stay
    cleared.Speed = 30;
    cleared.RepeatCount = 2;
    cleared.Overlap = 1;
    cleared.Steps[1] = {70, 0};

    Move& last = c.moves[kMoveSlots];
    last.StepCount = 1;
    last.Steps[1] = {0, 0};
    last.RepeatCount = 0;

    c.targets.TargetProcessId = 4321; // not a table of the profile: a load must leave it
    return c;
}

// What the tables of `c` become after a save and a load: stale steps go.
inline Configuration withoutUnsavedState(Configuration c) {
    for (Move& m : c.moves) {
        for (int s = m.StepCount + 1; s <= kMaxMoveSteps; ++s)
            m.Steps[s] = MoveStep{};
    }
    return c;
}

} // namespace vornik::test
