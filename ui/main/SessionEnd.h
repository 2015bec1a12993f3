#pragma once

// The session ending without a signal. On Windows a log-off or a shutdown sends WM_QUERYENDSESSION,
// then WM_ENDSESSION, after which the process is ended without further notice: `ending` runs at
// each (it releases the keys and brings the recovery profile up to date, so it may run again). On
// Linux the session manager's commitDataRequest and the signals cover the same ground: nothing here.

#include <functional>
#include <memory>

namespace vornik::ui {

class SessionEnd {
public:
    explicit SessionEnd(std::function<void()> ending);
    ~SessionEnd();
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

private:
    class Filter;
    std::unique_ptr<Filter> m_filter;
};

} // namespace vornik::ui
