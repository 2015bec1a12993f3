#include "QtTimerWindow.h"

#include <QCoreApplication>

#include <limits>

namespace vornik {

QtTimerWindow::QtTimerWindow(std::function<void(unsigned id)> onTimerMessage)
    : m_onTimerMessage(std::move(onTimerMessage)) {}

QtTimerWindow::~QtTimerWindow() {
    // The window may go from inside one of its own timer messages (the handler switched the timer to
    // threaded mode), so the emitting QTimer is deleted later, not under its own signal.
    for (auto& [id, timer] : m_timers) {
        timer->stop();
        timer->disconnect();
        timer.release()->deleteLater();
    }
}

bool QtTimerWindow::SetTimer(unsigned id, uint32_t intervalMs) {
    if (!QCoreApplication::instance() || intervalMs > uint32_t(std::numeric_limits<int>::max()))
        return false;
    auto& timer = m_timers[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer.get(), &QTimer::timeout, [this, id] { m_onTimerMessage(id); });
    }
    timer->start(int(intervalMs));
    return timer->isActive();
}

void QtTimerWindow::KillTimer(unsigned id) {
    if (auto it = m_timers.find(id); it != m_timers.end())
        it->second->stop();
}

} // namespace vornik
