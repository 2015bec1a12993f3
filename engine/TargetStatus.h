#pragma once

#include "Configuration.h"
#include "EngineHost.h"
#include "Platform.h"

#include <cstdint>
#include <string>

namespace vornik {

// Where the program's keys go, and if nowhere, why: what the window shows the player. Worked out by
// every full tick from what the tick knows anyway (TargetStatus).
struct TargetState {
    enum class Kind : uint8_t {
        Unknown,        // no tick has looked yet
        CannotSend,     // the output can send no key events at all (`reason` says why)
        NoTarget,       // no target chosen yet
        InFront,        // the target is in front: keys go out (`front` names its window)
        OutOfReach,     // the target is in front, but the system drops the keys sent to it (it runs elevated)
        Ended,          // the target program has ended
        UnseenInFront,  // the window in front is one the backend cannot see (a Wayland-native program)
        NothingInFront, // no window is in front
        Behind,         // another window is in front (`front` names it)
    };
    Kind kind = Kind::Unknown;
    std::string front;  // the title of the window in front, or its program's file name when untitled
    std::string reason; // CannotSend: why, in the backend's words; UnseenInFront: what the backend lacks, if it can tell
    // The window in front is one while which the key state does not follow the keyboard (the
    // keyboard page's bindings see no key).
    bool keysUnread = false;
    // Whatever holds some bindings back, in any of the states above.
    bool keyboardStopped = false;  // the keyboard page's "停止作用" box is ticked
    uint32_t joysticksStopped = 0; // bit t-1: joystick t's "停止作用" box is ticked
    bool noJoystick = false;       // no joystick is connected
    bool operator==(const TargetState&) const = default;
};

// Works the state out at the end of each full tick and tells the host when it changed. Costs no
// request to the window system while nothing changes: the window in front and its process id are
// the ones the foreground test has just asked for (kept by the backend until an event says
// otherwise), a title is read only when another window comes to the front, and whether the target
// is out of reach only when another process becomes the target.
class TargetStatus {
public:
    TargetStatus(const Configuration& config, const Platform& platform, EngineHost& host)
        : m_config(config), m_platform(platform), m_host(host) {}

    // `inFront`: what the tick's foreground test found.
    void update(bool inFront);
    const TargetState& state() const { return m_state; }

private:
    TargetState::Kind kind(bool inFront, WindowHandle front);
    const std::string& frontName(WindowHandle front);

    const Configuration& m_config;
    Platform m_platform;
    EngineHost& m_host;
    TargetState m_state;
    WindowHandle m_named = 0; // the window m_name belongs to
    std::string m_name;
    uint32_t m_reachChecked = 0; // the target process m_outOfReach belongs to
    bool m_outOfReach = false;
};

} // namespace vornik
