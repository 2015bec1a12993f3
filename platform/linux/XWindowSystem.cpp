#include "XWindowSystem.h"

#include "Utf8Text.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <signal.h>
#include <string>
#include <unistd.h>

namespace vornik {

namespace {
constexpr long kTitleLongs = 1024; // 4 KiB: far more than the longest title the program reads
constexpr int kMaxWalkDepth = 64;


std::string latin1ToUtf8(const unsigned char* text, std::size_t length) {
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] < 0x80) {
            out += static_cast<char>(text[i]);
        } else {
            out += static_cast<char>(0xC0 | (text[i] >> 6));
            out += static_cast<char>(0x80 | (text[i] & 0x3F));
        }
    }
    return out;
}

// One property read into bytes; the X data is freed before returning.
struct Property {
    Atom type = None;
    int format = 0;
    std::vector<unsigned char> bytes;
    unsigned long items = 0;
};

bool readProperty(Display* display, Window window, Atom property, Atom type, long longs, Property& out) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, longs, False, type, &actualType, &actualFormat, &items, &after,
                           &data) != Success)
        return false;
    out.type = actualType;
    out.format = actualFormat;
    out.items = items;
    // Format 32 comes back as an array of long, whatever the size of long.
    const std::size_t unit = actualFormat == 32 ? sizeof(long) : static_cast<std::size_t>(actualFormat / 8);
    if (data != nullptr) {
        out.bytes.assign(data, data + items * unit);
        XFree(data);
    }
    return actualType != None;
}
} // namespace

