#pragma once

#include "NativePlatform.h"
#include "OutputChoice.h"
#include "Platform.h"
#include "Win32Clock.h"
#include "Win32Joysticks.h"
#include "Win32KeyOutput.h"
#include "Win32Keyboard.h"
#include "Win32WindowSystem.h"

namespace vornik {

// The real backend on Windows: winmm joysticks, GetAsyncKeyState, SendInput key and pointer output
// (virtual keys with their scan codes, or scan codes alone), the window calls, Sleep and GetTickCount.
// Use it on the main thread. It keeps no record of what it pressed: the engine releases it.
class Win32Platform {
public:
    Win32Platform() {
        m_outputs.offer(kWindowsKeysOutput, m_keyOutput);
        m_outputs.offer(kWindowsScanCodesOutput, m_scanCodeOutput);
    }
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    const Platform& platform() const { return m_platform; }
    Win32Joysticks& joysticks() { return m_joysticks; }
    Win32Keyboard& keyboard() { return m_keyboard; }
    OutputChoice& outputs() { return m_outputs; }
    const OutputChoice& outputs() const { return m_outputs; }
    Win32WindowSystem& windows() { return m_windows; }
    Win32Clock& clock() { return m_clock; }

private:
    Win32Joysticks m_joysticks;
    Win32Keyboard m_keyboard;
    Win32KeyOutput m_keyOutput;
    Win32KeyOutput m_scanCodeOutput{Win32KeyOutput::Keys::ScanCodesOnly};
    OutputChoice m_outputs;
    Win32WindowSystem m_windows;
    Win32Clock m_clock;
    Platform m_platform{m_joysticks, m_keyboard, m_outputs, m_windows, m_clock};
};

} // namespace vornik
