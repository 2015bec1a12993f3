#pragma once

#include "Clock.h"
#include "Joysticks.h"
#include "Keyboard.h"
#include "WindowSystem.h"

namespace vornik {

// The platform seams the engine works through. One backend fills them (fake, linux or win32).
struct Platform {
    Joysticks& joysticks;
    Keyboard& keyboard;
    WindowSystem& windows;
    Clock& clock;
};

} // namespace vornik
