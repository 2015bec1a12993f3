#include "XTestOutput.h"

#include <cstdlib>

#include <X11/extensions/XTest.h>

namespace vornik {

XTestOutput::XTestOutput(XConnection& connection, XKeyboard& keyboard)
    : m_connection(connection), m_keyboard(keyboard) {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    m_hasXTest = XTestQueryExtension(m_connection.display(), &eventBase, &errorBase, &major, &minor) != 0;
    m_connection.countRoundTrip();
}

std::string XTestOutput::unavailableReason() const {
    return m_hasXTest ? std::string() : std::string("the X server has no XTEST extension");
}

// Holds every other client's requests while it lives; the requests sent meanwhile go out with the
// ungrab.
class XTestOutput::ServerGrab {
public:
    ServerGrab(Display* display, bool grab) : m_display(grab ? display : nullptr) {
        if (m_display != nullptr)
            XGrabServer(m_display);
    }
    ~ServerGrab() {
        if (m_display != nullptr) {
            XUngrabServer(m_display);
            XFlush(m_display);
        }
    }
    ServerGrab(const ServerGrab&) = delete;
    ServerGrab& operator=(const ServerGrab&) = delete;

private:
    Display* m_display;
};

bool XTestOutput::guardAllows() {
    return !m_guard || m_guard();
}

// Under the grab. Nothing here may wait for the server beyond the one sync (no tree walk, no property
// read, no callback into the engine): every other client is held meanwhile, and a process stopped
// inside the grab (a debugger, SIGSTOP) would freeze the whole desktop. The guard has already
// answered, outside the grab; this only asks whether anything announced since may have changed that
// answer.
bool XTestOutput::frontUnchangedUnderGrab() {
    if (!m_guard)
        return true;
    // The server sends a focus change's events before the answer to a later request: once the sync
    // returns, they are all in, and while the grab holds, no new one can come.
    XSync(m_connection.display(), False);
    m_connection.countRoundTrip();
    m_connection.processEvents();
    return !m_frontUnchanged || m_frontUnchanged();
}

void XTestOutput::sendKey(KeyCode code, bool down) {
    Display* display = m_connection.display();
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
    XFlush(display);
    m_keyboard.noteSent(code, down);
}

std::optional<uint32_t> XTestOutput::keyDown(uint8_t vk) {
    if (!m_hasXTest)
        return std::nullopt;
    const KeyCode code = m_keyboard.keycodeToSend(vk);
    if (code == 0 || !guardAllows())
        return std::nullopt;
    const ServerGrab grab(m_connection.display(), static_cast<bool>(m_guard));
    if (!frontUnchangedUnderGrab())
        return std::nullopt;
    sendKey(code, true);
    return code;
}

void XTestOutput::keyUp(const SentKey& key) {
    if (!m_hasXTest || key.native == 0 || key.native > 255)
        return;
    // What has come back of earlier events is counted first, as for a key-down (keycodeToSend), so the
    // state's count of events still on their way stays right.
    m_connection.processEvents();
    sendKey(static_cast<KeyCode>(key.native), false);
}

unsigned XTestOutput::buttonNumber(PointerButton button) {
    switch (button) {
    case PointerButton::Left:
        return 1;
    case PointerButton::Middle:
        return 2;
    case PointerButton::Right:
        return 3;
    case PointerButton::Back:
        return 8;
    case PointerButton::Forward:
        return 9;
    }
    return 1;
}

void XTestOutput::click(unsigned button, bool down) {
    XTestFakeButtonEvent(m_connection.display(), button, down ? True : False, CurrentTime);
}

bool XTestOutput::pointerButton(PointerButton button, bool down) {
    if (!m_hasXTest)
        return false;
    if (down && !guardAllows())
        return false;
    const ServerGrab grab(m_connection.display(), down && m_guard);
    if (down && !frontUnchangedUnderGrab())
        return false;
    click(buttonNumber(button), down);
    XFlush(m_connection.display());
    return true;
}

void XTestOutput::pointerMotion(int dx, int dy) {
    if (!m_hasXTest || (dx == 0 && dy == 0))
        return;
    // The server accelerates relative XTest motion (twice as far past a few pixels, by default), so
    // the move goes to an absolute position: where the pointer is now, the user's mouse included.
    Display* display = m_connection.display();
    Window root = 0, child = 0;
    int x = 0, y = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    m_connection.countRoundTrip();
    if (!XQueryPointer(display, m_connection.root(), &root, &child, &x, &y, &winX, &winY, &mask))
        return; // on another screen: nothing to move on this one
    XTestFakeMotionEvent(display, -1, x + dx, y + dy, CurrentTime);
    XFlush(display);
}

void XTestOutput::wheel(int steps, bool horizontal) {
    if (!m_hasXTest || steps == 0)
        return;
    // X has no wheel: a notch is a click of button 4 (up), 5 (down), 6 (left) or 7 (right).
    const unsigned button = horizontal ? (steps > 0 ? 7 : 6) : (steps > 0 ? 4 : 5);
    if (!guardAllows())
        return;
    const ServerGrab grab(m_connection.display(), static_cast<bool>(m_guard));
    if (!frontUnchangedUnderGrab())
        return;
    for (int i = 0; i < std::abs(steps); ++i) {
        click(button, true);
        click(button, false);
    }
    XFlush(m_connection.display());
}

void XTestOutput::flush() {
    // On the way out: the events have reached the server when this returns.
    XSync(m_connection.display(), False);
    m_connection.countRoundTrip();
}

} // namespace vornik
