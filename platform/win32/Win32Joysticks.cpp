#include "Win32Joysticks.h"

#include "Win32JoystickRecords.h"
#include "WinmmAxes.h"

#include <dbt.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>

namespace vornik {

// The record sizes the capability query and the read are made with; a header that packed these
// records differently would make the system reject every call (or write past the record).
static_assert(sizeof(JOYCAPSA) == 404, "JOYCAPSA must be the 404-byte record");
static_assert(sizeof(JOYINFOEX) == 52, "JOYINFOEX must be the 52-byte record");
// X, Y, Z, R, U, V, point of view and buttons: everything is asked for; X, Y, the buttons and the
// point of view are used.
static_assert(JOY_RETURNALL == 0xFF, "a read asks for every value");
static_assert(JOY_POVCENTERED == kPovCentred && JOY_POVFORWARD == 0 && JOY_POVRIGHT == 9000,
              "the hat is read in the system's own units");

namespace {
// A string value of HKEY_CURRENT_USER's key `path`, or else HKEY_LOCAL_MACHINE's; empty when neither has it.
std::wstring registryText(const std::wstring& path, const std::wstring& value) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        wchar_t text[256];
        DWORD size = sizeof text;
        if (RegGetValueW(root, path.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS &&
            text[0] != L'\0')
            return text;
    }
    return {};
}

std::string utf8FromWide(const std::wstring& wide) {
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

std::string utf8FromCodePage(const char* text, std::size_t length) {
    if (length == 0)
        return {};
    const int wide = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
    std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), utf16.data(), wide);
    return utf8FromWide(utf16);
}
} // namespace

JoyCapsRecord capsFromSystem(const JOYCAPSA& system) {
    JoyCapsRecord caps;
    caps.wXmin = system.wXmin;
    caps.wXmax = system.wXmax;
    caps.wYmin = system.wYmin;
    caps.wYmax = system.wYmax;
    caps.wMaxButtons = system.wMaxButtons;
    // The name field need not end in a zero when it is full.
    const void* end = std::memchr(system.szPname, 0, sizeof system.szPname);
    const std::size_t length = end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - system.szPname)
                                              : sizeof system.szPname;
    caps.szPname = utf8FromCodePage(system.szPname, length);
    return caps;
}

bool capsHavePov(const JOYCAPSA& system) {
    return (system.wCaps & JOYCAPS_HASPOV) != 0;
}

uint32_t onFullRange(uint32_t position, uint32_t lo, uint32_t hi) {
    if (hi <= lo)
        return kAxisCentre;
    const uint64_t offset = position <= lo ? 0 : std::min(position, hi) - lo;
    return static_cast<uint32_t>(offset * 65535 / (hi - lo));
}

XInputCalls systemXInput() {
    XInputCalls calls;
    for (const wchar_t* library : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
        if (HMODULE module = LoadLibraryW(library)) {
            calls.getState = reinterpret_cast<decltype(calls.getState)>(
                reinterpret_cast<void*>(GetProcAddress(module, "XInputGetState")));
            // By ordinal only.
            calls.getCapabilitiesEx = reinterpret_cast<decltype(calls.getCapabilitiesEx)>(
                reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(108))));
            if (calls.available())
                break;
        }
    }
    return calls;
}

uint32_t capsProduct(const JOYCAPSA& system) {
    // MM_MICROSOFT and MM_PC_JOYSTICK (mmreg.h): the generic joystick driver's numbers.
    if (system.wMid == 1 && system.wPid == 12)
        return 0;
    return static_cast<uint32_t>(system.wMid) << 16 | system.wPid;
}

bool speaksXInput(const std::string& name) {
    std::string lower = name;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // Windows' own names of the pads its XInput driver takes, and the "IG_" of their device paths.
    return lower.find("xbox") != std::string::npos || lower.find("xinput") != std::string::npos ||
           lower.find("ig_") != std::string::npos;
}

