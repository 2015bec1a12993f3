#include "TickScheduler.h"

#include <algorithm>
#include <utility>

namespace vornik {

namespace {
// One more tick in progress for as long as it lives, however the tick ends.
struct Depth {
    int& depth;
    explicit Depth(int& d) : depth(d) { ++depth; }
    ~Depth() { --depth; }
};
} // namespace

TickScheduler::TickScheduler(Engine& engine, const Platform& platform, Hooks hooks, uint32_t interval,
                             uint32_t restInterval)
    : m_engine(engine), m_platform(platform), m_hooks(std::move(hooks)), m_interval(interval),
      m_restInterval(restInterval) {}

std::chrono::steady_clock::time_point TickScheduler::now() const {
    return m_hooks.now ? m_hooks.now() : std::chrono::steady_clock::now();
}

void TickScheduler::timerFired() {
    ask(Kind::Full);
}

void TickScheduler::changesAnnounced() {
    if (!takeChanges())
        return;
    // Taken now, so the tick in progress cannot see them when it ends: it must not rest after.
    if (m_ticking > 0)
        m_changedMeanwhile = true;
    if (m_resting)
        ask(Kind::Wake);
}

void TickScheduler::joysticksAnnounced() {
    if (m_ticking > 0) {
        m_joysticksUnseen = true;
        return;
    }
    lookAtJoysticks();
}

void TickScheduler::lookAtJoysticks() {
    if (m_engine.joystickInputChanged())
        answerJoysticks();
    // The tick that answered a change woke the ticks; otherwise a new pad needs one to get its page.
    if (m_resting && m_platform.joysticks.deviceChangesWaiting())
        ask(Kind::Wake);
}

void TickScheduler::answerJoysticks() {
    if (m_spacingAsked)
        return; // the answer already waiting will see this change too
    // At once, unless the answers of a burst have run ahead of one every kMinSpacing by the burst.
    const auto t = now();
    const auto early = m_answerDue - t - (kBurst - 1) * kMinSpacing;
    if (early <= early.zero() || !m_hooks.callLater) {
        ask(Kind::Input);
        return;
    }
    m_spacingAsked = true;
    m_hooks.callLater(std::chrono::ceil<std::chrono::microseconds>(early));
}

void TickScheduler::spacingPassed() {
    m_spacingAsked = false;
    ask(Kind::Input);
}

void TickScheduler::userActed() {
    if (m_resting)
        ask(Kind::Wake);
}

void TickScheduler::ask(Kind kind) {
    if (m_ticking > 0) {
        m_pending = std::max(m_pending, kind);
        return;
    }
    run(kind);
    // Whatever was asked for while it ran, now that it has ended.
    for (;;) {
        if (m_pending != Kind::None) {
            run(std::exchange(m_pending, Kind::None));
        } else if (std::exchange(m_joysticksUnseen, false)) {
            lookAtJoysticks();
        } else {
            break;
        }
    }
}

void TickScheduler::run(Kind kind) {
    const bool full = kind != Kind::Input;
    const auto started = now();
    const auto boxBefore = m_engine.boxTime();
    {
        const Depth inTick(m_ticking);
        if (!full) {
            ++m_inputTicks;
            const auto t = now();
            m_answerDue = std::max(m_answerDue, t) + kMinSpacing;
            m_engine.InputTick();
        } else {
            if (kind != Kind::Full)
                ++m_wakeTicks;
            m_engine.EngineTick();
        }
    }
    measure(started, boxBefore);
    // While resting, a joystick change wakes the ticks: its keys have gone out, and a full tick
    // follows at once.
    if (!full && m_resting)
        m_pending = std::max(m_pending, Kind::Wake);
    if (full)
        fullTickEnded();
    followMotion();
    followPolling();
    followMoves();
}

void TickScheduler::measure(std::chrono::steady_clock::time_point started,
                            std::chrono::steady_clock::duration boxBefore) {
    m_longestTick = std::max(m_longestTick, now() - started - (m_engine.boxTime() - boxBefore));
}

void TickScheduler::moveDue() {
    m_moveDue.reset(); // the single-shot timer has fired
    if (m_ticking > 0)
        return; // the tick's end sets the timer again
    const auto started = now();
    const auto boxBefore = m_engine.boxTime();
    {
        const Depth inStep(m_ticking);
        m_engine.MoveStep();
    }
    measure(started, boxBefore);
    followMoves();
}

void TickScheduler::followMoves() {
    if (!m_hooks.moveTimer)
        return;
    const std::optional<uint32_t> due = m_engine.moveDueIn();
    if (!due && !m_moveDue)
        return;
    m_moveDue = due;
    m_hooks.moveTimer(due);
}

void TickScheduler::motionDue() {
    if (m_ticking > 0)
        return;
    {
        const Depth inStep(m_ticking);
        m_engine.MotionTick();
    }
    followMotion();
}

void TickScheduler::followMotion() {
    const bool wanted = m_engine.motionWanted() && m_hooks.motionTimer;
    if (wanted == m_motionOn)
        return;
    m_motionOn = wanted;
    m_hooks.motionTimer(wanted);
}

void TickScheduler::followPolling() {
    const uint32_t wanted = m_hooks.pollTimer && m_engine.pollWanted() ? m_platform.joysticks.pollInterval() : 0;
    if (wanted == m_pollInterval)
        return;
    m_pollInterval = wanted;
    m_hooks.pollTimer(wanted);
}

void TickScheduler::fullTickEnded() {
    // Events the backend read in the course of the tick, after it looked at the state, make the
    // descriptor quiet without having been seen: they are handled now, and the next tick comes at the
    // usual interval to look at them.
    const bool changed = takeChanges() || std::exchange(m_changedMeanwhile, false);
    const bool rest = m_hooks.setInterval && !changed && m_engine.idle() && m_engine.inputChangesAnnounced();
    if (rest == m_resting)
        return;
    m_resting = rest;
    m_hooks.setInterval(rest ? restInterval() : m_interval);
}

uint32_t TickScheduler::restInterval() const {
    if (m_restInterval == 0 && !m_platform.joysticks.devicesAnnounced())
        return kDeviceLookInterval;
    return m_restInterval;
}

bool TickScheduler::takeChanges() {
    // Both are taken, whatever the first says: each drains what its descriptor announced.
    const bool keyEvents = m_platform.keyboard.takeChanges();
    const bool windowEvents = m_platform.windows.takeChanges();
    return keyEvents || windowEvents;
}

} // namespace vornik
