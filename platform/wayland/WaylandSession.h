#pragma once

#include "ToplevelSource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace vornik {

// A second connection of the program's own to the Wayland display ($WAYLAND_DISPLAY), beside the X
// one, for what XWayland cannot tell or do: the toplevels and which one is activated
// (zwlr_foreign_toplevel_manager_v1), and a keyboard and a pointer of the program's own
// (zwp_virtual_keyboard_v1 with the keymap it uploads, zwlr_virtual_pointer_v1). Reads without waiting
// except in roundTrip(). Main thread only.
class WaylandSession : public ToplevelSource {
public:
    // Connects to `name` (or $WAYLAND_DISPLAY when null); nullptr when there is no such display.
    static std::unique_ptr<WaylandSession> open(const char* name = nullptr);
    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    bool hasToplevels() const override { return m_toplevelManager != nullptr && !m_broken; }
    bool hasKeyboard() const { return m_keyboard != nullptr && !m_broken; }
    bool hasPointer() const { return m_pointer != nullptr && !m_broken; }
    // The connection failed (the compositor went away or refused a request): nothing more is read or
    // sent, and the three answers above are no.
    bool broken() const override { return m_broken; }
    // The protocols the compositor does not offer, named and separated by commas; empty when it
    // offers all three.
    std::string missing() const;
    std::string unseenReason() const override;

    // The connection's socket; -1 once broken.
    int descriptor() const override;
    // Reads and handles whatever has arrived, without waiting; true when a toplevel changed.
    bool dispatch() override;
    // Asks the compositor for everything it has to tell up to now, and handles it: one round trip.
    void roundTrip() override;
    uint64_t roundTrips() const { return m_roundTrips; }
    // Sends what is queued.
    void flush();
    // Counts every change of a toplevel the compositor has announced.
    uint64_t changes() const { return m_changes; }

    // Described toplevels that are still open, oldest first.
    std::vector<Toplevel*> toplevels() override;
    Toplevel* find(uint64_t handle) override;
    // The activated toplevel; nullptr when none is.
    Toplevel* activated() override;

    // The uploaded keymap's key for an evdev code (the key events name evdev codes), followed by the
    // modifiers it changed: the compositor takes a virtual keyboard's modifiers only from what it is
    // told, not from its keys.
    void key(uint32_t evdevCode, bool down);
    void pointerMotion(double dx, double dy);
    // `button`: an evdev button code (BTN_LEFT...).
    void pointerButton(uint32_t button, bool down);
    // `axis`: 0 vertical, 1 horizontal; `discrete` notches, positive down or right.
    void pointerAxis(uint32_t axis, int discrete);

    struct Handle;

private:
    friend struct SessionEvents;
    WaylandSession() = default;
    static void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, uint32_t name);
    void uploadKeymap();
    uint32_t now() const;

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    zwlr_foreign_toplevel_manager_v1* m_toplevelManager = nullptr;
    zwp_virtual_keyboard_manager_v1* m_keyboardManager = nullptr;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
    zwlr_virtual_pointer_manager_v1* m_pointerManager = nullptr;
    zwlr_virtual_pointer_v1* m_pointer = nullptr;
    // The uploaded keymap's state, which the modifiers sent follow.
    xkb_context* m_xkb = nullptr;
    xkb_keymap* m_keymap = nullptr;
    xkb_state* m_keyState = nullptr;
    uint32_t m_modifiers[4] = {}; // depressed, latched, locked, group as last sent
    std::vector<std::unique_ptr<Handle>> m_handles;
    uint64_t m_nextHandle = kHandleBase;
    uint64_t m_changes = 0;
    uint64_t m_roundTrips = 0;
    bool m_changed = false;
    bool m_broken = false;
};

} // namespace vornik
