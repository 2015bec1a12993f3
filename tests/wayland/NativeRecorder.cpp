// A tiny Wayland-native client for the tests, the native counterpart of key_recorder: one xdg-shell
// window that prints every key and pointer event it receives.
//   native_recorder [--title TEXT] [--app-id ID] [--size WxH]
// Prints "ready" once the window is shown, then one line per event, each ending with the
// CLOCK_MONOTONIC time in microseconds at which the client received it:
//   press|release <keysym name> <keycode> <us> <sym>  keys (keycode: evdev code + 8, as XKB counts; the
//                                                     key's own keysym, then the one the modifiers make)
//   press|release Button<N> <N> <us>                   pointer buttons, numbered as X numbers them
//   motion <x> <y> <us>                                pointer position in the window (whole pixels)
//   wheel <vertical|horizontal> <notches> <us>         wheel notches, down or right positive
//   focus in|out <us>                                  the keyboard focus
// Ends when its standard input closes.

#include "xdg-shell-client-protocol.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <linux/input-event-codes.h>
#include <poll.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
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

struct Client {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    wl_seat* seat = nullptr;
    xdg_wm_base* wmBase = nullptr;
    wl_surface* surface = nullptr;
    xdg_surface* xdgSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    wl_buffer* buffer = nullptr;
    xkb_context* xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
    int width = 400, height = 300;
    int bufferWidth = 0, bufferHeight = 0;
    bool ready = false;
    double wheel[2] = {0, 0};
    int wheelDiscrete[2] = {0, 0};
    bool sawDiscrete[2] = {false, false};
};

void line(const char* format, ...) __attribute__((format(printf, 1, 2)));
void line(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);
}

// A grey buffer of the window's size, in shared memory.
void attachBuffer(Client& c) {
    if (c.buffer != nullptr && c.bufferWidth == c.width && c.bufferHeight == c.height)
        return;
    if (c.buffer != nullptr)
        wl_buffer_destroy(c.buffer);
    const int stride = c.width * 4;
    const int size = stride * c.height;
    const int fd = memfd_create("native-recorder", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0)
        std::exit(1);
    void* pixels = mmap(nullptr, static_cast<size_t>(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels != MAP_FAILED) {
        std::memset(pixels, 0x80, static_cast<size_t>(size));
        munmap(pixels, static_cast<size_t>(size));
    }
    wl_shm_pool* pool = wl_shm_create_pool(c.shm, fd, size);
    c.buffer = wl_shm_pool_create_buffer(pool, 0, c.width, c.height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    c.bufferWidth = c.width;
    c.bufferHeight = c.height;
}

// Keyboard.
void onKeymap(void* data, wl_keyboard*, uint32_t format, int fd, uint32_t size) {
    auto& c = *static_cast<Client*>(data);
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            xkb_keymap* keymap = xkb_keymap_new_from_string(c.xkb, static_cast<const char*>(text),
                                                            XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
            munmap(text, size);
            if (keymap != nullptr) {
                if (c.state != nullptr)
                    xkb_state_unref(c.state);
                if (c.keymap != nullptr)
                    xkb_keymap_unref(c.keymap);
                c.keymap = keymap;
                c.state = xkb_state_new(keymap);
            }
        }
    }
    close(fd);
}
void onEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {
    line("focus in %lld\n", nowMicroseconds());
}
void onLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {
    line("focus out %lld\n", nowMicroseconds());
}
void onKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
    const long long now = nowMicroseconds();
    auto& c = *static_cast<Client*>(data);
    char name[64] = "unknown";
    char effective[64] = "unknown";
    if (c.state != nullptr)
        xkb_keysym_get_name(xkb_state_key_get_one_sym(c.state, key + 8), effective, sizeof effective);
    if (c.keymap != nullptr) {
        // The key's own symbol, whatever modifiers are down (as key_recorder names a keycode).
        const xkb_keysym_t* syms = nullptr;
        if (xkb_keymap_key_get_syms_by_level(c.keymap, key + 8, 0, 0, &syms) > 0)
            xkb_keysym_get_name(syms[0], name, sizeof name);
    }
    line("%s %s %u %lld %s\n", state == WL_KEYBOARD_KEY_STATE_PRESSED ? "press" : "release", name, key + 8, now,
         effective);
}
void onModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched, uint32_t locked,
                 uint32_t group) {
    auto& c = *static_cast<Client*>(data);
    if (c.state != nullptr)
        xkb_state_update_mask(c.state, depressed, latched, locked, 0, 0, group);
}
void onRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener kKeyboard{onKeymap, onEnter, onLeave, onKey, onModifiers, onRepeatInfo};

