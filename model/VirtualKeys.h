#pragma once

// The one table of virtual-key codes: a row per code with what each layer needs to know about it. The
// labels, the X keysyms and the Qt key codes are all read from here, so they cannot drift apart. X keysyms
// and Qt keys are plain numbers because this layer sees neither X11 nor Qt; the platform and UI files that
// read them check every name below against their own headers at compile time. A printable key's keysym
// and Qt key are its character. The keyboard picture keeps its own drawing order in tools/KeyLayout.h
// (Enter is drawn twice, and the picture's order is the key-map file's); its tests check it against labels.

#include <array>
#include <cstdint>
#include <iterator>

namespace vornik {

// X keysyms (X11/keysymdef.h) of the keys that are not printable characters.
namespace xsym {
inline constexpr uint32_t BackSpace = 0xff08, Tab = 0xff09, Return = 0xff0d, Pause = 0xff13, Scroll_Lock = 0xff14;
inline constexpr uint32_t Escape = 0xff1b, Home = 0xff50, Left = 0xff51, Up = 0xff52, Right = 0xff53;
inline constexpr uint32_t Down = 0xff54, Prior = 0xff55, Next = 0xff56, End = 0xff57, Print = 0xff61;
inline constexpr uint32_t Insert = 0xff63, Num_Lock = 0xff7f, KP_Multiply = 0xffaa, KP_Add = 0xffab;
inline constexpr uint32_t KP_Subtract = 0xffad, KP_Decimal = 0xffae, KP_Divide = 0xffaf, KP_0 = 0xffb0;
inline constexpr uint32_t F1 = 0xffbe, Shift_L = 0xffe1, Shift_R = 0xffe2, Control_L = 0xffe3, Control_R = 0xffe4;
inline constexpr uint32_t Caps_Lock = 0xffe5, Alt_L = 0xffe9, Alt_R = 0xffea, Delete = 0xffff;
} // namespace xsym

// Qt key codes (Qt::Key) of the keys that are not printable characters.
namespace qtkey {
inline constexpr int Escape = 0x01000000, Tab = 0x01000001, Backtab = 0x01000002, Backspace = 0x01000003;
inline constexpr int Return = 0x01000004, Enter = 0x01000005, Insert = 0x01000006, Delete = 0x01000007;
inline constexpr int Pause = 0x01000008, Print = 0x01000009, Home = 0x01000010, End = 0x01000011;
inline constexpr int Left = 0x01000012, Up = 0x01000013, Right = 0x01000014, Down = 0x01000015;
inline constexpr int PageUp = 0x01000016, PageDown = 0x01000017, Shift = 0x01000020, Control = 0x01000021;
inline constexpr int Alt = 0x01000023, CapsLock = 0x01000024, NumLock = 0x01000025, ScrollLock = 0x01000026;
inline constexpr int F1 = 0x01000030, AltGr = 0x01001103;
} // namespace qtkey

struct VirtualKey {
    uint8_t code;
    // The display label; nullptr for the generic Shift, Control and Alt (16, 17, 18), which have none.
    const char* label;
    // The X keysym a key event sends (0 for none), and one more that also counts as the key being down:
    // the generic codes send the left-hand key and are down when either side is.
    uint32_t keysym;
    uint32_t otherKeysym;
    // Qt keys that give this code without the keypad modifier (0 for none); US-layout shifted symbols
    // share their key's code. Then the one Qt key that gives it with the keypad modifier.
    std::array<int, 2> qtKeys;
    int qtKeypadKey;
};

// clang-format off
inline constexpr VirtualKey kVirtualKeys[] = {
    {0, "NONE", 0, 0, {}, 0},
    {8, "BackSpace", xsym::BackSpace, 0, {qtkey::Backspace}, 0},
    {9, "TAB", xsym::Tab, 0, {qtkey::Tab, qtkey::Backtab}, 0},
    {13, "Enter", xsym::Return, 0, {qtkey::Return, qtkey::Enter}, 0},
    {16, nullptr, xsym::Shift_L, xsym::Shift_R, {qtkey::Shift}, 0},
    {17, nullptr, xsym::Control_L, xsym::Control_R, {qtkey::Control}, 0},
    {18, nullptr, xsym::Alt_L, xsym::Alt_R, {qtkey::Alt, qtkey::AltGr}, 0},
    {19, "Pause", xsym::Pause, 0, {qtkey::Pause}, 0},
    {20, "Caps Lock", xsym::Caps_Lock, 0, {qtkey::CapsLock}, 0},
    {27, "ESC", xsym::Escape, 0, {qtkey::Escape}, 0},
    {32, "Space", ' ', 0, {' '}, 0},
    {33, "PageUp", xsym::Prior, 0, {qtkey::PageUp}, 0},
    {34, "PageDown", xsym::Next, 0, {qtkey::PageDown}, 0},
    {35, "END", xsym::End, 0, {qtkey::End}, 0},
    {36, "Home", xsym::Home, 0, {qtkey::Home}, 0},
    {37, "Left", xsym::Left, 0, {qtkey::Left}, 0},
    {38, "Up", xsym::Up, 0, {qtkey::Up}, 0},
    {39, "Right", xsym::Right, 0, {qtkey::Right}, 0},
    {40, "Down", xsym::Down, 0, {qtkey::Down}, 0},
    {44, "Print", xsym::Print, 0, {qtkey::Print}, 0},
    {45, "Insert", xsym::Insert, 0, {qtkey::Insert}, 0},
    {46, "Delete", xsym::Delete, 0, {qtkey::Delete}, 0},
    {48, "0", '0', 0, {'0', ')'}, 0},
    {49, "1", '1', 0, {'1', '!'}, 0},
    {50, "2", '2', 0, {'2', '@'}, 0},
    {51, "3", '3', 0, {'3', '#'}, 0},
    {52, "4", '4', 0, {'4', '$'}, 0},
    {53, "5", '5', 0, {'5', '%'}, 0},
    {54, "6", '6', 0, {'6', '^'}, 0},
    {55, "7", '7', 0, {'7', '&'}, 0},
    {56, "8", '8', 0, {'8', '*'}, 0},
    {57, "9", '9', 0, {'9', '('}, 0},
    {65, "A", 'a', 0, {'A'}, 0},
    {66, "B", 'b', 0, {'B'}, 0},
    {67, "C", 'c', 0, {'C'}, 0},
    {68, "D", 'd', 0, {'D'}, 0},
    {69, "E", 'e', 0, {'E'}, 0},
    {70, "F", 'f', 0, {'F'}, 0},
    {71, "G", 'g', 0, {'G'}, 0},
    {72, "H", 'h', 0, {'H'}, 0},
    {73, "I", 'i', 0, {'I'}, 0},
    {74, "J", 'j', 0, {'J'}, 0},
    {75, "K", 'k', 0, {'K'}, 0},
    {76, "L", 'l', 0, {'L'}, 0},
    {77, "M", 'm', 0, {'M'}, 0},
    {78, "N", 'n', 0, {'N'}, 0},
    {79, "O", 'o', 0, {'O'}, 0},
    {80, "P", 'p', 0, {'P'}, 0},
    {81, "Q", 'q', 0, {'Q'}, 0},
    {82, "R", 'r', 0, {'R'}, 0},
    {83, "S", 's', 0, {'S'}, 0},
    {84, "T", 't', 0, {'T'}, 0},
    {85, "U", 'u', 0, {'U'}, 0},
    {86, "V", 'v', 0, {'V'}, 0},
    {87, "W", 'w', 0, {'W'}, 0},
    {88, "X", 'x', 0, {'X'}, 0},
    {89, "Y", 'y', 0, {'Y'}, 0},
    {90, "Z", 'z', 0, {'Z'}, 0},
    {96, "NumPad 0", xsym::KP_0, 0, {}, '0'},
    {97, "NumPad 1", xsym::KP_0 + 1, 0, {}, '1'},
    {98, "NumPad 2", xsym::KP_0 + 2, 0, {}, '2'},
    {99, "NumPad 3", xsym::KP_0 + 3, 0, {}, '3'},
    {100, "NumPad 4", xsym::KP_0 + 4, 0, {}, '4'},
    {101, "NumPad 5", xsym::KP_0 + 5, 0, {}, '5'},
    {102, "NumPad 6", xsym::KP_0 + 6, 0, {}, '6'},
    {103, "NumPad 7", xsym::KP_0 + 7, 0, {}, '7'},
    {104, "NumPad 8", xsym::KP_0 + 8, 0, {}, '8'},
    {105, "NumPad 9", xsym::KP_0 + 9, 0, {}, '9'},
    {106, "*", xsym::KP_Multiply, 0, {}, '*'},
    {107, "+", xsym::KP_Add, 0, {}, '+'},
    {109, "-", xsym::KP_Subtract, 0, {}, '-'},
    {110, ".", xsym::KP_Decimal, 0, {}, '.'},
    {111, "/", xsym::KP_Divide, 0, {}, '/'},
    {112, "F1", xsym::F1, 0, {qtkey::F1}, 0},
    {113, "F2", xsym::F1 + 1, 0, {qtkey::F1 + 1}, 0},
    {114, "F3", xsym::F1 + 2, 0, {qtkey::F1 + 2}, 0},
    {115, "F4", xsym::F1 + 3, 0, {qtkey::F1 + 3}, 0},
    {116, "F5", xsym::F1 + 4, 0, {qtkey::F1 + 4}, 0},
    {117, "F6", xsym::F1 + 5, 0, {qtkey::F1 + 5}, 0},
    {118, "F7", xsym::F1 + 6, 0, {qtkey::F1 + 6}, 0},
    {119, "F8", xsym::F1 + 7, 0, {qtkey::F1 + 7}, 0},
    {120, "F9", xsym::F1 + 8, 0, {qtkey::F1 + 8}, 0},
    {121, "F10", xsym::F1 + 9, 0, {qtkey::F1 + 9}, 0},
    {122, "F11", xsym::F1 + 10, 0, {qtkey::F1 + 10}, 0},
    {123, "F12", xsym::F1 + 11, 0, {qtkey::F1 + 11}, 0},
    {144, "Num Lock", xsym::Num_Lock, 0, {qtkey::NumLock}, 0},
    {145, "Scroll Lock", xsym::Scroll_Lock, 0, {qtkey::ScrollLock}, 0},
    {160, "L-Shift", xsym::Shift_L, 0, {}, 0},
    {161, "R-Shift", xsym::Shift_R, 0, {}, 0},
    {162, "L-CTRL", xsym::Control_L, 0, {}, 0},
    {163, "R-CTRL", xsym::Control_R, 0, {}, 0},
    {164, "L-ALT", xsym::Alt_L, 0, {}, 0},
    {165, "R-ALT", xsym::Alt_R, 0, {}, 0},
    {186, ";", ';', 0, {';', ':'}, 0},
    {187, "=", '=', 0, {'=', '+'}, 0},
    {188, ",", ',', 0, {',', '<'}, 0},
    {189, "-", '-', 0, {'-', '_'}, 0},
    {190, ".", '.', 0, {'.', '>'}, 0},
    {191, "/", '/', 0, {'/', '?'}, 0},
    {192, "`", '`', 0, {'`', '~'}, 0},
    {219, "[", '[', 0, {'[', '{'}, 0},
    {220, "\\", '\\', 0, {'\\', '|'}, 0},
    {221, "]", ']', 0, {']', '}'}, 0},
    {222, "'", '\'', 0, {'\'', '"'}, 0},
};
// clang-format on

namespace detail {
// One row per code: the lookups below would silently find only one of two rows for a code.
inline constexpr bool kCodesAscend = [] {
    for (std::size_t i = 1; i < std::size(kVirtualKeys); ++i) {
        if (kVirtualKeys[i - 1].code >= kVirtualKeys[i].code)
            return false;
    }
    return true;
}();
static_assert(kCodesAscend, "kVirtualKeys must list each code once, ascending");

inline constexpr std::array<int16_t, 256> kVirtualKeyRow = [] {
    std::array<int16_t, 256> rows{};
    rows.fill(-1);
    for (std::size_t i = 0; i < std::size(kVirtualKeys); ++i)
        rows[kVirtualKeys[i].code] = static_cast<int16_t>(i);
    return rows;
}();
} // namespace detail

// The row of `code`; nullptr for a code with no row.
constexpr const VirtualKey* findVirtualKey(int code) {
    if (code < 0 || code > 255 || detail::kVirtualKeyRow[static_cast<std::size_t>(code)] < 0)
        return nullptr;
    return &kVirtualKeys[detail::kVirtualKeyRow[static_cast<std::size_t>(code)]];
}

} // namespace vornik