bool speaksXInputByProduct(uint32_t product) {
    // Xbox 360 (wired, wireless receivers), Xbox One, Elite, Series X|S, Adaptive.
    constexpr uint16_t kXboxPads[] = {0x028E, 0x028F, 0x0291, 0x02A1, 0x0719, 0x02D1, 0x02DD, 0x02E0, 0x02E3,
                                      0x02EA, 0x02FD, 0x02FF, 0x0B00, 0x0B05, 0x0B12, 0x0B13, 0x0B20, 0x0B22};
    return product >> 16 == 0x045E &&
           std::find(std::begin(kXboxPads), std::end(kXboxPads), product & 0xFFFF) != std::end(kXboxPads);
}

JoyReading readingFromXInput(const XINPUT_GAMEPAD& pad) {
    JoyReading reading;
    // XInput's Y grows upwards, winmm's downwards.
    const auto x = [](SHORT v) { return static_cast<uint32_t>(static_cast<int32_t>(v) + 32768); };
    const auto y = [](SHORT v) { return static_cast<uint32_t>(32767 - static_cast<int32_t>(v)); };
    reading.dwXpos = x(pad.sThumbLX);
    reading.dwYpos = y(pad.sThumbLY);
    reading.rightX = x(pad.sThumbRX);
    reading.rightY = y(pad.sThumbRY);
    reading.leftTrigger = pad.bLeftTrigger * 257u;
    reading.rightTrigger = pad.bRightTrigger * 257u;
    // In winmm's order.
    constexpr WORD kButtons[10] = {XINPUT_GAMEPAD_A,          XINPUT_GAMEPAD_B,     XINPUT_GAMEPAD_X,
                                   XINPUT_GAMEPAD_Y,          XINPUT_GAMEPAD_LEFT_SHOULDER,
                                   XINPUT_GAMEPAD_RIGHT_SHOULDER, XINPUT_GAMEPAD_BACK, XINPUT_GAMEPAD_START,
                                   XINPUT_GAMEPAD_LEFT_THUMB, XINPUT_GAMEPAD_RIGHT_THUMB};
    for (int b = 0; b < 10; ++b) {
        if ((pad.wButtons & kButtons[b]) != 0)
            reading.dwButtons |= 1u << b;
    }
    const bool up = (pad.wButtons & XINPUT_GAMEPAD_DPAD_UP) != 0, down = (pad.wButtons & XINPUT_GAMEPAD_DPAD_DOWN) != 0;
    const bool left = (pad.wButtons & XINPUT_GAMEPAD_DPAD_LEFT) != 0;
    const bool right = (pad.wButtons & XINPUT_GAMEPAD_DPAD_RIGHT) != 0;
    const int dx = right ? 1 : left ? -1 : 0, dy = up ? -1 : down ? 1 : 0;
    // By (dy, dx): up, up-right, right, ... in hundredths of a degree.
    constexpr uint32_t kPov[3][3] = {{31500, 0, 4500}, {27000, kPovCentred, 9000}, {22500, 18000, 13500}};
    reading.dwPOV = kPov[dy + 1][dx + 1];
    return reading;
}

JoyCapsRecord capsWithXInput(JoyCapsRecord caps) {
    caps.wXmin = caps.wYmin = 0;
    caps.wXmax = caps.wYmax = 65535;
    caps.wMaxButtons = 10;
    caps.family = PadFamily::Xbox;
    caps.inputs = PadHasRightStick | PadHasLeftTrigger | PadHasRightTrigger;
    caps.roles = {};
    constexpr PadButton kRoles[10] = {PadButton::FaceA,        PadButton::FaceB,         PadButton::FaceX,
                                      PadButton::FaceY,        PadButton::LeftShoulder,  PadButton::RightShoulder,
                                      PadButton::Back,         PadButton::Start,         PadButton::LeftStick,
                                      PadButton::RightStick};
    std::copy(std::begin(kRoles), std::end(kRoles), caps.roles.begin());
    return caps;
}

