#pragma once

#include "DesktopWindows.h"
#include "Output.h"
#include "WaylandSession.h"

namespace vornik {

// The output on a Wayland desktop: into a native window in front through the program's own Wayland
// keyboard and pointer, into an X window through the X output. A key-down first asks the compositor
// for everything it has to tell (one round trip), so the press guard answers from the freshest
// activated toplevel; the press then goes out at once. A key or button goes up through the way it
// went down (a native one's code carries kNative). Main thread only.
class DesktopOutput : public Output {
public:
    static constexpr uint32_t kNative = 0x10000; // set in the native code of a key pressed on Wayland

    DesktopOutput(Output& x, WaylandSession& session, DesktopWindows& windows)
        : m_x(x), m_session(session), m_windows(windows) {}

    std::optional<uint32_t> keyDown(uint8_t vk) override;
    void keyUp(const SentKey& key) override;
    std::string unavailableReason() const override;
    bool canPoint() const override { return m_x.canPoint() || m_session.hasPointer(); }
    bool pointerButton(PointerButton button, bool down) override;
    void pointerMotion(int dx, int dy) override;
    void wheel(int steps, bool horizontal) override;
    void flush() override;
    void setPressGuard(std::function<bool()> guard) override;

    // The evdev code of a pointer button.
    static uint32_t evdevButton(PointerButton button);

private:
    // After a round trip: whether the window in front is a native one.
    bool nativeInFrontNow();
    bool guardAllows() { return !m_guard || m_guard(); }

    Output& m_x;
    WaylandSession& m_session;
    DesktopWindows& m_windows;
    std::function<bool()> m_guard;
    unsigned m_nativeButtons = 0; // bit per PointerButton pressed on Wayland
};

} // namespace vornik
