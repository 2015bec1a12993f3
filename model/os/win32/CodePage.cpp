#include "CodePage.h"

#include <windows.h>

namespace vornik::os {

namespace {
std::optional<std::string> convert(std::string_view in, UINT from, UINT to) {
    if (in.empty())
        return std::string();
    const int wlen =
        MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), nullptr, 0);
    if (wlen <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(wlen), L'\0');
    MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), wide.data(), wlen);
    BOOL usedDefault = FALSE;
    BOOL* usedPtr = (to == CP_UTF8) ? nullptr : &usedDefault;
    const int len = WideCharToMultiByte(to, 0, wide.data(), wlen, nullptr, 0, nullptr, usedPtr);
    if (len <= 0 || usedDefault)
        return std::nullopt;
    std::string out(static_cast<std::size_t>(len), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wlen, out.data(), len, nullptr, usedPtr);
    if (usedDefault)
        return std::nullopt;
    return out;
}
} // namespace

std::optional<std::string> cp950ToUtf8(std::string_view big5) {
    return convert(big5, 950, CP_UTF8);
}

std::optional<std::string> utf8ToCp950(std::string_view utf8) {
    return convert(utf8, CP_UTF8, 950);
}

} // namespace vornik::os
