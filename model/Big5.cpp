#include "Big5.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace vornik {

std::size_t big5CutLength(std::string_view text, std::size_t maxBytes) {
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t width = isBig5LeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + width > maxBytes || i + width > text.size())
            break;
        i += width;
    }
    return i;
}

#ifdef _WIN32

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

std::optional<std::string> big5ToUtf8(std::string_view big5) {
    return convert(big5, 950, CP_UTF8);
}
std::optional<std::string> utf8ToBig5(std::string_view utf8) {
    return convert(utf8, CP_UTF8, 950);
}

#else

namespace {
std::optional<std::string> convert(std::string_view in, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(in.size() * 4 + 8, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc != 0 || srcLeft != 0) // failed, or converted only approximately
        return std::nullopt;
    out.resize(out.size() - dstLeft);
    return out;
}
} // namespace

std::optional<std::string> big5ToUtf8(std::string_view big5) {
    return convert(big5, "CP950", "UTF-8");
}
std::optional<std::string> utf8ToBig5(std::string_view utf8) {
    return convert(utf8, "UTF-8", "CP950");
}

#endif

} // namespace vornik
