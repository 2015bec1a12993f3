#include "JoystickGrid.h"

#include "DrawGrid.h"
#include "JoystickBindingDialog.h"
#include "PictureStore.h"
#include "Texts.h"

#include <algorithm>
#include <QCoreApplication>
#include <QStringList>

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
// What entry `e`'s stick does instead of pressing keys; Keys for every other entry.
StickMode stickDrive(const PadSettings& pad, int e) {
    if (e >= kEntryUp && e <= kEntryRight)
        return pad.leftStick;
    return e >= kEntryRightUp && e <= kEntryRightRight ? pad.rightStick : StickMode::Keys;
}

// A right stick that drives the pointer or the wheel presses none of its rows' bindings: they say so.
// The left stick's rows still serve the D-pad, and say that.
QString stickDriveText(StickMode mode) {
    return mode == StickMode::Pointer ? QCoreApplication::translate("Vornik", "移動滑鼠指標")
                                      : QCoreApplication::translate("Vornik", "轉動滑鼠滾輪");
}
QString dpadOnlyText() {
    return QCoreApplication::translate("Vornik", "十字鍵");
}
} // namespace

int joystickEntryOfRow(int row) {
    if (row >= 1 && row <= 4)
        return row;
    if (row >= 9 && row - 4 <= kJoystickEntries)
        return row - 4;
    return 0;
}

std::vector<int> padEntryRows(const JoystickCaps& caps, const JoystickBlock* block) {
    std::vector<int> entries;
    for (int e = kJoystickEntries + 1; e <= kPadEntries; ++e) {
        if (entryOnPad(caps, e) || (block != nullptr && (*block)[e].BindingKind != BindingNone))
            entries.push_back(e);
    }
    return entries;
}

int joystickEntryOfRow(int row, const JoystickCaps& caps, const JoystickBlock* block) {
    const int buttons = joystickButtonCount(caps);
    if (row < 9 + buttons)
        return joystickEntryOfRow(row);
    const std::vector<int> extra = padEntryRows(caps, block);
    const auto i = static_cast<std::size_t>(row - 9 - buttons);
    return i < extra.size() ? extra[i] : 0;
}

QString triggerLabel(PadFamily family, int trigger) {
    switch (family) {
    case PadFamily::PlayStation:
        return trigger == 1 ? QStringLiteral("L2") : QStringLiteral("R2");
    case PadFamily::Nintendo:
        return trigger == 1 ? QStringLiteral("ZL") : QStringLiteral("ZR");
    default:
        return trigger == 1 ? QStringLiteral("LT") : QStringLiteral("RT");
    }
}

