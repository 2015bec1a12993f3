#pragma once

#include "TimerEx.h"

#include <QTimer>

#include <map>
#include <memory>

namespace vornik {

// The hidden window of TTimerEx's window-timer mode: one QTimer per timer id, each expiry delivered to
// the window's message handler on the thread that owns the timers (the main thread).
class QtTimerWindow : public TimerWindow {
public:
    explicit QtTimerWindow(std::function<void(unsigned id)> onTimerMessage);
    ~QtTimerWindow() override;

    // Refused without a running application or for a period QTimer cannot hold.
    bool SetTimer(unsigned id, uint32_t intervalMs) override;
    void KillTimer(unsigned id) override;

private:
    std::function<void(unsigned)> m_onTimerMessage;
    std::map<unsigned, std::unique_ptr<QTimer>> m_timers;
};

} // namespace vornik
