// The scheduler with the real timer and real threads: the timer's worker hands its firings to the
// main thread, joystick announcements come from another thread through the same queue, and each tick
// runs on the main thread, one at a time, while the interval goes between the usual and the resting
// one. ./test runs this under ThreadSanitizer too.
#include "EngineTestSupport.h"
#include "MainQueue.h"
#include "SystemTimerHooks.h"
#include "TickScheduler.h"
#include "TimerEx.h"

#include <algorithm>
#include <atomic>
#include <thread>

using namespace vornik;
using namespace vornik::test;
using namespace std::chrono_literals;

namespace {

// Notes how deep in ticks the scheduler is whenever a tick looks at the window.
struct DepthHost : RecordingHost {
    const TickScheduler* scheduler = nullptr;
    int deepest = 0;
    bool mainWindowVisible() override {
        if (scheduler != nullptr)
            deepest = std::max(deepest, scheduler->ticking());
        return true;
    }
};

} // namespace

TEST(ScheduledTicks, TheTimerAndAnnouncementsFromOtherThreadsRunOneTickAtATime) {
    FakePlatform fake;
    Configuration config;
    buildNamedKeyList(config.namedKeys);
    fake.joysticks.plug(0);
    // Every input announces its changes, so the ticks rest while the pad is let go.
    fake.joysticks.announced = true;
    fake.keyboard.descriptor = fake.joysticks.changeDescriptor();
    fake.windows.descriptor = fake.joysticks.changeDescriptor();
    fake.windows.add(0x100, 4242, "game");
    fake.windows.foreground = 0x100;
    config.joystickBindings[1][buttonEntry(1)] = JoystickBinding{BindingKeys, 'X', 0, 0, 1};
    DepthHost host;
    Engine engine(config, fake.platform, host);
    engine.detectJoysticks();
    engine.targets().RefreshTargetWindows();
    engine.targets().SelectForegroundTarget(0x100);

    vornik::testing::MainQueue queue;
    TimerHooks hooks;
    hooks.runOnMainThread = queue.hook();
    hooks.postToMainThread = queue.postHook();
    addSystemTimerHooks(hooks);
    TTimerEx timer(hooks);
    timer.setInterval(5);
    std::vector<uint32_t> intervals; // main thread only
    TickScheduler scheduler(engine, fake.platform,
                            {[&](uint32_t ms) {
                                 intervals.push_back(ms);
                                 timer.setInterval(ms);
                             },
                             {},
                             {},
                             {},
                             {},
                             {}},
                            5, 40);
    host.scheduler = &scheduler;
    timer.setOnTimer([&](TTimerEx&) { scheduler.timerFired(); });

    // The pad: pressed and let go ten times, each change announced from its own thread.
    constexpr int kChanges = 20;
    std::atomic<bool> padDone{false};
    std::thread pad([&] {
        const auto post = queue.postHook();
        for (int i = 0; i < kChanges; ++i) {
            std::this_thread::sleep_for(15ms);
            post([&, i] {
                fake.joysticks.devices[0].reading.dwButtons = i % 2 == 0 ? 1u : 0u;
                scheduler.joysticksAnnounced();
            });
        }
        padDone = true;
    });
    const bool answered = queue.pumpUntil(
        [&] { return padDone.load() && fake.keyboard.events.size() >= static_cast<std::size_t>(kChanges); }, 10s);
    pad.join();
    timer.setEnabled(false);
    ASSERT_TRUE(answered) << fake.keyboard.events.size() << " key events";

    EXPECT_EQ(host.deepest, 1) << "a tick ran inside another";
    ASSERT_EQ(fake.keyboard.events.size(), static_cast<std::size_t>(kChanges));
    for (int i = 0; i < kChanges; ++i) {
        EXPECT_EQ(fake.keyboard.events[static_cast<std::size_t>(i)].vk, 'X');
        EXPECT_EQ(fake.keyboard.events[static_cast<std::size_t>(i)].flags, i % 2 == 0 ? kKeyEventExtendedKey
                                                                                      : kKeyEventKeyUp);
    }
    EXPECT_NE(std::find(intervals.begin(), intervals.end(), 40u), intervals.end()) << "the ticks never rested";
    EXPECT_GT(scheduler.wakeTicks(), 0);
}
