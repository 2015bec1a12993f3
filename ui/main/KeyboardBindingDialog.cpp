#include "KeyboardBindingDialog.h"

#include "FixedItemHeight.h"
#include "Fonts.h"
#include "Language.h"
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

    m_useMove = named(new QCheckBox(QCoreApplication::translate("Vornik", "使用招式對應"), this), "CheckBox1", {16, 12, 200, 20});
    QFont bold = font();
    bold.setBold(true);
    m_useMove->setFont(bold);
    m_moveLabel = named(new QLabel(QCoreApplication::translate("Vornik", "對應的招式記錄："), this), "Label1", {32, 42, 110, 16});
    m_moveList = named(new QComboBox(this), "cb1", {144, 38, 320, 22});
    setFixedItemHeight(m_moveList, 16);
    m_moveList->setMaxVisibleItems(16);
    m_autoFire = named(new QCheckBox(QCoreApplication::translate("Vornik", "連續發射"), this), "CheckBox2", {16, 72, 100, 20});
    m_automatic = named(new QRadioButton(QCoreApplication::translate("Vornik", "連續發射"), this), "auto", {144, 72, 100, 20});
    m_whileHeld = named(new QRadioButton(QCoreApplication::translate("Vornik", "按下發射"), this), "man", {256, 72, 100, 20});
    m_automatic->setChecked(true);
    m_fastest = named(new QLabel(QCoreApplication::translate("Vornik", "最快"), this), "Label2", {104, 108, 36, 16});
    m_fastest->setStyleSheet(QStringLiteral("color: red"));
    m_autoFireDelay = named(new QSlider(Qt::Horizontal, this), "tb1", {144, 100, 280, 30});
    m_autoFireDelay->setRange(0, 10);
    m_autoFireDelay->setSingleStep(1);
    m_autoFireDelay->setPageStep(1);
    m_autoFireDelay->setTickInterval(1);
    m_autoFireDelay->setTickPosition(QSlider::TicksBelow);
    m_slowest = named(new QLabel(QCoreApplication::translate("Vornik", "最慢"), this), "Label3", {432, 108, 36, 16});
    m_slowest->setStyleSheet(QStringLiteral("color: blue"));
    m_ok = named(new QPushButton(standardButtonText(QDialogButtonBox::Ok), this), "BitBtn2", {296, 138, 82, 27});
    m_cancel = named(new QPushButton(standardButtonText(QDialogButtonBox::Cancel), this), "BitBtn1", {388, 138, 82, 27});
    m_ok->setDefault(true);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_useMove, &QCheckBox::toggled, this, &TForm6::applyEnabling);
    connect(m_autoFire, &QCheckBox::toggled, this, &TForm6::applyEnabling);
    m_moveList->setEnabled(false);
    m_autoFire->setEnabled(false);
    applyEnabling();
}

void TForm6::load(const KeyBinding& binding, const MoveTable& moves) {
    m_moveList->clear();
    for (int slot = 1; slot <= kMoveSlots; ++slot)
        m_moveList->addItem(moveName(moves[slot]));
    const bool inRange = binding.MoveNumber >= 1 && binding.MoveNumber <= kMoveSlots;
    m_moveList->setCurrentIndex(inRange ? binding.MoveNumber - 1 : -1);
    m_useMove->setChecked(binding.MoveNumber != 0);
    m_autoFire->setChecked(binding.AutoFireMode != 0);
    m_autoFireDelay->setValue(binding.AutoFireDelay);
    applyEnabling();
}

KeyBinding TForm6::save(const KeyBinding& previous) const {
    KeyBinding b = previous;
    b.MoveNumber = m_useMove->isChecked() ? m_moveList->currentIndex() + 1 : 0;
    if (m_autoFire->isChecked()) {
        b.AutoFireDelay = m_autoFireDelay->value();
        b.AutoFireMode = m_automatic->isChecked() ? AutoFireAutomatic : AutoFireWhileHeld;
    } else {
        b.AutoFireMode = AutoFireNone;
    }
    return b;
}

void TForm6::applyEnabling() {
    const bool useMove = m_useMove->isChecked();
    const bool autoFire = useMove && m_autoFire->isChecked();
    m_moveList->setEnabled(useMove);
    m_autoFire->setEnabled(useMove);
    m_automatic->setEnabled(autoFire);
    m_whileHeld->setEnabled(autoFire);
    m_autoFireDelay->setEnabled(autoFire);
}

void TForm6::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

} // namespace vornik::ui
