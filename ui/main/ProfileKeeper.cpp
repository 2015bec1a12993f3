#include "ProfileKeeper.h"

#include "FileCommands.h"
#include "Modal.h"
#include "Profile.h"
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <memory>
#include <utility>

namespace vornik::ui {

namespace {
const QString kLastProfile = QStringLiteral("profiles/last");
const QString kRecentProfiles = QStringLiteral("profiles/recent");
// When each profile was last loaded or saved (absolute path -> ms since the epoch).
const QString kLastUsed = QStringLiteral("profiles/lastUsed");
// The folders "設定此遊戲" saved a profile in: searched for game profiles besides the profiles folder.
const QString kGameFolders = QStringLiteral("profiles/gameFolders");
// The programs claimed by two profiles that the user has been told about, once each.
const QString kClaimsReported = QStringLiteral("profiles/claimsReported");

QString environmentFolder(const char* name, const QString& fallbackUnderHome) {
    const QString value = qEnvironmentVariable(name);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + QLatin1Char('/') + fallbackUnderHome);
}

bool makesFor(const Configuration& config, const std::string& executable) {
    const QString key = programKey(executable);
    return std::any_of(config.programs.begin(), config.programs.end(),
                       [&key](const std::string& program) { return programKey(program) == key; });
}
} // namespace

QString programKey(const std::string& executable) {
    const QString name = QString::fromStdString(executable);
#ifdef Q_OS_WIN
    return name.toCaseFolded();
#else
    return name;
#endif
}

UserFolders UserFolders::current() {
#ifdef Q_OS_WIN
    const QString roaming = environmentFolder("APPDATA", QStringLiteral("AppData/Roaming")) + QStringLiteral("/Vornik");
    const QString local = environmentFolder("LOCALAPPDATA", QStringLiteral("AppData/Local")) + QStringLiteral("/Vornik");
    return {roaming, local, roaming + QStringLiteral("/profiles")};
#else
    return {environmentFolder("XDG_CONFIG_HOME", QStringLiteral(".config")) + QStringLiteral("/vornik"),
            environmentFolder("XDG_STATE_HOME", QStringLiteral(".local/state")) + QStringLiteral("/vornik"),
            environmentFolder("XDG_DATA_HOME", QStringLiteral(".local/share")) + QStringLiteral("/vornik/profiles"),
            SingleInstance::sessionKey()};
#endif
}

ProfileKeeper::ProfileKeeper(QWidget* parent, Configuration& config, FileCommands& files,
                             std::function<void()> tablesReplaced, UserFolders folders)
    : m_parent(parent), m_config(config), m_files(files), m_tablesReplaced(std::move(tablesReplaced)),
      m_folders(std::move(folders)), m_writer(m_folders.recoveryFile().toStdString()) {
    m_recoveryTimer.setSingleShot(true);
    m_recoveryTimer.setInterval(kRecoveryDelayMs);
    QObject::connect(&m_recoveryTimer, &QTimer::timeout, [this] { handRecoveryToWriter(); });
    // From the writer's thread to this one; the timer is the context, gone only after the writer.
    m_writer.setOnWritten([this](const ProfileResult& result) {
        QMetaObject::invokeMethod(&m_recoveryTimer, [this, result] { recoveryWriteEnded(result); }, Qt::QueuedConnection);
    });
}

void ProfileKeeper::recoveryWriteEnded(const ProfileResult& result) {
    if (result.ok) {
        m_recoveryFailureSaid = false;
        return;
    }
    // Not kept after all: the next change, or the way out, writes again.
    m_recoveryWritten = false;
    if (m_recoveryFailureSaid)
        return;
    m_recoveryFailureSaid = true;
    Modal::error(m_parent, QCoreApplication::translate("Vornik", "尚未存檔的設定未能保留給下次啟動（每次變更都會再試一次）：")
                               + QLatin1Char('\n') + profileMessage(result));
}

