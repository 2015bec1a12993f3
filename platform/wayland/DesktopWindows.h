#pragma once

#include "ToplevelSource.h"
#include "WindowSystem.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vornik {

// The windows of a Wayland desktop for a program that is an X client of its XWayland: the X windows as
// the X backend sees them, and the compositor's native toplevels beside them (as the compositor or
// our code inside it tells them), one entry for a window seen both ways. Which window is in front is
// the compositor's word (the activated toplevel): an X one is then named by its X window (what the X
// backend says is in front), a native one by its toplevel.
//
// A native window's process is what the source tells, or sway's IPC (when $SWAYSOCK names it); one
// not told gives each application id an owner of its own, numbered from kAppIdOwners up (above every
// process id Linux gives), whose executable name is the application id. Which toplevels are X windows
// sway's IPC also tells; elsewhere a toplevel titled as an X window is taken for it. Main thread only.
class DesktopWindows : public WindowSystem {
public:
    static constexpr uint32_t kAppIdOwners = 0x80000000u;

    // `x`: the X backend's windows. `swaySocket` may be empty.
    DesktopWindows(WindowSystem& x, ToplevelSource& source, std::string swaySocket);
    ~DesktopWindows() override;

    WindowHandle foregroundWindow() override;
    uint32_t windowProcessId(WindowHandle window) override;
    void enumWindows(const std::function<void(WindowHandle)>& visit) override;
    bool isWindowVisible(WindowHandle window) override;
    std::string windowText(WindowHandle window, int maxChars) override;
    bool setWindowText(WindowHandle window, const std::string& title) override;
    WindowHandle applicationHandle() override { return m_x.applicationHandle(); }
    std::string processExecutableName(uint32_t pid) override;
    bool processRunning(uint32_t pid) override;
    bool processOutOfReach(uint32_t pid) override { return pid < kAppIdOwners && m_x.processOutOfReach(pid); }
    bool seesEveryWindow() override { return m_source.hasToplevels(); }
    std::string unseenReason() override;
    std::vector<std::string> windowProgramNames(WindowHandle window) override;
    // The application ids of the process's native windows, as sway's IPC tells their processes.
    std::vector<std::string> processProgramNames(uint32_t pid) override;
    bool keysReadWith(WindowHandle window) override { return !native(window); }
    // Readable when either connection is.
    int changeDescriptor() override { return m_poll; }
    bool takeChanges() override;

    static bool native(WindowHandle window) { return window >= ToplevelSource::kHandleBase; }
    // Whether the window in front was a native one at the last foregroundWindow().
    bool nativeInFront() const { return native(m_front); }
    // Asks the source for everything it has to tell up to now (one round trip).
    void refresh() { m_source.roundTrip(); }

private:
    Toplevel* nativeToplevel(WindowHandle window);
    // Tells native toplevels from X ones, and their processes, for those not told yet.
    void classify();
    uint32_t appIdOwner(const std::string& appId);

    WindowSystem& m_x;
    ToplevelSource& m_source;
    std::string m_swaySocket;
    int m_poll = -1;
    WindowHandle m_front = 0;
    int m_waylandFd = -1; // in the epoll set until the connection breaks
    std::vector<std::string> m_appIds; // owner kAppIdOwners + i goes by m_appIds[i]
    std::unordered_map<WindowHandle, std::string> m_givenTitles; // names given to untitled native windows
};

} // namespace vornik
