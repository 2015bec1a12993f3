#pragma once

// Everything the main window owns for the life of the process, in one record.

#include "KeyMap.h"
#include "Tables.h"

#include <array>
#include <string>
#include <vector>

namespace vornik {

struct Configuration {
    KeyBindingTable keyBindings{};
    JoystickBindingTable joystickBindings;
    MoveTable moves;
    NamedKeyList namedKeys;
    std::array<uint8_t, kMaxJoysticks> joystickPresent{};   // by system id 0..31
    std::array<JoystickCaps, kMaxJoysticks> joystickCaps{}; // by system id 0..31
    std::array<std::string, kMaxJoysticks> joystickNames{}; // by system id 0..31, UTF-8
    KeyMap keyMap;
    TargetWindowList targets;
    // The executable file names ("dosbox", "game.exe") of the programs the loaded profile is for.
    std::vector<std::string> programs;
    // Pointer settings by joystick number 1..32 (index number - 1).
    std::array<PadSettings, kMaxJoysticks> padSettings{};
    WindowsKeys windowsKeys;

    // Joystick number 1..32 is system id number - 1.
    bool present(int joystick) const { return joystickPresent[static_cast<std::size_t>(joystick - 1)] != 0; }
    const JoystickCaps& caps(int joystick) const { return joystickCaps[static_cast<std::size_t>(joystick - 1)]; }
    const std::string& name(int joystick) const { return joystickNames[static_cast<std::size_t>(joystick - 1)]; }
    const PadSettings& pad(int joystick) const { return padSettings.at(static_cast<std::size_t>(joystick - 1)); }
    PadSettings& pad(int joystick) { return padSettings.at(static_cast<std::size_t>(joystick - 1)); }
};

} // namespace vornik
