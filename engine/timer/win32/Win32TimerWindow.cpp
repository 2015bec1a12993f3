#include "Win32TimerWindow.h"

#include <windows.h>

#include <cstdio>
#include <exception>

namespace vornik {

namespace {
constexpr const char* kClassName = "VornikTimerWindow";
constexpr unsigned kMaxTimerId = 63;

HWND hwndOf(void* handle) {
    return static_cast<HWND>(handle);
}
} // namespace

struct Win32TimerWindowProc {
    static LRESULT CALLBACK call(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_TIMER)
            return DefWindowProcA(hwnd, message, wParam, lParam);
        auto* window = reinterpret_cast<Win32TimerWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        const auto id = static_cast<unsigned>(wParam);
        // A WM_TIMER already queued when its timer was killed is dropped, so none arrives afterwards.
        if (window == nullptr || !window->isRunning(id) || !window->m_onTimerMessage)
            return 0;
        // The owner shows its handler's errors itself; whatever still escapes must not unwind through
        // the system's message dispatch.
        try {
            window->m_onTimerMessage(id);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "timer window: %s\n", error.what());
        } catch (...) {
            std::fprintf(stderr, "timer window: unknown exception\n");
        }
        return 0;
    }
};

Win32TimerWindow::Win32TimerWindow(std::function<void(unsigned id)> onTimerMessage)
    : m_onTimerMessage(std::move(onTimerMessage)) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    if (!GetClassInfoExA(instance, kClassName, &windowClass)) {
        windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Win32TimerWindowProc::call;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kClassName;
        RegisterClassExA(&windowClass);
    }
    const HWND hwnd = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (hwnd != nullptr) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_hwnd = hwnd;
    }
}

Win32TimerWindow::~Win32TimerWindow() {
    if (m_hwnd == nullptr)
        return;
    SetWindowLongPtrA(hwndOf(m_hwnd), GWLP_USERDATA, 0);
    DestroyWindow(hwndOf(m_hwnd)); // takes its timers with it
}

bool Win32TimerWindow::SetTimer(unsigned id, uint32_t intervalMs) {
    if (m_hwnd == nullptr || id > kMaxTimerId)
        return false;
    if (::SetTimer(hwndOf(m_hwnd), id, intervalMs, nullptr) == 0)
        return false;
    m_running |= std::uint64_t{1} << id;
    return true;
}

void Win32TimerWindow::KillTimer(unsigned id) {
    if (m_hwnd == nullptr || id > kMaxTimerId)
        return;
    ::KillTimer(hwndOf(m_hwnd), id);
    m_running &= ~(std::uint64_t{1} << id);
}

bool Win32TimerWindow::isRunning(unsigned id) const {
    return id <= kMaxTimerId && (m_running >> id & 1) != 0;
}

std::unique_ptr<TimerWindow> Win32TimerWindow::create(std::function<void(unsigned id)> onTimerMessage) {
    return std::make_unique<Win32TimerWindow>(std::move(onTimerMessage));
}

} // namespace vornik
