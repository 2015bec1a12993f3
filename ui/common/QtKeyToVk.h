#pragma once

// Windows virtual-key codes for Qt key events, as a window receives them on Windows: the generic
// codes 16, 17 and 18 for Shift, Ctrl and Alt, the keypad's own codes for its digits and operators.

#include <QKeyEvent>

namespace vornik::ui {

// The code of `qtKey` (a Qt::Key) pressed with `modifiers`; only Qt::KeypadModifier matters, which
// tells the keypad's digits and operators from the main block's. Keys that differ only by Shift on
// a US layout ('!' and '1') have the same code. 0 for a key with no code.
int qtKeyToVk(int qtKey, Qt::KeyboardModifiers modifiers);

// The code of a key event: on Windows the event's own virtual key when it has one, elsewhere (and
// for synthesized events) the table above.
int keyEventToVk(const QKeyEvent& event);

} // namespace vornik::ui
