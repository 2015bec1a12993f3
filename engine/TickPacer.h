#pragma once

#include "Engine.h"

#include <cstdint>
#include <functional>

namespace vornik {

// Lets the ticks rest while nothing can happen. After a tick that finds the program idle
// (Engine::idle) on a platform that announces every input change, the timer's interval goes from
// its usual value to the resting one, which keeps the once-a-second look for attached joysticks.
// Whoever watches the announcements calls wake() on each; a resting pacer then runs a tick at once,
// and unless that tick finds the program idle again the usual interval comes back, counted from
// that tick. So the ticks are exactly as before while anything is active, and a change is answered
// sooner than by a poll. Main thread only.
class TickPacer {
public:
    // `setInterval` changes the timer's interval; `runTick` runs one tick, which ends by calling
    // tickEnded().
    TickPacer(Engine& engine, const Platform& platform, uint32_t interval, uint32_t restInterval,
              std::function<void(uint32_t)> setInterval, std::function<void()> runTick);

    // Called at the end of every tick, the timer's and those run by wake().
    void tickEnded();
    // An input changed, or may have. False when the ticks are not resting and this does nothing;
    // true when it was taken care of: a tick has run (or, inside a tick, the next one will not rest).
    bool wake();
    // The keyboard's or the window system's descriptor became readable: what it announced is taken,
    // and a real change wakes the ticks.
    void changesAnnounced();
    bool resting() const { return m_resting; }
    // Ticks run by wake() so far.
    int wakeTicks() const { return m_wakeTicks; }

private:
    // Takes the keyboard's and the window system's pending changes; true when there were any.
    bool takeChanges();

    Engine& m_engine;
    Platform m_platform;
    uint32_t m_interval;
    uint32_t m_restInterval;
    std::function<void(uint32_t)> m_setInterval;
    std::function<void()> m_runTick;
    bool m_resting = false;
    bool m_inWakeTick = false;
    bool m_wokenMeanwhile = false;
    int m_wakeTicks = 0;
};

} // namespace vornik
