#include "SessionEnd.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace vornik::ui {

class SessionEnd::Filter : public QAbstractNativeEventFilter {
public:
    Filter(std::function<void()> asked, std::function<void()> ended)
        : m_asked(std::move(asked)), m_ended(std::move(ended)) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        // Every top-level window gets both; the toolkit still answers them after us.
        if (msg->message == WM_QUERYENDSESSION) {
            m_asked();
        } else if (msg->message == WM_ENDSESSION && msg->wParam != 0 && !m_done) {
            m_done = true;
            m_ended();
        }
        return false;
    }

private:
    std::function<void()> m_asked;
    std::function<void()> m_ended;
    bool m_done = false;
};

SessionEnd::SessionEnd(std::function<void()> asked, std::function<void()> ended)
    : m_filter(std::make_unique<Filter>(std::move(asked), std::move(ended))) {
    QCoreApplication::instance()->installNativeEventFilter(m_filter.get());
}

SessionEnd::~SessionEnd() {
    QCoreApplication::instance()->removeNativeEventFilter(m_filter.get());
}

} // namespace vornik::ui