QString entryName(const JoystickCaps& caps, int entry) {
    static const char* const kDirections[4] = {QT_TRANSLATE_NOOP("Vornik", "上"), QT_TRANSLATE_NOOP("Vornik", "下"),
                                               QT_TRANSLATE_NOOP("Vornik", "左"), QT_TRANSLATE_NOOP("Vornik", "右")};
    if (entry >= kEntryUp && entry <= kEntryRight)
        return QCoreApplication::translate("Vornik", kDirections[entry - kEntryUp]);
    if (entry >= kEntryRightUp && entry <= kEntryRightRight)
        return QCoreApplication::translate("Vornik", "右搖桿：%1")
            .arg(QCoreApplication::translate("Vornik", kDirections[entry - kEntryRightUp]));
    if (entry == kEntryLeftTrigger || entry == kEntryRightTrigger) {
        const QString name = entry == kEntryLeftTrigger ? QCoreApplication::translate("Vornik", "左扳機")
                                                        : QCoreApplication::translate("Vornik", "右扳機");
        return QCoreApplication::translate("Vornik", "%1（%2）")
            .arg(name, triggerLabel(caps.family, entry - kEntryLeftTrigger + 1));
    }
    const int button = entry - buttonEntry(1) + 1;
    const QString number = QCoreApplication::translate("Vornik", "按鈕 %1").arg(button);
    const std::string_view label = padButtonLabel(caps.family, caps.role(button));
    if (label.empty())
        return number;
    return QCoreApplication::translate("Vornik", "%1（%2）")
        .arg(number, QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
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
    const JoystickCaps& caps = m_config.caps(joystick);
    const JoystickBlock& block = m_config.joystickBindings[joystick];
    const int e = joystickEntryOfRow(row, caps, &block);
    if (e == 0)
        return ops;
    const StickMode drive = stickDrive(m_config.pad(joystick), e);
    if (drive != StickMode::Keys && e >= kEntryRightUp && col >= 1) {
        if (col == 1)
            ops.push_back(textOp(stickDriveText(drive), textAt));
        return ops;
    }
    const JoystickBinding* first = nullptr;
    const QStringList firings = firingTexts(joystick, e, first);
    static const JoystickBinding kNone;
    const JoystickBinding& entry = first != nullptr ? *first : kNone;
    // On a pad with a layout, the first column is wider: the picture on its left, the name beside it.
    const bool named = caps.family != PadFamily::Unknown;
    const QRect leftPicture(rect.left() + 4, py, kPicture, kPicture);
    const QPoint nameAt(rect.left() + 4 + kPicture + 4, my - 5);
    switch (col) {
    case 0:
        if (e <= 4) {
            ops.push_back(pictureOp(m_pictures.mimg(e), QStringLiteral("mimg%1").arg(e), named ? leftPicture : pictureAt));
            if (named && drive != StickMode::Keys)
                ops.push_back(textOp(dpadOnlyText(), nameAt));
        } else if (e <= kJoystickEntries) {
            const int button = e - buttonEntry(1) + 1;
            ops.push_back(pictureOp(m_pictures.button(button, ButtonState::Released),
                                    QStringLiteral("button %1 released").arg(button), named ? leftPicture : pictureAt));
            const std::string_view label = padButtonLabel(caps.family, caps.role(button));
            if (!label.empty())
                ops.push_back(textOp(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())), nameAt));
        } else if (e <= kEntryRightRight) {
            const int direction = e - kEntryRightUp + 1;
            ops.push_back(pictureOp(m_pictures.mimg(direction), QStringLiteral("mimg%1").arg(direction),
                                    named ? leftPicture : pictureAt));
            ops.push_back(textOp(QStringLiteral("R"), named ? nameAt : QPoint(rect.left() + 2, my - 5)));
        } else {
            ops.push_back(textOp(triggerLabel(caps.family, e - kEntryLeftTrigger + 1), named ? nameAt : textAt));
        }
        break;
    case 1:
        if (!firings.isEmpty())
            ops.push_back(textOp(metrics.elidedText(firings.join(QStringLiteral("；")), Qt::ElideRight, rect.width() - 4),
                                 textAt));
        else
            ops = bindingOps(joystick, entry, rect, metrics);
        break;
    case 2: {
        if (first == nullptr)
            break; // left to the layer beneath
        // An unbound entry shows no auto-fire, whatever its mode field still holds.
        const QString text = autoFireModeText(entry.BindingKind == BindingNone ? AutoFireNone : entry.AutoFireMode);
        if (!text.isEmpty())
            ops.push_back(textOp(text, textAt));
        break;
    }
    case 3:
        if (first != nullptr)
            ops.push_back(textOp(autoFireDelayText(entry.AutoFireDelay), textAt));
        break;
    default:
        break;
    }
    return ops;
}

int JoystickGrid::shownLayer(int joystick) const {
    return m_pages[static_cast<std::size_t>(joystick - 1)].editedLayer();
}

QStringList JoystickGrid::firingTexts(int joystick, int e, const JoystickBinding*& first) const {
    const int layer = shownLayer(joystick);
    QStringList texts;
    first = nullptr;
    // Keys by their names alone: the row holds several bindings.
    const auto brief = [&](const JoystickBinding& b) {
        if (b.BindingKind != BindingKeys)
            return bindingText(joystick, b);
        QStringList keys;
        const int codes[3] = {b.Key1, b.Key2, b.Key3};
        for (int i = 0; i < std::clamp(b.KeyCount, 0, 3); ++i)
            keys.append(keyPictureLabel(codes[i]));
        return keys.join(QStringLiteral(" + "));
    };
    const JoystickBinding* plain = m_config.binding(joystick, e, layer, ActivatePress, 0);
    if (plain != nullptr && (plain->BindingKind != BindingNone || layer == 1))
        first = plain;
    bool others = false;
    for (const LayeredBinding& b : m_config.layeredBindings[joystick]) {
        if (b.Entry != e || b.Layer != layer || &b.Binding == plain || b.Binding.BindingKind == BindingNone)
            continue;
        if (!others && first != nullptr && first->BindingKind != BindingNone)
            texts.append(activatorName(ActivatePress) + QCoreApplication::translate("Vornik", "：") + brief(*first));
        others = true;
        const QString when = b.With != 0 ? QCoreApplication::translate("Vornik", "與%1同按").arg(
                                               entryName(m_config.caps(joystick), b.With))
                                         : activatorName(b.Activator);
        texts.append(when + QCoreApplication::translate("Vornik", "：") + brief(b.Binding));
        if (first == nullptr || first->BindingKind == BindingNone)
            first = &b.Binding;
    }
    if (!others && first == nullptr)
        texts.append(QCoreApplication::translate("Vornik", "由下面的層決定")); // a layer above 1 leaves it to the one beneath
    else if (!others)
        return {}; // the plain binding alone, shown as it always was
    return texts;
}

