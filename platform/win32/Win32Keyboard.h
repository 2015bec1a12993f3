#pragma once

#include "Keyboard.h"

namespace vornik {

// The key state from GetAsyncKeyState.
class Win32Keyboard : public Keyboard {
public:
    // The "down" bit of GetAsyncKeyState (0x8000 or 0); 0 for codes outside 0..255.
    int16_t asyncKeyState(int vk) override;
};

} // namespace vornik
