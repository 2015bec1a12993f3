// TTimerEx with real threads. Timing assertions are loose: they separate "restarted its sleep" from "did
// not", and "waited for the handler" from "did not", with margins far above scheduling noise.
#include "TimerEx.h"
#include "MainQueue.h"
#include "SystemTimerHooks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using namespace std::chrono_literals;
using vornik::testing::MainQueue;
using namespace vornik;
using Clock = std::chrono::steady_clock;

namespace {

// The hidden window of window-timer mode; the test delivers its timer messages by hand.
struct WindowLog {
    std::vector<std::string> calls; // "Set 1 30", "Kill 1"
    std::map<unsigned, uint32_t> active;
    bool refuse = false;
    int windowsCreated = 0;
    std::function<void(unsigned)> handler; // of the live window, empty once it is released
};

class FakeWindow : public TimerWindow {
public:
    FakeWindow(WindowLog& log, std::function<void(unsigned)> handler) : m_log(log) {
        ++m_log.windowsCreated;
        m_log.handler = std::move(handler);
    }
    ~FakeWindow() override {
        m_log.handler = nullptr;
        m_log.active.clear();
    }
    bool SetTimer(unsigned id, uint32_t ms) override {
        m_log.calls.push_back("Set " + std::to_string(id) + " " + std::to_string(ms));
        if (m_log.refuse)
            return false;
        m_log.active[id] = ms;
        return true;
    }
    void KillTimer(unsigned id) override {
        m_log.calls.push_back("Kill " + std::to_string(id));
        m_log.active.erase(id);
    }

private:
    WindowLog& m_log;
};

// Records firings: when, on which thread, and whether two ever overlapped.
struct Firings {
    std::mutex mutex;
    std::vector<Clock::time_point> times;
    std::vector<std::thread::id> threads;
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};

    void record() {
        if (inside.fetch_add(1) != 0)
            overlapped = true;
        std::lock_guard lock(mutex);
        times.push_back(Clock::now());
        threads.push_back(std::this_thread::get_id());
        inside.fetch_sub(1);
    }
    std::size_t count() {
        std::lock_guard lock(mutex);
        return times.size();
    }
    Clock::time_point first() {
        std::lock_guard lock(mutex);
        return times.front();
    }
};

template <class Predicate> bool waitFor(Predicate done, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Every behaviour with either hand-over to the main thread: the call that waits (false) and the
// queued call after which the worker makes one wait (true).
class TimerExTest : public ::testing::TestWithParam<bool> {
protected:
    TimerHooks hooks() {
        TimerHooks h;
        h.runOnMainThread = queue.hook();
        if (GetParam())
            h.postToMainThread = queue.postHook();
        h.createWindow = [this](std::function<void(unsigned)> handler) {
            return std::make_unique<FakeWindow>(window, std::move(handler));
        };
        h.onError = [this](std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                errors.push_back(e.what());
            }
        };
        addSystemTimerHooks(h); // the worker's priority and, on Linux, its single wait
        return h;
    }
    TNotifyEvent recorder() {
        return [this](TTimerEx&) { firings.record(); };
    }
    void deliverTimerMessage() {
        if (window.handler && window.active.count(1))
            window.handler(1);
    }

    MainQueue queue;
    WindowLog window;
    Firings firings;
    std::vector<std::string> errors; // main thread only
};

TEST_P(TimerExTest, StartsIdleWithItsDefaultsAndAPausedWorker) {
    TTimerEx timer(hooks());
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_TRUE(timer.Threaded());
    EXPECT_EQ(timer.ThreadPriority(), tpNormal);
    EXPECT_FALSE(timer.ThreadSafe());
    EXPECT_FALSE(timer.OnTimer());
    ASSERT_NE(timer.worker(), nullptr);
    EXPECT_EQ(timer.worker()->state(), TTimerThread::State::Paused);
    EXPECT_FALSE(timer.hasHiddenWindow());
}

