#pragma once

// The main window's menu: "檔案" (the file commands, "設定此遊戲", "Windows 按鍵設定…", the recent
// profiles, the language, the way of sending keys, "&隱藏", "&離開") and "關於".

#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

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
    // "送出按鍵的方式": the ways of sending keys the player may choose (the menu only when several), the
    // one in use, and the choice.
    std::function<std::vector<std::string>()> outputs;
    std::function<std::string()> outputInUse;
    std::function<void(const std::string& name)> chooseOutput;
};

void buildMainMenu(QMainWindow& window, const MenuCommands& commands);

} // namespace vornik::ui
