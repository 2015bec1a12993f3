#include "KeyLabels.h"

#include "VirtualKeys.h"

namespace vornik {

std::string KeyLabel(uint16_t code) {
    const VirtualKey* key = findVirtualKey(code);
    return key != nullptr && key->label != nullptr ? key->label : "?";
}

void buildNamedKeyList(NamedKeyList& list) {
    list = NamedKeyList{};
    for (int code = 0; code <= 255; ++code) {
        if (KeyLabel(static_cast<uint16_t>(code)) != "?")
            list.Codes[++list.Count] = static_cast<uint8_t>(code);
    }
}

} // namespace vornik
