#include "LinuxPlatform.h"

#include <cstdlib>

namespace vornik {

LinuxPlatform::Wayland::Wayland(std::unique_ptr<WaylandSession> opened, XWindowSystem& x, Output& xtest,
                                const char* swaySocket)
    : connection(std::move(opened)), session(*connection),
      windows(x, session, swaySocket != nullptr ? swaySocket : ""), output(xtest, session, windows) {}

std::unique_ptr<LinuxPlatform::Wayland> LinuxPlatform::openWayland(XWindowSystem& x, Output& xtest) {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    if (display == nullptr || *display == '\0')
        return nullptr;
    auto session = WaylandSession::open(display);
    if (!session)
        return nullptr;
    return std::make_unique<Wayland>(std::move(session), x, xtest, std::getenv("SWAYSOCK"));
}

LinuxPlatform::LinuxPlatform(const char* displayName)
    : m_connection(displayName), m_keyboard(m_connection), m_xtest(m_connection, m_keyboard),
      m_windows(m_connection), m_wayland(openWayland(m_windows, m_xtest)),
      m_platform{m_joysticks, m_keyboard, m_outputs, m_wayland ? static_cast<WindowSystem&>(m_wayland->windows) : m_windows,
                 m_clock} {
    // A second way of sending on this system (uinput, say) is offered here under its own name.
    if (m_wayland)
        m_outputs.offer("wayland", m_wayland->output);
    m_outputs.offer("xtest", m_xtest);
    // Under its grab, the press guard's answer stands while no event has changed the window in front.
    m_xtest.setFrontUnchanged([this] { return m_windows.foregroundUnchanged(); });
}

} // namespace vornik
