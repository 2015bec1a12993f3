// End to end on a wlroots desktop (run under sway, headless, by bench/run wayland): an SDL virtual
// joystick announced on the joysticks' change descriptor as a pad's node would be, the engine driven as
// the program drives it, and two recording windows, each alone on a workspace: a Wayland-native one
// (keys through the compositor's virtual keyboard, after the round trip of the press guard) and an
// XWayland one (XTest). Each side's window is brought to the front with swaymsg and made the target as
// --target-front does; rounds of 20 presses alternate between the sides. Prints
//   wayland_press_p50_ms, _p99_ms     virtual button press -> key event at the native window
//   xwayland_press_p50_ms, _p99_ms    the same at the XWayland window, same run
//   wayland_press_p99_ratio_vs_xwayland
//   wayland_roundtrips_per_press      Wayland round trips the backend made per native key-down
// Usage: bench_wayland NATIVE_RECORDER [PRESSES_PER_SIDE]
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
#include "TimerEx.h"
#include "VirtualJoystick.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace vornik;
using namespace std::chrono_literals;

namespace {


// How long a bench waits for what it looks for: far above any answer it measures.
constexpr auto kWait = 3000ms;
template <class Predicate> bool loopUntil(Predicate done) {
    return bench::loopUntil(done, kWait);
}
using bench::loopFor;
using bench::nowUs;

bool sway(const std::string& command) {
    return std::system(("swaymsg -q '" + command + "'").c_str()) == 0;
}

int run(const std::string& nativeRecorder, int pressesPerSide) {
    test::VirtualJoystick pad(12);
    test::RecorderProcess native(nativeRecorder, {"--title", "game", "--app-id", "vornik.game"});
    test::RecorderProcess x({"--title", "xgame"});
    if (!sway("[title=\"^game$\"] move to workspace 2") || !sway("[title=\"^xgame$\"] move to workspace 3"))
        throw std::runtime_error("swaymsg failed");

    LinuxPlatform platform;
    if (platform.wayland() == nullptr || !platform.wayland()->hasKeyboard())
        throw std::runtime_error("no Wayland virtual keyboard here");
    Configuration config;
    HeadlessHost host;
    Engine engine{config, platform.platform(), host};
    buildNamedKeyList(config.namedKeys);
    engine.detectJoysticks();
    JoystickBinding binding;
    binding.BindingKind = BindingKeys;
    binding.Key1 = 'A';
    binding.KeyCount = 1;
    config.joystickBindings[1][buttonEntry(1)] = binding;
    platform.joysticks().announceVirtualChanges(true);

    QTimer poll; // wakes the loop so it can look at the recorders' answers
    poll.start(1);
    std::vector<double> wayland, xwayland;
    uint64_t roundTrips = 0;
    {
        TTimerEx timer(qtTimerHooks({}));
        QtTickDriver ticks(engine, platform.platform(), [&](uint32_t ms) { timer.setInterval(ms); }, 30, 0);
        timer.setInterval(30);
        timer.setThreadPriority(tpHighest);
        timer.setOnTimer([&](TTimerEx&) { ticks.scheduler().timerFired(); });
        std::mt19937 random(20261208);
        std::uniform_int_distribution<int> phase(0, 59);
        const auto moveButton = [&](bool down) {
            pad.setButton(0, down);
            platform.joysticks().signalVirtualChange();
        };
        constexpr int kRound = 20;
        for (int done = 0; done < pressesPerSide; done += kRound) {
            for (const bool toNative : {true, false}) {
                test::RecorderProcess& target = toNative ? native : x;
                sway(toNative ? "[title=\"^game$\"] focus" : "[title=\"^xgame$\"] focus");
                if (!loopUntil([&] {
                        const WindowHandle front = platform.desktopWindows().foregroundWindow();
                        return front != 0 && (front >= WaylandSession::kHandleBase) == toNative;
                    }) ||
                    !engine.targets().SelectFrontTarget())
                    throw std::runtime_error("the window did not come to the front");
                for (int i = 0; i < kRound; ++i) {
                    loopFor(std::chrono::milliseconds(phase(random)));
                    const std::size_t before = target.keys().size();
                    const uint64_t tripsBefore = platform.wayland()->roundTrips();
                    const int64_t pressedAt = nowUs();
                    moveButton(true);
                    if (!loopUntil([&] { return target.keys().size() > before; }))
                        throw std::runtime_error(std::string("a press never reached the ") +
                                                 (toNative ? "native" : "XWayland") + " window");
                    const double ms = static_cast<double>(target.keys()[before].timeUs - pressedAt) / 1000.0;
                    (toNative ? wayland : xwayland).push_back(ms);
                    if (toNative)
                        roundTrips += platform.wayland()->roundTrips() - tripsBefore;
                    loopFor(std::chrono::milliseconds(phase(random) / 2));
                    moveButton(false);
                    if (!loopUntil([&] { return target.keys().size() > before + 1; }))
                        throw std::runtime_error("a release never arrived");
                }
            }
        }
        timer.setEnabled(false);
    }
    engine.releaseHeldKeys();
    std::printf("wayland_press_p50_ms: %.3f\n", percentile(wayland, 0.50));
    std::printf("wayland_press_p99_ms: %.3f\n", percentile(wayland, 0.99));
    std::printf("xwayland_press_p50_ms: %.3f\n", percentile(xwayland, 0.50));
    std::printf("xwayland_press_p99_ms: %.3f\n", percentile(xwayland, 0.99));
    std::printf("wayland_press_p99_ratio_vs_xwayland: %.2f\n", percentile(wayland, 0.99) / percentile(xwayland, 0.99));
    std::printf("wayland_roundtrips_per_press: %.2f\n", static_cast<double>(roundTrips) / wayland.size());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_wayland NATIVE_RECORDER [PRESSES_PER_SIDE]\n");
        return 2;
    }
    try {
        return run(argv[1], argc > 2 ? std::atoi(argv[2]) : 200);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "wayland bench: %s\n", e.what());
        return 1;
    }
}
