#pragma once

#include <array>
#include <cstdint>

namespace vornik {

// Which XInput user slot each winmm joystick that is an XInput pad is read through. winmm and XInput
// number the same pads each in their own way (winmm by its list of devices, XInput by the order the
// pads were plugged in), and nothing but the pads' own identity and input ties the two together. A
// joystick is bound to its slot once, when its page is made, and keeps it: when that pad goes, the
// slot stops answering and the joystick is lost with it, whatever the other slots hold. No
// <windows.h>: the backend fills in what the system says.
class XInputSlots {
public:
    static constexpr int kUsers = 4;
    static constexpr uint32_t kJoysticks = 32;
    // One XInput user slot as the system gives it now: whether a pad answers there, its maker and
    // product (vendor << 16 | product; 0 where the system does not say) and its face buttons and
    // shoulders as winmm numbers them (bits 0..5: A, B, X, Y, LB, RB).
    struct User {
        bool connected = false;
        uint32_t product = 0;
        uint32_t faceButtons = 0;
    };
    using Users = std::array<User, kUsers>;
    static constexpr uint32_t kFaceButtons = 0x3F;

    // Joystick `id`, found as an XInput pad of `product` (0 unknown): the slot it is read through from
    // now on. One it holds already stays its own; else a connected slot that no joystick holds, of
    // its product where the system says, the lowest first. -1 when there is none.
    int bind(uint32_t id, uint32_t product, const Users& users);
    // Joystick `id` is no longer listed: its slot is free for another.
    void release(uint32_t id);
    // The slot of joystick `id`; -1 when it has none.
    int user(uint32_t id) const { return id < kJoysticks ? m_user[id] : -1; }
    // Whether a press has settled joystick `id`'s slot (confirmPress).
    bool settled(uint32_t id) const { return id < kJoysticks && m_settled[id]; }

    // A press seen on joystick `id`: `winmmButtons` as winmm reads the joystick, `users` as XInput
    // reads every slot at the same moment. The first press that tells settles the joystick's slot for
    // good: when the face buttons winmm gives are its slot's alone, the pairing stands; when they are
    // not its slot's but those of exactly one other connected slot, the two were paired the wrong way
    // round (the systems listed the pads in other orders): the joystick takes that slot, and the
    // joystick that held it, unless settled already, takes the joystick's. A settled joystick never
    // changes slots again, so its page never swaps (Wine renumbers winmm's joysticks when one goes).
    // Whether the slots changed hands.
    bool confirmPress(uint32_t id, uint32_t winmmButtons, const Users& users);

private:
    std::array<int, kJoysticks> m_user = filled();
    std::array<bool, kJoysticks> m_settled{};
    static std::array<int, kJoysticks> filled() {
        std::array<int, kJoysticks> users{};
        users.fill(-1);
        return users;
    }
};

} // namespace vornik
