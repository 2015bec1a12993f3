#pragma once

#include "DesktopOutput.h"
#include "DesktopWindows.h"
#include "OutputChoice.h"
#include "Platform.h"
#include "SdlJoysticks.h"
#include "ShellWindows.h"
#include "SteadyClock.h"
#include "UinputOutput.h"
#include "XConnection.h"
#include "XKeyboard.h"
#include "XTestOutput.h"
#include "XWindowSystem.h"

#include <memory>

namespace vornik {

// The real backend on Linux: SDL2 joysticks, the key state from XInput 2 (or XQueryKeymap), XTest
// key and pointer output, Xlib windows and the monotonic clock, over one X connection of its own. On a
// Wayland desktop ($WAYLAND_DISPLAY set) it opens a Wayland connection too: its windows are then the X
// ones and the compositor's native ones (DesktopWindows), and its first output sends into a native
// window through the compositor, into an X one through XTest ("wayland"; "xtest" stays offered). On
// any desktop "uinput" is offered too: a virtual device of the kernel's, made when it is chosen
// (chooseOutput); it is the first choice on a Wayland desktop without the wlroots keyboard (GNOME,
// Plasma) when the user may write to /dev/uinput.
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
    // Sends through the output of that name from now on; the uinput device is made when it is first
    // chosen. False when there is no such output.
    bool chooseOutput(const std::string& name);
    UinputOutput& uinput() { return m_uinput; }
    XWindowSystem& windows() { return m_windows; }
    // The windows the engine works with: the desktop's on a Wayland desktop, else the X ones.
    WindowSystem& desktopWindows() { return m_platform.windows; }
    // The Wayland connection; nullptr when there is none.
    WaylandSession* wayland() { return m_wayland ? m_wayland->connection.get() : nullptr; }
    // What KWin's script or GNOME Shell's extension tells; nullptr when neither is asked.
    ShellWindows* shellWindows() { return m_wayland ? m_wayland->shell.get() : nullptr; }
    SteadyClock& clock() { return m_clock; }

private:
    XConnection m_connection;
    SdlJoysticks m_joysticks;
    XKeyboard m_keyboard;
    XTestOutput m_xtest;
    UinputOutput m_uinput;
    OutputChoice m_outputs;
    XWindowSystem m_windows;
    // On a Wayland desktop: the connection to the compositor (when $WAYLAND_DISPLAY names it), and,
    // where the compositor does not tell its windows itself, the shell's word over the session bus.
    struct Wayland {
        std::unique_ptr<WaylandSession> connection; // may be null
        std::unique_ptr<ShellWindows> shell;         // may be null
        DesktopWindows windows;
        std::unique_ptr<DesktopOutput> output; // with the connection
        Wayland(std::unique_ptr<WaylandSession> opened, std::unique_ptr<ShellWindows> asked, XWindowSystem& x,
                Output& xtest, const char* swaySocket);
        ToplevelSource& source() {
            return shell ? static_cast<ToplevelSource&>(*shell) : static_cast<ToplevelSource&>(*connection);
        }
    };
    // Opens what tells the windows when the desktop is a Wayland one.
    static std::unique_ptr<Wayland> openWayland(XWindowSystem& x, Output& xtest);
    std::unique_ptr<Wayland> m_wayland;
    SteadyClock m_clock;
    Platform m_platform;
};

} // namespace vornik
