#include "EngineTestSupport.h"

using namespace vornik;
using namespace vornik::test;
using Events = std::vector<KeyEventRecord>;

namespace {

struct AutoFireCase {
    int mode;
    int delay;
    const char* held;   // per tick: 'H' button held, '.' up
    bool oddClock;      // parity of the tick count seen by mode 2
    const char* expect; // per tick, the key after the tick: 'D' down, 'U' up
};

std::ostream& operator<<(std::ostream& os, const AutoFireCase& c) {
    return os << "mode " << c.mode << " delay " << c.delay << " held " << c.held << (c.oddClock ? " odd" : " even");
}

class AutoFireTicks : public EngineFixture, public ::testing::WithParamInterface<AutoFireCase> {};

} // namespace

// Twelve ticks of one button bound to K, from the cleared state, through the whole tick.
TEST_P(AutoFireTicks, KeyStateFollowsModeDelayAndButton) {
    const AutoFireCase& c = GetParam();
    fake.joysticks.plug(0, 12);
    start();
    targetInFront();
    bindKeys(1, buttonEntry(1), {'K'}, c.mode, c.delay);
    std::string got;
    for (int t = 0; t < 12; ++t) {
        fake.joysticks.devices[0].reading.dwButtons = c.held[t] == 'H' ? 1u : 0u;
        fake.clock.set(c.oddClock ? 1001 : 1000);
        engine->EngineTick();
        got += fake.keyboard.isDown('K') ? 'D' : 'U';
    }
    EXPECT_EQ(got, c.expect);
    for (const KeyEventRecord& e : fake.keyboard.events)
        EXPECT_EQ(e.vk, 'K');
}

INSTANTIATE_TEST_SUITE_P(
    Modes, AutoFireTicks,
    ::testing::Values(
        // No auto-fire: the key follows the button; the delay is not used.
        AutoFireCase{0, 0, "HHHHH.......", false, "DDDDDUUUUUUU"},
        AutoFireCase{0, 3, "HHHHH.......", false, "DDDDDUUUUUUU"},
        // Automatic: works without the button; d odd or 0 alternates max(d,1) ticks, d even stays down.
        AutoFireCase{1, 0, "............", false, "DUDUDUDUDUDU"},
        AutoFireCase{1, 1, "HHHHHHHHHHHH", false, "DUDUDUDUDUDU"},
        AutoFireCase{1, 2, "............", false, "DDDDDDDDDDDD"},
        AutoFireCase{1, 3, "............", false, "DDDUUUDDDUUU"},
        // While held: presses on action ticks while held (odd tick count), releases on the
        // first action tick after the button is let go, up to d - 1 ticks later.
        AutoFireCase{2, 0, "HHHHH.......", true, "DDDDDUUUUUUU"},
        AutoFireCase{2, 1, "HHHHH.......", true, "DDDDDUUUUUUU"},
        AutoFireCase{2, 2, "HHHHH.......", true, "DDDDDDUUUUUU"},
        AutoFireCase{2, 3, "HHHHH.......", true, "DDDDDDUUUUUU"},
        AutoFireCase{2, 3, "HHHHHHH.....", true, "DDDDDDDDDUUU"},
        // An even tick count releases; a button that is up never presses.
        AutoFireCase{2, 0, "HHHHHHHHHHHH", false, "UUUUUUUUUUUU"},
        AutoFireCase{2, 1, "............", true, "UUUUUUUUUUUU"}));

TEST_F(EngineFixture, AutomaticFireWithAnEvenDelaySendsOneKeyDownAndHoldsIt) {
    fake.joysticks.plug(0);
    start();
    targetInFront();
    bindKeys(1, buttonEntry(4), {'K'}, AutoFireAutomatic, 2);
    for (int t = 0; t < 10; ++t)
        engine->EngineTick();
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'K')}));
}

TEST_F(EngineFixture, AChordPressesOnlyKeysThatAreUpAndReleasesOnlyTheKeysItPressed) {
    fake.joysticks.plug(0);
    start();
    targetInFront();
    bindKeys(1, buttonEntry(3), {0x11, 0x10}); // Control, then Shift
    auto& reading = fake.joysticks.devices[0].reading;

    reading.dwButtons = 1u << 2;
    engine->EngineTick();
    engine->EngineTick();
    EXPECT_EQ(takeEvents(), (Events{down(1000, 0x11), down(1000, 0x10)}));
    reading.dwButtons = 0;
    engine->EngineTick();
    engine->EngineTick();
    EXPECT_EQ(takeEvents(), (Events{up(1000, 0x11), up(1000, 0x10)}));

    // The user already holds Control: only Shift goes down, and the release lets go of Shift alone;
    // Control is the user's to let go.
    fake.keyboard.hold(0x11);
    reading.dwButtons = 1u << 2;
    engine->EngineTick();
    EXPECT_EQ(takeEvents(), (Events{down(1000, 0x10)}));
    reading.dwButtons = 0;
    engine->EngineTick();
    EXPECT_EQ(takeEvents(), (Events{up(1000, 0x10)}));
    EXPECT_TRUE(fake.keyboard.isDown(0x11));
}

TEST_F(EngineFixture, UnboundAndUnknownKindsSendNothingWhateverTheirStaleFields) {
    fake.joysticks.plug(0);
    start();
    targetInFront();
    bindKeys(1, buttonEntry(1), {'A', 'B', 'C'}, AutoFireAutomatic, 0);
    entry(1, buttonEntry(1)).BindingKind = BindingNone;
    bindKeys(1, buttonEntry(2), {'D'});
    entry(1, buttonEntry(2)).BindingKind = 7;
    bindKeys(1, buttonEntry(3), {'E', 'F'});
    entry(1, buttonEntry(3)).KeyCount = 0;
    fake.joysticks.devices[0].reading.dwButtons = 0b111;
    for (int t = 0; t < 4; ++t)
        engine->EngineTick();
    EXPECT_TRUE(takeEvents().empty());
}

TEST_F(EngineFixture, AMoveOnAButtonReplaysOnEveryHeldTickAndLettingGoDoesNotCutItShort) {
    fake.joysticks.plug(0);
    start();
    targetInFront();
    makeMove(5, {{'Q', 0}, {'W', 0}}, 10);
    JoystickBinding& b = entry(1, buttonEntry(1));
    b.BindingKind = BindingMove;
    b.Key1 = 5;
    fake.joysticks.devices[0].reading.dwButtons = 1;
    for (int t = 0; t < 3; ++t)
        tickAndPlay();
    EXPECT_EQ(takeEvents().size(), 3u * 4u);
    fake.joysticks.devices[0].reading.dwButtons = 0;
    tickAndPlay();
    EXPECT_TRUE(takeEvents().empty());

    b.Key1 = 0; // saved with no move chosen
    fake.joysticks.devices[0].reading.dwButtons = 1;
    tickAndPlay();
    EXPECT_TRUE(takeEvents().empty());
}
