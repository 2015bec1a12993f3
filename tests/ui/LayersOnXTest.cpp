// A shift layer and a tap/hold button on the whole program with its timer, on the real Linux backend:
// a virtual pad's presses reach a recording client as the layers say, the hold fires on the timer's
// own ticks, and the page and the state sign name the layer in use.
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
#include "VirtualJoystick.h"

namespace vornik::ui::test {
namespace {

using vornik::test::RecorderProcess;
using vornik::test::runUntil;
using vornik::test::VirtualJoystick;

TEST(LayersOnX, AShiftLayerAndATapHoldButtonReachTheTarget) {
    Modal::setTestMode(true);
    Modal::reset();
    VirtualJoystick pad{12}; // before the backend starts, so it is system id 0
    RecorderProcess target{{"--title", "target", "--focus"}};
    LinuxPlatform backend;
    pad.centre();
    backend.joysticks().announceVirtualChanges(true);
    StartupOptions options;
    options.exeDirectory = QCoreApplication::applicationDirPath();
    options.quit = [] {};
    PlatformHooks hooks;
    hooks.setApplicationWindow = [&](WindowHandle h) { backend.windows().setApplicationHandle(h); };
    auto window = std::make_unique<TVornik>(backend.platform(), options, hooks);

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
    window.reset();
    Modal::reset();
}

} // namespace
} // namespace vornik::ui::test
