#pragma once

#include "Output.h"
#include "XConnection.h"
#include "XKeyboard.h"

namespace vornik {

// Key and pointer events through the XTest extension, each flushed at once. A key goes down as the
// keycode the keymap in force gives its virtual-key code (XKeyboard keeps that table and counts the
// event in its state at once); its key-up names the keycode that went down. A pointer move goes to an
// absolute position (one round trip asks where the pointer is), which the server does not accelerate.
// With a press guard, each press goes out under a server grab after the guard has said yes: no other
// client (a window manager moving the focus) can come between the answer and the press. Main thread
// only.
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

    // False when the server has no XTest: nothing is then sent.
    bool hasXTest() const { return m_hasXTest; }
    // The X button number of a pointer button: 1 left, 2 middle, 3 right, 8 back, 9 forward.
    static unsigned buttonNumber(PointerButton button);

private:
    class ServerGrab;
    // With the server grabbed: reads every event up to now, then asks the guard.
    bool guardAllows();
    void sendKey(KeyCode code, bool down);
    void click(unsigned button, bool down);

    XConnection& m_connection;
    XKeyboard& m_keyboard;
    bool m_hasXTest = false;
    std::function<bool()> m_guard;
};

} // namespace vornik
