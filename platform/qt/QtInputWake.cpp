#include "QtInputWake.h"

namespace vornik {

QtInputWake::QtInputWake(Joysticks& joysticks, std::function<bool()> changed, std::function<void()> respond,
                         QObject* parent)
    : QObject(parent), m_joysticks(joysticks), m_changed(std::move(changed)), m_respond(std::move(respond)) {
    m_deferred.setSingleShot(true);
    m_deferred.setTimerType(Qt::PreciseTimer);
    connect(&m_deferred, &QTimer::timeout, this, [this] { respondNow(); });
    const int fd = m_joysticks.changeDescriptor();
    if (fd < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { onActivity(); });
}

QtInputWake::~QtInputWake() = default;

void QtInputWake::onActivity() {
    m_joysticks.drainChanges();
    if (!m_changed() || m_deferred.isActive())
        return;
    const auto since = std::chrono::steady_clock::now() - m_lastEnd;
    if (since >= kMinSpacing) {
        respondNow();
        return;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(kMinSpacing - since);
    m_deferred.start(wait);
}

void QtInputWake::respondNow() {
    ++m_responses;
    m_respond();
    m_lastEnd = std::chrono::steady_clock::now();
}

} // namespace vornik
