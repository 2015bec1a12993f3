// GoogleTest first: the X headers define macros (None, Bool, Status) that clash with it.
#include <gtest/gtest.h>

#include "Engine.h"
#include "HeadlessHost.h"
#include "KeyLabels.h"
#include "LinuxPlatform.h"
#include "MainQueue.h"
#include "RecorderProcess.h"
#include "TestDisplay.h"
#include "TimerEx.h"
#include "VirtualJoystick.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <memory>
#include <thread>

namespace vornik {
namespace {

using namespace std::chrono_literals;
using test::RecorderProcess;
using test::TestDisplay;
using test::VirtualJoystick;

// The main window as the engine sees it: visible, no boxes ticked, the combo recorded.
struct Host : HeadlessHost {
    std::vector<std::string> items;
    int selected = -1;
    std::vector<std::string> connectionErrors;
    Answer answer = Answer::Ok;
    bool ended = false;

    void clearTargetItems() override {
        items.clear();
        selected = -1;
    }
    void addTargetItem(const std::string& title) override { items.push_back(title); }
    void selectTargetItem(int index) override { selected = index; }
    Answer askConnectionError(const std::string& text) override {
        connectionErrors.push_back(text);
        return answer;
    }
    void endProgram() override { ended = true; }
};

JoystickBinding keys(std::initializer_list<int> codes) {
    JoystickBinding b;
    b.BindingKind = BindingKeys;
    int* slots[3] = {&b.Key1, &b.Key2, &b.Key3};
    for (int code : codes)
        *slots[b.KeyCount++] = code;
    return b;
}

class EngineOnX : public ::testing::Test {
protected:
    TestDisplay user;
    VirtualJoystick pad{12}; // attached before the backend starts, so it is system id 0
    RecorderProcess target{{"--title", "target", "--focus"}};
    LinuxPlatform platform;
    Configuration config;
    Host host;
    std::unique_ptr<Engine> engine;
    vornik::testing::MainQueue mainThread;
    std::unique_ptr<TTimerEx> timer;

    void SetUp() override {
        ASSERT_EQ(pad.deviceIndex(), 0);
        buildNamedKeyList(config.namedKeys);
        config.targets.OwnApplicationHandle = 0x00ABCDEF;
        engine = std::make_unique<Engine>(config, platform.platform(), host);
        engine->detectJoysticks();
        ASSERT_TRUE(config.present(1));
        ASSERT_EQ(config.caps(1).wMaxButtons, 12u);
    }

    void TearDown() override {
        stopTimer();
        engine->releaseHeldKeys();
    }

    // The program's own timer: 30 ms on a worker of the highest priority, each tick run on this thread.
    void startTimer() {
        TimerHooks hooks;
        hooks.runOnMainThread = mainThread.hook();
        timer = std::make_unique<TTimerEx>(hooks);
        timer->setEnabled(false);
        timer->setInterval(30);
        timer->setThreadPriority(tpHighest);
        timer->setThreaded(true);
        timer->setOnTimer([this](TTimerEx&) { engine->EngineTick(); });
        timer->setEnabled(true);
    }
    void stopTimer() {
        if (timer)
            timer->setEnabled(false);
        timer.reset();
    }

