#pragma once

#include "Configuration.h"
#include "EngineHost.h"
#include "HeldOutput.h"
#include "KeyOutput.h"
#include "MovePlayer.h"
#include "PadLayers.h"
#include "PointerMotion.h"
#include "Platform.h"
#include "TargetStatus.h"
#include "TargetWindows.h"

#include <array>
#include <atomic>
#include <chrono>
#include <optional>
#include <utility>

namespace vornik {

// What a live-view picture control last showed, cached so pictures are assigned only on change.
struct LiveViewTags {
    int direction = 0;             // 1 = centred picture shown, 0 = anything else
    std::array<int, 32> buttons{}; // 1 = released shown, 2 = pressed shown, 0 = not yet set
    int rightDirection = 0;        // as direction, for the right stick
    std::array<int, 2> triggers{}; // as buttons, for the left and the right trigger
};

extern const char* const kConnectionErrorText;

// The zone of each stick axis, 1..3, or 0 for no direction (see Engine::AxisZone).
struct StickZones {
    int x = 2;
    int y = 2;
    bool operator==(const StickZones&) const = default;
};

// What the bindings of one pad see in one reading: each stick's zones, the buttons and the triggers.
struct PadInput {
    StickZones left;
    StickZones right;     // centred on a pad without a right stick, or one that drives the pointer
    uint32_t buttons = 0; // bit b-1: button b
    uint32_t triggers = 0; // bit 0 left, bit 1 right, past their threshold (with its hysteresis)
    bool operator==(const PadInput&) const = default;
    // Whether the input of joystick entry 1..kPadEntries is down.
    bool down(int entry) const;
};

// The dead zone that is the thirds the stick's directions have always been read in.
constexpr int kThirdsDeadZone = 33;

class Engine {
public:
    Engine(Configuration& config, const Platform& platform, EngineHost& host, bool allProcesses = false);
    ~Engine();

    // One engine tick; see the overview at the top of Engine.cpp.
    void EngineTick();

    // Reads every joystick and says whether any changed in a way a tick acts on since the last
    // call: a button, the zone of an axis, or the D-pad. Nothing else is read or sent.
    bool joystickInputChanged();
    // The part of a tick that answers a joystick change at once, between two ticks: the live view,
    // the foreground test, and the key chords of directions and of buttons without auto-fire.
    // Whatever repeats per tick (moves, auto-fire, keyboard bindings, the hot key) waits for the
    // next tick, so its cadence stays counted in ticks. Pressing a key that is down or releasing
    // one that is up sends nothing, so this never sends what the next tick would not.
    void InputTick();

    // True when no step of the last tick needs the next one: the ticks after it would do nothing
    // at all until an input changes. Each step says so itself: the program holds nothing, plays no
    // move, the hot key is not held, every joystick was read and is centred with no button held
    // (whatever the boxes and the target are), no button fired on its own, and no keyboard binding
    // played on its own, counts down or has its key held.
    bool idle() const { return m_idle; }

    // The moves' steps, between ticks: sends what is due now of every move playing (see MovePlayer).
    void MoveStep();
    // Milliseconds until a move's next event is due (0: overdue), or nothing while no move plays.
    std::optional<uint32_t> moveDueIn();
    // How long the connection-error box has been up, in all: the time a tick waits for the player.
    std::chrono::steady_clock::duration boxTime() const { return m_boxTime; }
    // True when every input a tick reads announces its changes through a descriptor: the keys, the
    // window in front and every joystick. While idle, such a program may wait for one of them.
    bool inputChangesAnnounced();
    // Whether the joysticks are worth reading between ticks to look for a change (their backend
    // announces none, Joysticks::pollInterval): a joystick is present and the last tick found the
    // target in front, so a change could press a key. Never while no target is chosen.
    bool pollWanted();

