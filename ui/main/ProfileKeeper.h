#pragma once

// Keeps the user's setup: knows whether the tables differ from the profile last loaded or saved,
// asks before anything unsaved would be lost, writes a recovery profile when the program is ended
// without a chance to ask, reopens the last profile at start-up, keeps the list of recent profiles,
// and loads the profile made for the program that becomes the target.
//
// What lives where (Linux; Windows in brackets):
//   settings          $XDG_CONFIG_HOME/vornik/vornik.conf    [%APPDATA%\Vornik\vornik.conf]
//   recovery profile  $XDG_STATE_HOME/vornik/recovery.vornik [%LOCALAPPDATA%\Vornik\recovery.vornik]
//   game profiles     $XDG_DATA_HOME/vornik/profiles/        [%APPDATA%\Vornik\profiles\]

#include "Configuration.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class QWidget;

namespace vornik::ui {

class FileCommands;

struct UserFolders {
    QString config;   // the settings file's folder
    QString state;    // the recovery profile's folder
    QString profiles; // where profiles made for a program are looked for

    // The folders of the user running the program, from the environment at the time of the call.
    static UserFolders current();
    QString settingsFile() const { return config + QStringLiteral("/vornik.conf"); }
    QString recoveryFile() const { return state + QStringLiteral("/recovery.vornik"); }
};

class ProfileKeeper {
public:
    static constexpr int kRecentCount = 5;

    // `tablesReplaced` rebuilds every list from the tables (and lets go of held keys).
    ProfileKeeper(QWidget* parent, Configuration& config, FileCommands& files, std::function<void()> tablesReplaced,
                  UserFolders folders = UserFolders::current());

    // An edit changed the tables.
    void markChanged() { m_changed = true; }
    bool changed() const { return m_changed; }
    // The profile file last loaded or saved; empty when there is none.
    QString currentFile() const { return m_currentFile; }
    // A profile was loaded from or saved to `path`: it is now the current, last and most recent one.
    void fileUsed(const QString& path);

    // After the start-up sequence: offers the recovery profile if one was left; otherwise loads
    // `commandLineProfile`, or else the last profile used (a missing or refused one is reported once).
    void restoreAtStartup(const QString& commandLineProfile);
    // Closing with unsaved changes asks whether to save them; false when the program must go on.
    bool confirmClose();
    // Ending without a chance to ask (a signal): unsaved tables go to the recovery profile.
    void writeRecovery();

    // The program `executable` became the target: the first profile made for it is loaded, unless the
    // current one is made for it too. Unsaved changes are asked about first.
    void targetProgramChanged(const std::string& executable);
    // "設定此遊戲": the current profile is made for `executable` too, and saved.
    void bindProgram(const std::string& executable);

    // Recent profiles that still exist, most recent first.
    QStringList recentProfiles() const;
    void openRecent(const QString& path);

    const UserFolders& folders() const { return m_folders; }

private:
    // Unsaved changes: true when they were saved or may be dropped, false when the user cancelled.
    bool settleChanges();
    bool saveCurrent();
    QString findProfileFor(const std::string& executable) const;

    QWidget* m_parent;
    Configuration& m_config;
    FileCommands& m_files;
    std::function<void()> m_tablesReplaced;
    UserFolders m_folders;
    QString m_currentFile;
    bool m_changed = false;
};

} // namespace vornik::ui
