#pragma once

// What the benches that drive the Qt event loop share: a microsecond clock, and loops that wait for
// events (never spin) until a condition holds or a time has passed.

#include <QCoreApplication>

#include <chrono>
#include <cstdint>
#include <ctime>

namespace vornik::bench {

inline int64_t nowUs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

// Runs the Qt event loop until `done` or `limit` has passed; something must wake the loop (a timer
// the bench starts) for `done` to be looked at again.
template <class Predicate> bool loopUntil(Predicate done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

inline void loopFor(std::chrono::milliseconds duration) {
    const auto until = std::chrono::steady_clock::now() + duration;
    loopUntil([&] { return std::chrono::steady_clock::now() >= until; }, duration + std::chrono::seconds(1));
}

} // namespace vornik::bench
