#pragma once

#include "Clock.h"

namespace vornik {

// Real time: sleeps on the calling thread, and counts milliseconds of the monotonic clock.
class SteadyClock : public Clock {
public:
    void sleep(uint32_t ms) override;
    uint32_t tickCount() override;
};

} // namespace vornik
