#pragma once

#include "WindowSystem.h"
#include "XConnection.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace vornik {

// Top-level client windows of the X desktop. Main thread only.
//
// The foreground window is _NET_ACTIVE_WINDOW where the window manager publishes it, else the input
// focus walked up to its top-level client. Both are followed by events: the answer is asked for once
// and kept until a PropertyNotify of _NET_ACTIVE_WINDOW on the root window, or a focus event on the
// root or a top-level window (each watched from its creation on), says it may have changed. Process
// ids come from the X-Resource extension, which knows the owning connection's process, with
// _NET_WM_PID only as a fallback; they are cached and dropped when the window is destroyed. So an
// idle engine tick costs no round trip here.
//
// The window list (CTRL+J held rebuilds it on every tick) costs one round trip for the list itself and
// none per window already seen: each listed client is watched from its first listing on, and what was
// read of it (whether it is there and viewable, its title) is kept until an event says it changed: its
// destruction, a map or unmap of it or of any top-level frame, a reparenting, a change of its title.
class XWindowSystem : public WindowSystem {
public:
    explicit XWindowSystem(XConnection& connection);

    WindowHandle foregroundWindow() override;
    uint32_t windowProcessId(WindowHandle window) override;
    // The name of what /proc/PID/exe links to.
    std::string processExecutableName(uint32_t pid) override;
    // kill(pid, 0); a process of another user counts as running.
    bool processRunning(uint32_t pid) override;
    // False on a Wayland desktop: this connection is then XWayland's, which knows no Wayland-native
    // window, and _NET_ACTIVE_WINDOW reads None while one of them is in front.
    bool seesEveryWindow() override { return !m_waylandDesktop; }
    // Whether the session is a Wayland desktop, from $WAYLAND_DISPLAY and $XDG_SESSION_TYPE (either
    // may be null).
    static bool waylandDesktop(const char* waylandDisplay, const char* sessionType);
    // Front to back: the window on top first.
    void enumWindows(const std::function<void(WindowHandle)>& visit) override;
    bool isWindowVisible(WindowHandle window) override;
    std::string windowText(WindowHandle window, int maxChars) override;
    bool setWindowText(WindowHandle window, const std::string& title) override;
    // WM_CLASS: the class, then the instance name when it differs.
    std::vector<std::string> windowProgramNames(WindowHandle window) override;
    WindowHandle applicationHandle() override { return m_applicationHandle; }
    // The connection's socket: whatever may change the window in front arrives there as an event.
    int changeDescriptor() override { return m_connection.descriptor(); }
    bool takeChanges() override { return m_connection.processEvents() > 0; }

    // Whether the last answer of foregroundWindow() still stands: no event read since may have changed
    // it. Asks the server nothing.
    bool foregroundUnchanged() const { return m_foregroundKnown; }

    // The program's main window; the user interface sets it once the window exists.
    void setApplicationHandle(WindowHandle handle) { m_applicationHandle = handle; }
    bool hasXRes() const { return m_hasXRes; }
    // Reads process ids from _NET_WM_PID only, as on a server without X-Resource (for tests).
    void ignoreXRes() {
        m_hasXRes = false;
        m_pids.clear();
    }

    // The top-level client of any window: itself or the first ancestor with WM_STATE, else the client
    // below its top-level frame, else the top-level window. 0 for the root, None or a gone window.
    Window topLevelClient(Window window);

private:
    enum AtomIndex { NetActiveWindow, NetClientListStacking, NetWmPid, NetWmName, Utf8String, WmState, AtomCount };

    bool onEvent(const XEvent& event);
    Window focusedTopLevel();
    bool readWindowList(Window window, Atom property, std::vector<Window>& windows);
    bool hasWmState(Window window);
    Window clientBelow(Window window, int depth);
    uint32_t queryProcessId(Window window);
    std::string readTitle(Window window);
    // Asks for the events in `mask` of `window`, on top of those asked for before.
    void watch(Window window, long mask);

    XConnection& m_connection;
    Atom m_atoms[AtomCount] = {};
    bool m_hasXRes = false;
    bool m_waylandDesktop = false;
    bool m_activeWindowPublished = false;
    // The input focus has moved since the window manager last published the active window: until it
    // publishes again, the published window counts only if it still has the focus.
    bool m_focusMovedSincePublished = false;
    bool m_foregroundKnown = false; // m_foreground is up to date: no event said otherwise since
    Window m_foreground = 0;
    WindowHandle m_applicationHandle = 0;
    std::unordered_map<Window, uint32_t> m_pids;
    std::unordered_map<Window, Window> m_topLevels; // focus window -> its top-level client
    std::unordered_map<Window, long> m_masks;       // what we asked to hear of each window
    // What is known of a listed client window, kept while no event says otherwise.
    struct Known {
        bool viewableKnown = false;
        bool viewable = false;
        bool titleKnown = false;
        std::string title;
    };
    std::unordered_map<Window, Known> m_known;
    // Reads whether a listed window is still there and viewable, unless known; false when gone.
    bool listedWindowThere(Window window);
};

} // namespace vornik
