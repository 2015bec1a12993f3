// SIGTERM and SIGINT end the program through the same path as closing its window: every key the
// program pressed is released first. Runs against the real X11 backend on a private Xvfb.

#include "SignalExit.h"
#include "Modal.h"
#include "TVornik.h"

#include <QApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>

// Last: the X11 headers define macros that clash with Qt's names.
#include "LinuxPlatform.h"

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
    Modal::setTestMode(true);
    Display* observer = XOpenDisplay(nullptr);
    ASSERT_NE(observer, nullptr);
    LinuxPlatform backend;
    int quits = 0;
    StartupOptions options;
    options.exeDirectory = QCoreApplication::applicationDirPath();
    options.runTimer = false;
    options.quit = [&quits] { ++quits; };
    PlatformHooks hooks;
    hooks.setApplicationWindow = [&backend](WindowHandle h) { backend.windows().setApplicationHandle(h); };
    TVornik window(backend.platform(), options, hooks);
    SignalExit onSignal([&window](int) { window.endProgram(); });

    const KeyCode a = backend.keyboard().outputKeycode('A');
    const KeyCode shift = backend.keyboard().outputKeycode(160);
    ASSERT_NE(a, 0);
    backend.keyboard().keyEvent('A', kKeyEventExtendedKey);
    backend.keyboard().keyEvent(160, kKeyEventExtendedKey);
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
    EXPECT_TRUE(backend.keyboard().pressedKeys().empty());
    EXPECT_FALSE(serverKeyDown(observer, a));
    EXPECT_FALSE(serverKeyDown(observer, shift));
    XCloseDisplay(observer);
    Modal::reset();
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalExitTest, ::testing::Values(SIGTERM, SIGINT),
                         [](const auto& info) { return info.param == SIGTERM ? "SIGTERM" : "SIGINT"; });

} // namespace
} // namespace vornik::ui::test
