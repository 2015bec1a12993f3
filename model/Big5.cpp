#include "Big5.h"

#include "CodePage.h"

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

std::optional<std::string> big5ToUtf8(std::string_view big5) {
    return os::cp950ToUtf8(big5);
}

std::optional<std::string> utf8ToBig5(std::string_view utf8) {
    return os::utf8ToCp950(utf8);
}

} // namespace vornik
