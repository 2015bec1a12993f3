#include "CodePage.h"

#include <iconv.h>

namespace vornik::os {

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

std::optional<std::string> cp950ToUtf8(std::string_view big5) {
    return convert(big5, "CP950", "UTF-8");
}

std::optional<std::string> utf8ToCp950(std::string_view utf8) {
    return convert(utf8, "UTF-8", "CP950");
}

} // namespace vornik::os
