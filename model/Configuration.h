#pragma once

// Everything the main window owns for the life of the process, in one record.

#include "KeyMap.h"
#include "Tables.h"

#include <array>
#include <string>
#include <vector>

namespace vornik {

// The profile's tables, and what the program learns while it runs.
struct Configuration : ProfileTables {
    NamedKeyList namedKeys;
    std::array<uint8_t, kMaxJoysticks> joystickPresent{};   // by system id 0..31
    std::array<JoystickCaps, kMaxJoysticks> joystickCaps{}; // by system id 0..31
    std::array<std::string, kMaxJoysticks> joystickNames{}; // by system id 0..31, UTF-8
    KeyMap keyMap;
    TargetWindowList targets;

    // Joystick number 1..32 is system id number - 1.
    bool present(int joystick) const { return joystickPresent[static_cast<std::size_t>(joystick - 1)] != 0; }
    const JoystickCaps& caps(int joystick) const { return joystickCaps[static_cast<std::size_t>(joystick - 1)]; }
    const std::string& name(int joystick) const { return joystickNames[static_cast<std::size_t>(joystick - 1)]; }
};

} // namespace vornik
