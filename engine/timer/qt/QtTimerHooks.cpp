#include "QtTimerHooks.h"

#include "QtTimerWindow.h"
#include "SystemTimerHooks.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace vornik {

std::function<void(const std::function<void()>&)> qtMainThreadCall(QObject* context) {
    return [context](const std::function<void()>& call) {
        QObject* target = context ? context : QCoreApplication::instance();
        if (!target)
            return;
        // A blocking queued call into the caller's own thread would wait for itself.
        if (target->thread() == QThread::currentThread()) {
            call();
            return;
        }
        QMetaObject::invokeMethod(
            target, [&call] { call(); }, Qt::BlockingQueuedConnection);
    };
}

std::function<void(std::function<void()>)> qtMainThreadPost(QObject* context) {
    return [context](std::function<void()> call) {
        QObject* target = context ? context : QCoreApplication::instance();
        if (!target)
            return;
        QMetaObject::invokeMethod(target, std::move(call), Qt::QueuedConnection);
    };
}

TimerHooks qtTimerHooks(std::function<void(std::exception_ptr)> onError) {
    TimerHooks hooks;
    hooks.runOnMainThread = qtMainThreadCall();
    hooks.postToMainThread = qtMainThreadPost();
    hooks.createWindow = [](std::function<void(unsigned)> onTimerMessage) -> std::unique_ptr<TimerWindow> {
        return std::make_unique<QtTimerWindow>(std::move(onTimerMessage));
    };
    hooks.onError = std::move(onError);
    addSystemTimerHooks(hooks);
    return hooks;
}

} // namespace vornik
