#include "TimerEx.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdio>

namespace vornik {

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr unsigned kTimerId = 1;

// Indexed by TThreadPriority, tpIdle first.
constexpr std::array<int, 7> kNiceValues{19, 10, 5, 0, -5, -10, -20};
constexpr std::array<int, 7> kWindowsPriorities{-15, -2, -1, 0, 1, 2, 15};

// Window-timer mode without a window toolkit: every timer is refused.
class RefusingWindow : public TimerWindow {
public:
    bool SetTimer(unsigned, uint32_t) override { return false; }
    void KillTimer(unsigned) override {}
};

} // namespace

int niceValueOf(TThreadPriority priority) {
    return kNiceValues.at(static_cast<std::size_t>(priority));
}

int windowsPriorityOf(TThreadPriority priority) {
    return kWindowsPriorities.at(static_cast<std::size_t>(priority));
}

// What the worker thread shares with the main thread. It outlives the TTimerThread when a worker is let
// go while blocked in the main-thread call; `owner` may be used only while `stop` is clear.
struct TTimerThread::Control {
    std::mutex mutex;
    std::condition_variable wake;
    TTimerEx* owner;
    std::function<void(const std::function<void()>&)> runOnMainThread;
    std::function<void(std::function<void()>)> postToMainThread;
    std::function<bool(TThreadPriority)> setThreadPriority;
    // With postToMainThread: the worker waits on a deadline that the main thread can move without
    // waking it, and is woken for pause, resume and stop. Null without.
    std::unique_ptr<WorkerWait> waiter;
    bool callPending = false; // a posted firing has not run (or been dropped) yet
    SteadyClock::time_point callEndedAt;

    bool stop = false;
    bool paused = true;
    uint64_t generation = 0; // bumped by every resume, so the worker restarts its sleep
    SteadyClock::time_point resumedAt;
    TThreadPriority wantedPriority = tpNormal;
    TThreadPriority appliedPriority = tpNormal;
    bool priorityRefused = false;
    bool inMainCall = false;

    void applyPriority(TThreadPriority priority) {
        appliedPriority = priority;
        priorityRefused = !(setThreadPriority && setThreadPriority(priority));
    }

    // Runs `call` on the main thread (or, without runOnMainThread, right here) and returns once it has
    // run. `lock` is held on entry and on return but not during the call, which takes it itself;
    // meanwhile inMainCall tells stop() not to join the worker.
    void callOnMainThreadAndWait(std::unique_lock<std::mutex>& lock, const std::function<void()>& call) {
        inMainCall = true;
        lock.unlock();
        if (runOnMainThread)
            runOnMainThread(call);
        else
            call();
        lock.lock();
        inMainCall = false;
    }

    bool posting() const { return waiter != nullptr; }

    // Wakes the worker out of any wait; with the lock held.
    void wakeWorker() {
        wake.notify_all();
        if (waiter)
            waiter->wake();
    }

    // Posting mode: the worker's wait ends at `deadline` (never for time_point::max()). Lock held.
    void armTimer(SteadyClock::time_point deadline) { waiter->setDeadline(deadline); }

    // Posting mode: waits, without the lock, until the deadline or until the worker is woken.
    void waitPosting(std::unique_lock<std::mutex>& lock) {
        lock.unlock();
        waiter->wait();
        lock.lock();
    }
};

TTimerThread::TTimerThread(TTimerEx& owner, const TimerHooks& hooks) : m_control(std::make_shared<Control>()) {
    m_control->owner = &owner;
    m_control->runOnMainThread = hooks.runOnMainThread;
    m_control->setThreadPriority = hooks.setThreadPriority;
    if (hooks.postToMainThread && hooks.createWorkerWait) {
        m_control->waiter = hooks.createWorkerWait();
        if (m_control->waiter)
            m_control->postToMainThread = hooks.postToMainThread;
    }
    m_thread = std::thread(&TTimerThread::Execute, m_control);
}

TTimerThread::~TTimerThread() {
    stop();
}

void TTimerThread::pause() {
    std::lock_guard lock(m_control->mutex);
    m_control->paused = true;
    m_control->wakeWorker();
}

void TTimerThread::resume(TThreadPriority priority) {
    std::lock_guard lock(m_control->mutex);
    m_control->paused = false;
    ++m_control->generation;
    m_control->resumedAt = SteadyClock::now();
    m_control->wantedPriority = priority;
    m_control->wakeWorker();
}

void TTimerThread::stop() {
    bool letGo = false;
    {
        std::lock_guard lock(m_control->mutex);
        m_control->stop = true;
        // Joining a worker that waits for the main thread, from the main thread, would never return.
        letGo = m_control->inMainCall;
        m_control->wakeWorker();
    }
    if (!m_thread.joinable())
        return;
    if (letGo || m_thread.get_id() == std::this_thread::get_id())
        m_thread.detach();
    else
        m_thread.join();
}

