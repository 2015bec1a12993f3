// End to end on a real X server (run under a private Xvfb by bench/run e2e): SDL virtual joysticks,
// the engine driven as the program drives it (its timer, resting while idle as in the program, and the
// joysticks' change descriptor watched by a Qt event loop), XTest, and a real X client that notes when
// each key event reaches it. A virtual joystick has no device node, so each change is announced on the
// change descriptor the way a pad's evdev node makes it readable. Prints:
//   e2e_latency_p50_ms, _p90_ms, _p99_ms,   virtual button press -> KeyPress at the client, 300 presses
//   _max_ms                                 at random phases; every other one while another button of
//                                           the pad is held, so the 30 ms ticks run, the rest while the
//                                           ticks rest
//   e2e_release_p50_ms, _p99_ms, _max_ms    the button let go -> KeyRelease at the client, likewise
//   e2e_share_while_ticking                 the share of presses made while the ticks ran
//   xtest_floor_p50_ms, _p99_ms             a plain XTest key sent straight from another connection to the
//                                           same client, 300 times, alternating with the presses above
//   xtest_floor_release_p99_ms              its key-up, likewise
//   e2e_over_floor_p50_ms                   the first p50 minus the floor's
//   e2e_p50_ratio_vs_floor, e2e_p99_ratio_vs_floor, e2e_release_p99_ratio_vs_floor
//                                           the press p50 and p99 and the release p99 over the floor's
//                                           p50, p99 and p99, from the same run
//   tick_linux_us_median                    one idle EngineTick: 4 joysticks of 12 buttons with every
//                                           input bound to a key, 100 keyboard bindings, target in front
//   x_roundtrips_per_idle_tick              replies the process waited for, counted where Xlib waits
// With --layered it prints layered_latency_p50_ms, layered_latency_p99_ms and layered_release_p99_ms:
// the same press binding on a pad that also has a layer switch and a tap binding, whose bindings all
// go through its layers (the press binding, with no tap, double or pair on its input, fires at once).
// With --during-move (bench/run during-move) it prints instead, from one run on two pads:
//   press_during_move_p50_ms, _p99_ms, _max_ms
//                                           pad 2's button press -> its KeyPress at the client while
//                                           pad 1 plays a 20-step move (speed 100, about 4 s), 100 presses
//   e2e_latency_p50_ms, e2e_latency_p99_ms  the same press with no move playing, alternating with those
//   during_move_p99_ratio                   the first p99 over the second
// Qt first: the X headers define macros (Status, Bool) that clash with it.
#include "EventLoopTiming.h"
#include "QtTickDriver.h"
#include "QtTimerHooks.h"

#include <QCoreApplication>
#include <QTimer>

#include "Engine.h"
#include "HeadlessHost.h"
#include "KeyLabels.h"
#include "LinuxPlatform.h"
#include "Percentile.h"
#include "RecorderProcess.h"
#include "TestDisplay.h"
#include "TimerEx.h"
#include "VirtualJoystick.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <dlfcn.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

// Every reply Xlib waits for goes through xcb_wait_for_reply64; this definition in the executable takes
// its place and counts, independently of the backend's own count. Xlib calls it twice for one reply
// (the second call returns at once), so a round trip is a request number not waited for just before.
namespace {
uint64_t g_replyWaits = 0;
xcb_connection_t* g_lastConnection = nullptr;
uint64_t g_lastRequest = 0;
} // namespace
extern "C" void* xcb_wait_for_reply64(xcb_connection_t* c, uint64_t request, xcb_generic_error_t** e) {
    using Real = void* (*)(xcb_connection_t*, uint64_t, xcb_generic_error_t**);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "xcb_wait_for_reply64"));
    if (c != g_lastConnection || request != g_lastRequest)
        ++g_replyWaits;
    g_lastConnection = c;
    g_lastRequest = request;
    return real(c, request, e);
}

using namespace vornik;
using namespace std::chrono_literals;

namespace {

using Host = HeadlessHost;


// The engine on the real backend, with the named keys built and the joysticks detected. Made after
// the virtual joysticks, which the backend finds at start-up.
struct EngineOnX {
    LinuxPlatform platform;
    Configuration config;
    Host host;
    Engine engine{config, platform.platform(), host};

