#include "LinuxPlatform.h"

namespace vornik {

LinuxPlatform::LinuxPlatform(const char* displayName)
    : m_connection(displayName), m_keyboard(m_connection),
      m_windows(m_connection), m_platform{m_joysticks, m_keyboard, m_windows, m_clock} {}

LinuxPlatform::~LinuxPlatform() {
    m_keyboard.releaseAll();
}

} // namespace vornik
