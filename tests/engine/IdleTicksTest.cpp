// While nothing can happen the ticks rest: when the engine calls itself idle, and how the scheduler
// lets the timer rest and has an input answered by a tick at once, after which the ticks come as
// before; and that a tick never runs inside another.

#include "EngineTestSupport.h"
#include "TickScheduler.h"

using namespace vornik;
using namespace vornik::test;
using Events = std::vector<KeyEventRecord>;

class IdleTicks : public EngineFixture {
protected:
    static constexpr uint32_t kInterval = 30;
    static constexpr uint32_t kRest = 1000;
    std::vector<uint32_t> intervals; // every interval the scheduler set
    std::unique_ptr<TickScheduler> scheduler;

    void SetUp() override {
        EngineFixture::SetUp();
        fake.joysticks.plug(0);
        start();
        targetInFront();
        // Every input announces its changes, as on an X server with XInput 2 and pads with nodes.
        fake.joysticks.announced = true;
        fake.keyboard.descriptor = fake.joysticks.changeDescriptor();
        fake.windows.descriptor = fake.joysticks.changeDescriptor();
        scheduler = std::make_unique<TickScheduler>(
            *engine, fake.platform,
            TickScheduler::Hooks{[this](uint32_t ms) { intervals.push_back(ms); }, {}, [this] { return now; }, {}, {},
                                 [this](std::optional<uint32_t> ms) { moveTimer = ms; }},
            kInterval, kRest);
    }
    // The scheduler's clock, for the spacing of joystick answers: far from the last tick's end.
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    void tick() { scheduler->timerFired(); }
    // What an announcement of a change does: a tick at once while resting. True when one ran.
    bool wake() {
        const int before = scheduler->wakeTicks();
        scheduler->userActed();
        return scheduler->wakeTicks() > before;
    }
    bool idleAfterTick() {
        tickAndPlay();
        return engine->idle();
    }
    // The move timer, as the scheduler last set it; playMoves() lets it fire until no move plays.
    std::optional<uint32_t> moveTimer;
    void playMoves() {
        while (const std::optional<uint32_t> ms = std::exchange(moveTimer, std::nullopt)) {
            fake.clock.advance(*ms);
            scheduler->moveDue();
        }
    }
    JoyReading& pad() { return fake.joysticks.devices[0].reading; }
};

TEST_F(IdleTicks, IdleOnlyWhenNoLaterTickCouldDoAnythingBeforeAnInputChanges) {
    EXPECT_TRUE(engine->inputChangesAnnounced());
    EXPECT_TRUE(idleAfterTick());

    // Joystick input away from rest, bound or not, even while another program is in front.
    pad().dwButtons = 1u << 11;
    EXPECT_FALSE(idleAfterTick()) << "button 12 held";
    otherInFront();
    EXPECT_FALSE(idleAfterTick()) << "button 12 held behind the target";
    targetInFront();
    pad().dwButtons = 1u << 12;
    EXPECT_TRUE(idleAfterTick()) << "button 13 of a 12-button pad is never looked at";
    pad().dwButtons = 0;
    pad().dwXpos = 0;
    EXPECT_FALSE(idleAfterTick()) << "stick left";
    pad().dwXpos = 32767;
    pad().dwPOV = 27000;
    EXPECT_FALSE(idleAfterTick()) << "D-pad left";
    pad().dwPOV = kPovCentred;
    EXPECT_TRUE(idleAfterTick());

    // Automatic auto-fire fires with the button up.
    bindKeys(1, buttonEntry(2), {'F'}, AutoFireAutomatic, 2);
    EXPECT_FALSE(idleAfterTick());
    bindKeys(1, buttonEntry(2), {'F'});
    engine->releaseHeldKeys();
    EXPECT_TRUE(idleAfterTick());

    // Keyboard bindings: automatic, held, and a while-held count still running down.
    makeMove(1, {{'M', 0}});
    keyBinding('K').MoveNumber = 1;
    keyBinding('K').AutoFireMode = AutoFireAutomatic;
    EXPECT_FALSE(idleAfterTick());
    keyBinding('K').AutoFireMode = AutoFireNone;
    EXPECT_TRUE(idleAfterTick());
    fake.keyboard.hold('K');
    EXPECT_FALSE(idleAfterTick()) << "a bound key held";
    fake.keyboard.letGo('K');
    EXPECT_TRUE(idleAfterTick());
    fake.keyboard.hold('A');
    EXPECT_TRUE(idleAfterTick()) << "an unbound key held";
    fake.keyboard.letGo('A');
    keyBinding('K').AutoFireMode = AutoFireWhileHeld;
    keyBinding('K').AutoFireDelay = 3;
    fake.keyboard.hold('K');
    EXPECT_FALSE(idleAfterTick());
    fake.keyboard.letGo('K');
    EXPECT_FALSE(idleAfterTick()) << "one tick of the count left";
    EXPECT_TRUE(idleAfterTick()) << "count run down";

    // The hot key, a key the program holds, a joystick that cannot be read, a hidden window.
    fake.keyboard.hold(0x11);
    EXPECT_TRUE(idleAfterTick()) << "CTRL alone";
    fake.keyboard.hold('J');
    EXPECT_FALSE(idleAfterTick()) << "CTRL+J";
    fake.keyboard.letGo('J');
    fake.keyboard.letGo(0x11);
    engine->held().pressKey('Q');
    EXPECT_FALSE(idleAfterTick());
    engine->releaseHeldKeys();
    EXPECT_TRUE(idleAfterTick());
    fake.joysticks.devices[0].readError = 167;
    EXPECT_FALSE(idleAfterTick());
    EXPECT_GE(host.errorBoxes, 1);
    fake.joysticks.devices[0].readError = 0;
    EXPECT_TRUE(idleAfterTick());
    host.visible = false;
    EXPECT_FALSE(idleAfterTick());

    // Without announcements from every input, idle or not, the ticks have to keep looking.
    fake.joysticks.announced = false;
    EXPECT_FALSE(engine->inputChangesAnnounced());
    fake.joysticks.announced = true;
    fake.keyboard.descriptor = -1;
    EXPECT_FALSE(engine->inputChangesAnnounced());
    fake.keyboard.descriptor = fake.joysticks.changeDescriptor();
    fake.windows.descriptor = -1;
    EXPECT_FALSE(engine->inputChangesAnnounced());
}

