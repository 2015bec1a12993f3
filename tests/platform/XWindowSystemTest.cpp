// GoogleTest first: the X headers define macros (None, Bool, Status) that clash with it.
#include <gtest/gtest.h>

#include "RecorderProcess.h"
#include "TestDisplay.h"
#include "XWindowSystem.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <unistd.h>

namespace vornik {
namespace {

using test::RecorderProcess;
using test::TestDisplay;

class XWindowSystemTest : public ::testing::Test {
protected:
    TestDisplay user;
    XConnection connection;
    XWindowSystem windows{connection};

    // Lets the backend's connection receive every event the test's requests caused.
    void settle() { XSync(connection.display(), False); }
    std::vector<WindowHandle> listed() {
        std::vector<WindowHandle> all;
        windows.enumWindows([&](WindowHandle h) { all.push_back(h); });
        return all;
    }
};

TEST_F(XWindowSystemTest, ForegroundIsTheFocusedTopLevelWithoutAWindowManager) {
    EXPECT_EQ(windows.foregroundWindow(), 0u) << "focus on the root: nothing in front";
    const Window a = user.createWindow("a");
    const Window b = user.createWindow("b");
    user.focus(a);
    EXPECT_EQ(windows.foregroundWindow(), a);
    user.focus(b);
    EXPECT_EQ(windows.foregroundWindow(), b);

    // Focus on a window inside a top-level: the top-level is in front.
    const Window inner = user.createWindow({}, true, a);
    const Window innermost = user.createWindow({}, true, inner);
    user.focus(innermost);
    EXPECT_EQ(windows.foregroundWindow(), a);
    EXPECT_EQ(windows.foregroundWindow(), a) << "the same answer from the cached walk";

    // The focus window goes away: the focus reverts to its parent, which is still inside a.
    user.destroyWindow(innermost);
    settle();
    EXPECT_EQ(windows.foregroundWindow(), a);
}

TEST_F(XWindowSystemTest, ForegroundIsTheManagedClientInsideAFrame) {
    RecorderProcess target;
    const Window frame = user.createWindow();
    XReparentWindow(user.display(), target.window(), frame, 0, 0);
    XMapWindow(user.display(), target.window());
    user.setWmState(target.window());
    user.focus(frame);
    EXPECT_EQ(windows.foregroundWindow(), target.window()) << "focus on the frame: the client below it";
    user.focus(target.window());
    EXPECT_EQ(windows.foregroundWindow(), target.window());
    EXPECT_EQ(windows.topLevelClient(frame), target.window());
    EXPECT_EQ(windows.topLevelClient(user.root()), 0u);
}

TEST_F(XWindowSystemTest, PublishedActiveWindowWinsOverTheFocus) {
    const Window a = user.createWindow("a");
    const Window b = user.createWindow("b");
    user.focus(a);
    user.setActiveWindow(b);
    settle();
    EXPECT_EQ(windows.foregroundWindow(), b);
    user.setActiveWindow(None);
    settle();
    EXPECT_EQ(windows.foregroundWindow(), 0u) << "the window manager says no window is active";

    XDeleteProperty(user.display(), user.root(), user.atom("_NET_ACTIVE_WINDOW"));
    user.sync();
    settle();
    EXPECT_EQ(windows.foregroundWindow(), a) << "no longer published: back to the input focus";
}

// Keys go where the input focus is. A window manager moves the focus first and publishes the new
// active window only once it sees the focus arrive; meanwhile nothing counts as in front.
TEST_F(XWindowSystemTest, AFocusMovedAwayFromThePublishedWindowCountsAsNoneUntilPublished) {
    const Window a = user.createWindow("a");
    const Window b = user.createWindow("b");
    user.focus(a);
    user.setActiveWindow(a);
    settle();
    ASSERT_EQ(windows.foregroundWindow(), a);
    user.focus(b);
    settle();
    EXPECT_EQ(windows.foregroundWindow(), 0u);
    user.setActiveWindow(b);
    settle();
    EXPECT_EQ(windows.foregroundWindow(), b);
    user.focus(a); // back to a while b is still published: none again
    settle();
    EXPECT_EQ(windows.foregroundWindow(), 0u);
    XDeleteProperty(user.display(), user.root(), user.atom("_NET_ACTIVE_WINDOW"));
    user.sync();
}

TEST_F(XWindowSystemTest, TheForegroundIsFollowedByEventsAndAnIdleTestCostsNoRoundTrip) {
    RecorderProcess target({"--focus"});
    const WindowHandle fg = windows.foregroundWindow();
    ASSERT_EQ(fg, target.window());
    ASSERT_EQ(windows.windowProcessId(fg), static_cast<uint32_t>(target.pid()));
    uint64_t before = connection.roundTrips();
    for (int tick = 0; tick < 10; ++tick)
        windows.windowProcessId(windows.foregroundWindow());
    EXPECT_EQ(connection.roundTrips(), before);

    // A top-level created after the backend started, focused without a window manager: seen at once.
    const Window later = user.createWindow("later");
    user.focus(later);
    EXPECT_EQ(windows.foregroundWindow(), later);
    user.focus(target.window());
    EXPECT_EQ(windows.foregroundWindow(), target.window());
    user.focus(user.root());
    EXPECT_EQ(windows.foregroundWindow(), 0u);

    // A window manager's _NET_ACTIVE_WINDOW, followed the same way.
    user.setActiveWindow(later);
    EXPECT_EQ(windows.foregroundWindow(), later);
    before = connection.roundTrips();
    for (int tick = 0; tick < 10; ++tick)
        windows.foregroundWindow();
    EXPECT_EQ(connection.roundTrips(), before);
    user.setActiveWindow(target.window());
    EXPECT_EQ(windows.foregroundWindow(), target.window());
}

TEST_F(XWindowSystemTest, ProcessIdComesFromTheServerNotFromTheClaim) {
    RecorderProcess liar({"--claim-pid", "4242"});
    EXPECT_EQ(windows.windowProcessId(liar.window()), static_cast<uint32_t>(liar.pid()));
    const Window own = user.createWindow();
    EXPECT_EQ(windows.windowProcessId(own), static_cast<uint32_t>(getpid()));
    EXPECT_EQ(windows.windowProcessId(0), 0u);

    // A window that is gone has no owner, even though the pid was known before.
    const Window mine = user.createWindow();
    ASSERT_EQ(windows.windowProcessId(mine), static_cast<uint32_t>(getpid()));
    RecorderProcess gone;
    const Window goneWindow = gone.window();
    ASSERT_EQ(windows.windowProcessId(goneWindow), static_cast<uint32_t>(gone.pid()));
    gone.kill();
    user.sync();
    settle();
    EXPECT_EQ(windows.windowProcessId(goneWindow), 0u);
}

TEST_F(XWindowSystemTest, ClaimedProcessIdIsTheFallbackWithoutXRes) {
    RecorderProcess claiming({"--claim-pid", "4242"});
    RecorderProcess silent;
    windows.ignoreXRes();
    EXPECT_EQ(windows.windowProcessId(claiming.window()), 4242u);
    EXPECT_EQ(windows.windowProcessId(silent.window()), 0u) << "no claim and no server answer: unknown";
}

TEST_F(XWindowSystemTest, EnumeratesTopLevelWindowsFrontFirst) {
    const Window a = user.createWindow("a");
    const Window b = user.createWindow("b");
    const Window c = user.createWindow("c");
    const Window popup = user.createWindow("menu", true, 0, true);
    const Window hidden = user.createWindow("hidden", false);
    const Window child = user.createWindow("child", true, a);
    XRaiseWindow(user.display(), a);
    user.sync();

    std::vector<WindowHandle> all = listed();
    std::vector<WindowHandle> ours;
    for (WindowHandle h : all) {
        if (h == a || h == b || h == c || h == hidden)
            ours.push_back(h);
    }
    EXPECT_EQ(ours, (std::vector<WindowHandle>{a, hidden, c, b})) << "unmapped windows keep their place";
    EXPECT_EQ(std::count(all.begin(), all.end(), popup), 0) << "override-redirect windows are no clients";
    EXPECT_EQ(std::count(all.begin(), all.end(), child), 0) << "only top-level windows";
}

TEST_F(XWindowSystemTest, EnumeratesManagedClientsNotTheirFrames) {
    const Window frame = user.createWindow();
    const Window client = user.createWindow("client", true, frame);
    user.setWmState(client);
    std::vector<WindowHandle> all = listed();
    EXPECT_EQ(std::count(all.begin(), all.end(), client), 1);
    EXPECT_EQ(std::count(all.begin(), all.end(), frame), 0);
}

TEST_F(XWindowSystemTest, EnumeratesThePublishedStackingListAndSkipsGoneWindows) {
    const Window a = user.createWindow("a");
    const Window b = user.createWindow("b");
    const Window stale = user.createWindow("stale");
    user.createWindow("not managed");
    user.destroyWindow(stale);
    user.setWindowList(user.atom("_NET_CLIENT_LIST_STACKING"), {b, stale, a}); // bottom to top
    const uint64_t errors = connection.errorCount();
    EXPECT_EQ(listed(), (std::vector<WindowHandle>{a, b}));
    EXPECT_GE(connection.errorCount(), errors) << "the gone window's error was caught, not fatal";
}

// CTRL+J held rebuilds the list on every tick: a window listed before costs no round trip, and what is
// kept of it follows the events (a new title, an unmap of it or of its frame, its end).
TEST_F(XWindowSystemTest, AListedWindowIsListedAgainWithoutARoundTripAndFollowsItsChanges) {
    const Window a = user.createWindow("a");
    const Window frame = user.createWindow("frame");
    const Window b = user.createWindow("b", true, frame);
    user.setWindowList(user.atom("_NET_CLIENT_LIST_STACKING"), {b, a});
    const auto refresh = [&] {
        std::vector<std::pair<WindowHandle, std::string>> seen;
        windows.enumWindows([&](WindowHandle h) {
            if (windows.isWindowVisible(h))
                seen.emplace_back(h, windows.windowText(h, 100));
        });
        return seen;
    };
    using Seen = std::vector<std::pair<WindowHandle, std::string>>;
    EXPECT_EQ(refresh(), (Seen{{a, "a"}, {b, "b"}}));
    settle();
    uint64_t before = connection.roundTrips();
    EXPECT_EQ(refresh(), (Seen{{a, "a"}, {b, "b"}}));
    EXPECT_EQ(connection.roundTrips() - before, 1u) << "the list itself, and nothing per window";

    XStoreName(user.display(), a, "a renamed");
    XUnmapWindow(user.display(), frame); // b is still mapped, but no longer viewable
    user.sync();
    settle();
    EXPECT_EQ(refresh(), (Seen{{a, "a renamed"}}));
    XMapWindow(user.display(), frame);
    user.destroyWindow(a);
    settle();
    EXPECT_EQ(refresh(), (Seen{{b, "b"}}));
}

TEST_F(XWindowSystemTest, VisibleMeansMappedAndViewable) {
    const Window shown = user.createWindow("shown");
    const Window hidden = user.createWindow("hidden", false);
    const Window parent = user.createWindow("parent", false);
    const Window inHidden = user.createWindow("in hidden", true, parent);
    EXPECT_TRUE(windows.isWindowVisible(shown));
    EXPECT_FALSE(windows.isWindowVisible(hidden));
    EXPECT_FALSE(windows.isWindowVisible(inHidden)) << "mapped, but its parent is not";
    XUnmapWindow(user.display(), shown);
    user.sync();
    EXPECT_FALSE(windows.isWindowVisible(shown));
    user.destroyWindow(shown);
    EXPECT_FALSE(windows.isWindowVisible(shown));
    EXPECT_FALSE(windows.isWindowVisible(0));
}

TEST_F(XWindowSystemTest, TitlesAreReadAsUtf8FromEitherProperty) {
    const Window modern = user.createWindow("legacy name");
    const std::string utf8 = "遊戲視窗 – Ωmega";
    XChangeProperty(user.display(), modern, user.atom("_NET_WM_NAME"), user.atom("UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
    user.sync();
    EXPECT_EQ(windows.windowText(modern, 100), utf8) << "_NET_WM_NAME first";

    const Window latin = user.createWindow();
    const std::string cafe = "Caf\xE9 cr\xE8me"; // Latin-1 in WM_NAME of type STRING
    XChangeProperty(user.display(), latin, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(cafe.data()), static_cast<int>(cafe.size()));
    user.sync();
    EXPECT_EQ(windows.windowText(latin, 100), "Café crème");

    EXPECT_EQ(windows.windowText(user.createWindow(), 100), "") << "untitled";
}

TEST_F(XWindowSystemTest, TitlesAreCutToMaxCharsMinusOneCharacters) {
    const Window w = user.createWindow();
    std::string title;
    for (int i = 0; i < 150; ++i)
        title += "字";
    ASSERT_TRUE(windows.setWindowText(w, title));
    const std::string read = windows.windowText(w, 100);
    EXPECT_EQ(read.size(), 99u * 3) << "99 characters of 3 bytes each, never a broken one";
    EXPECT_EQ(windows.windowText(w, 2), "字");
    EXPECT_EQ(windows.windowText(w, 1), "");
    EXPECT_EQ(windows.windowText(w, 0), "");
}

TEST_F(XWindowSystemTest, SettingATitleWritesBothProperties) {
    const Window w = user.createWindow();
    ASSERT_TRUE(windows.setWindowText(w, "Process 00ABCDEF1"));
    XTextProperty text{};
    ASSERT_TRUE(XGetWMName(user.display(), w, &text));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text.value), text.nitems), "Process 00ABCDEF1");
    EXPECT_EQ(text.encoding, XA_STRING);
    XFree(text.value);
    EXPECT_EQ(windows.windowText(w, 100), "Process 00ABCDEF1");

