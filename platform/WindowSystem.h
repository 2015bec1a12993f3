#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vornik {

using WindowHandle = std::uint64_t; // 0 = no window

// Top-level windows of the desktop. Titles are UTF-8. Main thread only.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // The window in front; 0 when there is none.
    virtual WindowHandle foregroundWindow() = 0;
    // Process id owning `window`; 0 when unknown or the window is gone.
    virtual uint32_t windowProcessId(WindowHandle window) = 0;
    // Calls `visit` for every top-level window, in stacking order; never stops early.
    virtual void enumWindows(const std::function<void(WindowHandle)>& visit) = 0;
    virtual bool isWindowVisible(WindowHandle window) = 0;
    // The title, at most `maxChars` - 1 characters; empty when untitled or gone.
    virtual std::string windowText(WindowHandle window, int maxChars) = 0;
    // Sets the title; false when the window is gone.
    virtual bool setWindowText(WindowHandle window, const std::string& title) = 0;
    // The program's own application window handle.
    virtual WindowHandle applicationHandle() = 0;
    // The file name (no folder, UTF-8) of the executable running as process `pid`, such as "dosbox"
    // or "game.exe"; empty when it cannot be told.
    virtual std::string processExecutableName(uint32_t pid) = 0;
    // Whether process `pid` still runs; true when it cannot be told.
    virtual bool processRunning(uint32_t pid) {
        (void)pid;
        return true;
    }
    // Whether the system drops the key events this program sends before they reach process `pid`
    // (on Windows: the process runs with higher rights, as administrator); false when it cannot be told.
    virtual bool processOutOfReach(uint32_t pid) {
        (void)pid;
        return false;
    }
    // Whether every window that can be in front is one this backend sees. Not so for an X client on
    // a Wayland desktop: while a Wayland-native window is in front, foregroundWindow() answers 0.
    virtual bool seesEveryWindow() { return true; }
    // What the backend lacks to see every window, in its own words (the protocols a compositor does
    // not offer); empty when it sees them all or cannot tell.
    virtual std::string unseenReason() { return {}; }
    // The names the program of `window` goes by besides its executable's (an X window's class and
    // instance name, an application id); empty when none is known.
    virtual std::vector<std::string> windowProgramNames(WindowHandle window) {
        (void)window;
        return {};
    }
    // The names the program running as process `pid` goes by besides its executable's (the application
    // ids of its Wayland windows); empty when none is known.
    virtual std::vector<std::string> processProgramNames(uint32_t pid) {
        (void)pid;
        return {};
    }
    // Whether the key state (Keyboard) follows the keyboard while `window` is in front: not so while a
    // window the program's own display server does not serve is (a Wayland-native one, for an X client).
    virtual bool keysReadWith(WindowHandle window) {
        (void)window;
        return true;
    }

    // A descriptor that becomes readable when the window in front may have changed, for the main
    // thread's event loop to watch; -1 when the backend has none, and the window in front is then
    // seen only by asking.
    virtual int changeDescriptor() { return -1; }
    // Handles whatever has arrived for the backend, without waiting; true when anything had.
    virtual bool takeChanges() { return false; }
};

} // namespace vornik