    // Zone 1..3 of a position on an axis (0 for negative positions); 2 for a range below 3.
    static int AxisZone(int32_t minimum, int32_t maximum, int32_t position);
    // The same with a dead zone: 2 within `deadZone` percent of the half-range of the middle, 1 below
    // it, 3 above it. kThirdsDeadZone reads the thirds exactly as the plain AxisZone does.
    static int AxisZone(int32_t minimum, int32_t maximum, int32_t position, int deadZone);
    // The D-pad counts as the stick: a hat direction sets the zone of its axis (up and left 1, down
    // and right 3, a diagonal both), and an axis the hat leaves centred keeps the stick's zone. Without
    // `withStick` (a stick that drives the pointer or the wheel) the zones are the D-pad's alone.
    static StickZones stickZones(const JoystickCaps& caps, const JoyReading& reading, bool withStick = true,
                                 int deadZone = kThirdsDeadZone);
    // The right stick's zones (its axes on 0..65535).
    static StickZones rightStickZones(const JoyReading& reading, int deadZone = kThirdsDeadZone);
    // The stick's position, each axis -1..1 from the middle of its range.
    static StickVector stickVector(const JoystickCaps& caps, const JoyReading& reading);
    static StickVector rightStickVector(const JoyReading& reading);
    // Whether a trigger at `position` (0..65535) is down: past `threshold` percent of its travel, or
    // already down and not yet back below 5 percent under it (half the threshold, for one below 10).
    static bool triggerDown(uint32_t position, int threshold, bool wasDown);

    // One step of the pointer and wheel motion: every pad whose stick drives the pointer or the wheel
    // and is out of its dead zone, or that holds a wheel binding, moves by the time since the last
    // step. Only while the target is in front. True while motion goes on.
    bool MotionTick();
    // Whether MotionTick has anything to do: the last tick or motion step found a pad moving.
    bool motionWanted() const { return m_motionPads != 0; }
    void UpdateLiveView(int joystick);
    void RunJoystickBindings(int joystick);

    // Start-up: capability query for system ids 0..31.
    void detectJoysticks();
    // A joystick attached since start-up: once the system has announced a pad plugged in, or else at
    // most once a second, asks for the capabilities of the first joystick number without a page; when it answers, it gets that number (and so do the
    // joysticks right after it that answer too) and the host builds its page.
    void detectAttachedJoysticks();

    // The program owns what it pressed, and this is the one way all of it is let go: ends every move
    // playing or queued, and sends the key-up of every key and the release of every pointer button
    // the program pressed and still holds (never of one only the user holds), through the record
    // every press goes through. Called by the tick when the target goes behind or before the
    // connection-error box, by a move whose target has left, and by the window whenever a binding
    // stops running: an edited binding or move, a ticked stop box, a profile load, every way out of
    // the program. A binding whose input is still held presses again on the next tick.
    void releaseHeldKeys();
    // The program is asked to end. Safe from a signal handler: no move sends anything more, and
    // every later tick does nothing.
    void requestStop() noexcept;
    bool stopRequested() const { return m_stop.load(std::memory_order_relaxed); }

