// The main window's menu, and the way of sending keys chosen in it: a part of the window.
#include "MainWindow.h"

#include "MainMenu.h"
#include "Modal.h"
#include "SettingsDialogs.h"

namespace vornik::ui {

void TVornik::buildMenu() {
    ProfileKeeper& keeper = m_files->keeper();
    buildMainMenu(*this,
                  {[this] { SpeedButton5Click(); }, [this] { SpeedButton6Click(); },
                   [this, &keeper] {
                       keeper.bindProgram(m_platform.windows.processExecutableName(m_config->targets.TargetProcessId));
                   },
                   [this] { m_settings->editWindowsKeys(); }, [&keeper] { return keeper.recentProfiles(); },
                   [&keeper](const QString& path) { keeper.openRecent(path); }, [this] { EnterBackgroundMode(); },
                   [this] { close(); }, [this] { showAbout(); }, m_options.folders.settingsFile(),
                   [this] {
                       return WindowsKeysOutput::playerChoices(m_hooks.outputNames ? m_hooks.outputNames()
                                                                                   : std::vector<std::string>{});
                   },
                   m_hooks.outputInUse, [this](const std::string& name) { chooseOutput(name); }});
}

void TVornik::chooseOutput(const std::string& name) {
    releaseKeys(); // a key goes up through the output it went down through
    if (!m_output.choose(name, m_options.folders.settingsFile()))
        return;
    if (const std::string why = m_platform.output.unavailableReason(); !why.empty())
        Modal::error(this, QCoreApplication::translate("Vornik", "無法送出按鍵：%1。").arg(QString::fromStdString(why)));
    TimerEx1Timer(); // the sign, at once
}

} // namespace vornik::ui
