#include "ProgramExit.h"

#include <QWidget>

namespace vornik::ui {

void ProgramExit::keepSetupNow() {
    // The keys first: a held chord would repeat into the window in front for as long as the disk takes.
    m_engine.releaseHeldKeys();
    m_keeper.writeRecoveryNow();
}

void ProgramExit::endProgram() {
    m_ending = true;
    m_engine.requestStop();
    keepSetupNow();
    m_window.close();
    // Leaves every event loop, a modal dialog's included.
    m_quit();
}

bool ProgramExit::mayClose() {
    m_engine.releaseHeldKeys();
    if (!m_ending && !m_keeper.confirmClose())
        return false;
    m_ending = true;
    return true;
}

} // namespace vornik::ui
