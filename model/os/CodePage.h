#pragma once

// Big5 (code page 950) and UTF-8, converted by the system: iconv's "CP950" on Linux (linux/),
// code page 950 on Windows (win32/).

#include <optional>
#include <string>
#include <string_view>

namespace vornik::os {

// nullopt when the text has no exact form in the other encoding.
std::optional<std::string> cp950ToUtf8(std::string_view big5);
std::optional<std::string> utf8ToCp950(std::string_view utf8);

} // namespace vornik::os
