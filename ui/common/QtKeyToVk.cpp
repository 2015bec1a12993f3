#include "QtKeyToVk.h"

#include "VirtualKeys.h"

#include <algorithm>

namespace vornik::ui {

// The key table's Qt key names are plain numbers; hold them to Qt's own.
static_assert(qtkey::Escape == Qt::Key_Escape && qtkey::Tab == Qt::Key_Tab && qtkey::Backtab == Qt::Key_Backtab);
static_assert(qtkey::Backspace == Qt::Key_Backspace && qtkey::Return == Qt::Key_Return);
static_assert(qtkey::Enter == Qt::Key_Enter && qtkey::Insert == Qt::Key_Insert && qtkey::Delete == Qt::Key_Delete);
static_assert(qtkey::Pause == Qt::Key_Pause && qtkey::Print == Qt::Key_Print && qtkey::Home == Qt::Key_Home);
static_assert(qtkey::End == Qt::Key_End && qtkey::Left == Qt::Key_Left && qtkey::Up == Qt::Key_Up);
static_assert(qtkey::Right == Qt::Key_Right && qtkey::Down == Qt::Key_Down && qtkey::PageUp == Qt::Key_PageUp);
static_assert(qtkey::PageDown == Qt::Key_PageDown && qtkey::Shift == Qt::Key_Shift);
static_assert(qtkey::Control == Qt::Key_Control && qtkey::Alt == Qt::Key_Alt && qtkey::AltGr == Qt::Key_AltGr);
static_assert(qtkey::CapsLock == Qt::Key_CapsLock && qtkey::NumLock == Qt::Key_NumLock);
static_assert(qtkey::ScrollLock == Qt::Key_ScrollLock && qtkey::F1 == Qt::Key_F1 && qtkey::F1 + 11 == Qt::Key_F12);
// Printable keys use their character, which is their Qt key.
static_assert(Qt::Key_A == 'A' && Qt::Key_0 == '0' && Qt::Key_Space == ' ' && Qt::Key_AsciiTilde == '~');

int qtKeyToVk(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (qtKey == 0)
        return 0;
    // On the keypad a digit or operator has the keypad's code; any other key has its usual one.
    if (modifiers & Qt::KeypadModifier) {
        for (const VirtualKey& key : kVirtualKeys) {
            if (key.qtKeypadKey == qtKey)
                return key.code;
        }
    }
    for (const VirtualKey& key : kVirtualKeys) {
        if (std::ranges::find(key.qtKeys, qtKey) != key.qtKeys.end())
            return key.code;
    }
    return 0;
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