JoyReading readingFromSystem(const JOYINFOEX& info, bool hasPov) {
    JoyReading reading;
    reading.dwXpos = info.dwXpos;
    reading.dwYpos = info.dwYpos;
    reading.dwButtons = info.dwButtons;
    reading.dwPOV = hasPov ? info.dwPOV : kPovCentred;
    return reading;
}

std::string joystickProductName(uint32_t id, const char* regKey) {
    if (regKey == nullptr || regKey[0] == '\0')
        return {};
    // The driver's settings name the device of each joystick id (numbered from 1) by its OEM key,
    // such as "VID_045E&PID_028E", under which the device's name is kept.
    std::wstring driver;
    for (const char* c = regKey; *c != '\0'; ++c)
        driver += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    const std::wstring oem = registryText(L"System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\" + driver +
                                              L"\\CurrentJoystickSettings",
                                          L"Joystick" + std::to_wstring(id + 1) + L"OEMName");
    if (oem.empty())
        return {};
    return utf8FromWide(registryText(
        L"System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\" + oem, L"OEMName"));
}

// winmm's "reload the joystick configuration", which MinGW's headers leave out.
extern "C" MMRESULT WINAPI joyConfigChanged(DWORD flags);

namespace {
constexpr wchar_t kDeviceWindowClass[] = L"VornikDeviceWatch";

LRESULT CALLBACK deviceWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE && (wParam == DBT_DEVNODES_CHANGED || wParam == DBT_DEVICEARRIVAL ||
                                       wParam == DBT_DEVICEREMOVECOMPLETE)) {
        if (auto* joysticks = reinterpret_cast<Win32Joysticks*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
            joysticks->deviceChangeAnnounced();
        return TRUE;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
} // namespace

Win32Joysticks::Win32Joysticks() : Win32Joysticks(Win32JoystickCalls{WinmmCalls{}, systemXInput()}) {}

Win32Joysticks::Win32Joysticks(const Win32JoystickCalls& calls) : m_calls(std::make_unique<Win32JoystickCalls>(calls)) {
    watchDevices();
}

Win32Joysticks::~Win32Joysticks() {
    unwatchDevices();
}

void Win32Joysticks::watchDevices() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    if (!GetClassInfoExW(instance, kDeviceWindowClass, &windowClass)) {
        windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = deviceWindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kDeviceWindowClass;
        RegisterClassExW(&windowClass);
    }
    // Top-level, never shown.
    const HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, kDeviceWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                      nullptr, instance, nullptr);
    if (hwnd == nullptr)
        return;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_deviceWindow = hwnd;
}

void Win32Joysticks::unwatchDevices() {
    if (m_deviceWindow == nullptr)
        return;
    const auto hwnd = static_cast<HWND>(m_deviceWindow);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
    m_deviceWindow = nullptr;
}

void Win32Joysticks::deviceChangeAnnounced() {
    joyConfigChanged(0);
    m_settling = true;
    m_announcedAt = GetTickCount();
    m_nextLook = m_announcedAt;
}

bool Win32Joysticks::takeDeviceChanges() {
    if (!m_settling)
        return false;
    const uint32_t now = GetTickCount();
    if (now - m_announcedAt >= kSettleMs)
        m_settling = false; // this look is the last
    if (static_cast<int32_t>(now - m_nextLook) < 0)
        return false;
    m_nextLook = now + 1000;
    return true;
}

XInputSlots::Users Win32Joysticks::xinputUsers(bool products) const {
    XInputSlots::Users users{};
    const XInputCalls& xinput = m_calls->xinput;
    if (!xinput.available())
        return users;
    for (DWORD user = 0; user < XInputSlots::kUsers; ++user) {
        XINPUT_STATE state{};
        auto& u = users[user];
        u.connected = xinput.getState(user, &state) == ERROR_SUCCESS;
        if (!u.connected)
            continue;
        u.faceButtons = readingFromXInput(state.Gamepad).dwButtons & XInputSlots::kFaceButtons;
        XInputCapabilitiesEx caps{};
        if (products && xinput.getCapabilitiesEx != nullptr && xinput.getCapabilitiesEx(1, user, 0, &caps) == ERROR_SUCCESS)
            u.product = static_cast<uint32_t>(caps.vendorId) << 16 | caps.productId;
    }
    return users;
}

uint32_t Win32Joysticks::getDevCaps(uint32_t id, JoyCapsRecord& caps) {
    JOYCAPSA system{};
    const MMRESULT result = m_calls->winmm.getDevCaps(id, &system, sizeof system);
    if (result != JOYERR_NOERROR) {
        // Gone: its slot is free for the next pad.
        m_slots.release(id);
        if (id < m_devices.size())
            m_devices[id] = Device{};
        return result;
    }
    caps = capsFromSystem(system);
    const std::string driverName = caps.szPname;
    // The product's name where the system records one; the driver's name otherwise.
    const void* end = std::memchr(system.szRegKey, 0, sizeof system.szRegKey);
    if (end != nullptr) {
        if (std::string product = joystickProductName(id, system.szRegKey); !product.empty())
            caps.szPname = std::move(product);
    }
    if (id >= m_devices.size())
        return 0;
    const uint32_t product = capsProduct(system);
    const bool xboxStyle = speaksXInput(caps.szPname) || speaksXInput(driverName) || speaksXInputByProduct(product);
    Device& device = m_devices[id];
    device = Device{};
    device.hasPov = capsHavePov(system);
    // Where its other axes rest tells a stick from triggers, for a pad read through winmm.
    WinmmAxisRanges ranges;
    ranges.present = {(system.wCaps & JOYCAPS_HASZ) != 0, (system.wCaps & JOYCAPS_HASR) != 0,
                      (system.wCaps & JOYCAPS_HASU) != 0, (system.wCaps & JOYCAPS_HASV) != 0};
    ranges.min = {system.wZmin, system.wRmin, system.wUmin, system.wVmin};
    ranges.max = {system.wZmax, system.wRmax, system.wUmax, system.wVmax};
    JOYINFOEX rest{};
    rest.dwSize = sizeof rest;
    rest.dwFlags = JOY_RETURNALL;
    if (m_calls->winmm.getPosEx(id, &rest) == JOYERR_NOERROR)
        ranges.rest = {rest.dwZpos, rest.dwRpos, rest.dwUpos, rest.dwVpos};
    else
        for (std::size_t a = 0; a < 4; ++a)
            ranges.rest[a] = ranges.min[a] + (ranges.max[a] - ranges.min[a]) / 2;
    device.ranges = ranges;
    device.axes = winmmAxes(ranges, xboxStyle);
    // An Xbox-style pad is read through XInput. XInput may list a pad a moment after winmm does (Wine
    // makes it a device of its own): until then it reads at rest, and once kSettleMs have passed
    // without it, through winmm.
    device.xinput = xboxStyle && m_calls->xinput.available();
    if (device.xinput) {
        device.product = product;
        device.slotWanted = m_slots.bind(id, product, xinputUsers(true)) < 0;
        device.wantedSince = GetTickCount();
        caps = capsWithXInput(std::move(caps));
        return 0;
    }
    if (device.axes.rightX != WinmmAxes::kNone)
        caps.inputs |= PadHasRightStick;
    if (device.axes.leftTrigger != WinmmAxes::kNone || device.axes.sharedTriggers)
        caps.inputs |= PadHasLeftTrigger | PadHasRightTrigger;
    return 0;
}

bool Win32Joysticks::readSlot(uint32_t id, JoyReading& reading) {
    XINPUT_STATE state{};
    const int user = m_slots.user(id);
    if (user < 0 || m_calls->xinput.getState(static_cast<DWORD>(user), &state) != ERROR_SUCCESS)
        return false;
    reading = readingFromXInput(state.Gamepad);
    return true;
}

bool Win32Joysticks::pairPresses() {
    const auto unsettled = [&](uint32_t id) { return m_devices[id].xinput && !m_slots.settled(id); };
    bool any = false;
    for (uint32_t id = 0; id < m_devices.size(); ++id)
        any |= unsettled(id);
    if (!any)
        return false; // every pairing settled: winmm is read no more
    const XInputSlots::Users users = xinputUsers(false);
    bool traded = false;
    for (uint32_t id = 0; id < m_devices.size(); ++id) {
        if (!unsettled(id))
            continue;
        JOYINFOEX info{};
        info.dwSize = sizeof info;
        info.dwFlags = JOY_RETURNBUTTONS;
        if (m_calls->winmm.getPosEx(id, &info) == JOYERR_NOERROR)
            traded |= m_slots.confirmPress(id, info.dwButtons, users);
    }
    return traded;
}

bool Win32Joysticks::readXInput(uint32_t id, JoyReading& reading) {
    if (!readSlot(id, reading))
        return false;
    Device& device = m_devices[id];
    const uint32_t face = reading.dwButtons & XInputSlots::kFaceButtons;
    const bool newPress = face != 0 && face != device.faceButtons;
    device.faceButtons = face;
    // A new press: the joysticks winmm reads pressing it tell which pad is whose, should the two
    // systems have listed the pads in other orders.
    if (!newPress || !pairPresses())
        return true;
    if (!readSlot(id, reading))
        return false;
    device.faceButtons = reading.dwButtons & XInputSlots::kFaceButtons;
    return true;
}

uint32_t Win32Joysticks::getPosEx(uint32_t id, JoyReading& reading) {
    if (id < m_devices.size() && m_devices[id].xinput) {
        Device& device = m_devices[id];
        if (device.slotWanted) {
            if (m_slots.bind(id, device.product, xinputUsers(true)) >= 0) {
                device.slotWanted = false;
            } else if (GetTickCount() - device.wantedSince < kSettleMs) {
                reading = readingFromXInput(XINPUT_GAMEPAD{});
                return 0;
            } else {
                device.slotWanted = device.xinput = false;
            }
        }
        // Its own pad or nothing: a pad that has gone never reads as another.
        if (device.xinput)
            return readXInput(id, reading) ? 0 : JOYERR_UNPLUGGED;
    }
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNALL;
    const MMRESULT result = m_calls->winmm.getPosEx(id, &info);
    if (result != JOYERR_NOERROR)
        return result;
    const Device device = id < m_devices.size() ? m_devices[id] : Device{};
    reading = readingFromSystem(info, device.hasPov);
    const std::array<uint32_t, 4> positions{info.dwZpos, info.dwRpos, info.dwUpos, info.dwVpos};
    const WinmmAxes& axes = device.axes;
    const WinmmAxisRanges& ranges = device.ranges;
    const auto on = [&](int axis) {
        const auto a = static_cast<std::size_t>(axis);
        return onFullRange(positions[a], ranges.min[a], ranges.max[a]);
    };
    const auto trigger = [&](int axis) {
        const auto a = static_cast<std::size_t>(axis);
        return triggerPosition(positions[a], ranges.rest[a], ranges.min[a], ranges.max[a]);
    };
    if (axes.rightX != WinmmAxes::kNone) {
        reading.rightX = on(axes.rightX);
        reading.rightY = on(axes.rightY);
    }
    if (axes.leftTrigger != WinmmAxes::kNone) {
        reading.leftTrigger = trigger(axes.leftTrigger);
        reading.rightTrigger = trigger(axes.rightTrigger);
    } else if (axes.sharedTriggers) {
        // The left trigger pushes Z up from the middle, the right one down.
        const uint32_t z = on(WinmmAxes::Z);
        reading.leftTrigger = z > kAxisCentre ? std::min<uint32_t>((z - kAxisCentre) * 2, 65535) : 0;
        reading.rightTrigger = z < kAxisCentre ? std::min<uint32_t>((kAxisCentre - z) * 2, 65535) : 0;
    }
    return 0;
}

} // namespace vornik
