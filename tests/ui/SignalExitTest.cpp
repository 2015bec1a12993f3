// SIGTERM, SIGINT, SIGHUP and SIGQUIT end the program through the same path as closing its window:
// every key the program pressed is released first, and a move that is playing stops at once. Runs
// against the real X11 backend on a private Xvfb.

#include "SignalExit.h"

#include <QApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

// Last: the X11 headers define macros that clash with Qt's and GoogleTest's names.
#include "ProgramOnX.h"
#include "RecorderProcess.h"

namespace vornik::ui::test {
namespace {

// The server's own idea of a key, asked over a connection of the test's own.
bool serverKeyDown(Display* display, KeyCode code) {
    char keys[32] = {};
    XQueryKeymap(display, keys);
    return (keys[code / 8] >> (code % 8)) & 1;
}

class SignalExitTest : public ::testing::TestWithParam<int> {};

TEST_P(SignalExitTest, ReleasesEveryHeldKeyThenEnds) {
    Display* observer = XOpenDisplay(nullptr);
    ASSERT_NE(observer, nullptr);
    // The program presses keys only into its target, in front.
    vornik::test::RecorderProcess target({"--title", "game", "--focus"});
    ProgramOnX program;
    LinuxPlatform& backend = program.backend;
    const int& quits = program.quits;
    TVornik& window = *program.window;
    SignalExit onSignal([&window](int) { window.endProgram(); });
    window.config().targets.TargetProcessId = static_cast<uint32_t>(target.pid());

    const KeyCode a = backend.keyboard().outputKeycode('A');
    const KeyCode shift = backend.keyboard().outputKeycode(160);
    ASSERT_NE(a, 0);
    window.engine().held().pressKey('A');
    window.engine().held().pressKey(160);
    XSync(backend.connection().display(), False);
    ASSERT_TRUE(serverKeyDown(observer, a));
    ASSERT_TRUE(serverKeyDown(observer, shift));

    ASSERT_EQ(std::raise(GetParam()), 0);
    QElapsedTimer waited;
    waited.start();
    while (quits == 0 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.engine().held().holdsAnything());
    EXPECT_FALSE(serverKeyDown(observer, a));
    EXPECT_FALSE(serverKeyDown(observer, shift));
    XCloseDisplay(observer);
    Modal::reset();
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalExitTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP, SIGQUIT),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

// Whoever sends SIGTERM sends SIGKILL soon after: a move of fifty minutes must not hold the exit up.
TEST(SignalDuringAMove, StopsTheMoveAndEndsWithNoKeyDown) {
    Display* observer = XOpenDisplay(nullptr);
    ASSERT_NE(observer, nullptr);
    vornik::test::RecorderProcess target({"--title", "game", "--focus"});
    ProgramOnX program;
    const int& quits = program.quits;
    TVornik& window = *program.window;
    SignalExit onSignal([&window](int) { window.endProgram(); });
    onSignal.setInterrupt([](void* w) noexcept { static_cast<TVornik*>(w)->engine().requestStop(); }, &window);

    // 100 steps at speed 100, 300 times over; played on every tick while the game is in front.
    Configuration& config = window.config();
    Move& move = config.moves[1];
    move.StepCount = 100;
    move.Speed = 100;
    move.RepeatCount = 300;
    for (int i = 1; i <= 100; ++i)
        move.Steps[i] = {static_cast<uint16_t>('A' + i % 26), static_cast<uint16_t>(i % 2 ? 160 : 0)};
    config.keyBindings[0].MoveNumber = 1;
    config.keyBindings[0].AutoFireMode = AutoFireAutomatic;
    config.targets.TargetProcessId = static_cast<uint32_t>(target.pid());

    using Clock = std::chrono::steady_clock;
    Clock::time_point sent;
    std::thread sender([&sent] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        sent = Clock::now();
        ::kill(::getpid(), SIGTERM);
    });
    window.TimerEx1Timer(); // returns once the move has stopped
    QElapsedTimer waited;
    waited.start();
    while (quits == 0 && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const auto ended = Clock::now();
    sender.join();

    ASSERT_EQ(quits, 1);
    ASSERT_GT(target.keys().size(), 0u) << "the move was playing";
    const double ms = std::chrono::duration<double, std::milli>(ended - sent).count();
    std::printf("signal to exit during a move: %.1f ms\n", ms);
    EXPECT_LT(ms, 5000.0); // the move alone would take fifty minutes
    EXPECT_FALSE(window.engine().held().holdsAnything());
    char keys[32] = {};
    XQueryKeymap(observer, keys);
    for (int code = 0; code < 256; ++code)
        EXPECT_FALSE((keys[code / 8] >> (code % 8)) & 1) << "keycode " << code << " still down";
    XCloseDisplay(observer);
    Modal::reset();
}

} // namespace
} // namespace vornik::ui::test
