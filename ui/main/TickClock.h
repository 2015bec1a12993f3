#pragma once

// The engine's clock: a worker of the highest priority sleeps `Interval`, then has the main thread
// run one tick through the scheduler and waits for it. Every tick starts through the scheduler (the
// timer, the announced changes, the user's clicks): a press goes out at once rather than at the
// next tick, and while the engine is idle the ticks rest until an input changes.

#include "Engine.h"
#include "Platform.h"
#include "QtTickDriver.h"
#include "TimerEx.h"

#include <memory>

class QWidget;

namespace vornik::ui {

class TickClock {
public:
    // Without `run` nothing ticks by itself (tests call fire()); `restInterval`: see StartupOptions.
    // A tick's error is shown in a box over `window`.
    TickClock(Engine& engine, const Platform& platform, QWidget* window, bool run, uint32_t restInterval);
    // The worker and the input watch go first: no tick may reach what the window is taking down.
    ~TickClock();

    TTimerEx& timer() { return *m_timer; }
    QtTickDriver& ticks() { return *m_ticks; }
    // The timer's event: one tick, through the scheduler.
    void fire() { m_ticks->scheduler().timerFired(); }
    void stop() { m_timer->setEnabled(false); }

private:
    std::unique_ptr<TTimerEx> m_timer;
    std::unique_ptr<QtTickDriver> m_ticks;
};

} // namespace vornik::ui
