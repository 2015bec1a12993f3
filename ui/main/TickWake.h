#pragma once

#include "TickPacer.h"
#include "TimerEx.h"

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>
#include <vector>

namespace vornik::ui {

// The main window's TickPacer: lets its timer rest while the engine is idle, and wakes it on every
// announcement of a change: the keyboard's and the window system's descriptors, watched here; a
// joystick change, which the window's QtInputWake passes on through wake(); and the user's own
// clicks and keys in the program's windows, the only way the boxes and the tables change, answered
// once the event has been handled. Main thread only.
class TickWake : public QObject {
public:
    TickWake(Engine& engine, const Platform& platform, TTimerEx& timer, uint32_t interval, uint32_t restInterval,
             std::function<void()> runTick, QObject* parent = nullptr);
    ~TickWake() override;

    void tickEnded() { m_pacer.tickEnded(); }
    bool wake() { return m_pacer.wake(); }
    const TickPacer& pacer() const { return m_pacer; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TickPacer m_pacer;
    std::vector<std::unique_ptr<QSocketNotifier>> m_notifiers;
    bool m_wakeQueued = false;
};

} // namespace vornik::ui
