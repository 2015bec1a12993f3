#pragma once

#include <cstdint>

namespace vornik {

// Sleeping and the millisecond tick count.
class Clock {
public:
    virtual ~Clock() = default;
    // Blocks the calling thread for `ms` milliseconds; 0 only yields.
    virtual void sleep(uint32_t ms) = 0;
    // Milliseconds since some fixed point; wraps around.
    virtual uint32_t tickCount() = 0;
    // Makes the sleep in progress, on any thread, and every later sleep return at once. Called when
    // the program is asked to end; safe to call from a signal handler. Does nothing by default.
    virtual void interruptSleeps() noexcept {}
};

} // namespace vornik
