#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vornik {

// A window the compositor tells of (a toplevel), as of its last complete description.
struct Toplevel {
    enum class Origin : uint8_t { Unknown, Native, X };
    uint64_t handle = 0; // a handle of its own, never one of an X window's
    std::string title;
    std::string appId;
    bool activated = false;
    bool minimized = false;
    bool described = false; // a first complete description has come
    Origin origin = Origin::Unknown;
    bool guessed = false; // the origin was told from the titles alone, not by the compositor
    uint32_t pid = 0; // where the compositor tells it; 0 unknown
};

// Whoever tells a Wayland desktop's windows and which one is activated: the compositor itself
// (wlroots' foreign-toplevel protocol) or code of ours running inside it (a KWin script, a GNOME
// Shell extension) over the session bus. Reads without waiting except in roundTrip(). Main thread only.
class ToplevelSource {
public:
    // Handles start at this value: X window ids stay below 2^32.
    static constexpr uint64_t kHandleBase = uint64_t{1} << 40;

    virtual ~ToplevelSource() = default;
    // Whether the windows are told now.
    virtual bool hasToplevels() const = 0;
    // The connection failed: nothing more is read.
    virtual bool broken() const = 0;
    // Why the windows are not told, as the end of a sentence ("the compositor does not offer ...");
    // empty when they are.
    virtual std::string unseenReason() const = 0;
    // A descriptor readable when something has arrived; -1 when none.
    virtual int descriptor() const = 0;
    // Handles whatever has arrived, without waiting; true when a toplevel changed.
    virtual bool dispatch() = 0;
    // Asks for everything there is to tell up to now, and handles it: one round trip.
    virtual void roundTrip() = 0;
    // Described toplevels that are still open, oldest first.
    virtual std::vector<Toplevel*> toplevels() = 0;
    virtual Toplevel* find(uint64_t handle) = 0;
    // The activated toplevel; nullptr when none is.
    virtual Toplevel* activated() = 0;
};

} // namespace vornik