    TargetWindows& targets() { return m_targets; }
    // Where the keys go, as the last full tick found it.
    const TargetState& targetState() const { return m_status.state(); }
    MovePlayer& player() { return m_player; }
    KeyOutput& output() { return m_output; }
    HeldOutput& held() { return m_held; }
    // Auto-fire's count of joystick j's plain binding at `entry`.
    FireState& fireState(int joystick, int entry) {
        return m_fire[static_cast<std::size_t>(joystick - 1)][static_cast<std::size_t>(entry - 1)];
    }
    // The layer that answers joystick j's next input.
    int activeLayer(int joystick) const { return m_layers[static_cast<std::size_t>(joystick - 1)].activeLayer(); }
    LiveViewTags& liveViewTags(int joystick) { return m_tags[static_cast<std::size_t>(joystick - 1)]; }
    // After Cancel in the connection-error box: the program is ending and ticks do nothing.
    bool ending() const { return m_ending; }

private:
    // What the steps of a tick report: whether the target was in front, and whether any step needs
    // the next tick.
    struct StepReport {
        bool inFront = false;
        bool needsNextTick = false;
    };
    bool readJoystick(int joystick, JoyReading& reading);
    // The zones the bindings of joystick t see: the D-pad's alone while its stick drives the pointer.
    StickZones bindingZones(int joystick, const JoyReading& reading) const;
    // Everything the bindings of joystick t see in `reading`. Moves the triggers' hysteresis on, so
    // each reading is given here once.
    PadInput padInput(int joystick, const JoyReading& reading);
    // Whether joystick t's stick drives the pointer or wheel and is out of its dead zone.
    bool stickDeflected(int joystick, const JoyReading& reading) const;
    // A wheel binding without auto-fire going down (one notch at once) or up; `slot` is the entry of a
    // plain binding, or kPadEntries + 1 for a pad with layers, whose wheel bindings are summed there.
    void wheelBinding(int joystick, int slot, const JoystickBinding& binding, bool down, Owner owner);
    // The bindings of a pad with layers, activators or inputs pressed together.
    bool runLayered(int joystick, const PadInput& input, bool keysOnly);
    // The notches per second the wheel bindings of joystick t held now ask for: vertical, horizontal.
    std::pair<double, double> heldWheelRates(int joystick, const PadInput& input) const;
    bool runBindings(int joystick, bool keysOnly);
    StepReport joystickSteps(bool keysOnly);
    bool joystickAwayFromRest(int joystick);
    bool queryCaps(int id);
    bool runKeyboardBindings();
    // Whether keys may still go out in the tick in progress: not once the program is ending, nor
    // once a move has found its target gone or its pad failing.
    bool typing() const { return !m_ending && !stopRequested() && !m_targetLeft; }
    // Whether a move of `source` may press its next step: the program goes on, the source is switched
    // on, its pad answers, and the target is in front (once it is not, everything is let go).
    bool moveMayGoOn(int source);
    // Whether the target is in front now; once it is not, the tick in progress types nothing more.
    bool targetStillInFront();

    Configuration& m_config;
    Platform m_platform;
    EngineHost& m_host;
    std::atomic<bool> m_stop{false};
    HeldOutput m_held;
    MovePlayer m_player;
    KeyOutput m_output;
    TargetWindows m_targets;
    TargetStatus m_status;
    std::array<LiveViewTags, kMaxJoysticks> m_tags{};
    std::array<uint32_t, kMaxJoysticks> m_triggers{}; // bit 0 left, bit 1 right: down at the last reading
    std::array<int32_t, kKeyBindingCount> m_heldCountdown{}; // keyboard bindings in mode 2
    bool m_ending = false;
    bool m_idle = false;
    bool m_inFront = false;    // the last tick found the target in front
    bool m_targetLeft = false; // the tick in progress found its target gone (before a press)
    std::chrono::steady_clock::duration m_boxTime{}; // the connection-error box has been up, in all
    std::array<PointerMotion, kMaxJoysticks> m_motion{};
    uint32_t m_motionPads = 0;                         // bit t-1: joystick t moves the pointer or wheel
    uint32_t m_lastMotion = 0;                         // tick count of the last motion step
    std::array<uint64_t, kMaxJoysticks> m_wheelHeld{}; // bit e: entry e, a wheel binding, is held
    // By joystick, the wheel bindings a pad with layers holds, each way summed: vertical, horizontal.
    std::array<std::pair<int, int>, kMaxJoysticks> m_layeredWheel{};
    std::array<std::array<FireState, kPadEntries>, kMaxJoysticks> m_fire{}; // the plain bindings' auto-fire
    std::array<PadLayers, kMaxJoysticks> m_layers{};
    std::array<int, kMaxJoysticks> m_shownLayer{}; // the active layer the host was told of; 0: none yet
    // The readings the tick in progress has made, so that the look for rest does not read again.
    std::array<JoyReading, kMaxJoysticks> m_tickReadings{};
    uint32_t m_tickReadMask = 0; // bit t-1: joystick t read by this tick
    // The readings joystickInputChanged made, for the partial tick that answers them (and only it).
    std::array<JoyReading, kMaxJoysticks> m_changeReadings{};
    uint32_t m_changeReadMask = 0;
    uint32_t m_lastAttachCheck = 0;     // tick count of the last look for an attached joystick
    struct SeenInput {
        PadInput input;
        bool deflected = false; // a pointer or wheel stick out of its dead zone
        bool read = false;
        bool operator==(const SeenInput&) const = default;
    };
    std::array<SeenInput, kMaxJoysticks> m_seen{}; // for joystickInputChanged only; ticks keep no copy
};

} // namespace vornik