    ASSERT_TRUE(windows.setWindowText(w, "Ωmega 遊戲"));
    EXPECT_EQ(windows.windowText(w, 100), "Ωmega 遊戲");
    ASSERT_TRUE(XGetWMName(user.display(), w, &text));
    EXPECT_NE(text.encoding, XA_STRING) << "not Latin-1: WM_NAME is compound text";
    char** list = nullptr;
    int count = 0;
    ASSERT_GE(Xutf8TextPropertyToTextList(user.display(), &text, &list, &count), Success);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(std::string(list[0]), "Ωmega 遊戲");
    XFreeStringList(list);
    XFree(text.value);
}

TEST_F(XWindowSystemTest, GoneWindowsAreNeverFatal) {
    const Window w = user.createWindow("soon gone");
    user.destroyWindow(w);
    EXPECT_FALSE(windows.setWindowText(w, "x"));
    EXPECT_EQ(windows.windowText(w, 100), "");
    EXPECT_FALSE(windows.isWindowVisible(w));
    EXPECT_EQ(windows.topLevelClient(w), 0u);
    EXPECT_GT(connection.errorCount(), 0u);
    // Still working afterwards.
    const Window next = user.createWindow("next");
    EXPECT_EQ(windows.windowText(next, 100), "next");
}

TEST_F(XWindowSystemTest, ApplicationHandleIsWhatTheProgramSets) {
    EXPECT_EQ(windows.applicationHandle(), 0u);
    windows.setApplicationHandle(0x2A00007);
    EXPECT_EQ(windows.applicationHandle(), 0x2A00007u);
}

} // namespace
} // namespace vornik
