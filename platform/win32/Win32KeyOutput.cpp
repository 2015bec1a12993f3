#include "Win32KeyOutput.h"

#include "Win32Api.h"

#include <algorithm>

namespace vornik {

// Every key goes down as its extended form. The key-up names the same form: the system keeps the two
// forms of a key apart (right and left Control, Alt and Shift; the grey and the keypad Enter, arrows and
// editing keys), so a plain key-up would leave the extended key down, in the key state and in every
// program that reads scan codes.
std::optional<uint32_t> Win32KeyOutput::keyDown(uint8_t vk) {
    keybd_event(vk, 0, KEYEVENTF_EXTENDEDKEY, 0);
    return vk;
}

void Win32KeyOutput::keyUp(const SentKey& key) {
    keybd_event(static_cast<BYTE>(key.native & 0xFF), 0, KEYEVENTF_KEYUP | KEYEVENTF_EXTENDEDKEY, 0);
}

namespace {
void sendMouse(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.mouseData = data;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}
} // namespace

void Win32KeyOutput::pointerButton(PointerButton button, bool down) {
    switch (button) {
    case PointerButton::Left:
        sendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
        break;
    case PointerButton::Middle:
        sendMouse(down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP);
        break;
    case PointerButton::Right:
        sendMouse(down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP);
        break;
    case PointerButton::Back:
        sendMouse(down ? MOUSEEVENTF_XDOWN : MOUSEEVENTF_XUP, 0, 0, XBUTTON1);
        break;
    case PointerButton::Forward:
        sendMouse(down ? MOUSEEVENTF_XDOWN : MOUSEEVENTF_XUP, 0, 0, XBUTTON2);
        break;
    }
}

void Win32KeyOutput::pointerMotion(int dx, int dy) {
    if (dx == 0 && dy == 0)
        return;
    // Relative moves go through the user's pointer acceleration ("enhance pointer precision"), so the
    // move goes to an absolute position on the virtual desktop: where the pointer is now, plus (dx, dy).
    POINT at{};
    if (!GetCursorPos(&at))
        return;
    const LONG left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const LONG width = std::max(GetSystemMetrics(SM_CXVIRTUALSCREEN), 1);
    const LONG height = std::max(GetSystemMetrics(SM_CYVIRTUALSCREEN), 1);
    // 0..65535 across the desktop, aimed at the middle of the pixel so that it maps back to it.
    const auto normal = [](LONG pixel, LONG size) {
        return static_cast<LONG>(std::clamp<long long>((pixel * 65536LL + 32768) / size, 0, 65535));
    };
    sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK, normal(at.x + dx - left, width),
              normal(at.y + dy - top, height));
}

void Win32KeyOutput::wheel(int steps, bool horizontal) {
    if (steps != 0)
        sendMouse(horizontal ? MOUSEEVENTF_HWHEEL : MOUSEEVENTF_WHEEL, 0, 0,
                  static_cast<DWORD>(steps * WHEEL_DELTA));
}

} // namespace vornik
