#pragma once

// The file commands "讀取舊檔" and "另存新檔": the open dialog `op1` and the save dialog `sa1`, the
// profile file they name, and the message box when a file is refused or cannot be written.

#include "Configuration.h"
#include "Profile.h"

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <functional>

namespace vornik::ui {

class FileCommands {
public:
    // The dialogs' file type, in the program's language.
    static QString filter();

    // Runs a prepared file dialog and returns the chosen path; empty when the user cancelled.
    using ChooseFile = std::function<QString(QFileDialog& dialog)>;

    struct Hooks {
        std::function<QFileDialog*()> openDialog;
        std::function<QFileDialog*()> saveDialog;
        // Called after a load replaced the tables: every list and grid is rebuilt from them.
        std::function<void()> tablesReplaced;
        // Called after a profile was loaded from or saved to the path given.
        std::function<void(const QString& path)> fileUsed;
    };

    FileCommands(QWidget* parent, Configuration& config, Hooks hooks);

    // Tests answer the dialogs here instead of running them.
    void setChooser(ChooseFile choose) { m_choose = std::move(choose); }

    // "讀取舊檔": a file chosen with op1 is loaded. True when the tables were replaced.
    bool openProfile();
    // "另存新檔": the tables are saved to a file chosen with sa1. True when the file was written.
    bool saveProfileAs();

    // Loads `path`; a refusal is shown and every table stays as it was.
    bool loadProfileFile(const QString& path);
    // Saves to `path` as given; a failure is shown and a file already there stays as it was.
    bool saveProfileFile(const QString& path);

private:
    void prepare(QFileDialog& dialog) const;

    QWidget* m_parent;
    Configuration& m_config;
    Hooks m_hooks;
    ChooseFile m_choose;
    QString m_lastFolder;
};

// The message box text for a profile that could not be loaded or saved, in the user's language.
QString profileMessage(const ProfileResult& result);

// The profile of the command line `vornik [/allproc] [PROFILE]` (`arguments` with the program's name
// first): the first argument that is not "/allproc" standing first, made absolute against the
// current directory (start-up changes it); empty when there is none.
QString profileArgument(const QStringList& arguments);

} // namespace vornik::ui
