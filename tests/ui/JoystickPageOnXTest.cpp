// The whole program on the real Linux backend: an SDL virtual joystick gets its page, and with
// "啟動測試" ticked the engine's threaded timer shows the stick, the D-pad and the buttons on it; a
// pad plugged in while the program runs gets a page too, and fires into a real X client. Qt runs
// offscreen; the backend talks to a private Xvfb.
#include <gtest/gtest.h>

#include "EventLoop.h"
#include "Modal.h"
#include "MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

// Last: the X11 headers define macros that clash with Qt's names.
#include "LinuxPlatform.h"
#include "RecorderProcess.h"
#include "VirtualJoystick.h"

#include <functional>

namespace vornik::ui::test {
namespace {

using vornik::test::RecorderProcess;
using vornik::test::VirtualJoystick;

using vornik::test::runUntil;

class JoystickPageOnX : public ::testing::Test {
protected:
    VirtualJoystick pad{12, 2, 1}; // attached before the backend starts, so it is system id 0
    LinuxPlatform backend;
    std::unique_ptr<TVornik> window;

    void SetUp() override {
        Modal::setTestMode(true);
        Modal::reset();
        pad.centre();
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
    JoystickPage& page() { return window->joystickPage(1); }
    bool showing(int direction) {
        return page().DirectionPicture->pixmap().toImage() == window->pictures().mimg(direction).toImage();
    }
};

TEST_F(JoystickPageOnX, TickingTheTestBoxShowsTheStickOnItsPage) {
    ASSERT_EQ(window->joystickPageCount(), 1);
    EXPECT_EQ(window->PageControl1()->tabText(0), "搖桿 1");
    ASSERT_NE(page().buttonPicture(12), nullptr);
    EXPECT_EQ(page().buttonPicture(13), nullptr);

    // Live view off: the stick moves, the page stays as built.
    pad.setAxis(0, -32768);
    pad.setAxis(1, -32768);
    QTest::qWait(200);
    EXPECT_EQ(page().DirectionPicture->assignments(), 0);

    QTest::mouseClick(page().TestCheckBox, Qt::LeftButton);
    ASSERT_TRUE(page().TestCheckBox->isChecked());
    EXPECT_TRUE(runUntil([this] { return showing(5); })) << "up-left";

    pad.setAxis(0, 32767);
    pad.setAxis(1, 0);
    EXPECT_TRUE(runUntil([this] { return showing(4); })) << "right";

    pad.setAxis(1, 32767);
    EXPECT_TRUE(runUntil([this] { return showing(7); })) << "down-right";

    pad.centre();
    EXPECT_TRUE(runUntil([this] { return showing(0) && page().DirectionPicture->tag() == 1; })) << "centre";

    pad.setHat(SDL_HAT_LEFTDOWN);
    EXPECT_TRUE(runUntil([this] { return showing(6); })) << "D-pad down-left";
    pad.setHat(SDL_HAT_CENTERED);
    EXPECT_TRUE(runUntil([this] { return showing(0); })) << "D-pad let go";

    pad.setButton(2, true); // button 3
    EXPECT_TRUE(runUntil([this] { return page().buttonPicture(3)->tag() == 2; }));
    EXPECT_EQ(page().buttonPicture(3)->pixmap().toImage(),
              window->pictures().button(3, ButtonState::Pressed).toImage());
    EXPECT_EQ(page().buttonPicture(2)->tag(), 1);
    EXPECT_TRUE(Modal::shown().empty());
}

TEST_F(JoystickPageOnX, APadPluggedInWhileRunningGetsItsPageAndFiresIntoTheTarget) {
    RecorderProcess target{{"--title", "target", "--focus"}};
    window->engine().targets().RefreshTargetWindows();
    window->engine().targets().SelectForegroundTarget(target.window());
    ASSERT_EQ(window->config().targets.TargetProcessId, static_cast<uint32_t>(target.pid()));

    VirtualJoystick late(6, 2, 1, "Late Pad");
    ASSERT_TRUE(runUntil([this] { return window->joystickPageCount() == 2; }));
    QTabWidget* pages = window->PageControl1();
    EXPECT_EQ(pages->tabText(1), "搖桿 2");
    EXPECT_EQ(pages->tabToolTip(1), "Late Pad");
    EXPECT_EQ(pages->tabText(2), "鍵盤");
    EXPECT_EQ(pages->currentIndex(), 0);

    const auto bind = [this](int entry, int key) {
        JoystickBinding& b = window->config().joystickBindings[2][entry];
        b.BindingKind = BindingKeys;
        b.Key1 = key;
        b.KeyCount = 1;
    };
    bind(buttonEntry(1), 'B');
    bind(kEntryUp, 'W');
    late.setButton(0, true);
    ASSERT_TRUE(runUntil([&] { return target.keys().size() >= 1; }));
    late.setButton(0, false);
    ASSERT_TRUE(runUntil([&] { return target.keys().size() >= 2; }));
    late.setHat(SDL_HAT_UP);
    ASSERT_TRUE(runUntil([&] { return target.keys().size() >= 3; }));
    late.setHat(SDL_HAT_CENTERED);
    ASSERT_TRUE(runUntil([&] { return target.keys().size() >= 4; }));
    QTest::qWait(200); // a few more ticks, to catch anything extra
    EXPECT_EQ(target.keyTexts(), (std::vector<std::string>{"+b", "-b", "+w", "-w"}));
    EXPECT_TRUE(Modal::shown().empty());
}

} // namespace
} // namespace vornik::ui::test