    void chooseTarget(WindowHandle window) {
        engine->targets().RefreshTargetWindows();
        engine->targets().SelectForegroundTarget(window);
    }
    // Runs ticks until `target` has received `count` key events, then some more ticks to catch extras.
    bool runUntilKeys(RecorderProcess& recorder, std::size_t count) {
        const bool arrived = mainThread.pumpUntil([&] { return recorder.keys().size() >= count; }, 3000ms);
        mainThread.pumpFor(300ms); // about ten more ticks
        return arrived;
    }
};

TEST_F(EngineOnX, StickLeftPressesOnceAndCentrePressesUpOnce) {
    config.joystickBindings[1][kEntryLeft] = keys({'A'});
    chooseTarget(target.window());
    ASSERT_EQ(config.targets.TargetProcessId, static_cast<uint32_t>(target.pid()));
    startTimer();

    pad.setAxis(0, -32768);
    ASSERT_TRUE(runUntilKeys(target, 1));
    EXPECT_EQ(target.keyTexts(), (std::vector<std::string>{"+a"})) << "held left: one key-down, no repeats";

    pad.centre();
    ASSERT_TRUE(runUntilKeys(target, 2));
    EXPECT_EQ(target.keyTexts(), (std::vector<std::string>{"+a", "-a"}));
}

TEST_F(EngineOnX, ButtonChordControlX) {
    config.joystickBindings[1][buttonEntry(3)] = keys({17, 'X'});
    chooseTarget(target.window());
    startTimer();

    pad.setButton(2, true);
    ASSERT_TRUE(runUntilKeys(target, 2));
    EXPECT_EQ(target.keyTexts(), (std::vector<std::string>{"+Control_L", "+x"}));
    pad.setButton(2, false);
    ASSERT_TRUE(runUntilKeys(target, 4));
    EXPECT_EQ(target.keyTexts(), (std::vector<std::string>{"+Control_L", "+x", "-Control_L", "-x"}));
}

TEST_F(EngineOnX, ReleaseAllLeavesNoKeyDownAfterAHeldChord) {
    config.joystickBindings[1][buttonEntry(1)] = keys({16, 17, 'Z'});
    chooseTarget(target.window());
    startTimer();
    pad.setButton(0, true);
    ASSERT_TRUE(runUntilKeys(target, 3));
    stopTimer();
    ASSERT_EQ(user.keysDown().size(), 3u);

    engine->releaseHeldKeys();
    EXPECT_TRUE(user.keysDown().empty()) << "checked over another connection";
    ASSERT_TRUE(target.waitForKeys(6));
}

TEST_F(EngineOnX, NothingAtAllWhileAnotherWindowIsInFront) {
    RecorderProcess other({"--title", "other"});
    config.joystickBindings[1][kEntryLeft] = keys({'A'});
    config.joystickBindings[1][buttonEntry(1)] = keys({'B'});
    config.joystickBindings[1][buttonEntry(2)] = keys({'C'});
    config.joystickBindings[1][buttonEntry(2)].AutoFireMode = AutoFireAutomatic;
    chooseTarget(target.window());
    user.focus(other.window());
    startTimer();

    pad.setAxis(0, -32768);
    pad.setButton(0, true);
    mainThread.pumpFor(500ms);
    EXPECT_TRUE(other.keys().empty());
    EXPECT_TRUE(target.keys().empty());
    EXPECT_TRUE(user.keysDown().empty());

    // Back in front, the held inputs fire at once.
    user.focus(target.window());
    ASSERT_TRUE(mainThread.pumpUntil([&] { return target.keys().size() >= 2; }, 3000ms));
    EXPECT_TRUE(other.keys().empty());
}

TEST_F(EngineOnX, AKeyHeldForTheTargetIsLetGoWhenAnotherWindowTakesTheFocus) {
    RecorderProcess other({"--title", "other"});
    config.joystickBindings[1][buttonEntry(1)] = keys({'B'});
    chooseTarget(target.window());
    user.focus(target.window()); // a window manager would have given the newer window the focus
    startTimer();
    const KeyCode b = user.keycode(XK_b);

    pad.setButton(0, true);
    ASSERT_TRUE(mainThread.pumpUntil([&] { return user.keyDown(b); }, 3000ms));
    user.focus(other.window()); // Alt+Tab, while the button stays held
    ASSERT_TRUE(mainThread.pumpUntil([&] { return !user.keyDown(b); }, 3000ms)) << "the server still holds B";
    mainThread.pumpFor(300ms);
    EXPECT_FALSE(user.keyDown(b)) << "pressed again while another window is in front";

    user.focus(target.window());
    ASSERT_TRUE(mainThread.pumpUntil([&] { return user.keyDown(b); }, 3000ms)) << "the held button presses again";
    ASSERT_TRUE(target.waitForKeys(2));
    EXPECT_EQ(target.keyTexts(), (std::vector<std::string>{"+b", "+b"}));
    ASSERT_TRUE(other.waitForKeys(1));
    EXPECT_EQ(other.keyTexts(), (std::vector<std::string>{"-b"})) << "only the key-up reaches the other window";
}

// Alt+Tab while a long move plays: the move stops before its next step, nothing is left down, and the
// window now in front receives no key press.
TEST_F(EngineOnX, AMoveStopsWhenAnotherWindowTakesTheFocus) {
    RecorderProcess other({"--title", "other"});
    Move& move = config.moves[1];
    move.StepCount = 30;
    move.Speed = 40;
    move.RepeatCount = 1;
    for (int i = 1; i <= move.StepCount; ++i)
        move.Steps[i] = {static_cast<uint16_t>(i % 2 != 0 ? 'A' : 'S'), 0};
    config.joystickBindings[1][buttonEntry(1)] = JoystickBinding{BindingMove, 1, 0, 0, 1};
    chooseTarget(target.window());
    user.focus(target.window());
    pad.setButton(0, true);

    // The tick starts the move, and its events go out on this thread as they come due, as the
    // scheduler sends them; the focus changes from another connection.
    std::thread altTab([&] {
        std::this_thread::sleep_for(300ms);
        TestDisplay switcher;
        switcher.focus(other.window());
    });
    engine->EngineTick();
    while (const std::optional<uint32_t> due = engine->moveDueIn()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(*due));
        engine->MoveStep();
    }
    altTab.join();
    pad.setButton(0, false);

