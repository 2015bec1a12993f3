#pragma once

#include "Platform.h"
#include "Win32Clock.h"
#include "Win32Joysticks.h"
#include "Win32Keyboard.h"
#include "Win32WindowSystem.h"

namespace vornik {

// The real backend on Windows: winmm joysticks, keybd_event key output with GetAsyncKeyState, the
// window calls, Sleep and GetTickCount. Use it on the main thread. Destroying it releases every key it
// still holds down.
class Win32Platform {
public:
    Win32Platform() = default;
    ~Win32Platform() { m_keyboard.releaseAll(); }
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    const Platform& platform() const { return m_platform; }
    Win32Joysticks& joysticks() { return m_joysticks; }
    Win32Keyboard& keyboard() { return m_keyboard; }
    Win32WindowSystem& windows() { return m_windows; }
    Win32Clock& clock() { return m_clock; }

private:
    Win32Joysticks m_joysticks;
    Win32Keyboard m_keyboard;
    Win32WindowSystem m_windows;
    Win32Clock m_clock;
    Platform m_platform{m_joysticks, m_keyboard, m_windows, m_clock};
};

} // namespace vornik
