#include "Win32Clock.h"

#include "Win32Api.h"

namespace vornik {

void Win32Clock::sleep(uint32_t ms) {
    Sleep(ms);
}

uint32_t Win32Clock::tickCount() {
    return GetTickCount();
}

} // namespace vornik