    EXPECT_TRUE(user.keysDown().empty()) << "checked over another connection";
    mainThread.pumpFor(200ms);
    EXPECT_LT(target.keys().size(), 2u * move.StepCount) << "the move played to its end";
    for (const auto& key : other.keys())
        EXPECT_FALSE(key.press) << "a key pressed into the window that took the focus";
}

// The stick moves the pointer at its set speed, measured where the pointer lands, and a button bound to
// the left mouse button clicks the window under it.
TEST_F(EngineOnX, TheStickMovesThePointerAtItsSpeedAndAButtonClicks) {
    config.pad(1).leftStick = StickMode::Pointer;
    config.pad(1).pointerSpeed = 1000; // a pixel a millisecond
    config.joystickBindings[1][buttonEntry(1)] = JoystickBinding{BindingPointer, PointerLeft, 0, 0, 0};
    chooseTarget(target.window());
    user.focus(target.window());
    XWarpPointer(user.display(), None, target.window(), 0, 0, 0, 0, 5, 50);
    user.sync();
    const auto pointerX = [&] {
        Window root = 0, child = 0;
        int x = 0, y = 0, wx = 0, wy = 0;
        unsigned mask = 0;
        XQueryPointer(user.display(), user.root(), &root, &child, &x, &y, &wx, &wy, &mask);
        return x;
    };
    const int before = pointerX();

    pad.setAxis(0, 32767);
    engine->EngineTick();
    const uint32_t start = platform.clock().tickCount();
    uint32_t last = start;
    while (last - start < 150) {
        std::this_thread::sleep_for(5ms);
        engine->MotionTick();
        last = platform.clock().tickCount();
    }
    pad.setAxis(0, 0);
    engine->EngineTick();
    EXPECT_FALSE(engine->motionWanted());
    XSync(platform.connection().display(), False);
    EXPECT_NEAR(pointerX() - before, static_cast<int>(last - start), 3) << "pixels against milliseconds";

    pad.setButton(0, true);
    engine->EngineTick();
    pad.setButton(0, false);
    engine->EngineTick();
    ASSERT_TRUE(target.waitForKeys(2));
    EXPECT_EQ(target.keyTexts(), (std::vector<std::string>{"+Button1", "-Button1"}));
}

TEST_F(EngineOnX, ControlJMakesTheProgramInFrontTheTarget) {
    RecorderProcess other({"--title", "other"});
    chooseTarget(other.window());
    ASSERT_EQ(config.targets.TargetProcessId, static_cast<uint32_t>(other.pid()));
    startTimer();

    // The user presses CTRL+J while the target's window has the focus.
    user.pressKey(XK_Control_L);
    user.pressKey(XK_j);
    const bool chosen = mainThread.pumpUntil(
        [&] { return config.targets.TargetProcessId == static_cast<uint32_t>(target.pid()); }, 3000ms);
    user.releaseKey(XK_j);
    user.releaseKey(XK_Control_L);
    ASSERT_TRUE(chosen);
    ASSERT_GE(host.selected, 0);
    EXPECT_EQ(host.items[static_cast<std::size_t>(host.selected)], "target");
    ASSERT_TRUE(target.waitForKeys(4));
    EXPECT_EQ(target.keyTexts(), (std::vector<std::string>{"+Control_L", "+j", "-j", "-Control_L"}))
        << "the keys reach the window too";
}

TEST_F(EngineOnX, UntitledWindowsAreNamedOnceAndKeepTheirTitle) {
    RecorderProcess first({"--untitled"});
    RecorderProcess second({"--untitled"});
    engine->targets().RefreshTargetWindows();
    ASSERT_EQ(config.targets.UntitledWindowCounter, 2);
    // Front first: the later window is on top.
    const std::vector<std::string> named = {"Process 00ABCDEF1", "Process 00ABCDEF2"};
    std::vector<std::string> processes;
    std::copy_if(host.items.begin(), host.items.end(), std::back_inserter(processes),
                 [](const std::string& s) { return s.rfind("Process ", 0) == 0; });
    EXPECT_EQ(processes, named);

    // The title is on the other program's window, for anyone to read.
    XTextProperty text{};
    ASSERT_TRUE(XGetWMName(user.display(), second.window(), &text));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text.value), text.nitems), "Process 00ABCDEF1");
    XFree(text.value);

    engine->targets().RefreshTargetWindows();
    EXPECT_EQ(config.targets.UntitledWindowCounter, 2) << "no window was untitled the second time";
    processes.clear();
    std::copy_if(host.items.begin(), host.items.end(), std::back_inserter(processes),
                 [](const std::string& s) { return s.rfind("Process ", 0) == 0; });
    EXPECT_EQ(processes, named);
}

