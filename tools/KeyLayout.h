#pragma once

// The one key layout table of the keyboard picture (427 x 119 pixels). The resource generator
// draws the picture and writes the key-map file from it; the tests check the file against it.

#include "KeyMap.h"

#include <array>
#include <cmath>

namespace vornik::layout {

constexpr int kPictureWidth = 427;
constexpr int kPictureHeight = 119;
constexpr int kPitch = 18; // pixels per key unit, one pixel of it the gap between caps

struct KeyCap {
    int code;            // virtual-key code of the label table (160..165 for the modifiers)
    const char* caption; // text on the cap
    double column;       // left edge, in key units from the picture's left margin
    int row;             // 0 function row, 1..5 the main rows
    double width;        // in key units
    int rows = 1;        // 2 for the tall Enter and keypad keys
};

// clang-format off
inline constexpr KeyCap kKeyCaps[] = {
    // Function row.
    {27, "Esc", 0, 0, 1},
    {112, "F1", 2, 0, 1}, {113, "F2", 3, 0, 1}, {114, "F3", 4, 0, 1}, {115, "F4", 5, 0, 1},
    {116, "F5", 6.5, 0, 1}, {117, "F6", 7.5, 0, 1}, {118, "F7", 8.5, 0, 1}, {119, "F8", 9.5, 0, 1},
    {120, "F9", 11, 0, 1}, {121, "F10", 12, 0, 1}, {122, "F11", 13, 0, 1}, {123, "F12", 14, 0, 1},
    {44, "PrSc", 15.5, 0, 1}, {145, "ScLk", 16.5, 0, 1}, {19, "Brk", 17.5, 0, 1},
    // Main block.
    {192, "`", 0, 1, 1}, {49, "1", 1, 1, 1}, {50, "2", 2, 1, 1}, {51, "3", 3, 1, 1}, {52, "4", 4, 1, 1},
    {53, "5", 5, 1, 1}, {54, "6", 6, 1, 1}, {55, "7", 7, 1, 1}, {56, "8", 8, 1, 1}, {57, "9", 9, 1, 1},
    {48, "0", 10, 1, 1}, {189, "-", 11, 1, 1}, {187, "=", 12, 1, 1}, {220, "\\", 13, 1, 1},
    {8, "Back", 14, 1, 1},
    {9, "Tab", 0, 2, 1.5}, {81, "Q", 1.5, 2, 1}, {87, "W", 2.5, 2, 1}, {69, "E", 3.5, 2, 1}, {82, "R", 4.5, 2, 1},
    {84, "T", 5.5, 2, 1}, {89, "Y", 6.5, 2, 1}, {85, "U", 7.5, 2, 1}, {73, "I", 8.5, 2, 1}, {79, "O", 9.5, 2, 1},
    {80, "P", 10.5, 2, 1}, {219, "[", 11.5, 2, 1}, {221, "]", 12.5, 2, 1}, {13, "Enter", 13.5, 2, 1.5, 2},
    {20, "Caps", 0, 3, 2.5}, {65, "A", 2.5, 3, 1}, {83, "S", 3.5, 3, 1}, {68, "D", 4.5, 3, 1}, {70, "F", 5.5, 3, 1},
    {71, "G", 6.5, 3, 1}, {72, "H", 7.5, 3, 1}, {74, "J", 8.5, 3, 1}, {75, "K", 9.5, 3, 1}, {76, "L", 10.5, 3, 1},
    {186, ";", 11.5, 3, 1}, {222, "'", 12.5, 3, 1},
    {160, "Shift", 0, 4, 2}, {90, "Z", 2, 4, 1}, {88, "X", 3, 4, 1}, {67, "C", 4, 4, 1}, {86, "V", 5, 4, 1},
    {66, "B", 6, 4, 1}, {78, "N", 7, 4, 1}, {77, "M", 8, 4, 1}, {188, ",", 9, 4, 1}, {190, ".", 10, 4, 1},
    {191, "/", 11, 4, 1}, {161, "Shift", 12, 4, 3},
    {162, "Ctrl", 0, 5, 1.5}, {164, "Alt", 1.5, 5, 1.5}, {32, "", 3, 5, 9}, {165, "Alt", 12, 5, 1.5},
    {163, "Ctrl", 13.5, 5, 1.5},
    // Editing block and arrows.
    {45, "Ins", 15.5, 1, 1}, {36, "Hm", 16.5, 1, 1}, {33, "PU", 17.5, 1, 1},
    {46, "Del", 15.5, 2, 1}, {35, "End", 16.5, 2, 1}, {34, "PD", 17.5, 2, 1},
    {38, "\u2191", 16.5, 4, 1}, {37, "\u2190", 15.5, 5, 1}, {40, "\u2193", 16.5, 5, 1}, {39, "\u2192", 17.5, 5, 1},
    // Numeric keypad.
    {144, "Num", 19, 1, 1}, {111, "/", 20, 1, 1}, {106, "*", 21, 1, 1}, {109, "-", 22, 1, 1},
    {103, "7", 19, 2, 1}, {104, "8", 20, 2, 1}, {105, "9", 21, 2, 1}, {107, "+", 22, 2, 1, 2},
    {100, "4", 19, 3, 1}, {101, "5", 20, 3, 1}, {102, "6", 21, 3, 1},
    {97, "1", 19, 4, 1}, {98, "2", 20, 4, 1}, {99, "3", 21, 4, 1}, {13, "Ent", 22, 4, 1, 2},
    {96, "0", 19, 5, 2}, {110, ".", 21, 5, 1},
};
// clang-format on

inline constexpr int kKeyCount = static_cast<int>(std::size(kKeyCaps));

// The cap's rectangle on the picture, bounds inclusive; neighbouring caps are one pixel apart.
inline KeyMapRecord keyRecord(const KeyCap& cap) {
    const auto x = [](double units) { return 3 + static_cast<int>(std::lround(units * kPitch)); };
    const int top = cap.row == 0 ? 3 : 25 + (cap.row - 1) * kPitch;
    return KeyMapRecord{x(cap.column), x(cap.column + cap.width) - 2, top, top + cap.rows * kPitch - 2, cap.code};
}

inline std::array<KeyMapRecord, kKeyCount> keyRecords() {
    std::array<KeyMapRecord, kKeyCount> records{};
    for (int i = 0; i < kKeyCount; ++i)
        records[static_cast<std::size_t>(i)] = keyRecord(kKeyCaps[i]);
    return records;
}

} // namespace vornik::layout
