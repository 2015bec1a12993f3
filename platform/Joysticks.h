#pragma once

#include "Tables.h"

#include <array>
#include <cstdint>
#include <string>

namespace vornik {

// Capability record: the part of the system's joystick capabilities the program uses.
struct JoyCapsRecord {
    uint32_t wXmin = 0, wXmax = 0, wYmin = 0, wYmax = 0;
    uint32_t wMaxButtons = 0;
    std::string szPname; // the device's name as the system gives it, UTF-8
    // A pad read through the system's gamepad layout: its family, what each numbered button is,
    // and whether it has the right stick and the triggers (PadInputs). Unknown, none and 0 else.
    PadFamily family = PadFamily::Unknown;
    std::array<PadButton, 32> roles{};
    uint32_t inputs = 0;
};

// The point-of-view hat: hundredths of a degree clockwise from up (0 up, 9000 right, 18000 down,
// 27000 left); kPovCentred, or any value from 36000 up, when the hat is not pressed.
constexpr uint32_t kPovCentred = 0xFFFF;

// The right stick's axes and the triggers always read on 0..65535: the stick centred at kAxisCentre,
// a trigger at rest at 0.
constexpr uint32_t kAxisCentre = 32767;

// One reading: the two stick axes, the 32-bit button mask (bit b-1 = button b held) and the first
// hat (the D-pad on most gamepads; kPovCentred on a joystick that has none; on a pad whose layout
// gives the D-pad as buttons, those buttons as a hat). Then, on a pad that has them, the right
// stick and the two triggers.
struct JoyReading {
    uint32_t dwXpos = 0, dwYpos = 0;
    uint32_t dwButtons = 0;
    uint32_t dwPOV = kPovCentred;
    uint32_t rightX = kAxisCentre, rightY = kAxisCentre;
    uint32_t leftTrigger = 0, rightTrigger = 0;
};

// Joysticks by system id 0..31. Main thread only.
class Joysticks {
public:
    virtual ~Joysticks() = default;
    // Fills `caps` for system id `id`; returns 0 when the joystick exists, else a nonzero error code.
    // Asking for an id that has no joystick yet is how a joystick attached later is found.
    virtual uint32_t getDevCaps(uint32_t id, JoyCapsRecord& caps) = 0;
    // Reads system id `id` into `reading`; returns 0 on success, a nonzero error code when the read fails.
    virtual uint32_t getPosEx(uint32_t id, JoyReading& reading) = 0;

    // A descriptor that becomes readable when a joystick sends input, for the main thread's event
    // loop to watch; -1 when the backend has none, and changes are then seen by the ticks alone.
    virtual int changeDescriptor() { return -1; }
    // Empties the descriptor once it has become readable, without waiting. What changed is read
    // with getPosEx as always.
    virtual void drainChanges() {}
    // True when the change descriptor becomes readable on every input of every open joystick, so
    // nothing can change unannounced; false when any joystick is read by polling alone.
    virtual bool changesAnnounced() { return false; }
    // For joysticks that announce nothing: how often, in ms, they may be read between two ticks to
    // look for a change, so that a press need not wait for the next tick; 0 when they are not.
    virtual uint32_t pollInterval() { return 0; }

    // True when the change descriptor also becomes readable as a joystick is plugged in or out, so
    // new joysticks need not be looked for between two announcements; false when they have to be
    // looked for on a cycle.
    virtual bool devicesAnnounced() { return false; }
    // Whether a joystick has been plugged in or out since the last takeDeviceChanges, leaving that
    // for it to take. Only where devicesAnnounced.
    virtual bool deviceChangesWaiting() { return false; }
    // Whether a joystick has been plugged in or out since the last call; the next call says false
    // until another is. Only where devicesAnnounced.
    virtual bool takeDeviceChanges() { return false; }
};

} // namespace vornik
