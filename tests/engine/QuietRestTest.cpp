// At rest nothing runs where every input, pads plugged in included, is announced: the timer stops,
// and an announced pad gets its page at once. A joystick change is answered at once whenever it
// comes, a tick just before or not; and a key tapped between two ticks plays its move once.

#include "EngineTestSupport.h"
#include "TickScheduler.h"

using namespace vornik;
using namespace vornik::test;
using Events = std::vector<KeyEventRecord>;

class QuietRest : public EngineFixture {
protected:
    std::vector<uint32_t> intervals;                 // every interval the scheduler set
    std::vector<std::chrono::microseconds> delays;   // every delay it asked for
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    std::unique_ptr<TickScheduler> scheduler;

    void SetUp() override {
        EngineFixture::SetUp();
        fake.joysticks.plug(0);
        start();
        targetInFront();
        fake.joysticks.announced = true;
        fake.joysticks.announcesDevices = true;
        fake.keyboard.descriptor = fake.joysticks.changeDescriptor();
        fake.windows.descriptor = fake.joysticks.changeDescriptor();
        // As in the program: no resting ticks at all.
        scheduler = std::make_unique<TickScheduler>(
            *engine, fake.platform,
            TickScheduler::Hooks{[this](uint32_t ms) { intervals.push_back(ms); },
                                 [this](std::chrono::microseconds delay) { delays.push_back(delay); },
                                 [this] { return now; }, {}, {}, {}},
            30, 0);
    }
    JoyReading& pad() { return fake.joysticks.devices[0].reading; }
};

TEST_F(QuietRest, TheTimerStopsAndAnAnnouncedPadGetsItsPageAtOnce) {
    scheduler->timerFired();
    ASSERT_TRUE(scheduler->resting());
    EXPECT_EQ(intervals, std::vector<uint32_t>{0}) << "stopped, not slowed";

    // Plugged in, not yet announced: nobody looks, however long the program rests.
    fake.joysticks.plug(1).caps.szPname = "Late Pad";
    fake.clock.advance(5000);
    scheduler->changesAnnounced();
    EXPECT_TRUE(host.attached.empty());
    const auto queries = fake.joysticks.capsQueries.size();

    // Announced: a tick at once gives it its page, and the program rests again.
    fake.joysticks.devicesChanged = true;
    scheduler->joysticksAnnounced();
    EXPECT_EQ(host.attached, std::vector<int>{2});
    EXPECT_EQ(config->joystickNames[1], "Late Pad");
    EXPECT_GT(fake.joysticks.capsQueries.size(), queries);
    EXPECT_TRUE(scheduler->resting());
    EXPECT_EQ(intervals, (std::vector<uint32_t>{0}));

    // Ticking, the pads are looked for only when announced too.
    fake.joysticks.plug(2);
    pad().dwButtons = 1; // something held: the ticks run
    scheduler->joysticksAnnounced();
    EXPECT_FALSE(scheduler->resting());
    for (int tick = 0; tick < 40; ++tick) {
        fake.clock.advance(30);
        scheduler->timerFired();
    }
    EXPECT_EQ(host.attached, std::vector<int>{2});

    // Where pads plugged in are not announced, the rest is a second: they are looked for on it.
    fake.joysticks.announcesDevices = false;
    pad().dwButtons = 0;
    scheduler->timerFired();
    EXPECT_EQ(intervals.back(), TickScheduler::kDeviceLookInterval);
    fake.clock.advance(1000);
    scheduler->timerFired();
    EXPECT_EQ(host.attached, (std::vector<int>{2, 3}));
}

TEST_F(QuietRest, AChangeIsAnsweredAtOnceAfterATickAndOnlyABurstWaits) {
    bindKeys(1, buttonEntry(1), {'X'});
    bindKeys(1, buttonEntry(2), {'Y'});
    pad().dwButtons = 2; // button 2 held: the ticks run
    scheduler->joysticksAnnounced();
    ASSERT_FALSE(scheduler->resting());
    takeEvents();

    // A tick has just ended; the press and the release right after it go out at once.
    scheduler->timerFired();
    const int before = scheduler->inputTicks();
    pad().dwButtons = 3;
    scheduler->joysticksAnnounced();
    EXPECT_EQ(takeEvents(), (Events{down(1000, 'X')}));
    pad().dwButtons = 2;
    scheduler->joysticksAnnounced();
    EXPECT_EQ(takeEvents(), (Events{up(1000, 'X')}));
    EXPECT_EQ(scheduler->inputTicks(), before + 2);
    EXPECT_TRUE(delays.empty()) << "nothing waited";

    // A noisy input: past the burst, the answers wait their turn, and none is lost.
    now += std::chrono::seconds(1);
    for (int change = 0; change <= TickScheduler::kBurst; ++change) {
        pad().dwButtons ^= 1;
        scheduler->joysticksAnnounced();
    }
    EXPECT_EQ(scheduler->inputTicks(), before + 2 + TickScheduler::kBurst);
    ASSERT_EQ(delays.size(), 1u);
    EXPECT_GT(delays[0], std::chrono::microseconds(0));
    EXPECT_LE(delays[0], TickScheduler::kMinSpacing);
    const std::size_t burst = takeEvents().size();
    scheduler->spacingPassed();
    EXPECT_EQ(scheduler->inputTicks(), before + 3 + TickScheduler::kBurst);
    EXPECT_EQ(burst + takeEvents().size(), static_cast<std::size_t>(TickScheduler::kBurst + 1));
    EXPECT_TRUE(fake.keyboard.isDown('X')) << "the last change, a press, went out";
}

TEST_F(QuietRest, APressWhileRestingGoesOutBeforeTheTickThatWakes) {
    bindKeys(1, buttonEntry(1), {'X'});
    scheduler->timerFired();
    ASSERT_TRUE(scheduler->resting());
    pad().dwButtons = 1;
    fake.clock.set(7000);
    scheduler->joysticksAnnounced();
    EXPECT_EQ(takeEvents(), (Events{down(7000, 'X')}));
    EXPECT_EQ(scheduler->inputTicks(), 1);
    EXPECT_EQ(scheduler->wakeTicks(), 1) << "the full tick followed";
    EXPECT_FALSE(scheduler->resting());
    EXPECT_EQ(intervals.back(), 30u);
}

TEST_F(QuietRest, AKeyTappedBetweenTwoTicksPlaysItsMoveOnce) {
    makeMove(1, {{'M', 0}});
    keyBinding('K').MoveNumber = 1;
    fake.clock.set(2000);
    fake.keyboard.tap('K');
    tickAndPlay();
    EXPECT_EQ(takeEvents(), (Events{down(2000, 'M'), up(2010, 'M')}));
    tickAndPlay();
    EXPECT_TRUE(takeEvents().empty()) << "once";

    // "按下發射": a tap plays once too.
    keyBinding('K').AutoFireMode = AutoFireWhileHeld;
    keyBinding('K').AutoFireDelay = 2;
    fake.clock.set(3000);
    fake.keyboard.tap('K');
    tickAndPlay();
    EXPECT_EQ(takeEvents(), (Events{down(3000, 'M'), up(3010, 'M')}));
    tickAndPlay();
    tickAndPlay();
    EXPECT_TRUE(takeEvents().empty());

    // Tapped while another program is in front: never played into the target later.
    keyBinding('K').AutoFireMode = AutoFireNone;
    otherInFront();
    fake.keyboard.tap('K');
    tickAndPlay();
    targetInFront();
    tickAndPlay();
    EXPECT_TRUE(takeEvents().empty());
}