TTimerThread::State TTimerThread::state() const {
    std::lock_guard lock(m_control->mutex);
    if (m_control->stop)
        return State::Stopped;
    return m_control->paused ? State::Paused : State::Running;
}

TThreadPriority TTimerThread::appliedPriority() const {
    std::lock_guard lock(m_control->mutex);
    return m_control->appliedPriority;
}

bool TTimerThread::priorityRefused() const {
    std::lock_guard lock(m_control->mutex);
    return m_control->priorityRefused;
}

void TTimerThread::fireIfStillWanted(Control& control, uint64_t generation, std::unique_lock<std::mutex>& lock) {
    if (control.stop || control.paused || control.generation != generation)
        return;
    TTimerEx* target = control.owner;
    lock.unlock();
    try {
        target->FireTimer();
    } catch (...) {
        target->reportError(std::current_exception());
    }
    lock.lock();
}

void TTimerThread::finishPostedFiring(Control& control, uint64_t generation) {
    std::unique_lock lock(control.mutex);
    fireIfStillWanted(control, generation, lock);
    control.callPending = false;
    control.callEndedAt = SteadyClock::now();
    if (control.stop || control.paused || control.generation != generation) {
        control.wakeWorker();
    } else {
        // owner is valid: the timer cannot be stopped without `stop` being set first.
        control.armTimer(control.callEndedAt + std::chrono::milliseconds(control.owner->Interval()));
    }
}

void TTimerThread::Execute(std::shared_ptr<Control> control) {
    Control& c = *control;
    std::unique_lock lock(c.mutex);
    if (c.stop)
        return;
    c.applyPriority(c.owner->ThreadPriority());
    Cycle cycle{c.generation, SteadyClock::now()};

    while (!c.stop) {
        if (c.paused) {
            waitWhilePaused(c, lock);
            continue;
        }
        takeUpResume(c, cycle);
        if (c.posting())
            waitThenPost(control, cycle, lock);
        else
            sleepThenFire(control, cycle, lock);
    }
}

void TTimerThread::waitWhilePaused(Control& c, std::unique_lock<std::mutex>& lock) {
    if (c.posting()) {
        c.armTimer(SteadyClock::time_point::max());
        c.waitPosting(lock);
    } else {
        c.wake.wait(lock, [&] { return c.stop || !c.paused; });
    }
}

void TTimerThread::takeUpResume(Control& c, Cycle& cycle) {
    if (cycle.seenGeneration == c.generation)
        return;
    cycle.seenGeneration = c.generation;
    cycle.sleepStart = c.resumedAt;
    if (c.wantedPriority != c.appliedPriority)
        c.applyPriority(c.wantedPriority);
}

void TTimerThread::sleepThenFire(const std::shared_ptr<Control>& control, Cycle& cycle,
                                 std::unique_lock<std::mutex>& lock) {
    Control& c = *control;
    const auto deadline = cycle.sleepStart + std::chrono::milliseconds(c.owner->Interval());
    const bool interrupted = c.wake.wait_until(
        lock, deadline, [&] { return c.stop || c.paused || c.generation != cycle.seenGeneration; });
    if (interrupted)
        return;
    if (c.owner->ThreadSafe())
        fireOnWorker(control, cycle, lock);
    else
        fireOnMainThread(control, cycle, lock);
}

void TTimerThread::waitThenPost(const std::shared_ptr<Control>& control, Cycle& cycle,
                                std::unique_lock<std::mutex>& lock) {
    Control& c = *control;
    // The sleep after a posted firing starts when the call has run; until then, no deadline.
    if (c.callPending) {
        c.armTimer(SteadyClock::time_point::max());
        c.waitPosting(lock);
        return;
    }
    cycle.sleepStart = std::max(cycle.sleepStart, c.callEndedAt);
    const auto deadline = cycle.sleepStart + std::chrono::milliseconds(c.owner->Interval());
    if (SteadyClock::now() < deadline) {
        c.armTimer(deadline);
        c.waitPosting(lock);
        return; // everything is looked at again: the deadline may have been reached
    }
    if (c.owner->ThreadSafe())
        fireOnWorker(control, cycle, lock);
    else
        postFiring(control, cycle.seenGeneration, lock);
}

void TTimerThread::fireOnWorker(const std::shared_ptr<Control>& control, Cycle& cycle,
                                std::unique_lock<std::mutex>& lock) {
    Control& c = *control;
    TTimerEx* owner = c.owner;
    lock.unlock();
    std::exception_ptr error;
    try {
        owner->FireTimer();
    } catch (...) {
        error = std::current_exception();
    }
    lock.lock();
    if (error && !c.stop) {
        // Errors are shown on the main thread, like those of window-timer mode.
        c.callOnMainThreadAndWait(lock, [control, error] {
            std::unique_lock inner(control->mutex);
            if (control->stop)
                return;
            TTimerEx* target = control->owner;
            inner.unlock();
            target->reportError(error);
        });
    }
    // Not fixed-rate: the next sleep starts after the firing.
    cycle.sleepStart = SteadyClock::now();
}