QString JoystickGrid::bindingText(int joystick, const JoystickBinding& entry) const {
    switch (entry.BindingKind) {
    case BindingNone:
        return QCoreApplication::translate("Vornik", "沒有對應功能鍵");
    case BindingKeys: {
        QStringList keys;
        const int codes[3] = {entry.Key1, entry.Key2, entry.Key3};
        for (int i = 0; i < std::clamp(entry.KeyCount, 0, 3); ++i)
            keys.append(keyPictureLabel(codes[i]));
        return QCoreApplication::translate("Vornik", "鍵盤：") + keys.join(QStringLiteral(" + "));
    }
    case BindingMove:
        if (entry.Key1 >= 1 && entry.Key1 <= kMoveSlots)
            return moveBindingText(m_config.moves, entry.Key1);
        return QCoreApplication::translate("Vornik", "招式：沒有");
    case BindingPointer:
        return pointerBindingText(entry.Key1);
    case BindingLayer:
        return layerSwitchText(entry, m_config.pad(joystick));
    default:
        return {};
    }
}

QString JoystickGrid::cellText(int joystick, int col, int row) const {
    if (joystick < 1 || joystick > kMaxJoysticks || col < 0 || col > 3)
        return {};
    if (row == 0) {
        static const char* const headers[4] = {QT_TRANSLATE_NOOP("Vornik", "輸入"), QT_TRANSLATE_NOOP("Vornik", "對應功能"),
                                               QT_TRANSLATE_NOOP("Vornik", "連發"),
                                               QT_TRANSLATE_NOOP("Vornik", "連發速度")};
        return QCoreApplication::translate("Vornik", headers[col]);
    }
    if (row >= 5 && row <= 8) {
        static const char* const kDiagonalNames[4] = {
            QT_TRANSLATE_NOOP("Vornik", "左上"), QT_TRANSLATE_NOOP("Vornik", "左下"),
            QT_TRANSLATE_NOOP("Vornik", "右上"), QT_TRANSLATE_NOOP("Vornik", "右下")};
        if (col == 0)
            return QCoreApplication::translate("Vornik", kDiagonalNames[row - 5]);
        return col == 1 ? QCoreApplication::translate("Vornik", kDiagonals[row - 5].text)
                        : QCoreApplication::translate("Vornik", "不獨立設定");
    }
    const JoystickCaps& caps = m_config.caps(joystick);
    const JoystickBlock& block = m_config.joystickBindings[joystick];
    const int e = joystickEntryOfRow(row, caps, &block);
    if (e == 0)
        return {};
    const StickMode drive = stickDrive(m_config.pad(joystick), e);
    if (drive != StickMode::Keys && e >= kEntryRightUp && col >= 1)
        return col == 1 ? stickDriveText(drive) : QString();
    const JoystickBinding* first = nullptr;
    const QStringList firings = firingTexts(joystick, e, first);
    static const JoystickBinding kNone;
    const JoystickBinding& entry = first != nullptr ? *first : kNone;
    switch (col) {
    case 0:
        if (drive != StickMode::Keys && e <= kEntryRight)
            return QCoreApplication::translate("Vornik", "%1（%2）").arg(entryName(caps, e), dpadOnlyText());
        return entryName(caps, e);
    case 1:
        return firings.isEmpty() ? bindingText(joystick, entry) : firings.join(QStringLiteral("；"));
    case 2:
        if (first == nullptr)
            return {};
        return autoFireModeText(entry.BindingKind == BindingNone ? AutoFireNone : entry.AutoFireMode);
    default:
        return first == nullptr ? QString() : autoFireDelayText(entry.AutoFireDelay);
    }
}

bool JoystickGrid::rowGreyed(int joystick, int row) const {
    if (joystick < 1 || joystick > kMaxJoysticks || row < 9)
        return false;
    const JoystickCaps& caps = m_config.caps(joystick);
    const int e = joystickEntryOfRow(row, caps, &m_config.joystickBindings[joystick]);
    return e > kJoystickEntries && !entryOnPad(caps, e);
}

DrawOps JoystickGrid::bindingOps(int joystick, const JoystickBinding& entry, const QRect& rect,
                                 const QFontMetrics& metrics) const {
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
    case BindingLayer:
        ops.push_back(textOp(layerSwitchText(entry, m_config.pad(joystick)), textAt));
        break;
    default:
        break;
    }
    return ops;
}

void JoystickGrid::DCell(DrawGrid& grid, int col, int row, QPainter& painter, const QRect& rect) {
    // A binding kept for an input the pad lacks does nothing: its row is shown greyed.
    if (rowGreyed(grid.tag(), row))
        painter.setOpacity(0.4);
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
    if (m_dialog->EditJoystickBinding(*bindingGrid, m_config, n, shownLayer(n), m_config.caps(n), m_config.present(n)) &&
        m_edited)
        m_edited();
}

} // namespace vornik::ui
