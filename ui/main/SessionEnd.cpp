// Linux: the signals (SignalExit) and the session manager's commitDataRequest cover the session's end.
#include "SessionEnd.h"

namespace vornik::ui {

class SessionEnd::Filter {};

SessionEnd::SessionEnd(std::function<void()>, std::function<void()>) {}

SessionEnd::~SessionEnd() = default;

} // namespace vornik::ui
