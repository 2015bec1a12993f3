#include "EngineTestSupport.h"

using namespace vornik;
using namespace vornik::test;
using Events = std::vector<KeyEventRecord>;

class MovePlayerTest : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        start();
        targetInFront();
        fake.clock.set(0);
    }
    void play(int n) {
        engine->player().PlayMove(n);
        runMoves();
    }
};

TEST_F(MovePlayerTest, OneByOneAtSpeedZeroHoldsEachKeyTenMilliseconds) {
    makeMove(1, {{'A', 0}, {'B', 0}}, 0);
    play(1);
    EXPECT_EQ(takeEvents(), (Events{down(0, 'A'), up(10, 'A'), down(10, 'B'), up(20, 'B')}));
}

TEST_F(MovePlayerTest, OverlappedPressesTheNextKeyBeforeReleasingThePrevious) {
    makeMove(2, {{'Q', 0}, {'W', 0}, {'E', 0}}, 50, 1, true);
    play(2);
    EXPECT_EQ(takeEvents(),
              (Events{down(0, 'Q'), down(50, 'W'), up(100, 'Q'), down(150, 'E'), up(200, 'W'), up(250, 'E')}));
}

TEST_F(MovePlayerTest, AChordStepPressesAndReleasesItsSecondKeyRightAfterTheFirst) {
    makeMove(3, {{'1', 0x10}}, 5);
    play(3);
    EXPECT_EQ(takeEvents(), (Events{down(0, '1'), down(0, 0x10), up(15, '1'), up(15, 0x10)}));
}

TEST_F(MovePlayerTest, EqualConsecutiveOverlappedStepsRepeatTheKeyDown) {
    makeMove(4, {{'A', 0}, {'A', 0}}, 20, 1, true);
    play(4);
    EXPECT_EQ(takeEvents(), (Events{down(0, 'A'), down(20, 'A'), up(40, 'A'), up(60, 'A')}));
}

TEST_F(MovePlayerTest, RepeatsFollowEachOtherDirectly) {
    makeMove(5, {{'Z', 0}}, 30, 3, true);
    play(5);
    EXPECT_EQ(takeEvents(),
              (Events{down(0, 'Z'), up(30, 'Z'), down(30, 'Z'), up(60, 'Z'), down(60, 'Z'), up(90, 'Z')}));

    makeMove(6, {{'X', 0}}, 0, 2, false);
    play(6);
    EXPECT_EQ(takeEvents(), (Events{down(90, 'X'), up(100, 'X'), down(100, 'X'), up(110, 'X')}));
}

TEST_F(MovePlayerTest, SendsOnlyTheLowByteAndIgnoresTheKeyState) {
    fake.keyboard.hold('A');
    makeMove(7, {{0x141, 0x110}}, 0); // 'A' and Shift with stray high bytes
    play(7);
    EXPECT_EQ(takeEvents(), (Events{down(0, 'A'), down(0, 0x10), up(10, 'A'), up(10, 0x10)}));
}

TEST_F(MovePlayerTest, EmptyUneditedOrUnknownMovesPlayNothing) {
    makeMove(8, {}, 10, 3);           // no steps
    makeMove(9, {{'A', 0}}, 10, 0);   // never edited: repeat 0
    makeMove(10, {{'A', 0}}, 10, -4); // damaged
    makeMove(100, {{'B', 0}}, 0, 1);
    for (int n : {8, 9, 10, 0, -1, 101})
        play(n);
    EXPECT_TRUE(takeEvents().empty());
    EXPECT_EQ(fake.clock.tickCount(), 0u);
    play(100);
    EXPECT_EQ(takeEvents().size(), 2u);
}

TEST_F(MovePlayerTest, ALongSlowMoveTakesItsFullTimeOnTheInjectedClock) {
    Move& m = makeMove(11, {}, 100);
    for (int i = 1; i <= 100; ++i)
        m.Steps[i] = {static_cast<uint16_t>('A' + i % 26), 0};
    m.StepCount = 100;
    play(11);
    EXPECT_EQ(fake.clock.tickCount(), 21000u);
    EXPECT_EQ(takeEvents().size(), 200u);
}

