#pragma once

// The test's own X connection: it plays the user and the window manager, and checks the server's
// key state independently of the backend under test.

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace vornik::test {

class TestDisplay {
public:
    TestDisplay();
    ~TestDisplay();
    TestDisplay(const TestDisplay&) = delete;
    TestDisplay& operator=(const TestDisplay&) = delete;

    Display* display() const { return m_display; }
    Window root() const { return DefaultRootWindow(m_display); }
    Atom atom(const char* name) const { return XInternAtom(m_display, name, False); }
    void sync() const { XSync(m_display, False); }

    // Gives the keyboard focus to `window`, as a window manager would on a click.
    void focus(Window window) const;
    // A plain top-level (or child) window of this connection; mapped unless told otherwise.
    Window createWindow(const std::string& title = {}, bool map = true, Window parent = 0,
                        bool overrideRedirect = false) const;
    void destroyWindow(Window window) const;
    // Sets WM_STATE as a window manager does on the clients it manages.
    void setWmState(Window window) const;
    void setWindowList(Atom property, const std::vector<Window>& windows) const;
    void setActiveWindow(Window window) const;

    // The user's keyboard: XTest key events from this connection.
    void pressKey(unsigned long keysym) const;
    void releaseKey(unsigned long keysym) const;
    KeyCode keycode(unsigned long keysym) const { return XKeysymToKeycode(m_display, keysym); }
    // The user's mouse: moves the pointer to (x, y) inside `window` and presses and releases `button`.
    void click(Window window, int x, int y, unsigned button) const;
    // Whether `window` is mapped and every ancestor too; the title the window system shows
    // (_NET_WM_NAME, UTF-8).
    bool viewable(Window window) const;
    std::string title(Window window) const;
    // The server's key state, asked over this connection.
    bool keyDown(KeyCode code) const;
    std::vector<int> keysDown() const;

private:
    Display* m_display = nullptr;
};

} // namespace vornik::test
