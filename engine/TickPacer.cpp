#include "TickPacer.h"

namespace vornik {

TickPacer::TickPacer(Engine& engine, const Platform& platform, uint32_t interval, uint32_t restInterval,
                     std::function<void(uint32_t)> setInterval, std::function<void()> runTick)
    : m_engine(engine), m_platform(platform), m_interval(interval), m_restInterval(restInterval),
      m_setInterval(std::move(setInterval)), m_runTick(std::move(runTick)) {}

void TickPacer::tickEnded() {
    // Events read by the backend in the course of the tick, after it looked at the state, make
    // the descriptor quiet without having been seen: they are handled now, and the next tick
    // comes at the usual interval to look at them.
    const bool rest = !takeChanges() && !m_wokenMeanwhile && m_engine.idle() && m_engine.inputChangesAnnounced();
    m_wokenMeanwhile = false;
    if (rest == m_resting)
        return;
    m_resting = rest;
    m_setInterval(rest ? m_restInterval : m_interval);
}

bool TickPacer::takeChanges() {
    // Both are taken, whatever the first says: each drains what its descriptor announced.
    const bool keyEvents = m_platform.keyboard.takeChanges();
    const bool windowEvents = m_platform.windows.takeChanges();
    return keyEvents || windowEvents;
}

void TickPacer::changesAnnounced() {
    if (takeChanges())
        wake();
}

bool TickPacer::wake() {
    if (!m_resting)
        return false;
    if (m_engine.ticking() || m_inWakeTick) {
        // A box the tick shows runs the event loop: no tick inside a tick, but no rest after it.
        m_wokenMeanwhile = true;
        return true;
    }
    ++m_wakeTicks;
    m_inWakeTick = true;
    m_runTick();
    m_inWakeTick = false;
    return true;
}

} // namespace vornik