TEST_F(EngineOnX, HiddenWindowsAreListedOnlyWithAllProc) {
    RecorderProcess hidden({"--title", "hidden one", "--unmapped"});
    const auto listed = [&](bool allProcesses) {
        TargetWindows targets(config.targets, platform.windows(), host, allProcesses);
        targets.RefreshTargetWindows();
        return std::count(host.items.begin(), host.items.end(), "hidden one") == 1;
    };
    EXPECT_FALSE(listed(false));
    EXPECT_TRUE(listed(true));
    const char* argv[] = {"vornik", "/allproc"};
    EXPECT_TRUE(TargetWindows::allProcessesArgument(2, argv));
}

TEST_F(EngineOnX, JoystickDetachedMidRunMakesTheReadFail) {
    config.joystickBindings[1][kEntryLeft] = keys({'A'});
    chooseTarget(target.window());
    startTimer();
    mainThread.pumpFor(100ms);
    ASSERT_TRUE(host.connectionErrors.empty());

    pad.detach();
    ASSERT_TRUE(mainThread.pumpUntil([&] { return host.connectionErrors.size() >= 2; }, 3000ms))
        << "OK: the box comes back on the next tick";
    EXPECT_EQ(host.connectionErrors.front(), kConnectionErrorText);
    EXPECT_FALSE(host.ended);

    host.answer = EngineHost::Answer::Cancel;
    ASSERT_TRUE(mainThread.pumpUntil([&] { return host.ended; }, 3000ms));
    EXPECT_TRUE(engine->ending());
}

} // namespace
} // namespace vornik
