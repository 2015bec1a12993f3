#include "JoystickBindingDialog.h"

#include "DrawGrid.h"
#include "FixedItemHeight.h"
#include "Fonts.h"
#include "JoystickPage.h"
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

    m_checkBox1 = named(new QCheckBox(QCoreApplication::translate("Vornik", "使用對應鍵"), this), "CheckBox1", {24, 8, 89, 17});
    QFont bold = font();
    bold.setBold(true);
    m_checkBox1->setFont(bold);
    // The check box stands on the outer frame's top edge, which it hides.
    m_checkBox1->setAutoFillBackground(true);

    m_radioButton1 = named(new QRadioButton(QCoreApplication::translate("Vornik", "鍵盤"), this), "RadioButton1", {32, 32, 57, 17});
    m_radioButton1->setAutoFillBackground(true);
    m_radioButton1->setChecked(true);
    m_kbimg = named(new QLabel(this), "kbimg", QRect(QPoint(32, 56), kKeyboardSize));
    m_kbimg->setCursor(Qt::PointingHandCursor);
    m_kbimg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_kbimg->installEventFilter(this);
    m_radioButton2 = named(new QRadioButton(QCoreApplication::translate("Vornik", "招式記錄"), this), "RadioButton2", {32, 192, 73, 17});
    m_radioButton2->setAutoFillBackground(true);

    const QFont labelFont = programFont(16);
    m_label1 = named(new QLabel(QCoreApplication::translate("Vornik", "對應的招式記錄："), this), "Label1", {48, 226, 128, 16});
    m_label1->setFont(labelFont);
    m_label1->adjustSize();
    m_cb1 = named(new QComboBox(this), "cb1", {176, 224, 145, 21});
    m_cb1->setEditable(false);
    setFixedItemHeight(m_cb1, 13);

    m_checkBox2 = named(new QCheckBox(QCoreApplication::translate("Vornik", "連續發射"), this), "CheckBox2", {32, 256, 89, 17});
    m_checkBox2->setAutoFillBackground(true);
    m_panel = named(new QWidget(this), "Panel1", {40, 280, 105, 41});
    m_auto = named(new QRadioButton(QCoreApplication::translate("Vornik", "連續發射"), m_panel), "auto", {8, 0, 89, 17});
    m_man = named(new QRadioButton(QCoreApplication::translate("Vornik", "按下發射"), m_panel), "man", {8, 24, 89, 17});
    m_auto->setChecked(true);

    m_tb1 = named(new QSlider(Qt::Horizontal, this), "tb1", {168, 280, 281, 25});
    m_tb1->setRange(0, 10);
    m_tb1->setSingleStep(1);
    m_tb1->setPageStep(2);
    m_tb1->setTickInterval(1);
    m_tb1->setTickPosition(QSlider::TicksBelow);
    m_tb1->setValue(0);
    m_label2 = named(new QLabel(QCoreApplication::translate("Vornik", "最快"), this), "Label2", {168, 306, 40, 16});
    m_label2->setFont(labelFont);
    m_label2->setStyleSheet(QStringLiteral("color: red"));
    m_label2->adjustSize();
    m_label3 = named(new QLabel(QCoreApplication::translate("Vornik", "最慢"), this), "Label3", {424, 306, 40, 16});
    m_label3->setFont(labelFont);
    m_label3->setStyleSheet(QStringLiteral("color: blue"));
    m_label3->adjustSize();

    m_bitBtn2 = named(new QPushButton(QStringLiteral("OK"), this), "BitBtn2", {328, 344, 75, 25});
    m_bitBtn1 = named(new QPushButton(QStringLiteral("Cancel"), this), "BitBtn1", {408, 344, 75, 25});
    m_bitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    m_bitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    m_bitBtn2->setDefault(true);
    connect(m_bitBtn2, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_bitBtn1, &QPushButton::clicked, this, &QDialog::reject);

    // The handlers also run when a control's state is changed from code, as the filling step does.
    connect(m_checkBox1, &QCheckBox::toggled, this, &TForm3::CheckBox1Click);
    connect(m_checkBox2, &QCheckBox::toggled, this, &TForm3::CheckBox2Click);
    connect(m_radioButton1, &QRadioButton::toggled, this, &TForm3::RadioButton1Click);
    connect(m_radioButton2, &QRadioButton::toggled, this, &TForm3::RadioButton2Click);

    m_kbimage = QPixmap(kKeyboardSize);
    m_kbimage.fill(Qt::lightGray);
    m_kbimg->setPixmap(m_kbimage);
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
    const bool use = m_checkBox1->isChecked();
    m_radioButton1->setEnabled(use);
    m_radioButton2->setEnabled(use);
    m_checkBox2->setEnabled(use);
    CheckBox2Click();
    RadioButton1Click();
    RadioButton2Click();
}

