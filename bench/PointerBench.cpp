// The pointer a stick drives, measured at the X server (run under a private Xvfb by bench/run pointer):
// an SDL virtual joystick whose left stick is set to move the pointer, the engine driven as the program
// drives it (its timer, the joysticks' change descriptor and the motion steps, all through the Qt
// event loop), XTest, and a window of another connection over the whole screen that receives every
// motion of the pointer with the server's time. Prints:
//   pointer_speed_error_percent           full push right for 2 s: distance moved against 2 s at the set
//                                         speed (500 px/s), in percent
//   pointer_diagonal_to_straight_ratio    distance moved in 1 s pushed down-right, against 1 s right
//   pointer_update_interval_p50_ms, _p99_ms   between two motions at the server while the stick is pushed
//   pointer_moves_at_rest_per_s           motions at the server in the 2 s after the stick is let go
// Qt first: the X headers define macros (Status, Bool) that clash with it.
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

#include <X11/Xlib.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace vornik;
using namespace std::chrono_literals;

namespace {

constexpr int kSpeed = 500; // pixels per second at full push

// A window over the whole screen on a connection of its own: every motion of the pointer, with the
// server's time.
class MotionWatch {
public:
    struct Motion {
        Time time;
        int x, y;
    };
    MotionWatch() {
        Display* d = m_display.display();
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.event_mask = PointerMotionMask;
        m_window = XCreateWindow(d, m_display.root(), 0, 0, static_cast<unsigned>(DisplayWidth(d, 0)),
                                 static_cast<unsigned>(DisplayHeight(d, 0)), 0, CopyFromParent, InputOnly,
                                 CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
        XMapRaised(d, m_window);
        m_display.sync();
    }
    void take() {
        Display* d = m_display.display();
        while (XPending(d) > 0) {
            XEvent event;
            XNextEvent(d, &event);
            if (event.type == MotionNotify)
                motions.push_back({event.xmotion.time, event.xmotion.x_root, event.xmotion.y_root});
        }
    }
    void warp(int x, int y) {
        XWarpPointer(m_display.display(), None, m_display.root(), 0, 0, 0, 0, x, y);
        m_display.sync();
    }
    std::vector<Motion> motions;

private:
    test::TestDisplay m_display;
    Window m_window = 0;
};

void loopFor(std::chrono::milliseconds duration) {
    const auto until = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        test::VirtualJoystick pad(4);
        test::RecorderProcess target({"--title", "target", "--focus"});
        LinuxPlatform platform;
        Configuration config;
        HeadlessHost host;
        Engine engine(config, platform.platform(), host);
        buildNamedKeyList(config.namedKeys);
        engine.detectJoysticks();
        config.pad(1).leftStick = StickMode::Pointer;
        config.pad(1).pointerSpeed = kSpeed;
        engine.targets().RefreshTargetWindows();
        engine.targets().SelectForegroundTarget(target.window());

        MotionWatch watch;
        QTimer poll; // wakes the loop so that it takes the watch's events
        QObject::connect(&poll, &QTimer::timeout, [&] { watch.take(); });
        poll.start(1);
        TTimerEx timer(qtTimerHooks({}));
        QtTickDriver ticks(engine, platform.platform(), [&](uint32_t ms) { timer.setInterval(ms); }, 30, 1000);
        timer.setInterval(30);
        timer.setThreadPriority(tpHighest);
        timer.setOnTimer([&](TTimerEx&) { ticks.scheduler().timerFired(); });

        // Pushes the stick to (x, y) for `duration` from (startX, startY); the motions meanwhile.
        const auto push = [&](int startX, int startY, Sint16 x, Sint16 y, std::chrono::milliseconds duration) {
            watch.warp(startX, startY);
            loopFor(100ms);
            watch.take();
            watch.motions.clear();
            pad.setAxis(0, x);
            pad.setAxis(1, y);
            platform.joysticks().signalVirtualChange();
            loopFor(duration);
            pad.setAxis(0, 0);
            pad.setAxis(1, 0);
            platform.joysticks().signalVirtualChange();
            loopFor(50ms);
            watch.take();
            std::vector<MotionWatch::Motion> moved = watch.motions;
            return moved;
        };
        const auto distance = [](int x0, int y0, const std::vector<MotionWatch::Motion>& moved) {
            return moved.empty() ? 0.0 : std::hypot(moved.back().x - x0, moved.back().y - y0);
        };

        const auto straight2s = push(100, 500, 32767, 0, 2000ms);
        const double error = std::abs(distance(100, 500, straight2s) - 2.0 * kSpeed) / (2.0 * kSpeed) * 100.0;
        std::vector<double> intervals;
        for (std::size_t i = 1; i < straight2s.size(); ++i)
            intervals.push_back(static_cast<double>(straight2s[i].time - straight2s[i - 1].time));

        // At rest: nothing moves.
        watch.motions.clear();
        loopFor(2000ms);
        watch.take();
        const double atRest = static_cast<double>(watch.motions.size()) / 2.0;

        const double straight = distance(100, 300, push(100, 300, 32767, 0, 1000ms));
        const double diagonal = distance(100, 100, push(100, 100, 32767, 32767, 1000ms));
        timer.setEnabled(false);

        std::fprintf(stderr, "pointer: %zu motions in 2 s, %.0f px straight, %.0f px diagonal in 1 s\n",
                     straight2s.size(), straight, diagonal);
        std::printf("pointer_speed_error_percent: %.2f\n", error);
        std::printf("pointer_diagonal_to_straight_ratio: %.3f\n", straight > 0 ? diagonal / straight : 0.0);
        if (!intervals.empty()) {
            std::printf("pointer_update_interval_p50_ms: %.1f\n", percentile(intervals, 0.50));
            std::printf("pointer_update_interval_p99_ms: %.1f\n", percentile(intervals, 0.99));
        }
        std::printf("pointer_moves_at_rest_per_s: %.1f\n", atRest);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pointer: %s\n", e.what());
        return 1;
    }
    return 0;
}
