#include "KeyboardBindingDialog.h"

#include "FixedItemHeight.h"
#include "Fonts.h"
#include "Named.h"
#include "Texts.h"
#include <QCoreApplication>

#include <QScreen>

namespace vornik::ui {

TForm6::TForm6(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm6"));
    setWindowTitle(QCoreApplication::translate("Vornik", "設定"));
    setFont(programFont(12));
    setFixedSize(486, 173);

    m_checkBox1 = named(new QCheckBox(QCoreApplication::translate("Vornik", "使用招式對應"), this), "CheckBox1", {16, 12, 200, 20});
    QFont bold = font();
    bold.setBold(true);
    m_checkBox1->setFont(bold);
    m_label1 = named(new QLabel(QCoreApplication::translate("Vornik", "對應的招式記錄："), this), "Label1", {32, 42, 110, 16});
    m_cb1 = named(new QComboBox(this), "cb1", {144, 38, 320, 22});
    setFixedItemHeight(m_cb1, 16);
    m_cb1->setMaxVisibleItems(16);
    m_checkBox2 = named(new QCheckBox(QCoreApplication::translate("Vornik", "連續發射"), this), "CheckBox2", {16, 72, 100, 20});
    m_auto = named(new QRadioButton(QCoreApplication::translate("Vornik", "連續發射"), this), "auto", {144, 72, 100, 20});
    m_man = named(new QRadioButton(QCoreApplication::translate("Vornik", "按下發射"), this), "man", {256, 72, 100, 20});
    m_auto->setChecked(true);
    m_label2 = named(new QLabel(QCoreApplication::translate("Vornik", "最快"), this), "Label2", {104, 108, 36, 16});
    m_label2->setStyleSheet(QStringLiteral("color: red"));
    m_tb1 = named(new QSlider(Qt::Horizontal, this), "tb1", {144, 100, 280, 30});
    m_tb1->setRange(0, 10);
    m_tb1->setSingleStep(1);
    m_tb1->setPageStep(1);
    m_tb1->setTickInterval(1);
    m_tb1->setTickPosition(QSlider::TicksBelow);
    m_label3 = named(new QLabel(QCoreApplication::translate("Vornik", "最慢"), this), "Label3", {432, 108, 36, 16});
    m_label3->setStyleSheet(QStringLiteral("color: blue"));
    m_ok = named(new QPushButton(QStringLiteral("OK"), this), "BitBtn2", {296, 138, 82, 27});
    m_cancel = named(new QPushButton(QStringLiteral("Cancel"), this), "BitBtn1", {388, 138, 82, 27});
    m_ok->setDefault(true);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_checkBox1, &QCheckBox::toggled, this, &TForm6::applyEnabling);
    connect(m_checkBox2, &QCheckBox::toggled, this, &TForm6::applyEnabling);
    m_cb1->setEnabled(false);
    m_checkBox2->setEnabled(false);
    applyEnabling();
}

void TForm6::load(const KeyBinding& binding, const MoveTable& moves) {
    m_cb1->clear();
    for (int slot = 1; slot <= kMoveSlots; ++slot)
        m_cb1->addItem(moveName(moves[slot]));
    const bool inRange = binding.MoveNumber >= 1 && binding.MoveNumber <= kMoveSlots;
    m_cb1->setCurrentIndex(inRange ? binding.MoveNumber - 1 : -1);
    m_checkBox1->setChecked(binding.MoveNumber != 0);
    m_checkBox2->setChecked(binding.AutoFireMode != 0);
    m_tb1->setValue(binding.AutoFireDelay);
    applyEnabling();
}

KeyBinding TForm6::save(const KeyBinding& previous) const {
    KeyBinding b = previous;
    b.MoveNumber = m_checkBox1->isChecked() ? m_cb1->currentIndex() + 1 : 0;
    if (m_checkBox2->isChecked()) {
        b.AutoFireDelay = m_tb1->value();
        b.AutoFireMode = m_auto->isChecked() ? AutoFireAutomatic : AutoFireWhileHeld;
    } else {
        b.AutoFireMode = AutoFireNone;
    }
    return b;
}

void TForm6::applyEnabling() {
    const bool useMove = m_checkBox1->isChecked();
    const bool autoFire = useMove && m_checkBox2->isChecked();
    m_cb1->setEnabled(useMove);
    m_checkBox2->setEnabled(useMove);
    m_auto->setEnabled(autoFire);
    m_man->setEnabled(autoFire);
    m_tb1->setEnabled(autoFire);
}

void TForm6::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

} // namespace vornik::ui