    EngineOnX() {
        buildNamedKeyList(config.namedKeys);
        engine.detectJoysticks();
    }
    void chooseTarget(WindowHandle window) {
        engine.targets().RefreshTargetWindows();
        engine.targets().SelectForegroundTarget(window);
    }
};

JoystickBinding keyBinding(int vk) {
    JoystickBinding b;
    b.BindingKind = BindingKeys;
    b.Key1 = vk;
    b.KeyCount = 1;
    return b;
}

// How long a bench waits for what it looks for: far above any answer it measures.
constexpr auto kWait = 2000ms;
template <class Predicate> bool loopUntil(Predicate done) {
    return bench::loopUntil(done, kWait);
}
using bench::loopFor;
using bench::nowUs;

struct Timing {
    double press = -1;   // ms from the press to the KeyPress at the client; -1: it never came
    double release = -1; // likewise for the release
};

void latency(bool layered) {
    test::TestDisplay user;
    test::VirtualJoystick pad(12);
    test::RecorderProcess target({"--title", "target", "--focus"});
    EngineOnX rig;
    auto& [platform, config, host, engine] = rig;
    config.joystickBindings[1][buttonEntry(1)] = keyBinding('A');
    if (layered) {
        config.joystickBindings[1][buttonEntry(5)] = JoystickBinding{BindingLayer, 2, LayerWhileHeld, 0, 0};
        config.bindingAt(1, buttonEntry(6), 1, ActivateTap, 0) = keyBinding('C');
    }
    rig.chooseTarget(target.window());
    const KeyCode floorKey = XKeysymToKeycode(user.display(), XK_b);
    // Every move of the pad is announced below, as a device node would.
    platform.joysticks().announceVirtualChanges(true);

    QTimer poll; // wakes the loop so it can look at the client's answers
    poll.start(1);
    std::vector<double> presses, releases, floor, floorReleases;
    int whileTicking = 0;
    {
        TTimerEx timer(qtTimerHooks({}));
        // As in the program: 30 ms ticks, resting (the timer stopped) while the engine is idle.
        QtTickDriver ticks(engine, platform.platform(), [&](uint32_t ms) { timer.setInterval(ms); }, 30, 0);
        timer.setInterval(30);
        timer.setThreadPriority(tpHighest);
        timer.setOnTimer([&](TTimerEx&) { ticks.scheduler().timerFired(); });

        std::mt19937 random(20240611);
        std::uniform_int_distribution<int> phase(0, 59);
        const auto measure = [&](const auto& press, const auto& release) {
            loopFor(std::chrono::milliseconds(phase(random)));
            Timing timing;
            const std::size_t before = target.keys().size();
            const int64_t pressedAt = nowUs();
            press();
            if (!loopUntil([&] { return target.keys().size() > before; }))
                return timing;
            timing.press = static_cast<double>(target.keys()[before].timeUs - pressedAt) / 1000.0;
            // Let go at a random phase too, mostly within a tick or two of the press.
            loopFor(std::chrono::milliseconds(phase(random) / 2));
            const int64_t releasedAt = nowUs();
            release();
            if (loopUntil([&] { return target.keys().size() > before + 1; }))
                timing.release = static_cast<double>(target.keys()[before + 1].timeUs - releasedAt) / 1000.0;
            return timing;
        };
        const auto moveButton = [&](int button, bool down) {
            pad.setButton(button, down);
            platform.joysticks().signalVirtualChange();
        };
        for (int press = 0; press < 300; ++press) {
            // Every other press with button 2 (bound to nothing) held: the ticks run meanwhile.
            const bool holdOther = press % 2 == 1;
            if (holdOther)
                moveButton(1, true);
            const Timing viaEngine = measure([&] { moveButton(0, true); }, [&] { moveButton(0, false); });
            if (holdOther) {
                whileTicking += ticks.scheduler().resting() ? 0 : 1;
                moveButton(1, false);
            }
            const auto fakeKey = [&](bool down) {
                XTestFakeKeyEvent(user.display(), floorKey, down ? True : False, CurrentTime);
                XFlush(user.display());
            };
            const Timing direct = measure([&] { fakeKey(true); }, [&] { fakeKey(false); });
            if (viaEngine.press < 0 || viaEngine.release < 0 || direct.press < 0 || direct.release < 0) {
                std::fprintf(stderr, "e2e: a key event of press %d never arrived\n", press);
                break;
            }
            presses.push_back(viaEngine.press);
            releases.push_back(viaEngine.release);
            floor.push_back(direct.press);
            floorReleases.push_back(direct.release);
        }
        timer.setEnabled(false);
        std::fprintf(stderr, "e2e: %d input ticks, %d wakes\n", ticks.scheduler().inputTicks(),
                     ticks.scheduler().wakeTicks());
    }
    loopFor(50ms);
    engine.releaseHeldKeys();
    if (presses.empty())
        return;
    if (layered) {
        std::printf("layered_latency_p50_ms: %.3f\n", percentile(presses, 0.50));
        std::printf("layered_latency_p99_ms: %.3f\n", percentile(presses, 0.99));
        std::printf("layered_release_p99_ms: %.3f\n", percentile(releases, 0.99));
        return;
    }
    const double floorP50 = percentile(floor, 0.50);
    const double floorP99 = percentile(floor, 0.99);
    std::printf("e2e_latency_p50_ms: %.3f\n", percentile(presses, 0.50));
    std::printf("e2e_latency_p90_ms: %.3f\n", percentile(presses, 0.90));
    std::printf("e2e_latency_p99_ms: %.3f\n", percentile(presses, 0.99));
    std::printf("e2e_latency_max_ms: %.3f\n", *std::max_element(presses.begin(), presses.end()));
    std::printf("e2e_release_p50_ms: %.3f\n", percentile(releases, 0.50));
    std::printf("e2e_release_p99_ms: %.3f\n", percentile(releases, 0.99));
    std::printf("e2e_release_max_ms: %.3f\n", *std::max_element(releases.begin(), releases.end()));
    std::printf("e2e_share_while_ticking: %.2f\n", static_cast<double>(whileTicking) / presses.size());
    std::printf("xtest_floor_p50_ms: %.3f\n", floorP50);
    std::printf("xtest_floor_p99_ms: %.3f\n", floorP99);
    std::printf("xtest_floor_release_p99_ms: %.3f\n", percentile(floorReleases, 0.99));
    std::printf("e2e_over_floor_p50_ms: %.3f\n", percentile(presses, 0.50) - floorP50);
    std::printf("e2e_p50_ratio_vs_floor: %.2f\n", percentile(presses, 0.50) / floorP50);
    std::printf("e2e_p99_ratio_vs_floor: %.2f\n", percentile(presses, 0.99) / floorP99);
    std::printf("e2e_release_p99_ratio_vs_floor: %.2f\n", percentile(releases, 0.99) / floorP99);
}

// Pad 2's press while pad 1 plays a long move, next to the same press with no move playing.
void duringMove() {
    test::TestDisplay user;
    test::VirtualJoystick pad1(12);
    test::VirtualJoystick pad2(12);
    test::RecorderProcess target({"--title", "target", "--focus"});
    EngineOnX rig;
    auto& [platform, config, host, engine] = rig;
    Move& move = config.moves[1];
    move.StepCount = 20;
    for (int i = 1; i <= move.StepCount; ++i)
        move.Steps[i] = {static_cast<uint16_t>(i % 2 != 0 ? 'M' : 'N'), 0};
    move.Speed = 100;
    move.RepeatCount = 1;
    config.joystickBindings[1][buttonEntry(1)] = JoystickBinding{BindingMove, 1, 0, 0, 1};
    config.joystickBindings[2][buttonEntry(1)] = keyBinding('A');
    rig.chooseTarget(target.window());
    platform.joysticks().announceVirtualChanges(true);

    QTimer poll;
    poll.start(1);
    std::vector<double> during, plain;
    {
        TTimerEx timer(qtTimerHooks({}));
        QtTickDriver ticks(engine, platform.platform(), [&](uint32_t ms) { timer.setInterval(ms); }, 30, 0);
        timer.setInterval(30);
        timer.setThreadPriority(tpHighest);
        timer.setOnTimer([&](TTimerEx&) { ticks.scheduler().timerFired(); });
        const auto moveButton = [&](test::VirtualJoystick& pad, bool down) {
            pad.setButton(0, down);
            platform.joysticks().signalVirtualChange();
        };
        // The first KeyPress of `a` after index `from`, in ms from `at`; -1 when none came.
        const auto pressOfA = [&](std::size_t from, int64_t at) {
            double ms = -1;
            loopUntil([&] {
                const std::vector<test::RecordedKey> keys = target.keys();
                for (std::size_t i = from; i < keys.size(); ++i) {
                    if (keys[i].press && keys[i].keysym == "a") {
                        ms = static_cast<double>(keys[i].timeUs - at) / 1000.0;
                        return true;
                    }
                }
                return false;
            });
            return ms;
        };
        std::mt19937 random(20261208);
        std::uniform_int_distribution<int> phase(0, 59);
        for (int press = 0; press < 200; ++press) {
            const bool withMove = press % 2 == 1;
            if (withMove && !engine.player().playing(1)) {
                moveButton(pad1, true);
                loopUntil([&] { return engine.player().playing(1); });
                moveButton(pad1, false);
            } else if (!withMove) {
                loopUntil([&] { return !engine.player().playing(1); });
            }
            loopFor(std::chrono::milliseconds(phase(random)));
            const std::size_t before = target.keys().size();
            const int64_t pressedAt = nowUs();
            moveButton(pad2, true);
            const double ms = pressOfA(before, pressedAt);
            const bool played = engine.player().playing(1);
            loopFor(std::chrono::milliseconds(10 + phase(random) / 2));
            moveButton(pad2, false);
            loopFor(20ms);
            if (ms < 0) {
                std::fprintf(stderr, "during-move: press %d never arrived\n", press);
                break;
            }
            if (withMove && !played)
                continue; // the move ended before the press was answered: neither kind
            (withMove ? during : plain).push_back(ms);
        }
        timer.setEnabled(false);
    }
    loopFor(50ms);
    engine.releaseHeldKeys();
    if (during.empty() || plain.empty())
        return;
    std::printf("press_during_move_p50_ms: %.3f\n", percentile(during, 0.50));
    std::printf("press_during_move_p99_ms: %.3f\n", percentile(during, 0.99));
    std::printf("press_during_move_max_ms: %.3f\n", *std::max_element(during.begin(), during.end()));
    std::printf("e2e_latency_p50_ms: %.3f\n", percentile(plain, 0.50));
    std::printf("e2e_latency_p99_ms: %.3f\n", percentile(plain, 0.99));
    std::printf("during_move_p99_ratio: %.2f\n", percentile(during, 0.99) / percentile(plain, 0.99));
    std::fprintf(stderr, "during-move: %zu presses during the move, %zu without\n", during.size(), plain.size());
}

void idleTick() {
    test::TestDisplay user;
    std::vector<std::unique_ptr<test::VirtualJoystick>> pads;
    for (int i = 0; i < 4; ++i)
        pads.push_back(std::make_unique<test::VirtualJoystick>(12));
    test::RecorderProcess target({"--title", "target", "--focus"});
    EngineOnX rig;
    auto& [platform, config, host, engine] = rig;
    // Every direction and button of the four joysticks bound to a key of its own that nobody holds.
    int next = 2;
    for (int t = 1; t <= 4; ++t) {
        for (int entry = 1; entry <= 16; ++entry)
            config.joystickBindings[t][entry] = keyBinding(config.namedKeys.Codes[next++ % 60 + 2]);
    }
    for (int k = 0; k < 100; ++k)
        config.keyBindings[static_cast<std::size_t>(k)].MoveNumber = 1 + k % 100;
    rig.chooseTarget(target.window());

    // The first ticks after a refresh learn the foreground window's top-level and process id; idle
    // ticks are the ones after that.
    for (int tick = 0; tick < 3; ++tick)
        engine.EngineTick();
    constexpr int kTicks = 300;
    std::vector<double> durations;
    uint64_t waits = 0, counted = 0;
    for (int tick = 0; tick < kTicks; ++tick) {
        // The real spacing of ticks, so that nothing cached in between outlives its time.
        std::this_thread::sleep_for(30ms);
        const uint64_t waitsBefore = g_replyWaits;
        const uint64_t countedBefore = platform.connection().roundTrips();
        const auto start = std::chrono::steady_clock::now();
        engine.EngineTick();
        const auto end = std::chrono::steady_clock::now();
        durations.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        waits += g_replyWaits - waitsBefore;
        counted += platform.connection().roundTrips() - countedBefore;
    }
    if (!target.keys().empty())
        std::fprintf(stderr, "e2e: the idle ticks sent %zu key events\n", target.keys().size());
    std::printf("tick_linux_us_median: %.1f\n", percentile(durations, 0.50));
    std::printf("x_roundtrips_per_idle_tick: %.2f\n", static_cast<double>(waits) / kTicks);
    std::fprintf(stderr, "e2e: the backend counted %.2f round trips per idle tick\n",
                 static_cast<double>(counted) / kTicks);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        if (argc > 1 && std::string(argv[1]) == "--during-move") {
            duringMove();
            return 0;
        }
        if (argc > 1 && std::string(argv[1]) == "--layered") {
            latency(true);
            return 0;
        }
        latency(false);
        idleTick();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "e2e: %s\n", e.what());
        return 1;
    }
    return 0;
}
