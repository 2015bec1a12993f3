// A virtual game controller inside any program that reads pads through SDL, for trying the real
// program by hand where no pad and no /dev/uinput exist:
//
//   mkfifo /tmp/pad; LD_PRELOAD=build/tests/support/libvornik_virtual_pad.so VORNIK_PAD_FIFO=/tmp/pad ./run
//   echo "axis 2 32767" > /tmp/pad      # the right stick to the right
//   echo "button 0 1" > /tmp/pad        # A down
//
// When the program starts SDL's joystick subsystem, a pad with SDL's standard layout (15 buttons, 6
// axes: left X/Y, right X/Y, left and right trigger) is attached, named VORNIK_PAD_NAME or "Virtual
// Controller", of VORNIK_PAD_VENDOR and VORNIK_PAD_PRODUCT (hexadecimal) when set. A thread reads
// the lines "axis N VALUE", "button N 0|1" and "hat N VALUE" from the FIFO.
#include <SDL2/SDL.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

SDL_Joystick* g_pad = nullptr;

Uint16 hexEnv(const char* name) {
    const char* text = std::getenv(name);
    return text != nullptr ? static_cast<Uint16>(std::strtoul(text, nullptr, 16)) : 0;
}

void readCommands(const char* fifo) {
    for (;;) {
        std::FILE* in = std::fopen(fifo, "r");
        if (in == nullptr)
            return;
        char word[16];
        int n = 0, value = 0;
        while (std::fscanf(in, "%15s %d %d", word, &n, &value) == 3) {
            if (std::strcmp(word, "axis") == 0)
                SDL_JoystickSetVirtualAxis(g_pad, n, static_cast<Sint16>(value));
            else if (std::strcmp(word, "button") == 0)
                SDL_JoystickSetVirtualButton(g_pad, n, static_cast<Uint8>(value));
            else if (std::strcmp(word, "hat") == 0)
                SDL_JoystickSetVirtualHat(g_pad, n, static_cast<Uint8>(value));
        }
        std::fclose(in);
    }
}

void attachPad() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = 6;
    desc.nbuttons = 15;
    const char* name = std::getenv("VORNIK_PAD_NAME");
    desc.name = name != nullptr ? name : "Virtual Controller";
    desc.vendor_id = hexEnv("VORNIK_PAD_VENDOR");
    desc.product_id = hexEnv("VORNIK_PAD_PRODUCT");
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0 || (g_pad = SDL_JoystickOpen(index)) == nullptr) {
        std::fprintf(stderr, "virtual pad: %s\n", SDL_GetError());
        return;
    }
    // The triggers at rest.
    SDL_JoystickSetVirtualAxis(g_pad, 4, -32768);
    SDL_JoystickSetVirtualAxis(g_pad, 5, -32768);
    if (const char* fifo = std::getenv("VORNIK_PAD_FIFO"))
        std::thread(readCommands, fifo).detach();
}

} // namespace

extern "C" int SDL_InitSubSystem(Uint32 flags) {
    using Init = int (*)(Uint32);
    static const auto real = reinterpret_cast<Init>(dlsym(RTLD_NEXT, "SDL_InitSubSystem"));
    const int result = real(flags);
    if (result == 0 && g_pad == nullptr && (flags & (SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER)) != 0)
        attachPad();
    return result;
}
