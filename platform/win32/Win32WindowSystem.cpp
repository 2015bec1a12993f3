#include "Win32WindowSystem.h"

#include "Win32Api.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

namespace vornik {

namespace {

HWND hwndOf(WindowHandle window) {
    return static_cast<HWND>(toNativeWindow(window));
}

struct EnumState {
    const std::function<void(WindowHandle)>* visit;
    std::exception_ptr error;
};

BOOL CALLBACK enumOne(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    // Nothing may unwind through the system's enumeration; the error is carried out and rethrown.
    try {
        (*state->visit)(toWindowHandle(hwnd));
        return TRUE;
    } catch (...) {
        state->error = std::current_exception();
        return FALSE;
    }
}

// The integrity level (a SECURITY_MANDATORY_*_RID value) of a process's token; nothing when it
// cannot be read.
std::optional<DWORD> integrityLevel(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return std::nullopt;
    std::optional<DWORD> level;
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (size != 0 && GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) {
        const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
        const UCHAR count = *GetSidSubAuthorityCount(label->Label.Sid);
        if (count > 0)
            level = *GetSidSubAuthority(label->Label.Sid, count - 1u);
    }
    CloseHandle(token);
    return level;
}

} // namespace

std::wstring utf16FromUtf8(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string utf8FromUtf16(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    // A lone surrogate becomes U+FFFD rather than failing the whole text.
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), length, nullptr, nullptr);
    return out;
}

std::wstring_view firstCharacters(std::wstring_view text, std::size_t characters) {
    std::size_t units = 0;
    for (std::size_t n = 0; n < characters && units < text.size(); ++n) {
        const bool pair = text[units] >= 0xD800 && text[units] <= 0xDBFF && units + 1 < text.size() &&
                          text[units + 1] >= 0xDC00 && text[units + 1] <= 0xDFFF;
        units += pair ? 2 : 1;
    }
    return text.substr(0, units);
}

WindowHandle Win32WindowSystem::foregroundWindow() {
    return toWindowHandle(GetForegroundWindow());
}

uint32_t Win32WindowSystem::windowProcessId(WindowHandle window) {
    DWORD pid = 0;
    if (GetWindowThreadProcessId(hwndOf(window), &pid) == 0)
        return 0;
    return pid;
}

std::string Win32WindowSystem::processExecutableName(uint32_t pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr)
        return {};
    wchar_t path[MAX_PATH * 4];
    DWORD size = sizeof path / sizeof path[0];
    const bool ok = QueryFullProcessImageNameW(process, 0, path, &size) != FALSE;
    CloseHandle(process);
    if (!ok)
        return {};
    std::wstring_view full(path, size);
    const std::size_t slash = full.find_last_of(L"\\/");
    if (slash != std::wstring_view::npos)
        full.remove_prefix(slash + 1);
    return utf8FromUtf16(full);
}

bool Win32WindowSystem::processRunning(uint32_t pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr)
        return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

bool Win32WindowSystem::processOutOfReach(uint32_t pid) {
    const std::optional<DWORD> own = integrityLevel(GetCurrentProcess());
    if (!own)
        return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr)
        return GetLastError() == ERROR_ACCESS_DENIED && *own < SECURITY_MANDATORY_HIGH_RID;
    std::optional<DWORD> theirs = integrityLevel(process);
    const DWORD error = theirs ? ERROR_SUCCESS : GetLastError();
    CloseHandle(process);
    if (!theirs)
        return error == ERROR_ACCESS_DENIED && *own < SECURITY_MANDATORY_HIGH_RID;
    return *theirs > *own;
}

void Win32WindowSystem::enumWindows(const std::function<void(WindowHandle)>& visit) {
    EnumState state{&visit, nullptr};
    EnumWindows(enumOne, reinterpret_cast<LPARAM>(&state));
    if (state.error)
        std::rethrow_exception(state.error);
}

bool Win32WindowSystem::isWindowVisible(WindowHandle window) {
    return IsWindowVisible(hwndOf(window)) != FALSE;
}

std::string Win32WindowSystem::windowText(WindowHandle window, int maxChars) {
    if (maxChars <= 1)
        return {};
    // Room for maxChars - 1 characters even when each takes two UTF-16 units, then cut to that many.
    const auto characters = static_cast<std::size_t>(maxChars - 1);
    std::vector<wchar_t> buffer(2 * characters + 1, L'\0');
    const int length = GetWindowTextW(hwndOf(window), buffer.data(), static_cast<int>(buffer.size()));
    if (length <= 0)
        return {};
    return utf8FromUtf16(
        firstCharacters(std::wstring_view(buffer.data(), static_cast<std::size_t>(length)), characters));
}

bool Win32WindowSystem::setWindowText(WindowHandle window, const std::string& title) {
    return SetWindowTextW(hwndOf(window), utf16FromUtf8(title).c_str()) != FALSE;
}

} // namespace vornik
