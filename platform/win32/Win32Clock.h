#pragma once

#include "Clock.h"

#include <cstdint>

namespace vornik {

// Sleep, and milliseconds from the performance counter (wraps after 49.7 days, as GetTickCount does):
// GetTickCount steps by the system's timer resolution, about 16 ms, which would move the pointer and
// a move's events in 16 ms jumps.
class Win32Clock : public Clock {
public:
    Win32Clock();
    void sleep(uint32_t ms) override;
    uint32_t tickCount() override;

private:
    int64_t m_frequency = 0; // counts a second; 0 where the counter is missing
};

} // namespace vornik
