#include "SteadyClock.h"

#include <chrono>
#include <thread>

namespace vornik {

void SteadyClock::sleep(uint32_t ms) {
    if (ms == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint32_t SteadyClock::tickCount() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    // Truncated to 32 bits: wraps around after about 49.7 days, like the system tick count.
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

} // namespace vornik
