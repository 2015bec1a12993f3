// A tiny X client for the tests: one window that prints every KeyPress and KeyRelease it receives, and
// every pointer button pressed or released in it (as the key "ButtonN", keycode N).
//   key_recorder [--title TEXT] [--untitled] [--unmapped] [--focus] [--claim-pid N] [--size WxH]
//                [--undecorated]
// Prints "ready 0x<window id>" once the window is up, then one line per key event:
//   press|release <keysym name> <keycode> <monotonic time in microseconds>
// Ends when its standard input closes.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
long long nowMicroseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}
} // namespace

int main(int argc, char** argv) {
    std::string title = "key recorder";
    bool untitled = false, unmapped = false, focus = false, undecorated = false;
    long claimedPid = 0;
    unsigned width = 200, height = 100;
    bool sized = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--title" && i + 1 < argc)
            title = argv[++i];
        else if (arg == "--untitled")
            untitled = true;
        else if (arg == "--unmapped")
            unmapped = true;
        else if (arg == "--focus")
            focus = true;
        else if (arg == "--claim-pid" && i + 1 < argc)
            claimedPid = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--size" && i + 1 < argc)
            sized = std::sscanf(argv[++i], "%ux%u", &width, &height) == 2;
        else if (arg == "--undecorated")
            undecorated = true;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "key_recorder: no display\n");
        return 1;
    }
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 10, 10, width, height, 0, 0, 0);
    XSelectInput(display, window, KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
    if (!untitled) {
        XStoreName(display, window, title.c_str());
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                        XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    }
    if (sized) {
        // Where the user asked for it: at the top left, so a window of the screen's size covers it.
        XSizeHints hints{};
        hints.flags = USPosition | USSize;
        hints.width = static_cast<int>(width);
        hints.height = static_cast<int>(height);
        XSetWMNormalHints(display, window, &hints);
        XMoveWindow(display, window, 0, 0);
    }
    if (undecorated) {
        // Motif's hints, which window managers read: no title bar or border for a click or a wheel
        // notch to land on.
        const long hints[5] = {2 /* decorations given */, 0, 0 /* none */, 0, 0};
        const Atom motif = XInternAtom(display, "_MOTIF_WM_HINTS", False);
        XChangeProperty(display, window, motif, motif, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(hints), 5);
    }
    if (claimedPid != 0)
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&claimedPid), 1);
    if (!unmapped) {
        XMapWindow(display, window);
        XEvent event;
        do
            XNextEvent(display, &event);
        while (event.type != MapNotify);
        if (focus)
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
    }
    XSync(display, False);
    std::printf("ready 0x%lx\n", window);
    std::fflush(stdout);

    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ButtonPress || event.type == ButtonRelease) {
                std::printf("%s Button%u %u %lld\n", event.type == ButtonPress ? "press" : "release",
                            event.xbutton.button, event.xbutton.button, nowMicroseconds());
                std::fflush(stdout);
                continue;
            }
            if (event.type != KeyPress && event.type != KeyRelease)
                continue;
            const long long time = nowMicroseconds();
            const KeySym sym = XLookupKeysym(&event.xkey, 0);
            const char* name = XKeysymToString(sym);
            std::printf("%s %s %u %lld\n", event.type == KeyPress ? "press" : "release", name ? name : "NoSymbol",
                        event.xkey.keycode, time);
            std::fflush(stdout);
        }
        if (poll(fds, 2, -1) < 0)
            break;
        if (fds[1].revents != 0) {
            char buffer[64];
            if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
                break;
        }
    }
    XCloseDisplay(display);
    return 0;
}
