// The program owns the keys it presses: whenever nothing should hold them any more they are let go,
// and a binding whose input is still held presses again on the next tick.

#include "EngineTestSupport.h"
#include "OutputChoice.h"

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
    const FireState autoFire = engine->fireState(1, buttonEntry(2));

    otherInFront();
    fake.clock.set(130);
    engine->EngineTick();
    EXPECT_EQ(takeEvents(), (Events{up(130, 0x11), up(130, 0x25), up(130, 'F'), up(130, 'X')}));
    EXPECT_TRUE(fake.keyboard.isDown('U'));
    fake.clock.set(160);
    engine->EngineTick();
    EXPECT_TRUE(takeEvents().empty());
    // Auto-fire keeps counting where it stood.
    EXPECT_EQ(engine->fireState(1, buttonEntry(2)).phase, autoFire.phase);
    EXPECT_EQ(engine->fireState(1, buttonEntry(2)).countdown, autoFire.countdown);

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
    tickAndPlay();
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

// Another program comes to the front while a long move plays (the user's Alt+Tab): the move stops
// before its next step and lets go of everything the program holds.
TEST_F(HeldKeys, AMoveStopsWithinOneStepWhenItsTargetLeaves) {
    Move& longMove = makeMove(1, {{'A', 0}}, 100, 3);
    longMove.StepCount = 100;
    for (int i = 1; i <= 100; ++i)
        longMove.Steps[i] = {static_cast<uint16_t>('A' + i % 26), 0x10};
    entry(1, buttonEntry(1)) = JoystickBinding{BindingMove, 1, 0, 0, 1};
    bindKeys(1, buttonEntry(2), {0x11});
    bindKeys(2, buttonEntry(1), {'Z'});
    press(0, 1);
    press(0, 2);
    press(1, 1);
    uint32_t leftAt = 0;
    fake.clock.onSleep = [&](uint32_t now) {
        if (now >= 1500 && leftAt == 0) {
            otherInFront();
            leftAt = now;
        }
    };
    tickAndPlay();
    ASSERT_NE(leftAt, 0u);
    const Events events = takeEvents();
    for (const KeyEventRecord& e : events) {
        if (e.flags == 1u) {
            EXPECT_LT(e.time, leftAt) << "key " << int(e.vk) << " pressed after the target left";
        }
    }
    EXPECT_LE(fake.clock.tickCount(), leftAt + 110) << "the move ran on past its step";
    EXPECT_FALSE(engine->held().holdsAnything());
    EXPECT_FALSE(fake.keyboard.isDown('Z') || fake.keyboard.isDown(0x11) || fake.keyboard.isDown(0x10));
    EXPECT_FALSE(engine->held().holdsAnything());
    for (int vk = 1; vk < 256; ++vk)
        EXPECT_FALSE(fake.keyboard.isDown(vk)) << vk;
}

// The focus moves on between two presses of one tick: the press of the next pad's chord, and the
// pointer button, never reach the window now in front.
TEST_F(HeldKeys, ThePressesOfATickStopWhereTheFocusMovesAway) {
    bindKeys(1, buttonEntry(1), {'X'});
    bindKeys(2, buttonEntry(1), {'Z'});
    entry(2, buttonEntry(2)) = JoystickBinding{BindingPointer, PointerLeft, 0, 0, 1};
    press(0, 1);
    press(1, 1);
    press(1, 2);
    fake.output.afterKeyDown = [&](uint8_t vk) {
        if (vk == 'X')
            otherInFront();
    };
    fake.clock.set(100);
    engine->EngineTick();
    EXPECT_EQ(takeEvents(), (Events{down(100, 'X')}));
    EXPECT_TRUE(fake.output.pointerEvents.empty());

    fake.output.afterKeyDown = nullptr;
    fake.clock.set(130);
    engine->EngineTick(); // the next tick lets go of what went out before the focus moved
    EXPECT_EQ(takeEvents(), (Events{up(130, 'X')}));
}

// Pointer buttons are held and let go through the same record as keys.
TEST_F(HeldKeys, PointerButtonsAreLetGoWithTheKeys) {
    engine->held().pressButton(PointerButton::Left);
    engine->held().pressButton(PointerButton::Left); // already held: nothing more goes out
    engine->held().pressKey('K');
    ASSERT_TRUE(fake.output.buttonDown(PointerButton::Left));
    otherInFront();
    engine->EngineTick();
    EXPECT_FALSE(fake.output.buttonDown(PointerButton::Left));
    EXPECT_FALSE(fake.keyboard.isDown('K'));
    EXPECT_EQ(fake.output.pointerEvents,
              (std::vector<PointerEventRecord>{{PointerEventRecord::Button, 0, 1}, {PointerEventRecord::Button, 0, 0}}));

    // An output that cannot point presses nothing, so there is nothing to release either.
    fake.output.pointer = false;
    engine->held().pressButton(PointerButton::Right);
    EXPECT_FALSE(engine->held().holdsAnything());
}

// A backend offers its outputs by name; the one chosen at run time is where events go, and an unknown
// name changes nothing.
TEST(OutputChoiceTest, EventsGoToTheOutputChosenAtRunTime) {
    FakeClock clock;
    FakeKeyboard first, second;
    FakeOutput one(first, clock), two(second, clock);
    OutputChoice choice;
    choice.offer("one", one);
    choice.offer("two", two);
    EXPECT_EQ(choice.names(), (std::vector<std::string>{"one", "two"}));
    HeldOutput held(choice);
    held.pressKey('A');
    held.releaseAll(); // let go before switching
    EXPECT_TRUE(choice.choose("two"));
    EXPECT_FALSE(choice.choose("three"));
    EXPECT_EQ(choice.chosenName(), "two");
    held.pressKey('B');
    EXPECT_EQ(first.events.size(), 2u);
    ASSERT_EQ(second.events.size(), 1u);
    EXPECT_EQ(second.events[0].vk, 'B');
}

