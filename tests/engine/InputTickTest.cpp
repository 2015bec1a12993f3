// A joystick change between two ticks is answered at once by InputTick: which changes count, and
// that the answer only moves key chords, leaving everything that repeats per tick to the ticks.

#include "EngineTestSupport.h"
#include "TickScheduler.h"

using namespace vornik;
using namespace vornik::test;
using Events = std::vector<KeyEventRecord>;

class InputTick : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        fake.joysticks.plug(0);
        start();
        targetInFront();
    }
    JoyReading& pad() { return fake.joysticks.devices[0].reading; }
};

TEST_F(InputTick, ButtonsZoneCrossingsAndTheDPadCountAsChangesAMoveInsideAZoneDoesNot) {
    EXPECT_TRUE(engine->joystickInputChanged()); // the first look has nothing to compare with
    EXPECT_FALSE(engine->joystickInputChanged());
    pad().dwXpos = 30000; // still the middle third
    pad().dwYpos = 40000;
    EXPECT_FALSE(engine->joystickInputChanged());
    pad().dwButtons = 1u << 11;
    EXPECT_TRUE(engine->joystickInputChanged());
    pad().dwXpos = 10;
    EXPECT_TRUE(engine->joystickInputChanged());
    pad().dwXpos = 20;
    EXPECT_FALSE(engine->joystickInputChanged());
    pad().dwPOV = 18000;
    EXPECT_TRUE(engine->joystickInputChanged());
    fake.joysticks.devices[0].readError = 167;
    EXPECT_TRUE(engine->joystickInputChanged()); // for the tick to ask about
}

TEST_F(InputTick, PressesAndReleasesChordsAtOnceAndLeavesMovesAutoFireAndKeyboardToTheTicks) {
    bindKeys(1, buttonEntry(1), {0x11, 'X'});
    bindKeys(1, buttonEntry(2), {'F'}, AutoFireAutomatic, 2);
    bindKeys(1, kEntryLeft, {0x25});
    makeMove(1, {{'M', 0}});
    entry(1, buttonEntry(3)).BindingKind = BindingMove;
    entry(1, buttonEntry(3)).Key1 = 1;
    keyBinding('K').MoveNumber = 1;
    keyBinding('K').AutoFireMode = AutoFireAutomatic;
    const FireState autoFire = engine->fireState(1, buttonEntry(2));

    pad().dwButtons = 0b111;
    pad().dwXpos = 0;
    fake.clock.set(100);
    engine->InputTick();
    EXPECT_EQ(takeEvents(), (Events{down(100, 0x25), down(100, 0x11), down(100, 'X')}));
    EXPECT_EQ(engine->fireState(1, buttonEntry(2)).phase, autoFire.phase);
    EXPECT_EQ(engine->fireState(1, buttonEntry(2)).countdown, autoFire.countdown);
    engine->InputTick();
    EXPECT_TRUE(takeEvents().empty());

    pad().dwButtons = 0;
    pad().dwXpos = 32767;
    fake.clock.set(110);
    engine->InputTick();
    EXPECT_EQ(takeEvents(), (Events{up(110, 0x25), up(110, 0x11), up(110, 'X')}));

    // Behind the target, it lets go like a tick does.
    pad().dwButtons = 1;
    engine->InputTick();
    takeEvents();
    otherInFront();
    fake.clock.set(120);
    engine->InputTick();
    EXPECT_EQ(takeEvents(), (Events{up(120, 0x11), up(120, 'X')}));
}

// Pads whose backend announces nothing (winmm) are read on a short cycle between ticks, but only while
// a press could go out: a pad is present and the last tick found the chosen target in front.
class PolledPads : public InputTick {
protected:
    void SetUp() override {
        InputTick::SetUp();
        fake.joysticks.pollEvery = 4;
        scheduler = std::make_unique<TickScheduler>(
            *engine, fake.platform,
            TickScheduler::Hooks{
                {}, {}, [this] { return now; }, {}, [this](uint32_t ms) { pollIntervals.push_back(ms); }, {}});
    }
    std::vector<uint32_t> pollIntervals; // every interval the poll timer was given; 0 stops it
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    std::unique_ptr<TickScheduler> scheduler;
};

TEST_F(PolledPads, ReadOnlyWhileTheChosenTargetIsInFront) {
    config->targets.TargetProcessId = 0; // no target chosen
    scheduler->timerFired();
    EXPECT_FALSE(scheduler->polling());
    EXPECT_TRUE(pollIntervals.empty());

    targetInFront();
    scheduler->timerFired();
    EXPECT_EQ(pollIntervals, std::vector<uint32_t>{4});
    scheduler->timerFired();
    otherInFront();
    scheduler->timerFired();
    EXPECT_EQ(pollIntervals, (std::vector<uint32_t>{4, 0}));

    // Pads that announce their changes are never polled.
    targetInFront();
    fake.joysticks.pollEvery = 0;
    scheduler->timerFired();
    EXPECT_FALSE(scheduler->polling());
}

TEST_F(PolledPads, APollThatSeesAPressAnswersItAtOnceAndAQuietOneRunsNothing) {
    bindKeys(1, buttonEntry(1), {'X'});
    scheduler->timerFired();
    ASSERT_TRUE(scheduler->polling());
    scheduler->pollDue();
    scheduler->pollDue();
    const int quiet = scheduler->inputTicks();

    pad().dwButtons = 1;
    fake.clock.set(5);
    scheduler->pollDue();
    EXPECT_EQ(scheduler->inputTicks(), quiet + 1);
    EXPECT_EQ(takeEvents(), (Events{down(5, 'X')})) << "pressed without waiting for the next tick";
    scheduler->pollDue();
    EXPECT_EQ(scheduler->inputTicks(), quiet + 1);
}
