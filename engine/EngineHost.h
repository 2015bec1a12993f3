#pragma once

#include <cstdint>
#include <string>

namespace vornik {

struct TargetState;

// What the engine asks of the main window. The program implements it beside its main window
// (ui/main/EngineBridge); tests use a plain struct. Every call is made on the main thread from
// inside a tick or a target-list refresh.
class EngineHost {
public:
    enum class Answer { Ok, Cancel };

    virtual ~EngineHost() = default;
    // The main window's own visibility property (stays true while hidden to the tray).
    virtual bool mainWindowVisible() = 0;
    // The "啟動測試" and "停止作用" boxes of joystick page 1..32.
    virtual bool testBoxTicked(int joystick) = 0;
    virtual bool stopBoxTicked(int joystick) = 0;
    // The keyboard page's "停止作用" box.
    virtual bool keyboardStopBoxTicked() = 0;
    // Live view: direction picture 0..8 (mimg0..mimg8), button 1..32 released or pressed.
    virtual void showDirectionPicture(int joystick, int picture) = 0;
    virtual void showButtonPicture(int joystick, int button, bool pressed) = 0;
    // The right stick's picture 0..8, as the direction picture; trigger 1 (left) or 2 (right)
    // pressed or released. Only for pads that have them.
    virtual void showRightStickPicture(int joystick, int picture) { (void)joystick, (void)picture; }
    virtual void showTriggerPicture(int joystick, int trigger, bool pressed) {
        (void)joystick, (void)trigger, (void)pressed;
    }
    // A joystick found after start-up got number `joystick`, the one after the last joystick page;
    // its capabilities and name are in the configuration. Its page is to be built now.
    virtual void joystickAttached(int joystick) = 0;
    // The layer that answers joystick j's inputs is now `layer` (1 when its bindings have no layers).
    virtual void activeLayerChanged(int joystick, int layer) { (void)joystick, (void)layer; }
    // The toolbar's target combo: emptied, filled item by item, and an item selected without
    // running the combo's change handler.
    virtual void clearTargetItems() = 0;
    virtual void addTargetItem(const std::string& title) = 0;
    virtual void selectTargetItem(int index) = 0;
    // The target program changed to the process `processId` (a choice in the combo or the hot key).
    virtual void targetChosen(uint32_t processId) { (void)processId; }
    // Where the keys go changed (TargetStatus): told by the tick that found the change.
    virtual void targetStateChanged(const TargetState& state) { (void)state; }
    // The target just chosen, process `processId`, is out of reach (WindowSystem::processOutOfReach):
    // none of the program's keys will get to it. Told once per process.
    virtual void targetOutOfReach(uint32_t processId) { (void)processId; }
    // The window just chosen as the target (titled `title`) does not tell which process owns it: it
    // can never count as in front, so no key will go to it. Told once per window.
    virtual void targetWithoutOwner(const std::string& title) { (void)title; }
    // The modal connection-error question (caption "Message", OK and Cancel).
    virtual Answer askConnectionError(const std::string& text) = 0;
    // Ends the program through its normal exit path (keys released first).
    virtual void endProgram() = 0;
};

} // namespace vornik
