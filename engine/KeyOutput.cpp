#include "KeyOutput.h"

#include <algorithm>

namespace vornik {

void KeyOutput::SendBinding(const JoystickBinding& binding, int action, Owner owner) {
    if (action == ActionPress && m_gate && !m_gate())
        return;
    if (binding.BindingKind == BindingKeys) {
        const int32_t keys[3] = {binding.Key1, binding.Key2, binding.Key3};
        const int count = std::clamp(binding.KeyCount, 0, 3);
        for (int i = 0; i < count; ++i) {
            const auto vk = static_cast<uint8_t>(keys[i] & 0xFF);
            if (action == ActionPress && (m_held.holdsKey(vk) || m_keyboard.asyncKeyState(vk) == 0))
                m_held.holdKey(vk, owner);
            else if (action == ActionRelease)
                m_held.releaseKey(vk, owner);
        }
    } else if (binding.BindingKind == BindingMove && action == ActionPress) {
        m_player.PlayMove(binding.Key1, owner.source);
    } else if (binding.BindingKind == BindingPointer) {
        sendPointer(binding.Key1, action, owner);
    }
}

void KeyOutput::sendPointer(int32_t target, int action, Owner owner) {
    if (isWheelTarget(target)) {
        // A notch per press; a release does nothing.
        if (action == ActionPress)
            m_held.output().wheel(target == WheelUp || target == WheelRight ? 1 : -1,
                                  target == WheelLeft || target == WheelRight);
        return;
    }
    PointerButton button = PointerButton::Left;
    switch (target) {
    case PointerMiddle:
        button = PointerButton::Middle;
        break;
    case PointerRight:
        button = PointerButton::Right;
        break;
    case PointerBack:
        button = PointerButton::Back;
        break;
    case PointerForward:
        button = PointerButton::Forward;
        break;
    case PointerLeft:
        break;
    default:
        return;
    }
    if (action == ActionPress)
        m_held.pressButton(button, owner);
    else
        m_held.releaseButton(button, owner);
}

bool KeyOutput::AutoFireStep(const JoystickBinding& binding, FireState& fire, bool held, Owner owner) {
    const int mode = binding.AutoFireMode;
    if (mode == AutoFireAutomatic)
        fire.phase = static_cast<uint8_t>(1 - fire.phase);
    else if (mode == AutoFireWhileHeld)
        fire.phase = held ? 1 : 0;

    if (mode != AutoFireNone) {
        if (fire.countdown >= 2) {
            --fire.countdown;
            return mode == AutoFireAutomatic;
        }
        fire.countdown = binding.AutoFireDelay;
    }

    bool press = false;
    if (mode == AutoFireNone)
        press = held;
    else if (mode == AutoFireAutomatic)
        press = fire.phase == 1;
    else if (mode == AutoFireWhileHeld)
        press = fire.phase == 1 && (m_clock.tickCount() & 1) != 0;
    SendBinding(binding, press ? ActionPress : ActionRelease, owner);
    return mode == AutoFireAutomatic;
}

} // namespace vornik
