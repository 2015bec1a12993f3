#include "QtKeyToVk.h"
#include "KeyLabels.h"

#include <gtest/gtest.h>

#include <set>

namespace vornik::ui {
namespace {

struct Case {
    int key;
    Qt::KeyboardModifiers modifiers;
    int code;
};

TEST(QtKeyToVk, KnownKeys) {
    const Case cases[] = {
        {Qt::Key_Shift, {}, 16},
        {Qt::Key_Control, {}, 17},
        {Qt::Key_Alt, {}, 18},
        {Qt::Key_A, {}, 'A'},
        {Qt::Key_Z, Qt::ShiftModifier, 'Z'},
        {Qt::Key_5, {}, '5'},
        {Qt::Key_5, Qt::KeypadModifier, 101},
        {Qt::Key_0, Qt::KeypadModifier, 96},
        {Qt::Key_Asterisk, Qt::KeypadModifier, 106},
        {Qt::Key_Asterisk, {}, '8'},
        {Qt::Key_Plus, Qt::KeypadModifier, 107},
        {Qt::Key_Plus, {}, 187},
        {Qt::Key_Minus, Qt::KeypadModifier, 109},
        {Qt::Key_Minus, {}, 189},
        {Qt::Key_Period, Qt::KeypadModifier, 110},
        {Qt::Key_Period, {}, 190},
        {Qt::Key_Slash, Qt::KeypadModifier, 111},
        {Qt::Key_Slash, {}, 191},
        {Qt::Key_Enter, Qt::KeypadModifier, 13},
        {Qt::Key_Home, Qt::KeypadModifier, 36}, // keypad 7 with Num Lock off
        {Qt::Key_Return, {}, 13},
        {Qt::Key_Escape, {}, 27},
        {Qt::Key_Backtab, Qt::ShiftModifier, 9},
        {Qt::Key_F1, {}, 112},
        {Qt::Key_F12, {}, 123},
        {Qt::Key_Exclam, Qt::ShiftModifier, '1'},
        {Qt::Key_ParenRight, Qt::ShiftModifier, '0'},
        {Qt::Key_Colon, Qt::ShiftModifier, 186},
        {Qt::Key_BraceLeft, Qt::ShiftModifier, 219},
        {Qt::Key_Bar, Qt::ShiftModifier, 220},
        {Qt::Key_QuoteDbl, Qt::ShiftModifier, 222},
        {Qt::Key_AsciiTilde, Qt::ShiftModifier, 192},
        {Qt::Key_Menu, {}, 0},
        {Qt::Key_F13, {}, 0},
        {0, {}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qtKeyToVk(c.key, c.modifiers), c.code) << std::hex << c.key;
}

// Every key with a label can be recorded, except the left and right modifier codes: key events carry
// the generic 16, 17 and 18 instead, as they do on Windows.
TEST(QtKeyToVk, EveryLabelledKeyIsReachable) {
    std::set<int> reached;
    for (int key = 0x20; key <= 0x7e; ++key) {
        for (auto modifiers : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::KeypadModifier)})
            reached.insert(qtKeyToVk(key, modifiers));
    }
    for (int key = Qt::Key_Escape; key <= Qt::Key_Escape + 0x100; ++key)
        reached.insert(qtKeyToVk(key, {}));
    std::set<int> wanted = {16, 17, 18};
    for (int code = 1; code <= 255; ++code) {
        if (KeyLabel(static_cast<uint16_t>(code)) != "?" && (code < 160 || code > 165))
            wanted.insert(code);
    }
    reached.erase(0);
    EXPECT_EQ(reached, wanted);
}

TEST(QtKeyToVk, KeyEventsOfferedBySynthesizedInput) {
    const QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(keyEventToVk(shift), 16);
    const QKeyEvent keypadNine(QEvent::KeyPress, Qt::Key_9, Qt::KeypadModifier, QStringLiteral("9"));
    EXPECT_EQ(keyEventToVk(keypadNine), 105);
}

} // namespace
} // namespace vornik::ui
