#pragma once

// TTimerEx: a non-visual timer that calls OnTimer every Interval milliseconds, either from a worker thread
// (TTimerThread) or from a window timer. Everything that belongs to a window toolkit or to the system is
// injected through TimerHooks: the synchronous "run this on the main thread and wait" call, the hidden
// window with its window timer, the handler that shows an error raised by OnTimer, the worker's priority
// and its single wait. The Qt program's hooks are in qt/, the system's in linux/ and win32/.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace vornik {

class TTimerEx;

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Raised by UpdateTimer when the window timer cannot be created.
class EOutOfResources : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using TNotifyEvent = std::function<void(TTimerEx& sender)>;

// The hidden message window of window-timer mode. Its owner gives it a message handler at creation,
// which the window calls on the main thread for every expiry of one of its timers.
class TimerWindow {
public:
    virtual ~TimerWindow() = default;
    // Starts (or restarts) timer `id` with a period of `intervalMs`; false when the platform refuses.
    virtual bool SetTimer(unsigned id, uint32_t intervalMs) = 0;
    // Stops timer `id`; no message for it arrives afterwards. Stopping an unknown timer is harmless.
    virtual void KillTimer(unsigned id) = 0;
};

// The wait of a worker that hands its firings over with TimerHooks::postToMainThread: a wake-up time
// that another thread can set without waking the worker, and a wake that ends the wait at once.
class WorkerWait {
public:
    virtual ~WorkerWait() = default;
    // Sets when the wait ends; time_point::max() never. Any thread.
    virtual void setDeadline(std::chrono::steady_clock::time_point deadline) = 0;
    // Ends the wait under way, or else the next one, at once. Any thread.
    virtual void wake() = 0;
    // Waits until the deadline has come or wake() was called. The worker only.
    virtual void wait() = 0;
};

struct TimerHooks {
    // Runs `call` on the main thread and returns once it has run (or once the main thread has dropped it
    // unrun, for instance because the application is going away). Called only from the worker thread.
    // Empty: the call runs on the worker itself.
    std::function<void(const std::function<void()>& call)> runOnMainThread;
    // Queues `call` to run on the main thread later and returns at once; called only from the worker.
    // Optional, and used only with createWorkerWait. Where the system lets one thread set another's
    // wake-up time (Linux), a worker given both hands a main-thread firing over with it and then makes
    // a single wait, which the call itself ends Interval after it has run: the same cycle as with
    // runOnMainThread (the worker does not go on before the call has run, and sleeps Interval after
    // it), with one wake-up of the worker per firing instead of two. A call the main thread drops
    // unrun leaves the worker waiting until the next pause, resume or stop.
    std::function<void(std::function<void()> call)> postToMainThread;
    // Makes the worker's wait for postToMainThread, once per worker; null when the system cannot (the
    // worker then uses runOnMainThread). Empty: postToMainThread is not used.
    std::function<std::unique_ptr<WorkerWait>()> createWorkerWait;
    // Sets the priority of the calling thread, the worker; false when the system refuses (raising it
    // needs a privilege the process may not have: the worker keeps running at the priority it has).
    // Empty: every priority is refused.
    std::function<bool(TThreadPriority priority)> setThreadPriority;
    // Creates the hidden window; `onTimerMessage(id)` is its message handler for timer messages.
    // Empty: a window that refuses every timer, so window-timer mode raises EOutOfResources.
    std::function<std::unique_ptr<TimerWindow>(std::function<void(unsigned id)> onTimerMessage)> createWindow;
    // Shows an exception raised by OnTimer; always called on the main thread. Empty: written to stderr.
    std::function<void(std::exception_ptr)> onError;
};

// Linux nice value (19..-20) and Windows thread priority (-15..15) of each TThreadPriority.
int niceValueOf(TThreadPriority priority);
int windowsPriorityOf(TThreadPriority priority);

// The worker of threaded mode. Created paused; sleeps Interval, then fires its owner, until stopped.
// Every method is called on the main thread.
class TTimerThread {
public:
    enum class State { Paused, Running, Stopped };

    TTimerThread(TTimerEx& owner, const TimerHooks& hooks);
    // Stops the worker if that has not happened yet.
    ~TTimerThread();
    TTimerThread(const TTimerThread&) = delete;
    TTimerThread& operator=(const TTimerThread&) = delete;

    // Takes effect at once for new firings; never waits for the worker, so a worker blocked in the
    // main-thread call cannot deadlock the main thread.
    void pause();
    // Undoes any number of pauses. The worker takes `priority`, then fires one full Interval from now.
    void resume(TThreadPriority priority);
    // Sets the stop flag and ends the worker. A worker blocked in the main-thread call is let go: it
    // leaves on its own once that call returns, and never touches the owner again.
    void stop();

    State state() const;
    // The priority the worker last applied to itself, and whether the system accepted it.
    TThreadPriority appliedPriority() const;
    bool priorityRefused() const;

private:
    struct Control;
    // The worker's own account of the interval under way.
    struct Cycle {
        uint64_t seenGeneration = 0;                      // the last resume the worker has taken up
        std::chrono::steady_clock::time_point sleepStart; // when the interval began
    };

