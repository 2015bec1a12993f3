#pragma once

#include "TimerEx.h"

class QObject;

namespace vornik {

// Runs a call on the thread of `context` (the application's main thread when null) and waits for it,
// through a blocking queued call; modal dialogs' event loops run such calls too. Without an application
// the call is dropped.
std::function<void(const std::function<void()>&)> qtMainThreadCall(QObject* context = nullptr);

// Queues a call to run on the thread of `context` (the application's main thread when null) and
// returns at once; modal dialogs' event loops run it too. Without an application the call is dropped.
std::function<void(std::function<void()>)> qtMainThreadPost(QObject* context = nullptr);

// The hooks the program gives every TTimerEx: the two calls above, QtTimerWindow, `onError`, and the
// system's (SystemTimerHooks.h).
TimerHooks qtTimerHooks(std::function<void(std::exception_ptr)> onError);

} // namespace vornik
