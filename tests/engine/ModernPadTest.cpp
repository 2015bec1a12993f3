// The modern pad: the right stick's four entries read as the left stick's are, the triggers act as
// buttons past their threshold with a hysteresis, the dead zones change where a direction starts,
// and a pad without these inputs does nothing with their entries.
#include "EngineTestSupport.h"

#include <cmath>

using namespace vornik;
using namespace vornik::test;
using Events = std::vector<KeyEventRecord>;

TEST(AxisZone, TheDefaultDeadZoneIsTheThirdsAndOthersMoveTheEdges) {
    for (int32_t pos = -100; pos <= 65700; pos += 7)
        ASSERT_EQ(Engine::AxisZone(0, 65535, pos, kThirdsDeadZone), Engine::AxisZone(0, 65535, pos)) << pos;
    const struct {
        int deadZone;
        int32_t pos;
        int zone;
    } cases[] = {
        {0, 32767, 2},  {0, 32768, 2},  {0, 32700, 1},  {0, 32900, 3}, // 0: anything off the middle
        {10, 29400, 1}, {10, 29600, 2}, {10, 35900, 2}, {10, 36100, 3},
        {90, 3000, 1},  {90, 4000, 2},  {90, 61000, 2}, {90, 64000, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Engine::AxisZone(0, 65535, c.pos, c.deadZone), c.zone) << c.deadZone << "% at " << c.pos;
}

class ModernPad : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        FakeJoystick& pad = fake.joysticks.plug(0, 15);
        pad.caps.family = PadFamily::Xbox;
        pad.caps.inputs = PadHasRightStick | PadHasLeftTrigger | PadHasRightTrigger;
        start();
        targetInFront();
        bindKeys(1, kEntryRightUp, {'I'});
        bindKeys(1, kEntryRightDown, {'K'});
        bindKeys(1, kEntryRightLeft, {'J'});
        bindKeys(1, kEntryRightRight, {'L'});
        bindKeys(1, kEntryLeftTrigger, {'Q'});
        bindKeys(1, kEntryRightTrigger, {'E'}, AutoFireWhileHeld, 1);
    }
    JoyReading& pad() { return fake.joysticks.devices[0].reading; }
    void right(uint32_t x, uint32_t y) {
        pad().rightX = x;
        pad().rightY = y;
        engine->EngineTick();
    }
    // The left trigger at `percent` of its travel.
    void leftTrigger(double percent) {
        pad().leftTrigger = static_cast<uint32_t>(std::lround(65535 * percent / 100));
        engine->EngineTick();
    }
};

TEST_F(ModernPad, TheRightStickPressesItsEntriesInThirdsWithTheDiagonalsPressingTwo) {
    right(0, 32767);
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'J')}));
    right(32767, 32767);
    EXPECT_EQ(takeEvents(), (Events{up(1000, 'J')}));
    right(65535, 0); // up-right
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'L'), down(1000, 'I')}));
    right(32767, 65535); // x centred; y jumps to down and, as on the left stick, holds up until centred
    EXPECT_EQ(takeEvents(), (Events{up(1000, 'L'), down(1000, 'K')}));
    right(32767, 32767);
    EXPECT_EQ(takeEvents(), (Events{up(1000, 'I'), up(1000, 'K')}));
    EXPECT_TRUE(engine->idle());

    // Its own dead zone, apart from the left stick's.
    config->pad(1).rightDeadZone = 10;
    right(26214, 32767); // 20 % of the half-range to the left
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'J')}));
    bindKeys(1, kEntryLeft, {'A'});
    pad().dwXpos = 26214;
    engine->EngineTick();
    EXPECT_TRUE(takeEvents().empty()) << "the left stick keeps its thirds";

    // Driving the pointer, it presses no direction.
    right(32767, 32767);
    takeEvents();
    config->pad(1).rightStick = StickMode::Pointer;
    fake.output.pointerEvents.clear();
    right(65535, 32767);
    for (int i = 0; i < 20; ++i) {
        fake.clock.advance(5);
        engine->MotionTick();
    }
    EXPECT_TRUE(takeEvents().empty());
    int dx = 0;
    for (const PointerEventRecord& e : fake.output.pointerEvents)
        dx += e.kind == PointerEventRecord::Motion ? e.a : 0;
    EXPECT_GT(dx, 0) << "it moves the pointer right";
}

