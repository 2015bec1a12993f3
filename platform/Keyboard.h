#pragma once

#include <cstdint>

namespace vornik {

// The system-wide key state, by virtual-key code, and its announcements. What the program sends goes
// through Output. Main thread only.
class Keyboard {
public:
    virtual ~Keyboard() = default;
    // Key state of `vk`: nonzero when the key is down (by anyone), 0 when it is up.
    virtual int16_t asyncKeyState(int vk) = 0;
    // The key query of the keyboard bindings: true when `vk` is down now or went down since the last
    // such query for it, so a key pressed and let go between two queries counts once. Default: whether
    // it is down now.
    virtual bool pressedSinceLastQuery(int vk) { return asyncKeyState(vk) != 0; }
    // Forgets the presses pressedSinceLastQuery would count: those made while nobody asked.
    virtual void forgetPresses() {}

    // A descriptor that becomes readable when a key goes down or up (anyone's), for the main
    // thread's event loop to watch; -1 when the backend has none, and key changes are then seen
    // only by reading the state.
    virtual int changeDescriptor() { return -1; }
    // Handles whatever has arrived for the backend, without waiting; true when anything a tick acts
    // on had. The state read afterwards includes it.
    virtual bool takeChanges() { return false; }
};

} // namespace vornik
