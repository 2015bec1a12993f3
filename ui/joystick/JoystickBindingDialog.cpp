#include "JoystickBindingDialog.h"

#include "DrawGrid.h"
#include "FixedItemHeight.h"
#include "Fonts.h"
#include "JoystickGrid.h"
#include "JoystickPage.h"
#include "Language.h"
#include "Modal.h"
#include "Named.h"
#include "PictureStore.h"
#include "Texts.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace vornik::ui {

namespace {
QFrame* frame(QWidget* parent, const char* name, const QRect& geometry) {
    auto* f = named(new QFrame(parent), name, geometry);
    f->setFrameShape(QFrame::Box);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

constexpr QSize kKeyboardSize(427, 119);
} // namespace

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QCoreApplication::translate("Vornik", "設定"));
    setFont(programFont(12));
    setFixedSize(486, 372);

    // The frames first, so that they lie beneath the controls they group.
    frame(this, "Bevel1", {8, 16, 473, 321});
    frame(this, "Bevel2", {16, 40, 457, 145});
    frame(this, "Bevel3", {16, 200, 457, 49});
    frame(this, "Bevel4", {16, 264, 457, 65});

    m_useBinding = named(new QCheckBox(QCoreApplication::translate("Vornik", "使用對應鍵"), this), "CheckBox1", {24, 8, 89, 17});
    QFont bold = font();
    bold.setBold(true);
    m_useBinding->setFont(bold);
    // The check box stands on the outer frame's top edge, which it hides.
    m_useBinding->setAutoFillBackground(true);

    m_bindKeys = named(new QRadioButton(QCoreApplication::translate("Vornik", "鍵盤"), this), "RadioButton1", {32, 32, 57, 17});
    m_bindKeys->setAutoFillBackground(true);
    m_bindKeys->setChecked(true);
    m_keyboardView = named(new QLabel(this), "kbimg", QRect(QPoint(32, 56), kKeyboardSize));
    m_keyboardView->setCursor(Qt::PointingHandCursor);
    m_keyboardView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_keyboardView->installEventFilter(this);
    m_bindMove = named(new QRadioButton(QCoreApplication::translate("Vornik", "招式記錄"), this), "RadioButton2", {32, 192, 73, 17});
    m_bindMove->setAutoFillBackground(true);

    const QFont labelFont = programFont(16);
    m_moveLabel = named(new QLabel(QCoreApplication::translate("Vornik", "對應的招式記錄："), this), "Label1", {48, 226, 128, 16});
    m_moveLabel->setFont(labelFont);
    m_moveLabel->adjustSize();
    m_moveList = named(new QComboBox(this), "cb1", {176, 224, 145, 21});
    m_moveList->setEditable(false);
    setFixedItemHeight(m_moveList, 13);
    // A pointer button or wheel notch, on the right of the same frame.
    m_bindPointer = named(new QRadioButton(QCoreApplication::translate("Vornik", "滑鼠"), this), "RadioButton3",
                          {336, 192, 57, 17});
    m_bindPointer->setAutoFillBackground(true);
    m_pointerList = named(new QComboBox(this), "cbPointer", {336, 224, 129, 21});
    m_pointerList->setEditable(false);
    for (int target = 1; target <= kPointerTargets; ++target)
        m_pointerList->addItem(pointerTargetName(target));
    setFixedItemHeight(m_pointerList, 13);

    m_autoFire = named(new QCheckBox(QCoreApplication::translate("Vornik", "連續發射"), this), "CheckBox2", {32, 256, 89, 17});
    m_autoFire->setAutoFillBackground(true);
    m_autoFireStyle = named(new QWidget(this), "Panel1", {40, 280, 105, 41});
    m_automatic = named(new QRadioButton(QCoreApplication::translate("Vornik", "連續發射"), m_autoFireStyle), "auto", {8, 0, 89, 17});
    m_whileHeld = named(new QRadioButton(QCoreApplication::translate("Vornik", "按下發射"), m_autoFireStyle), "man", {8, 24, 89, 17});
    m_automatic->setChecked(true);

    m_autoFireDelay = named(new QSlider(Qt::Horizontal, this), "tb1", {168, 280, 281, 25});
    m_autoFireDelay->setRange(0, 10);
    m_autoFireDelay->setSingleStep(1);
    m_autoFireDelay->setPageStep(2);
    m_autoFireDelay->setTickInterval(1);
    m_autoFireDelay->setTickPosition(QSlider::TicksBelow);
    m_autoFireDelay->setValue(0);
    m_fastest = named(new QLabel(QCoreApplication::translate("Vornik", "最快"), this), "Label2", {168, 306, 40, 16});
    m_fastest->setFont(labelFont);
    m_fastest->setStyleSheet(QStringLiteral("color: red"));
    m_fastest->adjustSize();
    m_slowest = named(new QLabel(QCoreApplication::translate("Vornik", "最慢"), this), "Label3", {424, 306, 40, 16});
    m_slowest->setFont(labelFont);
    m_slowest->setStyleSheet(QStringLiteral("color: blue"));
    m_slowest->adjustSize();

    m_ok = named(new QPushButton(standardButtonText(QDialogButtonBox::Ok), this), "BitBtn2", {328, 344, 75, 25});
    m_cancel = named(new QPushButton(standardButtonText(QDialogButtonBox::Cancel), this), "BitBtn1", {408, 344, 75, 25});
    m_ok->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    m_cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    // The handlers also run when a control's state is changed from code, as the filling step does.
    connect(m_useBinding, &QCheckBox::toggled, this, &TForm3::CheckBox1Click);
    connect(m_autoFire, &QCheckBox::toggled, this, &TForm3::CheckBox2Click);
    connect(m_bindKeys, &QRadioButton::toggled, this, &TForm3::RadioButton1Click);
    connect(m_bindMove, &QRadioButton::toggled, this, &TForm3::RadioButton2Click);
    connect(m_bindPointer, &QRadioButton::toggled, this, &TForm3::RadioButton3Click);

    m_keyboardImage = QPixmap(kKeyboardSize);
    m_keyboardImage.fill(Qt::lightGray);
    m_keyboardView->setPixmap(m_keyboardImage);
    CheckBox1Click();
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                    screen() != nullptr ? screen()->availableGeometry() : QRect(QPoint(), size())));
}

