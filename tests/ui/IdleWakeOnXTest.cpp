// The whole program on the real Linux backend with its timer, resting while nothing can happen: a
// key pressed or a pad's button pressed while it rests is answered at once, not at the next resting
// tick. Qt runs offscreen; the backend talks to a private Xvfb.
#include <gtest/gtest.h>

#include "EventLoop.h"
#include "Modal.h"
#include "MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>

// Last: the X11 headers define macros that clash with Qt's names.
#include "LinuxPlatform.h"
#include "RecorderProcess.h"
#include "TestDisplay.h"
#include "VirtualJoystick.h"

#include <X11/keysym.h>

#include <functional>

namespace vornik::ui::test {
namespace {

using vornik::test::RecorderProcess;
using vornik::test::TestDisplay;
using vornik::test::VirtualJoystick;

using vornik::test::runUntil;

class IdleWakeOnX : public ::testing::Test {
protected:
    TestDisplay user;
    VirtualJoystick pad{12}; // attached before the backend starts, so it is system id 0
    RecorderProcess target{{"--title", "target", "--focus"}};
    LinuxPlatform backend;
    std::unique_ptr<TVornik> window;

    void SetUp() override {
        Modal::setTestMode(true);
        Modal::reset();
        pad.centre();
        // This test moves the pad and says so each time, as a device node would.
        backend.joysticks().announceVirtualChanges(true);
        StartupOptions options;
        options.exeDirectory = QCoreApplication::applicationDirPath();
        options.quit = [] {};
        // Resting ticks far apart: only the wake can answer within the test's time.
        options.restInterval = 600000;
        PlatformHooks hooks;
        hooks.setApplicationWindow = [this](WindowHandle h) { backend.windows().setApplicationHandle(h); };
        window = std::make_unique<TVornik>(backend.platform(), options, hooks);
    }
    void TearDown() override {
        window.reset();
        Modal::reset();
    }
    bool resting() { return window->TimerEx1().Interval() == 600000; }
};

TEST_F(IdleWakeOnX, AKeyOrAButtonPressedWhileRestingFiresItsBindingAtOnce) {
    Configuration& config = window->config();
    config.moves[1].StepCount = 1;
    config.moves[1].Steps[1] = {'Q', 0};
    config.moves[1].RepeatCount = 1;
    config.moves[1].Speed = 0;
    for (int p = 2; p <= config.namedKeys.Count; ++p) {
        if (config.namedKeys.Codes[p] == 113) // F2
            config.keyBindings[static_cast<std::size_t>(p - 2)].MoveNumber = 1;
    }
    JoystickBinding& chord = config.joystickBindings[1][buttonEntry(3)];
    chord.BindingKind = BindingKeys;
    chord.Key1 = 17;
    chord.Key2 = 'X';
    chord.KeyCount = 2;
    window->engine().targets().RefreshTargetWindows();
    window->engine().targets().SelectForegroundTarget(target.window());
    ASSERT_EQ(config.targets.TargetProcessId, static_cast<uint32_t>(target.pid()));

    ASSERT_TRUE(runUntil([this] { return resting(); }));
    // The key is held until the move has played: a tick has to see it down.
    user.pressKey(XK_F2);
    user.sync();
    EXPECT_TRUE(runUntil([&] { return target.keys().size() >= 3; })) << "the move after F2";
    user.releaseKey(XK_F2);
    user.sync();
    ASSERT_TRUE(runUntil([&] { return target.keys().size() >= 4 && resting(); }));
    // The move plays on every tick while F2 is held, as always: at least once, first at once.
    std::vector<std::string> keys = target.keyTexts();
    ASSERT_GE(keys.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 3), (std::vector<std::string>{"+F2", "+q", "-q"}));
    EXPECT_EQ(keys.back(), "-F2");
    for (std::size_t i = 3; i + 1 < keys.size(); ++i)
        EXPECT_EQ(keys[i], i % 2 == 1 ? "+q" : "-q");
    const std::size_t before = keys.size();

    pad.setButton(2, true);
    backend.joysticks().signalVirtualChange();
    EXPECT_TRUE(runUntil([&] { return target.keys().size() >= before + 2; })) << "the chord of button 3";
    pad.setButton(2, false);
    backend.joysticks().signalVirtualChange();
    ASSERT_TRUE(runUntil([&] { return target.keys().size() >= before + 4 && resting(); }));
    keys = target.keyTexts();
    EXPECT_EQ(std::vector<std::string>(keys.begin() + static_cast<std::ptrdiff_t>(before), keys.end()),
              (std::vector<std::string>{"+Control_L", "+x", "-Control_L", "-x"}));
    EXPECT_TRUE(Modal::shown().empty());
}

} // namespace
} // namespace vornik::ui::test
