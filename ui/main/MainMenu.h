#pragma once

// The main window's menu: "檔案" (the file commands, "設定此遊戲", "Windows 按鍵設定…", the recent
// profiles, the language, "&隱藏", "&離開") and "關於".

#include <QString>
#include <QStringList>

#include <functional>

class QMainWindow;

namespace vornik::ui {

struct MenuCommands {
    std::function<void()> open;
    std::function<void()> save;
    std::function<void()> bindGame;
    std::function<void()> windowsKeys;
    std::function<QStringList()> recentProfiles; // listed anew each time the menu opens
    std::function<void(const QString& path)> openRecent;
    std::function<void()> hide;
    std::function<void()> quit;
    std::function<void()> about;
    QString settingsFile; // where the language chosen is remembered
};

void buildMainMenu(QMainWindow& window, const MenuCommands& commands);

} // namespace vornik::ui
