// The whole program on the real Linux backend with its timer. A keyboard key bound to a move, pressed
// and let go at once (as `xdotool key` does) while the ticks rest and while they run, plays its move
// once each time; a shift layer and a tap/hold button reach the target as the layers say. Qt runs
// offscreen; the backend talks to a private Xvfb.
#include <gtest/gtest.h>

#include "EventLoop.h"
#include "Modal.h"
#include "MainWindow.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>

// Last: the X11 headers define macros that clash with Qt's names.
#include "LinuxPlatform.h"
#include "RecorderProcess.h"
#include "TestDisplay.h"
#include "VirtualJoystick.h"

#include <X11/keysym.h>

#include <algorithm>

namespace vornik::ui::test {
namespace {

using vornik::test::RecorderProcess;
using vornik::test::TestDisplay;
using vornik::test::VirtualJoystick;

using vornik::test::runUntil;

class KeyTapOnX : public ::testing::Test {
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
        PlatformHooks hooks;
        hooks.setApplicationWindow = [this](WindowHandle h) { backend.windows().setApplicationHandle(h); };
        window = std::make_unique<TVornik>(backend.platform(), options, hooks);
    }
    void TearDown() override {
        window.reset();
        Modal::reset();
    }
    bool resting() { return window->ticks().scheduler().resting(); }
    void tapF2() {
        user.pressKey(XK_F2);
        user.releaseKey(XK_F2);
        user.sync();
    }
    long moves() {
        const std::vector<std::string> keys = target.keyTexts();
        return std::count(keys.begin(), keys.end(), "+q");
    }
};

TEST_F(KeyTapOnX, AKeyTappedWhileTheTicksRestOrRunPlaysItsMoveOnce) {
    Configuration& config = window->config();
    config.moves[1].StepCount = 1;
    config.moves[1].Steps[1] = {'Q', 0};
    config.moves[1].RepeatCount = 1;
    config.moves[1].Speed = 0;
    for (int p = 2; p <= config.namedKeys.Count; ++p) {
        if (config.namedKeys.Codes[p] == 113) // F2
            config.keyBindings[static_cast<std::size_t>(p - 2)].MoveNumber = 1;
    }
    window->engine().targets().RefreshTargetWindows();
    window->engine().targets().SelectForegroundTarget(target.window());
    ASSERT_EQ(config.targets.TargetProcessId, static_cast<uint32_t>(target.pid()));

    ASSERT_TRUE(runUntil([this] { return resting(); }));
    tapF2();
    EXPECT_TRUE(runUntil([this] { return moves() == 1 && resting(); })) << "tapped while resting";

    // A button bound to nothing held: the ticks run every 30 ms, and taps fall between them.
    pad.setButton(5, true);
    backend.joysticks().signalVirtualChange();
    ASSERT_TRUE(runUntil([this] { return !resting(); }));
    for (int tap = 0; tap < 10; ++tap) {
        tapF2();
        QTest::qWait(37);
    }
    EXPECT_TRUE(runUntil([this] { return moves() == 11; })) << moves() - 1 << " of 10 taps while ticking";
    pad.setButton(5, false);
    backend.joysticks().signalVirtualChange();
    ASSERT_TRUE(runUntil([this] { return resting(); }));
    EXPECT_EQ(moves(), 11) << "each tap played once";
    EXPECT_TRUE(Modal::shown().empty());
}

// A shift layer and a tap/hold button on the whole program: the keys reach the target as the layers
// say, the hold fires on the timer's own ticks, and the page and the state sign name the layer in use.
TEST_F(KeyTapOnX, AShiftLayerAndATapHoldButtonReachTheTarget) {
    // Button 5 holds layer 2 ("Shift"); button 1 is A, and Q on layer 2; button 2 taps T, holds H.
    Configuration& config = window->config();
    config.joystickBindings[1][buttonEntry(5)] = {BindingLayer, 2, LayerWhileHeld, 0, 0, 0, 0};
    config.joystickBindings[1][buttonEntry(1)] = {BindingKeys, 'A', 0, 0, 1, AutoFireNone, 0};
    config.bindingAt(1, buttonEntry(1), 2, ActivatePress, 0) = {BindingKeys, 'Q', 0, 0, 1, AutoFireNone, 0};
    config.bindingAt(1, buttonEntry(2), 1, ActivateTap, 0) = {BindingKeys, 'T', 0, 0, 1, AutoFireNone, 0};
    config.bindingAt(1, buttonEntry(2), 1, ActivateHold, 0) = {BindingKeys, 'H', 0, 0, 1, AutoFireNone, 0};
    config.pad(1).layerNames[1] = "Shift";
    window->engine().targets().RefreshTargetWindows();
    window->engine().targets().SelectForegroundTarget(target.window());
    ASSERT_EQ(config.targets.TargetProcessId, static_cast<uint32_t>(target.pid()));

    const auto press = [&](int button, bool down) {
        pad.setButton(button - 1, down); // SDL counts buttons from 0
        backend.joysticks().signalVirtualChange();
        QTest::qWait(50); // a player's press lasts a tick or two at least
    };
    const auto keys = [&] {
        std::string all;
        for (const std::string& k : target.keyTexts())
            all += k + " ";
        return all;
    };
    const QLabel* active = window->findChild<QLabel*>(QStringLiteral("ActiveLayerLabel"));
    ASSERT_NE(active, nullptr);

    press(5, true);
    ASSERT_TRUE(runUntil([&] { return active->property("layer").toInt() == 2; }));
    EXPECT_TRUE(active->text().contains(QStringLiteral("Shift")));
    const auto* sign = window->findChild<QToolButton*>(QStringLiteral("TargetState"));
    ASSERT_NE(sign, nullptr);
    EXPECT_TRUE(runUntil([&] { return sign->toolTip().contains(QStringLiteral("Shift")); }))
        << sign->toolTip().toStdString();
    press(1, true);
    press(1, false);
    press(5, false);
    ASSERT_TRUE(runUntil([&] { return active->property("layer").toInt() == 1; }));
    press(1, true);
    press(1, false);
    EXPECT_TRUE(runUntil([&] { return keys() == "+q -q +a -a "; })) << keys();

    // A short press taps; one held past the hold time holds until it is let go.
    target.clearKeys();
    press(2, true);
    QTest::qWait(60);
    press(2, false);
    EXPECT_TRUE(runUntil([&] { return keys() == "+t -t "; })) << keys();
    press(2, true);
    EXPECT_TRUE(runUntil([&] { return keys() == "+t -t +h "; })) << keys();
    press(2, false);
    EXPECT_TRUE(runUntil([&] { return keys() == "+t -t +h -h "; })) << keys();
    EXPECT_TRUE(Modal::shown().empty());
}

} // namespace
} // namespace vornik::ui::test
