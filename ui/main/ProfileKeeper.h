#pragma once

// Keeps the user's setup: knows whether the tables differ from the profile last loaded or saved,
// keeps a recovery profile of unsaved tables on the disk (written about two seconds after the last
// change, so that no way out of the program loses them: a crash, SIGKILL, a broken X connection, a
// log-off), asks before anything unsaved would be lost, reopens the last profile at start-up, keeps
// the list of recent profiles, and loads the profile made for the program that becomes the target.
//
// The recovery profile goes only when its tables are safe elsewhere: after a save, after a load that
// replaced the tables on purpose, or after an explicit "No" (at start-up, or to saving at a close).
//
// What lives where (Linux; Windows in brackets):
//   settings          $XDG_CONFIG_HOME/vornik/vornik.conf    [%APPDATA%\Vornik\vornik.conf]
//   recovery profile  $XDG_STATE_HOME/vornik/recovery@DISPLAY.vornik [%LOCALAPPDATA%\Vornik\recovery.vornik]
//   game profiles     $XDG_DATA_HOME/vornik/profiles/        [%APPDATA%\Vornik\profiles\]

#include "Configuration.h"
#include "RecoveryWriter.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>
#include <string>
#include <vector>

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
    // Each desktop session of the user its own, so that two at once never write over each other's.
    QString recoveryFile() const {
        return state + (session.isEmpty() ? QStringLiteral("/recovery.vornik") : QStringLiteral("/recovery@%1.vornik").arg(session));
    }
    // The one recovery profile of the versions before sessions had their own.
    QString sharedRecoveryFile() const { return state + QStringLiteral("/recovery.vornik"); }
    QString session = {}; // SingleInstance::sessionKey() of the running program; empty: none
};

class ProfileKeeper {
public:
    static constexpr int kRecentCount = 5;
    // From the last change of the tables to the recovery profile's write.
    static constexpr int kRecoveryDelayMs = 2000;

    // `tablesReplaced` rebuilds every list from the tables (and lets go of held keys).
    ProfileKeeper(QWidget* parent, Configuration& config, FileCommands& files, std::function<void()> tablesReplaced,
                  UserFolders folders = UserFolders::current());

    // An edit changed the tables: the recovery profile is written once no change has come for a while.
    void markChanged();
    bool changed() const { return m_changed; }
    // The profile file last loaded or saved; empty when there is none.
    QString currentFile() const { return m_currentFile; }
    // A profile was loaded from or saved to `path`: it is now the current, last and most recent one,
    // and the recovery profile goes (except during the start-up questions, which decide it themselves).
    void fileUsed(const QString& path);

    // Once the main window is shown: offers the recovery profile if one was left (and asks which one
    // to open when a profile is named on the command line too); otherwise loads `commandLineProfile`,
    // or else the last profile used (a missing or refused one is reported once). `ending` says that
    // the program was told to end meanwhile: nothing more is asked or deleted.
    void restoreAtStartup(const QString& commandLineProfile, const std::function<bool()>& ending = {});
    // Closing with unsaved changes asks whether to save them; false when the program must go on.
    // "No" discards them, the recovery profile with them.
    bool confirmClose();
    // Another start asked for `path` (or just for the window, when empty): unsaved changes are asked
    // about first. True when the profile was loaded.
    bool openRequested(const QString& path);
    // Every way out, after the keys are released: unsaved tables not yet on the disk are written now,
    // and the call returns once the disk has them.
    void writeRecoveryNow();
    // Whether the recovery profile holds the tables as they are (or nothing is unsaved).
    bool recoveryCurrent() const { return !m_changed || m_recoveryWritten; }
    RecoveryWriter& recoveryWriter() { return m_writer; }

    // The program `executable` became the target: the profile made for it is loaded, unless the
    // current one is made for it too. Unsaved changes are asked about first. `otherNames` are names the
    // program also goes by (a Wayland application id), tried after the executable's.
    void targetProgramChanged(const std::string& executable, const std::vector<std::string>& otherNames = {});
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
    void handRecoveryToWriter();
    void forgetRecovery();
    // A recovery profile declined at start-up is renamed apart before this session writes or removes
    // its own; the recovery profiles so kept, the latest first.
    void keepDeclinedRecovery();
    QStringList declinedRecoveries() const;
    // How the last recovery write ended: a failure is said once, until a write succeeds again.
    void recoveryWriteEnded(const ProfileResult& result);
    bool restoreRecovery(const QString& recovery);
    void openLastProfile();
    QString findProfileFor(const std::string& executable);
    // The profiles of `folder` by the programs they are made for, read again when the folder changed.
    struct FolderIndex {
        QDateTime modified;
        qint64 entries = -1;
        std::map<QString, QStringList> byProgram; // program key (sameProgramKey) -> profiles
    };
    const FolderIndex& indexOf(const QString& folder);

    QWidget* m_parent;
    Configuration& m_config;
    FileCommands& m_files;
    std::function<void()> m_tablesReplaced;
    UserFolders m_folders;
    QString m_currentFile;
    bool m_changed = false;
    bool m_recoveryWritten = false; // the recovery profile holds the unsaved tables as they are
    bool m_startingUp = false;
    bool m_recoveryDeclined = false; // the recovery profile on the disk was declined at start-up
    bool m_recoveryFailureSaid = false; // a failed recovery write has been said since the last good one
    QTimer m_recoveryTimer;
    RecoveryWriter m_writer;
    std::map<QString, FolderIndex> m_indexes;
};

// How two executable names compare as one program: without regard to case on Windows, where
// "Game.exe" and "game.exe" are one file, exactly elsewhere.
QString programKey(const std::string& executable);

} // namespace vornik::ui
