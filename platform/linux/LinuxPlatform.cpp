#include "LinuxPlatform.h"

namespace vornik {

LinuxPlatform::LinuxPlatform(const char* displayName)
    : m_connection(displayName), m_keyboard(m_connection), m_xtest(m_connection, m_keyboard),
      m_windows(m_connection), m_platform{m_joysticks, m_keyboard, m_outputs, m_windows, m_clock} {
    // A second way of sending on this system (uinput, say) is offered here under its own name.
    m_outputs.offer("xtest", m_xtest);
}

} // namespace vornik
