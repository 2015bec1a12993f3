#pragma once

// The file commands and the keeper of the setup, tied together: what the commands load or save
// becomes the keeper's current file, and the keeper loads through the commands. The open dialog
// `op1` and the save dialog `sa1` are built on first use (each costs about a quarter of a second).

#include "FileCommands.h"
#include "ProfileKeeper.h"

#include <functional>

namespace vornik::ui {

class ProfileFiles {
public:
    // `tablesReplaced`: a load replaced the tables; `fileChanged`: the profile in use is another one.
    ProfileFiles(QWidget* window, Configuration& config, const UserFolders& folders,
                 std::function<void()> tablesReplaced, std::function<void()> fileChanged);

    FileCommands& commands() { return m_commands; }
    ProfileKeeper& keeper() { return m_keeper; }
    QFileDialog* op1();
    QFileDialog* sa1();

private:
    QWidget* m_window;
    std::function<void()> m_fileChanged;
    QFileDialog* m_openDialog = nullptr;
    QFileDialog* m_saveDialog = nullptr;
    FileCommands m_commands;
    ProfileKeeper m_keeper;
};

} // namespace vornik::ui