XWindowSystem::XWindowSystem(XConnection& connection)
    : m_connection(connection),
      m_waylandDesktop(waylandDesktop(std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_SESSION_TYPE"))) {
    Display* display = m_connection.display();
    char* names[AtomCount] = {const_cast<char*>("_NET_ACTIVE_WINDOW"), const_cast<char*>("_NET_CLIENT_LIST_STACKING"),
                              const_cast<char*>("_NET_WM_PID"),        const_cast<char*>("_NET_WM_NAME"),
                              const_cast<char*>("UTF8_STRING"),        const_cast<char*>("WM_STATE")};
    XInternAtoms(display, names, AtomCount, False, m_atoms);
    m_connection.countRoundTrip();

    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    m_hasXRes = XResQueryExtension(display, &eventBase, &errorBase) && XResQueryVersion(display, &major, &minor) &&
                (major > 1 || (major == 1 && minor >= 2));

    // Whether the window manager publishes the active window is followed through the root's
    // property events, so a desktop without one costs no extra round trip per query.
    // Focus changes show as focus events on the top-level windows and the root: every top-level is
    // watched from its creation (or its move to the root) on.
    watch(m_connection.root(), PropertyChangeMask | SubstructureNotifyMask | FocusChangeMask);
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    m_connection.countRoundTrip();
    if (XQueryTree(display, m_connection.root(), &rootReturn, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i)
            watch(children[i], FocusChangeMask);
        if (children != nullptr)
            XFree(children);
    }
    Property active;
    m_activeWindowPublished =
        readProperty(display, m_connection.root(), m_atoms[NetActiveWindow], XA_WINDOW, 1, active);
    m_connection.addListener([this](const XEvent& event) { return onEvent(event); });
}

// True for the events that may change which window is in front: the only ones a tick acts on. A
// window merely moved, mapped or resized is none of them.
bool XWindowSystem::onEvent(const XEvent& event) {
    switch (event.type) {
    case PropertyNotify:
        if (event.xproperty.window == m_connection.root() && event.xproperty.atom == m_atoms[NetActiveWindow]) {
            m_activeWindowPublished = event.xproperty.state == PropertyNewValue;
            m_focusMovedSincePublished = false;
            m_foregroundKnown = false;
            return true;
        }
        if (event.xproperty.atom == XA_WM_NAME || event.xproperty.atom == m_atoms[NetWmName]) {
            if (auto known = m_known.find(event.xproperty.window); known != m_known.end())
                known->second.titleKnown = false;
        }
        return false;
    case MapNotify:
    case UnmapNotify:
        // A top-level frame mapped or unmapped changes whether the client inside it is viewable.
        if (event.xmap.event == m_connection.root()) {
            for (auto& [window, known] : m_known)
                known.viewableKnown = false;
        } else if (auto known = m_known.find(event.xmap.window); known != m_known.end()) {
            known->second.viewableKnown = false;
        }
        return false;
    case FocusIn:
    case FocusOut:
        m_focusMovedSincePublished = true;
        m_foregroundKnown = false;
        return true;
    case CreateNotify:
        if (event.xcreatewindow.parent == m_connection.root())
            watch(event.xcreatewindow.window, FocusChangeMask);
        return false;
    case DestroyNotify:
        m_known.erase(event.xdestroywindow.window);
        m_pids.erase(event.xdestroywindow.window);
        m_masks.erase(event.xdestroywindow.window);
        m_topLevels.clear();
        m_foregroundKnown = false;
        return true;
    case ReparentNotify:
        if (event.xreparent.parent == m_connection.root())
            watch(event.xreparent.window, FocusChangeMask);
        if (auto known = m_known.find(event.xreparent.window); known != m_known.end())
            known->second.viewableKnown = false;
        m_topLevels.clear();
        m_foregroundKnown = false;
        return true;
    default:
        return false;
    }
}

void XWindowSystem::watch(Window window, long mask) {
    long& selected = m_masks[window];
    if ((selected | mask) == selected)
        return;
    selected |= mask;
    XSelectInput(m_connection.display(), window, selected);
}

WindowHandle XWindowSystem::foregroundWindow() {
    m_connection.processEvents();
    if (m_foregroundKnown)
        return m_foreground;
    // Known from here on, unless an event that arrives meanwhile says otherwise.
    m_foregroundKnown = true;
    m_foreground = 0;
    if (m_activeWindowPublished) {
        Property active;
        m_connection.countRoundTrip();
        if (readProperty(m_connection.display(), m_connection.root(), m_atoms[NetActiveWindow], XA_WINDOW, 1, active)) {
            if (active.format == 32 && active.items >= 1)
                m_foreground = static_cast<Window>(*reinterpret_cast<const long*>(active.bytes.data()));
            // A window manager publishes the active window only once it has seen the focus arrive:
            // in between, keys already go to the newly focused window while the property still names
            // the old one. No window counts as in front until the two agree again.
            if (m_focusMovedSincePublished && m_foreground != 0 && focusedTopLevel() != m_foreground)
                m_foreground = 0;
            return m_foreground;
        }
        m_activeWindowPublished = false;
    }
    m_foreground = focusedTopLevel();
    return m_foreground;
}

Window XWindowSystem::focusedTopLevel() {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(m_connection.display(), &focus, &revert);
    m_connection.countRoundTrip();
    if (focus == None || focus == PointerRoot || focus == m_connection.root())
        return 0;
    auto cached = m_topLevels.find(focus);
    if (cached != m_topLevels.end())
        return cached->second;
    const std::uint64_t errorsBefore = m_connection.errorCount();
    watch(focus, StructureNotifyMask);
    const Window client = topLevelClient(focus);
    if (client != 0 && client != focus)
        watch(client, StructureNotifyMask);
    // An error here means the window went away while being looked at: nothing to remember.
    if (client != 0 && m_connection.errorCount() == errorsBefore)
        m_topLevels[focus] = client;
    return client;
}

bool XWindowSystem::hasWmState(Window window) {
    Property state;
    m_connection.countRoundTrip();
    return readProperty(m_connection.display(), window, m_atoms[WmState], AnyPropertyType, 0, state);
}

Window XWindowSystem::topLevelClient(Window window) {
    Display* display = m_connection.display();
    const Window root = m_connection.root();
    if (window == None || window == root)
        return 0;
    Window current = window;
    for (int depth = 0; depth < kMaxWalkDepth; ++depth) {
        if (hasWmState(current))
            return current;
        Window rootReturn = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        m_connection.countRoundTrip();
        if (!XQueryTree(display, current, &rootReturn, &parent, &children, &count))
            return 0;
        if (children != nullptr)
            XFree(children);
        if (parent == root || parent == None) {
            // `current` is the top-level window, a frame when a window manager reparented the client.
            const Window client = clientBelow(current, 3);
            return client != 0 ? client : current;
        }
        current = parent;
    }
    return 0;
}

// The first window with WM_STATE below `window`, level by level, at most `depth` levels down.
Window XWindowSystem::clientBelow(Window window, int depth) {
    std::vector<Window> level{window};
    for (int d = 0; d < depth && !level.empty(); ++d) {
        std::vector<Window> below;
        for (Window parent : level) {
            Window rootReturn = 0, parentReturn = 0;
            Window* children = nullptr;
            unsigned int count = 0;
            m_connection.countRoundTrip();
            if (!XQueryTree(m_connection.display(), parent, &rootReturn, &parentReturn, &children, &count))
                continue;
            below.insert(below.end(), children, children + count);
            if (children != nullptr)
                XFree(children);
        }
        for (Window child : below) {
            if (hasWmState(child))
                return child;
        }
        level.swap(below);
    }
    return 0;
}

std::string XWindowSystem::processExecutableName(uint32_t pid) {
    if (pid == 0)
        return {};
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    if (n <= 0)
        return {};
    std::string path(target, static_cast<std::size_t>(n));
    // A program replaced on disk while it runs (an update) still names its old file.
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.size() > kDeleted.size() && path.compare(path.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0)
        path.resize(path.size() - kDeleted.size());
    return path.substr(path.find_last_of('/') + 1);
}

bool XWindowSystem::processRunning(uint32_t pid) {
    if (pid == 0 || pid > static_cast<uint32_t>(INT_MAX))
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool XWindowSystem::waylandDesktop(const char* waylandDisplay, const char* sessionType) {
    return (waylandDisplay != nullptr && *waylandDisplay != '\0') ||
           (sessionType != nullptr && std::strcmp(sessionType, "wayland") == 0);
}

uint32_t XWindowSystem::windowProcessId(WindowHandle handle) {
    m_connection.processEvents();
    const auto window = static_cast<Window>(handle);
    if (window == None)
        return 0;
    auto cached = m_pids.find(window);
    if (cached != m_pids.end())
        return cached->second;
    const std::uint64_t errorsBefore = m_connection.errorCount();
    watch(window, StructureNotifyMask);
    const uint32_t pid = queryProcessId(window);
    if (pid != 0 && m_connection.errorCount() == errorsBefore)
        m_pids[window] = pid;
    return pid;
}

uint32_t XWindowSystem::queryProcessId(Window window) {
    Display* display = m_connection.display();
    uint32_t pid = 0;
    if (m_hasXRes) {
        XResClientIdSpec spec{window, XRES_CLIENT_ID_PID_MASK};
        long count = 0;
        XResClientIdValue* ids = nullptr;
        m_connection.countRoundTrip();
        if (XResQueryClientIds(display, 1, &spec, &count, &ids) == Success) {
            for (long i = 0; i < count && pid == 0; ++i) {
                if (XResGetClientIdType(&ids[i]) == XRES_CLIENT_ID_PID) {
                    const pid_t found = XResGetClientPid(&ids[i]);
                    pid = found > 0 ? static_cast<uint32_t>(found) : 0;
                }
            }
            XResClientIdsDestroy(count, ids);
        }
    }
    if (pid == 0) {
        // The client's own claim: only when the server cannot tell (a remote client, say).
        Property claimed;
        m_connection.countRoundTrip();
        if (readProperty(display, window, m_atoms[NetWmPid], XA_CARDINAL, 1, claimed) && claimed.format == 32 &&
            claimed.items == 1)
            pid = static_cast<uint32_t>(*reinterpret_cast<const long*>(claimed.bytes.data()));
    }
    return pid;
}

bool XWindowSystem::readWindowList(Window window, Atom property, std::vector<Window>& windows) {
    Property list;
    m_connection.countRoundTrip();
    if (!readProperty(m_connection.display(), window, property, XA_WINDOW, 1 << 16, list) || list.format != 32)
        return false;
    const auto* values = reinterpret_cast<const long*>(list.bytes.data());
    windows.assign(values, values + list.items);
    return true;
}

void XWindowSystem::enumWindows(const std::function<void(WindowHandle)>& visit) {
    m_connection.processEvents();
    Display* display = m_connection.display();

    std::vector<Window> clients;
    if (!readWindowList(m_connection.root(), m_atoms[NetClientListStacking], clients)) {
        Window rootReturn = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        m_connection.countRoundTrip();
        if (XQueryTree(display, m_connection.root(), &rootReturn, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count; ++i) {
                const Window child = children[i];
                Window client = hasWmState(child) ? child : clientBelow(child, 3);
                if (client == 0) {
                    // Without a window manager no window carries WM_STATE: then the top-level windows
                    // that are not popups (menus, tooltips) are the clients themselves.
                    XWindowAttributes attributes;
                    m_connection.countRoundTrip();
                    if (XGetWindowAttributes(display, child, &attributes) && !attributes.override_redirect &&
                        attributes.c_class == InputOutput)
                        client = child;
                }
                if (client != 0)
                    clients.push_back(client);
            }
            if (children != nullptr)
                XFree(children);
        }
    }
    // Both lists run bottom to top; the window in front comes first here.
    std::reverse(clients.begin(), clients.end());
    for (Window window : clients) {
        if (listedWindowThere(window)) // skips windows that are gone
            visit(window);
    }
}

bool XWindowSystem::listedWindowThere(Window window) {
    auto known = m_known.find(window);
    if (known != m_known.end() && known->second.viewableKnown)
        return true;
    // Watched first, so that whatever changes after the read below is announced.
    const std::uint64_t errorsBefore = m_connection.errorCount();
    watch(window, StructureNotifyMask | PropertyChangeMask);
    XWindowAttributes attributes;
    m_connection.countRoundTrip();
    const bool there = XGetWindowAttributes(m_connection.display(), window, &attributes) != 0 &&
                       m_connection.errorCount() == errorsBefore;
    if (!there) {
        m_known.erase(window);
        m_masks.erase(window);
        return false;
    }
    Known& record = m_known[window];
    record.viewableKnown = true;
    record.viewable = attributes.map_state == IsViewable;
    return true;
}

bool XWindowSystem::isWindowVisible(WindowHandle window) {
    if (window == 0)
        return false;
    m_connection.processEvents();
    if (auto known = m_known.find(static_cast<Window>(window)); known != m_known.end() && known->second.viewableKnown)
        return known->second.viewable;
    XWindowAttributes attributes;
    m_connection.countRoundTrip();
    return XGetWindowAttributes(m_connection.display(), static_cast<Window>(window), &attributes) &&
           attributes.map_state == IsViewable;
}

std::string XWindowSystem::readTitle(Window window) {
    Display* display = m_connection.display();
    Property name;
    m_connection.countRoundTrip();
    if (readProperty(display, window, m_atoms[NetWmName], m_atoms[Utf8String], kTitleLongs, name) && name.format == 8 &&
        !name.bytes.empty())
        return {name.bytes.begin(), name.bytes.end()};

    Property legacy;
    m_connection.countRoundTrip();
    if (!readProperty(display, window, XA_WM_NAME, AnyPropertyType, kTitleLongs, legacy) || legacy.format != 8 ||
        legacy.bytes.empty())
        return {};
    if (legacy.type == XA_STRING)
        return latin1ToUtf8(legacy.bytes.data(), legacy.bytes.size());
    if (legacy.type == m_atoms[Utf8String])
        return {legacy.bytes.begin(), legacy.bytes.end()};
    // Compound text and other encodings: Xlib converts them.
    XTextProperty text{legacy.bytes.data(), legacy.type, legacy.format, legacy.bytes.size()};
    char** list = nullptr;
    int count = 0;
    std::string out;
    if (Xutf8TextPropertyToTextList(display, &text, &list, &count) >= Success && list != nullptr) {
        for (int i = 0; i < count; ++i)
            out += list[i];
        XFreeStringList(list);
    }
    return out;
}

std::string XWindowSystem::windowText(WindowHandle window, int maxChars) {
    if (window == 0 || maxChars <= 1)
        return {};
    m_connection.processEvents();
    const auto known = m_known.find(static_cast<Window>(window));
    // Only a listed window, watched for title changes, keeps its title.
    if (known == m_known.end())
        return cutUtf8(readTitle(static_cast<Window>(window)), maxChars);
    if (!known->second.titleKnown) {
        known->second.title = readTitle(static_cast<Window>(window));
        known->second.titleKnown = true;
    }
    return cutUtf8(known->second.title, maxChars);
}

bool XWindowSystem::setWindowText(WindowHandle handle, const std::string& title) {
    if (handle == 0)
        return false;
    Display* display = m_connection.display();
    const auto window = static_cast<Window>(handle);
    XChangeProperty(display, window, m_atoms[NetWmName], m_atoms[Utf8String], 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    // WM_NAME as Latin-1 when the title allows it, else compound text, for clients that read only it.
    char* list[1] = {const_cast<char*>(title.c_str())};
    XTextProperty text{};
    if (Xutf8TextListToTextProperty(display, list, 1, XStdICCTextStyle, &text) >= Success) {
        XSetWMName(display, window, &text);
        XFree(text.value);
    } else {
        XChangeProperty(display, window, XA_WM_NAME, m_atoms[Utf8String], 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    }
    // A window that vanished made the changes fail quietly; this answer tells whether it is still there.
    XWindowAttributes attributes;
    m_connection.countRoundTrip();
    const bool there = XGetWindowAttributes(display, window, &attributes) != 0;
    // The title read next is the one set here, before the change is announced back.
    if (auto known = m_known.find(window); there && known != m_known.end()) {
        known->second.title = title;
        known->second.titleKnown = true;
    }
    return there;
}

} // namespace vornik

namespace vornik {

std::vector<std::string> XWindowSystem::windowProgramNames(WindowHandle window) {
    if (window == 0)
        return {};
    XClassHint hint{};
    m_connection.countRoundTrip();
    if (!XGetClassHint(m_connection.display(), static_cast<Window>(window), &hint))
        return {};
    std::vector<std::string> names;
    if (hint.res_class != nullptr && *hint.res_class != '\0')
        names.emplace_back(hint.res_class);
    if (hint.res_name != nullptr && *hint.res_name != '\0' && (names.empty() || names[0] != hint.res_name))
        names.emplace_back(hint.res_name);
    if (hint.res_class != nullptr)
        XFree(hint.res_class);
    if (hint.res_name != nullptr)
        XFree(hint.res_name);
    return names;
}

} // namespace vornik
