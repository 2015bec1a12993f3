#pragma once

#include <X11/X.h>

namespace vornik {

// The X keysyms of a virtual-key code. `output` is the key a key event sends; a key counts as down
// when `output` or `other` is down. The generic Shift, Control and Alt codes (16, 17, 18) send the
// left-hand key and are down when either side is. NoSymbol when the code has no key.
struct VirtualKeySyms {
    KeySym output = NoSymbol;
    KeySym other = NoSymbol;
};

// For every labelled virtual-key code and the generic 16, 17 and 18; NoSymbol for any other.
VirtualKeySyms virtualKeySyms(int vk);

} // namespace vornik
