#pragma once

#include <string>

namespace vornik {

// Keeps at most `maxChars` - 1 characters (code points) of a UTF-8 string, as a title buffer of
// `maxChars` would.
inline std::string cutUtf8(const std::string& text, int maxChars) {
    if (maxChars <= 1)
        return {};
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80 && characters++ == maxChars - 1)
            return text.substr(0, i);
    }
    return text;
}

} // namespace vornik