void TForm3::setSources(const MoveTable* moves, const KeyMap* keyMap, const QPixmap* keybu) {
    m_moves = moves;
    m_keyMap = keyMap;
    m_keybu = keybu;
    DrawKeyMarks();
}

void TForm3::CheckBox1Click() {
    const bool use = m_useBinding->isChecked();
    m_bindKeys->setEnabled(use);
    m_bindMove->setEnabled(use);
    m_bindPointer->setEnabled(use);
    m_autoFire->setEnabled(use);
    CheckBox2Click();
    RadioButton1Click();
    RadioButton2Click();
}

void TForm3::CheckBox2Click() {
    const bool autoFire = m_useBinding->isChecked() && m_autoFire->isChecked();
    m_automatic->setEnabled(autoFire);
    m_whileHeld->setEnabled(autoFire);
    m_autoFireDelay->setEnabled(autoFire);
}

void TForm3::RadioButton1Click() {
    const bool use = m_useBinding->isChecked();
    m_keyboardView->setEnabled(use && m_bindKeys->isChecked());
    m_moveList->setEnabled(use && m_bindMove->isChecked());
    m_pointerList->setEnabled(use && m_bindPointer->isChecked());
}

void TForm3::RadioButton2Click() {
    RadioButton1Click();
}

void TForm3::RadioButton3Click() {
    RadioButton1Click();
}

void TForm3::restoreKeyboard() {
    m_marks.clear();
    if (m_keybu != nullptr && !m_keybu->isNull())
        m_keyboardImage = m_keybu->copy();
    m_keyboardView->setPixmap(m_keyboardImage);
}

void TForm3::DrawKeyMarks() {
    restoreKeyboard();
    if (m_keyMap == nullptr || m_selectedKeyCount == 0)
        return;
    QPainter painter(&m_keyboardImage);
    painter.setPen(QPen(QColor(0, 0, 255), 1));
    painter.setBrush(Qt::NoBrush);
    for (int slot = 0; slot < m_selectedKeyCount; ++slot) {
        // A key drawn twice on the picture (two Enter keys) is circled wherever it stands.
        for (int r = 1; r <= std::min<int>(m_keyMap->Count, kMaxKeyMapRecords); ++r) {
            const KeyMapRecord& k = m_keyMap->Records[r];
            if (k.VirtualKey != m_selectedKeys[static_cast<std::size_t>(slot)])
                continue;
            const QRect box(QPoint(std::min(k.Left, k.Right), std::min(k.Top, k.Bottom)),
                            QPoint(std::max(k.Left, k.Right), std::max(k.Top, k.Bottom)));
            painter.drawEllipse(box);
            m_marks.push_back(box);
        }
    }
    painter.end();
    m_keyboardView->setPixmap(m_keyboardImage);
}

