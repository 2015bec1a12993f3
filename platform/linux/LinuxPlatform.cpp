#include "LinuxPlatform.h"

namespace vornik {

LinuxPlatform::LinuxPlatform(const char* displayName)
    : m_connection(displayName), m_keyboard(m_connection), m_xtest(m_connection, m_keyboard),
      m_windows(m_connection), m_platform{m_joysticks, m_keyboard, m_outputs, m_windows, m_clock} {
    // A second way of sending on this system (uinput, say) is offered here under its own name.
    m_outputs.offer("xtest", m_xtest);
    // Under its grab, the press guard's answer stands while no event has changed the window in front.
    m_xtest.setFrontUnchanged([this] { return m_windows.foregroundUnchanged(); });
}

} // namespace vornik
