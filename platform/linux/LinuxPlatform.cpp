#include "LinuxPlatform.h"

#include <cstdlib>

#include <X11/Xlib.h>
#include <unistd.h>

namespace vornik {

namespace {
constexpr const char* kUinputPath = "/dev/uinput";
} // namespace

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
    : m_connection(displayName), m_keyboard(m_connection), m_xtest(m_connection, m_keyboard), m_uinput(kUinputPath),
      m_windows(m_connection), m_wayland(openWayland(m_windows, m_xtest)),
      m_platform{m_joysticks, m_keyboard, m_outputs, m_wayland ? static_cast<WindowSystem&>(m_wayland->windows) : m_windows,
                 m_clock} {
    if (m_wayland)
        m_outputs.offer("wayland", m_wayland->output);
    m_outputs.offer("xtest", m_xtest);
    m_outputs.offer("uinput", m_uinput);
    // The uinput device's range covers the X screen, which on a Wayland desktop is XWayland's root:
    // every output of the layout. Where the pointer is, X knows (XWayland: where it last was over an
    // X window).
    m_uinput.setDesktop(
        [this] {
            XWindowAttributes root{};
            m_connection.countRoundTrip();
            if (!XGetWindowAttributes(m_connection.display(), m_connection.root(), &root))
                return UinputOutput::Size{};
            return UinputOutput::Size{root.width, root.height};
        },
        [this]() -> std::optional<UinputOutput::Point> {
            Window root = 0, child = 0;
            int x = 0, y = 0, winX = 0, winY = 0;
            unsigned int mask = 0;
            m_connection.countRoundTrip();
            if (!XQueryPointer(m_connection.display(), m_connection.root(), &root, &child, &x, &y, &winX, &winY, &mask))
                return std::nullopt;
            return UinputOutput::Point{x, y};
        });
    // A Wayland desktop without the wlroots keyboard (GNOME, Plasma) reaches its native windows only
    // through the kernel: uinput is the way there, once the user may use it.
    if (m_wayland && !m_wayland->session.hasKeyboard() && ::access(kUinputPath, W_OK) == 0)
        chooseOutput("uinput");
    // Its keys come back to the X server from a device like the user's: into an X window they count
    // as the program's own, as XTest's do, so that the keyboard's bindings do not take them for the
    // user's. A native window's keys never reach X.
    m_uinput.setKeySent([this](uint32_t code, bool down) {
        if (code + 8 <= 255 && !(m_wayland && m_wayland->windows.nativeInFront()))
            m_keyboard.noteSent(static_cast<KeyCode>(code + 8), down);
    });
    // Its events go wherever the focus is: the guard answers from every change the window system
    // has announced up to the press.
    m_uinput.setFreshen([this] {
        if (m_wayland && m_wayland->session.hasToplevels())
            m_wayland->session.roundTrip();
        XSync(m_connection.display(), False);
        m_connection.countRoundTrip();
    });
    // Under its grab, the press guard's answer stands while no event has changed the window in front.
    m_xtest.setFrontUnchanged([this] { return m_windows.foregroundUnchanged(); });
}

bool LinuxPlatform::chooseOutput(const std::string& name) {
    if (!m_outputs.choose(name))
        return false;
    if (name == "uinput")
        m_uinput.open(); // once; what fails is said by its unavailableReason()
    return true;
}

} // namespace vornik
