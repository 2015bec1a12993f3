// The program as an X client on a Wayland desktop (tests/with-sway.sh: sway, headless, with XWayland):
// an X11 target chosen with CTRL+J gets the keys of a binding; while a Wayland-native window (foot)
// is in front, which XWayland cannot see, nothing goes out and the window says why; back on the
// target, keys go out again, and no key is left down.

#include "MainWindow.h"
#include "Modal.h"
#include "OutputChoice.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Last: the X11 headers define macros that clash with Qt's and GoogleTest's names.
#include "LinuxPlatform.h"
#include "RecorderProcess.h"
#include "TestDisplay.h"

#include <X11/keysym.h>

extern char** environ;

namespace vornik::ui::test {
namespace {

using namespace std::chrono_literals;

// The backend's output, counting the key-downs that reach it.
class CountingOutput : public Output {
public:
    explicit CountingOutput(Output& real) : m_real(real) {}
    int keyDowns = 0;
    std::optional<uint32_t> keyDown(uint8_t vk) override {
        ++keyDowns;
        return m_real.keyDown(vk);
    }
    void keyUp(const SentKey& key) override { m_real.keyUp(key); }
    std::string unavailableReason() const override { return m_real.unavailableReason(); }
    void flush() override { m_real.flush(); }

private:
    Output& m_real;
};

// A Wayland-native window: foot, the terminal, running sleep.
class WaylandWindow {
public:
    explicit WaylandWindow(const std::string& title) {
        std::vector<std::string> args{"foot", "--title", title, "sleep", "600"};
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&m_pid, "foot", &quiet, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&quiet);
    }
    ~WaylandWindow() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    bool started() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
};

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// Gives the focus to the window titled `title`, as a click would: through sway's own commands.
bool focus(const std::string& title) {
    const std::string command = "swaymsg -q '[title=\"" + title + "\"] focus'";
    return waitFor([&] { return std::system(command.c_str()) == 0; });
}

TEST(WaylandDesktop, KeysGoOnlyToTheX11TargetAndTheStateSaysWhyNot) {
    ASSERT_NE(std::getenv("SWAYSOCK"), nullptr) << "run through tests/with-sway.sh";
    Modal::setTestMode(true);
    Modal::reset();
    vornik::test::TestDisplay user;
    vornik::test::RecorderProcess game({"--title", "vornik-game"});
    WaylandWindow terminal("vornik-wayland");
    ASSERT_TRUE(terminal.started());

    LinuxPlatform backend;
    ASSERT_FALSE(backend.windows().seesEveryWindow()) << "WAYLAND_DISPLAY is set: a Wayland desktop";
    CountingOutput output(backend.outputs());
    const Platform platform{backend.joysticks(), backend.keyboard(), output, backend.windows(), backend.clock()};
    QTemporaryDir home;
    StartupOptions options;
    options.exeDirectory = QCoreApplication::applicationDirPath();
    options.folders = {home.filePath("config"), home.filePath("state"), home.filePath("profiles")};
    options.runTimer = false;
    options.quit = [] {};
    PlatformHooks hooks;
    hooks.setApplicationWindow = [&](WindowHandle h) { backend.windows().setApplicationHandle(h); };
    hooks.outputInUse = [&] { return backend.outputs().chosenName(); };
    TVornik window(platform, options, hooks);
    // The A key plays a move that types B.
    Configuration& config = window.config();
    Move& move = config.moves[1];
    move.Steps[1].Key = 'B';
    move.StepCount = 1;
    move.RepeatCount = 1;
    for (int p = 2; p <= config.namedKeys.Count; ++p) {
        if (config.namedKeys.Codes[p] == 'A')
            config.keyBindings[static_cast<std::size_t>(p - 2)].MoveNumber = 1;
    }
    const auto stateText = [&] { return window.targetStateButton()->accessibleName().toStdString(); };
    const auto inFront = [&](WindowHandle expected) {
        return waitFor([&] { return backend.windows().foregroundWindow() == expected; });
    };
    // Holds A for one tick, once the program has seen it go down.
    const auto pressA = [&] {
        user.pressKey(XK_a);
        EXPECT_TRUE(waitFor([&] { return backend.keyboard().asyncKeyState('A') != 0; })) << "A is seen going down";
        window.TimerEx1Timer();
        user.releaseKey(XK_a);
        EXPECT_TRUE(waitFor([&] { return backend.keyboard().asyncKeyState('A') == 0; }));
    };
    const auto bReceived = [&] {
        return waitFor([&] {
            for (const std::string& key : game.keyTexts())
                if (key == "-b")
                    return true;
            return false;
        });
    };

    // The X11 game chosen with CTRL+J: the binding's key reaches it.
    ASSERT_TRUE(focus("vornik-game"));
    ASSERT_TRUE(inFront(game.window()));
    user.pressKey(XK_Control_L);
    user.pressKey(XK_j);
    ASSERT_TRUE(waitFor([&] { return backend.keyboard().asyncKeyState('J') != 0; }));
    window.TimerEx1Timer();
    user.releaseKey(XK_j);
    user.releaseKey(XK_Control_L);
    ASSERT_TRUE(waitFor([&] { return backend.keyboard().asyncKeyState(0x11) == 0; }));
    ASSERT_EQ(config.targets.TargetProcessId, static_cast<uint32_t>(game.pid()));
    window.TimerEx1Timer();
    EXPECT_EQ(window.engine().targetState().kind, TargetState::Kind::InFront) << stateText();
    EXPECT_NE(stateText().find("XTest"), std::string::npos) << stateText();
    pressA();
    EXPECT_TRUE(bReceived()) << "the bound key reaches the X11 target";

    // A Wayland-native window in front: XWayland sees none, nothing goes out, and the window says so.
    ASSERT_TRUE(focus("vornik-wayland"));
    ASSERT_TRUE(inFront(0)) << "_NET_ACTIVE_WINDOW reads None";
    window.TimerEx1Timer();
    EXPECT_EQ(window.engine().targetState().kind, TargetState::Kind::UnseenInFront) << stateText();
    EXPECT_NE(stateText().find("Wayland"), std::string::npos) << stateText();
    const int sent = output.keyDowns;
    pressA();
    window.TimerEx1Timer();
    EXPECT_EQ(output.keyDowns, sent) << "no key is sent while a Wayland-native window is in front";

    // Back on the game: keys go out again, and nothing stays down.
    game.clearKeys();
    ASSERT_TRUE(focus("vornik-game"));
    ASSERT_TRUE(inFront(game.window()));
    window.TimerEx1Timer();
    EXPECT_EQ(window.engine().targetState().kind, TargetState::Kind::InFront) << stateText();
    pressA();
    EXPECT_TRUE(bReceived()) << "the bound key reaches the X11 target again";
    window.TimerEx1Timer();
    EXPECT_FALSE(window.engine().held().holdsAnything());
    user.sync();
    EXPECT_TRUE(user.keysDown().empty()) << "no key is left down";
    window.close();
    Modal::reset();
}

} // namespace
} // namespace vornik::ui::test
