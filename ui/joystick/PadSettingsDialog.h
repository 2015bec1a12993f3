#pragma once

// The settings of one pad (caption "搖桿 n 的滑鼠設定"): what each stick drives (its direction
// bindings, the pointer or the wheel) and its dead zone, where the triggers press, the pointer's
// speed and curve, the wheel's speed, the activators' times and the layers' names. Built when first opened; loads from and writes back to a
// PadSettings record.

#include "Tables.h"

#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>

#include <array>

namespace vornik::ui {

class PadSettingsDialog : public QDialog {
public:
    explicit PadSettingsDialog(QWidget* parent = nullptr);

    // Fills the controls from `pad`, with joystick `joystick`'s number in the caption. The right
    // stick's and the triggers' controls are enabled only when `caps` says the pad has them.
    void load(int joystick, const PadSettings& pad, const JoystickCaps& caps);
    void load(int joystick, const PadSettings& pad) {
        JoystickCaps all;
        all.inputs = PadHasRightStick | PadHasLeftTrigger | PadHasRightTrigger;
        load(joystick, pad, all);
    }
    // Writes the controls into `pad`.
    void save(PadSettings& pad) const;

private:
    QComboBox* m_leftStick;
    QSpinBox* m_deadZone;
    QComboBox* m_rightStick;
    QSpinBox* m_rightDeadZone;
    QSpinBox* m_triggerThreshold;
    QSpinBox* m_pointerSpeed;
    QDoubleSpinBox* m_curve;
    QSpinBox* m_wheelSpeed;
    QSpinBox* m_holdMs;
    QSpinBox* m_doubleMs;
    QSpinBox* m_chordMs;
    std::array<QLineEdit*, kMaxLayers> m_layerNames{};
};

} // namespace vornik::ui
