#pragma once

// The two settings dialogs of the main window, each built when first opened: a pad's pointer
// settings ("滑鼠設定…" on its page) and "Windows 按鍵設定…" of the File menu. OK with a change
// counts as an edit of the bindings.

#include "Configuration.h"
#include "WindowsKeysOutput.h"

#include <functional>

class QWidget;

namespace vornik::ui {

class PadSettingsDialog;
class WindowsKeysDialog;

class SettingsDialogs {
public:
    // `edited` lets go of every held key and marks the tables changed.
    SettingsDialogs(QWidget* window, Configuration& config, WindowsKeysOutput& output, std::function<void()> edited)
        : m_window(window), m_config(config), m_output(output), m_edited(std::move(edited)) {}

    // True when the settings changed.
    bool editPadSettings(int joystick);
    void editWindowsKeys();

private:
    QWidget* m_window;
    Configuration& m_config;
    WindowsKeysOutput& m_output;
    std::function<void()> m_edited;
    PadSettingsDialog* m_padSettings = nullptr;
    WindowsKeysDialog* m_windowsKeys = nullptr;
};

} // namespace vornik::ui
