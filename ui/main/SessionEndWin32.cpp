#include "SessionEnd.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace vornik::ui {

class SessionEnd::Filter : public QAbstractNativeEventFilter {
public:
    explicit Filter(std::function<void()> ending) : m_ending(std::move(ending)) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        // Every top-level window gets both; the toolkit still answers them after us.
        if (msg->message == WM_QUERYENDSESSION || (msg->message == WM_ENDSESSION && msg->wParam != 0))
            m_ending();
        return false;
    }

private:
    std::function<void()> m_ending;
};

SessionEnd::SessionEnd(std::function<void()> ending) : m_filter(std::make_unique<Filter>(std::move(ending))) {
    QCoreApplication::instance()->installNativeEventFilter(m_filter.get());
}

SessionEnd::~SessionEnd() {
    QCoreApplication::instance()->removeNativeEventFilter(m_filter.get());
}

} // namespace vornik::ui
