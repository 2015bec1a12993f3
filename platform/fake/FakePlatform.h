#pragma once

// A scriptable platform for tests: joysticks, keyboard, output, windows and a clock that advances
// only when slept on. The keyboard records every synthesized key event with the clock's time.

#include "Platform.h"

#include <array>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vornik {

class FakeClock : public Clock {
public:
    void sleep(uint32_t ms) override {
        if (m_interrupted)
            return;
        m_now += ms;
        ++m_sleeps;
        if (onSleep)
            onSleep(m_now);
    }
    void interruptSleeps() noexcept override { m_interrupted = true; }
    uint32_t tickCount() override { return m_now; }
    void advance(uint32_t ms) { m_now += ms; }
    void set(uint32_t now) { m_now = now; }
    int sleepCalls() const { return m_sleeps; }
    // Runs after each sleep with the new time: a test's stand-in for what happens meanwhile.
    std::function<void(uint32_t now)> onSleep;

private:
    uint32_t m_now = 0;
    int m_sleeps = 0;
    bool m_interrupted = false;
};

struct FakeJoystick {
    bool present = false;
    JoyCapsRecord caps{0, 65535, 0, 65535, 12, "Fake Pad"};
    JoyReading reading{32767, 32767, 0, kPovCentred};
    uint32_t readError = 0; // nonzero: every read fails with this code
};

class FakeJoysticks : public Joysticks {
public:
    FakeJoysticks();
    ~FakeJoysticks() override;
    FakeJoysticks(const FakeJoysticks&) = delete;
    FakeJoysticks& operator=(const FakeJoysticks&) = delete;

    std::array<FakeJoystick, 32> devices{};
    int reads = 0;
    std::vector<uint32_t> capsQueries; // the id of every capability query, in order

    // Plugs in a joystick at system id `id` with the usual 0..65535 ranges, centred, hat centred.
    FakeJoystick& plug(uint32_t id, uint32_t buttons = 12);
    uint32_t getDevCaps(uint32_t id, JoyCapsRecord& caps) override;
    uint32_t getPosEx(uint32_t id, JoyReading& reading) override;

    // What a device node does when its joystick sends input: the change descriptor becomes readable.
    void signalChange();
    int changeDescriptor() override { return m_change[0]; }
    void drainChanges() override;
    // Whether the test promises to call signalChange on every change of every joystick.
    bool announced = false;
    bool changesAnnounced() override { return announced; }
    // What pollInterval answers: a stand-in for a backend whose pads announce nothing.
    uint32_t pollEvery = 0;
    uint32_t pollInterval() override { return pollEvery; }
    // A stand-in for a backend that announces pads plugged in or out: whether it does, and whether
    // one has been since the engine last took it (a test sets it with signalChange, as the system would).
    bool announcesDevices = false;
    bool devicesChanged = false;
    bool devicesAnnounced() override { return announcesDevices; }
    bool deviceChangesWaiting() override { return devicesChanged; }
    bool takeDeviceChanges() override { return std::exchange(devicesChanged, false); }

private:
    int m_change[2] = {-1, -1}; // a pipe: read end, write end (none on Windows)
};

constexpr uint32_t kKeyEventExtendedKey = 1; // the flags of a recorded key-down
constexpr uint32_t kKeyEventKeyUp = 2;       // the flags of a recorded key-up

struct KeyEventRecord {
    uint32_t time;
    uint8_t vk;
    uint32_t flags; // kKeyEventExtendedKey or kKeyEventKeyUp
    bool operator==(const KeyEventRecord&) const = default;
};

// The system's keyboard: the key state, which the user's own keys (hold, letGo) and the program's
// synthesized events (FakeOutput) change, and the record of every synthesized key event.
class FakeKeyboard : public Keyboard {
public:
    std::vector<KeyEventRecord> events;
    int stateQueries = 0;

    int16_t asyncKeyState(int vk) override;

    // A stand-in for an event-fed backend: what changeDescriptor answers (-1: none), and whether
    // takeChanges finds anything (it is cleared when taken).
    int descriptor = -1;
    bool changesWaiting = false;
    int changeDescriptor() override { return descriptor; }
    bool takeChanges() override { return std::exchange(changesWaiting, false); }

