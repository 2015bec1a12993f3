#pragma once

#include "Tables.h"

#include <cstdint>
#include <string>

namespace vornik {

// The display label of a virtual-key code; "?" for a code that is no key of ours.
std::string KeyLabel(uint16_t code);

// Every code 0..255 whose label is not "?", ascending: 101 entries, position 1 is 0 ("NONE").
void buildNamedKeyList(NamedKeyList& list);

} // namespace vornik
