// A move recorded on the real editor and recorder, bound to a keyboard key and played by the engine
// through the Linux backend into a real X client, its steps sent by the program's own scheduler on Qt's
// timers. Qt runs offscreen; the backend talks to a private Xvfb.
#include <gtest/gtest.h>

#include "Engine.h"
#include "HeadlessHost.h"
#include "KeyLabels.h"
#include "Modal.h"
#include "MoveEditor.h"
#include "MoveRecorder.h"
#include "QtTickDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

// Last: the X11 headers define macros that clash with Qt's names.
#include "LinuxPlatform.h"
#include "RecorderProcess.h"
#include "TestDisplay.h"

#include <X11/keysym.h>

#include <memory>

namespace vornik {
namespace {

using test::RecorderProcess;
using test::TestDisplay;

// The main window as the engine sees it: shown, no box ticked.
using Host = HeadlessHost;

class RecordedMoveOnX : public ::testing::Test {
protected:
    TestDisplay user;
    RecorderProcess target{{"--title", "target", "--focus"}};
    RecorderProcess other{{"--title", "other"}};
    LinuxPlatform platform;
    Configuration config;
    Host host;
    std::unique_ptr<Engine> engine;
    std::unique_ptr<QtTickDriver> ticks;

    void SetUp() override {
        ui::Modal::setTestMode(true);
        ui::Modal::reset();
        buildNamedKeyList(config.namedKeys);
        engine = std::make_unique<Engine>(config, platform.platform(), host);
        // No tick timer: the test runs each tick; the move timer is the scheduler's own.
        ticks = std::make_unique<QtTickDriver>(*engine, platform.platform(), nullptr, 30, 0);
    }
    void TearDown() override {
        ticks.reset();
        engine->releaseHeldKeys();
        ui::Modal::reset();
    }
    // Runs the event loop until `recorder` has received `count` key events, or three seconds.
    static bool pumpUntilKeys(RecorderProcess& recorder, std::size_t count) {
        QElapsedTimer waited;
        waited.start();
        while (recorder.keys().size() < count && waited.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return recorder.keys().size() >= count;
    }

    // Binds keyboard key `code` to move `move`, without auto-fire.
    void bindKey(int code, int move) {
        for (int p = 2; p <= config.namedKeys.Count; ++p) {
            if (config.namedKeys.Codes[p] == code)
                config.keyBindings[static_cast<std::size_t>(p - 2)].MoveNumber = move;
        }
    }
    // The user holds `keysym` for one engine tick.
    void tickWithKeyHeld(unsigned long keysym) {
        user.pressKey(keysym);
        user.sync();
        platform.keyboard().beginTick();
        ticks->scheduler().timerFired();
        user.releaseKey(keysym);
        user.sync();
    }
};

TEST_F(RecordedMoveOnX, KeyBoundToARecordedMovePlaysItIntoTheTargetInFront) {
    // Q, W, then E with Shift as its compound key, recorded from real key events.
    ui::TForm4 editor;
    ui::TForm5 recorder;
    editor.setRecorder(&recorder);
    recorder.setEditor(&editor);
    ui::Modal::queueDialog([](QDialog& dialog) {
        auto& form = static_cast<ui::TForm5&>(dialog);
        form.show();
        QTest::keyClick(&form, Qt::Key_Q);
        QTest::keyClick(&form, Qt::Key_W);
        QTest::keyClick(&form, Qt::Key_E);
        QTest::mouseClick(form.SpeedButton2(), Qt::LeftButton);
        QTest::keyClick(&form, Qt::Key_Shift);
        QTest::mouseClick(form.SpeedButton1(), Qt::LeftButton);
        return form.result();
    });
    editor.SpeedButton1Click();
    editor.cb1()->setCurrentIndex(0); // played once per trigger
    editor.RadioButton2()->click();   // one key after the other
    editor.sb1()->setValue(5);
    ASSERT_EQ(editor.EditedMove().StepCount, 3);
    config.moves[1] = editor.EditedMove(); // what the move list does on OK
    bindKey(113, 1);                       // F2

    engine->targets().RefreshTargetWindows();
    engine->targets().SelectForegroundTarget(target.window());
    ASSERT_EQ(config.targets.TargetProcessId, static_cast<uint32_t>(target.pid()));

    // Another program in front: the key reaches it, the move does not play.
    user.focus(other.window());
    tickWithKeyHeld(XK_F2);
    ASSERT_TRUE(other.waitForKeys(2));
    EXPECT_EQ(other.keyTexts(), (std::vector<std::string>{"+F2", "-F2"}));
    EXPECT_TRUE(target.keys().empty());

    // The tick presses the move's first key; the rest come on the move timer, after the tick has
    // returned (and the user has let go of F2).
    user.focus(target.window());
    tickWithKeyHeld(XK_F2);
    ASSERT_TRUE(pumpUntilKeys(target, 10));
    EXPECT_EQ(target.keyTexts(),
              (std::vector<std::string>{"+F2", "+q", "-F2", "-q", "+w", "-w", "+e", "+Shift_L", "-e", "-Shift_L"}));
    EXPECT_EQ(other.keys().size(), 2u);
    EXPECT_TRUE(user.keysDown().empty()) << "nothing left held down";
}

} // namespace
} // namespace vornik
