#include "WindowsKeysDialog.h"

#include "Fonts.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace vornik::ui {

WindowsKeysDialog::WindowsKeysDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WindowsKeysDialog"));
    setWindowTitle(QCoreApplication::translate("Vornik", "Windows 按鍵設定"));
    setFont(programFont(12));

    m_scanCodesOnly = new QCheckBox(QCoreApplication::translate("Vornik", "只送掃描碼"), this);
    m_scanCodesOnly->setObjectName(QStringLiteral("scanCodesOnly"));
    m_scanCodesOnly->setToolTip(QCoreApplication::translate("Vornik", "給只讀鍵盤硬體碼、不理會虛擬鍵碼的遊戲"));
    m_minimumPress = new QSpinBox(this);
    m_minimumPress->setObjectName(QStringLiteral("minimumPressMs"));
    m_minimumPress->setRange(0, WindowsKeys::kMaxMinimumPressMs);
    m_minimumPress->setSingleStep(5);
    m_minimumPress->setSuffix(QCoreApplication::translate("Vornik", " 毫秒"));
    m_minimumPress->setToolTip(
        QCoreApplication::translate("Vornik", "招式的每個按鍵至少按住這麼久，給會漏掉太短按鍵的遊戲；0：照招式的速度"));
    m_keptOnly =
        new QLabel(QCoreApplication::translate("Vornik", "這些設定只在 Windows 上作用；在這裡只隨設定檔保存。"), this);
    m_keptOnly->setObjectName(QStringLiteral("keptOnly"));
    m_keptOnly->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(m_scanCodesOnly);
    form->addRow(QCoreApplication::translate("Vornik", "招式按鍵最短按住："), m_minimumPress);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_keptOnly);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void WindowsKeysDialog::load(const WindowsKeys& keys, bool inEffect) {
    m_scanCodesOnly->setChecked(keys.scanCodesOnly);
    m_minimumPress->setValue(keys.minimumPressMs);
    m_keptOnly->setVisible(!inEffect);
}

void WindowsKeysDialog::save(WindowsKeys& keys) const {
    keys.scanCodesOnly = m_scanCodesOnly->isChecked();
    keys.minimumPressMs = m_minimumPress->value();
}

} // namespace vornik::ui