TEST_F(HeldKeys, APadPulledOutDuringItsMoveStopsTheMoveAndLetsGoBeforeTheBox) {
    // Ten keys 50 ms apart, overlapped (each still down when the next goes down), ten times over.
    Move& move = makeMove(1, {{'A', 0}}, 50, 10, true);
    move.StepCount = 10;
    for (int i = 1; i <= 10; ++i)
        move.Steps[i] = {static_cast<uint16_t>('A' + i - 1), 0};
    JoystickBinding& b = entry(1, buttonEntry(1));
    b.BindingKind = BindingMove;
    b.Key1 = 1;
    bindKeys(2, buttonEntry(1), {'Z'});
    press(0, 1);
    press(1, 1);
    const uint32_t start = fake.clock.tickCount();
    fake.clock.onSleep = [&](uint32_t now) {
        if (now >= start + 400)
            fake.joysticks.devices[0].readError = 167;
    };
    tickAndPlay();
    const Events played = takeEvents();
    ASSERT_GT(played.size(), 8u);
    EXPECT_LE(played.back().time, start + 500); // not the five seconds the move would take
    for (int vk = 'A'; vk <= 'J'; ++vk)
        EXPECT_FALSE(fake.keyboard.isDown(static_cast<uint8_t>(vk))) << static_cast<char>(vk);
    EXPECT_EQ(host.errorBoxes, 0); // the move's step asks nothing: the next tick does
    EXPECT_TRUE(fake.keyboard.isDown('Z')); // joystick 2's button is still held

    // The next tick reads the pad, finds it gone and asks, with nothing of the move down.
    bool downWhileAsked = false;
    host.onAsk = [&] {
        for (int vk = 'A'; vk <= 'J'; ++vk)
            downWhileAsked |= fake.keyboard.isDown(static_cast<uint8_t>(vk));
    };
    host.answers = {EngineHost::Answer::Ok};
    fake.clock.onSleep = nullptr;
    engine->EngineTick();
    EXPECT_EQ(host.errorBoxes, 1);
    EXPECT_FALSE(downWhileAsked);
    EXPECT_TRUE(fake.keyboard.isDown('Z')); // the other pad goes on
}

// Bindings and moves that share a key: each holds it for itself, it goes down once and up only when
// the last of them lets go, so a held input gives one press and never a stream of them.
TEST_F(HeldKeys, ASharedKeyGoesDownOnceAndUpWithItsLastHolder) {
    const int kUp = 0x26, kShift = 0x10;
    struct Tick {
        uint32_t buttons; // pad 1's buttons, bit b-1 for button b
        bool stickUp;
        Events expected;
    };
    struct Case {
        const char* name;
        std::function<void()> bind;
        std::vector<Tick> ticks;
    };
    const std::vector<Case> cases = {
        {"the stick's up and button 1 on Up",
         [&] {
             bindKeys(1, kEntryUp, {kUp});
             bindKeys(1, buttonEntry(1), {kUp});
         },
         {{1, false, {down(0, kUp)}},
          {1, false, {}},
          {1, true, {}},
          {0, true, {}},
          {0, false, {up(120, kUp)}}}},
        {"Shift+A beside A",
         [&] {
             bindKeys(1, buttonEntry(2), {kShift, 'A'});
             bindKeys(1, buttonEntry(3), {'A'});
         },
         {{0b010, false, {down(0, kShift), down(0, 'A')}},
          {0b010, false, {}},
          {0b110, false, {}},
          {0b100, false, {up(90, kShift)}},
          {0b000, false, {up(120, 'A')}}}},
        {"a move tapping a key a binding holds",
         [&] {
             bindKeys(1, buttonEntry(1), {'A'});
             makeMove(7, {{'A', 0}, {'B', 0}}, 5);
             entry(1, buttonEntry(2)) = JoystickBinding{BindingMove, 7, 0, 0, 1};
         },
         // The move's own key-down goes out (as a repeat), its key-up does not: the binding holds A.
         {{0b01, false, {down(0, 'A')}},
          {0b11, false, {down(30, 'A'), down(50, 'B')}},
          {0b01, false, {up(65, 'B')}},
          {0b00, false, {up(90, 'A')}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine->releaseHeldKeys();
        *config = Configuration{};
        buildNamedKeyList(config->namedKeys);
        fake.joysticks.plug(0);
        engine->detectJoysticks();
        targetInFront();
        c.bind();
        takeEvents();
        uint32_t now = 0;
        for (const Tick& tick : c.ticks) {
            fake.clock.set(now);
            fake.joysticks.devices[0].reading.dwButtons = tick.buttons;
            fake.joysticks.devices[0].reading.dwYpos = tick.stickUp ? 0 : 32767;
            engine->EngineTick();
            runMoves(now + 29);
            EXPECT_EQ(takeEvents(), tick.expected) << "tick at " << now;
            now += 30;
        }
        EXPECT_FALSE(engine->held().holdsAnything());
    }
}

// A press the output refused is not recorded: nothing to release, and the ticks may rest.
TEST_F(HeldKeys, ARefusedPointerButtonIsNotHeld) {
    entry(1, buttonEntry(1)) = JoystickBinding{BindingPointer, PointerLeft, 0, 0, 0};
    press(0, 1);
    fake.output.refuseButtons = true;
    engine->EngineTick();
    EXPECT_FALSE(engine->held().holdsAnything());
    fake.output.refuseButtons = false;
    engine->EngineTick();
    EXPECT_TRUE(engine->held().holdsButton(PointerButton::Left));
}
