// The timer's system hooks on Windows: the worker's thread priority. The worker hands its firings over
// with the waiting call, so there is no single wait here.
#include "SystemTimerHooks.h"

#include <windows.h>

namespace vornik {

void addSystemTimerHooks(TimerHooks& hooks) {
    // Raising the priority needs a privilege the process may not have; the thread then keeps its own.
    hooks.setThreadPriority = [](TThreadPriority priority) {
        return SetThreadPriority(GetCurrentThread(), windowsPriorityOf(priority)) != 0;
    };
}

} // namespace vornik
