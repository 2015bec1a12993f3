#include "WaylandSession.h"

#include "VirtualKeymap.h"

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

namespace vornik {

// One toplevel as the compositor describes it: the pending state, applied at `done`.
struct WaylandSession::Handle {
    WaylandSession* session = nullptr;
    zwlr_foreign_toplevel_handle_v1* proxy = nullptr;
    Toplevel shown;
    Toplevel pending;
    bool closed = false;
};

namespace {

constexpr uint32_t kToplevelVersion = 3; // sway 1.7 offers 3; nothing here needs more

WaylandSession::Handle& handleOf(void* data) {
    return *static_cast<WaylandSession::Handle*>(data);
}

void onTitle(void* data, zwlr_foreign_toplevel_handle_v1*, const char* title) {
    handleOf(data).pending.title = title != nullptr ? title : "";
}
void onAppId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
    handleOf(data).pending.appId = appId != nullptr ? appId : "";
}
void onOutputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void onOutputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void onState(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
    Toplevel& pending = handleOf(data).pending;
    pending.activated = false;
    pending.minimized = false;
    const auto* state = static_cast<const uint32_t*>(states->data);
    for (std::size_t i = 0; i < states->size / sizeof(uint32_t); ++i) {
        if (state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED)
            pending.activated = true;
        else if (state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED)
            pending.minimized = true;
    }
}
} // namespace

// Friends of the session, as plain functions the listener tables can name.
struct SessionEvents {
    static void done(void* data, zwlr_foreign_toplevel_handle_v1*) {
        auto& handle = handleOf(data);
        // What told a native window from an X one, and its process, stays right while the title and
        // application id do; a change asks again.
        if (handle.pending.title != handle.shown.title || handle.pending.appId != handle.shown.appId) {
            handle.pending.origin = Toplevel::Origin::Unknown;
            handle.pending.guessed = false;
            handle.pending.pid = 0;
        } else {
            handle.pending.origin = handle.shown.origin;
            handle.pending.guessed = handle.shown.guessed;
            handle.pending.pid = handle.shown.pid;
        }
        handle.pending.described = true;
        handle.shown = handle.pending;
        ++handle.session->m_changes;
        handle.session->m_changed = true;
    }
    static void closed(void* data, zwlr_foreign_toplevel_handle_v1*) {
        auto& handle = handleOf(data);
        handle.closed = true;
        ++handle.session->m_changes;
        handle.session->m_changed = true;
    }
    static void parent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

    static void toplevel(void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* proxy) {
        auto* session = static_cast<WaylandSession*>(data);
        auto handle = std::make_unique<WaylandSession::Handle>();
        handle->session = session;
        handle->proxy = proxy;
        handle->pending.handle = handle->shown.handle = session->m_nextHandle++;
        static const zwlr_foreign_toplevel_handle_v1_listener listener{
            onTitle, onAppId, onOutputEnter, onOutputLeave, onState, done, closed, parent};
        zwlr_foreign_toplevel_handle_v1_add_listener(proxy, &listener, handle.get());
        session->m_handles.push_back(std::move(handle));
    }
    static void finished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
        auto* session = static_cast<WaylandSession*>(data);
        zwlr_foreign_toplevel_manager_v1_destroy(manager);
        session->m_toplevelManager = nullptr;
    }
};

std::unique_ptr<WaylandSession> WaylandSession::open(const char* name) {
    wl_display* display = wl_display_connect(name);
    if (display == nullptr)
        return nullptr;
    std::unique_ptr<WaylandSession> session(new WaylandSession);
    session->m_display = display;
    session->m_registry = wl_display_get_registry(display);
    static const wl_registry_listener listener{onGlobal, onGlobalRemove};
    wl_registry_add_listener(session->m_registry, &listener, session.get());
    // The globals, then what binding them announced: every toplevel there is, each described.
    session->roundTrip();
    if (session->m_keyboardManager != nullptr && session->m_seat != nullptr) {
        session->m_keyboard =
            zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(session->m_keyboardManager, session->m_seat);
        session->uploadKeymap();
    }
    if (session->m_pointerManager != nullptr)
        session->m_pointer =
            zwlr_virtual_pointer_manager_v1_create_virtual_pointer(session->m_pointerManager, session->m_seat);
    session->roundTrip();
    return session;
}

