#include "WindowsKeysOutput.h"

#include "NativePlatform.h"
#include "OutputSetting.h"

namespace vornik::ui {

void WindowsKeysOutput::apply(const WindowsKeys& keys) {
    m_inEffect = m_chooseOutput && m_chooseOutput(keys.scanCodesOnly ? kWindowsScanCodesOutput : kWindowsKeysOutput);
    m_player.setMinimumPress(m_inEffect ? static_cast<uint32_t>(keys.minimumPressMs) : 0);
}

std::vector<std::string> WindowsKeysOutput::playerChoices(const std::vector<std::string>& offered) {
    std::vector<std::string> ways;
    for (const std::string& name : offered) {
        if (name != kWindowsKeysOutput && name != kWindowsScanCodesOutput)
            ways.push_back(name);
    }
    return ways;
}

bool WindowsKeysOutput::choose(const std::string& name, const QString& settingsFile) {
    if (!m_chooseOutput || !m_chooseOutput(name))
        return false;
    rememberOutput(settingsFile, QString::fromStdString(name));
    return true;
}

} // namespace vornik::ui
