#include "SteadyClock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace vornik {

SteadyClock::SteadyClock() {
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        m_wake[0] = m_wake[1] = -1; // sleeps then simply cannot be cut short
}

SteadyClock::~SteadyClock() {
    for (int fd : m_wake) {
        if (fd >= 0)
            ::close(fd);
    }
}

void SteadyClock::sleep(uint32_t ms) {
    if (ms == 0) {
        std::this_thread::yield();
        return;
    }
    if (m_wake[0] < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    // Until the deadline, or until the pipe becomes readable; a signal that interrupts the wait
    // (EINTR) is not a reason to wake early.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::nanoseconds::zero())
            return;
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
        pollfd wake{m_wake[0], POLLIN, 0};
        const int ready = ::ppoll(&wake, 1, &timeout, nullptr);
        if (ready > 0)
            return;
        if (ready < 0 && errno != EINTR)
            return;
    }
}

uint32_t SteadyClock::tickCount() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    // Truncated to 32 bits: wraps around after about 49.7 days, like the system tick count.
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SteadyClock::interruptSleeps() noexcept {
    if (m_wake[1] < 0)
        return;
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &byte, 1);
    errno = saved;
}

} // namespace vornik
