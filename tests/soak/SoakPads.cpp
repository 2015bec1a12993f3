// Virtual pads for the soak run, plugged into the real program: this library is preloaded into it
// (LD_PRELOAD) and, once the program's SDL joystick subsystem is up, attaches, moves and unplugs SDL
// virtual joysticks as the driver asks. The program sees them as it sees pads plugged in by hand.
//
// The driver writes one command a line into the FIFO named by VORNIK_SOAK_PADS:
//   attach SLOT joystick|controller     detach SLOT
//   button SLOT N 0|1    axis SLOT N VALUE    hat SLOT VALUE    centre SLOT
// SLOT is 0..7. A "joystick" has 12 buttons, 2 axes and a hat; a "controller" gets SDL's standard
// game-controller mapping (15 buttons, 6 axes). Unknown lines are ignored. With VORNIK_SOAK_PADS_TIMES
// set, each button change is written to that file with its CLOCK_MONOTONIC time in microseconds.

#include <SDL2/SDL.h>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>

namespace {

struct Pad {
    SDL_Joystick* joystick = nullptr;
    int axes = 0;
};

std::array<Pad, 8> pads;

void attach(int slot, const std::string& kind) {
    Pad& pad = pads[slot];
    if (pad.joystick != nullptr)
        return;
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    if (kind == "controller") {
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = 15;
        desc.name = "Soak Controller";
    } else {
        desc.naxes = 2;
        desc.nbuttons = 12;
        desc.nhats = 1;
        desc.name = "Soak Joystick";
    }
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) {
        std::fprintf(stderr, "soak pads: attach failed: %s\n", SDL_GetError());
        return;
    }
    pad.joystick = SDL_JoystickOpen(index);
    pad.axes = desc.naxes;
    // A trigger rests at the low end of its travel.
    if (kind == "controller" && pad.joystick != nullptr) {
        SDL_JoystickSetVirtualAxis(pad.joystick, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
        SDL_JoystickSetVirtualAxis(pad.joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    }
}

void detach(int slot) {
    Pad& pad = pads[slot];
    if (pad.joystick == nullptr)
        return;
    const SDL_JoystickID instance = SDL_JoystickInstanceID(pad.joystick);
    SDL_JoystickClose(pad.joystick);
    pad = Pad{};
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == instance) {
            SDL_JoystickDetachVirtual(i);
            return;
        }
    }
}

void centre(int slot) {
    Pad& pad = pads[slot];
    if (pad.joystick == nullptr)
        return;
    for (int b = 0; b < SDL_JoystickNumButtons(pad.joystick); ++b)
        SDL_JoystickSetVirtualButton(pad.joystick, b, 0);
    for (int a = 0; a < pad.axes; ++a) {
        const bool trigger = pad.axes > 2 && (a == SDL_CONTROLLER_AXIS_TRIGGERLEFT || a == SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
        SDL_JoystickSetVirtualAxis(pad.joystick, a, trigger ? -32768 : 0);
    }
    if (SDL_JoystickNumHats(pad.joystick) > 0)
        SDL_JoystickSetVirtualHat(pad.joystick, 0, SDL_HAT_CENTERED);
}

void run(const char* fifo) {
    // The pads go in only once the program has started the joystick subsystem with its own settings;
    // the reference taken here keeps the devices valid until the process ends.
    while (SDL_WasInit(SDL_INIT_JOYSTICK) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    SDL_InitSubSystem(SDL_INIT_JOYSTICK);
    FILE* in = std::fopen(fifo, "r");
    if (in == nullptr) {
        std::fprintf(stderr, "soak pads: cannot open %s\n", fifo);
        return;
    }
    // For the benchmarks: each button change with the CLOCK_MONOTONIC time it went into SDL.
    FILE* times = nullptr;
    if (const char* path = std::getenv("VORNIK_SOAK_PADS_TIMES"); path != nullptr && *path != '\0')
        times = std::fopen(path, "w");
    char line[256];
    while (std::fgets(line, sizeof line, in) != nullptr) {
        std::istringstream words(line);
        std::string command, kind;
        int slot = -1, n = 0, value = 0;
        words >> command >> slot;
        if (slot < 0 || slot >= static_cast<int>(pads.size()))
            continue;
        Pad& pad = pads[slot];
        if (command == "attach" && words >> kind)
            attach(slot, kind);
        else if (command == "detach")
            detach(slot);
        else if (command == "centre")
            centre(slot);
        else if (pad.joystick == nullptr)
            continue;
        else if (command == "button" && words >> n >> value) {
            SDL_JoystickSetVirtualButton(pad.joystick, n, static_cast<Uint8>(value));
            if (times != nullptr) {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::fprintf(times, "button %d %d %d %lld\n", slot, n, value,
                             static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000);
                std::fflush(times);
            }
        }
        else if (command == "axis" && words >> n >> value)
            SDL_JoystickSetVirtualAxis(pad.joystick, n, static_cast<Sint16>(value));
        else if (command == "hat" && words >> value)
            SDL_JoystickSetVirtualHat(pad.joystick, 0, static_cast<Uint8>(value));
    }
    std::fclose(in);
    if (times != nullptr)
        std::fclose(times);
}

struct Start {
    Start() {
        const char* fifo = std::getenv("VORNIK_SOAK_PADS");
        if (fifo == nullptr || *fifo == '\0')
            return;
        std::thread(run, fifo).detach();
    }
} start;

} // namespace
