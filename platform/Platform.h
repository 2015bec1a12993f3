#pragma once

#include "Clock.h"
#include "Joysticks.h"
#include "Keyboard.h"
#include "Output.h"
#include "WindowSystem.h"

namespace vornik {

// The platform seams the engine works through. One backend fills them (fake, linux or win32); the
// output is the one chosen among the backend's (NativePlatform::chooseOutput).
struct Platform {
    Joysticks& joysticks;
    Keyboard& keyboard;
    Output& output;
    WindowSystem& windows;
    Clock& clock;
};

} // namespace vornik