TEST_P(TimerExTest, IntervalZeroNeverFiresInEitherMode) {
    TTimerEx timer(hooks());
    timer.setThreadSafe(true);
    timer.setInterval(0);
    timer.setOnTimer(recorder());
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(timer.worker()->state(), TTimerThread::State::Paused);

    timer.setThreaded(false);
    EXPECT_TRUE(window.active.empty());
    deliverTimerMessage();
    EXPECT_EQ(firings.count(), 0u);
}

TEST_P(TimerExTest, ThreadSafeFiresOnTheWorkerAndOtherwiseOnlyOnTheMainThread) {
    TTimerEx timer(hooks());
    timer.setThreadSafe(true);
    timer.setInterval(10);
    timer.setOnTimer(recorder());
    ASSERT_TRUE(waitFor([&] { return firings.count() >= 3; }, 2s));
    EXPECT_EQ(queue.pending(), 0u);

    timer.setThreadSafe(false);
    std::this_thread::sleep_for(50ms); // a firing already under way may still finish on the worker
    const std::size_t before = firings.count();
    ASSERT_TRUE(queue.pumpUntil([&] { return firings.count() >= before + 3; }, 2s));
    std::lock_guard lock(firings.mutex);
    for (std::size_t i = before; i < firings.threads.size(); ++i)
        EXPECT_EQ(firings.threads[i], std::this_thread::get_id());
}

TEST_P(TimerExTest, SameValueChangesNothingButAssigningOnTimerAgainRestarts) {
    TTimerEx timer(hooks());
    timer.setThreaded(false);
    timer.setInterval(30);
    timer.setOnTimer(recorder());
    window.calls.clear();
    timer.setEnabled(true);
    timer.setInterval(30);
    timer.setThreaded(false);
    timer.setThreadPriority(tpNormal);
    EXPECT_TRUE(window.calls.empty());
    timer.setOnTimer(timer.OnTimer());
    EXPECT_EQ(window.calls, (std::vector<std::string>{"Kill 1", "Set 1 30"}));

    // Threaded: reassigning restarts the sleep, so the first firing comes a full Interval later.
    Firings again; // declared before its timer, so it outlives the worker
    TTimerEx threaded(hooks());
    threaded.setThreadSafe(true);
    threaded.setInterval(300);
    threaded.setOnTimer([&](TTimerEx&) { again.record(); });
    std::this_thread::sleep_for(150ms);
    const auto reassigned = Clock::now();
    threaded.setOnTimer(threaded.OnTimer());
    ASSERT_TRUE(waitFor([&] { return again.count() >= 1; }, 3s));
    EXPECT_GE(again.first() - reassigned, 295ms);

    // Enabled set to its value does not restart: the firing comes from the original sleep.
    Firings once;
    TTimerEx steady(hooks());
    steady.setThreadSafe(true);
    steady.setInterval(300);
    steady.setOnTimer([&](TTimerEx&) { once.record(); });
    std::this_thread::sleep_for(150ms);
    const auto touched = Clock::now();
    steady.setEnabled(true);
    ASSERT_TRUE(waitFor([&] { return once.count() >= 1; }, 3s));
    EXPECT_LT(once.first() - touched, 280ms);
}

TEST_P(TimerExTest, DisablingPausesAndEnablingFiresOneFullIntervalAfterTheResume) {
    TTimerEx timer(hooks());
    timer.setThreadSafe(true);
    timer.setInterval(20);
    timer.setOnTimer(recorder());
    ASSERT_TRUE(waitFor([&] { return firings.count() >= 2; }, 2s));
    timer.setEnabled(false);
    EXPECT_EQ(timer.worker()->state(), TTimerThread::State::Paused);
    std::this_thread::sleep_for(30ms); // a firing already past its check may still land
    const std::size_t paused = firings.count();
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(firings.count(), paused);

    // Several reconfigurations in a row, each a pause, are all undone by the last resume.
    timer.setInterval(200);
    timer.UpdateTimer();
    timer.UpdateTimer();
    const auto resumed = Clock::now();
    timer.setEnabled(true);
    EXPECT_EQ(timer.worker()->state(), TTimerThread::State::Running);
    ASSERT_TRUE(waitFor([&] { return firings.count() > paused; }, 3s));
    std::lock_guard lock(firings.mutex);
    EXPECT_GE(firings.times[paused] - resumed, 195ms);
}

