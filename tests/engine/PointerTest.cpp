// A stick that moves the pointer or turns the wheel, and bindings that click: the speed is the one set,
// in every direction and whatever the step length; nothing moves inside the dead zone; a button the
// program holds is let go with the keys.
#include "EngineTestSupport.h"

#include <cmath>

using namespace vornik;
using namespace vornik::test;

class Pointer : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        fake.joysticks.plug(0);
        start();
        targetInFront();
        config->pad(1).leftStick = StickMode::Pointer;
        config->pad(1).pointerSpeed = 1200;
        config->pad(1).pointerCurve = 2.0;
        config->pad(1).leftDeadZone = 10;
    }
    JoyReading& pad() { return fake.joysticks.devices[0].reading; }
    // The stick at (x, y), each -1..1, held for `ms` of fake time in steps of `step` ms; the distance
    // the pointer moved.
    std::pair<double, double> push(double x, double y, uint32_t ms, uint32_t step = 8) {
        pad().dwXpos = static_cast<uint32_t>(std::lround(32767.5 + x * 32767.5));
        pad().dwYpos = static_cast<uint32_t>(std::lround(32767.5 + y * 32767.5));
        fake.output.pointerEvents.clear();
        engine->EngineTick();
        for (uint32_t t = 0; t < ms; t += step) {
            fake.clock.advance(step);
            engine->MotionTick();
        }
        double dx = 0, dy = 0;
        for (const PointerEventRecord& e : fake.output.pointerEvents) {
            if (e.kind == PointerEventRecord::Motion) {
                dx += e.a;
                dy += e.b;
            }
        }
        pad().dwXpos = pad().dwYpos = 32767;
        engine->EngineTick();
        return {dx, dy};
    }
    int wheelNotches(bool horizontal) const {
        int notches = 0;
        for (const PointerEventRecord& e : fake.output.pointerEvents) {
            if (e.kind == PointerEventRecord::Wheel && e.b == (horizontal ? 1 : 0))
                notches += e.a;
        }
        return notches;
    }
};

TEST_F(Pointer, TheStickMovesThePointerAtItsSetSpeedInEveryDirection) {
    const auto [right, none] = push(1, 0, 1000);
    EXPECT_NEAR(right, 1200, 24) << "full deflection, one second";
    EXPECT_EQ(none, 0);
    EXPECT_FALSE(engine->motionWanted()) << "the stick back in the middle stops the motion";

    const auto [dx, dy] = push(1, 1, 1000, 5);
    EXPECT_NEAR(std::hypot(dx, dy), 1200, 24) << "a diagonal goes as far as a straight push";
    EXPECT_NEAR(dx, dy, 2);
    EXPECT_GT(dy, 0) << "stick down moves the pointer down";

    const auto [inside, insideY] = push(0.09, 0, 1000);
    EXPECT_EQ(inside, 0) << "inside the dead zone";
    EXPECT_FALSE(engine->motionWanted());

    // Just past the dead zone: r = 0.1, 1200 * 0.01 = 12 pixels a second, in steps of a tenth of a pixel.
    const auto [slow, slowY] = push(-(0.1 + 0.9 * 0.1), 0, 10000, 8);
    EXPECT_NEAR(slow, -120, 3) << "a slow push creeps on";

    // Pushed, the stick presses no direction binding of its own; the D-pad still does.
    bindKeys(1, kEntryLeft, {0x25});
    push(-1, 0, 100);
    EXPECT_TRUE(takeEvents().empty());
    pad().dwPOV = 27000;
    engine->EngineTick();
    EXPECT_TRUE(fake.keyboard.isDown(0x25));
}

TEST_F(Pointer, TheWheelTurnsAtItsSpeedFromTheStickOrAHeldBinding) {
    config->pad(1).leftStick = StickMode::Wheel;
    config->pad(1).wheelSpeed = 20;
    push(0, 1, 1000);
    EXPECT_NEAR(wheelNotches(false), -20, 1) << "stick down scrolls down, 20 notches in a second";

    config->pad(1).leftStick = StickMode::Keys;
    entry(1, buttonEntry(1)) = JoystickBinding{BindingPointer, WheelUp, 0, 0, 0};
    fake.output.pointerEvents.clear();
    pad().dwButtons = 1;
    engine->EngineTick();
    EXPECT_EQ(wheelNotches(false), 1) << "one notch as the button goes down";
    for (int i = 0; i < 125; ++i) {
        fake.clock.advance(8);
        engine->MotionTick();
    }
    EXPECT_NEAR(wheelNotches(false), 1 + 20, 1) << "then the wheel speed while held";
    pad().dwButtons = 0;
    engine->EngineTick();
    engine->MotionTick();
    EXPECT_FALSE(engine->motionWanted());

    // Held while its binding is edited into another: the edit lets go of it, and nothing turns on.
    pad().dwButtons = 1;
    engine->EngineTick();
    entry(1, buttonEntry(1)) = JoystickBinding{BindingKeys, 'K', 0, 0, 1};
    engine->releaseHeldKeys();
    engine->EngineTick();
    EXPECT_FALSE(engine->motionWanted()) << "no motion steps for a wheel that is no longer bound";
}

TEST_F(Pointer, AClickingButtonIsHeldWhileItsInputIsAndLetGoWithTheKeys) {
    entry(1, buttonEntry(1)) = JoystickBinding{BindingPointer, PointerLeft, 0, 0, 0};
    entry(1, buttonEntry(2)) = JoystickBinding{BindingPointer, PointerRight, 0, 0, 0, AutoFireAutomatic, 1};
    pad().dwButtons = 1;
    engine->EngineTick();
    engine->EngineTick();
    EXPECT_TRUE(fake.output.buttonDown(PointerButton::Left)) << "held, for a drag";
    pad().dwButtons = 0;
    engine->InputTick();
    EXPECT_FALSE(fake.output.buttonDown(PointerButton::Left));

    // Auto-fire clicks.
    fake.output.pointerEvents.clear();
    for (int i = 0; i < 8; ++i)
        engine->EngineTick();
    int clicks = 0;
    for (const PointerEventRecord& e : fake.output.pointerEvents)
        clicks += e.kind == PointerEventRecord::Button && e.a == int(PointerButton::Right) && e.b == 1;
    EXPECT_GE(clicks, 2);

    // Held when the target goes behind, and on the way out.
    entry(1, buttonEntry(2)) = JoystickBinding{};
    pad().dwButtons = 1;
    engine->EngineTick();
    ASSERT_TRUE(fake.output.buttonDown(PointerButton::Left));
    otherInFront();
    engine->EngineTick();
    EXPECT_FALSE(fake.output.buttonDown(PointerButton::Left));
    targetInFront();
    engine->EngineTick();
    ASSERT_TRUE(fake.output.buttonDown(PointerButton::Left));
    engine.reset(); // every way out ends with the engine's record
    EXPECT_FALSE(fake.output.buttonDown(PointerButton::Left));
}
