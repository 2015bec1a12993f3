#include "KeyLabels.h"

namespace vornik {

std::string KeyLabel(uint16_t code) {
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z'))
        return std::string(1, static_cast<char>(code));
    // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on "text" + std::to_string(...).
    if (code >= 96 && code <= 105)
        return std::string("NumPad ") += std::to_string(code - 96);
    if (code >= 112 && code <= 123)
        return std::string("F") += std::to_string(code - 111);
    switch (code) {
    case 0:
        return "NONE";
    case 8:
        return "BackSpace";
    case 9:
        return "TAB";
    case 13:
        return "Enter";
    case 19:
        return "Pause";
    case 20:
        return "Caps Lock";
    case 27:
        return "ESC";
    case 32:
        return "Space";
    case 33:
        return "PageUp";
    case 34:
        return "PageDown";
    case 35:
        return "END";
    case 36:
        return "Home";
    case 37:
        return "Left";
    case 38:
        return "Up";
    case 39:
        return "Right";
    case 40:
        return "Down";
    case 44:
        return "Print";
    case 45:
        return "Insert";
    case 46:
        return "Delete";
    case 106:
        return "*";
    case 107:
        return "+";
    case 109:
        return "-";
    case 110:
        return ".";
    case 111:
        return "/";
    case 144:
        return "Num Lock";
    case 145:
        return "Scroll Lock";
    case 160:
        return "L-Shift";
    case 161:
        return "R-Shift";
    case 162:
        return "L-CTRL";
    case 163:
        return "R-CTRL";
    case 164:
        return "L-ALT";
    case 165:
        return "R-ALT";
    case 186:
        return ";";
    case 187:
        return "=";
    case 188:
        return ",";
    case 189:
        return "-";
    case 190:
        return ".";
    case 191:
        return "/";
    case 192:
        return "`";
    case 219:
        return "[";
    case 220:
        return "\\";
    case 221:
        return "]";
    case 222:
        return "'";
    default:
        return "?";
    }
}

void buildNamedKeyList(NamedKeyList& list) {
    list = NamedKeyList{};
    for (int code = 0; code <= 255; ++code) {
        if (KeyLabel(static_cast<uint16_t>(code)) != "?")
            list.Codes[++list.Count] = static_cast<uint8_t>(code);
    }
}

} // namespace vornik
