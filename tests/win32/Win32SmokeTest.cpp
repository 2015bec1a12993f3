// Checks the Windows backend against the real Win32 calls: on Windows, or under Wine when cross-built.
// A console program with its own small checks; it prints one line per failed check and per case, and
// exits non-zero when anything failed.

#include "Big5.h"
#include "Configuration.h"
#include "Engine.h"
#include "HeadlessHost.h"
#include "HeldOutput.h"
#include "KeyMap.h"
#include "MovePlayer.h"
#include "Profile.h"
#include "SystemTimerHooks.h"
#include "TargetWindows.h"
#include "TimerEx.h"
#include "Win32Platform.h"
#include "Win32TimerWindow.h"

#include "Win32Api.h"
#include "Win32JoystickRecords.h"

#include <dbt.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vornik;

namespace {

int g_failures = 0;

bool check(bool ok, const char* expression, int line) {
    if (!ok) {
        ++g_failures;
        std::printf("  FAILED line %d: %s\n", line, expression);
    }
    return ok;
}
#define CHECK(expression) check(static_cast<bool>(expression), #expression, __LINE__)

template <typename A, typename B>
bool checkEqual(const A& actual, const B& expected, const char* expression, int line) {
    if (actual == expected)
        return true;
    ++g_failures;
    std::printf("  FAILED line %d: %s\n    actual:   %s\n    expected: %s\n", line, expression,
                std::to_string(actual).c_str(), std::to_string(expected).c_str());
    return false;
}
#define CHECK_EQ(actual, expected) checkEqual((actual), (expected), #actual " == " #expected, __LINE__)

bool checkText(const std::string& actual, const std::string& expected, const char* expression, int line) {
    if (actual == expected)
        return true;
    ++g_failures;
    std::printf("  FAILED line %d: %s\n    actual:   \"%s\"\n    expected: \"%s\"\n", line, expression, actual.c_str(),
                expected.c_str());
    return false;
}
#define CHECK_TEXT(actual, expected) checkText((actual), (expected), #actual " == " #expected, __LINE__)

// Runs the thread's message loop for `ms` milliseconds.
void pumpMessages(DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

// A top-level window of this process that records the key and mouse-button messages it receives.
class TestWindow {
public:
    struct KeyMessage {
        UINT message;
        WPARAM vk;
        bool extended = false; // bit 24 of the message's lParam
        unsigned scan = 0;     // bits 16..23 of it
        bool operator==(const KeyMessage& other) const { return message == other.message && vk == other.vk; }
    };
    // A keyboard event as Raw Input reports it (RAWKEYBOARD), as games that read scan codes see it.
    struct RawKey {
        bool up = false;
        unsigned makeCode = 0;
        bool e0 = false;
        bool operator==(const RawKey&) const = default;
    };

    // A Unicode window, as most programs' are: its title holds every script. `title` is ASCII.
    explicit TestWindow(const char* title, bool visible = true) {
        static const bool registered = [] {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = &TestWindow::windowProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"VornikSmokeTestWindow";
            return RegisterClassExW(&windowClass) != 0;
        }();
        (void)registered;
        const std::wstring wideTitle(title, title + std::strlen(title));
        m_hwnd = CreateWindowExW(0, L"VornikSmokeTestWindow", wideTitle.c_str(),
                                 WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 10, 10, 200, 100, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        pumpMessages(50);
    }
    ~TestWindow() { close(); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    void close() {
        if (m_hwnd != nullptr) {
            SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
            DestroyWindow(m_hwnd);
            m_hwnd = nullptr;
        }
    }
    HWND hwnd() const { return m_hwnd; }
    WindowHandle handle() const { return toWindowHandle(m_hwnd); }
    // Brings the window to the front with the keyboard focus; true when the system agreed.
    bool bringToFront() {
        SetForegroundWindow(m_hwnd);
        SetFocus(m_hwnd);
        pumpMessages(100);
        return GetForegroundWindow() == m_hwnd && GetFocus() == m_hwnd;
    }
    std::string rawTitle() const {
        char buffer[256] = {};
        GetWindowTextA(m_hwnd, buffer, sizeof buffer);
        return buffer;
    }

    // Asks for the keyboard's Raw Input while the window is in front; true when the system agreed.
    bool watchRawInput() {
        RAWINPUTDEVICE keyboard{};
        keyboard.usUsagePage = 1;
        keyboard.usUsage = 6;
        keyboard.hwndTarget = m_hwnd;
        return RegisterRawInputDevices(&keyboard, 1, sizeof keyboard) != FALSE;
    }

    std::vector<KeyMessage> keys;
    std::vector<RawKey> rawKeys;
    std::vector<UINT> clicks; // WM_LBUTTONDOWN, WM_LBUTTONUP, ...

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self != nullptr &&
            (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP)) {
            self->keys.push_back(
                {message, wParam, ((lParam >> 24) & 1) != 0, static_cast<unsigned>((lParam >> 16) & 0xFF)});
            return 0;
        }
        if (self != nullptr && message == WM_INPUT) {
            RAWINPUT raw{};
            UINT size = sizeof raw;
            if (GetRawInputData(reinterpret_cast<HRAWINPUT>(lParam), RID_INPUT, &raw, &size, sizeof(RAWINPUTHEADER)) !=
                    static_cast<UINT>(-1) &&
                raw.header.dwType == RIM_TYPEKEYBOARD) {
                const RAWKEYBOARD& key = raw.data.keyboard;
                self->rawKeys.push_back({(key.Flags & RI_KEY_BREAK) != 0, key.MakeCode, (key.Flags & RI_KEY_E0) != 0});
            }
        }
        if (self != nullptr && (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_RBUTTONDOWN ||
                                message == WM_RBUTTONUP)) {
            self->clicks.push_back(message);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    HWND m_hwnd = nullptr;
};

// The main window's side of the target list: the combo's items.
struct RecordingHost : HeadlessHost {
    std::vector<std::string> items;
    int selected = -1;

    void clearTargetItems() override {
        items.clear();
        selected = -1;
    }
    void addTargetItem(const std::string& title) override { items.push_back(title); }
    void selectTargetItem(int index) override { selected = index; }
};

std::string hex8(WindowHandle handle) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(handle & 0xFFFFFFFFu));
    return text;
}

// Entry 1..min(WindowCount, 300) of the list that records `window`, or 0.
int entryOf(const TargetWindowList& list, WindowHandle window) {
    const int recorded = list.WindowCount < kMaxTargetWindows ? list.WindowCount : kMaxTargetWindows;
    for (int entry = 1; entry <= recorded; ++entry) {
        if (list.WindowHandles[entry] == window)
            return entry;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------------

void keyDownThenUpIsSeenByTheKeyState() {
    Win32Keyboard keyboard;
    Win32KeyOutput output;
    const uint8_t vk = VK_F9;
    CHECK_EQ(keyboard.asyncKeyState(vk), 0);
    const std::optional<uint32_t> native = output.keyDown(vk);
    if (!CHECK(native && win32KeyVk(*native) == vk))
        return;
    CHECK(keyboard.asyncKeyState(vk) != 0);
    CHECK(GetAsyncKeyState(vk) != 0);
    output.keyUp({vk, *native});
    CHECK_EQ(keyboard.asyncKeyState(vk), 0);
    CHECK_EQ(keyboard.asyncKeyState(-1), 0);
    CHECK_EQ(keyboard.asyncKeyState(256 + vk), 0);

    // Pressed and released between two queries: up, although the system remembers the press.
    output.keyUp({VK_F10, output.keyDown(VK_F10).value_or(VK_F10)});
    CHECK_EQ(keyboard.asyncKeyState(VK_F10), 0);
}

void keyUpReleasesTheExtendedKeyItsKeyDownPressed() {
    TestWindow window("vornik modifiers");
    if (!CHECK(window.bringToFront()))
        return;
    Win32Keyboard keyboard;
    Win32KeyOutput output;
    for (const uint8_t vk : std::initializer_list<uint8_t>{VK_SHIFT, VK_CONTROL, VK_MENU, VK_RETURN, VK_LEFT}) {
        window.keys.clear();
        const std::optional<uint32_t> native = output.keyDown(vk);
        if (!CHECK(native.has_value()))
            continue;
        CHECK(keyboard.asyncKeyState(vk) != 0);
        output.keyUp({vk, *native});
        pumpMessages(30);
        CHECK_EQ(keyboard.asyncKeyState(vk), 0);
        // The key-up names the same key as the key-down (right Shift has no extended form of its own).
        if (CHECK_EQ(window.keys.size(), size_t{2}))
            CHECK_EQ(window.keys[0].extended, window.keys[1].extended);
    }
    for (const int vk : {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU})
        CHECK_EQ(keyboard.asyncKeyState(vk), 0);
}

// What a game that reads scan codes sees, in the key messages and in Raw Input: every key with its
// scan code, and the extended flag on the extended keys alone, down and up alike, whether the key
// goes with its virtual key or by its scan code alone.
void keysGoWithTheirScanCodeAndTheExtendedFlagOfTheirOwn() {
    TestWindow window("vornik scan codes");
    if (!CHECK(window.watchRawInput()) || !CHECK(window.bringToFront()))
        return;
    // The keys of a US keyboard by their set-1 scan codes; right Control arrives as Control.
    const struct {
        uint8_t vk;
        WPARAM arrives;
        unsigned scan;
        bool extended;
    } keys[] = {{'A', 'A', 0x1E, false},
                {VK_RETURN, VK_RETURN, 0x1C, false},
                {VK_RIGHT, VK_RIGHT, 0x4D, true},
                {VK_DIVIDE, VK_DIVIDE, 0x35, true},
                {VK_RCONTROL, VK_CONTROL, 0x1D, true},
                {VK_LSHIFT, VK_SHIFT, 0x2A, false},
                {VK_SNAPSHOT, VK_SNAPSHOT, 0x37, true}};
    Win32KeyOutput withVirtualKeys;
    Win32KeyOutput scanCodesOnly(Win32KeyOutput::Keys::ScanCodesOnly);
    for (Win32KeyOutput* output : {&withVirtualKeys, &scanCodesOnly}) {
        for (const auto& key : keys) {
            window.keys.clear();
            window.rawKeys.clear();
            const std::optional<uint32_t> native = output->keyDown(key.vk);
            if (!CHECK(native.has_value()))
                continue;
            output->keyUp({key.vk, *native});
            pumpMessages(50);
            std::printf("  %s vk %u: ", output == &scanCodesOnly ? "scan codes only" : "virtual key and scan code",
                        key.vk);
            for (const TestWindow::KeyMessage& m : window.keys)
                std::printf("%s vk %u scan 0x%02X ext %d; ",
                            m.message == WM_KEYUP || m.message == WM_SYSKEYUP ? "up" : "down",
                            static_cast<unsigned>(m.vk), m.scan, m.extended ? 1 : 0);
            for (const TestWindow::RawKey& r : window.rawKeys)
                std::printf("raw %s 0x%02X e0 %d; ", r.up ? "up" : "down", r.makeCode, r.e0 ? 1 : 0);
            std::printf("\n");
            if (CHECK_EQ(window.keys.size(), size_t{2})) {
                for (const TestWindow::KeyMessage& m : window.keys) {
                    CHECK_EQ(m.vk, key.arrives);
                    CHECK_EQ(m.scan, key.scan);
                    CHECK_EQ(m.extended, key.extended);
                }
                CHECK(window.keys[0].message == WM_KEYDOWN && window.keys[1].message == WM_KEYUP);
            }
            const std::vector<TestWindow::RawKey> raw{{false, key.scan, key.extended}, {true, key.scan, key.extended}};
            CHECK(window.rawKeys == raw);
            CHECK_EQ(GetAsyncKeyState(key.vk) & 0x8000, 0);
        }
    }
}

void releaseAllLetsGoOfWhatTheProgramStillHolds() {
    TestWindow window("vornik release");
    if (!CHECK(window.bringToFront()))
        return;
    Win32Keyboard keyboard;
    Win32KeyOutput output;
    HeldOutput held(output);
    held.pressKey('B');
    held.pressKey('A');
    held.pressKey('C');
    held.releaseKey('C');
    CHECK(held.holdsKey('A') && held.holdsKey('B') && !held.holdsKey('C'));
    pumpMessages(50);
    window.keys.clear();

    held.releaseAll();
    held.releaseAll(); // the second call has nothing left to release
    pumpMessages(100);
    CHECK_EQ(keyboard.asyncKeyState('A'), 0);
    CHECK_EQ(keyboard.asyncKeyState('B'), 0);
    CHECK(!held.holdsAnything());
    const std::vector<TestWindow::KeyMessage> expected{{WM_KEYUP, 'A'}, {WM_KEYUP, 'B'}};
    CHECK(window.keys == expected);
    CHECK_EQ(window.keys.size(), expected.size());
}

void destroyingTheRecordReleasesItsKeys() {
    Win32Platform backend;
    {
        HeldOutput held(backend.platform().output);
        held.pressKey('Z');
        held.pressKey(VK_CONTROL);
        CHECK(GetAsyncKeyState('Z') & 0x8000);
    }
    CHECK_EQ(GetAsyncKeyState('Z') & 0x8000, 0);
    CHECK_EQ(GetAsyncKeyState(VK_CONTROL) & 0x8000, 0);
}

void thePointerMovesAsFarAsAskedAndClicksReachTheWindowBelowIt() {
    TestWindow window("vornik pointer");
    if (!CHECK(window.bringToFront()))
        return;
    RECT client{};
    GetClientRect(window.hwnd(), &client);
    POINT start{client.left + 20, client.top + 20};
    ClientToScreen(window.hwnd(), &start);
    SetCursorPos(start.x, start.y);
    Win32KeyOutput output;
    CHECK(output.canPoint());
    output.pointerMotion(37, 23);
    pumpMessages(50);
    POINT at{};
    GetCursorPos(&at);
    CHECK_EQ(at.x, start.x + 37);
    CHECK_EQ(at.y, start.y + 23);

    HeldOutput held(output);
    held.pressButton(PointerButton::Left);
    pumpMessages(50);
    held.releaseAll();
    pumpMessages(50);
    const std::vector<UINT> expected{WM_LBUTTONDOWN, WM_LBUTTONUP};
    CHECK(window.clicks == expected);
    CHECK_EQ(GetAsyncKeyState(VK_LBUTTON) & 0x8000, 0);
}

void joystickDetectionAnswersThatThereIsNoJoystick() {
    Win32Joysticks joysticks;
    for (uint32_t id = 0; id < 32; ++id) {
        JoyCapsRecord caps{1, 2, 3, 4, 5, "unchanged"};
        CHECK(joysticks.getDevCaps(id, caps) != 0);
        CHECK(caps.wXmin == 1 && caps.wXmax == 2 && caps.wMaxButtons == 5 &&
              caps.szPname == "unchanged"); // left as it was
    }
    JoyReading reading{7, 8, 9, 10};
    CHECK(joysticks.getPosEx(0, reading) != 0);
    CHECK(reading.dwXpos == 7 && reading.dwYpos == 8 && reading.dwButtons == 9 && reading.dwPOV == 10);
    CHECK(joysticks.getPosEx(31, reading) != 0);
    CHECK(joysticks.getPosEx(4000000000u, reading) != 0);
    JoyCapsRecord caps;
    CHECK(joysticks.getDevCaps(4000000000u, caps) != 0);

    // The start-up detection through the engine: no joystick present, capability records empty.
    Win32Platform backend;
    Configuration config;
    config.joystickPresent.fill(1);
    RecordingHost host;
    Engine engine(config, backend.platform(), host);
    engine.detectJoysticks();
    for (int joystick = 1; joystick <= kMaxJoysticks; ++joystick)
        CHECK(!config.present(joystick) && config.caps(joystick).wMaxButtons == 0);
}

// A pad plugged in is announced to the backend's hidden top-level window by the system's broadcast
// WM_DEVICECHANGE: the pads are looked for at once, then once a second while winmm settles.
void padsPluggedInAreAnnouncedByTheSystemsBroadcast() {
    Win32Joysticks joysticks;
    if (!CHECK(joysticks.devicesAnnounced()))
        return;
    CHECK(!joysticks.deviceChangesWaiting());
    CHECK(!joysticks.takeDeviceChanges());
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0, SMTO_ABORTIFHUNG, 2000, &result);
    CHECK(joysticks.deviceChangesWaiting());
    CHECK(joysticks.takeDeviceChanges());
    CHECK(!joysticks.takeDeviceChanges()); // the next look comes a second later
}

// No joystick can be plugged into the machine the tests run on: the system's records are made here
// and taken the way the backend takes what joyGetDevCapsA and joyGetPosEx answer.
void joystickRecordsGiveTheNameAndTheHatAsTheStick() {
    JOYCAPSA system{};
    system.wXmax = 65535;
    system.wYmax = 65535;
    system.wMaxButtons = 12;
    std::strcpy(system.szPname, "Pad One");
    const JoyCapsRecord caps = capsFromSystem(system);
    CHECK_TEXT(caps.szPname, "Pad One");
    CHECK(caps.wXmax == 65535 && caps.wYmax == 65535 && caps.wMaxButtons == 12);
    std::memset(system.szPname, 'x', sizeof system.szPname); // a full name field has no zero at its end
    CHECK_TEXT(capsFromSystem(system).szPname, std::string(sizeof system.szPname, 'x'));
    CHECK(!capsHavePov(system));
    system.wCaps = JOYCAPS_HASPOV;
    CHECK(capsHavePov(system));

    // The hat's positions as the system names them, read as the stick by the engine.
    const struct {
        DWORD pov;
        StickZones zones;
    } positions[] = {{JOY_POVFORWARD, {2, 1}},  {4500, {3, 1}},  {JOY_POVRIGHT, {3, 2}}, {13500, {3, 3}},
                     {JOY_POVBACKWARD, {2, 3}}, {22500, {1, 3}}, {JOY_POVLEFT, {1, 2}},  {31500, {1, 1}},
                     {JOY_POVCENTERED, {2, 2}}};
    const JoystickCaps ranges{0, 65535, 0, 65535, 12};
    JOYINFOEX info{};
    info.dwXpos = 32767;
    info.dwYpos = 32767;
    info.dwButtons = 5;
    for (const auto& p : positions) {
        info.dwPOV = p.pov;
        const JoyReading reading = readingFromSystem(info, true);
        CHECK(reading.dwXpos == 32767 && reading.dwYpos == 32767 && reading.dwButtons == 5);
        CHECK_EQ(reading.dwPOV, p.pov);
        const StickZones zones = Engine::stickZones(ranges, reading);
        CHECK_EQ(zones.x, p.zones.x);
        CHECK_EQ(zones.y, p.zones.y);
    }
    // Without a hat, whatever the driver leaves in the field is no direction.
    info.dwPOV = JOY_POVFORWARD;
    CHECK_EQ(readingFromSystem(info, false).dwPOV, kPovCentred);
}

// The name a pad's page shows is its product's, as the game controller settings record it under the
// joystick's id: here written by the test for a driver of its own, then taken away again.
void aJoysticksNameIsItsProductsFromTheControllerSettings() {
    const wchar_t* driver = L"System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\VORNIK-TEST.DLL";
    const std::wstring settings = std::wstring(driver) + L"\\CurrentJoystickSettings";
    const wchar_t* oem = L"System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\"
                         L"VID_F00D&PID_0001";
    const wchar_t deviceKey[] = L"VID_F00D&PID_0001";
    const wchar_t product[] = L"Vornik \x624B\x628A Pro"; // Vornik 手把 Pro
    const auto bytes = [](const wchar_t* text, std::size_t chars) { return static_cast<DWORD>(chars * sizeof *text); };
    CHECK(RegSetKeyValueW(HKEY_CURRENT_USER, settings.c_str(), L"Joystick3OEMName", REG_SZ, deviceKey,
                          bytes(deviceKey, std::size(deviceKey))) == ERROR_SUCCESS);
    CHECK(RegSetKeyValueW(HKEY_CURRENT_USER, oem, L"OEMName", REG_SZ, product, bytes(product, std::size(product))) ==
          ERROR_SUCCESS);

    CHECK_TEXT(joystickProductName(2, "VORNIK-TEST.DLL"), "Vornik \xE6\x89\x8B\xE6\x8A\x8A Pro");
    CHECK_TEXT(joystickProductName(3, "VORNIK-TEST.DLL"), ""); // no device recorded under that id
    CHECK_TEXT(joystickProductName(2, "OTHER.DLL"), "");
    CHECK_TEXT(joystickProductName(2, ""), "");

    RegDeleteTreeW(HKEY_CURRENT_USER, driver);
    RegDeleteTreeW(HKEY_CURRENT_USER, oem);
    CHECK_TEXT(joystickProductName(2, "VORNIK-TEST.DLL"), "");
}

// An Xbox-style pad read through XInput: numbered as winmm numbers it, its right stick, triggers and
// D-pad, its buttons named.
void xinputPadsAreReadAsWinmmNumbersThem() {
    XINPUT_GAMEPAD pad{};
    pad.wButtons = XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_START | XINPUT_GAMEPAD_RIGHT_THUMB | XINPUT_GAMEPAD_DPAD_UP |
                   XINPUT_GAMEPAD_DPAD_LEFT;
    pad.sThumbLX = -32768;
    pad.sThumbLY = 32767; // up
    pad.sThumbRX = 32767;
    pad.sThumbRY = -32768; // down
    pad.bLeftTrigger = 255;
    const JoyReading r = readingFromXInput(pad);
    CHECK_EQ(r.dwButtons, 1u | 1u << 7 | 1u << 9); // A 1, Start 8, RS 10
    CHECK_EQ(r.dwPOV, 31500u);                    // up-left
    CHECK(r.dwXpos == 0 && r.dwYpos == 0 && r.rightX == 65535 && r.rightY == 65535);
    CHECK(r.leftTrigger == 65535 && r.rightTrigger == 0);
    pad.wButtons = XINPUT_GAMEPAD_B | XINPUT_GAMEPAD_LEFT_SHOULDER | XINPUT_GAMEPAD_BACK | XINPUT_GAMEPAD_DPAD_RIGHT;
    CHECK_EQ(readingFromXInput(pad).dwButtons, 1u << 1 | 1u << 4 | 1u << 6); // B 2, LB 5, Back 7
    CHECK_EQ(readingFromXInput(pad).dwPOV, 9000u);

    JOYCAPSA system{};
    std::strcpy(system.szPname, "Controller (XBOX 360 For Windows)");
    const JoyCapsRecord caps = capsWithXInput(capsFromSystem(system));
    CHECK_EQ(caps.wMaxButtons, 10u);
    CHECK_EQ(caps.inputs, uint32_t{PadHasRightStick | PadHasLeftTrigger | PadHasRightTrigger});
    const char* const names[10] = {"A", "B", "X", "Y", "LB", "RB", "Back", "Start", "LS", "RS"};
    for (int b = 1; b <= 10; ++b)
        CHECK_TEXT(std::string(padButtonLabel(caps.family, caps.roles[static_cast<std::size_t>(b - 1)])), names[b - 1]);
    CHECK(speaksXInput(caps.szPname));
    CHECK(!speaksXInput("Logitech Dual Action"));

    // Positions on winmm's ranges.
    CHECK_EQ(onFullRange(0, 0, 255), 0u);
    CHECK_EQ(onFullRange(255, 0, 255), 65535u);
    CHECK_EQ(onFullRange(300, 100, 300), 65535u);
    CHECK_EQ(onFullRange(50, 100, 300), 0u);
}

// Two Xbox pads as winmm and XInput see them, replayed by the test: winmm's joysticks by id, each the
// pad in an XInput slot, and what every pad presses.
struct FakePads {
    struct Pad {
        bool inXInput = false; // connected in its slot
        bool inWinmm = false;  // listed by winmm (it may go on listing a pad that has gone)
        WORD buttons = 0;      // XInput's
    };
    std::array<Pad, 4> bySlot{};
    std::array<int, 4> slotOfWinmmId{{-1, -1, -1, -1}};
};
FakePads g_pads;

MMRESULT WINAPI fakeDevCaps(UINT_PTR id, JOYCAPSA* caps, UINT) {
    const int slot = id < 4 ? g_pads.slotOfWinmmId[id] : -1;
    if (slot < 0 || !g_pads.bySlot[static_cast<std::size_t>(slot)].inWinmm)
        return JOYERR_UNPLUGGED;
    *caps = JOYCAPSA{};
    std::strcpy(caps->szPname, "Controller (XBOX 360 For Windows)");
    caps->wMaxButtons = caps->wNumButtons = 10;
    caps->wXmax = caps->wYmax = 65535;
    return JOYERR_NOERROR;
}

MMRESULT WINAPI fakePosEx(UINT id, JOYINFOEX* info) {
    const int slot = id < 4 ? g_pads.slotOfWinmmId[id] : -1;
    if (slot < 0 || !g_pads.bySlot[static_cast<std::size_t>(slot)].inWinmm)
        return JOYERR_UNPLUGGED;
    XINPUT_GAMEPAD pad{};
    pad.wButtons = g_pads.bySlot[static_cast<std::size_t>(slot)].buttons;
    info->dwButtons = readingFromXInput(pad).dwButtons; // winmm numbers an XInput pad's buttons alike
    return JOYERR_NOERROR;
}

DWORD WINAPI fakePadState(DWORD user, XINPUT_STATE* state) {
    if (user >= 4 || !g_pads.bySlot[user].inXInput)
        return ERROR_DEVICE_NOT_CONNECTED;
    *state = XINPUT_STATE{};
    state->Gamepad.wButtons = g_pads.bySlot[user].buttons;
    return ERROR_SUCCESS;
}

// Two Xbox pads, one dropping out: each page stays with its own pad, and the one whose pad went
// reports its loss instead of reading the other (whose press it used to show, with no release).
// Then two pads that winmm and XInput list in other orders: the first press puts each on its page.
// Then a pad XInput lists later than winmm.
void eachXboxPadKeepsItsPageAndItsLoss() {
    const Win32JoystickCalls calls{WinmmCalls{fakeDevCaps, fakePosEx}, XInputCalls{fakePadState}};
    const auto buttons = [](Win32Joysticks& joysticks, uint32_t id) -> int64_t {
        JoyReading reading;
        return joysticks.getPosEx(id, reading) == 0 ? int64_t{reading.dwButtons} : -1;
    };
    {
        g_pads = {};
        g_pads.bySlot[0] = {true, true, 0};
        g_pads.bySlot[1] = {true, true, 0};
        g_pads.slotOfWinmmId = {{0, 1, -1, -1}};
        Win32Joysticks joysticks(calls);
        JoyCapsRecord caps;
        CHECK_EQ(joysticks.getDevCaps(0, caps), 0u);
        CHECK_EQ(caps.inputs, uint32_t{PadHasRightStick | PadHasLeftTrigger | PadHasRightTrigger});
        CHECK_EQ(joysticks.getDevCaps(1, caps), 0u);
        CHECK(joysticks.getDevCaps(2, caps) != 0);
        g_pads.bySlot[1].buttons = XINPUT_GAMEPAD_B;
        CHECK_EQ(buttons(joysticks, 0), 0);
        CHECK_EQ(buttons(joysticks, 1), 2);
        // The first pad's battery goes flat; winmm has not noticed yet.
        g_pads.bySlot[0].inXInput = false;
        CHECK_EQ(buttons(joysticks, 0), -1);
        CHECK_EQ(buttons(joysticks, 1), 2);
        g_pads.bySlot[0].inWinmm = false;
        CHECK_EQ(buttons(joysticks, 0), -1);
        g_pads.bySlot[1].buttons = XINPUT_GAMEPAD_A;
        CHECK_EQ(buttons(joysticks, 1), 1);
        // Back in its slot and on its id.
        g_pads.bySlot[0] = {true, true, XINPUT_GAMEPAD_Y};
        CHECK_EQ(joysticks.getDevCaps(0, caps), 0u);
        CHECK_EQ(buttons(joysticks, 0), 8);
        CHECK_EQ(buttons(joysticks, 1), 1);
    }
    {
        g_pads = {};
        g_pads.bySlot[0] = {true, true, 0};
        g_pads.bySlot[1] = {true, true, 0};
        g_pads.slotOfWinmmId = {{1, 0, -1, -1}}; // winmm lists the second pad first
        Win32Joysticks joysticks(calls);
        JoyCapsRecord caps;
        CHECK_EQ(joysticks.getDevCaps(0, caps), 0u);
        CHECK_EQ(joysticks.getDevCaps(1, caps), 0u);
        g_pads.bySlot[1].buttons = XINPUT_GAMEPAD_X; // the pad on winmm's joystick 0
        CHECK_EQ(buttons(joysticks, 1), 0);          // its press found while reading the other
        CHECK_EQ(buttons(joysticks, 0), 4);
        g_pads.bySlot[1].buttons = 0;
        g_pads.bySlot[1].inXInput = g_pads.bySlot[1].inWinmm = false;
        CHECK_EQ(buttons(joysticks, 0), -1);
        g_pads.bySlot[0].buttons = XINPUT_GAMEPAD_B;
        CHECK_EQ(buttons(joysticks, 1), 2);
    }
    {
        // XInput lists a new pad a moment after winmm (Wine): at rest until it does.
        g_pads = {};
        g_pads.bySlot[0] = {false, true, XINPUT_GAMEPAD_A};
        g_pads.slotOfWinmmId = {{0, -1, -1, -1}};
        Win32Joysticks joysticks(calls);
        JoyCapsRecord caps;
        CHECK_EQ(joysticks.getDevCaps(0, caps), 0u);
        CHECK(caps.family == PadFamily::Xbox);
        CHECK_EQ(buttons(joysticks, 0), 0);
        g_pads.bySlot[0].inXInput = true;
        CHECK_EQ(buttons(joysticks, 0), 1);
    }
}

// Triggers of a pad winmm reads: on axes of their own they are the trigger rows; on Z shared by both
// (an Xbox-style pad XInput does not read), the left pushes it up and the right down.
MMRESULT WINAPI triggersDevCaps(UINT_PTR id, JOYCAPSA* caps, UINT) {
    if (id > 1)
        return JOYERR_UNPLUGGED;
    *caps = JOYCAPSA{};
    std::strcpy(caps->szPname, id == 0 ? "USB Gamepad" : "Controller (XBOX 360 For Windows)");
    caps->wXmax = caps->wYmax = caps->wZmax = caps->wRmax = caps->wUmax = caps->wVmax = 255;
    caps->wCaps = JOYCAPS_HASZ | JOYCAPS_HASR | JOYCAPS_HASU | (id == 0 ? JOYCAPS_HASV : 0);
    caps->wMaxButtons = 10;
    return JOYERR_NOERROR;
}
DWORD g_z = 128, g_u = 0, g_v = 0;
MMRESULT WINAPI triggersPosEx(UINT, JOYINFOEX* info) {
    info->dwXpos = info->dwYpos = info->dwRpos = 128;
    info->dwZpos = g_z;
    info->dwUpos = g_u;
    info->dwVpos = g_v;
    return JOYERR_NOERROR;
}

void triggersOfPadsWinmmReads() {
    g_z = 128, g_u = 0, g_v = 0;
    Win32Joysticks joysticks(Win32JoystickCalls{WinmmCalls{triggersDevCaps, triggersPosEx}, XInputCalls{}});
    JoyCapsRecord caps;
    for (uint32_t id : {0u, 1u}) {
        CHECK_EQ(joysticks.getDevCaps(id, caps), 0u);
        CHECK_EQ(caps.inputs, uint32_t{PadHasRightStick | PadHasLeftTrigger | PadHasRightTrigger});
    }
    JoyReading r;
    g_u = 255;
    CHECK_EQ(joysticks.getPosEx(0, r), 0u);
    CHECK(r.leftTrigger == 65535 && r.rightTrigger == 0 && r.rightX == 32896 && r.rightY == 32896);
    g_z = 255;
    CHECK_EQ(joysticks.getPosEx(1, r), 0u);
    CHECK(r.leftTrigger > 65000 && r.rightTrigger == 0 && r.rightX == 65535); // stick: U across, R down
    g_z = 0;
    CHECK_EQ(joysticks.getPosEx(1, r), 0u);
    CHECK(r.leftTrigger == 0 && r.rightTrigger == 65534);
}

void hiddenWindowTimerFiresAndStops() {
    int firings = 0;
    unsigned lastId = 0;
    Win32TimerWindow window([&](unsigned id) {
        ++firings;
        lastId = id;
    });
    CHECK(window.handle() != nullptr);
    // Any other message goes to the default window procedure.
    CHECK_EQ(static_cast<int>(SendMessageA(static_cast<HWND>(window.handle()), WM_GETTEXTLENGTH, 0, 0)), 0);
    if (!CHECK(window.SetTimer(1, 20)))
        return;
    pumpMessages(200);
    CHECK(firings >= 3);
    CHECK_EQ(lastId, 1u);
    window.KillTimer(1);
    pumpMessages(10);
    const int afterKill = firings;
    pumpMessages(100);
    CHECK_EQ(firings, afterKill);
}

void timerInWindowTimerModeFiresOnTheHiddenWindow() {
    std::vector<std::string> errors;
    TimerHooks hooks;
    hooks.createWindow = &Win32TimerWindow::create;
    hooks.onError = [&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            errors.push_back(e.what());
        }
    };
    const DWORD mainThread = GetCurrentThreadId();
    int firings = 0;
    bool onMainThread = true;
    {
        TTimerEx timer(hooks);
        timer.setThreaded(false);
        timer.setInterval(30);
        timer.setOnTimer([&](TTimerEx&) {
            ++firings;
            onMainThread = onMainThread && GetCurrentThreadId() == mainThread;
            if (firings == 2)
                throw std::runtime_error("second firing");
        });
        CHECK(timer.hasHiddenWindow());
        CHECK(timer.worker() == nullptr);
        pumpMessages(200);
        CHECK(firings >= 3); // the error of the second firing did not stop the timer
        CHECK(onMainThread);
        CHECK_EQ(errors.size(), size_t{1});
    }
    const int atDestruction = firings;
    pumpMessages(100);
    CHECK_EQ(firings, atDestruction);
}

void threadedTimerRunsItsWorkerAtTheChosenPriority() {
    std::atomic<int> firings{0};
    std::atomic<int> priority{THREAD_PRIORITY_ERROR_RETURN};
    std::atomic<bool> onWorker{true};
    const DWORD mainThread = GetCurrentThreadId();
    TimerHooks hooks;
    addSystemTimerHooks(hooks);
    TTimerEx timer(hooks);
    timer.setThreadSafe(true); // fire on the worker itself, so its own priority can be read
    timer.setThreadPriority(tpHighest);
    timer.setInterval(20);
    timer.setOnTimer([&](TTimerEx&) {
        priority = GetThreadPriority(GetCurrentThread());
        onWorker = onWorker && GetCurrentThreadId() != mainThread;
        ++firings;
    });
    Sleep(200);
    timer.setEnabled(false);
    CHECK(firings >= 3);
    CHECK(onWorker);
    CHECK_EQ(priority.load(), THREAD_PRIORITY_HIGHEST);
    if (CHECK(timer.worker() != nullptr))
        CHECK(!timer.worker()->priorityRefused());
}

void enumerationFindsOurWindowsWithPidVisibilityAndTitle() {
    TestWindow shown("vornik shown");
    TestWindow hidden("vornik hidden", false);
    Win32WindowSystem windows;
    bool foundShown = false, foundHidden = false;
    windows.enumWindows([&](WindowHandle h) {
        foundShown = foundShown || h == shown.handle();
        foundHidden = foundHidden || h == hidden.handle();
    });
    CHECK(foundShown && foundHidden);
    CHECK_EQ(windows.windowProcessId(shown.handle()), static_cast<uint32_t>(GetCurrentProcessId()));
    CHECK_EQ(windows.windowProcessId(hidden.handle()), static_cast<uint32_t>(GetCurrentProcessId()));
    CHECK(windows.isWindowVisible(shown.handle()));
    CHECK(!windows.isWindowVisible(hidden.handle()));
    CHECK_TEXT(windows.windowText(shown.handle(), 100), "vornik shown");
    CHECK_TEXT(windows.windowText(shown.handle(), 5), "vorn");
    if (CHECK(shown.bringToFront()))
        CHECK(windows.foregroundWindow() == shown.handle());

    // The walk ends at an exception from the visitor, which reaches the caller.
    int visited = 0;
    bool thrown = false;
    try {
        windows.enumWindows([&](WindowHandle) {
            ++visited;
            throw std::runtime_error("stop");
        });
    } catch (const std::runtime_error&) {
        thrown = true;
    }
    CHECK(thrown);
    CHECK_EQ(visited, 1);

    const WindowHandle gone = hidden.handle();
    hidden.close();
    CHECK_EQ(windows.windowProcessId(gone), 0u);
    CHECK(!windows.isWindowVisible(gone));
    CHECK_TEXT(windows.windowText(gone, 100), "");
    CHECK(!windows.setWindowText(gone, "x"));
}

// Titles are read and written through the wide calls: every script comes through as it is, whatever the
// system's code page, and the cut at 99 characters counts characters, not bytes or UTF-16 units.
void titlesComeThroughInEveryScript() {
    TestWindow window("");
    Win32WindowSystem windows;
    const std::string japanese = "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0\xE7\x94\xBB\xE9\x9D\xA2 1"; // ゲーム画面 1
    CHECK(windows.setWindowText(window.handle(), japanese));
    wchar_t raw[64] = {};
    GetWindowTextW(window.hwnd(), raw, 64);
    CHECK(std::wstring(raw) == L"\x30B2\x30FC\x30E0\x753B\x9762 1");
    CHECK_TEXT(windows.windowText(window.handle(), 100), japanese);
    const std::string mixed = "a\xED\x95\x9C\xC3\xA4\xE6\xB8\xAC\x62"; // a한ä測b
    CHECK(windows.setWindowText(window.handle(), mixed));
    CHECK_TEXT(windows.windowText(window.handle(), 100), mixed);

    // 120 characters: 99 are read, three-byte ones and four-byte ones (two UTF-16 units) alike.
    for (const std::string& one : {std::string("\xE6\xB8\xAC"), std::string("\xF0\x9F\x8E\xAE")}) { // 測, 🎮
        std::string longTitle;
        for (int i = 0; i < 120; ++i)
            longTitle += one;
        CHECK(windows.setWindowText(window.handle(), longTitle));
        CHECK_TEXT(windows.windowText(window.handle(), 100), longTitle.substr(0, 99 * one.size()));
        CHECK_TEXT(windows.windowText(window.handle(), 5), longTitle.substr(0, 4 * one.size()));
    }
}

// A window titled in Japanese is listed under its title, with no "?" in it.
void theTargetListShowsATitleInJapanese() {
    TestWindow window("");
    Win32WindowSystem windows;
    const std::string title = "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0\xE7\x94\xBB\xE9\x9D\xA2"; // ゲーム画面
    SetWindowTextW(window.hwnd(), L"\x30B2\x30FC\x30E0\x753B\x9762");
    TargetWindowList list;
    RecordingHost host;
    TargetWindows targets(list, windows, host, false);
    targets.RefreshTargetWindows();
    const int entry = entryOf(list, window.handle());
    if (CHECK(entry > 0))
        CHECK_TEXT(host.items.at(static_cast<std::size_t>(entry - 1)), title);
}

void refreshRenamesAnUntitledWindowOnce() {
    TestWindow application("vornik application");
    TestWindow untitled("");
    TestWindow hidden("", false);
    Win32WindowSystem windows;
    windows.setApplicationHandle(application.handle());

    TargetWindowList list;
    list.OwnApplicationHandle = windows.applicationHandle();
    RecordingHost host;
    TargetWindows targets(list, windows, host, false);
    targets.RefreshTargetWindows();

    const int entry = entryOf(list, untitled.handle());
    if (!CHECK(entry > 0))
        return;
    CHECK_EQ(entryOf(list, hidden.handle()), 0);
    CHECK_EQ(list.ProcessIds[entry], static_cast<uint32_t>(GetCurrentProcessId()));
    const std::string prefix = "Process " + hex8(application.handle());
    const std::string title = untitled.rawTitle();
    CHECK_TEXT(title.substr(0, prefix.size()), prefix);
    CHECK(title.size() > prefix.size());
    CHECK_TEXT(host.items.at(static_cast<std::size_t>(entry - 1)), title);
    CHECK_TEXT(hidden.rawTitle(), "");

    // The next refresh finds it titled: same title, and the counter stays where it was.
    const int counter = list.UntitledWindowCounter;
    targets.RefreshTargetWindows();
    CHECK_TEXT(untitled.rawTitle(), title);
    CHECK_EQ(list.UntitledWindowCounter, counter);

    // Picking it makes our process the target; it is in front once its window is.
    targets.chooseTarget(entryOf(list, untitled.handle()) - 1);
    CHECK_EQ(list.TargetProcessId, static_cast<uint32_t>(GetCurrentProcessId()));
    if (CHECK(application.bringToFront()))
        CHECK(targets.targetInFront());

    // With "/allproc" the hidden window is listed and named too.
    TargetWindows all(list, windows, host, true);
    all.RefreshTargetWindows();
    CHECK(entryOf(list, hidden.handle()) > 0);
    CHECK_TEXT(hidden.rawTitle().substr(0, prefix.size()), prefix);
}

void movePlayerSendsItsEventsInOrder() {
    TestWindow window("vornik move");
    if (!CHECK(window.bringToFront()))
        return;
    Win32Platform backend;
    Keyboard& keyboard = backend.platform().keyboard;
    HeldOutput held(backend.platform().output);
    MoveTable moves;
    Move& move = moves[1];
    move.Steps[1] = {'Q', 0};
    move.Steps[2] = {'W', VK_SHIFT};
    move.Steps[3] = {'E', 0};
    move.StepCount = 3;
    move.Speed = 20;
    move.RepeatCount = 2;
    move.Overlap = 1;
    MovePlayer player(moves, held, backend.platform().clock);

    // As the scheduler does: sleep until the next event is due, then send what is due.
    Clock& clock = backend.platform().clock;
    const uint32_t start = clock.tickCount();
    player.PlayMove(1);
    while (const std::optional<uint32_t> due = player.nextDue(clock.tickCount())) {
        clock.sleep(*due);
        player.step(clock.tickCount());
    }
    const uint32_t elapsed = clock.tickCount() - start;
    pumpMessages(100);

    const UINT down = WM_KEYDOWN, up = WM_KEYUP;
    std::vector<TestWindow::KeyMessage> onePass{{down, 'Q'}, {down, 'W'}, {down, VK_SHIFT}, {up, 'Q'},
                                                {down, 'E'}, {up, 'W'},   {up, VK_SHIFT},   {up, 'E'}};
    std::vector<TestWindow::KeyMessage> expected = onePass;
    expected.insert(expected.end(), onePass.begin(), onePass.end());
    CHECK_EQ(window.keys.size(), expected.size());
    CHECK(window.keys == expected);
    // Two passes of (2n - 1) pauses of 20 ms, on the millisecond clock.
    CHECK(elapsed >= 2 * 5 * 20);
    CHECK_EQ(keyboard.asyncKeyState('W'), 0);
    CHECK_EQ(keyboard.asyncKeyState(VK_SHIFT), 0);
}

struct Case {
    const char* name;
    void (*run)();
};

} // namespace

std::string narrowUtf8(const std::wstring& wide) {
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr, nullptr);
    return utf8;
}

