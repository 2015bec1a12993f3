#include "Win32Keyboard.h"

#include "Win32Api.h"

namespace vornik {

int16_t Win32Keyboard::asyncKeyState(int vk) {
    if (vk < 0 || vk > 255)
        return 0;
    // Only the top bit says "down"; the lowest bit says "pressed since the previous query", which a key
    // that is up again must not count as.
    return static_cast<int16_t>(GetAsyncKeyState(vk) & 0x8000);
}

} // namespace vornik
