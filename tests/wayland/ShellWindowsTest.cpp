// What KWin's script and GNOME Shell's extension tell, as ShellWindows reads it: the real script and
// the real extension run in stand-ins of the two shells (gjs, tests/wayland/standins) on a session
// bus of the test's own, driven one line at a time.
#include "ShellStandIn.h"
#include "ShellWindows.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <systemd/sd-bus.h>
#include <unistd.h>

namespace vornik {
namespace {

const std::string kSource = VORNIK_SOURCE_DIR;

template <typename Done>
bool waitFor(Done done, ShellWindows* windows = nullptr) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
        if (windows != nullptr)
            windows->dispatch();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// A private session bus for the whole suite.
class SessionBus : public ::testing::Environment {
public:
    void SetUp() override { m_bus = std::make_unique<PrivateSessionBus>(); }
    void TearDown() override { m_bus.reset(); }
    bool up() const { return m_bus && m_bus->up(); }

private:
    std::unique_ptr<PrivateSessionBus> m_bus;
};
SessionBus* g_bus = static_cast<SessionBus*>(::testing::AddGlobalTestEnvironment(new SessionBus));

// The shell's stand-in, logging into the test's own folder.
class StandIn : public ShellStandIn {
public:
    explicit StandIn(const std::string& shell, const std::string& extra = {})
        : ShellStandIn(kSource, shell, ::testing::TempDir() + "standin-" + std::to_string(::getpid()) + "-" +
                                           std::to_string(++s_count) + ".log",
                       extra) {}

private:
    static inline int s_count = 0;
};

struct Shown {
    std::string title, program;
    Toplevel::Origin origin;
    bool operator==(const Shown&) const = default;
};

std::vector<Shown> shown(ShellWindows& windows) {
    std::vector<Shown> all;
    for (const Toplevel* t : windows.toplevels())
        all.push_back({t->title, t->appId, t->origin});
    return all;
}

std::string front(ShellWindows& windows) {
    const Toplevel* t = windows.activated();
    return t != nullptr ? t->title : "(none)";
}

const std::string kScript = kSource + "/platform/wayland/shells/kwin/vornik-windows.js";

// Every test here needs the bus and gjs.
template <typename Base>
class WithShells : public Base {
protected:
    void SetUp() override {
        if (!g_bus->up() || !ShellStandIn::available())
            GTEST_SKIP() << "needs dbus-daemon and gjs";
    }
};
using EachShell = WithShells<::testing::TestWithParam<const char*>>;
using GnomeShell = WithShells<::testing::Test>;

// One script of changes on the shell's side, each followed by what Vornik must then know.
TEST_P(EachShell, TheWindowsAndTheOneInFrontAsTheShellTellsThem) {
    const std::string shell = GetParam();
    StandIn standIn(shell);
    ASSERT_TRUE(waitFor([&] { return standIn.printed("ready"); })) << standIn.log();
    const std::string game = std::to_string(::getpid());
    const std::string terminal = std::to_string(::getppid());
    standIn.say("window\t1\tGame\torg.example.Game\t" + game + "\t0");
    standIn.say("window\t2\tTerminal\txterm\t" + terminal + "\t1");
    standIn.say("special\t3\tPanel");
    standIn.say("activate\t1");

    std::unique_ptr<ShellWindows> windows = ShellWindows::open(kScript);
    ASSERT_NE(windows, nullptr);
    EXPECT_EQ(windows->shell(), shell == "gnome" ? ShellWindows::Shell::Gnome : ShellWindows::Shell::KWin);
    using O = Toplevel::Origin;
    const std::vector<Shown> both = {{"Game", "org.example.Game", O::Native}, {"Terminal", "xterm", O::X}};
    ASSERT_TRUE(waitFor([&] { return shown(*windows) == both && front(*windows) == "Game"; }, windows.get()))
        << windows->unseenReason() << "\n" << standIn.log();
    const uint64_t gameHandle = windows->activated()->handle;
    EXPECT_EQ(windows->activated()->pid, static_cast<uint32_t>(::getpid()));

    struct Step {
        std::string line;
        std::vector<Shown> windows;
        std::string front;
    };
    const std::vector<Step> steps = {
        // A caption changes: the same window, under its new title.
        {"window\t1\tGame - level 2\torg.example.Game\t" + game + "\t0",
         {{"Game - level 2", "org.example.Game", O::Native}, {"Terminal", "xterm", O::X}},
         "Game - level 2"},
        // The panel in front: nothing listed is.
        {"activate\t3", {{"Game - level 2", "org.example.Game", O::Native}, {"Terminal", "xterm", O::X}}, "(none)"},
        {"activate\t2", {{"Game - level 2", "org.example.Game", O::Native}, {"Terminal", "xterm", O::X}}, "Terminal"},
        {"activate", {{"Game - level 2", "org.example.Game", O::Native}, {"Terminal", "xterm", O::X}}, "(none)"},
        {"close\t2", {{"Game - level 2", "org.example.Game", O::Native}}, "(none)"},
        {"activate\t1", {{"Game - level 2", "org.example.Game", O::Native}}, "Game - level 2"},
    };
    for (const Step& step : steps) {
        standIn.say(step.line);
        // What a key waits for: the shell's word as of now.
        windows->roundTrip();
        EXPECT_TRUE(waitFor([&] { return shown(*windows) == step.windows && front(*windows) == step.front; },
                            windows.get()))
            << "after \"" << step.line << "\": in front " << front(*windows) << ", " << shown(*windows).size()
            << " windows\n"
            << standIn.log();
    }
    // A target is kept by its handle: it stays the window's through a new title.
    ASSERT_NE(windows->activated(), nullptr);
    EXPECT_EQ(windows->activated()->handle, gameHandle);

    // Another program on the bus cannot tell Vornik a window is in front.
    if (shell != "gnome") {
        sd_bus* intruder = nullptr;
        ASSERT_GE(sd_bus_open_user(&intruder), 0);
        // Sent without waiting: the answer comes only as the object reads its calls.
        int answer = 0; // 1 taken, -1 refused
        const auto answered = [](sd_bus_message* reply, void* result, sd_bus_error*) {
            *static_cast<int*>(result) = sd_bus_message_is_method_error(reply, nullptr) ? -1 : 1;
            return 0;
        };
        ASSERT_GE(sd_bus_call_method_async(intruder, nullptr, "io.github.vornik.Vornik", "/io/github/vornik/Windows",
                                           "io.github.vornik.Windows1", "Activated", answered, &answer, "sssib", "9",
                                           "Fake", "fake", 1, 0),
                  0);
        EXPECT_TRUE(waitFor(
            [&] {
                while (sd_bus_process(intruder, nullptr) > 0) {
                }
                return answer != 0;
            },
            windows.get()));
        EXPECT_EQ(answer, -1) << "a call from another program was taken";
        sd_bus_flush_close_unref(intruder);
        windows->roundTrip();
        EXPECT_EQ(front(*windows), "Game - level 2");
    }

    if (shell == "gnome") {
        // Disabled, the extension tells nothing, and the sign says how to enable it; enabled again,
        // everything is back.
        standIn.say("disable");
        EXPECT_TRUE(waitFor([&] { return !windows->hasToplevels(); }, windows.get()));
        EXPECT_NE(windows->unseenReason().find("gnome-extensions enable windows@vornik.github.io"), std::string::npos)
            << windows->unseenReason();
        EXPECT_EQ(windows->activated(), nullptr);
        standIn.say("enable");
        EXPECT_TRUE(waitFor([&] { return windows->hasToplevels() && front(*windows) == "Game - level 2"; },
                            windows.get()))
            << windows->unseenReason();
    } else {
        // Gone, Vornik takes its script out of KWin.
        const int unloads = standIn.times("unloadScript vornik-windows");
        windows.reset();
        EXPECT_TRUE(waitFor([&] { return standIn.times("unloadScript vornik-windows") > unloads; })) << standIn.log();
    }
}

INSTANTIATE_TEST_SUITE_P(KWinAndGnome, EachShell, ::testing::Values("kwin5", "kwin6", "gnome"));

TEST_F(GnomeShell, WithoutTheExtensionTheSignSaysHowToEnableIt) {
    StandIn standIn("gnome", "--disabled");
    ASSERT_TRUE(waitFor([&] { return standIn.printed("ready"); })) << standIn.log();
    std::unique_ptr<ShellWindows> windows = ShellWindows::open(kScript);
    ASSERT_NE(windows, nullptr);
    EXPECT_FALSE(windows->hasToplevels());
    EXPECT_NE(windows->unseenReason().find("gnome-extensions enable windows@vornik.github.io"), std::string::npos)
        << windows->unseenReason();
    // Enabled later (the user followed the sign): no restart needed.
    standIn.say("window\t1\tGame\torg.example.Game\t1\t0");
    standIn.say("activate\t1");
    standIn.say("enable");
    EXPECT_TRUE(waitFor([&] { return front(*windows) == "Game"; }, windows.get())) << windows->unseenReason();
}

TEST_F(GnomeShell, AShellThatDoesNotAnswerIsNotWaitedFor) {
    StandIn standIn("gnome");
    ASSERT_TRUE(waitFor([&] { return standIn.printed("ready"); })) << standIn.log();
    standIn.say("window\t1\tGame\torg.example.Game\t1\t0");
    standIn.say("activate\t1");
    std::unique_ptr<ShellWindows> windows = ShellWindows::open(kScript);
    ASSERT_NE(windows, nullptr);
    ASSERT_TRUE(waitFor([&] { return front(*windows) == "Game"; }, windows.get())) << windows->unseenReason();

    standIn.say("stall\t3");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // A key waits for the shell once, briefly; the next ones do not wait at all. (The goal is a
    // quarter second; the bound is far above it.)
    const auto took = [&] {
        const auto start = std::chrono::steady_clock::now();
        windows->roundTrip();
        return std::chrono::steady_clock::now() - start;
    };
    EXPECT_LT(took(), std::chrono::milliseconds(1500));
    EXPECT_EQ(windows->activated(), nullptr) << "a shell that did not answer still names the window in front";
    EXPECT_NE(windows->unseenReason().find("does not answer"), std::string::npos) << windows->unseenReason();
    EXPECT_LT(took(), std::chrono::milliseconds(100));
    // Once it answers again, its word counts again.
    EXPECT_TRUE(waitFor(
        [&] {
            windows->roundTrip();
            return front(*windows) == "Game";
        },
        windows.get()))
        << windows->unseenReason();
}

TEST(NoShell, NothingOnTheBusIsNoSource) {
    if (!g_bus->up())
        GTEST_SKIP() << "needs dbus-daemon";
    EXPECT_EQ(ShellWindows::open(kScript), nullptr);
}

} // namespace
} // namespace vornik
