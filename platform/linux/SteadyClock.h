#pragma once

#include "Clock.h"

namespace vornik {

// Real time: sleeps on the calling thread, and counts milliseconds of the monotonic clock. A sleep
// waits on a pipe, so interruptSleeps() (one write, safe in a signal handler) wakes it at once.
class SteadyClock : public Clock {
public:
    SteadyClock();
    ~SteadyClock() override;
    SteadyClock(const SteadyClock&) = delete;
    SteadyClock& operator=(const SteadyClock&) = delete;

    void sleep(uint32_t ms) override;
    uint32_t tickCount() override;
    void interruptSleeps() noexcept override;

private:
    int m_wake[2] = {-1, -1}; // read end, write end; never drained once written
};

} // namespace vornik
