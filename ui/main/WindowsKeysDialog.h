#pragma once

// How keys go out on Windows (caption "Windows 按鍵設定"), kept with the profile: keys by their scan
// code alone, and the shortest time a move's key stays down. Built when first opened; loads from and
// writes back to a WindowsKeys record.

#include "Tables.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QSpinBox>

namespace vornik::ui {

class WindowsKeysDialog : public QDialog {
public:
    explicit WindowsKeysDialog(QWidget* parent = nullptr);

    // Fills the controls from `keys`; `inEffect` says whether this system sends keys the Windows way
    // (otherwise a line says the settings are only kept with the profile).
    void load(const WindowsKeys& keys, bool inEffect);
    void save(WindowsKeys& keys) const;

private:
    QCheckBox* m_scanCodesOnly;
    QSpinBox* m_minimumPress;
    QLabel* m_keptOnly;
};

} // namespace vornik::ui
