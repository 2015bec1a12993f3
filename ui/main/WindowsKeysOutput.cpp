#include "WindowsKeysOutput.h"

#include "NativePlatform.h"

namespace vornik::ui {

void WindowsKeysOutput::apply(const WindowsKeys& keys) {
    m_inEffect = m_chooseOutput && m_chooseOutput(keys.scanCodesOnly ? kWindowsScanCodesOutput : kWindowsKeysOutput);
    m_player.setMinimumPress(m_inEffect ? static_cast<uint32_t>(keys.minimumPressMs) : 0);
}

} // namespace vornik::ui
