#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace vornik {

// The backend's own connection to the X server, shared by the keyboard and the window system.
// Main thread only.
//
// X errors on this connection (a window that vanished between two requests, typically) are
// recorded and never end the program; errors on other connections go to the handler that was
// installed before. Code that needs to know whether a request failed looks at the status that
// Xlib's synchronous calls return, so it stays right even if another library replaces the handler.
class XConnection {
public:
    // Opens `displayName`, or $DISPLAY when null; throws std::runtime_error when that fails.
    explicit XConnection(const char* displayName = nullptr);
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    Display* display() const { return m_display; }
    Window root() const { return m_root; }

    // Every request the backend makes that waits for the server's answer is counted here.
    void countRoundTrip() { ++m_roundTrips; }
    uint64_t roundTrips() const { return m_roundTrips; }

    uint64_t errorCount() const { return m_errors; }
    int lastErrorCode() const { return m_lastErrorCode; }

    // Handles the events already received, without waiting for more; every listener sees each one.
    // Returns how many of them a listener called a change (one a tick acts on).
    int processEvents();
    // The connection's socket, readable when events (or replies) arrive.
    int descriptor() const { return ConnectionNumber(m_display); }
    // `listener` sees every event and answers whether it was a change a tick acts on.
    void addListener(std::function<bool(const XEvent&)> listener) { m_listeners.push_back(std::move(listener)); }

private:
    static int onError(Display* display, XErrorEvent* error);

    Display* m_display = nullptr;
    Window m_root = 0;
    uint64_t m_roundTrips = 0;
    uint64_t m_errors = 0;
    int m_lastErrorCode = 0;
    std::vector<std::function<bool(const XEvent&)>> m_listeners;
};

} // namespace vornik
