#pragma once

// Runs a Qt test's event loop, where the ticks, the timers and the X events arrive, until a
// condition holds or a limit far above any expected wait has passed.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

namespace vornik::test {

inline bool runUntil(const std::function<bool()>& done, int limitMs = 5000) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

} // namespace vornik::test