    // The worker's loop: until stopped, waits while paused, takes up each resume, and otherwise takes
    // one step of the way it fires: posting (waitThenPost) when the hooks give postToMainThread and a
    // WorkerWait, else through runOnMainThread (sleepThenFire).
    static void Execute(std::shared_ptr<Control> control);

    // The loop's steps, on the worker, each with `lock` held on entry and on return.
    // Returns once woken while paused; the loop looks at everything again.
    static void waitWhilePaused(Control& c, std::unique_lock<std::mutex>& lock);
    // After a resume since the last look: the interval restarts from the resume, and the worker takes
    // the priority it asked for.
    static void takeUpResume(Control& c, Cycle& cycle);
    // The runOnMainThread way: sleeps the interval out unless a stop, pause or resume ends the sleep
    // first, then fires (fireOnWorker or fireOnMainThread).
    static void sleepThenFire(const std::shared_ptr<Control>& control, Cycle& cycle,
                              std::unique_lock<std::mutex>& lock);
    // Hands the firing to the main thread with runOnMainThread, waits until it has run, and starts the
    // next interval.
    static void fireOnMainThread(const std::shared_ptr<Control>& control, Cycle& cycle,
                                 std::unique_lock<std::mutex>& lock);
    // The posting way: one wait, while a posted call has not ended or until an interval after it has;
    // once the interval is over, fires (fireOnWorker or postFiring).
    static void waitThenPost(const std::shared_ptr<Control>& control, Cycle& cycle, std::unique_lock<std::mutex>& lock);
    // Queues the firing with postToMainThread and goes on at once; the call sets the worker's next
    // wake-up itself (finishPostedFiring).
    static void postFiring(const std::shared_ptr<Control>& control, uint64_t generation,
                           std::unique_lock<std::mutex>& lock);
    // ThreadSafe, either way: fires on the worker itself, shows an exception on the main thread, and
    // starts the next interval.
    static void fireOnWorker(const std::shared_ptr<Control>& control, Cycle& cycle, std::unique_lock<std::mutex>& lock);

    // On the main thread, `lock` held on entry and on return: fires unless a stop, pause or restart
    // since firing `generation` was handed over cancelled it.
    static void fireIfStillWanted(Control& control, uint64_t generation, std::unique_lock<std::mutex>& lock);
    // On the main thread, the posted call: fires if still wanted, then sets when the worker's wait
    // ends (an interval from now), or wakes it at once after a stop, pause or resume.
    static void finishPostedFiring(Control& control, uint64_t generation);

    std::shared_ptr<Control> m_control;
    std::thread m_thread;
};

class TTimerEx {
public:
    explicit TTimerEx(TimerHooks hooks = {});
    virtual ~TTimerEx();
    TTimerEx(const TTimerEx&) = delete;
    TTimerEx& operator=(const TTimerEx&) = delete;

    bool Enabled() const { return m_enabled.load(); }
    void setEnabled(bool value);
    uint32_t Interval() const { return m_interval.load(); }
    void setInterval(uint32_t ms);
    TNotifyEvent OnTimer() const;
    // Always reconfigures, even for the handler already assigned.
    void setOnTimer(TNotifyEvent handler);
    bool Threaded() const { return m_threaded; }
    void setThreaded(bool value);
    TThreadPriority ThreadPriority() const { return m_priority.load(); }
    // Only stored while not threaded; applied when threaded mode is entered.
    void setThreadPriority(TThreadPriority value);
    // Read by the worker before every firing: true fires on the worker, false on the main thread.
    bool ThreadSafe() const { return m_threadSafe.load(); }
    void setThreadSafe(bool value) { m_threadSafe.store(value); }

    // Calls OnTimer with this component as sender when Enabled and OnTimer is assigned.
    virtual void FireTimer();
    // Brings the worker or the window timer in line with the properties. May raise EOutOfResources.
    void UpdateTimer();

    // For inspection: the worker (null in window-timer mode) and whether the hidden window exists.
    const TTimerThread* worker() const { return m_worker.get(); }
    bool hasHiddenWindow() const { return m_window != nullptr; }

private:
    friend class TTimerThread;
    void onTimerMessage();
    void reportError(std::exception_ptr error) const;

    std::atomic<bool> m_enabled{true};
    std::atomic<uint32_t> m_interval{1000};
    mutable std::mutex m_handlerMutex; // OnTimer is read by the worker while the main thread may assign it
    std::shared_ptr<const TNotifyEvent> m_onTimer;
    bool m_threaded = true;
    std::atomic<TThreadPriority> m_priority{tpNormal};
    std::atomic<bool> m_threadSafe{false};
    TimerHooks m_hooks;
    std::unique_ptr<TTimerThread> m_worker;
    std::unique_ptr<TimerWindow> m_window;
};

} // namespace vornik
