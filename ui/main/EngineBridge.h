#pragma once

// The engine's view of the main window: answers what the engine asks of it (EngineHost) from the
// window's controls, and carries out what the engine tells it, on the main thread.

#include "EngineHost.h"
#include "Platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QString>

#include <cstdint>
#include <string>

namespace vornik::ui {

class BackgroundMode;
class JoystickPages;
class ProfileKeeper;
class ProgramExit;
class TargetStateSign;

class EngineBridge : public EngineHost {
public:
    // What the bridge works on, once the window has built it.
    struct Parts {
        QWidget* window = nullptr; // the main window: the parent of every box the bridge shows
        BackgroundMode* background = nullptr;
        JoystickPages* joysticks = nullptr;
        QWidget* keyboardPage = nullptr; // joystick pages plugged in later go before it
        QCheckBox* keyboardStop = nullptr; // the keyboard page's "停止作用"
        QComboBox* targets = nullptr;      // `cb1`
        TargetStateSign* sign = nullptr;
        ProfileKeeper* keeper = nullptr;
        ProgramExit* exit = nullptr;
    };

    // `windows` names the executable of a process chosen as the target.
    explicit EngineBridge(WindowSystem& windows) : m_windows(windows) {}
    // Before the first tick.
    void attach(const Parts& parts) { m_parts = parts; }

    bool mainWindowVisible() override;
    bool testBoxTicked(int joystick) override;
    bool stopBoxTicked(int joystick) override;
    bool keyboardStopBoxTicked() override;
    void showDirectionPicture(int joystick, int picture) override;
    void showButtonPicture(int joystick, int button, bool pressed) override;
    void showRightStickPicture(int joystick, int picture) override;
    void showTriggerPicture(int joystick, int trigger, bool pressed) override;
    // Inserts the new joystick's page after the last joystick page, built as at start-up.
    void joystickAttached(int joystick) override;
    void clearTargetItems() override;
    void addTargetItem(const std::string& title) override;
    void selectTargetItem(int index) override;
    // A new target loads the profile made for its program, once the tick has returned.
    void targetChosen(uint32_t processId) override;
    // Shown in the window and the tray icon's tooltip.
    void targetStateChanged(const TargetState& state) override;
    void activeLayerChanged(int joystick, int layer) override;
    // Says so in a message naming the target's program and the remedy, once the tick has returned.
    void targetOutOfReach(uint32_t processId) override;
    void targetWithoutOwner(const std::string& title) override;
    Answer askConnectionError(const std::string& text) override;
    // The window's exit path: keys released, windows closed, event loop left.
    void endProgram() override;

private:
    // Shows `text` in a box (the program's error box, or a word where nothing is wrong) once the
    // event loop turns.
    void sayLater(const QString& text, bool error);

    WindowSystem& m_windows;
    Parts m_parts;
    uint32_t m_lastTarget = 0; // the process last chosen as the target
};

} // namespace vornik::ui
