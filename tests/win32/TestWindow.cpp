// The other side of the Windows program's test under Wine (tests/win32/wine-program-test.sh): a plain
// Win32 window that the program can target and that records every key message it receives, plus the
// small probes the test needs from inside Windows.
//
//   vornik_win32_testwindow window TITLE LOG   a top-level window titled TITLE; appends to LOG, until
//                                              closed, "down VK SCAN EXT" and "up VK SCAN EXT" per key
//                                              message (decimal; the scan code and the extended bit of
//                                              its lParam), and "raw down MAKECODE E0" and "raw up ..."
//                                              per Raw Input keyboard event (RAWKEYBOARD.MakeCode and
//                                              its RI_KEY_E0 flag), which it registers for
//   vornik_win32_testwindow front TITLE        brings the window titled TITLE to the front
//   vornik_win32_testwindow close TITLE        asks the window titled TITLE to close (WM_CLOSE)
//   vornik_win32_testwindow keys-down          prints every virtual key that is down; exits 1 if any
//   vornik_win32_testwindow end-session TITLE  ends the session for the window titled TITLE as a
//                                              log-off does: WM_QUERYENDSESSION, then WM_ENDSESSION
//                                              (each waited for); prints the first one's answer
//
// Exit status 2: bad arguments or no such window.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

FILE* g_log = nullptr;

LRESULT CALLBACK recordKeys(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        const auto bits = static_cast<unsigned long long>(lParam);
        std::fprintf(g_log, "%s %u %u %u\n", down ? "down" : "up", static_cast<unsigned>(wParam),
                     static_cast<unsigned>((bits >> 16) & 0xFF), static_cast<unsigned>((bits >> 24) & 1));
        std::fflush(g_log);
        break;
    }
    case WM_INPUT: {
        RAWINPUT raw{};
        UINT size = sizeof raw;
        if (GetRawInputData(reinterpret_cast<HRAWINPUT>(lParam), RID_INPUT, &raw, &size, sizeof(RAWINPUTHEADER)) !=
                static_cast<UINT>(-1) &&
            raw.header.dwType == RIM_TYPEKEYBOARD) {
            const RAWKEYBOARD& key = raw.data.keyboard;
            std::fprintf(g_log, "raw %s %u %u\n", (key.Flags & RI_KEY_BREAK) != 0 ? "up" : "down",
                         static_cast<unsigned>(key.MakeCode), (key.Flags & RI_KEY_E0) != 0 ? 1u : 0u);
            std::fflush(g_log);
        }
        break; // DefWindowProc does the cleanup WM_INPUT asks for
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int showWindow(const std::wstring& title, const std::wstring& logPath) {
    g_log = _wfopen(logPath.c_str(), L"a");
    if (g_log == nullptr)
        return 2;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = recordKeys;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"VornikTestWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  400, 300, 320, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr)
        return 2;
    // The keyboard as Raw Input, as games that read scan codes do: delivered while the window is in front.
    RAWINPUTDEVICE keyboard{};
    keyboard.usUsagePage = 1;
    keyboard.usUsage = 6;
    keyboard.hwndTarget = window;
    if (!RegisterRawInputDevices(&keyboard, 1, sizeof keyboard))
        return 2;
    std::fprintf(g_log, "ready\n");
    std::fflush(g_log);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    std::fclose(g_log);
    return 0;
}

int keysDown() {
    int down = 0;
    for (int vk = 1; vk < 255; ++vk) {
        if ((GetAsyncKeyState(vk) & 0x8000) != 0) {
            std::printf("key %d is down\n", vk);
            ++down;
        }
    }
    return down == 0 ? 0 : 1;
}

// As Windows does at a log-off: the question first, then the end, each sent and waited for.
int endSession(HWND window) {
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer) == 0)
        return 2;
    std::printf("WM_QUERYENDSESSION answered %u\n", static_cast<unsigned>(answer));
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &ignored) == 0)
        return 2;
    return 0;
}

} // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args(argv, argv + argc);
    LocalFree(argv);
    if (args.size() == 4 && args[1] == L"window")
        return showWindow(args[2], args[3]);
    if (args.size() == 2 && args[1] == L"keys-down")
        return keysDown();
    if (args.size() == 3 && (args[1] == L"front" || args[1] == L"close" || args[1] == L"end-session")) {
        HWND window = FindWindowW(nullptr, args[2].c_str());
        if (window == nullptr)
            return 2;
        if (args[1] == L"front")
            return SetForegroundWindow(window) ? 0 : 2;
        if (args[1] == L"end-session")
            return endSession(window);
        return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 2;
    }
    std::fprintf(stderr, "usage: vornik_win32_testwindow window TITLE LOG | front TITLE | close TITLE | "
                         "end-session TITLE | keys-down\n");
    return 2;
}
