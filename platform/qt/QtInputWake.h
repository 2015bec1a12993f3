#pragma once

#include "Joysticks.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

namespace vornik {

// Answers joystick input between the timer's ticks. The main thread's event loop watches the
// joysticks' change descriptor; when it turns readable the descriptor is drained and `changed` asks
// whether the input changed in a way that matters. If so, `respond` runs at once, or, when a tick
// (a response or one of the timer's, reported with tickEnded) ended less than kMinSpacing ago, as
// soon as that spacing has passed: a noisy input can never make the main thread run back to back.
// Without a change descriptor nothing is watched. Main thread only.
class QtInputWake : public QObject {
public:
    static constexpr std::chrono::microseconds kMinSpacing{2000};

    QtInputWake(Joysticks& joysticks, std::function<bool()> changed, std::function<void()> respond,
                QObject* parent = nullptr);
    ~QtInputWake() override;

    // A tick of the timer has just ended.
    void tickEnded() { m_lastEnd = std::chrono::steady_clock::now(); }
    bool watching() const { return m_notifier != nullptr; }
    // Responses run so far.
    int responses() const { return m_responses; }

private:
    void onActivity();
    void respondNow();

    Joysticks& m_joysticks;
    std::function<bool()> m_changed;
    std::function<void()> m_respond;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_deferred;
    std::chrono::steady_clock::time_point m_lastEnd{};
    int m_responses = 0;
};

} // namespace vornik