void ProfileKeeper::markChanged() {
    m_changed = true;
    m_recoveryWritten = false;
    m_recoveryTimer.start();
}

void ProfileKeeper::handRecoveryToWriter() {
    m_recoveryTimer.stop();
    if (!m_changed || m_recoveryWritten)
        return;
    keepDeclinedRecovery();
    // A copy of the tables; their text and the disk are the writer thread's business.
    m_writer.write(m_config);
    m_recoveryWritten = true;
}

void ProfileKeeper::writeRecoveryNow() {
    handRecoveryToWriter();
    m_writer.finish();
}

void ProfileKeeper::forgetRecovery() {
    m_recoveryTimer.stop();
    m_recoveryWritten = false;
    keepDeclinedRecovery();
    m_writer.remove();
}

void ProfileKeeper::keepDeclinedRecovery() {
    if (!std::exchange(m_recoveryDeclined, false))
        return;
    // Apart, under the time it was set aside, for the next start to offer again.
    const QString recovery = m_folders.recoveryFile();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString apart = m_folders.state + QStringLiteral("/recovery-%1.vornik").arg(stamp);
    for (int n = 2; QFileInfo::exists(apart); ++n)
        apart = m_folders.state + QStringLiteral("/recovery-%1-%2.vornik").arg(stamp).arg(n);
    if (!QFile::rename(recovery, apart))
        Modal::error(m_parent, QCoreApplication::translate("Vornik", "無法保留上次未儲存的設定 \"%1\"：無法改名為 \"%2\"。")
                                   .arg(QDir::toNativeSeparators(recovery), QDir::toNativeSeparators(apart)));
}

QStringList ProfileKeeper::declinedRecoveries() const {
    const QDir state(m_folders.state);
    QStringList found = state.entryList({QStringLiteral("recovery-*.vornik")}, QDir::Files, QDir::Name | QDir::Reversed);
    for (QString& name : found)
        name = state.filePath(name);
    return found;
}

void ProfileKeeper::fileUsed(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_currentFile = absolute;
    m_changed = false;
    if (!m_startingUp)
        forgetRecovery();
    QSettings settings(m_folders.settingsFile(), QSettings::IniFormat);
    QStringList recent = settings.value(kRecentProfiles).toStringList();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    while (recent.size() > kRecentCount)
        recent.removeLast();
    settings.setValue(kRecentProfiles, recent);
    settings.setValue(kLastProfile, absolute);
    QVariantMap used = settings.value(kLastUsed).toMap();
    used.insert(absolute, QDateTime::currentMSecsSinceEpoch());
    settings.setValue(kLastUsed, used);
}

QStringList ProfileKeeper::recentProfiles() const {
    QSettings settings(m_folders.settingsFile(), QSettings::IniFormat);
    QStringList recent;
    // Looked at only until the menu is full: each look may wait on a slow disk or a network folder.
    for (const QString& path : settings.value(kRecentProfiles).toStringList()) {
        if (recent.size() >= kRecentCount)
            break;
        if (QFileInfo::exists(path))
            recent << path;
    }
    return recent;
}

void ProfileKeeper::openRecent(const QString& path) {
    if (settleChanges())
        m_files.loadProfileFile(path);
}

bool ProfileKeeper::openRequested(const QString& path) {
    if (path.isEmpty() || !settleChanges())
        return false;
    return m_files.loadProfileFile(path);
}

bool ProfileKeeper::restoreRecovery(const QString& recovery) {
    const ProfileResult loaded = loadProfile(recovery.toStdString(), m_config);
    if (!loaded) {
        // A damaged recovery profile is kept for the user to look at, and the start goes on.
        Modal::error(m_parent, profileMessage(loaded));
        return false;
    }
    // In no file: cleared first, so that what the replaced tables show names none.
    m_currentFile.clear();
    m_tablesReplaced();
    // Restored, but still in no file of the user's; the recovery profile stays until it is.
    m_changed = true;
    m_recoveryWritten = true;
    return true;
}

