#pragma once

// The sign of where the keys go: a small button at the right end of the page tabs, its text as its
// tooltip and accessible name, and the same text under "Vornik" in the tray icon's tooltip; the text
// names the profile in use too. Shown once a tick has looked.

#include "TargetStatus.h"

#include <QString>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QToolButton>

#include <functional>
#include <map>
#include <string>

namespace vornik::ui {

class TargetStateSign {
public:
    // `outputInUse` names the output keys go out through (empty function: not known); `profileFile`
    // is the profile in use, empty when the tables are in no file.
    TargetStateSign(QTabWidget* pages, QSystemTrayIcon* tray, std::function<std::string()> outputInUse,
                    std::function<QString()> profileFile);

    void show(const TargetState& state);
    // The profile in use changed (a load, a save, a restore): the sign names it anew.
    void profileChanged() { show(m_shown); }
    // A pad's active layer changed: the sign names every pad's layer that is not the first.
    void activeLayerChanged(int joystick, const QString& layer, bool first);
    QToolButton* button() const { return m_button; }

private:
    QToolButton* m_button;
    QSystemTrayIcon* m_tray;
    std::function<std::string()> m_outputInUse;
    std::function<QString()> m_profileFile;
    TargetState m_shown{}; // what the sign says now
    std::map<int, QString> m_layers; // by joystick, its active layer when not the first
};

} // namespace vornik::ui
