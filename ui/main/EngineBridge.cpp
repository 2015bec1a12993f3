#include "EngineBridge.h"

#include "BackgroundMode.h"
#include "JoystickPages.h"
#include "Modal.h"
#include "ProfileKeeper.h"
#include "ProgramExit.h"
#include "TargetStateSign.h"

#include <QCoreApplication>
#include <QSignalBlocker>
#include <QTimer>

namespace vornik::ui {

bool EngineBridge::mainWindowVisible() {
    return m_parts.window->isVisible() || m_parts.background->active();
}

bool EngineBridge::testBoxTicked(int joystick) {
    const JoystickPage& page = m_parts.joysticks->page(joystick);
    return page.TestCheckBox != nullptr && page.TestCheckBox->isChecked();
}

bool EngineBridge::stopBoxTicked(int joystick) {
    const JoystickPage& page = m_parts.joysticks->page(joystick);
    return page.StopCheckBox != nullptr && page.StopCheckBox->isChecked();
}

bool EngineBridge::keyboardStopBoxTicked() {
    return m_parts.keyboardStop->isChecked();
}

void EngineBridge::showDirectionPicture(int joystick, int picture) {
    m_parts.joysticks->showDirection(joystick, picture);
}

void EngineBridge::showButtonPicture(int joystick, int button, bool pressed) {
    m_parts.joysticks->showButton(joystick, button, pressed);
}

void EngineBridge::showRightStickPicture(int joystick, int picture) {
    m_parts.joysticks->showRightStick(joystick, picture);
}

void EngineBridge::showTriggerPicture(int joystick, int trigger, bool pressed) {
    m_parts.joysticks->showTrigger(joystick, trigger, pressed);
}

void EngineBridge::joystickAttached(int joystick) {
    // Before "鍵盤".
    m_parts.joysticks->attach(joystick, m_parts.keyboardPage);
}

void EngineBridge::clearTargetItems() {
    m_parts.targets->clear();
}

void EngineBridge::addTargetItem(const std::string& title) {
    // Adding to an empty list would select the first item; a refreshed list shows no selection.
    QComboBox* targets = m_parts.targets;
    const QSignalBlocker quiet(targets);
    const int selected = targets->currentIndex();
    targets->addItem(QString::fromStdString(title));
    targets->setCurrentIndex(selected);
}

void EngineBridge::selectTargetItem(int index) {
    const QSignalBlocker quiet(m_parts.targets);
    m_parts.targets->setCurrentIndex(index);
}

void EngineBridge::targetChosen(uint32_t processId) {
    // CTRL+J held down chooses the same target on every tick: only a change counts.
    if (processId == m_lastTarget)
        return;
    m_lastTarget = processId;
    // After the tick or the combo's handler has returned: a load may ask about unsaved changes.
    // Not under a dialog that edits the tables, either (Modal::whenNoDialog).
    QTimer::singleShot(0, m_parts.window, [this, processId] {
        Modal::whenNoDialog(m_parts.window, [this, processId] {
            if (!m_parts.exit->ending())
                m_parts.keeper->targetProgramChanged(m_windows.processExecutableName(processId),
                                                     m_windows.processProgramNames(processId));
        });
    });
}

void EngineBridge::targetStateChanged(const TargetState& state) {
    m_parts.sign->show(state);
}

void EngineBridge::activeLayerChanged(int joystick, int layer) {
    const QString name = m_parts.joysticks->showActiveLayer(joystick, layer);
    m_parts.sign->activeLayerChanged(joystick, name, layer == 1);
}

void EngineBridge::targetOutOfReach(uint32_t processId) {
    QString program = QString::fromStdString(m_windows.processExecutableName(processId));
    if (program.isEmpty())
        program = QCoreApplication::translate("Vornik", "程序 %1").arg(processId);
    const QString text =
        QCoreApplication::translate("Vornik", "目標程式「%1」以系統管理員身分執行，Windows 不讓 Vornik "
                                              "送出的按鍵傳給它。\n請也以系統管理員身分執行 Vornik。")
            .arg(program);
    sayLater(text, true);
}

void EngineBridge::sayLater(const QString& text, bool error) {
    // After the tick or the combo's handler has returned, as a load for the new target does.
    QTimer::singleShot(0, m_parts.window, [this, text, error] {
        if (m_parts.exit->ending())
            return;
        if (error)
            Modal::error(m_parts.window, text);
        else
            Modal::inform(m_parts.window, text);
    });
}

void EngineBridge::targetWithoutOwner(const std::string& title) {
    const QString text =
        QCoreApplication::translate("Vornik", "視窗「%1」沒有說明它屬於哪個程式：Vornik 無法判斷它何時在最前面，"
                                              "不會送按鍵給它。")
            .arg(QString::fromStdString(title));
    sayLater(text, false);
}

EngineHost::Answer EngineBridge::askConnectionError(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return Modal::ask(m_parts.window, shown, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok
               ? Answer::Ok
               : Answer::Cancel;
}

void EngineBridge::endProgram() {
    m_parts.exit->endProgram();
}

} // namespace vornik::ui