TEST_P(TimerExTest, PriorityWhileNotThreadedIsOnlyStoredAndAppliedOnEnteringThreadedMode) {
    std::atomic<int> workerNice{100};
    TTimerEx timer(hooks());
    timer.setThreaded(false);
    timer.setInterval(10);
    timer.setOnTimer(recorder());
    window.calls.clear();
    timer.setThreadPriority(tpLower);
    EXPECT_EQ(timer.ThreadPriority(), tpLower);
    EXPECT_TRUE(window.calls.empty());

    timer.setThreadSafe(true);
    timer.setOnTimer([&](TTimerEx&) {
#ifdef __linux__
        workerNice = getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
#endif
        firings.record();
    });
    timer.setThreaded(true);
    ASSERT_TRUE(waitFor([&] { return firings.count() >= 1; }, 2s));
    EXPECT_EQ(timer.worker()->appliedPriority(), tpLower);
#ifdef __linux__
    EXPECT_EQ(workerNice.load(), niceValueOf(tpLower)); // lowering needs no privilege
#endif
}

TEST_P(TimerExTest, ARefusedRaiseKeepsTheTimerRunning) {
    // Nice values run 19..-20 in the order of the priorities, normal at 0, highest well above it.
    for (int p = tpIdle; p < tpTimeCritical; ++p)
        EXPECT_GT(niceValueOf(TThreadPriority(p)), niceValueOf(TThreadPriority(p + 1)));
    EXPECT_EQ(niceValueOf(tpNormal), 0);
    EXPECT_LE(niceValueOf(tpHighest), -5);
    for (int p = tpIdle; p < tpTimeCritical; ++p)
        EXPECT_LT(windowsPriorityOf(TThreadPriority(p)), windowsPriorityOf(TThreadPriority(p + 1)));

    std::atomic<int> workerNice{100};
    TTimerEx timer(hooks());
    timer.setThreadSafe(true);
    timer.setThreadPriority(tpHighest);
    timer.setInterval(10);
    timer.setOnTimer([&](TTimerEx&) {
#ifdef __linux__
        workerNice = getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
#endif
        firings.record();
    });
    ASSERT_TRUE(waitFor([&] { return firings.count() >= 3; }, 2s));
    EXPECT_EQ(timer.worker()->appliedPriority(), tpHighest);
#ifdef __linux__
    if (!timer.worker()->priorityRefused()) {
        EXPECT_EQ(workerNice.load(), niceValueOf(tpHighest));
    }
#endif
}

TEST_P(TimerExTest, SwitchingToWindowTimerEndsTheWorkerAndKeepsFiring) {
    TTimerEx timer(hooks());
    timer.setThreadSafe(true);
    timer.setInterval(10);
    timer.setOnTimer(recorder());
    ASSERT_TRUE(waitFor([&] { return firings.count() >= 2; }, 2s));

    timer.setThreaded(false);
    EXPECT_EQ(timer.worker(), nullptr);
    EXPECT_TRUE(timer.hasHiddenWindow());
    EXPECT_EQ(window.active, (std::map<unsigned, uint32_t>{{1u, 10u}}));
    const std::size_t atSwitch = firings.count();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(firings.count(), atSwitch);
    deliverTimerMessage();
    deliverTimerMessage();
    EXPECT_EQ(firings.count(), atSwitch + 2);

    // And back: the hidden window goes, a new worker fires.
    timer.setThreaded(true);
    EXPECT_FALSE(timer.hasHiddenWindow());
    ASSERT_NE(timer.worker(), nullptr);
    EXPECT_TRUE(waitFor([&] { return firings.count() >= atSwitch + 4; }, 2s));
}

