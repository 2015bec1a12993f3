#pragma once

#include "OutputChoice.h"
#include "Platform.h"
#include "SdlJoysticks.h"
#include "SteadyClock.h"
#include "XConnection.h"
#include "XKeyboard.h"
#include "XTestOutput.h"
#include "XWindowSystem.h"

namespace vornik {

// The real backend on Linux: SDL2 joysticks, the key state from XInput 2 (or XQueryKeymap), XTest
// key and pointer output, Xlib windows and the monotonic clock, over one X connection of its own.
// Create it on the main thread (after the window toolkit, so joysticks are detected once everything
// is up) and use it there only. It keeps no record of what it pressed: the engine releases it.
class LinuxPlatform {
public:
    // Opens `displayName`, or $DISPLAY when null; throws std::runtime_error when there is no X server.
    explicit LinuxPlatform(const char* displayName = nullptr);
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    const Platform& platform() const { return m_platform; }
    XConnection& connection() { return m_connection; }
    SdlJoysticks& joysticks() { return m_joysticks; }
    XKeyboard& keyboard() { return m_keyboard; }
    XTestOutput& xtest() { return m_xtest; }
    OutputChoice& outputs() { return m_outputs; }
    const OutputChoice& outputs() const { return m_outputs; }
    XWindowSystem& windows() { return m_windows; }
    SteadyClock& clock() { return m_clock; }

private:
    XConnection m_connection;
    SdlJoysticks m_joysticks;
    XKeyboard m_keyboard;
    XTestOutput m_xtest;
    OutputChoice m_outputs;
    XWindowSystem m_windows;
    SteadyClock m_clock;
    Platform m_platform;
};

} // namespace vornik
