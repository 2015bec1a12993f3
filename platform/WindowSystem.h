#pragma once

#include <cstdint>
#include <functional>
#include <string>

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
    // Whether process `pid` runs above this program's level of trust (on Windows: elevated, as
    // administrator, while this program is not), so that the system drops every key sent to it
    // without a word. False where no such rule exists or it cannot be told.
    virtual bool elevatedAboveUs(uint32_t pid) {
        (void)pid;
        return false;
    }

    // A descriptor that becomes readable when the window in front may have changed, for the main
    // thread's event loop to watch; -1 when the backend has none, and the window in front is then
    // seen only by asking.
    virtual int changeDescriptor() { return -1; }
    // Handles whatever has arrived for the backend, without waiting; true when anything had.
    virtual bool takeChanges() { return false; }
};

} // namespace vornik
