#pragma once

#include "WindowSystem.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vornik {

// Top-level windows through the ANSI window calls. Titles travel as Big5 bytes (code page 950) on the
// system's side and as UTF-8 on ours; a title that does not convert cleanly is shown with replacement
// characters rather than dropped, so a titled window is never mistaken for an untitled one.
class Win32WindowSystem : public WindowSystem {
public:
    WindowHandle foregroundWindow() override;
    uint32_t windowProcessId(WindowHandle window) override;
    // QueryFullProcessImageNameW, so that a folder named in any script is read right.
    std::string processExecutableName(uint32_t pid) override;
    // Whether the process object is not yet signalled; a process this program may not open runs.
    bool processRunning(uint32_t pid) override;
    // Windows drops synthesized input bound for a process of a higher integrity level than the sender's
    // (an elevated one, run as administrator, while this program is not). A process whose token this
    // program may not even read counts as higher only while this program itself is not elevated.
    bool processOutOfReach(uint32_t pid) override;
    // EnumWindows over every top-level window; an exception from `visit` ends the walk and is rethrown.
    void enumWindows(const std::function<void(WindowHandle)>& visit) override;
    bool isWindowVisible(WindowHandle window) override;
    // GetWindowTextA with a buffer of `maxChars` characters; a double-byte character cut in half by the
    // buffer is dropped.
    std::string windowText(WindowHandle window, int maxChars) override;
    // SetWindowTextA; characters with no Big5 form become "?".
    bool setWindowText(WindowHandle window, const std::string& title) override;
    // The program's own application window, which the main window hands over once it exists; 0 before.
    WindowHandle applicationHandle() override { return m_application; }
    void setApplicationHandle(WindowHandle window) { m_application = window; }

private:
    WindowHandle m_application = 0;
};

// A window handle (HWND) in the form the interfaces use, and back.
inline WindowHandle toWindowHandle(const void* hwnd) {
    return reinterpret_cast<std::uintptr_t>(hwnd);
}
inline void* toNativeWindow(WindowHandle window) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window));
}

// Code page 950 conversions for display text, lossy where the other side has no form for a character.
std::string big5TitleToUtf8(std::string_view big5);
std::string utf8TitleToBig5(std::string_view utf8);

} // namespace vornik