// Pointer.
void onPointerEnter(void*, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
    line("motion %d %d %lld\n", wl_fixed_to_int(x), wl_fixed_to_int(y), nowMicroseconds());
}
void onPointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {}
void onMotion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
    line("motion %d %d %lld\n", wl_fixed_to_int(x), wl_fixed_to_int(y), nowMicroseconds());
}
void onButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
    int number = 0;
    switch (button) {
    case BTN_LEFT: number = 1; break;
    case BTN_MIDDLE: number = 2; break;
    case BTN_RIGHT: number = 3; break;
    case BTN_SIDE: number = 8; break;
    case BTN_EXTRA: number = 9; break;
    default: number = static_cast<int>(button); break;
    }
    line("%s Button%d %d %lld\n", state == WL_POINTER_BUTTON_STATE_PRESSED ? "press" : "release", number, number,
         nowMicroseconds());
}
void onAxis(void* data, wl_pointer*, uint32_t, uint32_t axis, wl_fixed_t value) {
    auto& c = *static_cast<Client*>(data);
    if (axis < 2)
        c.wheel[axis] += wl_fixed_to_double(value);
}
void onFrame(void* data, wl_pointer*) {
    auto& c = *static_cast<Client*>(data);
    for (int axis = 0; axis < 2; ++axis) {
        const int notches = c.sawDiscrete[axis] ? c.wheelDiscrete[axis]
                                                : static_cast<int>(std::lround(c.wheel[axis] / 15.0));
        if (notches != 0)
            line("wheel %s %d %lld\n", axis == 0 ? "vertical" : "horizontal", notches, nowMicroseconds());
        c.wheel[axis] = 0;
        c.wheelDiscrete[axis] = 0;
        c.sawDiscrete[axis] = false;
    }
}
void onAxisSource(void*, wl_pointer*, uint32_t) {}
void onAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void onAxisDiscrete(void* data, wl_pointer*, uint32_t axis, int32_t discrete) {
    auto& c = *static_cast<Client*>(data);
    if (axis < 2) {
        c.wheelDiscrete[axis] += discrete;
        c.sawDiscrete[axis] = true;
    }
}
const wl_pointer_listener kPointer{onPointerEnter, onPointerLeave, onMotion,     onButton,      onAxis,
                                   onFrame,        onAxisSource,   onAxisStop, onAxisDiscrete};

void onCapabilities(void* data, wl_seat* seat, uint32_t caps) {
    auto& c = *static_cast<Client*>(data);
    if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && c.keyboard == nullptr) {
        c.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(c.keyboard, &kKeyboard, &c);
    }
    if ((caps & WL_SEAT_CAPABILITY_POINTER) != 0 && c.pointer == nullptr) {
        c.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(c.pointer, &kPointer, &c);
    }
}
void onSeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener kSeat{onCapabilities, onSeatName};

void onPing(void*, xdg_wm_base* base, uint32_t serial) {
    xdg_wm_base_pong(base, serial);
}
const xdg_wm_base_listener kWmBase{onPing};

void onSurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial) {
    auto& c = *static_cast<Client*>(data);
    xdg_surface_ack_configure(surface, serial);
    attachBuffer(c);
    wl_surface_attach(c.surface, c.buffer, 0, 0);
    wl_surface_damage(c.surface, 0, 0, c.width, c.height);
    wl_surface_commit(c.surface);
    if (!c.ready) {
        c.ready = true;
        line("ready\n");
    }
}
const xdg_surface_listener kXdgSurface{onSurfaceConfigure};

void onToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
    auto& c = *static_cast<Client*>(data);
    if (width > 0 && height > 0) {
        c.width = width;
        c.height = height;
    }
}
void onToplevelClose(void*, xdg_toplevel*) {
    std::exit(0);
}
const xdg_toplevel_listener kToplevel{onToplevelConfigure, onToplevelClose};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    auto& c = *static_cast<Client*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0)
        c.compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    else if (std::strcmp(interface, wl_shm_interface.name) == 0)
        c.shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (std::strcmp(interface, wl_seat_interface.name) == 0 && c.seat == nullptr)
        c.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, version < 5 ? version : 5));
    else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0)
        c.wmBase = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
}
void onGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistry{onGlobal, onGlobalRemove};

} // namespace

int main(int argc, char** argv) {
    std::string title = "native recorder", appId = "vornik.native_recorder";
    Client c;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--title" && i + 1 < argc)
            title = argv[++i];
        else if (arg == "--app-id" && i + 1 < argc)
            appId = argv[++i];
        else if (arg == "--size" && i + 1 < argc)
            std::sscanf(argv[++i], "%dx%d", &c.width, &c.height);
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "native_recorder: no Wayland display\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistry, &c);
    wl_display_roundtrip(display);
    if (c.compositor == nullptr || c.shm == nullptr || c.wmBase == nullptr || c.seat == nullptr) {
        std::fprintf(stderr, "native_recorder: the compositor lacks wl_compositor, wl_shm, xdg_wm_base or wl_seat\n");
        return 1;
    }
    xdg_wm_base_add_listener(c.wmBase, &kWmBase, &c);
    wl_seat_add_listener(c.seat, &kSeat, &c);
    c.surface = wl_compositor_create_surface(c.compositor);
    c.xdgSurface = xdg_wm_base_get_xdg_surface(c.wmBase, c.surface);
    xdg_surface_add_listener(c.xdgSurface, &kXdgSurface, &c);
    c.toplevel = xdg_surface_get_toplevel(c.xdgSurface);
    xdg_toplevel_add_listener(c.toplevel, &kToplevel, &c);
    xdg_toplevel_set_title(c.toplevel, title.c_str());
    xdg_toplevel_set_app_id(c.toplevel, appId.c_str());
    wl_surface_commit(c.surface);

    pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    for (;;) {
        while (wl_display_prepare_read(display) != 0)
            wl_display_dispatch_pending(display);
        wl_display_flush(display);
        if (poll(fds, 2, -1) < 0) {
            wl_display_cancel_read(display);
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            if (wl_display_read_events(display) != 0)
                break;
        } else {
            wl_display_cancel_read(display);
        }
        if (wl_display_dispatch_pending(display) < 0 || (fds[0].revents & (POLLERR | POLLHUP)) != 0)
            break;
        if ((fds[1].revents & (POLLIN | POLLHUP)) != 0) {
            char buffer[256];
            if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
                break;
        }
    }
    wl_display_disconnect(display);
    return 0;
}
