#pragma once

#include "Output.h"
#include "XConnection.h"
#include "XKeyboard.h"

namespace vornik {

// Key and pointer events through the XTest extension, each flushed at once. A key goes down as the
// keycode the keymap in force gives its virtual-key code (XKeyboard keeps that table and counts the
// event in its state at once); its key-up names the keycode that went down. A pointer move goes to an
// absolute position (one round trip asks where the pointer is), which the server does not accelerate.
// With a press guard, the guard answers first (outside any grab: it may ask the server what it needs),
// and the press then goes out under a server grab once every event up to then has been read and none
// of them may have changed the window in front (`frontUnchanged`): no other client (a window manager
// moving the focus) can come between the answer and the press, and nothing under the grab waits for
// more than one sync. Main thread only.
class XTestOutput : public Output {
public:
    XTestOutput(XConnection& connection, XKeyboard& keyboard);

    std::optional<uint32_t> keyDown(uint8_t vk) override;
    void keyUp(const SentKey& key) override;
    std::string unavailableReason() const override;
    bool canPoint() const override { return m_hasXTest; }
    bool pointerButton(PointerButton button, bool down) override;
    void pointerMotion(int dx, int dy) override;
    void wheel(int steps, bool horizontal) override;
    void flush() override;
    void setPressGuard(std::function<bool()> guard) override { m_guard = std::move(guard); }
    // Whether the window in front is still what the guard saw, from the events read so far alone (no
    // request): the window system's own record. Unset: the guard's answer stands.
    void setFrontUnchanged(std::function<bool()> unchanged) { m_frontUnchanged = std::move(unchanged); }

    // False when the server has no XTest: nothing is then sent.
    bool hasXTest() const { return m_hasXTest; }
    // The X button number of a pointer button: 1 left, 2 middle, 3 right, 8 back, 9 forward.
    static unsigned buttonNumber(PointerButton button);

private:
    class ServerGrab;
    // The guard's answer, asked before the grab.
    bool guardAllows();
    // With the server grabbed: reads every event up to now, and says whether the window in front may
    // have changed since the guard answered.
    bool frontUnchangedUnderGrab();
    void sendKey(KeyCode code, bool down);
    void click(unsigned button, bool down);

    XConnection& m_connection;
    XKeyboard& m_keyboard;
    bool m_hasXTest = false;
    std::function<bool()> m_guard;
    std::function<bool()> m_frontUnchanged;
};

} // namespace vornik
