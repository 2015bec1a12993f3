// While nothing can happen the ticks rest: when the engine calls itself idle, and how the pacer lets
// the timer rest and has an input answered by a tick at once, after which the ticks come as before.

#include "EngineTestSupport.h"
#include "TickPacer.h"

using namespace vornik;
using namespace vornik::test;
using Events = std::vector<KeyEventRecord>;

class IdleTicks : public EngineFixture {
protected:
    static constexpr uint32_t kInterval = 30;
    static constexpr uint32_t kRest = 1000;
    std::vector<uint32_t> intervals; // every interval the pacer set
    std::unique_ptr<TickPacer> pacer;

    void SetUp() override {
        EngineFixture::SetUp();
        fake.joysticks.plug(0);
        start();
        targetInFront();
        // Every input announces its changes, as on an X server with XInput 2 and pads with nodes.
        fake.joysticks.announced = true;
        fake.keyboard.descriptor = fake.joysticks.changeDescriptor();
        fake.windows.descriptor = fake.joysticks.changeDescriptor();
        pacer = std::make_unique<TickPacer>(
            *engine, fake.platform, kInterval, kRest, [this](uint32_t ms) { intervals.push_back(ms); },
            [this] { tick(); });
    }
    void tick() {
        engine->EngineTick();
        pacer->tickEnded();
    }
    bool idleAfterTick() {
        engine->EngineTick();
        return engine->idle();
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
    fake.keyboard.keyEvent('Q', kKeyEventExtendedKey);
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
    EXPECT_FALSE(pacer->wake()) << "not resting: nothing to do";
    EXPECT_EQ(pacer->wakeTicks(), 0);
    tick();
    EXPECT_TRUE(pacer->resting());
    EXPECT_EQ(intervals, (std::vector<uint32_t>{kRest}));
    tick(); // the resting ticks, once a second
    EXPECT_EQ(intervals.size(), 1u);

    // A key bound to a move goes down: the move plays at once and the ticks come every 30 ms again.
    makeMove(1, {{'M', 0}});
    keyBinding('K').MoveNumber = 1;
    bindKeys(1, buttonEntry(1), {0x11, 'X'});
    fake.clock.set(5000);
    fake.keyboard.hold('K');
    EXPECT_TRUE(pacer->wake());
    EXPECT_EQ(pacer->wakeTicks(), 1);
    EXPECT_EQ(takeEvents(), (Events{down(5000, 'M'), up(5010, 'M')}));
    EXPECT_FALSE(pacer->resting());
    EXPECT_EQ(intervals.back(), kInterval);
    tick(); // still held: the move plays on every tick, as always
    EXPECT_EQ(takeEvents().size(), 2u);
    fake.keyboard.letGo('K');
    tick();
    EXPECT_TRUE(pacer->resting());
    EXPECT_EQ(intervals, (std::vector<uint32_t>{kRest, kInterval, kRest}));

    // A button pressed: its chord goes down at once, and up on the tick that sees it let go.
    fake.clock.set(6000);
    pad().dwButtons = 1;
    EXPECT_TRUE(pacer->wake());
    EXPECT_EQ(takeEvents(), (Events{down(6000, 0x11), down(6000, 'X')}));
    EXPECT_FALSE(pacer->resting());
    pad().dwButtons = 0;
    tick();
    EXPECT_EQ(takeEvents(), (Events{up(6000, 0x11), up(6000, 'X')}));
    EXPECT_TRUE(pacer->resting());

    // An announcement that changes nothing: one tick, and the rest goes on.
    EXPECT_TRUE(pacer->wake());
    EXPECT_EQ(pacer->wakeTicks(), 3);
    EXPECT_TRUE(pacer->resting());
    EXPECT_TRUE(takeEvents().empty());

    // Events the backend read during a tick without showing them to it: one more tick first.
    fake.keyboard.changesWaiting = true;
    tick();
    EXPECT_FALSE(pacer->resting());
    tick();
    EXPECT_TRUE(pacer->resting());
    fake.windows.changesWaiting = true;
    tick();
    EXPECT_FALSE(pacer->resting());
    tick();
    EXPECT_TRUE(pacer->resting());

    // A wake while a tick shows a box (its event loop runs): no tick inside the tick, and no rest after.
    fake.joysticks.devices[0].readError = 167;
    host.onAsk = [this] {
        fake.joysticks.devices[0].readError = 0;
        EXPECT_TRUE(pacer->wake());
    };
    tick();
    EXPECT_EQ(pacer->wakeTicks(), 3);
    EXPECT_FALSE(pacer->resting());
}
