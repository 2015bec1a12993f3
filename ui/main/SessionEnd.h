#pragma once

// The session ending without a signal. On Windows a log-off or a shutdown sends WM_QUERYENDSESSION
// (the session may still go on: `asked` releases the keys and brings the recovery profile up to
// date), then WM_ENDSESSION, after which the process is ended without further notice: `ended` runs
// once, before the toolkit closes the windows, and ends the program as a signal does, so that no
// question holds the log-off up. On Linux the session manager's commitDataRequest and the signals
// cover the same ground: nothing here.

#include <functional>
#include <memory>

namespace vornik::ui {

class SessionEnd {
public:
    SessionEnd(std::function<void()> asked, std::function<void()> ended);
    ~SessionEnd();
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

private:
    class Filter;
    std::unique_ptr<Filter> m_filter;
};

} // namespace vornik::ui
