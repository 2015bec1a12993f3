#pragma once

#include <cstdint>
#include <string>

namespace vornik {

// The keys the program's own Wayland keyboard has: every virtual-key code a binding can name, each on
// the evdev code of its key on a US keyboard (so a game that reads key positions, as SDL does, sees the
// key it expects), with the keysyms the key table gives it.

// The evdev code (linux/input-event-codes.h) of `vk`; 0 when the code names no key. The generic
// Shift, Control and Alt (16, 17, 18) are the left-hand keys.
uint32_t evdevCode(int vk);

// The keymap uploaded with the keyboard, in XKB's text format (XKB_KEYMAP_FORMAT_TEXT_V1): each key
// of evdevCode() on keycode evdev + 8, Shift, Control, Alt, Caps Lock and Num Lock as modifiers.
std::string virtualKeymapText();

} // namespace vornik
