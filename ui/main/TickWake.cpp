#include "TickWake.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

namespace vornik::ui {

TickWake::TickWake(Engine& engine, const Platform& platform, TTimerEx& timer, uint32_t interval, uint32_t restInterval,
                   std::function<void()> runTick, QObject* parent)
    : QObject(parent), m_pacer(
                           engine, platform, interval, restInterval, [&timer](uint32_t ms) { timer.setInterval(ms); },
                           std::move(runTick)) {
    // The keyboard and the window system may share one descriptor (one X connection).
    std::vector<int> watched;
    for (int fd : {platform.keyboard.changeDescriptor(), platform.windows.changeDescriptor()}) {
        if (fd < 0 || std::find(watched.begin(), watched.end(), fd) != watched.end())
            continue;
        watched.push_back(fd);
        auto& notifier = m_notifiers.emplace_back(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read));
        connect(notifier.get(), &QSocketNotifier::activated, this, [this] { m_pacer.changesAnnounced(); });
    }
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

TickWake::~TickWake() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool TickWake::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        // What the click or key changes is done once the event has been handled, so the tick
        // that looks at it comes after.
        if (m_pacer.resting() && !m_wakeQueued) {
            m_wakeQueued = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_wakeQueued = false;
                    m_pacer.wake();
                },
                Qt::QueuedConnection);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vornik::ui