void TForm3::kbimgMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
    if (m_keyMap == nullptr)
        return;
    const int record = FindKeyAtPoint(*m_keyMap, x, y);
    if (record < 1)
        return;
    const int k = m_keyMap->Records[record].VirtualKey;
    const auto first = m_selectedKeys.begin();
    const auto last = first + m_selectedKeyCount;
    const auto found = std::find(first, last, k);
    if (found != last) {
        // The later keys move down one slot each; the slot freed at the end keeps its old code.
        std::copy(found + 1, last, found);
        --m_selectedKeyCount;
    } else if (m_selectedKeyCount == 3) {
        Modal::notice(this, QCoreApplication::translate("Vornik", "只可以同時按下") + QString::number(3) + QCoreApplication::translate("Vornik", "個鍵"));
    } else {
        m_selectedKeys[static_cast<std::size_t>(m_selectedKeyCount++)] = k;
    }
    DrawKeyMarks();
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    // Event filters see events before a disabled widget drops them.
    if (watched == m_keyboardView && event->type() == QEvent::MouseButtonPress && m_keyboardView->isEnabled()) {
        // The label shows the picture unscaled at its top-left corner: label and picture
        // coordinates are the same.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        kbimgMouseDown(mouse->button(), mouse->modifiers(), at.x(), at.y());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::load(const JoystickBinding& entry) {
    m_moveList->clear();
    if (m_moves != nullptr) {
        for (int slot = 1; slot <= kMoveSlots; ++slot)
            m_moveList->addItem(moveName((*m_moves)[slot]));
    }
    m_moveList->setCurrentIndex(-1);
    m_selectedKeyCount = 0;
    m_autoFire->setChecked(entry.AutoFireMode != AutoFireNone);
    restoreKeyboard();
    m_autoFireDelay->setValue(entry.AutoFireDelay);
    if (entry.BindingKind == BindingKeys) {
        // A count out of 0..3 (a hand-edited profile) is taken at its nearest valid value.
        m_selectedKeyCount = std::clamp(entry.KeyCount, 0, 3);
        m_selectedKeys = {entry.Key1, entry.Key2, entry.Key3};
        DrawKeyMarks();
        m_bindKeys->setChecked(true);
    } else if (entry.BindingKind == BindingMove) {
        if (entry.Key1 >= 1 && entry.Key1 <= m_moveList->count())
            m_moveList->setCurrentIndex(entry.Key1 - 1);
        m_bindMove->setChecked(true);
    } else if (entry.BindingKind == BindingPointer) {
        m_pointerList->setCurrentIndex(std::clamp(entry.Key1, 1, kPointerTargets) - 1);
        m_bindPointer->setChecked(true);
    }
    m_useBinding->setChecked(entry.BindingKind != BindingNone);
    CheckBox1Click();
}

void TForm3::save(JoystickBinding& entry) const {
    if (m_useBinding->isChecked() && m_bindKeys->isChecked()) {
        entry.KeyCount = m_selectedKeyCount;
        entry.Key1 = m_selectedKeys[0];
        entry.Key2 = m_selectedKeys[1];
        entry.Key3 = m_selectedKeys[2];
        entry.BindingKind = BindingKeys;
    }
    if (m_useBinding->isChecked() && m_bindMove->isChecked()) {
        entry.Key1 = m_moveList->currentIndex() + 1;
        entry.BindingKind = BindingMove;
    }
    if (m_useBinding->isChecked() && m_bindPointer->isChecked()) {
        // The button alone: nothing is pressed with it.
        entry.Key1 = std::max(m_pointerList->currentIndex(), 0) + 1;
        entry.Key2 = entry.Key3 = entry.KeyCount = 0;
        entry.BindingKind = BindingPointer;
    }
    if (!m_useBinding->isChecked())
        entry.BindingKind = BindingNone;
    if (m_autoFire->isChecked()) {
        entry.AutoFireDelay = m_autoFireDelay->value();
        entry.AutoFireMode = m_automatic->isChecked() ? AutoFireAutomatic : AutoFireWhileHeld;
    } else {
        entry.AutoFireMode = AutoFireNone;
    }
}

bool TForm3::EditJoystickBinding(DrawGrid& grid, JoystickBlock& table, const JoystickCaps& caps, bool present) {
    const int e = joystickEntryOfRow(grid.selectionTop(), caps, &table);
    if (e < 1 || e > kPadEntries)
        return false;
    load(table[e]);
    // The caption names the input, with the name printed on a pad's button.
    setWindowTitle(QCoreApplication::translate("Vornik", "設定：%1").arg(entryName(caps, e)));
    const int answer = Modal::exec(*this);
    setWindowTitle(QCoreApplication::translate("Vornik", "設定"));
    if (answer != QDialog::Accepted)
        return false;
    save(table[e]);
    SetupJoystickGrid(&grid, caps, present, &table);
    return true;
}

} // namespace vornik::ui
