#pragma once

// An SDL virtual joystick that a test attaches and moves. SDL's joystick subsystem stays up for as
// long as one exists, so the device outlives the backend under test when the test wants it to.

#include <SDL2/SDL.h>

#include <stdexcept>

namespace vornik::test {

class VirtualJoystick {
public:
    // What kind of device to attach. A game controller gets SDL's standard layout for its button
    // and axis counts: buttons A B X Y Back Guide Start LS RS LB RB Up Down Left Right, axes left
    // X/Y, right X/Y, left and right trigger. A vendor and product make it that product's type.
    struct Kind {
        int buttons = 0;
        int axes = 2;
        int hats = 0;
        const char* name = "Virtual Pad";
        SDL_JoystickType type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        Uint16 vendor = 0;
        Uint16 product = 0;
    };

    // A device of the given name: devices of different names are different kinds (GUIDs) of device.
    explicit VirtualJoystick(int buttons, int axes = 2, int hats = 0, const char* name = "Virtual Pad")
        : VirtualJoystick(Kind{buttons, axes, hats, name}) {}
    explicit VirtualJoystick(const Kind& kind) {
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0)
            throw std::runtime_error(SDL_GetError());
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = static_cast<Uint16>(kind.type);
        desc.naxes = static_cast<Uint16>(kind.axes);
        desc.nbuttons = static_cast<Uint16>(kind.buttons);
        desc.nhats = static_cast<Uint16>(kind.hats);
        desc.name = kind.name;
        desc.vendor_id = kind.vendor;
        desc.product_id = kind.product;
        m_index = SDL_JoystickAttachVirtualEx(&desc);
        if (m_index < 0)
            throw std::runtime_error(SDL_GetError());
        m_joystick = SDL_JoystickOpen(m_index);
        if (m_joystick == nullptr)
            throw std::runtime_error(SDL_GetError());
    }
    ~VirtualJoystick() {
        detach();
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
    VirtualJoystick(const VirtualJoystick&) = delete;
    VirtualJoystick& operator=(const VirtualJoystick&) = delete;

    int deviceIndex() const { return m_index; }
    void setAxis(int axis, Sint16 value) { SDL_JoystickSetVirtualAxis(m_joystick, axis, value); }
    void setButton(int button, bool down) { SDL_JoystickSetVirtualButton(m_joystick, button, down ? 1 : 0); }
    // The first hat, an SDL_HAT_* value.
    void setHat(Uint8 position) { SDL_JoystickSetVirtualHat(m_joystick, 0, position); }
    void centre() {
        setAxis(0, 0);
        setAxis(1, 0);
    }
    // Unplugs the device.
    void detach() {
        if (m_joystick == nullptr)
            return;
        const SDL_JoystickID instance = SDL_JoystickInstanceID(m_joystick);
        SDL_JoystickClose(m_joystick);
        m_joystick = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == instance) {
                SDL_JoystickDetachVirtual(i);
                break;
            }
        }
    }

private:
    int m_index = -1;
    SDL_Joystick* m_joystick = nullptr;
};

} // namespace vornik::test
