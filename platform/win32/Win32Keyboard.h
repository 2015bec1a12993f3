#pragma once

#include "Keyboard.h"

#include <bitset>

namespace vornik {

// The key state from GetAsyncKeyState.
class Win32Keyboard : public Keyboard {
public:
    // The "down" bit of GetAsyncKeyState (0x8000 or 0); 0 for codes outside 0..255.
    int16_t asyncKeyState(int vk) override;
    // The "down" bit, or the lowest bit ("pressed since the previous query"), kept here until this
    // query: any query of a key clears the system's bit, so every query's lowest bit is latched.
    bool pressedSinceLastQuery(int vk) override;
    void forgetPresses() override { m_pressed.reset(); }

private:
    // GetAsyncKeyState(vk), its lowest bit latched.
    int16_t query(int vk);
    std::bitset<256> m_pressed;
};

} // namespace vornik
