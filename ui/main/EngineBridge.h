#pragma once

// The engine's view of the main window (TVornik): answers what the engine asks of it (EngineHost)
// from the window's controls, and carries out what the engine tells it, on the main thread.

#include "EngineHost.h"
#include "Platform.h"

#include <QString>

#include <cstdint>
#include <string>

namespace vornik::ui {

class TVornik;

class EngineBridge : public EngineHost {
public:
    // `windows` names the executable of a process chosen as the target.
    EngineBridge(TVornik& window, WindowSystem& windows);

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
    // Says so in a message naming the target's program and the remedy, once the tick has returned.
    void targetOutOfReach(uint32_t processId) override;
    void targetWithoutOwner(const std::string& title) override;
    Answer askConnectionError(const std::string& text) override;
    // The window's exit path: keys released, windows closed, event loop left.
    void endProgram() override;

private:
    // While joystick t's page is the one shown, selects the grid row of `entry` (0: none): a player
    // finds an input's row by pressing it.
    void selectShownRow(int joystick, int entry);
    // Shows `text` in a box (the program's error box, or a notice) once the event loop turns.
    void sayLater(const QString& text, bool error);

    TVornik& m_window;
    WindowSystem& m_windows;
    uint32_t m_lastTarget = 0; // the process last chosen as the target
};

} // namespace vornik::ui
