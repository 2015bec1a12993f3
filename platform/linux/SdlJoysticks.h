#pragma once

#include "Joysticks.h"

#include <SDL2/SDL_joystick.h>

#include <array>

namespace vornik {

// Joysticks through SDL2's joystick subsystem (no window needed). System ids 0..31 are SDL's device
// indices at construction, in order; devices attached later are not seen, as with the engine's
// start-up detection. A device that disappears fails its reads until one with the same GUID returns.
class SdlJoysticks : public Joysticks {
public:
    static constexpr uint32_t kErrorUnplugged = 167; // the multimedia joystick API's "unplugged" code
    static constexpr uint32_t kErrorBadId = 165;     // its "bad device id" code

    SdlJoysticks();
    ~SdlJoysticks() override;
    SdlJoysticks(const SdlJoysticks&) = delete;
    SdlJoysticks& operator=(const SdlJoysticks&) = delete;

    uint32_t getDevCaps(uint32_t id, JoyCapsRecord& caps) override;
    uint32_t getPosEx(uint32_t id, JoyReading& reading) override;

    // False when SDL's joystick subsystem could not start; then no joystick exists.
    bool available() const { return m_initialised; }
    // How many system ids were filled at start-up.
    int deviceCount() const { return m_count; }

    // SDL's axis value -32768..32767 on the 0..65535 range: -32768 -> 0, 32767 -> 65535.
    static uint32_t axisPosition(int16_t value) { return static_cast<uint32_t>(static_cast<int32_t>(value) + 32768); }

private:
    struct Slot {
        SDL_Joystick* joystick = nullptr;
        SDL_JoystickGUID guid{};
        bool used = false; // the id was filled at start-up
    };
    bool reopen(Slot& slot);

    std::array<Slot, 32> m_slots{};
    int m_count = 0;
    bool m_initialised = false;
};

} // namespace vornik
