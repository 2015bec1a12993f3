#include "EngineTestSupport.h"

using namespace vornik;
using namespace vornik::test;
using Events = std::vector<KeyEventRecord>;

class TickGates : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        fake.joysticks.plug(0);
        fake.joysticks.plug(1);
        start();
        targetInFront();
        bindKeys(1, buttonEntry(1), {'A'});
        bindKeys(2, buttonEntry(1), {'B'});
        makeMove(1, {{'M', 0}});
        keyBinding('K').MoveNumber = 1;
        fake.joysticks.devices[0].reading.dwButtons = 1;
        fake.joysticks.devices[1].reading.dwButtons = 1;
        fake.keyboard.hold('K');
    }
    std::vector<uint8_t> downKeys() {
        std::vector<uint8_t> keys;
        for (const KeyEventRecord& e : takeEvents())
            if (e.flags == kKeyEventExtendedKey)
                keys.push_back(e.vk);
        return keys;
    }
};

TEST_F(TickGates, EverythingFiresWhileTheTargetIsInFront) {
    engine->EngineTick();
    EXPECT_EQ(downKeys(), (std::vector<uint8_t>{'A', 'B', 'M'}));
}

TEST_F(TickGates, AHiddenMainWindowPropertySkipsTheWholeTick) {
    host.visible = false;
    host.testBox[1] = true;
    fake.keyboard.hold('J');
    fake.keyboard.hold(0x11);
    const int queries = fake.keyboard.stateQueries;
    engine->EngineTick();
    EXPECT_TRUE(takeEvents().empty());
    EXPECT_EQ(fake.joysticks.reads, 0);
    EXPECT_EQ(fake.keyboard.stateQueries, queries);
    EXPECT_TRUE(host.directionPictures.empty());
}

TEST_F(TickGates, NothingIsSentWhileAnotherProgramIsInFrontButTheLiveViewRuns) {
    host.testBox[2] = true;
    otherInFront();
    engine->EngineTick();
    EXPECT_TRUE(takeEvents().empty());
    EXPECT_EQ(host.directionPictures, (std::vector<std::pair<int, int>>{{2, 0}}));

    fake.windows.foreground = 0; // no foreground window at all
    engine->EngineTick();
    EXPECT_TRUE(takeEvents().empty());

    config->targets.TargetProcessId = 0; // no target chosen: a window with no known owner never counts
    fake.windows.add(0x300, 0, "no owner");
    fake.windows.foreground = 0x300;
    engine->EngineTick();
    EXPECT_TRUE(takeEvents().empty());
}

TEST_F(TickGates, StopBoxesStopOnlyTheirOwnBindings) {
    host.stopBox[1] = true;
    engine->EngineTick();
    EXPECT_EQ(downKeys(), (std::vector<uint8_t>{'B', 'M'}));
    host.stopBox[1] = false;
    host.keyboardStop = true;
    engine->EngineTick();
    EXPECT_EQ(downKeys(), (std::vector<uint8_t>{'A'}));
}

TEST_F(TickGates, TheFirstAbsentJoystickEndsBothLoops) {
    fake.joysticks.devices[1].present = false;
    fake.joysticks.plug(2);
    fake.joysticks.devices[2].reading.dwButtons = 1;
    bindKeys(3, buttonEntry(1), {'C'});
    engine->detectJoysticks();
    host.testBox.fill(true);
    engine->EngineTick();
    EXPECT_EQ(downKeys(), (std::vector<uint8_t>{'A', 'M'}));
    EXPECT_EQ(fake.joysticks.reads, 2); // joystick 1: live view and bindings
    for (const auto& [t, picture] : host.directionPictures)
        EXPECT_EQ(t, 1);
}

