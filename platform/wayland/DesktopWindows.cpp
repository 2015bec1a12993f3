#include "DesktopWindows.h"

#include "SwayTree.h"
#include "Utf8Text.h"

#include <algorithm>
#include <set>
#include <sys/epoll.h>
#include <unistd.h>

namespace vornik {

namespace {
constexpr int kTitleChars = 1024;
} // namespace

DesktopWindows::DesktopWindows(WindowSystem& x, ToplevelSource& source, std::string swaySocket)
    : m_x(x), m_source(source), m_swaySocket(std::move(swaySocket)) {
    m_poll = ::epoll_create1(EPOLL_CLOEXEC);
    m_waylandFd = m_source.descriptor();
    for (const int fd : {m_x.changeDescriptor(), m_waylandFd}) {
        if (fd < 0)
            continue;
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = fd;
        ::epoll_ctl(m_poll, EPOLL_CTL_ADD, fd, &event);
    }
}

DesktopWindows::~DesktopWindows() {
    if (m_poll >= 0)
        ::close(m_poll);
}

bool DesktopWindows::takeChanges() {
    const bool x = m_x.takeChanges();
    const bool wayland = m_source.dispatch();
    if (m_source.broken() && m_waylandFd >= 0) {
        // A broken connection stays readable: it would wake the event loop for ever.
        ::epoll_ctl(m_poll, EPOLL_CTL_DEL, m_waylandFd, nullptr);
        m_waylandFd = -1;
    }
    return x || wayland;
}

void DesktopWindows::classify() {
    std::vector<Toplevel*> unknown;
    for (Toplevel* toplevel : m_source.toplevels()) {
        if (toplevel->origin == Toplevel::Origin::Unknown)
            unknown.push_back(toplevel);
    }
    if (unknown.empty())
        return;
    if (!m_swaySocket.empty()) {
        std::vector<SwayView> views = swayViews(m_swaySocket);
        for (Toplevel* toplevel : unknown) {
            const auto view = std::find_if(views.begin(), views.end(), [toplevel](const SwayView& v) {
                return v.title == toplevel->title && (v.appId == toplevel->appId || toplevel->appId.empty());
            });
            if (view == views.end())
                continue;
            toplevel->origin = view->xwayland ? Toplevel::Origin::X : Toplevel::Origin::Native;
            toplevel->pid = view->pid;
            views.erase(view); // two windows alike: one view each
        }
    }
    // Without the compositor's word: a toplevel titled as an X window is that window.
    std::set<std::string> xTitles;
    bool xTitlesRead = false;
    for (Toplevel* toplevel : unknown) {
        if (toplevel->origin != Toplevel::Origin::Unknown)
            continue;
        if (!xTitlesRead) {
            m_x.enumWindows([&](WindowHandle window) { xTitles.insert(m_x.windowText(window, kTitleChars)); });
            xTitlesRead = true;
        }
        toplevel->origin = !toplevel->title.empty() && xTitles.count(toplevel->title) != 0 ? Toplevel::Origin::X
                                                                                              : Toplevel::Origin::Native;
        toplevel->guessed = true;
    }
}

WindowHandle DesktopWindows::foregroundWindow() {
    m_source.dispatch();
    if (!m_source.hasToplevels()) {
        m_front = m_x.foregroundWindow();
        return m_front;
    }
    const Toplevel* front = m_source.activated();
    if (front == nullptr) {
        // The compositor has nothing activated: nothing is in front, whatever XWayland still says.
        m_front = 0;
        return m_front;
    }
    if (front->origin == Toplevel::Origin::Unknown) {
        classify();
        front = m_source.activated();
    }
    if (front->origin == Toplevel::Origin::Native && front->guessed) {
        // Taken for native from the titles alone, perhaps before its X window was listed: X naming an
        // active window of that title says otherwise (it names none while a native window is in front).
        const WindowHandle x = m_x.foregroundWindow();
        if (x != 0 && m_x.windowText(x, kTitleChars) == front->title)
            m_source.activated()->origin = Toplevel::Origin::X;
    }
    m_front = front->origin == Toplevel::Origin::X ? m_x.foregroundWindow() : front->handle;
    return m_front;
}

Toplevel* DesktopWindows::nativeToplevel(WindowHandle window) {
    if (!native(window))
        return nullptr;
    m_source.dispatch();
    return m_source.find(window);
}

uint32_t DesktopWindows::appIdOwner(const std::string& appId) {
    const auto known = std::find(m_appIds.begin(), m_appIds.end(), appId);
    if (known != m_appIds.end())
        return kAppIdOwners + static_cast<uint32_t>(known - m_appIds.begin());
    m_appIds.push_back(appId);
    return kAppIdOwners + static_cast<uint32_t>(m_appIds.size() - 1);
}

uint32_t DesktopWindows::windowProcessId(WindowHandle window) {
    if (!native(window))
        return m_x.windowProcessId(window);
    Toplevel* toplevel = nativeToplevel(window);
    if (toplevel == nullptr)
        return 0;
    if (toplevel->origin == Toplevel::Origin::Unknown)
        classify();
    return toplevel->pid != 0 ? toplevel->pid : appIdOwner(toplevel->appId);
}

void DesktopWindows::enumWindows(const std::function<void(WindowHandle)>& visit) {
    m_x.enumWindows(visit);
    m_source.dispatch();
    classify();
    // The native windows after the X ones, the activated one first (the compositor tells no stacking).
    std::vector<Toplevel*> toplevels = m_source.toplevels();
    std::stable_partition(toplevels.begin(), toplevels.end(), [](const Toplevel* t) { return t->activated; });
    for (const Toplevel* toplevel : toplevels) {
        if (toplevel->origin == Toplevel::Origin::Native)
            visit(toplevel->handle);
    }
}

bool DesktopWindows::isWindowVisible(WindowHandle window) {
    if (!native(window))
        return m_x.isWindowVisible(window);
    const Toplevel* toplevel = nativeToplevel(window);
    return toplevel != nullptr && !toplevel->minimized;
}

std::string DesktopWindows::windowText(WindowHandle window, int maxChars) {
    if (!native(window))
        return m_x.windowText(window, maxChars);
    const Toplevel* toplevel = nativeToplevel(window);
    if (toplevel == nullptr)
        return {};
    if (toplevel->title.empty()) {
        const auto given = m_givenTitles.find(window);
        return given != m_givenTitles.end() ? cutUtf8(given->second, maxChars) : std::string();
    }
    return cutUtf8(toplevel->title, maxChars);
}

bool DesktopWindows::setWindowText(WindowHandle window, const std::string& title) {
    if (!native(window))
        return m_x.setWindowText(window, title);
    // Another program's Wayland window cannot be renamed: the name is kept here, for the list.
    if (nativeToplevel(window) == nullptr)
        return false;
    m_givenTitles[window] = title;
    return true;
}

std::string DesktopWindows::processExecutableName(uint32_t pid) {
    if (pid < kAppIdOwners)
        return m_x.processExecutableName(pid);
    const uint32_t index = pid - kAppIdOwners;
    return index < m_appIds.size() ? m_appIds[index] : std::string();
}

bool DesktopWindows::processRunning(uint32_t pid) {
    if (pid < kAppIdOwners)
        return m_x.processRunning(pid);
    m_source.dispatch();
    const std::string name = processExecutableName(pid);
    const auto toplevels = m_source.toplevels();
    return std::any_of(toplevels.begin(), toplevels.end(), [&](const Toplevel* t) {
        return t->appId == name && t->pid == 0 && t->origin == Toplevel::Origin::Native;
    });
}

std::string DesktopWindows::unseenReason() {
    return m_source.unseenReason();
}

std::vector<std::string> DesktopWindows::windowProgramNames(WindowHandle window) {
    if (!native(window))
        return m_x.windowProgramNames(window);
    const Toplevel* toplevel = nativeToplevel(window);
    if (toplevel == nullptr || toplevel->appId.empty())
        return {};
    return {toplevel->appId};
}

} // namespace vornik

namespace vornik {

std::vector<std::string> DesktopWindows::processProgramNames(uint32_t pid) {
    std::vector<std::string> names;
    if (pid == 0 || pid >= kAppIdOwners)
        return names; // an owner of its own is its application id already
    m_source.dispatch();
    classify();
    for (const Toplevel* toplevel : m_source.toplevels()) {
        if (toplevel->pid == pid && toplevel->origin == Toplevel::Origin::Native && !toplevel->appId.empty() &&
            std::find(names.begin(), names.end(), toplevel->appId) == names.end())
            names.push_back(toplevel->appId);
    }
    return names;
}

} // namespace vornik
