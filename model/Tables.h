#pragma once

// The in-memory configuration: binding tables, moves, named keys, joystick records and the
// target-window list. Plain fixed-size records, zero at start, owned by the main window.

#include "OneBased.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vornik {

constexpr int kMaxJoysticks = 32;
// 1..4 stick up, down, left, right; 5..36 buttons 1..32: the entries every profile version holds.
constexpr int kJoystickEntries = 36;
// With the modern pad's inputs: 37..40 right stick up, down, left, right; 41 left, 42 right trigger.
constexpr int kPadEntries = 42;
constexpr int kMaxButtons = 32;
constexpr int kKeyBindingCount = 255;
constexpr int kMoveSlots = 100;
constexpr int kMaxMoveSteps = 100;
constexpr int kMaxMoveNameBytes = 250;
constexpr int kMaxTargetWindows = 300;
constexpr int kMaxKeyMapRecords = 150;

enum AutoFireMode : int32_t { AutoFireNone = 0, AutoFireAutomatic = 1, AutoFireWhileHeld = 2 };
enum BindingKind : int32_t { BindingNone = 0, BindingKeys = 1, BindingMove = 2, BindingPointer = 3, BindingLayer = 4 };

// A pad's layers: layer 1 is the bindings every pad has; 2..8 lie over it while switched to.
constexpr int kMaxLayers = 8;
// What a layer switch (kind 4) does, in its Key2; Key1 is the layer.
enum LayerSwitch : int32_t { LayerWhileHeld = 1, LayerToggle = 2, LayerOneShot = 3, LayerBack = 4 };
// When a binding fires: as its input goes down (the usual), at a short press's release, once the
// input has been held for the hold time, at the second of two quick presses, or at the release.
enum Activator : int32_t {
    ActivatePress = 0,
    ActivateTap = 1,
    ActivateHold = 2,
    ActivateDouble = 3,
    ActivateRelease = 4,
};
constexpr int kActivators = 5;

// What a pointer binding (kind 3) does, in its Key1: a pointer button held while the input is, or a
// wheel notch.
enum PointerTarget : int32_t {
    PointerLeft = 1,
    PointerMiddle = 2,
    PointerRight = 3,
    WheelUp = 4,
    WheelDown = 5,
    WheelLeft = 6,
    WheelRight = 7,
    PointerBack = 8,
    PointerForward = 9,
};
constexpr int kPointerTargets = 9;
constexpr bool isWheelTarget(int32_t target) {
    return target >= WheelUp && target <= WheelRight;
}

// What a pad's stick drives: its direction bindings (as always), the pointer, or the wheel.
enum class StickMode : int32_t { Keys = 0, Pointer = 1, Wheel = 2 };

// A pad's pointer settings. Dead zones are a share of the stick's half-range, in percent, measured
// on the stick's distance from the centre (so the same in every direction).
struct PadSettings {
    static constexpr int32_t kMinDeadZone = 0, kMaxDeadZone = 90;
    static constexpr int32_t kMinPointerSpeed = 100, kMaxPointerSpeed = 8000; // pixels per second
    static constexpr double kMinCurve = 1.0, kMaxCurve = 3.0;
    static constexpr int32_t kMinWheelSpeed = 1, kMaxWheelSpeed = 60; // notches per second
    static constexpr int32_t kMinTriggerThreshold = 5, kMaxTriggerThreshold = 95;

    StickMode leftStick = StickMode::Keys;
    StickMode rightStick = StickMode::Keys;
    int32_t leftDeadZone = 33; // one third of the half-range: the middle third the keys have always used
    int32_t rightDeadZone = 33;
    int32_t pointerSpeed = 1200; // at full deflection
    double pointerCurve = 2.0;   // speed = pointerSpeed * r^curve, r the deflection past the dead zone
    int32_t wheelSpeed = 10;     // at full deflection
    int32_t triggerThreshold = 35;
    // The activators' times, in ms: a hold, the gap of a double press, the spread of two inputs pressed
    // together.
    static constexpr int32_t kMinHoldMs = 100, kMaxHoldMs = 2000;
    static constexpr int32_t kMinDoubleMs = 100, kMaxDoubleMs = 1000;
    static constexpr int32_t kMinChordMs = 10, kMaxChordMs = 200;
    static constexpr std::size_t kMaxLayerNameChars = 40;
    int32_t holdMs = 250;
    int32_t doubleMs = 250;
    int32_t chordMs = 50;
    std::array<std::string, kMaxLayers> layerNames{}; // UTF-8; empty: the layer's number alone
    bool operator==(const PadSettings&) const = default;
};