TEST_F(IdleTicks, RestWhileIdleAndAnInputIsAnsweredByATickAtOnceThenTicksAsBefore) {
    EXPECT_FALSE(wake()) << "not resting: nothing to do";
    EXPECT_EQ(scheduler->wakeTicks(), 0);
    tick();
    EXPECT_TRUE(scheduler->resting());
    EXPECT_EQ(intervals, (std::vector<uint32_t>{kRest}));
    tick(); // the resting ticks, once a second
    EXPECT_EQ(intervals.size(), 1u);

    // A key bound to a move goes down: the move plays at once and the ticks come every 30 ms again.
    makeMove(1, {{'M', 0}});
    keyBinding('K').MoveNumber = 1;
    bindKeys(1, buttonEntry(1), {0x11, 'X'});
    fake.clock.set(5000);
    fake.keyboard.hold('K');
    EXPECT_TRUE(wake());
    EXPECT_EQ(scheduler->wakeTicks(), 1);
    EXPECT_EQ(takeEvents(), (Events{down(5000, 'M')}));
    playMoves(); // its later events when they are due, on the move timer
    EXPECT_EQ(takeEvents(), (Events{up(5010, 'M')}));
    EXPECT_FALSE(scheduler->resting());
    EXPECT_EQ(intervals.back(), kInterval);
    tick(); // still held: the move plays again on the next tick, as always
    playMoves();
    EXPECT_EQ(takeEvents().size(), 2u);
    fake.keyboard.letGo('K');
    tick();
    EXPECT_TRUE(scheduler->resting());
    EXPECT_EQ(intervals, (std::vector<uint32_t>{kRest, kInterval, kRest}));

    // A button pressed: its chord goes down at once, and up on the tick that sees it let go.
    fake.clock.set(6000);
    pad().dwButtons = 1;
    EXPECT_TRUE(wake());
    EXPECT_EQ(takeEvents(), (Events{down(6000, 0x11), down(6000, 'X')}));
    EXPECT_FALSE(scheduler->resting());
    pad().dwButtons = 0;
    tick();
    EXPECT_EQ(takeEvents(), (Events{up(6000, 0x11), up(6000, 'X')}));
    EXPECT_TRUE(scheduler->resting());

    // An announcement that changes nothing: one tick, and the rest goes on.
    EXPECT_TRUE(wake());
    EXPECT_EQ(scheduler->wakeTicks(), 3);
    EXPECT_TRUE(scheduler->resting());
    EXPECT_TRUE(takeEvents().empty());

    // Events the backend read during a tick without showing them to it: one more tick first.
    fake.keyboard.changesWaiting = true;
    tick();
    EXPECT_FALSE(scheduler->resting());
    tick();
    EXPECT_TRUE(scheduler->resting());
    fake.windows.changesWaiting = true;
    tick();
    EXPECT_FALSE(scheduler->resting());
    tick();
    EXPECT_TRUE(scheduler->resting());

    // A wake while a tick shows a box (its event loop runs): no tick inside the tick, one right after.
    fake.joysticks.devices[0].readError = 167;
    int depthWhileAsked = 0;
    host.onAsk = [&] {
        fake.joysticks.devices[0].readError = 0;
        scheduler->userActed();
        depthWhileAsked = scheduler->ticking();
        EXPECT_EQ(scheduler->wakeTicks(), 3) << "no tick inside the tick";
    };
    tick();
    EXPECT_EQ(depthWhileAsked, 1);
    EXPECT_EQ(scheduler->wakeTicks(), 4) << "the tick asked for ran after it";
    EXPECT_EQ(host.errorBoxes, 1);
}

// Pad 1 cannot be read (its box is up, and the box's event loop runs) while pad 2 moves: every
// announcement of pad 2 and every firing of the timer waits for the box, so there is one box at a
// time, never a stack of them, and pad 2's press goes out once the box is answered.
TEST_F(IdleTicks, AFailingPadWithAnotherMovingShowsOneBoxAtATime) {
    fake.joysticks.plug(1);
    engine->detectJoysticks();
    bindKeys(2, buttonEntry(1), {'B'});
    fake.joysticks.devices[0].readError = 167;
    int open = 0, mostOpen = 0, asked = 0;
    host.onAsk = [&] {
        ++open;
        mostOpen = std::max(mostOpen, open);
        if (++asked == 1) {
            for (uint32_t buttons : {1u, 0u, 1u}) {
                fake.joysticks.devices[1].reading.dwButtons = buttons;
                scheduler->joysticksAnnounced();
                scheduler->timerFired();
            }
            EXPECT_TRUE(takeEvents().empty()) << "nothing ran inside the box";
            fake.joysticks.devices[0].readError = 0;
        }
        --open;
    };
    tick();
    EXPECT_EQ(mostOpen, 1);
    EXPECT_EQ(asked, 1) << "the pad reads again once the box is answered";
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'B')}));
}