    // The user's own key presses: change the state without recording a synthesized event. A press
    // counts for pressedSinceLastQuery until the key is queried, even once let go (tap).
    void hold(int vk) {
        m_down[vk & 0xFF] = true;
        m_pressed[vk & 0xFF] = true;
    }
    void letGo(int vk) { m_down[vk & 0xFF] = false; }
    void tap(int vk) {
        hold(vk);
        letGo(vk);
    }
    bool isDown(int vk) const { return m_down[vk & 0xFF]; }
    bool pressedSinceLastQuery(int vk) override;
    void forgetPresses() override { m_pressed.fill(false); }
    // A synthesized event at `time`, recorded and applied to the state.
    void synthesized(uint32_t time, uint8_t vk, bool down);

private:
    std::array<bool, 256> m_down{};
    std::array<bool, 256> m_pressed{}; // the user's presses not yet queried
};

struct PointerEventRecord {
    enum Kind { Button, Motion, Wheel } kind;
    int a = 0; // button (PointerButton) or dx or steps
    int b = 0; // down (1) or up (0), or dy, or horizontal (1)
    bool operator==(const PointerEventRecord&) const = default;
};

// Synthesized key events into the fake keyboard (a key's native code is its virtual-key code), and
// pointer events into a record of their own.
class FakeOutput : public Output {
public:
    FakeOutput(FakeKeyboard& keyboard, Clock& clock) : m_keyboard(keyboard), m_clock(clock) {}

    bool pointer = true; // whether this output says it can send pointer events
    bool refuseButtons = false; // a press guard that says no: button presses are not sent
    // What unavailableReason answers; nonempty: no key event goes out.
    std::string unavailable;
    std::vector<PointerEventRecord> pointerEvents;
    int flushes = 0;
    // Called after each key-down: what happens meanwhile at the system (the focus moving on).
    std::function<void(uint8_t vk)> afterKeyDown;

    std::optional<uint32_t> keyDown(uint8_t vk) override;
    void keyUp(const SentKey& key) override;
    std::string unavailableReason() const override { return unavailable; }
    bool canPoint() const override { return pointer; }
    bool pointerButton(PointerButton button, bool down) override;
    void pointerMotion(int dx, int dy) override;
    void wheel(int steps, bool horizontal) override;
    void flush() override { ++flushes; }
    // Pointer buttons down by this output's events.
    bool buttonDown(PointerButton button) const { return m_buttons[static_cast<std::size_t>(button)]; }

private:
    FakeKeyboard& m_keyboard;
    Clock& m_clock;
    std::array<bool, kPointerButtonCount> m_buttons{};
};

struct FakeWindow {
    uint32_t pid = 0;
    bool visible = true;
    std::string title;
};

class FakeWindowSystem : public WindowSystem {
public:
    std::map<WindowHandle, FakeWindow> windows; // enumerated in handle order
    WindowHandle foreground = 0;
    WindowHandle ownApplication = 0x00ABCDEF;

    FakeWindow& add(WindowHandle h, uint32_t pid, std::string title = {}, bool visible = true);

    WindowHandle foregroundWindow() override { return foreground; }
    uint32_t windowProcessId(WindowHandle window) override;
    void enumWindows(const std::function<void(WindowHandle)>& visit) override;
    bool isWindowVisible(WindowHandle window) override;
    std::string windowText(WindowHandle window, int maxChars) override;
    bool setWindowText(WindowHandle window, const std::string& title) override;
    WindowHandle applicationHandle() override { return ownApplication; }
    // As FakeKeyboard's: a stand-in for an event-fed backend.
    int descriptor = -1;
    bool changesWaiting = false;
    int changeDescriptor() override { return descriptor; }
    bool takeChanges() override { return std::exchange(changesWaiting, false); }
    std::map<uint32_t, std::string> executables; // by process id
    std::string processExecutableName(uint32_t pid) override {
        const auto it = executables.find(pid);
        return it == executables.end() ? std::string() : it->second;
    }
    std::set<uint32_t> ended;    // processes that no longer run
    std::set<uint32_t> elevated; // processes the program's key events do not reach
    bool everyWindowSeen = true; // false: an X client on a Wayland desktop
    bool processRunning(uint32_t pid) override { return !ended.contains(pid); }
    bool processOutOfReach(uint32_t pid) override { return elevated.contains(pid); }
    bool seesEveryWindow() override { return everyWindowSeen; }
    std::string unseenWhy;                 // what the backend lacks to see every window
    std::set<WindowHandle> keysUnreadWith; // windows while which the key state does not follow the keyboard
    std::string unseenReason() override { return unseenWhy; }
    bool keysReadWith(WindowHandle window) override { return !keysUnreadWith.contains(window); }
};

// All five, wired together.
struct FakePlatform {
    FakeClock clock;
    FakeJoysticks joysticks;
    FakeKeyboard keyboard;
    FakeOutput output{keyboard, clock};
    FakeWindowSystem windows;
    Platform platform{joysticks, keyboard, output, windows, clock};
};

} // namespace vornik
