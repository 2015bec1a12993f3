#pragma once

#include "TimerEx.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace vornik {

// The hidden message window of the timer's window-timer mode: SetTimer/KillTimer on a message-only
// window, whose window procedure hands WM_TIMER to the owner's handler and every other message to
// DefWindowProc. Belongs to the thread that creates it, which must run a message loop.
class Win32TimerWindow : public TimerWindow {
public:
    explicit Win32TimerWindow(std::function<void(unsigned id)> onTimerMessage);
    ~Win32TimerWindow() override;
    Win32TimerWindow(const Win32TimerWindow&) = delete;
    Win32TimerWindow& operator=(const Win32TimerWindow&) = delete;

    // False when the platform refuses the timer, or when the window could not be created.
    bool SetTimer(unsigned id, uint32_t intervalMs) override;
    void KillTimer(unsigned id) override;

    // The window (HWND); null when its creation failed.
    void* handle() const { return m_hwnd; }

    // TimerHooks::createWindow for a program on Win32.
    static std::unique_ptr<TimerWindow> create(std::function<void(unsigned id)> onTimerMessage);

private:
    friend struct Win32TimerWindowProc;
    bool isRunning(unsigned id) const;

    std::function<void(unsigned id)> m_onTimerMessage;
    void* m_hwnd = nullptr;
    std::uint64_t m_running = 0; // bit id set while timer id 0..63 runs
};

} // namespace vornik
