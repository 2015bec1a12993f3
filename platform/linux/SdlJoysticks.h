#pragma once

#include "Joysticks.h"

#include <SDL2/SDL_events.h>
#include <SDL2/SDL_gamecontroller.h>
#include <SDL2/SDL_joystick.h>

#include <algorithm>
#include <array>
#include <string>

namespace vornik {

// Joysticks through SDL2's joystick subsystem (no window needed). A pad SDL knows a gamepad layout
// for (its own database, the mappings it makes for most evdev pads, gamecontrollerdb.txt in the
// configuration folder, SDL_GAMECONTROLLERCONFIG) is also opened as a game controller: its buttons
// keep the device's numbers, and the layout adds their names, the right stick, the triggers and a
// D-pad given as buttons. System ids 0..31 are SDL's device indices at construction, in order. A device attached later takes the next free id the next time
// an id is asked for; a device that disappears fails its reads until one with the same GUID returns,
// which takes its old id back.
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
    // One epoll descriptor over a second, read-only descriptor of every open joystick's device node
    // (SDL_JoystickPath): the kernel hands each open descriptor its own copy of the device's events,
    // so it turns readable when the pad sends input while SDL's own reads stay untouched.
    int changeDescriptor() override { return m_epoll; }
    void drainChanges() override;
    // SDL's virtual joysticks have no device node: whoever moves one says so here, which makes the
    // change descriptor readable as a node would.
    void signalVirtualChange();
    // True when every open joystick has its device node watched, or is virtual and its mover has
    // promised (announceVirtualChanges) to call signalVirtualChange on every move.
    bool changesAnnounced() override;
    void announceVirtualChanges(bool promised) { m_virtualAnnounced = promised; }
    // How many open joysticks have a device node watched.
    int watchedNodes() const;

    // Pads plugged in or out come as SDL's device-added and -removed events. SDL notices them in
    // SDL_JoystickUpdate, from udev's announcements or, where udev does not run, the device
    // directory's; the same announcements make the change descriptor readable (a udev monitor socket
    // and an inotify watch of /dev/input in the epoll set), so nobody need look between two of them.
    // SDL's device events wake the program themselves, from whichever thread posts them (a virtual
    // joystick is plugged in by whoever makes it).
    bool devicesAnnounced() override { return m_udevWatch >= 0 || m_nodeWatch >= 0; }
    bool deviceChangesWaiting() override;
    bool takeDeviceChanges() override;

    // False when SDL's joystick subsystem could not start; then no joystick exists.
    bool available() const { return m_initialised; }
    // How many system ids hold a device, or held one before it was unplugged.
    int deviceCount() const { return m_count; }

    // SDL's axis value -32768..32767 on the 0..65535 range: -32768 -> 0, 32767 -> 65535.
    static uint32_t axisPosition(int16_t value) { return static_cast<uint32_t>(static_cast<int32_t>(value) + 32768); }
    // SDL's hat position (SDL_HAT_*) as a point-of-view angle in hundredths of a degree, or kPovCentred.
    static uint32_t povPosition(uint8_t hat);
    // SDL's trigger value 0..32767 on the 0..65535 range.
    static uint32_t triggerPosition(int16_t value) {
        return static_cast<uint32_t>(std::max<int32_t>(value, 0)) * 65535u / 32767u;
    }
    // The file of extra gamepad layouts: gamecontrollerdb.txt in $XDG_CONFIG_HOME/vornik (or
    // ~/.config/vornik).
    static std::string mappingsFile();

private:
    struct Slot {
        SDL_Joystick* joystick = nullptr;
        SDL_JoystickGUID guid{};
        bool used = false; // the id has been given to a device
        int node = -1;     // our own read-only descriptor of its device node, or -1
        bool isVirtual = false;
        SDL_GameController* controller = nullptr; // the same device through its layout, when it has one
        bool dpadButtons = false;                 // the layout gives the D-pad as buttons or axes, not a hat
    };
    // The layouts of the configuration folder's file, then SDL_GAMECONTROLLERCONFIG again, so that
    // what the user sets for one run wins.
    static void loadMappings();
    // Opens device `index` as a game controller beside its joystick when SDL knows its layout.
    static void openController(Slot& slot, int index);
    // SDL 2.26 files the layout it makes up for a pad without maker and product numbers (a virtual
    // pad, for one) under a GUID that its own lookup never matches, so every open and
    // every question about that pad makes and keeps another copy: about a kilobyte each time the pad
    // is plugged in again. The layout is given back to SDL once under the GUID the lookup matches.
    static void keepLayoutFindable(SDL_GameController* pad, const SDL_JoystickGUID& guid);
    static void closeDevice(Slot& slot);
    // The family, button roles and inputs of a pad with a layout.
    static void padCaps(const Slot& slot, JoyCapsRecord& caps);
    // The right stick, the triggers, and a D-pad given as buttons, of a pad with a layout.
    static void readPad(const Slot& slot, JoyReading& reading);
    void watchNode(Slot& slot);
    void unwatchNode(Slot& slot);
    bool attached(const Slot& slot) const;
    void takeNewDevices();
    bool held(SDL_JoystickID instance) const;
    // Discovery: SDL's device events on, and the system's announcements watched.
    void watchDevices();
    void unwatchDevices();
    // Empties `fd` if it is one of the announcements' descriptors; false for any other descriptor.
    bool drainDeviceWatch(int fd);
    // Arms the timer that asks SDL again while an announced pad has not come from it (disarms it
    // when none is awaited).
    void lookAgainSoon();
    // SDL's event watch: makes the change descriptor readable for every device event SDL posts.
    static int onSdlEvent(void* joysticks, SDL_Event* event);

    std::array<Slot, 32> m_slots{};
    int m_count = 0;
    bool m_initialised = false;
    int m_epoll = -1;
    int m_virtualChange = -1; // an eventfd in the epoll set
    bool m_virtualAnnounced = false;
    int m_udevWatch = -1;         // a netlink socket on udev's announcements, or -1
    int m_nodeWatch = -1;         // an inotify descriptor watching /dev/input, or -1
    int m_lookAgain = -1;          // a timerfd in the epoll set: ask SDL again, or -1
    int m_looksLeft = 0;           // how many more times to ask SDL for an announced event node
    bool m_lookArmed = false;      // the timer is set
    static constexpr int kLooksAfterAnnouncement = 40;
    static constexpr long kLookAgainMs = 25;
    bool m_devicesStirred = false; // an announcement came that SDL has not looked at yet
    bool m_devicesChanged = false; // SDL has told of a pad plugged in or out, not yet taken
};

} // namespace vornik