TEST_P(TimerExTest, RefusedWindowTimerRaisesOutOfResourcesAndLeavesTheTimerIdle) {
    window.refuse = true;
    TTimerEx timer(hooks());
    timer.setThreaded(false);
    timer.setInterval(25);
    try {
        timer.setOnTimer(recorder());
        FAIL() << "expected EOutOfResources";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "No More Timers Available");
    }
    EXPECT_TRUE(timer.OnTimer());
    EXPECT_EQ(timer.Interval(), 25u);
    EXPECT_TRUE(window.active.empty());

    // Without a window toolkit every window timer is refused.
    TTimerEx bare;
    bare.setOnTimer([](TTimerEx&) {});
    EXPECT_THROW(bare.setThreaded(false), EOutOfResources);
}

TEST_P(TimerExTest, SlowMainThreadHandlerStretchesThePeriodAndNeverOverlaps) {
    TTimerEx timer(hooks());
    timer.setInterval(50);
    timer.setOnTimer([&](TTimerEx&) {
        firings.record();
        std::this_thread::sleep_for(100ms);
    });
    ASSERT_TRUE(queue.pumpUntil([&] { return firings.count() >= 8; }, 5s));
    EXPECT_FALSE(firings.overlapped);
    std::lock_guard lock(firings.mutex);
    const auto& t = firings.times;
    for (std::size_t i = 1; i < t.size(); ++i)
        EXPECT_GE(t[i] - t[i - 1], 148ms) << "period " << i;
    EXPECT_LT((t.back() - t.front()) / (t.size() - 1), 230ms);
}

TEST_P(TimerExTest, NoFiringAfterDestructionInAnyMode) {
    {
        TTimerEx timer(hooks());
        timer.setThreadSafe(true);
        timer.setInterval(1);
        timer.setOnTimer(recorder());
        ASSERT_TRUE(waitFor([&] { return firings.count() >= 3; }, 2s));
    }
    const std::size_t afterThreadSafe = firings.count();

    // A firing queued for the main thread when the timer goes must be dropped, and its worker leave.
    {
        TTimerEx timer(hooks());
        timer.setInterval(5);
        timer.setOnTimer(recorder());
        ASSERT_TRUE(waitFor([&] { return queue.pending() == 1; }, 2s));
    }
    queue.pumpFor(100ms);
    EXPECT_EQ(queue.pending(), 0u);

    {
        TTimerEx timer(hooks());
        timer.setThreaded(false);
        timer.setInterval(5);
        timer.setOnTimer(recorder());
    }
    EXPECT_FALSE(window.handler);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(firings.count(), afterThreadSafe);
}

TEST_P(TimerExTest, HandlerMayReconfigureItsOwnTimerFromTheMainThreadCall) {
    TTimerEx timer(hooks());
    timer.setInterval(5);
    timer.setOnTimer([&](TTimerEx& sender) {
        firings.record();
        sender.setThreaded(false); // ends the worker that is waiting for this very call
    });
    ASSERT_TRUE(queue.pumpUntil([&] { return firings.count() == 1; }, 2s));
    EXPECT_EQ(timer.worker(), nullptr);
    EXPECT_EQ(window.active.count(1), 1u);
    queue.pumpFor(50ms);
    EXPECT_EQ(firings.count(), 1u);
}

TEST_P(TimerExTest, AnExceptionFromOnTimerIsReportedAndTheTimerKeepsRunning) {
    auto thrower = [&](TTimerEx&) {
        firings.record();
        throw std::runtime_error("tick failed");
    };
    TTimerEx timer(hooks());
    timer.setInterval(5);
    timer.setOnTimer(thrower);
    ASSERT_TRUE(queue.pumpUntil([&] { return errors.size() >= 3; }, 2s));

    // On the worker, the error still reaches the handler on the main thread.
    timer.setThreadSafe(true);
    errors.clear();
    ASSERT_TRUE(queue.pumpUntil([&] { return errors.size() >= 3; }, 2s));
    EXPECT_EQ(errors.front(), "tick failed");

    timer.setThreaded(false);
    errors.clear();
    deliverTimerMessage();
    deliverTimerMessage();
    EXPECT_EQ(errors, (std::vector<std::string>{"tick failed", "tick failed"}));
}

INSTANTIATE_TEST_SUITE_P(HandOver, TimerExTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Posted" : "Waited"; });

} // namespace
