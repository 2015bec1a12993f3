#include "Win32WindowSystem.h"

#include "Big5.h"
#include "Win32Api.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

namespace vornik {

namespace {

constexpr UINT kBig5CodePage = 950;

HWND hwndOf(WindowHandle window) {
    return static_cast<HWND>(toNativeWindow(window));
}

std::wstring toWide(std::string_view text, UINT codePage) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string fromWide(const std::wstring& wide, UINT codePage) {
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    // UTF-8 takes no default character; code page 950 writes "?" for what it cannot encode.
    // No best-fit look-alikes either: a character Big5 lacks shows as "?" rather than as another one.
    const char* fallback = codePage == CP_UTF8 ? nullptr : "?";
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, fallback, nullptr);
    if (length <= 0)
        return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), length, fallback, nullptr);
    return out;
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

std::string big5TitleToUtf8(std::string_view big5) {
    return fromWide(toWide(big5.substr(0, big5CutLength(big5, big5.size())), kBig5CodePage), CP_UTF8);
}

std::string utf8TitleToBig5(std::string_view utf8) {
    return fromWide(toWide(utf8, CP_UTF8), kBig5CodePage);
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
    return fromWide(std::wstring(full), CP_UTF8);
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
    std::vector<char> buffer(static_cast<std::size_t>(maxChars), '\0');
    const int length = GetWindowTextA(hwndOf(window), buffer.data(), maxChars);
    if (length <= 0)
        return {};
    return big5TitleToUtf8(std::string_view(buffer.data(), static_cast<std::size_t>(std::min(length, maxChars - 1))));
}

bool Win32WindowSystem::setWindowText(WindowHandle window, const std::string& title) {
    return SetWindowTextA(hwndOf(window), utf8TitleToBig5(title).c_str()) != FALSE;
}

} // namespace vornik
