#include "SdlJoysticks.h"

#include <SDL2/SDL.h>

#include <algorithm>

namespace vornik {

SdlJoysticks::SdlJoysticks() {
    // Without this hint SDL drops joystick input while another program has the focus, which is
    // exactly when the program is used.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // SDL would take SIGINT and SIGTERM for itself; the program ends on them through its own exit path.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0)
        return;
    m_initialised = true;
    // Readings are polled; queued joystick events would only pile up.
    SDL_JoystickEventState(SDL_IGNORE);
    const int devices = std::min(SDL_NumJoysticks(), static_cast<int>(m_slots.size()));
    for (int index = 0; index < devices; ++index) {
        Slot& slot = m_slots[static_cast<std::size_t>(index)];
        slot.used = true;
        slot.guid = SDL_JoystickGetDeviceGUID(index);
        slot.joystick = SDL_JoystickOpen(index);
    }
    m_count = std::max(devices, 0);
}

SdlJoysticks::~SdlJoysticks() {
    if (!m_initialised)
        return;
    for (Slot& slot : m_slots) {
        if (slot.joystick != nullptr)
            SDL_JoystickClose(slot.joystick);
    }
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

uint32_t SdlJoysticks::getDevCaps(uint32_t id, JoyCapsRecord& caps) {
    if (id >= m_slots.size())
        return kErrorBadId;
    Slot& slot = m_slots[id];
    if (slot.joystick == nullptr || !SDL_JoystickGetAttached(slot.joystick))
        return kErrorUnplugged;
    caps = JoyCapsRecord{};
    caps.wXmax = 65535;
    caps.wYmax = 65535;
    caps.wMaxButtons = static_cast<uint32_t>(std::clamp(SDL_JoystickNumButtons(slot.joystick), 0, 32));
    return 0;
}

uint32_t SdlJoysticks::getPosEx(uint32_t id, JoyReading& reading) {
    if (id >= m_slots.size())
        return kErrorBadId;
    Slot& slot = m_slots[id];
    if (!slot.used)
        return kErrorUnplugged;
    SDL_JoystickUpdate();
    if (slot.joystick == nullptr || !SDL_JoystickGetAttached(slot.joystick)) {
        if (!reopen(slot))
            return kErrorUnplugged;
        SDL_JoystickUpdate();
    }
    reading.dwXpos = axisPosition(SDL_JoystickGetAxis(slot.joystick, 0));
    reading.dwYpos = axisPosition(SDL_JoystickGetAxis(slot.joystick, 1));
    const int buttons = std::clamp(SDL_JoystickNumButtons(slot.joystick), 0, 32);
    uint32_t mask = 0;
    for (int b = 0; b < buttons; ++b) {
        if (SDL_JoystickGetButton(slot.joystick, b) != 0)
            mask |= 1u << b;
    }
    reading.dwButtons = mask;
    return 0;
}

// A device that was unplugged comes back under a new SDL instance: take the first attached device
// with the same GUID that no other id holds.
bool SdlJoysticks::reopen(Slot& slot) {
    if (slot.joystick != nullptr) {
        SDL_JoystickClose(slot.joystick);
        slot.joystick = nullptr;
    }
    const int devices = SDL_NumJoysticks();
    for (int index = 0; index < devices; ++index) {
        const SDL_JoystickGUID guid = SDL_JoystickGetDeviceGUID(index);
        if (SDL_memcmp(&guid, &slot.guid, sizeof guid) != 0)
            continue;
        const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(index);
        const bool taken = std::any_of(m_slots.begin(), m_slots.end(), [instance](const Slot& other) {
            return other.joystick != nullptr && SDL_JoystickInstanceID(other.joystick) == instance;
        });
        if (taken)
            continue;
        slot.joystick = SDL_JoystickOpen(index);
        if (slot.joystick != nullptr)
            return true;
    }
    return false;
}

} // namespace vornik
