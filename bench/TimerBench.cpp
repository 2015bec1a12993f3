// The engine's timer as the program sets it up: Interval 30 on a tpHighest worker, each firing handed to
// the main thread with a queued call, the worker's next wake-up set by the finished call (timer_period_*),
// and once more with the hand-over that waits for the call (timer_waited_period_*). Measures the period between firings as the main thread sees them, and
// in the same run the period of a plain loop that sleeps 30 ms, the floor any sleeping timer stands on.
#include "MainQueue.h"
#include "Percentile.h"
#include "SystemTimerHooks.h"
#include "TimerEx.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

using namespace vornik;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kFirings = 300;

// range(0): 1 hands each firing over with the queued call the program uses, 0 with the waiting one.
void timerPeriod(benchmark::State& state) {
    const bool posted = state.range(0) != 0;
    const std::string prefix = posted ? "timer_period_" : "timer_waited_period_";
    for (auto _ : state) {
        testing::MainQueue queue;
        std::vector<Clock::time_point> times;
        times.reserve(kFirings + 1);
        TimerHooks hooks;
        hooks.runOnMainThread = queue.hook();
        if (posted)
            hooks.postToMainThread = queue.postHook();
        addSystemTimerHooks(hooks);
        {
            TTimerEx timer(hooks);
            timer.setInterval(30);
            timer.setThreadPriority(tpHighest);
            timer.setThreadSafe(false);
            // The handler only notes the time; the firing itself is empty.
            timer.setOnTimer([&](TTimerEx&) { times.push_back(Clock::now()); });
            queue.pumpUntil([&] { return times.size() > kFirings; }, std::chrono::seconds(60));
            if (const TTimerThread* worker = timer.worker(); worker && worker->priorityRefused())
                state.SetLabel("tpHighest refused; ran at the inherited priority");
        }
        queue.pumpFor(std::chrono::milliseconds(50));

        std::vector<double> periods;
        for (std::size_t i = 1; i < times.size(); ++i)
            periods.push_back(std::chrono::duration<double, std::milli>(times[i] - times[i - 1]).count());
        const double mean = std::accumulate(periods.begin(), periods.end(), 0.0) / double(periods.size());
        state.counters[prefix + "mean_ms"] = mean;
        state.counters[prefix + "p99_ms"] = percentile(periods, 0.99);
    }
}

// A thread that only sleeps 30 ms at a time, as many periods as the timer gets.
void plainSleepLoop(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<Clock::time_point> times;
        times.reserve(kFirings + 1);
        times.push_back(Clock::now());
        while (times.size() <= kFirings) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            times.push_back(Clock::now());
        }
        std::vector<double> periods;
        for (std::size_t i = 1; i < times.size(); ++i)
            periods.push_back(std::chrono::duration<double, std::milli>(times[i] - times[i - 1]).count());
        state.counters["sleep_loop_period_p99_ms"] = percentile(periods, 0.99);
    }
}

class CounterReporter : public benchmark::BenchmarkReporter {
public:
    std::map<std::string, double> counters;
    std::string label;
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            for (const auto& [name, counter] : run.counters)
                counters[name] = counter.value;
            if (!run.report_label.empty())
                label = run.report_label;
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("timer_period", timerPeriod)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("sleep_loop", plainSleepLoop)->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    CounterReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (!reporter.label.empty())
        std::fprintf(stderr, "note: %s\n", reporter.label.c_str());
    for (const char* name : {"timer_period_mean_ms", "timer_period_p99_ms", "timer_waited_period_mean_ms",
                             "timer_waited_period_p99_ms", "sleep_loop_period_p99_ms"})
        std::printf("%s: %.2f\n", name, reporter.counters[name]);
    return 0;
}