TEST_F(TickGates, AFailingReadAnsweredOkSkipsOnlyThatJoystickForThisTick) {
    fake.joysticks.devices[0].readError = 167;
    host.testBox[1] = true;
    tickAndPlay();
    EXPECT_EQ(host.errorBoxes, 2); // once for the live view, once for the bindings
    EXPECT_EQ(downKeys(), (std::vector<uint8_t>{'B', 'M'}));
    tickAndPlay();
    EXPECT_EQ(host.errorBoxes, 4);
    EXPECT_EQ(host.endCalls, 0);
    // B is let go before each box and pressed again by its still-held button; the move plays again.
    EXPECT_EQ(downKeys(), (std::vector<uint8_t>{'B', 'M'}));

    fake.joysticks.devices[0].readError = 0;
    tickAndPlay();
    EXPECT_EQ(host.errorBoxes, 4);
    EXPECT_EQ(downKeys(), (std::vector<uint8_t>{'A', 'M'}));
}

TEST_F(TickGates, CancelInTheConnectionErrorBoxEndsTheProgramAndSendsNothingMore) {
    fake.joysticks.devices[0].readError = 167;
    host.answers = {EngineHost::Answer::Cancel};
    engine->EngineTick();
    EXPECT_EQ(host.endCalls, 1);
    EXPECT_EQ(host.errorBoxes, 1);
    EXPECT_TRUE(takeEvents().empty()); // neither joystick 2 nor the keyboard ran
    EXPECT_TRUE(engine->ending());
    engine->EngineTick();
    EXPECT_EQ(host.errorBoxes, 1);
    EXPECT_TRUE(takeEvents().empty());
}

class HotKey : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        start();
        fake.keyboard.hold('J');
        fake.keyboard.hold(0x11);
    }
};

TEST_F(HotKey, MakesTheProgramInFrontTheTargetAndSelectsIt) {
    otherInFront();
    host.keyboardStop = true; // the hot key works whatever the stop boxes say
    engine->EngineTick();
    EXPECT_EQ(config->targets.TargetProcessId, 77u);
    EXPECT_EQ(host.items, (std::vector<std::string>{"Target game", "Editor"}));
    EXPECT_EQ(host.selectedItem, 1);
}

TEST_F(HotKey, WithoutAMatchOnlyTheListIsRebuilt) {
    targetInFront();
    fake.windows.add(0x400, 99, "Unlisted", false);
    fake.windows.foreground = 0x400;
    fake.windows.add(0x500, 55, "New window");
    engine->EngineTick();
    EXPECT_EQ(config->targets.TargetProcessId, kTargetPid);
    EXPECT_EQ(host.items.size(), 3u);
    EXPECT_EQ(host.selectedItem, -1);
}

TEST_F(HotKey, NeedsBothKeys) {
    otherInFront();
    fake.keyboard.letGo(0x11);
    engine->EngineTick();
    EXPECT_EQ(config->targets.TargetProcessId, 0u);
}

class KeyboardBindings : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        start();
        targetInFront();
        makeMove(3, {{'X', 0}}, 0, 3); // three passes per play
    }
    int plays() { return static_cast<int>(takeEvents().size()) / 2; }
};

TEST_F(KeyboardBindings, ModeZeroPlaysTheWholeMoveOnEveryTickTheKeyIsDown) {
    keyBinding(8).MoveNumber = 3; // BackSpace: keyboard binding entry 0
    tickAndPlay();
    EXPECT_EQ(plays(), 0);
    fake.keyboard.hold(8);
    tickAndPlay();
    EXPECT_EQ(plays(), 3);
    tickAndPlay();
    EXPECT_EQ(plays(), 3);
}

TEST_F(KeyboardBindings, ModeOnePlaysOnEveryTickWithoutTheKey) {
    keyBinding(222) = {3, AutoFireAutomatic, 7}; // "'", the last entry
    tickAndPlay();
    tickAndPlay();
    EXPECT_EQ(plays(), 6);
    otherInFront();
    tickAndPlay();
    EXPECT_EQ(plays(), 0);
}

