#include "JoystickGrid.h"

#include "DrawGrid.h"
#include "JoystickBindingDialog.h"
#include "PictureStore.h"
#include "Texts.h"

#include <algorithm>
#include <QCoreApplication>

namespace vornik::ui {

namespace {
constexpr int kPicture = 32;
constexpr int kKeysLeft = 50; // key pictures start this far right of the cell's left edge
constexpr int kKeyGap = 5;

// Rows 5..8: the diagonal's picture (mimg5, mimg6, mimg8, mimg7) and the two directions it presses.
struct Diagonal {
    int picture;
    const char* text;
};
constexpr Diagonal kDiagonals[4] = {
    {5, QT_TRANSLATE_NOOP("Vornik", "對應：上、左")},
    {6, QT_TRANSLATE_NOOP("Vornik", "對應：下、左")},
    {8, QT_TRANSLATE_NOOP("Vornik", "對應：上、右")},
    {7, QT_TRANSLATE_NOOP("Vornik", "對應：下、右")},
};
} // namespace

int joystickEntryOfRow(int row) {
    if (row >= 1 && row <= 4)
        return row;
    if (row >= 9 && row - 4 <= kJoystickEntries)
        return row - 4;
    return 0;
}

void JoystickGrid::setDialog(TForm3* dialog) {
    m_dialog = dialog;
    if (m_dialog != nullptr)
        m_dialog->setSources(&m_config.moves, &m_config.keyMap, &m_pictures.keybu());
}

DrawOps JoystickGrid::cellOps(int joystick, int col, int row, const QRect& rect, const QFontMetrics& metrics) const {
    DrawOps ops;
    if (joystick < 1 || joystick > kMaxJoysticks)
        return ops;
    const int px = (rect.left() + rect.right() + 1 - kPicture) / 2;
    const int py = (rect.top() + rect.bottom() + 1 - kPicture) / 2;
    const int my = (rect.top() + rect.bottom() + 1) / 2;
    const QPoint textAt(rect.left() + 2, my - 5);
    const QRect pictureAt(px, py, kPicture, kPicture);

    if (row == 0) {
        static const QString headers[4] = {QString(), QCoreApplication::translate("Vornik", "對應功能"), QCoreApplication::translate("Vornik", "連發"),
                                           QCoreApplication::translate("Vornik", "連發速度")};
        if (col >= 1 && col <= 3)
            ops.push_back(textOp(headers[col], textAt));
        return ops;
    }
    if (row >= 5 && row <= 8) {
        const Diagonal& d = kDiagonals[row - 5];
        if (col == 0)
            ops.push_back(pictureOp(m_pictures.mimg(d.picture), QStringLiteral("mimg%1").arg(d.picture), pictureAt));
        else if (col == 1)
            ops.push_back(textOp(QCoreApplication::translate("Vornik", d.text), textAt));
        else if (col <= 3)
            ops.push_back(textOp(QCoreApplication::translate("Vornik", "不獨立設定"), textAt));
        return ops;
    }
    const int e = joystickEntryOfRow(row);
    if (e == 0)
        return ops;
    const JoystickBinding& entry = m_config.joystickBindings[joystick][e];
    switch (col) {
    case 0:
        if (row <= 4)
            ops.push_back(pictureOp(m_pictures.mimg(row), QStringLiteral("mimg%1").arg(row), pictureAt));
        else
            ops.push_back(pictureOp(m_pictures.button(row - 8, ButtonState::Released),
                                    QStringLiteral("button %1 released").arg(row - 8), pictureAt));
        break;
    case 1:
        ops = bindingOps(entry, rect, metrics);
        break;
    case 2: {
        // An unbound entry shows no auto-fire, whatever its mode field still holds.
        const QString text = autoFireModeText(entry.BindingKind == BindingNone ? AutoFireNone : entry.AutoFireMode);
        if (!text.isEmpty())
            ops.push_back(textOp(text, textAt));
        break;
    }
    case 3:
        ops.push_back(textOp(autoFireDelayText(entry.AutoFireDelay), textAt));
        break;
    default:
        break;
    }
    return ops;
}

DrawOps JoystickGrid::bindingOps(const JoystickBinding& entry, const QRect& rect, const QFontMetrics& metrics) const {
    DrawOps ops;
    const int my = (rect.top() + rect.bottom() + 1) / 2;
    const QPoint textAt(rect.left() + 2, my - 5);
    switch (entry.BindingKind) {
    case BindingNone:
        ops.push_back(textOp(QCoreApplication::translate("Vornik", "沒有對應功能鍵"), textAt));
        break;
    case BindingKeys: {
        ops.push_back(textOp(QCoreApplication::translate("Vornik", "鍵盤："), textAt));
        const int keys[3] = {entry.Key1, entry.Key2, entry.Key3};
        int x = 0;
        for (int i = 0; i < std::clamp(entry.KeyCount, 0, 3); ++i)
            x += appendKeyPicture(ops, m_config.keyMap, m_pictures.keybu(), keys[i], rect.left() + kKeysLeft + x, my,
                                  metrics) +
                 kKeyGap;
        break;
    }
    case BindingMove:
        // Move number 0 is stored when OK was pressed with no move chosen: it names no move.
        if (entry.Key1 >= 1 && entry.Key1 <= kMoveSlots)
            ops.push_back(textOp(moveBindingText(m_config.moves, entry.Key1), textAt));
        else
            ops.push_back(textOp(QCoreApplication::translate("Vornik", "招式：沒有"), textAt));
        break;
    case BindingPointer:
        ops.push_back(textOp(pointerBindingText(entry.Key1), textAt));
        break;
    default:
        break;
    }
    return ops;
}

void JoystickGrid::DCell(DrawGrid& grid, int col, int row, QPainter& painter, const QRect& rect) {
    paintDrawOps(painter, cellOps(grid.tag(), col, row, rect, painter.fontMetrics()));
}

void JoystickGrid::DbC(DrawGrid& grid) {
    const int n = grid.tag();
    if (n < 1 || n > kMaxJoysticks)
        return;
    if (m_dialog == nullptr && m_dialogNeeded)
        m_dialogNeeded();
    if (m_dialog == nullptr)
        return;
    DrawGrid* bindingGrid = m_pages[static_cast<std::size_t>(n - 1)].BindingGrid;
    if (bindingGrid == nullptr || bindingGrid->selectionTop() < 1 || bindingGrid->selectionLeft() < 1)
        return;
    if (m_dialog->EditJoystickBinding(*bindingGrid, m_config.joystickBindings[n], m_config.caps(n),
                                      m_config.present(n)) &&
        m_edited)
        m_edited();
}

} // namespace vornik::ui
