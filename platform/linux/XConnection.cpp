#include "XConnection.h"

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <string>

namespace vornik {

namespace {
// The error handler is process-wide in Xlib, so the open connections are found by their Display.
std::mutex g_mutex;
std::vector<XConnection*> g_connections;
XErrorHandler g_previousHandler = nullptr;
} // namespace

XConnection::XConnection(const char* displayName) {
    m_display = XOpenDisplay(displayName);
    if (m_display == nullptr) {
        const char* name = displayName != nullptr ? displayName : XDisplayName(nullptr);
        throw std::runtime_error(std::string("cannot open X display \"") + (name ? name : "") + "\"");
    }
    m_root = DefaultRootWindow(m_display);
    std::lock_guard lock(g_mutex);
    if (g_connections.empty())
        g_previousHandler = XSetErrorHandler(&XConnection::onError);
    g_connections.push_back(this);
}

XConnection::~XConnection() {
    {
        std::lock_guard lock(g_mutex);
        g_connections.erase(std::remove(g_connections.begin(), g_connections.end(), this), g_connections.end());
        if (g_connections.empty()) {
            // Put the earlier handler back only if nobody replaced ours in the meantime.
            XErrorHandler current = XSetErrorHandler(g_previousHandler);
            if (current != &XConnection::onError)
                XSetErrorHandler(current);
            g_previousHandler = nullptr;
        }
    }
    XCloseDisplay(m_display);
}

int XConnection::onError(Display* display, XErrorEvent* error) {
    XErrorHandler previous = nullptr;
    {
        std::lock_guard lock(g_mutex);
        for (XConnection* connection : g_connections) {
            if (connection->m_display == display) {
                ++connection->m_errors;
                connection->m_lastErrorCode = error->error_code;
                return 0;
            }
        }
        previous = g_previousHandler;
    }
    return previous != nullptr ? previous(display, error) : 0;
}

int XConnection::processEvents() {
    {
        // Another library (the window toolkit's own Xlib connection) may have put in its handler
        // since: take the place back and hand other connections' errors on to it.
        std::lock_guard lock(g_mutex);
        const XErrorHandler current = XSetErrorHandler(&XConnection::onError);
        if (current != &XConnection::onError)
            g_previousHandler = current;
    }
    // XPending flushes and reads what has arrived without blocking: no round trip.
    int changes = 0;
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        bool change = false;
        for (const auto& listener : m_listeners)
            change = listener(event) || change;
        changes += change ? 1 : 0;
    }
    return changes;
}

} // namespace vornik
