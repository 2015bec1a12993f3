// Engine tick cost on the fake platform: the worst ordinary case (32 joysticks, every entry a
// three-key chord with automatic auto-fire, 100 keyboard bindings whose keys are up) and idle.
#include "Engine.h"
#include "FakePlatform.h"
#include "HeadlessHost.h"
#include "KeyLabels.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <map>
#include <string>

using namespace vornik;

namespace {

// Keeps key state like the fake keyboard but records nothing, so a long run does not grow memory.
class StateKeyboard : public Keyboard, public Output {
public:
    std::optional<uint32_t> keyDown(uint8_t vk) override {
        m_down[vk] = true;
        return vk;
    }
    void keyUp(const SentKey& key) override { m_down[key.native & 0xFF] = false; }
    int16_t asyncKeyState(int vk) override { return m_down[vk & 0xFF] ? -32768 : 0; }

private:
    std::array<bool, 256> m_down{};
};

using QuietHost = HeadlessHost;

struct Rig {
    FakePlatform fake;
    StateKeyboard keyboard;
    Platform platform{fake.joysticks, keyboard, keyboard, fake.windows, fake.clock};
    Configuration config;
    QuietHost host;
    Engine engine{config, platform, host};

    explicit Rig(bool loaded) {
        buildNamedKeyList(config.namedKeys);
        fake.windows.add(0x100, 4242, "target");
        fake.windows.foreground = 0x100;
        if (loaded) {
            for (uint32_t id = 0; id < 32; ++id)
                fake.joysticks.plug(id, 32);
            for (int t = 1; t <= kMaxJoysticks; ++t) {
                for (int e = 1; e <= kJoystickEntries; ++e) {
                    JoystickBinding& b = config.joystickBindings[t][e];
                    b = {BindingKeys, 'A' + (e % 26), 0x11, 0x10, 3, AutoFireAutomatic, 1};
                }
            }
            for (int k = 0; k < 100; ++k)
                config.keyBindings[static_cast<std::size_t>(k)] = {1 + k, AutoFireNone, 0};
            for (int m = 1; m <= kMoveSlots; ++m) {
                config.moves[m].StepCount = 1;
                config.moves[m].RepeatCount = 1;
                config.moves[m].Steps[1] = {'Q', 0};
            }
        }
        engine.detectJoysticks();
        engine.targets().RefreshTargetWindows();
        engine.targets().chooseTarget(0);
    }
};

void tick(benchmark::State& state, bool loaded) {
    Rig rig(loaded);
    for (auto _ : state)
        rig.engine.EngineTick();
}

class MedianReporter : public benchmark::BenchmarkReporter {
public:
    std::map<std::string, double> medians;
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("engine_tick_worst_ns", tick, true)->Repetitions(15)->Unit(benchmark::kNanosecond);
    benchmark::RegisterBenchmark("engine_tick_idle_ns", tick, false)->Repetitions(15)->Unit(benchmark::kNanosecond);
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* name : {"engine_tick_worst_ns", "engine_tick_idle_ns"})
        std::printf("%s: %.0f\n", name, reporter.medians[name]);
    return 0;
}
