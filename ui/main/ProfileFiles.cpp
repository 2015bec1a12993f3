#include "ProfileFiles.h"

namespace vornik::ui {

ProfileFiles::ProfileFiles(QWidget* window, Configuration& config, const UserFolders& folders,
                           std::function<void()> tablesReplaced, std::function<void()> fileChanged)
    : m_window(window), m_fileChanged(std::move(fileChanged)),
      m_commands(window, config,
                 FileCommands::Hooks{[this] { return op1(); }, [this] { return sa1(); }, tablesReplaced,
                                     [this](const QString& path) {
                                         m_keeper.fileUsed(path);
                                         m_fileChanged();
                                     }}),
      m_keeper(window, config, m_commands, tablesReplaced, folders) {}

QFileDialog* ProfileFiles::op1() {
    if (m_openDialog == nullptr) {
        m_openDialog = new QFileDialog(m_window);
        m_openDialog->setObjectName(QStringLiteral("op1"));
        m_openDialog->setAcceptMode(QFileDialog::AcceptOpen);
    }
    return m_openDialog;
}

QFileDialog* ProfileFiles::sa1() {
    if (m_saveDialog == nullptr) {
        m_saveDialog = new QFileDialog(m_window);
        m_saveDialog->setObjectName(QStringLiteral("sa1"));
        m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
    }
    return m_saveDialog;
}

} // namespace vornik::ui