void TTimerThread::fireOnMainThread(const std::shared_ptr<Control>& control, Cycle& cycle,
                                    std::unique_lock<std::mutex>& lock) {
    const uint64_t firingGeneration = cycle.seenGeneration;
    // The main thread decides, when it gets to the call, whether the firing is still wanted: a
    // pause or resume in between (which happen on the main thread) cancels it.
    control->callOnMainThreadAndWait(lock, [control, firingGeneration] {
        std::unique_lock inner(control->mutex);
        fireIfStillWanted(*control, firingGeneration, inner);
    });
    // Not fixed-rate: the next sleep starts after the firing.
    cycle.sleepStart = SteadyClock::now();
}

void TTimerThread::postFiring(const std::shared_ptr<Control>& control, uint64_t generation,
                              std::unique_lock<std::mutex>& lock) {
    control->callPending = true;
    lock.unlock();
    // As with runOnMainThread, the main thread decides when it gets to the call whether it is still
    // wanted. Once it has run (or been dropped), the call itself sets the worker's next wake-up.
    control->postToMainThread([control, generation] { finishPostedFiring(*control, generation); });
    lock.lock();
}

TTimerEx::TTimerEx(TimerHooks hooks) : m_hooks(std::move(hooks)) {
    m_worker = std::make_unique<TTimerThread>(*this, m_hooks);
}

TTimerEx::~TTimerEx() {
    m_enabled.store(false);
    try {
        UpdateTimer();
    } catch (...) {
        // Disabled, UpdateTimer starts nothing that could fail; nothing to report from a destructor.
    }
    if (m_worker) {
        m_worker->stop();
        m_worker.reset();
    }
    m_window.reset();
}

void TTimerEx::setEnabled(bool value) {
    if (m_enabled.load() == value)
        return;
    m_enabled.store(value);
    UpdateTimer();
}

void TTimerEx::setInterval(uint32_t ms) {
    if (m_interval.load() == ms)
        return;
    m_interval.store(ms);
    UpdateTimer();
}

TNotifyEvent TTimerEx::OnTimer() const {
    std::lock_guard lock(m_handlerMutex);
    return m_onTimer ? *m_onTimer : TNotifyEvent{};
}

void TTimerEx::setOnTimer(TNotifyEvent handler) {
    {
        std::lock_guard lock(m_handlerMutex);
        m_onTimer = handler ? std::make_shared<const TNotifyEvent>(std::move(handler)) : nullptr;
    }
    UpdateTimer();
}

void TTimerEx::setThreaded(bool value) {
    if (m_threaded == value)
        return;
    m_threaded = value;
    UpdateTimer();
}

void TTimerEx::setThreadPriority(TThreadPriority value) {
    if (m_priority.load() == value)
        return;
    m_priority.store(value);
    if (m_threaded)
        UpdateTimer();
}

void TTimerEx::FireTimer() {
    if (!Enabled())
        return;
    std::shared_ptr<const TNotifyEvent> handler;
    {
        std::lock_guard lock(m_handlerMutex);
        handler = m_onTimer;
    }
    if (handler)
        (*handler)(*this);
}

void TTimerEx::UpdateTimer() {
    if (m_worker)
        m_worker->pause();
    if (m_window)
        m_window->KillTimer(kTimerId);

    if (m_threaded) {
        m_window.reset();
        if (!m_worker)
            m_worker = std::make_unique<TTimerThread>(*this, m_hooks);
    } else {
        if (m_worker) {
            m_worker->stop();
            m_worker.reset();
        }
        if (!m_window) {
            auto handler = [this](unsigned) { onTimerMessage(); };
            m_window = m_hooks.createWindow ? m_hooks.createWindow(handler) : std::make_unique<RefusingWindow>();
        }
    }

    bool assigned = false;
    {
        std::lock_guard lock(m_handlerMutex);
        assigned = m_onTimer != nullptr;
    }
    if (Interval() == 0 || !Enabled() || !assigned)
        return;

    if (m_threaded)
        m_worker->resume(ThreadPriority());
    else if (!m_window->SetTimer(kTimerId, Interval()))
        throw EOutOfResources("No More Timers Available");
}

void TTimerEx::onTimerMessage() {
    try {
        FireTimer();
    } catch (...) {
        reportError(std::current_exception());
    }
}

void TTimerEx::reportError(std::exception_ptr error) const {
    if (m_hooks.onError) {
        try {
            m_hooks.onError(error);
            return;
        } catch (...) {
            // The error handler failed itself; fall through and at least leave a trace.
        }
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Timer handler failed: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "Timer handler failed with an unknown exception\n");
    }
}

} // namespace vornik
