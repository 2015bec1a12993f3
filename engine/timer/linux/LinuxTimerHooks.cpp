// The timer's system hooks on Linux: the worker's nice value, and its wait on a timerfd that the main
// thread moves without waking it, beside an eventfd for pause, resume and stop.
#include "SystemTimerHooks.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace vornik {

namespace {

class TimerFdWait : public WorkerWait {
public:
    // Null when the system gives no descriptors.
    static std::unique_ptr<WorkerWait> create() {
        auto wait = std::make_unique<TimerFdWait>();
        if (wait->m_timerFd < 0 || wait->m_eventFd < 0)
            return nullptr;
        return wait;
    }

    TimerFdWait()
        : m_timerFd(::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)),
          m_eventFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~TimerFdWait() override {
        for (int fd : {m_timerFd, m_eventFd}) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    TimerFdWait(const TimerFdWait&) = delete;
    TimerFdWait& operator=(const TimerFdWait&) = delete;

    void setDeadline(std::chrono::steady_clock::time_point deadline) override {
        itimerspec when{};
        if (deadline != std::chrono::steady_clock::time_point::max()) {
            // steady_clock is CLOCK_MONOTONIC; a zero value would disarm, so the earliest is 1 ns.
            const auto ns = std::max<int64_t>(
                1, std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch()).count());
            when.it_value.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            when.it_value.tv_nsec = static_cast<long>(ns % 1'000'000'000);
        }
        ::timerfd_settime(m_timerFd, TFD_TIMER_ABSTIME, &when, nullptr);
    }

    void wake() override {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_eventFd, &one, sizeof one);
    }

    void wait() override {
        pollfd fds[2] = {{m_timerFd, POLLIN, 0}, {m_eventFd, POLLIN, 0}};
        while (::poll(fds, 2, -1) < 0 && errno == EINTR) {
        }
        uint64_t count = 0;
        for (const pollfd& fd : fds) {
            if (fd.revents & POLLIN)
                [[maybe_unused]] const ssize_t got = ::read(fd.fd, &count, sizeof count);
        }
    }

private:
    int m_timerFd;
    int m_eventFd;
};

// Raising the priority needs a privilege the process may not have; the thread then keeps its own.
bool setOwnThreadPriority(TThreadPriority priority) {
    // On Linux the nice value belongs to the thread when addressed by its thread id.
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    return setpriority(PRIO_PROCESS, tid, niceValueOf(priority)) == 0;
}

} // namespace

void addSystemTimerHooks(TimerHooks& hooks) {
    hooks.setThreadPriority = setOwnThreadPriority;
    hooks.createWorkerWait = TimerFdWait::create;
}

} // namespace vornik
