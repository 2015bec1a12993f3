#pragma once

#include "WindowSystem.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vornik {

// Top-level windows through the wide (UTF-16) window calls, so that titles in every script are read
// and written as they are, whatever the system's code page; UTF-8 on our side. A title that does not
// convert cleanly (a lone surrogate) is shown with a replacement character rather than dropped, so a
// titled window is never mistaken for an untitled one.
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
    // GetWindowTextW: the first `maxChars` - 1 characters (a character outside the Basic Multilingual
    // Plane counts as one, though it takes two UTF-16 units).
    std::string windowText(WindowHandle window, int maxChars) override;
    // SetWindowTextW.
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

// UTF-8 and the system's UTF-16, and the first `characters` characters of a UTF-16 text (a surrogate
// pair counts as one).
std::wstring utf16FromUtf8(std::string_view utf8);
std::string utf8FromUtf16(std::wstring_view wide);
std::wstring_view firstCharacters(std::wstring_view text, std::size_t characters);

} // namespace vornik
