// GoogleTest first: the X headers define macros (None, Bool, Status) that clash with it.
#include <gtest/gtest.h>

#include "HeldOutput.h"
#include "KeyLabels.h"
#include "RecorderProcess.h"
#include "TestDisplay.h"
#include "XKeyboard.h"
#include "XTestOutput.h"
#include "XWindowSystem.h"

#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace vornik {
namespace {

using test::RecorderProcess;
using test::TestDisplay;

class XKeyboardTest : public ::testing::Test {
protected:
    TestDisplay user;
    XConnection connection;
    XKeyboard keyboard{connection};
    XTestOutput output{connection, keyboard};
    HeldOutput held{output};

    void SetUp() override { ASSERT_TRUE(output.hasXTest()); }
    bool down(int vk) { return keyboard.asyncKeyState(vk) != 0; }
    // A key-up straight through the output, for the key `vk` sends now (not through the record).
    void sendUp(int vk) { output.keyUp({static_cast<uint8_t>(vk), keyboard.keycodeToSend(vk)}); }
};

TEST_F(XKeyboardTest, EveryLabelledCodeHasAKeyOnAStandardKeyboard) {
    NamedKeyList named;
    buildNamedKeyList(named);
    for (int position = 2; position <= named.Count; ++position) {
        const int vk = named.Codes[position];
        EXPECT_NE(keyboard.outputKeycode(vk), 0) << KeyLabel(static_cast<uint16_t>(vk)) << " (" << vk << ")";
    }
    EXPECT_EQ(keyboard.outputKeycode(16), user.keycode(XK_Shift_L)) << "generic codes send the left-hand key";
    EXPECT_EQ(keyboard.outputKeycode(17), user.keycode(XK_Control_L));
    EXPECT_EQ(keyboard.outputKeycode(18), user.keycode(XK_Alt_L));
    EXPECT_EQ(keyboard.outputKeycode('A'), user.keycode(XK_a));
    EXPECT_EQ(keyboard.outputKeycode(96), user.keycode(XK_KP_0));
}

TEST_F(XKeyboardTest, SentEventsReachTheFocusedWindowAtOnce) {
    RecorderProcess target({"--focus"});
    held.pressKey('X');
    // Nothing else touches the connection: the event must have been flushed by the output itself.
    ASSERT_TRUE(target.waitForKeys(1));
    held.releaseKey('X');
    held.pressKey(17);
    held.releaseKey(17);
    ASSERT_TRUE(target.waitForKeys(4));
    EXPECT_EQ(target.keyTexts(), (std::vector<std::string>{"+x", "-x", "+Control_L", "-Control_L"}));
}

TEST_F(XKeyboardTest, StateFollowsTheEventsThisKeyboardSends) {
    EXPECT_FALSE(down('A'));
    held.pressKey('A');
    EXPECT_TRUE(down('A')) << "a sent event counts at once";
    XSync(connection.display(), False); // the server has our event before the other connection asks
    EXPECT_TRUE(user.keyDown(user.keycode(XK_a))) << "the server agrees";
    held.releaseKey('A');
    EXPECT_FALSE(down('A'));
    XSync(connection.display(), False);
    EXPECT_FALSE(user.keyDown(user.keycode(XK_a)));
}

TEST_F(XKeyboardTest, GenericCodesAreDownWhenEitherSideIs) {
    held.pressKey(16); // sends Shift_L
    EXPECT_TRUE(down(16));
    EXPECT_TRUE(down(160));
    EXPECT_FALSE(down(161));
    sendUp(160); // the left Shift is the same key
    EXPECT_FALSE(down(16));

    user.pressKey(XK_Control_R);
    keyboard.beginTick();
    EXPECT_TRUE(down(17));
    EXPECT_TRUE(down(163));
    EXPECT_FALSE(down(162));
    user.releaseKey(XK_Control_R);
    user.pressKey(XK_Alt_R);
    keyboard.beginTick();
    EXPECT_TRUE(down(18));
    EXPECT_FALSE(down(17));
    user.releaseKey(XK_Alt_R);
}

TEST_F(XKeyboardTest, TheStateFollowsEveryKeyboardsEventsWithoutRoundTrips) {
    ASSERT_TRUE(keyboard.stateFromEvents());
    keyboard.setStateLifetime(std::chrono::seconds(10));
    keyboard.beginTick();
    const uint64_t before = connection.roundTrips();
    for (int tick = 0; tick < 10; ++tick) {
        keyboard.beginTick();
        for (int vk = 1; vk < 256; ++vk)
            keyboard.asyncKeyState(vk);
    }
    EXPECT_EQ(connection.roundTrips(), before);

    // Another client's XTest key, as the user's keyboard would press it: seen by the next tick.
    user.pressKey(XK_j);
    keyboard.beginTick();
    EXPECT_TRUE(down('J'));
    user.releaseKey(XK_j);
    keyboard.beginTick();
    EXPECT_FALSE(down('J'));

    // Our own events count at once, before they come back, and keep counting once they have.
    held.pressKey('Q');
    EXPECT_TRUE(down('Q'));
    XSync(connection.display(), False);
    keyboard.beginTick();
    EXPECT_TRUE(down('Q'));
    EXPECT_TRUE(user.keyDown(user.keycode(XK_q)));
    held.releaseKey('Q');
    EXPECT_FALSE(down('Q'));
    XSync(connection.display(), False);
    keyboard.beginTick();
    EXPECT_FALSE(down('Q'));
}

TEST_F(XKeyboardTest, OneKeymapRoundTripServesAWholeTickOfQueriesWithoutXInput) {
    keyboard.useKeymapQueries();
    keyboard.setStateLifetime(std::chrono::seconds(10));
    keyboard.beginTick();
    const uint64_t before = connection.roundTrips();
    for (int vk = 1; vk < 256; ++vk)
        keyboard.asyncKeyState(vk);
    EXPECT_EQ(connection.roundTrips() - before, 1u);

    // Another program's key press is seen only once the cached state is dropped.
    user.pressKey(XK_j);
    EXPECT_FALSE(down('J'));
    keyboard.beginTick();
    EXPECT_TRUE(down('J'));
    user.releaseKey(XK_j);

    // Each event this keyboard sends renews the state: a chord of three queries and three presses.
    keyboard.beginTick();
    const uint64_t chord = connection.roundTrips();
    for (int vk : std::initializer_list<int>{17, 16, 'X'}) {
        ASSERT_FALSE(down(vk));
        held.pressKey(static_cast<uint8_t>(vk));
        EXPECT_TRUE(down(vk));
    }
    EXPECT_EQ(connection.roundTrips() - chord, 4u);
    held.releaseAll();
}

TEST_F(XKeyboardTest, CachedStateExpiresByItself) {
    keyboard.useKeymapQueries();
    keyboard.setStateLifetime(std::chrono::milliseconds(5));
    EXPECT_FALSE(down('K'));
    user.pressKey(XK_k);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(down('K'));
    user.releaseKey(XK_k);
}

TEST_F(XKeyboardTest, CodesWithoutAKeySendNothingAndAreNeverDown) {
    RecorderProcess target({"--focus"});
    const uint64_t before = connection.roundTrips();
    for (int vk : std::initializer_list<int>{0, 7, 10, 91, 255}) {
        held.pressKey(static_cast<uint8_t>(vk));
        EXPECT_EQ(keyboard.asyncKeyState(vk), 0) << vk;
    }
    EXPECT_EQ(keyboard.asyncKeyState(256), 0);
    EXPECT_EQ(keyboard.asyncKeyState(-1), 0);
    EXPECT_EQ(connection.roundTrips(), before) << "keys that do not exist are not asked about";
    EXPECT_FALSE(held.holdsAnything());
    held.pressKey('B');
    held.releaseKey('B');
    ASSERT_TRUE(target.waitForKeys(2));
    EXPECT_EQ(target.keyTexts(), (std::vector<std::string>{"+b", "-b"})) << "nothing went out before B";
}

TEST_F(XKeyboardTest, KeysymWithoutAKeycodeAfterAMappingChange) {
    const KeyCode f12 = keyboard.outputKeycode(123);
    ASSERT_NE(f12, 0);
    int perKey = 0;
    KeySym* old = XGetKeyboardMapping(user.display(), f12, 1, &perKey);
    std::vector<KeySym> none(static_cast<std::size_t>(perKey), NoSymbol);
    XChangeKeyboardMapping(user.display(), f12, perKey, none.data(), 1);
    user.sync();

    // The mapping change is noticed on the next query or event, without being told.
    for (int i = 0; i < 100 && keyboard.outputKeycode(123) != 0; ++i) {
        keyboard.beginTick();
        keyboard.asyncKeyState('A');
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(keyboard.outputKeycode(123), 0);
    held.pressKey(123);
    XSync(connection.display(), False);
    EXPECT_FALSE(user.keyDown(f12));
    EXPECT_EQ(keyboard.asyncKeyState(123), 0);
    EXPECT_FALSE(held.holdsAnything());

    XChangeKeyboardMapping(user.display(), f12, perKey, old, 1);
    XFree(old);
    user.sync();
}

TEST_F(XKeyboardTest, ReleaseAllLeavesNoKeyDown) {
    RecorderProcess target({"--focus"});
    for (int vk : std::initializer_list<int>{'A', 17, 16, 115 /* F4 */, 37 /* Left */})
        held.pressKey(static_cast<uint8_t>(vk));
    held.releaseKey('A');
    EXPECT_TRUE(held.holdsAnything());
    XSync(connection.display(), False); // the events are sent; make sure the server has handled them
    EXPECT_EQ(user.keysDown().size(), 4u);

    held.releaseAll();
    EXPECT_TRUE(user.keysDown().empty()) << "checked over another connection";
    EXPECT_FALSE(held.holdsAnything());
    ASSERT_TRUE(target.waitForKeys(10));
    int presses = 0, releases = 0;
    for (const auto& key : target.keys())
        (key.press ? presses : releases)++;
    EXPECT_EQ(presses, 5);
    EXPECT_EQ(releases, 5);

    held.releaseAll();
    target.waitForKeys(11, std::chrono::milliseconds(200));
    EXPECT_EQ(target.keys().size(), 10u) << "a second call has nothing left to release";
}

// A keymap change while a key is held: the key-up goes to the keycode that went down, not to the one
// the virtual-key code has now, so no key stays down until the next release of everything.
TEST_F(XKeyboardTest, AKeyHeldAcrossAKeymapChangeIsReleasedByTheKeycodePressed) {
    const KeyCode a = user.keycode(XK_a);
    held.pressKey('A');
    XSync(connection.display(), False);
    ASSERT_TRUE(user.keyDown(a));

    // Another keycode that had no symbol gets "a", and "a"'s own keycode none.
    int perKey = 0, first = 0, last = 0;
    XDisplayKeycodes(user.display(), &first, &last);
    KeySym* aSyms = XGetKeyboardMapping(user.display(), a, 1, &perKey);
    KeyCode spare = 0;
    for (int code = last; code > first && spare == 0; --code) {
        int n = 0;
        KeySym* syms = XGetKeyboardMapping(user.display(), static_cast<KeyCode>(code), 1, &n);
        if (std::all_of(syms, syms + n, [](KeySym sym) { return sym == NoSymbol; }))
            spare = static_cast<KeyCode>(code);
        XFree(syms);
    }
    ASSERT_NE(spare, 0);
    std::vector<KeySym> none(static_cast<std::size_t>(perKey), NoSymbol);
    XChangeKeyboardMapping(user.display(), spare, perKey, aSyms, 1);
    XChangeKeyboardMapping(user.display(), a, perKey, none.data(), 1);
    user.sync();
    for (int i = 0; i < 100 && keyboard.keycodeToSend('A') != spare; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(keyboard.keycodeToSend('A'), spare) << "the keymap change was not seen";

    held.releaseKey('A');
    XSync(connection.display(), False);
    EXPECT_FALSE(user.keyDown(a)) << "the key pressed is still down";
    EXPECT_FALSE(user.keyDown(spare));
    EXPECT_FALSE(held.holdsAnything());

    XChangeKeyboardMapping(user.display(), a, perKey, aSyms, 1);
    XChangeKeyboardMapping(user.display(), spare, perKey, none.data(), 1);
    XFree(aSyms);
    user.sync();
}

// A key the user presses and lets go between two queries counts once for the bindings' query, though
// it is up for the state; the program's own presses never count, and forgotten presses neither.
TEST_F(XKeyboardTest, ATapBetweenTwoQueriesCountsOnceForTheBindings) {
    ASSERT_TRUE(keyboard.stateFromEvents());
    // The other connection's events have reached the server, and their raw events this connection.
    const auto settle = [this] {
        user.sync();
        XSync(connection.display(), False);
        keyboard.takeChanges();
    };
    EXPECT_FALSE(keyboard.pressedSinceLastQuery('T'));
    user.pressKey(XK_t);
    user.releaseKey(XK_t);
    settle();
    EXPECT_FALSE(down('T'));
    EXPECT_TRUE(keyboard.pressedSinceLastQuery('T'));
    EXPECT_FALSE(keyboard.pressedSinceLastQuery('T')) << "once";

    user.pressKey(XK_t);
    settle();
    EXPECT_TRUE(keyboard.pressedSinceLastQuery('T')) << "held";
    user.releaseKey(XK_t);
    settle();
    EXPECT_FALSE(keyboard.pressedSinceLastQuery('T')) << "let go after the query";

    held.pressKey('T');
    held.releaseKey('T');
    settle();
    EXPECT_FALSE(keyboard.pressedSinceLastQuery('T')) << "the program's own tap";
    // The press comes back before the release goes: each key event is reported by the key's device
    // and by the master keyboard, and neither report is the user's.
    held.pressKey('T');
    settle();
    held.releaseKey('T');
    settle();
    EXPECT_FALSE(keyboard.pressedSinceLastQuery('T')) << "the program's own tap, seen in between";

    user.pressKey(XK_t);
    user.releaseKey(XK_t);
    settle();
    keyboard.forgetPresses();
    EXPECT_FALSE(keyboard.pressedSinceLastQuery('T')) << "forgotten";
}

// With a press guard, a press goes out only once the guard has said yes, and only while nothing the
// server has announced since (a window manager moving the focus) may have changed that answer: the
// check under the server grab asks nothing but one sync, so no other client can come between.
TEST_F(XKeyboardTest, APressGoesOutOnlyAsTheGuardAnsweredWithTheServerHeldMeanwhile) {
    RecorderProcess other;
    RecorderProcess target({"--focus"});
    XWindowSystem windows{connection};
    output.setFrontUnchanged([&] { return windows.foregroundUnchanged(); });
    bool allow = false;
    bool moveFocus = false;
    int asked = 0;
    output.setPressGuard([&] {
        ++asked;
        const bool inFront = windows.foregroundWindow() == target.window();
        // The focus moves on right after the guard has answered, before the press.
        if (moveFocus) {
            XSetInputFocus(user.display(), other.window(), RevertToParent, CurrentTime);
            user.sync();
        }
        return allow && inFront;
    });
    held.pressKey('G');
    output.pointerButton(PointerButton::Left, true);
    output.wheel(1, false);
    EXPECT_EQ(asked, 3) << "every kind of press asks";
    EXPECT_FALSE(held.holdsKey('G'));
    user.sync();
    EXPECT_FALSE(user.keyDown(user.keycode(XK_g))) << "refused";

    allow = true;
    held.pressKey('G');
    held.releaseKey('G');
    EXPECT_EQ(asked, 4) << "a release is never refused";
    ASSERT_TRUE(target.waitForKeys(2));
    EXPECT_EQ(target.keyTexts(), (std::vector<std::string>{"+g", "-g"}));

    moveFocus = true;
    EXPECT_FALSE(held.pressKey('H')) << "the focus moved after the answer: not sent";
    moveFocus = false;
    user.sync();
    EXPECT_FALSE(user.keyDown(user.keycode(XK_h)));
    EXPECT_EQ(other.keys().size(), 0u) << "nothing reached the window that took the focus";
    EXPECT_EQ(target.keys().size(), 2u);
    output.setPressGuard({});
    output.setFrontUnchanged({});
}

} // namespace
} // namespace vornik
