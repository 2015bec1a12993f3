#include "PadSettingsDialog.h"

#include "Fonts.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vornik::ui {

namespace {
QSpinBox* spinBox(QWidget* parent, const char* name, int lo, int hi, int step, const QString& suffix) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(lo, hi);
    box->setSingleStep(step);
    box->setSuffix(suffix);
    return box;
}
} // namespace

PadSettingsDialog::PadSettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PadSettingsDialog"));
    setFont(programFont(12));
    using P = PadSettings;

    const auto stickModes = [this](const char* name) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        // In the order of StickMode.
        box->addItems({QCoreApplication::translate("Vornik", "按鍵（對應功能）"),
                       QCoreApplication::translate("Vornik", "滑鼠指標"),
                       QCoreApplication::translate("Vornik", "滑鼠滾輪")});
        return box;
    };
    m_leftStick = stickModes("leftStick");
    m_deadZone = spinBox(this, "deadZone", P::kMinDeadZone, P::kMaxDeadZone, 1, QStringLiteral(" %"));
    m_rightStick = stickModes("rightStick");
    m_rightDeadZone = spinBox(this, "rightDeadZone", P::kMinDeadZone, P::kMaxDeadZone, 1, QStringLiteral(" %"));
    m_triggerThreshold = spinBox(this, "triggerThreshold", P::kMinTriggerThreshold, P::kMaxTriggerThreshold, 1,
                                 QStringLiteral(" %"));
    m_pointerSpeed = spinBox(this, "pointerSpeed", P::kMinPointerSpeed, P::kMaxPointerSpeed, 100,
                             QCoreApplication::translate("Vornik", " 像素/秒"));
    m_curve = new QDoubleSpinBox(this);
    m_curve->setObjectName(QStringLiteral("pointerCurve"));
    m_curve->setRange(P::kMinCurve, P::kMaxCurve);
    m_curve->setDecimals(1);
    m_curve->setSingleStep(0.1);
    m_wheelSpeed = spinBox(this, "wheelSpeed", P::kMinWheelSpeed, P::kMaxWheelSpeed, 1,
                           QCoreApplication::translate("Vornik", " 格/秒"));

    auto* form = new QFormLayout;
    form->addRow(QCoreApplication::translate("Vornik", "左搖桿用作："), m_leftStick);
    form->addRow(QCoreApplication::translate("Vornik", "左搖桿不動區："), m_deadZone);
    form->addRow(QCoreApplication::translate("Vornik", "右搖桿用作："), m_rightStick);
    form->addRow(QCoreApplication::translate("Vornik", "右搖桿不動區："), m_rightDeadZone);
    form->addRow(QCoreApplication::translate("Vornik", "扳機按下點："), m_triggerThreshold);
    form->addRow(QCoreApplication::translate("Vornik", "指標速度："), m_pointerSpeed);
    form->addRow(QCoreApplication::translate("Vornik", "加速曲線："), m_curve);
    form->addRow(QCoreApplication::translate("Vornik", "滾輪速度："), m_wheelSpeed);
    const QString deadZone =
        QCoreApplication::translate("Vornik", "搖桿離中心多遠（半程的百分比）以內算在中間：不按方向鍵，也不移動指標；33 % 即向來的三等分");
    m_deadZone->setToolTip(deadZone);
    m_rightDeadZone->setToolTip(deadZone);
    m_triggerThreshold->setToolTip(
        QCoreApplication::translate("Vornik", "扳機按過行程的這個百分比就算按下，退到比它低 5 % 才放開"));
    m_curve->setToolTip(QCoreApplication::translate("Vornik", "1.0：速度與推動成正比；越大，輕推越慢"));

    // The activators' times.
    const QString ms = QCoreApplication::translate("Vornik", " 毫秒");
    m_holdMs = spinBox(this, "holdMs", P::kMinHoldMs, P::kMaxHoldMs, 10, ms);
    m_doubleMs = spinBox(this, "doubleMs", P::kMinDoubleMs, P::kMaxDoubleMs, 10, ms);
    m_chordMs = spinBox(this, "chordMs", P::kMinChordMs, P::kMaxChordMs, 5, ms);
    form->addRow(QCoreApplication::translate("Vornik", "長按時間："), m_holdMs);
    form->addRow(QCoreApplication::translate("Vornik", "連按兩下間隔："), m_doubleMs);
    form->addRow(QCoreApplication::translate("Vornik", "同時按下容許："), m_chordMs);
    m_holdMs->setToolTip(QCoreApplication::translate("Vornik", "按住超過這麼久算長按；短於它放開算輕按"));
    m_doubleMs->setToolTip(QCoreApplication::translate("Vornik", "放開後這麼久之內再按一下，算連按兩下"));
    m_chordMs->setToolTip(
        QCoreApplication::translate("Vornik", "兩個鍵相隔這麼久之內按下算同時按下；單獨按一個鍵最多晚這麼久才作用"));

    // The layers' names, two columns of four.
    auto* names = new QGroupBox(QCoreApplication::translate("Vornik", "層的名稱"), this);
    auto* grid = new QGridLayout(names);
    for (int layer = 1; layer <= kMaxLayers; ++layer) {
        auto* edit = new QLineEdit(names);
        edit->setObjectName(QStringLiteral("layerName%1").arg(layer));
        edit->setMaxLength(static_cast<int>(P::kMaxLayerNameChars));
        edit->setPlaceholderText(QCoreApplication::translate("Vornik", "第 %1 層").arg(layer));
        edit->setAccessibleName(QCoreApplication::translate("Vornik", "第 %1 層的名稱").arg(layer));
        auto* label = new QLabel(QString::number(layer), names);
        label->setBuddy(edit);
        const int row = (layer - 1) % 4, col = (layer - 1) / 4 * 2;
        grid->addWidget(label, row, col);
        grid->addWidget(edit, row, col + 1);
        m_layerNames[static_cast<std::size_t>(layer - 1)] = edit;
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(names);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PadSettingsDialog::load(int joystick, const PadSettings& pad, const JoystickCaps& caps) {
    setWindowTitle(QCoreApplication::translate("Vornik", "搖桿 %1 的滑鼠設定").arg(joystick));
    m_leftStick->setCurrentIndex(static_cast<int>(pad.leftStick));
    m_deadZone->setValue(pad.leftDeadZone);
    m_rightStick->setCurrentIndex(static_cast<int>(pad.rightStick));
    m_rightDeadZone->setValue(pad.rightDeadZone);
    m_triggerThreshold->setValue(pad.triggerThreshold);
    // Kept for the pad all the same, as its bindings are; only not to be set for what it lacks.
    m_rightStick->setEnabled(caps.has(PadHasRightStick));
    m_rightDeadZone->setEnabled(caps.has(PadHasRightStick));
    m_triggerThreshold->setEnabled(caps.has(PadHasLeftTrigger) || caps.has(PadHasRightTrigger));
    m_pointerSpeed->setValue(pad.pointerSpeed);
    m_curve->setValue(pad.pointerCurve);
    m_wheelSpeed->setValue(pad.wheelSpeed);
    m_holdMs->setValue(pad.holdMs);
    m_doubleMs->setValue(pad.doubleMs);
    m_chordMs->setValue(pad.chordMs);
    for (std::size_t i = 0; i < m_layerNames.size(); ++i)
        m_layerNames[i]->setText(QString::fromStdString(pad.layerNames[i]));
}

void PadSettingsDialog::save(PadSettings& pad) const {
    pad.leftStick = static_cast<StickMode>(std::clamp(m_leftStick->currentIndex(), 0, 2));
    pad.leftDeadZone = m_deadZone->value();
    pad.rightStick = static_cast<StickMode>(std::clamp(m_rightStick->currentIndex(), 0, 2));
    pad.rightDeadZone = m_rightDeadZone->value();
    pad.triggerThreshold = m_triggerThreshold->value();
    pad.pointerSpeed = m_pointerSpeed->value();
    // One decimal, as shown, so that the profile holds what the dialog showed.
    pad.pointerCurve = std::round(m_curve->value() * 10.0) / 10.0;
    pad.wheelSpeed = m_wheelSpeed->value();
    pad.holdMs = m_holdMs->value();
    pad.doubleMs = m_doubleMs->value();
    pad.chordMs = m_chordMs->value();
    for (std::size_t i = 0; i < m_layerNames.size(); ++i) {
        // A control character pasted in has no place in a name: it goes, the rest stays.
        QString text = m_layerNames[i]->text();
        text.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
        const std::string name = text.trimmed().toStdString();
        pad.layerNames[i] = layerNameFits(name) ? name : std::string();
    }
}

} // namespace vornik::ui
