#pragma once

#include "Clock.h"

namespace vornik {

// Sleep and GetTickCount (milliseconds since the system started; wraps after 49.7 days).
class Win32Clock : public Clock {
public:
    void sleep(uint32_t ms) override;
    uint32_t tickCount() override;
};

} // namespace vornik
