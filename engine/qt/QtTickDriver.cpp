#include "QtTickDriver.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

namespace vornik {

QtTickDriver::QtTickDriver(Engine& engine, const Platform& platform, std::function<void(uint32_t)> setInterval,
                           uint32_t interval, uint32_t restInterval, QObject* parent)
    : QObject(parent), m_joysticks(platform.joysticks),
      m_scheduler(engine, platform,
                  TickScheduler::Hooks{std::move(setInterval),
                                       [this](std::chrono::microseconds delay) {
                                           m_spacing.start(std::chrono::ceil<std::chrono::milliseconds>(delay));
                                       },
                                       {},
                                       [this](bool on) {
                                           if (on)
                                               m_motion.start(TickScheduler::kMotionInterval);
                                           else
                                               m_motion.stop();
                                       },
                                       [this](uint32_t ms) {
                                           if (ms != 0)
                                               m_poll.start(std::chrono::milliseconds(ms));
                                           else
                                               m_poll.stop();
                                       },
                                       [this](std::optional<uint32_t> ms) {
                                           if (ms)
                                               m_moves.start(std::chrono::milliseconds(*ms));
                                           else
                                               m_moves.stop();
                                       }},
                  interval, restInterval) {
    m_spacing.setSingleShot(true);
    m_spacing.setTimerType(Qt::PreciseTimer);
    connect(&m_spacing, &QTimer::timeout, this, [this] { m_scheduler.spacingPassed(); });
    m_motion.setTimerType(Qt::PreciseTimer);
    connect(&m_motion, &QTimer::timeout, this, [this] { m_scheduler.motionDue(); });
    m_poll.setTimerType(Qt::PreciseTimer);
    // A move's events keep their milliseconds: a coarse timer may fire 5 % late.
    m_moves.setSingleShot(true);
    m_moves.setTimerType(Qt::PreciseTimer);
    connect(&m_moves, &QTimer::timeout, this, [this] { m_scheduler.moveDue(); });
    connect(&m_poll, &QTimer::timeout, this, [this] { m_scheduler.pollDue(); });

    if (const int fd = m_joysticks.changeDescriptor(); fd >= 0) {
        m_joystickNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(m_joystickNotifier.get(), &QSocketNotifier::activated, this, [this] {
            m_joysticks.drainChanges();
            m_scheduler.joysticksAnnounced();
        });
    }
    // The keyboard and the window system may share one descriptor (one X connection).
    std::vector<int> watched;
    for (int fd : {platform.keyboard.changeDescriptor(), platform.windows.changeDescriptor()}) {
        if (fd < 0 || std::find(watched.begin(), watched.end(), fd) != watched.end())
            continue;
        watched.push_back(fd);
        auto& notifier = m_changeNotifiers.emplace_back(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read));
        connect(notifier.get(), &QSocketNotifier::activated, this, [this] { m_scheduler.changesAnnounced(); });
    }
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

QtTickDriver::~QtTickDriver() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool QtTickDriver::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        // What the click or key changes is done once the event has been handled, so the tick that
        // looks at it comes after.
        if (m_scheduler.resting() && !m_userActQueued) {
            m_userActQueued = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_userActQueued = false;
                    m_scheduler.userActed();
                },
                Qt::QueuedConnection);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vornik
