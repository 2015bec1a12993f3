#include "SettingsDialogs.h"

#include "Modal.h"
#include "PadSettingsDialog.h"
#include "WindowsKeysDialog.h"

namespace vornik::ui {

bool SettingsDialogs::editPadSettings(int joystick) {
    if (m_padSettings == nullptr)
        m_padSettings = new PadSettingsDialog(m_window);
    m_padSettings->load(joystick, m_config.pad(joystick), m_config.caps(joystick));
    if (Modal::exec(*m_padSettings) != QDialog::Accepted)
        return false;
    PadSettings edited = m_config.pad(joystick);
    m_padSettings->save(edited);
    if (edited == m_config.pad(joystick))
        return false;
    m_config.pad(joystick) = edited;
    // A stick that stops pressing its direction keys must let go of them.
    m_edited();
    return true;
}

void SettingsDialogs::editWindowsKeys() {
    if (m_windowsKeys == nullptr)
        m_windowsKeys = new WindowsKeysDialog(m_window);
    m_windowsKeys->load(m_config.windowsKeys, m_output.windowsKeysInEffect());
    if (Modal::exec(*m_windowsKeys) != QDialog::Accepted)
        return;
    WindowsKeys edited = m_config.windowsKeys;
    m_windowsKeys->save(edited);
    if (edited == m_config.windowsKeys)
        return;
    m_config.windowsKeys = edited;
    m_edited(); // lets go of every key before the output changes
    m_output.apply(m_config.windowsKeys);
}

} // namespace vornik::ui
