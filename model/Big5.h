#pragma once

// Big5 (code page 950) text helpers. Move names are kept as Big5 bytes; the UI and the
// profile files convert at their edge.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vornik {

// A Big5 lead byte starts a two-byte character.
constexpr bool isBig5LeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

// The longest prefix of `text` of at most `maxBytes` bytes that ends on a character boundary:
// never inside a double-byte character. A lead byte with no trail byte is dropped.
std::size_t big5CutLength(std::string_view text, std::size_t maxBytes);

// Conversions; nullopt when the text has no form in the other encoding.
std::optional<std::string> big5ToUtf8(std::string_view big5);
std::optional<std::string> utf8ToBig5(std::string_view utf8);

} // namespace vornik
