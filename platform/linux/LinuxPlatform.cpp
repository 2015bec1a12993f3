#include "LinuxPlatform.h"

#include <cstdlib>
#include <string>

#include <X11/Xlib.h>
#include <unistd.h>

namespace vornik {

namespace {
constexpr const char* kUinputPath = "/dev/uinput";
} // namespace

LinuxPlatform::Wayland::Wayland(std::unique_ptr<WaylandSession> opened, std::unique_ptr<ShellWindows> asked,
                                XWindowSystem& x, Output& xtest, const char* swaySocket)
    : connection(std::move(opened)), shell(std::move(asked)),
      windows(x, source(), shell || swaySocket == nullptr ? "" : swaySocket) {
    if (connection)
        output = std::make_unique<DesktopOutput>(xtest, *connection, windows);
}

namespace {
bool set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// KWin's script: beside the program (a build), else where it is installed.
std::string kwinScript() {
    char exe[4096];
    const ssize_t length = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0)
        return "/usr/share/vornik/kwin/vornik-windows.js";
    std::string dir(exe, static_cast<std::size_t>(length));
    dir.erase(dir.rfind('/'));
    const std::string beside = dir + "/kwin/vornik-windows.js";
    if (::access(beside.c_str(), R_OK) == 0)
        return beside;
    return dir + "/../share/vornik/kwin/vornik-windows.js";
}
} // namespace

std::unique_ptr<LinuxPlatform::Wayland> LinuxPlatform::openWayland(XWindowSystem& x, Output& xtest) {
    std::unique_ptr<WaylandSession> session;
    if (set("WAYLAND_DISPLAY"))
        session = WaylandSession::open(std::getenv("WAYLAND_DISPLAY"));
    const char* type = std::getenv("XDG_SESSION_TYPE");
    const bool waylandDesktop = session || (type != nullptr && std::string(type) == "wayland");
    if (!waylandDesktop || (session && session->hasToplevels()))
        return session ? std::make_unique<Wayland>(std::move(session), nullptr, x, xtest, std::getenv("SWAYSOCK")) : nullptr;
    // KWin and GNOME Shell do not tell their windows to other programs: our code inside them does.
    std::unique_ptr<ShellWindows> shell = ShellWindows::open(kwinScript());
    if (!session && !shell)
        return nullptr;
    return std::make_unique<Wayland>(std::move(session), std::move(shell), x, xtest, std::getenv("SWAYSOCK"));
}

LinuxPlatform::LinuxPlatform(const char* displayName)
    : m_connection(displayName), m_keyboard(m_connection), m_xtest(m_connection, m_keyboard), m_uinput(kUinputPath),
      m_windows(m_connection), m_wayland(openWayland(m_windows, m_xtest)),
      m_platform{m_joysticks, m_keyboard, m_outputs, m_wayland ? static_cast<WindowSystem&>(m_wayland->windows) : m_windows,
                 m_clock} {
    if (m_wayland && m_wayland->output)
        m_outputs.offer("wayland", *m_wayland->output);
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
    if (m_wayland && !(m_wayland->connection && m_wayland->connection->hasKeyboard()) &&
        ::access(kUinputPath, W_OK) == 0)
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
        // (A shell that did not answer is asked again here, after a while.)
        if (m_wayland && (m_wayland->shell || m_wayland->source().hasToplevels()))
            m_wayland->source().roundTrip();
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
