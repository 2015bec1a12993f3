#include "QtKeyToVk.h"

#include <unordered_map>

namespace vornik::ui {

namespace {

// Keys whose code does not depend on the keypad modifier.
const std::unordered_map<int, int>& plainKeys() {
    static const std::unordered_map<int, int> table = [] {
        std::unordered_map<int, int> t = {
            {Qt::Key_Backspace, 8},
            {Qt::Key_Tab, 9},
            {Qt::Key_Backtab, 9}, // Shift+Tab
            {Qt::Key_Return, 13},
            {Qt::Key_Enter, 13},
            {Qt::Key_Shift, 16},
            {Qt::Key_Control, 17},
            {Qt::Key_Alt, 18},
            {Qt::Key_AltGr, 18},
            {Qt::Key_Pause, 19},
            {Qt::Key_CapsLock, 20},
            {Qt::Key_Escape, 27},
            {Qt::Key_Space, 32},
            {Qt::Key_PageUp, 33},
            {Qt::Key_PageDown, 34},
            {Qt::Key_End, 35},
            {Qt::Key_Home, 36},
            {Qt::Key_Left, 37},
            {Qt::Key_Up, 38},
            {Qt::Key_Right, 39},
            {Qt::Key_Down, 40},
            {Qt::Key_Print, 44},
            {Qt::Key_Insert, 45},
            {Qt::Key_Delete, 46},
            {Qt::Key_NumLock, 144},
            {Qt::Key_ScrollLock, 145},
            {Qt::Key_Semicolon, 186},
            {Qt::Key_Colon, 186},
            {Qt::Key_Equal, 187},
            {Qt::Key_Comma, 188},
            {Qt::Key_Less, 188},
            {Qt::Key_Underscore, 189},
            {Qt::Key_Greater, 190},
            {Qt::Key_Question, 191},
            {Qt::Key_QuoteLeft, 192},
            {Qt::Key_AsciiTilde, 192},
            {Qt::Key_BracketLeft, 219},
            {Qt::Key_BraceLeft, 219},
            {Qt::Key_Backslash, 220},
            {Qt::Key_Bar, 220},
            {Qt::Key_BracketRight, 221},
            {Qt::Key_BraceRight, 221},
            {Qt::Key_Apostrophe, 222},
            {Qt::Key_QuoteDbl, 222},
            // The shifted digits of a US layout.
            {Qt::Key_ParenRight, '0'},
            {Qt::Key_Exclam, '1'},
            {Qt::Key_At, '2'},
            {Qt::Key_NumberSign, '3'},
            {Qt::Key_Dollar, '4'},
            {Qt::Key_Percent, '5'},
            {Qt::Key_AsciiCircum, '6'},
            {Qt::Key_Ampersand, '7'},
            {Qt::Key_ParenLeft, '9'},
        };
        for (int k = 0; k < 26; ++k)
            t[Qt::Key_A + k] = 'A' + k;
        for (int k = 0; k < 12; ++k)
            t[Qt::Key_F1 + k] = 112 + k;
        return t;
    }();
    return table;
}

// Keys whose code depends on whether they are on the keypad: {main block, keypad}.
struct Split {
    int main;
    int keypad;
};
const std::unordered_map<int, Split>& splitKeys() {
    static const std::unordered_map<int, Split> table = [] {
        std::unordered_map<int, Split> t = {
            {Qt::Key_Asterisk, {'8', 106}}, {Qt::Key_Plus, {187, 107}},  {Qt::Key_Minus, {189, 109}},
            {Qt::Key_Period, {190, 110}},   {Qt::Key_Slash, {191, 111}},
        };
        for (int d = 0; d < 10; ++d)
            t[Qt::Key_0 + d] = {'0' + d, 96 + d};
        return t;
    }();
    return table;
}

} // namespace

int qtKeyToVk(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (const auto split = splitKeys().find(qtKey); split != splitKeys().end())
        return (modifiers & Qt::KeypadModifier) ? split->second.keypad : split->second.main;
    const auto plain = plainKeys().find(qtKey);
    return plain == plainKeys().end() ? 0 : plain->second;
}

int keyEventToVk(const QKeyEvent& event) {
#ifdef Q_OS_WIN
    // The message's own virtual key, generic Shift, Ctrl and Alt included; 0 for synthesized events.
    if (const quint32 native = event.nativeVirtualKey(); native > 0 && native < 256)
        return static_cast<int>(native);
#endif
    return qtKeyToVk(event.key(), event.modifiers());
}

} // namespace vornik::ui
