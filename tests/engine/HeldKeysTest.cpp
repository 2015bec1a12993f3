// The program owns the keys it presses: whenever nothing should hold them any more they are let go,
// and a binding whose input is still held presses again on the next tick.

#include "EngineTestSupport.h"

using namespace vornik;
using namespace vornik::test;
using Events = std::vector<KeyEventRecord>;

class HeldKeys : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        fake.joysticks.plug(0);
        fake.joysticks.plug(1);
        start();
        targetInFront();
    }
    void press(uint32_t id, int button) { fake.joysticks.devices[id].reading.dwButtons |= 1u << (button - 1); }
};

TEST_F(HeldKeys, TheTargetGoingBehindLetsGoOfEveryKeyAndTheyComeBackWithIt) {
    bindKeys(1, buttonEntry(1), {0x11, 'X'});
    bindKeys(1, buttonEntry(2), {'F'}, AutoFireAutomatic, 2);
    bindKeys(2, kEntryLeft, {0x25});
    press(0, 1);
    press(0, 2);
    fake.joysticks.devices[1].reading.dwXpos = 0;
    fake.keyboard.hold('U'); // the user's own key: never ours to release
    fake.clock.set(100);
    engine->EngineTick();
    EXPECT_EQ(takeEvents(), (Events{down(100, 0x11), down(100, 'X'), down(100, 'F'), down(100, 0x25)}));
    const JoystickBinding autoFire = entry(1, buttonEntry(2));

    otherInFront();
    fake.clock.set(130);
    engine->EngineTick();
    EXPECT_EQ(takeEvents(), (Events{up(130, 0x11), up(130, 0x25), up(130, 'F'), up(130, 'X')}));
    EXPECT_TRUE(fake.keyboard.isDown('U'));
    fake.clock.set(160);
    engine->EngineTick();
    EXPECT_TRUE(takeEvents().empty());
    // Auto-fire keeps counting where it stood.
    EXPECT_EQ(entry(1, buttonEntry(2)).FirePhase, autoFire.FirePhase);
    EXPECT_EQ(entry(1, buttonEntry(2)).FireCountdown, autoFire.FireCountdown);

    targetInFront();
    fake.clock.set(190);
    engine->EngineTick();
    EXPECT_EQ(takeEvents(), (Events{down(190, 0x11), down(190, 'X'), down(190, 0x25)}));
}

TEST_F(HeldKeys, AFailingReadLetsGoBeforeTheBoxComesUp) {
    bindKeys(2, buttonEntry(1), {'B'});
    press(1, 1);
    engine->EngineTick();
    ASSERT_TRUE(fake.keyboard.isDown('B'));

    fake.joysticks.devices[0].readError = 167;
    bool downWhileAsked = true;
    host.onAsk = [&] { downWhileAsked = fake.keyboard.isDown('B'); };
    host.answers = {EngineHost::Answer::Ok};
    engine->EngineTick();
    EXPECT_EQ(host.errorBoxes, 1);
    EXPECT_FALSE(downWhileAsked);
    EXPECT_TRUE(fake.keyboard.isDown('B')); // joystick 2 still holds its button
}

TEST_F(HeldKeys, AStopRequestCutsAPlayingMoveShortAndTheTickDoesNothingMore) {
    // 100 steps 100 ms apart, 300 times over: about fifty minutes of playing.
    Move& longMove = makeMove(1, {{'A', 0}}, 100, 300);
    longMove.StepCount = 100;
    for (int i = 1; i <= 100; ++i)
        longMove.Steps[i] = {static_cast<uint16_t>('A' + i % 26), 0};
    keyBinding('K').MoveNumber = 1;
    fake.keyboard.hold('K');
    bindKeys(2, buttonEntry(1), {'B'});
    press(1, 1);
    fake.clock.onSleep = [&](uint32_t now) {
        if (now >= 1000)
            engine->requestStop();
    };
    engine->EngineTick();
    const Events played = takeEvents();
    ASSERT_FALSE(played.empty());
    EXPECT_LE(played.back().time, 1000u); // nothing after the stop
    EXPECT_LT(played.size(), 30u);

    engine->releaseHeldKeys(); // what the exit path does next
    for (int vk = 1; vk < 256; ++vk) {
        if (vk != 'K') {
            EXPECT_FALSE(fake.keyboard.isDown(vk)) << vk;
        }
    }
    takeEvents();
    engine->EngineTick();
    EXPECT_TRUE(takeEvents().empty());
}
