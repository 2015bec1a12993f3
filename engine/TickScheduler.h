#pragma once

#include "Engine.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace vornik {

// Owns every way a tick starts, and when it runs:
//   - the timer's firing runs a full tick (EngineTick), every `interval` ms from the end of the last;
//   - after a full tick that finds the engine idle, on a platform that announces every input change,
//     the timer rests (its interval becomes `restInterval`; 0 stops it, where the joysticks also
//     announce a pad plugged in, and is a second where they do not, since new pads are looked for on
//     the ticks), until an announcement wakes it: a full tick runs at once, and unless it finds the
//     engine idle again the usual interval comes back;
//   - a joystick change between two ticks is answered at once by a partial tick (InputTick), whether
//     or not a tick ran just before; while resting, a full tick follows it. Only a burst of more than
//     kBurst changes within kBurst × kMinSpacing waits, so a noisy input cannot keep the main thread
//     busy: beyond the burst, the answers come kMinSpacing apart;
//   - a pad plugged in or out while resting (Joysticks::deviceChangesWaiting) runs a full tick, which
//     gives a new pad its page;
//   - while a pad moves the pointer or the wheel (Engine::motionWanted), a motion step every
//     kMotionInterval, which reads only those pads and moves by the time that has passed;
//   - where the joysticks announce nothing, they are read every Joysticks::pollInterval ms between
//     ticks while a press could go out (Engine::pollWanted), and a change is answered as announced;
//   - while a move plays, a move step each time one of its events is due (Engine::moveDueIn), on a
//     single-shot timer set anew after every tick and step; a late step sends what it missed, and the
//     move's later events keep their own times;
//   - one depth count: a tick asked for while one runs (a box it shows runs the event loop) runs
//     after it, never inside it; a motion step due meanwhile is left out (the next one makes up for it),
//     and a move step waits for the tick's end.
// The event loop's adapter watches the descriptors and the user's own clicks and calls the entries
// below. Main thread only.
class TickScheduler {
public:
    static constexpr std::chrono::microseconds kMinSpacing{2000};
    static constexpr int kBurst = 4;
    // The rest where pads plugged in are not announced: they are looked for once a second.
    static constexpr uint32_t kDeviceLookInterval = 1000;
    static constexpr std::chrono::milliseconds kMotionInterval{5}; // 200 pointer moves a second

    struct Hooks {
        // Sets the timer's interval; 0 stops it until it is set again. Empty: there is no timer to rest
        // (the ticks never rest).
        std::function<void(uint32_t ms)> setInterval;
        // Has spacingPassed() called once, `delay` from now.
        std::function<void(std::chrono::microseconds delay)> callLater;
        // The time; empty: the steady clock.
        std::function<std::chrono::steady_clock::time_point()> now;
        // Starts (true) or stops (false) calling motionDue() every kMotionInterval. Empty: no motion.
        std::function<void(bool on)> motionTimer;
        // Starts calling pollDue() every `ms` milliseconds, or stops (0). Empty: the joysticks are
        // never read between ticks.
        std::function<void(uint32_t ms)> pollTimer;
        // Has moveDue() called once, `ms` from now (replacing a call asked for before), or never
        // (nothing). Empty: a move's later events go out only with the ticks.
        std::function<void(std::optional<uint32_t> ms)> moveTimer;
    };

    TickScheduler(Engine& engine, const Platform& platform, Hooks hooks, uint32_t interval = 30,
                  uint32_t restInterval = 1000);

    // The timer's interval has passed.
    void timerFired();
    // The keyboard's or the window system's descriptor became readable.
    void changesAnnounced();
    // The joysticks' descriptor became readable (and has been drained).
    void joysticksAnnounced();
    // The user clicked or typed in the program's own windows, and the event has been handled: the
    // boxes and tables a tick looks at may have changed.
    void userActed();
    // The delay asked of Hooks::callLater has passed.
    void spacingPassed();
    // The motion timer's interval has passed.
    void motionDue();
    bool moving() const { return m_motionOn; }
    // The move timer's delay has passed: the moves send what is due.
    void moveDue();
    // The poll timer's interval has passed: the joysticks are read, and a change answered.
    void pollDue() { joysticksAnnounced(); }
    bool polling() const { return m_pollInterval != 0; }

    bool resting() const { return m_resting; }
    // The depth count of ticks in progress: 0, or 1 while one runs.
    int ticking() const { return m_ticking; }
    // Full ticks run by a wake while resting, and partial ticks run for joystick changes, so far.
    int wakeTicks() const { return m_wakeTicks; }
    int inputTicks() const { return m_inputTicks; }
    // The longest a tick of either kind, or a move step, has taken, the time the connection-error box
    // was up left out (that wait is the player's).
    std::chrono::steady_clock::duration longestTick() const { return m_longestTick; }

private:
    // What a request asks for; a later, larger one takes the place of a pending smaller one.
    enum class Kind : uint8_t { None, Input, Full, Wake };
    void ask(Kind kind);
    void run(Kind kind);
    // Reads the joysticks after an announcement and answers what changed: an input, or a pad plugged in.
    void lookAtJoysticks();
    // A joystick change: answered now, or, beyond a burst, once the burst's time has passed.
    void answerJoysticks();
    // The interval of the resting timer.
    uint32_t restInterval() const;
    void fullTickEnded();
    // Starts or stops the motion timer as the engine wants motion or not.
    void followMotion();
    // Starts or stops the poll timer as the engine wants the joysticks read between ticks or not.
    void followPolling();
    // Sets the move timer for the moves' next event, or stops it.
    void followMoves();
    void measure(std::chrono::steady_clock::time_point started, std::chrono::steady_clock::duration boxBefore);
    bool takeChanges();
    std::chrono::steady_clock::time_point now() const;

    Engine& m_engine;
    Platform m_platform;
    Hooks m_hooks;
    uint32_t m_interval;
    uint32_t m_restInterval;
    int m_ticking = 0; // ticks in progress; a tick asked for meanwhile waits in m_pending
    Kind m_pending = Kind::None;
    bool m_changedMeanwhile = false; // an announced change was taken while a tick ran
    bool m_resting = false;
    bool m_spacingAsked = false;
    bool m_joysticksUnseen = false; // a joystick announcement came while a tick ran
    bool m_motionOn = false;
    std::optional<uint32_t> m_moveDue; // what the move timer was last set to
    uint32_t m_pollInterval = 0; // ms of the running poll timer; 0 while stopped
    // When the next answer to a joystick change is due if answers come kMinSpacing apart; an answer
    // runs at once while this is less than a burst's time away.
    std::chrono::steady_clock::time_point m_answerDue{};
    int m_wakeTicks = 0;
    int m_inputTicks = 0;
    std::chrono::steady_clock::duration m_longestTick{};
};

} // namespace vornik