void ProfileKeeper::restoreAtStartup(const QString& commandLineProfile, const std::function<bool()>& ending) {
    m_startingUp = true;
    const auto done = [this] { m_startingUp = false; };
    const auto over = [&ending] { return ending && ending(); };
    const QString recovery = m_folders.recoveryFile();
    const bool named = !commandLineProfile.isEmpty();
    // The recovery profile an earlier version kept for every session goes to the first that starts.
    if (!QFileInfo::exists(recovery) && recovery != m_folders.sharedRecoveryFile() &&
        QFileInfo::exists(m_folders.sharedRecoveryFile()))
        QFile::rename(m_folders.sharedRecoveryFile(), recovery);
    // One declined at an earlier start is offered again, the latest first, until it is settled.
    if (!QFileInfo::exists(recovery)) {
        const QStringList declined = declinedRecoveries();
        if (!declined.isEmpty())
            QFile::rename(declined.first(), recovery);
    }
    if (QFileInfo::exists(recovery)) {
        const QString where = QDir::toNativeSeparators(recovery);
        Modal::Button answer;
        if (named) {
            answer = Modal::ask(
                m_parent,
                QCoreApplication::translate("Vornik", "上次結束時有尚未儲存的設定（%1）。\n"
                                                      "要開啟這些設定，還是開啟設定檔 \"%2\"？")
                    .arg(where, QDir::toNativeSeparators(commandLineProfile)),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                {{QMessageBox::Yes, QCoreApplication::translate("Vornik", "未儲存的設定")},
                 {QMessageBox::No, QFileInfo(commandLineProfile).fileName()}});
        } else {
            answer = Modal::ask(m_parent,
                                QCoreApplication::translate("Vornik", "上次結束時有尚未儲存的設定（%1）。\n要恢復這些設定嗎？")
                                    .arg(where),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        }
        // A signal while the box was up: the program ends, and the file stays for the next start.
        if (over())
            return done();
        if (answer == QMessageBox::Yes && restoreRecovery(recovery))
            return done();
        // Only an explicit No lets it go; Cancel or a closed box keeps it for the next start, set
        // apart once this session's own changes need the name.
        if (answer == QMessageBox::No)
            forgetRecovery();
        else
            m_recoveryDeclined = true;
    }
    if (named)
        m_files.loadProfileFile(commandLineProfile);
    else
        openLastProfile();
    done();
}

void ProfileKeeper::openLastProfile() {
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
    if (!m_changed)
        return true;
    const auto answer = Modal::ask(m_parent, QCoreApplication::translate("Vornik", "按鍵設定或招式已經變更，要儲存嗎？"),
                                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return saveCurrent();
    if (answer != QMessageBox::No)
        return false;
    m_changed = false;
    forgetRecovery();
    return true;
}

const ProfileKeeper::FolderIndex& ProfileKeeper::indexOf(const QString& folder) {
    FolderIndex& index = m_indexes[folder];
    const QFileInfo info(folder);
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.vornik")}, QDir::Files | QDir::Readable, QDir::Name);
    // A save replaces its file by a rename, which changes the folder's time; so does a new or removed file.
    if (index.modified == info.lastModified() && index.entries == files.size())
        return index;
    index.modified = info.lastModified();
    index.entries = files.size();
    index.byProgram.clear();
    auto scratch = std::make_unique<Configuration>();
    for (const QFileInfo& file : files) {
        if (!loadProfile(file.absoluteFilePath().toStdString(), *scratch))
            continue;
        for (const std::string& program : scratch->programs) {
            QStringList& claims = index.byProgram[programKey(program)];
            if (!claims.contains(file.absoluteFilePath()))
                claims << file.absoluteFilePath();
        }
    }
    return index;
}

QString ProfileKeeper::findProfileFor(const std::string& executable) {
    QSettings settings(m_folders.settingsFile(), QSettings::IniFormat);
    QStringList folders{QDir::cleanPath(m_folders.profiles)};
    for (const QString& folder : settings.value(kGameFolders).toStringList()) {
        if (!folders.contains(folder))
            folders << folder;
    }
    const QString key = programKey(executable);
    QStringList claims;
    for (const QString& folder : folders) {
        const FolderIndex& index = indexOf(folder);
        if (const auto found = index.byProgram.find(key); found != index.byProgram.end()) {
            for (const QString& path : found->second) {
                if (!claims.contains(path) && QFileInfo::exists(path))
                    claims << path;
            }
        }
    }
    if (claims.size() < 2)
        return claims.value(0);
    // The one used last; one never used counts by its file's time.
    const QVariantMap used = settings.value(kLastUsed).toMap();
    const auto lastUse = [&used](const QString& path) {
        return used.contains(path) ? used.value(path).toLongLong()
                                   : QFileInfo(path).lastModified().toMSecsSinceEpoch() - (qint64(1) << 40);
    };
    std::stable_sort(claims.begin(), claims.end(),
                     [&lastUse](const QString& a, const QString& b) { return lastUse(a) > lastUse(b); });
    QStringList reported = settings.value(kClaimsReported).toStringList();
    QStringList sorted = claims;
    sorted.sort();
    const QString claim = key + QLatin1Char('\n') + sorted.join(QLatin1Char('\n'));
    if (!reported.contains(claim)) {
        reported << claim;
        settings.setValue(kClaimsReported, reported);
        QStringList shown;
        for (const QString& path : claims)
            shown << QDir::toNativeSeparators(path);
        Modal::inform(m_parent, QCoreApplication::translate("Vornik", "有 %1 個設定檔都設定給「%2」：\n%3\n"
                                                                       "Vornik 使用最近用過的 \"%4\"。")
                                    .arg(claims.size())
                                    .arg(QString::fromStdString(executable), shown.join(QLatin1Char('\n')),
                                         QFileInfo(claims.first()).fileName()));
    }
    return claims.first();
}

void ProfileKeeper::targetProgramChanged(const std::string& executable, const std::vector<std::string>& otherNames) {
    std::vector<std::string> names{executable};
    names.insert(names.end(), otherNames.begin(), otherNames.end());
    names.erase(std::remove(names.begin(), names.end(), std::string()), names.end());
    if (names.empty() ||
        std::any_of(names.begin(), names.end(), [this](const std::string& name) { return makesFor(m_config, name); }))
        return;
    QString profile;
    for (std::size_t i = 0; i < names.size() && profile.isEmpty(); ++i)
        profile = findProfileFor(names[i]);
    if (profile.isEmpty() || profile == m_currentFile || !settleChanges())
        return;
    m_files.loadProfileFile(profile);
}

void ProfileKeeper::bindProgram(const std::string& executable) {
    if (executable.empty()) {
        Modal::inform(m_parent, QCoreApplication::translate("Vornik", "請先選擇目標程式（工具列的清單，或 CTRL+J），再設定此遊戲。"));
        return;
    }
    const bool added = !makesFor(m_config, executable);
    if (added)
        m_config.programs.push_back(executable);
    if (!saveCurrent()) {
        if (added)
            m_config.programs.pop_back();
        return;
    }
    // The profile may be anywhere; its folder is searched from now on.
    const QString folder = QFileInfo(m_currentFile).absolutePath();
    if (folder != QDir::cleanPath(m_folders.profiles)) {
        QSettings settings(m_folders.settingsFile(), QSettings::IniFormat);
        QStringList folders = settings.value(kGameFolders).toStringList();
        if (!folders.contains(folder)) {
            folders << folder;
            settings.setValue(kGameFolders, folders);
        }
    }
    Modal::inform(m_parent, QCoreApplication::translate("Vornik", "「%1」成為目標時，Vornik 會載入設定檔 \"%2\"。")
                                .arg(QString::fromStdString(executable), QDir::toNativeSeparators(m_currentFile)));
}

} // namespace vornik::ui