// A minimum key-down time lengthens only the presses that would be shorter, chord keys included; the
// pauses between steps stay the move's own.
TEST_F(MovePlayerTest, AMinimumPressHoldsEveryShorterStepThatLong) {
    engine->player().setMinimumPress(40);
    makeMove(1, {{'A', 0x10}, {'B', 0}}, 5);
    play(1);
    EXPECT_EQ(takeEvents(),
              (Events{down(0, 'A'), down(0, 0x10), up(40, 'A'), up(40, 0x10), down(45, 'B'), up(85, 'B')}));

    makeMove(2, {{'C', 0}}, 50);
    play(2);
    EXPECT_EQ(takeEvents(), (Events{down(90, 'C'), up(150, 'C')})) << "a press longer already is left as it is";
}

TEST_F(MovePlayerTest, AMinimumPressHoldsOverlappedStepsFromTheirOwnKeyDown) {
    engine->player().setMinimumPress(30);
    makeMove(3, {{'Q', 0}, {'W', 0}, {'E', 0}}, 5, 1, true);
    play(3);
    // Q waits for its 30 ms; W has been down 35 by its turn; the last step waits for the rest.
    EXPECT_EQ(takeEvents(), (Events{down(0, 'Q'), down(5, 'W'), up(30, 'Q'), down(35, 'E'), up(40, 'W'), up(65, 'E')}));
}

// A move that stops while a key waits out its minimum leaves it to the way out, as any other sleep does.
TEST_F(MovePlayerTest, AStopDuringTheMinimumPressEndsTheMove) {
    engine->player().setMinimumPress(100);
    makeMove(4, {{'Z', 0}, {'X', 0}}, 0);
    fake.clock.onSleep = [this](uint32_t now) {
        if (now >= 100) // the end of Z's minimum press
            engine->requestStop();
    };
    play(4);
    EXPECT_EQ(takeEvents(), (Events{down(0, 'Z')}));
}

// Three pads at once, stepped as the scheduler steps them: a tick every 30 ms, and each move's events
// when they are due. Pad 1's long move freezes nothing: pad 3's move plays beside it, and pad 2's key
// goes down and up on the ticks that see its button.
TEST_F(EngineFixture, MovesOfDifferentPadsPlaySideBySideAndOtherBindingsGoOn) {
    for (uint32_t id = 0; id < 3; ++id)
        fake.joysticks.plug(id);
    start();
    targetInFront();
    makeMove(1, {{'A', 0}, {'S', 0}, {'D', 0}}, 100);        // one by one: 630 ms
    makeMove(2, {{'Q', 0}, {'W', 0}}, 50, 1, /*overlap*/ true); // 150 ms
    entry(1, buttonEntry(1)) = JoystickBinding{BindingMove, 1, 0, 0, 1};
    entry(3, buttonEntry(1)) = JoystickBinding{BindingMove, 2, 0, 0, 1};
    bindKeys(2, buttonEntry(1), {'B'});
    const auto button = [&](uint32_t id, bool down) { fake.joysticks.devices[id].reading.dwButtons = down ? 1 : 0; };

    fake.clock.set(0);
    for (uint32_t t = 0; t <= 800; ++t) {
        fake.clock.set(t);
        switch (t) {
        case 0: button(0, true); break;   // held over two ticks: the move plays once
        case 60: button(0, false); break; // let go: the move plays on to its end
        case 90: button(2, true); break;
        case 120: button(2, false); break;
        case 230: button(1, true); break;
        case 330: button(1, false); break;
        default: break;
        }
        if (t % 30 == 0)
            engine->EngineTick();
        if (engine->moveDueIn() == std::optional<uint32_t>{0})
            engine->MoveStep();
    }
    EXPECT_EQ(takeEvents(), (Events{down(0, 'A'), down(90, 'Q'), up(110, 'A'), down(140, 'W'), up(190, 'Q'),
                                    down(210, 'S'), down(240, 'B'), up(240, 'W'), up(320, 'S'), up(330, 'B'),
                                    down(420, 'D'), up(530, 'D')}));
    EXPECT_FALSE(engine->player().playing());
    EXPECT_FALSE(engine->held().holdsAnything());
}