void TForm3::CheckBox2Click() {
    const bool autoFire = m_checkBox1->isChecked() && m_checkBox2->isChecked();
    m_auto->setEnabled(autoFire);
    m_man->setEnabled(autoFire);
    m_tb1->setEnabled(autoFire);
}

void TForm3::RadioButton1Click() {
    const bool use = m_checkBox1->isChecked();
    m_kbimg->setEnabled(use && m_radioButton1->isChecked());
    m_cb1->setEnabled(use && m_radioButton2->isChecked());
}

void TForm3::RadioButton2Click() {
    RadioButton1Click();
}

void TForm3::restoreKeyboard() {
    m_marks.clear();
    if (m_keybu != nullptr && !m_keybu->isNull())
        m_kbimage = m_keybu->copy();
    m_kbimg->setPixmap(m_kbimage);
}

void TForm3::DrawKeyMarks() {
    restoreKeyboard();
    if (m_keyMap == nullptr || m_selectedKeyCount == 0)
        return;
    QPainter painter(&m_kbimage);
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
    m_kbimg->setPixmap(m_kbimage);
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
    if (watched == m_kbimg && event->type() == QEvent::MouseButtonPress && m_kbimg->isEnabled()) {
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
    m_cb1->clear();
    if (m_moves != nullptr) {
        for (int slot = 1; slot <= kMoveSlots; ++slot)
            m_cb1->addItem(moveName((*m_moves)[slot]));
    }
    m_cb1->setCurrentIndex(-1);
    m_selectedKeyCount = 0;
    m_checkBox2->setChecked(entry.AutoFireMode != AutoFireNone);
    restoreKeyboard();
    m_tb1->setValue(entry.AutoFireDelay);
    if (entry.BindingKind == BindingKeys) {
        // A count out of 0..3 (a hand-edited profile) is taken at its nearest valid value.
        m_selectedKeyCount = std::clamp(entry.KeyCount, 0, 3);
        m_selectedKeys = {entry.Key1, entry.Key2, entry.Key3};
        DrawKeyMarks();
        m_radioButton1->setChecked(true);
    } else if (entry.BindingKind == BindingMove) {
        if (entry.Key1 >= 1 && entry.Key1 <= m_cb1->count())
            m_cb1->setCurrentIndex(entry.Key1 - 1);
        m_radioButton2->setChecked(true);
    }
    m_checkBox1->setChecked(entry.BindingKind != BindingNone);
    CheckBox1Click();
}

void TForm3::save(JoystickBinding& entry) const {
    if (m_checkBox1->isChecked() && m_radioButton1->isChecked()) {
        entry.KeyCount = m_selectedKeyCount;
        entry.Key1 = m_selectedKeys[0];
        entry.Key2 = m_selectedKeys[1];
        entry.Key3 = m_selectedKeys[2];
        entry.BindingKind = BindingKeys;
    }
    if (m_checkBox1->isChecked() && !m_radioButton1->isChecked()) {
        entry.Key1 = m_cb1->currentIndex() + 1;
        entry.BindingKind = BindingMove;
    }
    if (!m_checkBox1->isChecked())
        entry.BindingKind = BindingNone;
    if (m_checkBox2->isChecked()) {
        entry.AutoFireDelay = m_tb1->value();
        entry.AutoFireMode = m_auto->isChecked() ? AutoFireAutomatic : AutoFireWhileHeld;
    } else {
        entry.AutoFireMode = AutoFireNone;
    }
}

bool TForm3::EditJoystickBinding(DrawGrid& grid, JoystickBlock& table, const JoystickCaps& caps, bool present) {
    const int row = grid.selectionTop();
    const int e = row >= 5 && row <= 8 ? 0 : row <= 4 ? row : row - 4;
    if (e < 1 || e > kJoystickEntries)
        return false;
    load(table[e]);
    if (Modal::exec(*this) != QDialog::Accepted)
        return false;
    save(table[e]);
    SetupJoystickGrid(&grid, caps, present);
    return true;
}

} // namespace vornik::ui
