#include "FileCommands.h"

#include "Modal.h"
#include "Profile.h"

#include <QDir>
#include <QFileInfo>

namespace vornik::ui {

const QString FileCommands::kFilter = QStringLiteral("Vornik profile (*.vornik)");

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
    dialog.setNameFilter(kFilter);
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
        Modal::ask(m_parent, QStringLiteral("\"%1\" already exists.\nDo you want to replace it?").arg(path),
                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    return saveProfileFile(path);
}

bool FileCommands::loadProfileFile(const QString& path) {
    const ProfileResult result = loadProfile(path.toStdString(), m_config);
    if (!result) {
        Modal::error(m_parent, QString::fromStdString(result.message));
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
        Modal::error(m_parent, QString::fromStdString(result.message));
        return false;
    }
    m_lastFolder = QFileInfo(path).absolutePath();
    if (m_hooks.fileUsed)
        m_hooks.fileUsed(path);
    return true;
}

QString profileArgument(const QStringList& arguments) {
    const qsizetype first = arguments.size() > 1 && arguments[1] == QLatin1String("/allproc") ? 2 : 1;
    if (arguments.size() <= first || arguments[first].isEmpty())
        return {};
    // Start-up makes the executable's folder current, so a relative name is resolved now.
    return QDir::current().absoluteFilePath(arguments[first]);
}

} // namespace vornik::ui
