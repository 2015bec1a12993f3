// TTimerEx with the Qt adapters the program injects: firings reach the Qt main thread, also inside a
// modal dialog's event loop, and window-timer mode runs on a QTimer.
#include "QtTimerHooks.h"
#include "TimerEx.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace vornik;

namespace {

template <class Predicate> bool processEventsUntil(Predicate done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

struct Recorder {
    int count = 0;
    int offMainThread = 0;
    int duringModal = 0;
    bool modalOpen = false;
    std::vector<std::string> errors;

    TNotifyEvent handler() {
        return [this](TTimerEx&) {
            // Only ever touched on the main thread, so no locking: a firing elsewhere is counted as such.
            if (QThread::currentThread() != QCoreApplication::instance()->thread())
                ++offMainThread;
            ++count;
            if (modalOpen)
                ++duringModal;
        };
    }
    TimerHooks hooks() {
        return qtTimerHooks([this](std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                errors.push_back(e.what());
            }
        });
    }
};

TEST(QtTimerHooks, ThreadedFiringsRunOnTheMainThreadAlsoInsideAModalDialog) {
    Recorder r;
    TTimerEx timer(r.hooks());
    timer.setInterval(15);
    timer.setThreadPriority(tpHighest);
    timer.setOnTimer(r.handler());
    ASSERT_TRUE(processEventsUntil([&] { return r.count >= 3; }, 3000));

    QDialog dialog;
    QTimer::singleShot(400, &dialog, &QDialog::accept);
    r.modalOpen = true;
    dialog.exec();
    r.modalOpen = false;
    EXPECT_GE(r.duringModal, 5);
    EXPECT_EQ(r.offMainThread, 0);
}

TEST(QtTimerHooks, WindowTimerModeFiresFromAQTimerUntilDisabled) {
    Recorder r;
    TTimerEx timer(r.hooks());
    timer.setThreaded(false);
    timer.setInterval(10);
    timer.setOnTimer(r.handler());
    EXPECT_EQ(timer.worker(), nullptr);
    ASSERT_TRUE(processEventsUntil([&] { return r.count >= 3; }, 3000));
    EXPECT_EQ(r.offMainThread, 0);

    timer.setEnabled(false);
    const int stopped = r.count;
    processEventsUntil([] { return false; }, 100);
    EXPECT_EQ(r.count, stopped);
}

TEST(QtTimerHooks, DestroyingWhileAFiringWaitsInTheEventQueueNeitherHangsNorFires) {
    Recorder r;
    {
        TTimerEx timer(r.hooks());
        timer.setInterval(1);
        timer.setOnTimer(r.handler());
        // The main thread does not process events: the worker's call is left waiting in the queue.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    processEventsUntil([] { return false; }, 100);
    EXPECT_EQ(r.count, 0);
}

TEST(QtTimerHooks, ErrorsFromOnTimerAreHandedToTheErrorHandlerOnTheMainThread) {
    Recorder r;
    TTimerEx timer(r.hooks());
    timer.setInterval(5);
    timer.setThreadSafe(true);
    timer.setOnTimer([](TTimerEx&) { throw std::runtime_error("engine tick failed"); });
    ASSERT_TRUE(processEventsUntil([&] { return r.errors.size() >= 2; }, 3000));
    EXPECT_EQ(r.errors.front(), "engine tick failed");

    // A switch from inside the handler's own QTimer message must not pull the timer from under it.
    timer.setThreadSafe(false);
    timer.setThreaded(false);
    timer.setOnTimer([&](TTimerEx& sender) {
        ++r.count;
        sender.setThreaded(true);
    });
    ASSERT_TRUE(processEventsUntil([&] { return r.count >= 1; }, 3000));
    EXPECT_NE(timer.worker(), nullptr);
}

} // namespace