TEST_F(ModernPad, ATriggerPressesPastItsThresholdAndHoldsUntilFiveBelowIt) {
    leftTrigger(30);
    EXPECT_TRUE(takeEvents().empty());
    leftTrigger(36);
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'Q')}));
    leftTrigger(31); // within the hysteresis: still held, whatever it trembles
    leftTrigger(34);
    leftTrigger(31);
    EXPECT_TRUE(takeEvents().empty());
    leftTrigger(29.5);
    EXPECT_EQ(takeEvents(), (Events{up(1000, 'Q')}));
    leftTrigger(33); // above the release point, below the threshold: stays up
    EXPECT_TRUE(takeEvents().empty());

    config->pad(1).triggerThreshold = 80;
    leftTrigger(70);
    EXPECT_TRUE(takeEvents().empty());
    leftTrigger(100);
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'Q')}));
    EXPECT_FALSE(engine->idle()) << "a held trigger is away from rest";
    leftTrigger(0);
    takeEvents();

    // The lowest threshold lets go at half of it, which a trigger resting just above zero reaches.
    config->pad(1).triggerThreshold = 5;
    leftTrigger(6);
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'Q')}));
    leftTrigger(3);
    EXPECT_TRUE(takeEvents().empty());
    leftTrigger(1);
    EXPECT_EQ(takeEvents(), (Events{up(1000, 'Q')}));

    // The right trigger auto-fires like a button.
    pad().rightTrigger = 65535;
    int presses = 0;
    for (int i = 0; i < 6; ++i) {
        fake.clock.advance(1);
        engine->EngineTick();
        for (const KeyEventRecord& e : takeEvents())
            presses += e.vk == 'E' && (e.flags & kKeyEventKeyUp) == 0 ? 1 : 0;
    }
    EXPECT_GE(presses, 2);
}

TEST_F(ModernPad, APadWithoutTheInputsKeepsTheirBindingsButDoesNothingWithThem) {
    fake.joysticks.devices[0].caps.inputs = 0;
    engine->detectJoysticks();
    pad().rightX = 0;
    pad().leftTrigger = 65535;
    engine->EngineTick();
    EXPECT_TRUE(takeEvents().empty());
    EXPECT_TRUE(engine->idle());
    EXPECT_EQ(entry(1, kEntryRightLeft).Key1, 'J');

    // The live view shows the right stick and the triggers only where the pad has them.
    host.testBox[1] = true;
    engine->EngineTick();
    EXPECT_TRUE(host.directionPictures.size() == 1);
    fake.joysticks.devices[0].caps.inputs = PadHasRightStick | PadHasLeftTrigger;
    engine->detectJoysticks();
    engine->EngineTick();
    EXPECT_EQ(host.rightStickPictures, (std::vector<std::pair<int, int>>{{1, 3}}));
    EXPECT_EQ(host.triggerPictures, (std::vector<std::tuple<int, int, bool>>{{1, 1, true}}));
}

TEST_F(ModernPad, AMappedDPadAndTheLeftStickAreReadAsBefore) {
    bindKeys(1, kEntryUp, {'W'});
    pad().dwPOV = 0;
    engine->EngineTick();
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'W')}));
    pad().dwPOV = kPovCentred;
    pad().dwYpos = 65535 / 3 - 1;
    engine->EngineTick();
    EXPECT_TRUE(takeEvents().empty()) << "still up: the left stick's thirds";
    pad().dwYpos = 32767;
    engine->EngineTick();
    EXPECT_EQ(takeEvents(), (Events{up(1000, 'W')}));
}