WaylandSession::~WaylandSession() {
    for (auto& handle : m_handles)
        zwlr_foreign_toplevel_handle_v1_destroy(handle->proxy);
    if (m_keyboard != nullptr)
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
    if (m_pointer != nullptr)
        zwlr_virtual_pointer_v1_destroy(m_pointer);
    if (m_keyboardManager != nullptr)
        zwp_virtual_keyboard_manager_v1_destroy(m_keyboardManager);
    if (m_pointerManager != nullptr)
        zwlr_virtual_pointer_manager_v1_destroy(m_pointerManager);
    if (m_toplevelManager != nullptr)
        zwlr_foreign_toplevel_manager_v1_stop(m_toplevelManager);
    if (m_broken) {
        wl_display_disconnect(m_display);
        return;
    }
    if (m_seat != nullptr)
        wl_seat_destroy(m_seat);
    if (m_keyState != nullptr)
        xkb_state_unref(m_keyState);
    if (m_keymap != nullptr)
        xkb_keymap_unref(m_keymap);
    if (m_xkb != nullptr)
        xkb_context_unref(m_xkb);
    wl_registry_destroy(m_registry);
    wl_display_roundtrip(m_display); // the virtual devices are gone before the connection
    wl_display_disconnect(m_display);
}

void WaylandSession::onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                              uint32_t version) {
    auto* session = static_cast<WaylandSession*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && session->m_seat == nullptr) {
        session->m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0) {
        session->m_toplevelManager = static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
            registry, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min(version, kToplevelVersion)));
        static const zwlr_foreign_toplevel_manager_v1_listener listener{SessionEvents::toplevel,
                                                                        SessionEvents::finished};
        zwlr_foreign_toplevel_manager_v1_add_listener(session->m_toplevelManager, &listener, session);
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        session->m_keyboardManager = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        session->m_pointerManager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}

void WaylandSession::onGlobalRemove(void*, wl_registry*, uint32_t) {}

std::string WaylandSession::missing() const {
    std::string missing;
    const auto add = [&missing](const char* what) {
        if (!missing.empty())
            missing += ", ";
        missing += what;
    };
    if (m_toplevelManager == nullptr)
        add("zwlr_foreign_toplevel_manager_v1");
    if (m_keyboard == nullptr)
        add("zwp_virtual_keyboard_manager_v1");
    if (m_pointer == nullptr)
        add("zwlr_virtual_pointer_manager_v1");
    return missing;
}

std::string WaylandSession::unseenReason() const {
    if (m_broken)
        return "the connection to the Wayland compositor broke";
    return hasToplevels() ? std::string() : "the compositor does not offer " + missing();
}

void WaylandSession::uploadKeymap() {
    const std::string text = virtualKeymapText();
    m_xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (m_xkb != nullptr)
        m_keymap = xkb_keymap_new_from_string(m_xkb, text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (m_keymap != nullptr)
        m_keyState = xkb_state_new(m_keymap);
    const int fd = ::memfd_create("vornik-keymap", MFD_CLOEXEC);
    if (fd < 0)
        return;
    const std::size_t size = text.size() + 1; // with its terminating NUL, as XKB wants it
    if (::ftruncate(fd, static_cast<off_t>(size)) == 0 &&
        ::pwrite(fd, text.c_str(), size, 0) == static_cast<ssize_t>(size))
        zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, static_cast<uint32_t>(size));
    ::close(fd); // the request has its own copy of the descriptor
}

int WaylandSession::descriptor() const {
    return m_broken ? -1 : wl_display_get_fd(m_display);
}

bool WaylandSession::dispatch() {
    m_changed = false;
    if (m_broken)
        return false;
    while (wl_display_prepare_read(m_display) != 0) {
        if (wl_display_dispatch_pending(m_display) < 0) {
            m_broken = true;
            return true;
        }
    }
    wl_display_flush(m_display);
    pollfd fd{wl_display_get_fd(m_display), POLLIN, 0};
    if (::poll(&fd, 1, 0) > 0 && (fd.revents & (POLLIN | POLLHUP | POLLERR)) != 0)
        wl_display_read_events(m_display);
    else
        wl_display_cancel_read(m_display);
    if (wl_display_dispatch_pending(m_display) < 0 || wl_display_get_error(m_display) != 0) {
        m_broken = true;
        return true;
    }
    // Closed toplevels go once told of.
    for (auto it = m_handles.begin(); it != m_handles.end();) {
        if ((*it)->closed) {
            zwlr_foreign_toplevel_handle_v1_destroy((*it)->proxy);
            it = m_handles.erase(it);
        } else {
            ++it;
        }
    }
    return m_changed;
}