// A user folder named in Chinese is common: the key-map file must be found under one.
void keyMapIsFoundUnderAFolderNamedInChinese() {
    wchar_t temp[MAX_PATH];
    CHECK(GetTempPathW(MAX_PATH, temp) > 0);
    const std::wstring folder =
        std::wstring(temp) + L"vornik-\x4F7F\x7528\x8005-" + std::to_wstring(GetCurrentProcessId());
    CHECK(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring file = folder + L"\\keymap";
    const KeyMapRecord records[] = {{0, 19, 0, 19, 27}, {30, 49, 0, 19, 112}};
    const std::string bytes = serializeKeyMap(records, 2);
    std::FILE* out = _wfopen(file.c_str(), L"wb");
    if (CHECK(out != nullptr)) {
        CHECK_EQ(std::fwrite(bytes.data(), 1, bytes.size(), out), bytes.size());
        std::fclose(out);
    }

    KeyMap map;
    const KeyMapLoad result = loadKeyMap(narrowUtf8(file), map);
    CHECK_EQ(static_cast<int>(result.status), static_cast<int>(KeyMapLoad::Loaded));
    CHECK_EQ(map.Count, 2);
    CHECK_EQ(map.Records[2].VirtualKey, 112);
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}

// The profile file calls with a UTF-8 path that only the wide calls can reach: saved over an older file
// (the atomic replace), loaded back, and no temporary file left beside it.
void profileIsSavedOverAnOlderOneUnderAFolderNamedInChinese() {
    wchar_t temp[MAX_PATH];
    CHECK(GetTempPathW(MAX_PATH, temp) > 0);
    const std::wstring folder = std::wstring(temp) + L"vornik-\x8A2D\x5B9A-" + std::to_wstring(GetCurrentProcessId());
    CHECK(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring file = folder + L"\\\x62DB\x5F0F.vornik";
    std::FILE* older = _wfopen(file.c_str(), L"wb");
    if (CHECK(older != nullptr)) {
        std::fputs("an older profile", older);
        std::fclose(older);
    }

    Configuration saved;
    const auto name = utf8ToBig5("\xE8\xA9\xA6\xE9\xA9\x97"); // 試驗
    if (CHECK(name.has_value()))
        setMoveName(saved.moves[1], *name);
    saved.moves[1].Speed = 20;
    saved.moves[1].RepeatCount = 1;
    saved.moves[1].StepCount = 1;
    saved.moves[1].Steps[1] = {65, 16};
    const ProfileResult written = saveProfile(narrowUtf8(file), saved);
    if (!CHECK(written.ok))
        std::printf("    %s\n", written.message.c_str());

    Configuration loaded;
    const ProfileResult read = loadProfile(narrowUtf8(file), loaded);
    if (!CHECK(read.ok))
        std::printf("    %s\n", read.message.c_str());
    CHECK(loaded.moves[1] == saved.moves[1]);

    int files = 0;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (CHECK(search != INVALID_HANDLE_VALUE)) {
        do {
            files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    CHECK_EQ(files, 1);
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}

// The target's state asks whether its process still runs and whether the keys can reach it: this
// process runs and is within reach of itself; a process that has ended does not run, even while a
// handle keeps its object alive.
void processQueriesTellRunningEndedAndWithinReach() {
    Win32WindowSystem windows;
    const auto self = static_cast<uint32_t>(GetCurrentProcessId());
    CHECK(windows.processRunning(self));
    CHECK(!windows.processOutOfReach(self));

    wchar_t command[] = L"cmd.exe /c exit 0";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CHECK(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                              &child)))
        return;
    CHECK_EQ(WaitForSingleObject(child.hProcess, 10000), WAIT_OBJECT_0);
    CHECK(!windows.processRunning(static_cast<uint32_t>(child.dwProcessId)));
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
}

int main() {
    const Case cases[] = {
        {"key-down then key-up seen by GetAsyncKeyState", keyDownThenUpIsSeenByTheKeyState},
        {"key-up releases the extended key its key-down pressed", keyUpReleasesTheExtendedKeyItsKeyDownPressed},
        {"keys go with their scan code and their own extended flag",
         keysGoWithTheirScanCodeAndTheExtendedFlagOfTheirOwn},
        {"releaseAll lets go of what the program holds", releaseAllLetsGoOfWhatTheProgramStillHolds},
        {"destroying the record releases its keys", destroyingTheRecordReleasesItsKeys},
        {"the pointer moves as far as asked and clicks", thePointerMovesAsFarAsAskedAndClicksReachTheWindowBelowIt},
        {"joystick detection with no joystick", joystickDetectionAnswersThatThereIsNoJoystick},
        {"joystick records: name, and the hat as the stick", joystickRecordsGiveTheNameAndTheHatAsTheStick},
        {"a joystick's name is its product's", aJoysticksNameIsItsProductsFromTheControllerSettings},
        {"pads plugged in are announced by the system's broadcast", padsPluggedInAreAnnouncedByTheSystemsBroadcast},
        {"XInput pads read as winmm numbers them", xinputPadsAreReadAsWinmmNumbersThem},
        {"each Xbox pad keeps its page, and its loss", eachXboxPadKeepsItsPageAndItsLoss},
        {"triggers of pads winmm reads", triggersOfPadsWinmmReads},
        {"hidden-window timer fires and stops", hiddenWindowTimerFiresAndStops},
        {"TTimerEx window-timer mode on the hidden window", timerInWindowTimerModeFiresOnTheHiddenWindow},
        {"TTimerEx threaded mode at tpHighest", threadedTimerRunsItsWorkerAtTheChosenPriority},
        {"enumeration: pid, visibility, title", enumerationFindsOurWindowsWithPidVisibilityAndTitle},
        {"titles come through in every script", titlesComeThroughInEveryScript},
        {"the target list shows a title in Japanese", theTargetListShowsATitleInJapanese},
        {"process queries: running, ended, within reach", processQueriesTellRunningEndedAndWithinReach},
        {"RefreshTargetWindows renames an untitled window once", refreshRenamesAnUntitledWindowOnce},
        {"move player sends its events in order", movePlayerSendsItsEventsInOrder},
        {"key-map file under a folder named in Chinese", keyMapIsFoundUnderAFolderNamedInChinese},
        {"profile saved over an older one under a folder named in Chinese",
         profileIsSavedOverAnOlderOneUnderAFolderNamedInChinese},
    };
    int failedCases = 0;
    for (const Case& c : cases) {
        const int before = g_failures;
        try {
            c.run();
        } catch (const std::exception& e) {
            ++g_failures;
            std::printf("  FAILED: exception %s\n", e.what());
        }
        const bool passed = g_failures == before;
        failedCases += passed ? 0 : 1;
        std::printf("%s %s\n", passed ? "PASS" : "FAIL", c.name);
        std::fflush(stdout);
    }
    std::printf("%d of %zu cases failed\n", failedCases, std::size(cases));
    return failedCases == 0 ? 0 : 1;
}
