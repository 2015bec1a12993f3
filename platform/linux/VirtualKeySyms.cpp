#include "VirtualKeySyms.h"

#include "VirtualKeys.h"

#include <X11/keysym.h>

namespace vornik {

// The key table's keysym names are plain numbers; hold them to X's own.
static_assert(xsym::BackSpace == XK_BackSpace && xsym::Tab == XK_Tab && xsym::Return == XK_Return);
static_assert(xsym::Pause == XK_Pause && xsym::Scroll_Lock == XK_Scroll_Lock && xsym::Escape == XK_Escape);
static_assert(xsym::Home == XK_Home && xsym::Left == XK_Left && xsym::Up == XK_Up && xsym::Right == XK_Right);
static_assert(xsym::Down == XK_Down && xsym::Prior == XK_Prior && xsym::Next == XK_Next && xsym::End == XK_End);
static_assert(xsym::Print == XK_Print && xsym::Insert == XK_Insert && xsym::Num_Lock == XK_Num_Lock);
static_assert(xsym::KP_Multiply == XK_KP_Multiply && xsym::KP_Add == XK_KP_Add);
static_assert(xsym::KP_Subtract == XK_KP_Subtract && xsym::KP_Decimal == XK_KP_Decimal);
static_assert(xsym::KP_Divide == XK_KP_Divide && xsym::KP_0 == XK_KP_0 && xsym::KP_0 + 9 == XK_KP_9);
static_assert(xsym::F1 == XK_F1 && xsym::F1 + 11 == XK_F12 && xsym::Shift_L == XK_Shift_L);
static_assert(xsym::Shift_R == XK_Shift_R && xsym::Control_L == XK_Control_L && xsym::Control_R == XK_Control_R);
static_assert(xsym::Caps_Lock == XK_Caps_Lock && xsym::Alt_L == XK_Alt_L && xsym::Alt_R == XK_Alt_R);
static_assert(xsym::Delete == XK_Delete);
// Printable keys use their character, which is their Latin-1 keysym.
static_assert(XK_a == 'a' && XK_0 == '0' && XK_space == ' ' && XK_apostrophe == '\'' && XK_grave == '`');

VirtualKeySyms virtualKeySyms(int vk) {
    const VirtualKey* key = findVirtualKey(vk);
    if (key == nullptr || key->keysym == 0)
        return {};
    return {key->keysym, key->otherKeysym != 0 ? KeySym{key->otherKeysym} : KeySym{NoSymbol}};
}

} // namespace vornik
