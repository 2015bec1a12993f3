#include "FileCommands.h"

#include "Modal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vornik::ui {

QString FileCommands::filter() {
    return QCoreApplication::translate("Vornik", "Vornik 設定檔 (*.vornik)");
}

namespace {
QString runDialog(QFileDialog& dialog) {
    if (Modal::exec(dialog) != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}
} // namespace

FileCommands::FileCommands(QWidget* parent, Configuration& config, Hooks hooks)
    : m_parent(parent), m_config(config), m_hooks(std::move(hooks)), m_choose(runDialog),
      m_lastFolder(QDir::homePath()) {}

void FileCommands::prepare(QFileDialog& dialog) const {
    dialog.setNameFilter(filter());
    dialog.setFileMode(dialog.acceptMode() == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                                      : QFileDialog::AnyFile);
    // Start-up makes the executable's folder current; the user's files are elsewhere.
    dialog.setDirectory(m_lastFolder);
}

bool FileCommands::openProfile() {
    QFileDialog* dialog = m_hooks.openDialog();
    prepare(*dialog);
    const QString path = m_choose(*dialog);
    return !path.isEmpty() && loadProfileFile(path);
}

bool FileCommands::saveProfileAs() {
    QFileDialog* dialog = m_hooks.saveDialog();
    prepare(*dialog);
    const QString chosen = m_choose(*dialog);
    if (chosen.isEmpty())
        return false;
    const QString path = QString::fromStdString(withProfileExtension(chosen.toStdString()));
    // The dialog asked about replacing the file it returned, not the one with the extension added.
    if (path != chosen && QFileInfo::exists(path) &&
        Modal::ask(m_parent,
                   QCoreApplication::translate("Vornik", "\"%1\" 已經存在。\n要取代它嗎？")
                       .arg(QDir::toNativeSeparators(path)),
                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    return saveProfileFile(path);
}

bool FileCommands::loadProfileFile(const QString& path) {
    const ProfileResult result = loadProfile(path.toStdString(), m_config);
    if (!result) {
        Modal::error(m_parent, profileMessage(result));
        return false;
    }
    m_lastFolder = QFileInfo(path).absolutePath();
    if (m_hooks.tablesReplaced)
        m_hooks.tablesReplaced();
    if (m_hooks.fileUsed)
        m_hooks.fileUsed(path);
    return true;
}

bool FileCommands::saveProfileFile(const QString& path) {
    const ProfileResult result = saveProfile(path.toStdString(), m_config);
    if (!result) {
        Modal::error(m_parent, profileMessage(result));
        return false;
    }
    m_lastFolder = QFileInfo(path).absolutePath();
    if (m_hooks.fileUsed)
        m_hooks.fileUsed(path);
    return true;
}

QString profileMessage(const ProfileResult& result) {
    using Problem = ProfileResult::Problem;
    const QString file = QDir::toNativeSeparators(QString::fromStdString(result.file));
    const QString detail = QString::fromStdString(result.detail);
    switch (result.problem) {
    case Problem::None:
        break;
    case Problem::Read:
        return QCoreApplication::translate("Vornik", "無法讀取設定檔 \"%1\"：%2").arg(file, detail);
    case Problem::TooLarge:
        return QCoreApplication::translate("Vornik", "無法讀取設定檔 \"%1\"：檔案大於設定檔的上限（1 MiB）。")
            .arg(file);
    case Problem::Refused:
        return QCoreApplication::translate("Vornik", "無法讀取設定檔 \"%1\"，它不是完好的設定檔：\n%2")
            .arg(file, detail);
    case Problem::Tables:
        return QCoreApplication::translate("Vornik", "無法儲存設定檔 \"%1\"：設定中有設定檔無法記錄的內容：%2")
            .arg(file, detail);
    case Problem::Create:
        return QCoreApplication::translate("Vornik", "無法儲存設定檔 \"%1\"：無法在資料夾 \"%2\" 中建立檔案：%3")
            .arg(file, QDir::toNativeSeparators(QString::fromStdString(result.folder)), detail);
    case Problem::Write:
        return QCoreApplication::translate("Vornik", "無法儲存設定檔 \"%1\"：寫入失敗：%2").arg(file, detail);
    case Problem::Flush:
        return QCoreApplication::translate("Vornik", "無法儲存設定檔 \"%1\"：無法寫入磁碟：%2").arg(file, detail);
    case Problem::Replace:
        return QCoreApplication::translate("Vornik", "無法儲存設定檔 \"%1\"：無法取代原有的檔案：%2").arg(file, detail);
    }
    return QString::fromStdString(result.message);
}

QString profileArgument(const QStringList& arguments) {
    const qsizetype first = arguments.size() > 1 && arguments[1] == QLatin1String("/allproc") ? 2 : 1;
    if (arguments.size() <= first || arguments[first].isEmpty())
        return {};
    // Start-up makes the executable's folder current, so a relative name is resolved now.
    return QDir::current().absoluteFilePath(arguments[first]);
}

} // namespace vornik::ui
