#pragma once

// The ways out of the program: the window closed by the player (unsaved changes asked about), the
// program told to end (a signal, the session's end: no question can be asked, unsaved tables go to
// the recovery profile), and the session about to end (the setup kept, the program going on).

#include "Engine.h"
#include "ProfileKeeper.h"

#include <functional>

class QWidget;

namespace vornik::ui {

class ProgramExit {
public:
    // `quit` leaves the message loop for good.
    ProgramExit(QWidget& window, Engine& engine, ProfileKeeper& keeper, std::function<void()> quit)
        : m_window(window), m_engine(engine), m_keeper(keeper), m_quit(std::move(quit)) {}

    // The program is on its way out: no more questions.
    bool ending() const { return m_ending; }
    // Every held key released, then the recovery profile brought up to date; returns once the disk
    // has it.
    void keepSetupNow();
    // Releases every key the program holds down, closes the window and leaves the event loop.
    void endProgram();
    // The window is asked to close: held keys go first (the question may stay up a while), then
    // unsaved changes are asked about unless the program is ending. False when the window stays;
    // a binding still held presses again on the next tick.
    bool mayClose();

private:
    QWidget& m_window;
    Engine& m_engine;
    ProfileKeeper& m_keeper;
    std::function<void()> m_quit;
    bool m_ending = false;
};

} // namespace vornik::ui
