#pragma once

// The pointer settings of one pad (caption "搖桿 n 的滑鼠設定"): what its stick drives (its direction
// bindings, the pointer or the wheel), the stick's dead zone, the pointer's speed and curve, and the
// wheel's speed. Built when first opened; loads from and writes back to a PadSettings record.

#include "Tables.h"

#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QSpinBox>

namespace vornik::ui {

class PadSettingsDialog : public QDialog {
public:
    explicit PadSettingsDialog(QWidget* parent = nullptr);

    // Fills the controls from `pad`, with joystick `joystick`'s number in the caption.
    void load(int joystick, const PadSettings& pad);
    // Writes the controls into `pad`; what the dialog does not show (the right stick, the triggers)
    // stays as it is.
    void save(PadSettings& pad) const;

private:
    QComboBox* m_leftStick;
    QSpinBox* m_deadZone;
    QSpinBox* m_pointerSpeed;
    QDoubleSpinBox* m_curve;
    QSpinBox* m_wheelSpeed;
};

} // namespace vornik::ui
