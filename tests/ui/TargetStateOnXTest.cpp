// Where the keys go, on the real X11 backend: the window in front is named, and working the state out
// on every tick asks the X server nothing while nothing changes.

#include <QComboBox>
#include <QCoreApplication>
#include <QToolButton>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// Last: the X11 headers define macros that clash with Qt's and GoogleTest's names.
#include "ProgramOnX.h"

#include "RecorderProcess.h"
#include "TestDisplay.h"

namespace vornik::ui::test {
namespace {

TEST(TargetStateOnX, TheWindowInFrontIsNamedAndIdleTicksAskTheServerNothing) {
    Modal::setTestMode(true);
    Modal::reset();
    vornik::test::TestDisplay user;
    vornik::test::RecorderProcess game({"--title", "game"});
    const Window notes = user.createWindow("notes");
    ProgramOnX program;
    TVornik& window = *program.window;
    const int item = window.cb1()->findText("game");
    ASSERT_GE(item, 0);
    emit window.cb1()->activated(item);

    const auto focus = [&](Window inFront) {
        user.focus(inFront);
        for (int i = 0; i < 500 && program.backend.windows().foregroundWindow() != inFront; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_EQ(program.backend.windows().foregroundWindow(), inFront);
    };
    focus(notes);
    window.TimerEx1Timer();
    EXPECT_EQ(window.engine().targetState().kind, TargetState::Kind::Behind);
    const QString behind = window.targetStateButton()->accessibleName();
    EXPECT_TRUE(behind.contains("「notes」")) << behind.toStdString();

    const uint64_t before = program.backend.connection().roundTrips();
    for (int tick = 0; tick < 10; ++tick)
        window.TimerEx1Timer();
    EXPECT_EQ(program.backend.connection().roundTrips(), before);
    EXPECT_EQ(window.targetStateButton()->accessibleName(), behind);

    focus(game.window());
    window.TimerEx1Timer();
    EXPECT_EQ(window.engine().targetState().kind, TargetState::Kind::InFront);
    EXPECT_TRUE(window.targetStateButton()->accessibleName().contains("「game」"));
    Modal::reset();
}

} // namespace
} // namespace vornik::ui::test
