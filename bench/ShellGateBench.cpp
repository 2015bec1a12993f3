// What the press gate costs on Plasma and GNOME: the round trip into the shell Vornik makes before each
// key-down (KWin: a ping answered from KWin's main thread; GNOME Shell: the extension's GetWindows),
// here against the shells' stand-ins on a private session bus (bench/run wayland). Prints
// shell_kwin_gate_p50_ms, _p99_ms and shell_gnome_gate_p50_ms, _p99_ms.
#include "Percentile.h"
#include "ShellStandIn.h"
#include "ShellWindows.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

using namespace vornik;

namespace {
bool measure(const std::string& shell, int rounds) {
    ShellStandIn standIn(VORNIK_SOURCE_DIR, shell, "/tmp/vornik-shell-bench-" + shell + ".log");
    for (int i = 0; i < 200 && !standIn.printed("ready"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    // A desktop of twenty windows, one of them in front.
    for (int w = 1; w <= 20; ++w)
        standIn.say("window\t" + std::to_string(w) + "\tWindow " + std::to_string(w) + "\tprogram" + std::to_string(w) +
                    "\t0\t" + (w % 2 == 0 ? "1" : "0"));
    standIn.say("activate\t7");
    std::unique_ptr<ShellWindows> windows = ShellWindows::open(VORNIK_SOURCE_DIR "/platform/wayland/shells/kwin/vornik-windows.js");
    for (int i = 0; i < 200 && windows && windows->activated() == nullptr; ++i) {
        windows->dispatch();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!windows || windows->activated() == nullptr) {
        std::fprintf(stderr, "shell bench: the %s stand-in told nothing: %s\n", shell.c_str(),
                     windows ? windows->unseenReason().c_str() : "no shell on the bus");
        return false;
    }
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        windows->roundTrip();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    const std::string name = shell == "gnome" ? "gnome" : "kwin";
    std::printf("shell_%s_gate_p50_ms: %.3f\nshell_%s_gate_p99_ms: %.3f\n", name.c_str(), percentile(ms, 0.5),
                name.c_str(), percentile(ms, 0.99));
    return true;
}
} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 500;
    if (!ShellStandIn::available()) {
        std::fprintf(stderr, "shell bench: needs gjs\n");
        return 1;
    }
    bool ok = true;
    for (const char* shell : {"kwin6", "gnome"}) {
        PrivateSessionBus bus;
        ok = measure(shell, rounds) && ok;
    }
    return ok ? 0 : 1;
}
