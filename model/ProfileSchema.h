#pragma once

// Inside the profile code (Profile.cpp, ProfileText.cpp): the strict check of a profile's text against
// the format, and the key entry map the check and the writer share. Not for other callers.

#include "Configuration.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vornik::detail {

// Keyboard binding entry i belongs to the i-th labelled key; the file names the key by its code.
struct KeyEntryMap {
    std::array<int, kKeyBindingCount> codeOfEntry{};
    std::array<int, 256> entryOfCode{};

    KeyEntryMap();
};

const KeyEntryMap& keyEntryMap();

// How the file names each stick mode.
inline constexpr std::pair<const char*, StickMode> kStickModeNames[] = {
    {"keys", StickMode::Keys}, {"pointer", StickMode::Pointer}, {"wheel", StickMode::Wheel}};

// How the file names each activator; "press", the default, is never written.
inline constexpr std::pair<const char*, int32_t> kActivatorNames[] = {{"press", ActivatePress},
                                                                       {"tap", ActivateTap},
                                                                       {"hold", ActivateHold},
                                                                       {"double", ActivateDouble},
                                                                       {"release", ActivateRelease}};

// Checks `text` into `tables`; returns the problem ("path: what is wrong"), or nothing when sound.
std::optional<std::string> checkText(std::string_view text, ProfileTables& tables);

} // namespace vornik::detail