TEST_F(KeyboardBindings, ModeTwoPlaysWhileHeldAtMostOnceEveryDelayTicks) {
    keyBinding('Q') = {3, AutoFireWhileHeld, 3};
    tickAndPlay();
    EXPECT_EQ(plays(), 0); // key up: never
    fake.keyboard.hold('Q');
    std::string pattern;
    for (int t = 0; t < 7; ++t) {
        tickAndPlay();
        pattern += plays() > 0 ? 'P' : '.';
    }
    EXPECT_EQ(pattern, "P..P..P");

    keyBinding('Q').AutoFireDelay = 0; // a delay of 0 still means once per tick at most
    fake.keyboard.letGo('Q');
    tickAndPlay();
    tickAndPlay();
    plays();
    fake.keyboard.hold('Q');
    pattern.clear();
    for (int t = 0; t < 3; ++t) {
        tickAndPlay();
        pattern += plays() == 3 ? 'P' : '.';
    }
    EXPECT_EQ(pattern, "PPP");
}

TEST_F(KeyboardBindings, EveryNamedKeyIsQueriedEachTickAndUnboundOnesDoNothing) {
    const int before = fake.keyboard.stateQueries;
    engine->EngineTick();
    // J and Control for the hot key (Control only when J is down), then 101 named keys.
    EXPECT_EQ(fake.keyboard.stateQueries - before, 1 + 101);
    EXPECT_EQ(plays(), 0);
}

TEST_F(KeyboardBindings, AClearedMoveStillBoundPlaysNothing) {
    keyBinding('A').MoveNumber = 3;
    fake.keyboard.hold('A');
    clearAllMoves(config->moves);
    engine->EngineTick();
    EXPECT_EQ(plays(), 0);
}

// Joysticks plugged in while the program runs: looked for at most once a second, at the first
// number without a page; a found joystick gets that number, a page from the host, and its bindings.
using HotPlug = EngineFixture;

TEST_F(HotPlug, JoysticksPluggedInLaterGetTheNextNumbers) {
    fake.joysticks.plug(0);
    fake.joysticks.plug(2); // after a gap: detected, but no page
    start();
    targetInFront();
    fake.joysticks.capsQueries.clear();

    // Nothing new: one question a second, always about the first number without a page.
    for (int t = 0; t < 30; ++t) {
        fake.clock.advance(100);
        engine->EngineTick();
    }
    EXPECT_EQ(fake.joysticks.capsQueries, (std::vector<uint32_t>{1, 1, 1}));
    EXPECT_TRUE(host.attached.empty());

    // System id 1 arrives, closing the gap: joysticks 2 and 3 both get pages, and their buttons work.
    fake.joysticks.plug(1, 4).caps.szPname = "Late Pad";
    fake.joysticks.devices[1].reading.dwButtons = 1;
    fake.joysticks.devices[2].reading.dwButtons = 1;
    bindKeys(2, buttonEntry(1), {'B'});
    bindKeys(3, buttonEntry(1), {'C'});
    engine->EngineTick();
    EXPECT_TRUE(host.attached.empty()) << "not before a second has passed";
    fake.clock.advance(1000);
    engine->EngineTick();
    EXPECT_EQ(host.attached, (std::vector<int>{2, 3}));
    EXPECT_TRUE(config->present(2) && config->present(3) && !config->present(4));
    EXPECT_EQ(config->caps(2).wMaxButtons, 4u);
    EXPECT_EQ(config->name(2), "Late Pad");
    EXPECT_EQ(takeEvents(), (Events{down(5000, 'B'), down(5000, 'C')}));

    // An unplugged joystick keeps its number and page: it is not announced again when it returns.
    fake.joysticks.devices[0].present = false;
    fake.joysticks.capsQueries.clear();
    fake.clock.advance(1000);
    engine->EngineTick();
    fake.joysticks.devices[0].present = true;
    fake.clock.advance(1000);
    engine->EngineTick();
    EXPECT_EQ(fake.joysticks.capsQueries, (std::vector<uint32_t>{3, 3}));
    EXPECT_EQ(host.attached, (std::vector<int>{2, 3}));
}
