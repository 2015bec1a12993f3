#include "VirtualKeySyms.h"

#include <X11/keysym.h>

namespace vornik {

VirtualKeySyms virtualKeySyms(int vk) {
    if (vk >= '0' && vk <= '9')
        return {XK_0 + static_cast<KeySym>(vk - '0')};
    if (vk >= 'A' && vk <= 'Z')
        return {XK_a + static_cast<KeySym>(vk - 'A')};
    if (vk >= 96 && vk <= 105)
        return {XK_KP_0 + static_cast<KeySym>(vk - 96)};
    if (vk >= 112 && vk <= 123)
        return {XK_F1 + static_cast<KeySym>(vk - 112)};
    switch (vk) {
    case 8:
        return {XK_BackSpace};
    case 9:
        return {XK_Tab};
    case 13:
        return {XK_Return};
    case 16:
        return {XK_Shift_L, XK_Shift_R};
    case 17:
        return {XK_Control_L, XK_Control_R};
    case 18:
        return {XK_Alt_L, XK_Alt_R};
    case 19:
        return {XK_Pause};
    case 20:
        return {XK_Caps_Lock};
    case 27:
        return {XK_Escape};
    case 32:
        return {XK_space};
    case 33:
        return {XK_Prior};
    case 34:
        return {XK_Next};
    case 35:
        return {XK_End};
    case 36:
        return {XK_Home};
    case 37:
        return {XK_Left};
    case 38:
        return {XK_Up};
    case 39:
        return {XK_Right};
    case 40:
        return {XK_Down};
    case 44:
        return {XK_Print};
    case 45:
        return {XK_Insert};
    case 46:
        return {XK_Delete};
    case 106:
        return {XK_KP_Multiply};
    case 107:
        return {XK_KP_Add};
    case 109:
        return {XK_KP_Subtract};
    case 110:
        return {XK_KP_Decimal};
    case 111:
        return {XK_KP_Divide};
    case 144:
        return {XK_Num_Lock};
    case 145:
        return {XK_Scroll_Lock};
    case 160:
        return {XK_Shift_L};
    case 161:
        return {XK_Shift_R};
    case 162:
        return {XK_Control_L};
    case 163:
        return {XK_Control_R};
    case 164:
        return {XK_Alt_L};
    case 165:
        return {XK_Alt_R};
    case 186:
        return {XK_semicolon};
    case 187:
        return {XK_equal};
    case 188:
        return {XK_comma};
    case 189:
        return {XK_minus};
    case 190:
        return {XK_period};
    case 191:
        return {XK_slash};
    case 192:
        return {XK_grave};
    case 219:
        return {XK_bracketleft};
    case 220:
        return {XK_backslash};
    case 221:
        return {XK_bracketright};
    case 222:
        return {XK_apostrophe};
    default:
        return {};
    }
}

} // namespace vornik
