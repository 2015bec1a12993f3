#pragma once

#include "TickScheduler.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <memory>
#include <vector>

namespace vornik {

// The Qt event loop's side of the TickScheduler: watches the joysticks', the keyboard's and the window
// system's change descriptors, and the user's own clicks and keys in the program's windows (answered
// once the event has been handled), and hands each to the scheduler; its single-shot timer keeps the
// spacing, its motion timer paces the pointer, its poll timer reads pads that announce nothing and its
// move timer wakes when a move's next event is due.
// The timer's firing goes to scheduler().timerFired(). Main thread only.
class QtTickDriver : public QObject {
public:
    // `setInterval` sets the tick timer's interval (0 stops it until it is set again); empty when no
    // timer runs, and the ticks never rest.
    QtTickDriver(Engine& engine, const Platform& platform, std::function<void(uint32_t)> setInterval,
                 uint32_t interval, uint32_t restInterval, QObject* parent = nullptr);
    ~QtTickDriver() override;

    TickScheduler& scheduler() { return m_scheduler; }
    // Whether the joysticks announce their changes on a descriptor that is watched.
    bool watchingJoysticks() const { return m_joystickNotifier != nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Joysticks& m_joysticks;
    TickScheduler m_scheduler;
    std::unique_ptr<QSocketNotifier> m_joystickNotifier;
    std::vector<std::unique_ptr<QSocketNotifier>> m_changeNotifiers;
    QTimer m_spacing;
    QTimer m_motion;
    QTimer m_poll;
    QTimer m_moves;
    bool m_userActQueued = false;
};

} // namespace vornik
