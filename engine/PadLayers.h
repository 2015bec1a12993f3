#pragma once

#include "HeldOutput.h"
#include "Tables.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace vornik {

// Auto-fire's count of one binding: engine state, kept beside the tables, never in them.
struct FireState {
    uint8_t phase = 0;
    int32_t countdown = 0;
};

// The bindings of one pad that has layers, activators or inputs pressed together: which layer
// answers, when each binding fires, and what it holds until when.
//
// The layers form a stack over layer 1: a while-held switch's layer stays on it until that input is
// let go, wherever it has got to meanwhile; a toggle's until the same switch is pressed again; a
// one-shot's until the next binding fires; "back" takes the top one off. An input answers from the
// first layer down the stack that has a binding for it, chosen as it goes down and kept until it is
// let go, so a layer change never ends, repeats or moves what a held input fired. A layer change
// presses nothing by itself.
//
// What fires is a firing: a copy of the binding with its own owner, held from its start until its
// input is let go (press, hold, double, and two inputs together until either is let go), or for one
// step as a tap (tap and release). Steps count only at full ticks, so a tap lasts at least one tick.
class PadLayers {
public:
    // What a firing sends; the engine's, with its gate, record and move player behind it.
    struct Actions {
        // A press (the key chord, the move asked for, the pointer button) or a release.
        std::function<void(const JoystickBinding&, bool press, Owner)> send;
        // One tick of auto-fire while the firing lasts. True while the binding fires on its own.
        std::function<bool(const JoystickBinding&, FireState&, Owner)> autoFire;
        // A wheel binding without auto-fire held or let go: the wheel turns while it is held.
        std::function<void(const JoystickBinding&, bool held, Owner)> wheel;
    };

    // One look at the pad: `down(entry)` for every entry the pad has, at `now` ms. A full tick
    // (`fullTick`) also runs auto-fire, replays a held move and ends taps (held at least
    // `minimumPress` ms); a partial one only answers inputs that changed. True when the next tick has
    // work whatever the inputs do.
    bool step(const ProfileTables& tables, int joystick, const std::function<bool(int)>& down, uint32_t now,
              bool fullTick, uint32_t minimumPress, const Actions& actions);

    // The layer that answers an input going down now.
    int activeLayer() const { return m_stack.empty() ? 1 : m_stack.back().layer; }
    // After everything the program held was let go: firings are forgotten, inputs still down fire
    // again as they are seen next, while-held layers go (their inputs push them again), toggled and
    // one-shot layers stay.
    void forgetHeld();

private:
    struct Layer {
        int layer = 1;
        int how = LayerWhileHeld; // LayerSwitch
        int entry = 0;            // the input that pushed it
    };
    struct Input {
        bool down = false;
        uint32_t downAt = 0;
        uint32_t upAt = 0;
        int layer = 0;            // the layer that answers this press; 0 before it is chosen
        bool waiting = false;     // its own bindings wait for a partner pressed together
        bool chorded = false;     // this press is one of two together: its own bindings stay quiet
        bool held = false;        // its hold binding fired this press
        bool second = false;      // this press is the second of a double press
        bool doubleArmed = false; // released with a double binding: the next press within the time is one
        bool tapWaiting = false;  // a tap held back for the double-press time
    };
    struct Firing {
        JoystickBinding binding;
        Owner owner;
        FireState fire;
        int entry = 0;     // ends when this input is let go
        int with = 0;      // or this one (0: none)
        bool tap = false;  // ends at the next full tick instead
        uint32_t startTick = 0;
        uint32_t startAt = 0;
        bool wheel = false;
    };

    // The bindings of (entry, layer) by activator, those with a partner left out; nothing where none.
    using Own = std::array<const JoystickBinding*, kActivators>;
    static Own ownOf(const ProfileTables& tables, int joystick, int entry, int layer);
    // The first layer down the stack with a binding of its own for `entry` (1 when none has).
    int answeringLayer(const ProfileTables& tables, int joystick, int entry) const;
    // Whether a layer of the stack presses `entry` together with another input.
    bool inChord(const ProfileTables& tables, int joystick, int entry) const;
    // The binding for `a` and `b` pressed together from the first layer down the stack that has one.
    const JoystickBinding* chordOf(const ProfileTables& tables, int joystick, int a, int b) const;
    Owner nextOwner(int joystick);

    void pressed(const ProfileTables& tables, int joystick, int entry, uint32_t now, const Actions& actions);
    void startOwn(const ProfileTables& tables, int joystick, int entry, const Actions& actions);
    void released(const ProfileTables& tables, int joystick, int entry, uint32_t now, const Actions& actions);
    // Fires `binding`, held while `entry` (and `with`) stay down, or as a tap.
    void fire(const JoystickBinding& binding, int joystick, int entry, int with, bool tap, const Actions& actions);
    void switchLayer(const JoystickBinding& binding, int entry, bool tap);
    void endFiring(Firing& firing, const Actions& actions);

    std::array<Input, kPadEntries + 1> m_inputs{};
    std::vector<Layer> m_stack; // above layer 1, the top last
    std::vector<Firing> m_firings;
    uint32_t m_ticks = 0; // full ticks seen
    uint32_t m_now = 0;   // the time of the step in progress
    uint16_t m_nextOwner = 0;
};

} // namespace vornik
