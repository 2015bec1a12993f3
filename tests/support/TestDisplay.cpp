#include "TestDisplay.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>

namespace vornik::test {

TestDisplay::TestDisplay() {
    m_display = XOpenDisplay(nullptr);
    if (m_display == nullptr)
        throw std::runtime_error("no X display for the test");
    // Held test keys must not repeat: each test counts the exact events.
    XAutoRepeatOff(m_display);
    sync();
}

TestDisplay::~TestDisplay() {
    XCloseDisplay(m_display);
}

void TestDisplay::focus(Window window) const {
    XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
    sync();
}

Window TestDisplay::createWindow(const std::string& title, bool map, Window parent, bool overrideRedirect) const {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = overrideRedirect ? True : False;
    const Window window = XCreateWindow(m_display, parent != 0 ? parent : root(), 0, 0, 100, 80, 0, CopyFromParent,
                                        InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
    if (!title.empty())
        XStoreName(m_display, window, title.c_str());
    if (map)
        XMapWindow(m_display, window);
    sync();
    return window;
}

void TestDisplay::destroyWindow(Window window) const {
    XDestroyWindow(m_display, window);
    sync();
}

void TestDisplay::setWmState(Window window) const {
    const long state[2] = {1 /* NormalState */, 0};
    const Atom wmState = atom("WM_STATE");
    XChangeProperty(m_display, window, wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(state), 2);
    sync();
}

void TestDisplay::setWindowList(Atom property, const std::vector<Window>& windows) const {
    std::vector<long> values(windows.begin(), windows.end());
    XChangeProperty(m_display, root(), property, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()), static_cast<int>(values.size()));
    sync();
}

void TestDisplay::setActiveWindow(Window window) const {
    setWindowList(atom("_NET_ACTIVE_WINDOW"), {window});
}

void TestDisplay::pressKey(unsigned long keysym) const {
    XTestFakeKeyEvent(m_display, keycode(keysym), True, CurrentTime);
    sync();
}

void TestDisplay::releaseKey(unsigned long keysym) const {
    XTestFakeKeyEvent(m_display, keycode(keysym), False, CurrentTime);
    sync();
}

void TestDisplay::click(Window window, int x, int y, unsigned button) const {
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(m_display, window, root(), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(m_display, -1, rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(m_display, button, True, CurrentTime);
    XTestFakeButtonEvent(m_display, button, False, CurrentTime);
    sync();
}

bool TestDisplay::viewable(Window window) const {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(m_display, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

std::string TestDisplay::title(Window window) const {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(m_display, window, atom("_NET_WM_NAME"), 0, 1024, False, atom("UTF8_STRING"), &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
        text.assign(reinterpret_cast<const char*>(data), count);
    }
    if (data != nullptr)
        XFree(data);
    return text;
}

bool TestDisplay::keyDown(KeyCode code) const {
    char keys[32];
    XQueryKeymap(m_display, keys);
    return (keys[code / 8] >> (code % 8)) & 1;
}

std::vector<int> TestDisplay::keysDown() const {
    char keys[32];
    XQueryKeymap(m_display, keys);
    std::vector<int> down;
    for (int code = 0; code < 256; ++code) {
        if ((keys[code / 8] >> (code % 8)) & 1)
            down.push_back(code);
    }
    return down;
}

} // namespace vornik::test
