#pragma once

// The Windows backend, all four seams wired together for the engine.

#include "Platform.h"
#include "Win32Clock.h"
#include "Win32Joysticks.h"
#include "Win32Keyboard.h"
#include "Win32WindowSystem.h"

namespace vornik {

struct Win32Platform {
    Win32Clock clock;
    Win32Joysticks joysticks;
    Win32Keyboard keyboard;
    Win32WindowSystem windows;
    Platform platform{joysticks, keyboard, windows, clock};
};

} // namespace vornik
