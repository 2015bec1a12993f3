#include "MainMenu.h"

#include "Language.h"
#include "Modal.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenuBar>

namespace vornik::ui {

namespace {
QAction* addAction(QMenu* menu, const QString& text, const char* name, const std::function<void()>& command) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    QObject::connect(action, &QAction::triggered, menu, [command] { command(); });
    return action;
}

// The recent profiles go between the two separators, listed anew each time the menu opens.
void listRecentProfiles(QMenu* file, QAction* recentStart, QAction* recentEnd, const MenuCommands& commands) {
    for (QAction* old : file->actions()) {
        if (old->objectName().startsWith(QLatin1String("RecentProfile"))) {
            file->removeAction(old);
            delete old;
        }
    }
    const QStringList recent = commands.recentProfiles();
    for (int i = 0; i < recent.size(); ++i) {
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(recent[i]).fileName()), file);
        action->setObjectName(QStringLiteral("RecentProfile%1").arg(i + 1));
        action->setToolTip(QDir::toNativeSeparators(recent[i]));
        QObject::connect(action, &QAction::triggered, file,
                         [open = commands.openRecent, path = recent[i]] { open(path); });
        file->insertAction(recentEnd, action);
    }
    recentStart->setVisible(!recent.isEmpty());
}

void addLanguageMenu(QMenu* file, const QString& settingsFile) {
    // Both names in both languages: whoever cannot read one finds the other.
    QMenu* language = file->addMenu(QStringLiteral("語言 / Language"));
    language->setObjectName(QStringLiteral("LanguageMenu"));
    auto* languages = new QActionGroup(language);
    const QString current = rememberedLanguage(settingsFile);
    for (const auto& [code, name] : {std::pair{"zh", "中文"}, std::pair{"en", "English"}}) {
        QAction* choice = language->addAction(QString::fromUtf8(name));
        choice->setObjectName(QStringLiteral("Language_%1").arg(QLatin1String(code)));
        choice->setCheckable(true);
        choice->setChecked(current == QLatin1String(code));
        languages->addAction(choice);
        QObject::connect(choice, &QAction::triggered, language, [language, settingsFile, code] {
            rememberLanguage(settingsFile, QLatin1String(code));
            Modal::notice(language->window(),
                          QStringLiteral("下次啟動 Vornik 時生效。\nTakes effect when Vornik starts next."));
        });
    }
}
// How keys are sent, where the backend has more than one way for the player to choose.
void addOutputMenu(QMenu* file, const MenuCommands& commands) {
    const std::vector<std::string> ways = commands.outputs ? commands.outputs() : std::vector<std::string>{};
    if (ways.size() < 2 || !commands.chooseOutput)
        return;
    QMenu* output = file->addMenu(QCoreApplication::translate("Vornik", "送出按鍵的方式"));
    output->setObjectName(QStringLiteral("OutputMenu"));
    auto* group = new QActionGroup(output);
    for (const std::string& name : ways) {
        QAction* choice = output->addAction(QString::fromStdString(name));
        choice->setObjectName(QStringLiteral("Output_%1").arg(QString::fromStdString(name)));
        choice->setCheckable(true);
        group->addAction(choice);
        QObject::connect(choice, &QAction::triggered, output, [choose = commands.chooseOutput, name] { choose(name); });
    }
    QObject::connect(output, &QMenu::aboutToShow, output, [output, inUse = commands.outputInUse] {
        const std::string shown = inUse ? inUse() : std::string();
        for (QAction* choice : output->actions())
            choice->setChecked(choice->text().toStdString() == shown);
    });
}
} // namespace

void buildMainMenu(QMainWindow& window, const MenuCommands& commands) {
    QMenu* file = window.menuBar()->addMenu(QCoreApplication::translate("Vornik", "檔案"));
    file->setObjectName(QStringLiteral("FileMenu"));
    addAction(file, QCoreApplication::translate("Vornik", "讀取舊檔..."), "OpenAction", commands.open);
    addAction(file, QCoreApplication::translate("Vornik", "另存新檔..."), "SaveAction", commands.save);
    addAction(file, QCoreApplication::translate("Vornik", "設定此遊戲"), "BindGameAction", commands.bindGame)
        ->setToolTip(QCoreApplication::translate("Vornik", "目前的目標程式啟動或被選為目標時，自動載入這個設定檔"));
    addAction(file, QCoreApplication::translate("Vornik", "Windows 按鍵設定…"), "WindowsKeysAction",
              commands.windowsKeys);
    QAction* recentStart = file->addSeparator();
    QAction* recentEnd = file->addSeparator();
    QObject::connect(file, &QMenu::aboutToShow, file, [file, recentStart, recentEnd, commands] {
        listRecentProfiles(file, recentStart, recentEnd, commands);
    });
    addLanguageMenu(file, commands.settingsFile);
    addOutputMenu(file, commands);
    file->addSeparator();
    addAction(file, QCoreApplication::translate("Vornik", "&隱藏"), "HideAction", commands.hide);
    file->addSeparator();
    addAction(file, QCoreApplication::translate("Vornik", "&離開"), "QuitAction", commands.quit);
    QMenu* about = window.menuBar()->addMenu(QCoreApplication::translate("Vornik", "關於"));
    about->setObjectName(QStringLiteral("AboutMenu"));
    addAction(about, QCoreApplication::translate("Vornik", "關於版權..."), "AboutAction", commands.about);
}

} // namespace vornik::ui
