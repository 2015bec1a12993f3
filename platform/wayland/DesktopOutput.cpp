#include "DesktopOutput.h"

#include "VirtualKeymap.h"

#include <linux/input-event-codes.h>
#include <wayland-client-protocol.h>

namespace vornik {

bool DesktopOutput::nativeInFrontNow() {
    if (!m_windows.seesEveryWindow())
        return false; // no native window is ever known to be in front: XTest, with no round trip
    m_windows.refresh();
    m_windows.foregroundWindow();
    return m_windows.nativeInFront();
}

void DesktopOutput::setPressGuard(std::function<bool()> guard) {
    m_x.setPressGuard(guard);
    m_guard = std::move(guard);
}

std::optional<uint32_t> DesktopOutput::keyDown(uint8_t vk) {
    if (!nativeInFrontNow())
        return m_x.keyDown(vk);
    const uint32_t code = evdevCode(vk);
    if (code == 0 || !m_session.hasKeyboard() || !guardAllows())
        return std::nullopt;
    m_session.key(code, true);
    return kNative | code;
}

void DesktopOutput::keyUp(const SentKey& key) {
    if ((key.native & kNative) == 0) {
        m_x.keyUp(key);
        return;
    }
    m_session.key(key.native & ~kNative, false);
}

std::string DesktopOutput::unavailableReason() const {
    if (m_windows.nativeInFront() && !m_session.hasKeyboard())
        return "the compositor offers no zwp_virtual_keyboard_manager_v1: keys reach a native window here only "
               "through uinput (vornik --output uinput), which needs write access to /dev/uinput (install the "
               "vornik package, then log in again)";
    return m_x.unavailableReason();
}

uint32_t DesktopOutput::evdevButton(PointerButton button) {
    switch (button) {
    case PointerButton::Left:
        return BTN_LEFT;
    case PointerButton::Middle:
        return BTN_MIDDLE;
    case PointerButton::Right:
        return BTN_RIGHT;
    case PointerButton::Back:
        return BTN_SIDE;
    case PointerButton::Forward:
        return BTN_EXTRA;
    }
    return BTN_LEFT;
}

bool DesktopOutput::pointerButton(PointerButton button, bool down) {
    const unsigned bit = 1u << static_cast<unsigned>(button);
    if (!down) {
        if ((m_nativeButtons & bit) == 0)
            return m_x.pointerButton(button, false);
        m_nativeButtons &= ~bit;
        m_session.pointerButton(evdevButton(button), false);
        return true;
    }
    if (!nativeInFrontNow())
        return m_x.pointerButton(button, true);
    if (!m_session.hasPointer() || !guardAllows())
        return false;
    m_session.pointerButton(evdevButton(button), true);
    m_nativeButtons |= bit;
    return true;
}

void DesktopOutput::pointerMotion(int dx, int dy) {
    if (dx == 0 && dy == 0)
        return;
    // No round trip for a move: it presses nothing, and the motion steps come every 5 ms.
    m_windows.foregroundWindow();
    if (!m_windows.nativeInFront()) {
        m_x.pointerMotion(dx, dy);
        return;
    }
    m_session.pointerMotion(dx, dy);
}

void DesktopOutput::wheel(int steps, bool horizontal) {
    if (steps == 0)
        return;
    if (!nativeInFrontNow()) {
        m_x.wheel(steps, horizontal);
        return;
    }
    if (!guardAllows())
        return;
    // Up (or right) positive here; Wayland's vertical axis runs down.
    m_session.pointerAxis(horizontal ? WL_POINTER_AXIS_HORIZONTAL_SCROLL : WL_POINTER_AXIS_VERTICAL_SCROLL, horizontal ? steps : -steps);
}

void DesktopOutput::flush() {
    m_x.flush();
    m_session.roundTrip();
}

} // namespace vornik