// How keys go out on Windows, kept with the profile. Other systems keep it and send as always.
struct WindowsKeys {
    static constexpr int32_t kMaxMinimumPressMs = 500;

    // Keys go by their scan code alone (KEYEVENTF_SCANCODE), for games that read nothing else.
    bool scanCodesOnly = false;
    // A move step's key stays down at least this long, in ms: some games miss a key pressed and
    // released within one of their frames. 0: the move's own timing.
    int32_t minimumPressMs = 0;
    bool operator==(const WindowsKeys&) const = default;
};

// Joystick entry numbers within a block.
constexpr int kEntryUp = 1;
constexpr int kEntryDown = 2;
constexpr int kEntryLeft = 3;
constexpr int kEntryRight = 4;
constexpr int buttonEntry(int button) {
    return button + 4;
}
constexpr int kEntryRightUp = 37;
constexpr int kEntryRightDown = 38;
constexpr int kEntryRightLeft = 39;
constexpr int kEntryRightRight = 40;
constexpr bool isDirectionEntry(int entry) {
    return (entry >= kEntryUp && entry <= kEntryRight) || (entry >= 37 && entry <= 40);
}
constexpr int kEntryLeftTrigger = 41;
constexpr int kEntryRightTrigger = 42;

struct KeyBinding {
    int32_t MoveNumber = 0; // 0 = no binding, 1..100 = move slot
    int32_t AutoFireMode = 0;
    int32_t AutoFireDelay = 0; // 0..10
    bool operator==(const KeyBinding&) const = default;
};

struct JoystickBinding {
    int32_t BindingKind = 0;
    int32_t Key1 = 0; // kind 1: first key; kind 2: move number (0 = none chosen)
    int32_t Key2 = 0;
    int32_t Key3 = 0;
    int32_t KeyCount = 0; // kind 1: how many of Key1..Key3 are pressed together
    int32_t AutoFireMode = 0;
    int32_t AutoFireDelay = 0; // ticks between auto-fire actions, 0..10
    bool operator==(const JoystickBinding&) const = default;
};

// A binding that answers beyond the first layer's plain press: on another layer, with another
// activator, or only with a second input held together with its own. (The plain bindings of the
// first layer stay in the joystick's block, one per entry.)
struct LayeredBinding {
    int32_t Entry = 1;                  // 1..kPadEntries
    int32_t Layer = 1;                  // 1..kMaxLayers
    int32_t Activator = ActivatePress;  // Activator
    int32_t With = 0;                   // the entry pressed together with Entry; 0 = none
    JoystickBinding Binding;
    bool operator==(const LayeredBinding&) const = default;
    // Whether this is where a binding of (entry, layer, activator, with) lives.
    bool at(int entry, int layer, int activator, int with) const {
        return Entry == entry && Layer == layer && Activator == activator && With == with;
    }
};
constexpr bool isPlainSlot(int layer, int activator, int with) {
    return layer == 1 && activator == ActivatePress && with == 0;
}

struct MoveStep {
    uint16_t Key = 0;      // virtual-key code as recorded (generic 16, 17, 18 included)
    uint16_t ChordKey = 0; // second key pressed together with Key; 0 = none
    bool operator==(const MoveStep&) const = default;
};

// A length byte and up to 250 bytes of Big5 text.
struct MoveName {
    uint8_t Length = 0;
    std::array<char, kMaxMoveNameBytes> Bytes{};

    std::string_view view() const { return {Bytes.data(), Length}; }
    bool operator==(const MoveName& o) const { return view() == o.view(); }
};

struct Move {
    OneBased<MoveStep, kMaxMoveSteps> Steps;
    int32_t StepCount = 0;
    int32_t Speed = 0;       // pause unit in ms
    int32_t RepeatCount = 0; // plays per trigger; 0 in a slot never edited
    uint8_t Overlap = 0;     // 1 = overlapped, 0 = one key after the other
    MoveName Name;
    bool operator==(const Move&) const = default;
};

using KeyBindingTable = std::array<KeyBinding, kKeyBindingCount>; // numbered from 0
using JoystickBlock = OneBased<JoystickBinding, kPadEntries>;
using JoystickBindingTable = OneBased<JoystickBlock, kMaxJoysticks>; // joystick number 1..32
using MoveTable = OneBased<Move, kMoveSlots>;
// Per joystick, its layered bindings in the order (layer, entry, activator, with).
using LayeredBindingTable = OneBased<std::vector<LayeredBinding>, kMaxJoysticks>;

// Labelled virtual-key codes in ascending order; position 1 is code 0 ("NONE").
// Positions past Count hold 0.
struct NamedKeyList {
    int32_t Count = 0;
    OneBased<uint8_t, 256> Codes;
};

