// Preloaded into the program by bench/AppBench.sh (LD_PRELOAD): one pad, an SDL virtual joystick
// attached as the program starts SDL's joystick subsystem, so the program starts with a pad and its
// page as a player's would. A virtual joystick has no device node; the one SDL_JoystickPath names for
// it here is the FIFO in VORNIK_BENCH_PAD_NODE, which the script holds open and never writes, so the
// program watches it as it watches a real, untouched pad's node and may rest.
#include <SDL2/SDL.h>

#include <dlfcn.h>

#include <cstdlib>

namespace {
template <class Function> Function real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}
SDL_JoystickID g_pad = -1;
} // namespace

extern "C" int SDL_InitSubSystem(Uint32 flags) {
    static const auto init = real<int (*)(Uint32)>("SDL_InitSubSystem");
    const int result = init(flags);
    if (result == 0 && (flags & SDL_INIT_JOYSTICK) != 0 && g_pad < 0) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = 2;
        desc.nbuttons = 12;
        desc.nhats = 1;
        desc.name = "Bench Pad";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        if (index >= 0)
            g_pad = SDL_JoystickGetDeviceInstanceID(index);
    }
    return result;
}

extern "C" const char* SDL_JoystickPath(SDL_Joystick* joystick) {
    static const auto path = real<const char* (*)(SDL_Joystick*)>("SDL_JoystickPath");
    const char* node = std::getenv("VORNIK_BENCH_PAD_NODE");
    if (node != nullptr && joystick != nullptr && SDL_JoystickInstanceID(joystick) == g_pad)
        return node;
    return path(joystick);
}
