#pragma once

#include "HeldOutput.h"
#include "MovePlayer.h"
#include "PadLayers.h"
#include "Platform.h"
#include "Tables.h"

#include <functional>

namespace vornik {

enum KeyAction : int { ActionPress = 1, ActionRelease = 2 };

// Turns a joystick binding's press or release into key events, and runs a button's auto-fire.
class KeyOutput {
public:
    KeyOutput(HeldOutput& held, Keyboard& keyboard, Clock& clock, MovePlayer& player)
        : m_held(held), m_keyboard(keyboard), m_clock(clock), m_player(player) {}

    // Keys: held for `owner` from the press to the release. A key-down goes out only for a key that is
    // up; a key the program holds for another binding or a move is held for this one too, and goes up
    // when the last of them lets go; a key only the user holds is left alone (and never released).
    // Move: asks for it on press, for the owner's source; a release does nothing. Pointer: its button
    // held from the press to the release (through the record, like keys), or one wheel notch per press.
    // A press goes out only while `gate` allows it, asked right before (the engine's says whether
    // the target is still in front); releases always go out.
    void SendBinding(const JoystickBinding& binding, int action, Owner owner);
    void setGate(std::function<bool()> gate) { m_gate = std::move(gate); }

    // One tick of a button's auto-fire: moves its count `fire` on and ends in one SendBinding or none.
    // True when the binding fires on its own, so the next tick has work whatever the input does.
    bool AutoFireStep(const JoystickBinding& binding, FireState& fire, bool held, Owner owner);

private:
    void sendPointer(int32_t target, int action, Owner owner);

    HeldOutput& m_held;
    Keyboard& m_keyboard;
    Clock& m_clock;
    MovePlayer& m_player;
    std::function<bool()> m_gate;
};

} // namespace vornik