// What a pad is, as far as its button names go: a pad the system knows no layout of (its buttons
// are numbers only), or one of the three families whose printed labels differ.
enum class PadFamily : uint8_t { Unknown = 0, Xbox = 1, PlayStation = 2, Nintendo = 3 };

// The role of a button in the standard gamepad layout, in the order of SDL's game-controller
// buttons; None for a button the layout does not place.
enum class PadButton : uint8_t {
    None = 0,
    // The face buttons: the bottom, right, left and top one (Cross, Circle, Square, Triangle on
    // PlayStation pads); on Nintendo pads the buttons labelled A, B, X and Y, wherever they sit.
    FaceA,
    FaceB,
    FaceX,
    FaceY,
    Back,
    Guide,
    Start,
    LeftStick,
    RightStick,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
    Misc,
    Paddle1,
    Paddle2,
    Paddle3,
    Paddle4,
    Touchpad,
};

// What a pad has beyond the stick, the first hat and the numbered buttons (JoystickCaps::inputs).
enum PadInputs : uint32_t {
    PadHasRightStick = 1,
    PadHasLeftTrigger = 2,
    PadHasRightTrigger = 4,
};

// The part of the system's joystick capability record the engine uses, with what a pad known to
// the system's gamepad layouts adds: its family, the role of each numbered button, and its inputs.
struct JoystickCaps {
    uint32_t wXmin = 0, wXmax = 0, wYmin = 0, wYmax = 0;
    uint32_t wMaxButtons = 0;
    PadFamily family = PadFamily::Unknown;
    uint32_t inputs = 0;                          // PadInputs
    std::array<PadButton, kMaxButtons> roles{};   // button b in slot b - 1
    bool operator==(const JoystickCaps&) const = default;

    PadButton role(int button) const {
        return button >= 1 && button <= kMaxButtons ? roles[static_cast<std::size_t>(button - 1)] : PadButton::None;
    }
    bool has(PadInputs input) const { return (inputs & input) != 0; }
};

// The label printed on a button of the given role on a pad of the given family ("A", "Cross", "LB",
// "L1", ...); empty for PadButton::None or an unknown family.
std::string_view padButtonLabel(PadFamily family, PadButton role);

// Whether joystick entry 1..kPadEntries reads an input the pad has: the stick, the buttons up to
// its count, and the right stick and triggers only where `caps` says so.
bool entryOnPad(const JoystickCaps& caps, int entry);

using WindowHandle = std::uint64_t;

struct TargetWindowList {
    int32_t WindowCount = 0; // windows met by the last refresh; may exceed 300
    OneBased<WindowHandle, kMaxTargetWindows> WindowHandles;
    OneBased<uint32_t, kMaxTargetWindows> ProcessIds;
    uint32_t TargetProcessId = 0;
    int32_t UntitledWindowCounter = 0;
    WindowHandle OwnApplicationHandle = 0;
};

// Everything a profile holds: one record, so that a load, the recovery copy and the window share it.
struct ProfileTables {
    KeyBindingTable keyBindings{};
    JoystickBindingTable joystickBindings;
    LayeredBindingTable layeredBindings;
    MoveTable moves;
    // The executable file names ("dosbox", "game.exe") of the programs the profile is for.
    std::vector<std::string> programs;
    // Pointer, activator and layer settings by joystick number 1..32 (index number - 1).
    std::array<PadSettings, kMaxJoysticks> padSettings{};
    WindowsKeys windowsKeys;

    const PadSettings& pad(int joystick) const { return padSettings.at(static_cast<std::size_t>(joystick - 1)); }
    PadSettings& pad(int joystick) { return padSettings.at(static_cast<std::size_t>(joystick - 1)); }

    // The binding of joystick j at (entry, layer, activator, with), or nothing.
    const JoystickBinding* binding(int j, int entry, int layer, int activator, int with) const;
    // The same, made (empty) when missing; the layered list stays in its order.
    JoystickBinding& bindingAt(int j, int entry, int layer, int activator, int with);
    // Removes it (a plain binding is cleared).
    void removeBinding(int j, int entry, int layer, int activator, int with);
    // Whether joystick j has anything beyond plain bindings: a layered binding or a layer switch.
    bool layered(int j) const;
};

// Whether `utf8` may name a layer: at most kMaxLayerNameChars characters, none of them a control
// character.
bool layerNameFits(std::string_view utf8);

// Clearing all moves: names and step counts go, everything else stays.
void clearAllMoves(MoveTable& moves);

// Sets a move's name from Big5 bytes, cut to 250 bytes at a character boundary.
void setMoveName(Move& move, std::string_view big5);

} // namespace vornik
