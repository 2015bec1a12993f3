#include "Win32KeyOutput.h"

#include "Win32Api.h"

#include <algorithm>

namespace vornik {

namespace {
constexpr uint32_t kExtendedBit = 0x10000;
constexpr uint32_t kScanOnlyBit = 0x20000; // went down by its scan code alone

// Whether the event went into the input stream: SendInput sends nothing into a stream the caller may
// not reach (a program running at a higher integrity level, the secure desktop).
bool sendKey(WORD vk, WORD scan, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    return SendInput(1, &input, sizeof input) == 1;
}

// The virtual keys a keyboard sends only from an extended (E0) key: the arrows and the editing block,
// whose scan codes the keypad's keys share (Wine's MapVirtualKeyW answers with those, without the
// prefix), the keypad's divide, Num Lock, right Control and Alt, the Windows and menu keys. (Print
// Screen, which shares the keypad multiply's scan code, is always sent as its own E0 37.)
bool onlyExtended(uint8_t vk) {
    switch (vk) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
        return true;
    default:
        return false;
    }
}
} // namespace

uint32_t win32KeyCode(uint8_t vk) {
    // The scan code with its prefix: 0xE0 for the extended keys, 0xE1 for Pause. Print Screen is E0 37
    // on every keyboard; layouts answer 37 alone (the keypad's multiply) or 54 (Alt+SysRq).
    const UINT scan = vk == VK_SNAPSHOT ? 0xE037 : MapVirtualKeyW(vk, MAPVK_VK_TO_VSC_EX);
    const UINT prefix = scan >> 8;
    if (prefix == 0xE1)
        return vk | (0x45u << 8); // Pause: the scan code a real Pause reports in its key messages
    const bool extended = prefix == 0xE0 || (onlyExtended(vk) && (scan & 0xFF) != 0);
    return vk | ((scan & 0xFF) << 8) | (extended ? kExtendedBit : 0);
}

std::optional<uint32_t> Win32KeyOutput::keyDown(uint8_t vk) {
    const uint32_t native = win32KeyCode(vk);
    const WORD scan = win32KeyScan(native);
    const DWORD extended = win32KeyExtended(native) ? KEYEVENTF_EXTENDEDKEY : 0;
    // Pause goes with its virtual key either way: its real scan sequence (E1 1D 45) is no single code.
    const bool byScan = m_keys == Keys::ScanCodesOnly && vk != VK_PAUSE;
    if (!byScan)
        return sendKey(vk, scan, extended) ? std::optional<uint32_t>(native) : std::nullopt;
    if (scan == 0)
        return std::nullopt; // a key the keyboard has no scan code for cannot be named by one
    // Windows ignores the virtual key beside KEYEVENTF_SCANCODE and takes the one the layout gives the
    // scan code; it goes along for systems that would otherwise deliver virtual key 0 (Wine 8).
    if (!sendKey(vk, scan, KEYEVENTF_SCANCODE | extended))
        return std::nullopt; // nothing went down, so nothing is held
    return native | kScanOnlyBit;
}

void Win32KeyOutput::keyUp(const SentKey& key) {
    const DWORD scanOnly = (key.native & kScanOnlyBit) != 0 ? KEYEVENTF_SCANCODE : 0;
    const DWORD extended = win32KeyExtended(key.native) ? KEYEVENTF_EXTENDEDKEY : 0;
    sendKey(win32KeyVk(key.native), win32KeyScan(key.native), KEYEVENTF_KEYUP | scanOnly | extended);
}

namespace {
bool sendMouse(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.mouseData = data;
    input.mi.dwFlags = flags;
    return SendInput(1, &input, sizeof input) == 1;
}
} // namespace

bool Win32KeyOutput::pointerButton(PointerButton button, bool down) {
    switch (button) {
    case PointerButton::Left:
        return sendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    case PointerButton::Middle:
        return sendMouse(down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP);
    case PointerButton::Right:
        return sendMouse(down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP);
    case PointerButton::Back:
        return sendMouse(down ? MOUSEEVENTF_XDOWN : MOUSEEVENTF_XUP, 0, 0, XBUTTON1);
    case PointerButton::Forward:
        return sendMouse(down ? MOUSEEVENTF_XDOWN : MOUSEEVENTF_XUP, 0, 0, XBUTTON2);
    }
    return false;
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
