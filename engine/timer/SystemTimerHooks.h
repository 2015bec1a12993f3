#pragma once

// What the system gives the timer: the worker's priority, and on Linux the single wait of a worker
// that posts its firings (a timerfd the main thread moves). One implementation per system, in linux/
// or win32/ (CMake target vornik::timer_system); the timer itself links neither.

#include "TimerEx.h"

namespace vornik {

// Fills in TimerHooks::setThreadPriority and, where the system has it, createWorkerWait; the other
// hooks are left as they are.
void addSystemTimerHooks(TimerHooks& hooks);

} // namespace vornik
