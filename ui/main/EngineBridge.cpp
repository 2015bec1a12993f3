#include "EngineBridge.h"

#include "DrawGrid.h"
#include "JoystickGrid.h"
#include "JoystickPage.h"
#include "KeyboardPage.h"
#include "MainWindow.h"
#include "Modal.h"
#include "ProfileKeeper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QSignalBlocker>
#include <QTimer>

namespace vornik::ui {

EngineBridge::EngineBridge(TVornik& window, WindowSystem& windows) : m_window(window), m_windows(windows) {}

bool EngineBridge::mainWindowVisible() {
    return m_window.isVisible() || m_window.inBackground();
}

bool EngineBridge::testBoxTicked(int joystick) {
    const JoystickPage& page = m_window.joystickPage(joystick);
    return page.TestCheckBox != nullptr && page.TestCheckBox->isChecked();
}

bool EngineBridge::stopBoxTicked(int joystick) {
    const JoystickPage& page = m_window.joystickPage(joystick);
    return page.StopCheckBox != nullptr && page.StopCheckBox->isChecked();
}

bool EngineBridge::keyboardStopBoxTicked() {
    return m_window.keyboardPage()->CheckBox5()->isChecked();
}

namespace {
// The entry a straight direction's picture stands for (pictures 1..4: up, down, left, right, as the
// entries from `up` on); 0 for the centre and the diagonals.
int directionEntry(int picture, int up) {
    return picture >= 1 && picture <= 4 ? up + picture - 1 : 0;
}
} // namespace

void EngineBridge::selectShownRow(int joystick, int entry) {
    JoystickPage& page = m_window.joystickPage(joystick);
    QWidget* shown = m_window.PageControl1()->currentWidget();
    if (entry == 0 || page.BindingGrid == nullptr || shown == nullptr || !shown->isAncestorOf(page.BindingGrid))
        return;
    const Configuration& config = m_window.config();
    for (int row = 1; row < page.BindingGrid->rowCount(); ++row) {
        if (joystickEntryOfRow(row, config.caps(joystick), &config.joystickBindings[joystick]) == entry) {
            page.BindingGrid->selectRow(row);
            return;
        }
    }
}

void EngineBridge::showDirectionPicture(int joystick, int picture) {
    ui::showDirectionPicture(m_window.joystickPage(joystick), m_window.pictures(), picture);
    selectShownRow(joystick, directionEntry(picture, kEntryUp));
}

void EngineBridge::showButtonPicture(int joystick, int button, bool pressed) {
    ui::showButtonPicture(m_window.joystickPage(joystick), m_window.pictures(), button, pressed);
    if (pressed)
        selectShownRow(joystick, buttonEntry(button));
}

void EngineBridge::showRightStickPicture(int joystick, int picture) {
    ui::showRightStickPicture(m_window.joystickPage(joystick), m_window.pictures(), picture);
    selectShownRow(joystick, directionEntry(picture, kEntryRightUp));
}

void EngineBridge::showTriggerPicture(int joystick, int trigger, bool pressed) {
    ui::showTriggerPressed(m_window.joystickPage(joystick), trigger, pressed);
    if (pressed)
        selectShownRow(joystick, trigger == 1 ? kEntryLeftTrigger : kEntryRightTrigger);
}

void EngineBridge::joystickAttached(int joystick) {
    // Before "鍵盤"; inserting a page leaves the current page current.
    m_window.addJoystickPage(joystick, m_window.PageControl1()->indexOf(m_window.keyboardPage()));
    const Configuration& config = m_window.config();
    SetupJoystickGrid(m_window.joystickPage(joystick).BindingGrid, config.caps(joystick), config.present(joystick),
                      &config.joystickBindings[joystick]);
}

void EngineBridge::clearTargetItems() {
    m_window.cb1()->clear();
}

void EngineBridge::addTargetItem(const std::string& title) {
    // Adding to an empty list would select the first item; a refreshed list shows no selection.
    QComboBox* targets = m_window.cb1();
    const QSignalBlocker quiet(targets);
    const int selected = targets->currentIndex();
    targets->addItem(QString::fromStdString(title));
    targets->setCurrentIndex(selected);
}

void EngineBridge::selectTargetItem(int index) {
    QComboBox* targets = m_window.cb1();
    const QSignalBlocker quiet(targets);
    targets->setCurrentIndex(index);
}

void EngineBridge::targetChosen(uint32_t processId) {
    // CTRL+J held down chooses the same target on every tick: only a change counts.
    if (processId == m_lastTarget)
        return;
    m_lastTarget = processId;
    // After the tick or the combo's handler has returned: a load may ask about unsaved changes.
    // Not under a dialog that edits the tables, either (Modal::whenNoDialog).
    QTimer::singleShot(0, &m_window, [this, processId] {
        Modal::whenNoDialog(&m_window, [this, processId] {
            if (!m_window.ending())
                m_window.profileKeeper().targetProgramChanged(m_windows.processExecutableName(processId),
                                                              m_windows.processProgramNames(processId));
        });
    });
}

void EngineBridge::targetStateChanged(const TargetState& state) {
    m_window.showTargetState(state);
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
    QTimer::singleShot(0, &m_window, [this, text, error] {
        if (m_window.ending())
            return;
        if (error)
            Modal::error(&m_window, text);
        else
            Modal::notice(&m_window, text);
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
    return Modal::ask(&m_window, shown, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok ? Answer::Ok
                                                                                                  : Answer::Cancel;
}

void EngineBridge::endProgram() {
    m_window.endProgram();
}

} // namespace vornik::ui
