#include "ProfileKeeper.h"

#include "FileCommands.h"
#include "Modal.h"
#include "Profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <memory>

namespace vornik::ui {

namespace {
const QString kLastProfile = QStringLiteral("profiles/last");
const QString kRecentProfiles = QStringLiteral("profiles/recent");

QString environmentFolder(const char* name, const QString& fallbackUnderHome) {
    const QString value = qEnvironmentVariable(name);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + QLatin1Char('/') + fallbackUnderHome);
}

bool makesFor(const Configuration& config, const std::string& executable) {
    return std::find(config.programs.begin(), config.programs.end(), executable) != config.programs.end();
}
} // namespace

UserFolders UserFolders::current() {
#ifdef Q_OS_WIN
    const QString roaming = environmentFolder("APPDATA", QStringLiteral("AppData/Roaming")) + QStringLiteral("/Vornik");
    const QString local = environmentFolder("LOCALAPPDATA", QStringLiteral("AppData/Local")) + QStringLiteral("/Vornik");
    return {roaming, local, roaming + QStringLiteral("/profiles")};
#else
    return {environmentFolder("XDG_CONFIG_HOME", QStringLiteral(".config")) + QStringLiteral("/vornik"),
            environmentFolder("XDG_STATE_HOME", QStringLiteral(".local/state")) + QStringLiteral("/vornik"),
            environmentFolder("XDG_DATA_HOME", QStringLiteral(".local/share")) + QStringLiteral("/vornik/profiles")};
#endif
}

ProfileKeeper::ProfileKeeper(QWidget* parent, Configuration& config, FileCommands& files,
                             std::function<void()> tablesReplaced, UserFolders folders)
    : m_parent(parent), m_config(config), m_files(files), m_tablesReplaced(std::move(tablesReplaced)),
      m_folders(std::move(folders)) {}

void ProfileKeeper::fileUsed(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_currentFile = absolute;
    m_changed = false;
    QSettings settings(m_folders.settingsFile(), QSettings::IniFormat);
    QStringList recent = settings.value(kRecentProfiles).toStringList();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    while (recent.size() > kRecentCount)
        recent.removeLast();
    settings.setValue(kRecentProfiles, recent);
    settings.setValue(kLastProfile, absolute);
}

QStringList ProfileKeeper::recentProfiles() const {
    QSettings settings(m_folders.settingsFile(), QSettings::IniFormat);
    QStringList recent;
    for (const QString& path : settings.value(kRecentProfiles).toStringList()) {
        if (QFileInfo::exists(path) && recent.size() < kRecentCount)
            recent << path;
    }
    return recent;
}

void ProfileKeeper::openRecent(const QString& path) {
    if (settleChanges())
        m_files.loadProfileFile(path);
}

void ProfileKeeper::restoreAtStartup(const QString& commandLineProfile) {
    const QString recovery = m_folders.recoveryFile();
    if (QFileInfo::exists(recovery)) {
        const auto answer = Modal::ask(m_parent,
                                       QCoreApplication::translate("Vornik", "上次結束時有尚未儲存的設定（%1）。\n要恢復這些設定嗎？")
                                           .arg(QDir::toNativeSeparators(recovery)),
                                       QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes) {
            const ProfileResult loaded = loadProfile(recovery.toStdString(), m_config);
            if (loaded) {
                m_tablesReplaced();
                QFile::remove(recovery);
                m_currentFile.clear();
                m_changed = true; // restored, but still in no file of the user's
                return;
            }
            // A damaged recovery profile is kept for the user to look at, and the start goes on.
            Modal::error(m_parent, QString::fromStdString(loaded.message));
        } else {
            QFile::remove(recovery);
        }
    }
    if (!commandLineProfile.isEmpty()) {
        m_files.loadProfileFile(commandLineProfile);
        return;
    }
    QSettings settings(m_folders.settingsFile(), QSettings::IniFormat);
    const QString last = settings.value(kLastProfile).toString();
    if (last.isEmpty())
        return;
    if (!QFileInfo::exists(last)) {
        Modal::error(m_parent, QCoreApplication::translate("Vornik", "找不到上次使用的設定檔 \"%1\"，以空白的設定開始。")
                                   .arg(QDir::toNativeSeparators(last)));
        settings.remove(kLastProfile);
        return;
    }
    // A refusal is shown by the load, naming the file; it is not tried again next time.
    if (!m_files.loadProfileFile(last))
        settings.remove(kLastProfile);
}

bool ProfileKeeper::saveCurrent() {
    if (m_currentFile.isEmpty())
        return m_files.saveProfileAs();
    return m_files.saveProfileFile(m_currentFile);
}

bool ProfileKeeper::settleChanges() {
    if (!m_changed)
        return true;
    const auto answer = Modal::ask(m_parent, QCoreApplication::translate("Vornik", "按鍵設定或招式已經變更，要儲存嗎？"),
                                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return saveCurrent();
    return answer == QMessageBox::No;
}

bool ProfileKeeper::confirmClose() {
    return settleChanges();
}

void ProfileKeeper::writeRecovery() {
    if (!m_changed)
        return;
    QDir().mkpath(m_folders.state);
    // Nothing can be shown any more; a failure leaves what was there before.
    (void)saveProfile(m_folders.recoveryFile().toStdString(), m_config);
}

QString ProfileKeeper::findProfileFor(const std::string& executable) const {
    QStringList folders{m_folders.profiles};
    if (!m_currentFile.isEmpty())
        folders << QFileInfo(m_currentFile).absolutePath();
    auto scratch = std::make_unique<Configuration>();
    for (const QString& folder : folders) {
        const QFileInfoList files =
            QDir(folder).entryInfoList({QStringLiteral("*.vornik")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo& file : files) {
            if (file.absoluteFilePath() == m_currentFile)
                continue;
            if (loadProfile(file.absoluteFilePath().toStdString(), *scratch) && makesFor(*scratch, executable))
                return file.absoluteFilePath();
        }
    }
    return {};
}

void ProfileKeeper::targetProgramChanged(const std::string& executable) {
    if (executable.empty() || makesFor(m_config, executable))
        return;
    const QString profile = findProfileFor(executable);
    if (profile.isEmpty() || !settleChanges())
        return;
    m_files.loadProfileFile(profile);
}

void ProfileKeeper::bindProgram(const std::string& executable) {
    if (executable.empty()) {
        Modal::error(m_parent, QCoreApplication::translate("Vornik", "請先選擇目標程式（工具列的清單，或 CTRL+J），再設定此遊戲。"));
        return;
    }
    const bool added = !makesFor(m_config, executable);
    if (added)
        m_config.programs.push_back(executable);
    if (!saveCurrent() && added)
        m_config.programs.pop_back();
}

} // namespace vornik::ui