void WaylandSession::roundTrip() {
    if (m_broken)
        return;
    ++m_roundTrips;
    if (wl_display_roundtrip(m_display) < 0) {
        m_broken = true;
        return;
    }
    dispatch();
}

void WaylandSession::flush() {
    wl_display_flush(m_display);
}

std::vector<Toplevel*> WaylandSession::toplevels() {
    std::vector<Toplevel*> out;
    for (auto& handle : m_handles) {
        if (!handle->closed && handle->shown.described)
            out.push_back(&handle->shown);
    }
    return out;
}

Toplevel* WaylandSession::find(uint64_t handle) {
    for (auto& h : m_handles) {
        if (h->shown.handle == handle && !h->closed && h->shown.described)
            return &h->shown;
    }
    return nullptr;
}

Toplevel* WaylandSession::activated() {
    for (auto& h : m_handles) {
        if (!h->closed && h->shown.described && h->shown.activated)
            return &h->shown;
    }
    return nullptr;
}

uint32_t WaylandSession::now() const {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000 + static_cast<uint64_t>(ts.tv_nsec) / 1000000);
}

void WaylandSession::key(uint32_t evdevCode, bool down) {
    if (m_keyboard == nullptr)
        return;
    zwp_virtual_keyboard_v1_key(m_keyboard, now(), evdevCode,
                                down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    if (m_keyState != nullptr) {
        xkb_state_update_key(m_keyState, evdevCode + 8, down ? XKB_KEY_DOWN : XKB_KEY_UP);
        const uint32_t modifiers[4] = {xkb_state_serialize_mods(m_keyState, XKB_STATE_MODS_DEPRESSED),
                                       xkb_state_serialize_mods(m_keyState, XKB_STATE_MODS_LATCHED),
                                       xkb_state_serialize_mods(m_keyState, XKB_STATE_MODS_LOCKED),
                                       xkb_state_serialize_layout(m_keyState, XKB_STATE_LAYOUT_EFFECTIVE)};
        if (!std::equal(modifiers, modifiers + 4, m_modifiers)) {
            std::copy(modifiers, modifiers + 4, m_modifiers);
            zwp_virtual_keyboard_v1_modifiers(m_keyboard, modifiers[0], modifiers[1], modifiers[2], modifiers[3]);
        }
    }
    wl_display_flush(m_display);
}

void WaylandSession::pointerMotion(double dx, double dy) {
    if (m_pointer == nullptr)
        return;
    zwlr_virtual_pointer_v1_motion(m_pointer, now(), wl_fixed_from_double(dx), wl_fixed_from_double(dy));
    zwlr_virtual_pointer_v1_frame(m_pointer);
    wl_display_flush(m_display);
}

void WaylandSession::pointerButton(uint32_t button, bool down) {
    if (m_pointer == nullptr)
        return;
    zwlr_virtual_pointer_v1_button(m_pointer, now(), button,
                                   down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    zwlr_virtual_pointer_v1_frame(m_pointer);
    wl_display_flush(m_display);
}

void WaylandSession::pointerAxis(uint32_t axis, int discrete) {
    if (m_pointer == nullptr || discrete == 0)
        return;
    constexpr double kNotch = 15.0; // what a wheel notch scrolls, in wl_pointer's units, as libinput says
    zwlr_virtual_pointer_v1_axis_source(m_pointer, WL_POINTER_AXIS_SOURCE_WHEEL);
    zwlr_virtual_pointer_v1_axis_discrete(m_pointer, now(), axis, wl_fixed_from_double(kNotch * discrete), discrete);
    zwlr_virtual_pointer_v1_frame(m_pointer);
    wl_display_flush(m_display);
}

} // namespace vornik
