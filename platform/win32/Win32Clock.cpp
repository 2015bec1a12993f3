#include "Win32Clock.h"

#include "Win32Api.h"

namespace vornik {

Win32Clock::Win32Clock() {
    LARGE_INTEGER frequency{};
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0)
        m_frequency = frequency.QuadPart;
}

void Win32Clock::sleep(uint32_t ms) {
    Sleep(ms);
}

uint32_t Win32Clock::tickCount() {
    LARGE_INTEGER counter{};
    if (m_frequency == 0 || !QueryPerformanceCounter(&counter))
        return GetTickCount();
    // Whole seconds and the rest apart, so that the product cannot overflow after a long uptime.
    const int64_t seconds = counter.QuadPart / m_frequency;
    const int64_t rest = counter.QuadPart % m_frequency;
    return static_cast<uint32_t>(seconds * 1000 + rest * 1000 / m_frequency);
}

} // namespace vornik
