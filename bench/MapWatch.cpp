// bench/AppBench.sh's witness of the program's window: waits for the first top-level window mapped on
// the display after it has started, and prints the wall-clock time of its MapNotify (ms since the
// epoch), as `mapped at N`. Prints `watching` once it listens, so the program is started after that.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 1;
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    std::printf("watching\n");
    std::fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect) {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::printf("mapped at %lld\n",
                        static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
            std::fflush(stdout);
            break;
        }
    }
    XCloseDisplay(display);
    return 0;
}
