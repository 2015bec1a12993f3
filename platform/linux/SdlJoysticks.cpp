#include "SdlJoysticks.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <linux/netlink.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace vornik {

SdlJoysticks::SdlJoysticks() {
    m_epoll = ::epoll_create1(EPOLL_CLOEXEC);
    m_virtualChange = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_epoll >= 0 && m_virtualChange >= 0) {
        epoll_event watch{};
        watch.events = EPOLLIN;
        watch.data.fd = m_virtualChange;
        ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_virtualChange, &watch);
    }
    // Without this hint SDL drops joystick input while another program has the focus, which is
    // exactly when the program is used.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // SDL would take SIGINT and SIGTERM for itself; the program ends on them through its own exit path.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A Nintendo pad's A is the button labelled A, so that the name shown is the one printed on it.
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "1");
    // The game-controller subsystem brings the joystick subsystem with it.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        return;
    m_initialised = true;
    // Readings are polled; of the joystick events only the devices plugged in and out are queued.
    SDL_JoystickEventState(SDL_IGNORE);
    watchDevices();
    SDL_GameControllerEventState(SDL_IGNORE);
    loadMappings();
    takeNewDevices();
}

SdlJoysticks::~SdlJoysticks() {
    for (Slot& slot : m_slots)
        unwatchNode(slot);
    unwatchDevices();
    for (int fd : {m_virtualChange, m_epoll}) {
        if (fd >= 0)
            ::close(fd);
    }
    if (!m_initialised)
        return;
    for (Slot& slot : m_slots)
        closeDevice(slot);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

std::string SdlJoysticks::mappingsFile() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home != nullptr ? home : "") + "/.config";
    }
    return folder + "/vornik/gamecontrollerdb.txt";
}

void SdlJoysticks::loadMappings() {
    if (SDL_RWops* file = SDL_RWFromFile(mappingsFile().c_str(), "rb"))
        SDL_GameControllerAddMappingsFromRW(file, 1);
    if (const char* own = std::getenv("SDL_GAMECONTROLLERCONFIG"); own != nullptr && own[0] != '\0') {
        if (SDL_RWops* text = SDL_RWFromConstMem(own, static_cast<int>(std::strlen(own))))
            SDL_GameControllerAddMappingsFromRW(text, 1);
    }
}

void SdlJoysticks::openController(Slot& slot, int index) {
    if (SDL_IsGameController(index) != SDL_TRUE)
        return;
    slot.controller = SDL_GameControllerOpen(index);
    if (slot.controller == nullptr)
        return;
    keepLayoutFindable(slot.controller, slot.guid);
    const SDL_GameControllerButtonBind up = SDL_GameControllerGetBindForButton(slot.controller, SDL_CONTROLLER_BUTTON_DPAD_UP);
    slot.dpadButtons = up.bindType == SDL_CONTROLLER_BINDTYPE_BUTTON || up.bindType == SDL_CONTROLLER_BINDTYPE_AXIS;
}

void SdlJoysticks::keepLayoutFindable(SDL_GameController* pad, const SDL_JoystickGUID& guid) {
    if (char* found = SDL_GameControllerMappingForGUID(guid)) {
        SDL_free(found);
        return;
    }
    char* made = SDL_GameControllerMapping(pad);
    if (made == nullptr)
        return;
    // "GUID,name,bindings": the lookup compares GUIDs with their bytes 2 and 3 (the name's
    // checksum) cleared, so the copy is filed that way.
    std::string layout(made);
    SDL_free(made);
    constexpr std::size_t kGuidChars = 32;
    if (layout.size() <= kGuidChars || layout[kGuidChars] != ',')
        return;
    layout.replace(4, 4, "0000");
    SDL_GameControllerAddMapping(layout.c_str());
}

void SdlJoysticks::closeDevice(Slot& slot) {
    if (slot.controller != nullptr)
        SDL_GameControllerClose(slot.controller);
    if (slot.joystick != nullptr)
        SDL_JoystickClose(slot.joystick);
    slot.controller = nullptr;
    slot.joystick = nullptr;
}

void SdlJoysticks::padCaps(const Slot& slot, JoyCapsRecord& caps) {
    SDL_GameController* pad = slot.controller;
    if (pad == nullptr)
        return;
    switch (SDL_GameControllerGetType(pad)) {
    case SDL_CONTROLLER_TYPE_PS3:
    case SDL_CONTROLLER_TYPE_PS4:
    case SDL_CONTROLLER_TYPE_PS5:
        caps.family = PadFamily::PlayStation;
        break;
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO:
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_LEFT:
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_RIGHT:
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_PAIR:
        caps.family = PadFamily::Nintendo;
        break;
    default:
        // SDL's layout is the Xbox pad's, and so are its names on every other pad.
        caps.family = PadFamily::Xbox;
        break;
    }
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
        const SDL_GameControllerButtonBind bind =
            SDL_GameControllerGetBindForButton(pad, static_cast<SDL_GameControllerButton>(b));
        if (bind.bindType == SDL_CONTROLLER_BINDTYPE_BUTTON && bind.value.button >= 0 && bind.value.button < 32)
            caps.roles[static_cast<std::size_t>(bind.value.button)] = static_cast<PadButton>(b + 1);
    }
    const auto has = [pad](SDL_GameControllerAxis axis) { return SDL_GameControllerHasAxis(pad, axis) == SDL_TRUE; };
    if (has(SDL_CONTROLLER_AXIS_RIGHTX) && has(SDL_CONTROLLER_AXIS_RIGHTY))
        caps.inputs |= PadHasRightStick;
    if (has(SDL_CONTROLLER_AXIS_TRIGGERLEFT))
        caps.inputs |= PadHasLeftTrigger;
    if (has(SDL_CONTROLLER_AXIS_TRIGGERRIGHT))
        caps.inputs |= PadHasRightTrigger;
}

void SdlJoysticks::readPad(const Slot& slot, JoyReading& reading) {
    SDL_GameController* pad = slot.controller;
    if (pad == nullptr)
        return;
    reading.rightX = axisPosition(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX));
    reading.rightY = axisPosition(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY));
    reading.leftTrigger = triggerPosition(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
    reading.rightTrigger = triggerPosition(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
    // A D-pad the layout gives as buttons counts as the hat does, while the hat itself is centred.
    if (!slot.dpadButtons || reading.dwPOV != kPovCentred)
        return;
    const auto held = [pad](SDL_GameControllerButton b) { return SDL_GameControllerGetButton(pad, b) != 0; };
    uint8_t hat = SDL_HAT_CENTERED;
    if (held(SDL_CONTROLLER_BUTTON_DPAD_UP))
        hat |= SDL_HAT_UP;
    else if (held(SDL_CONTROLLER_BUTTON_DPAD_DOWN))
        hat |= SDL_HAT_DOWN;
    if (held(SDL_CONTROLLER_BUTTON_DPAD_LEFT))
        hat |= SDL_HAT_LEFT;
    else if (held(SDL_CONTROLLER_BUTTON_DPAD_RIGHT))
        hat |= SDL_HAT_RIGHT;
    reading.dwPOV = povPosition(hat);
}

void SdlJoysticks::watchNode(Slot& slot) {
    const char* path = SDL_JoystickPath(slot.joystick);
    if (m_epoll < 0 || path == nullptr || std::strncmp(path, "/dev/", 5) != 0)
        return;
    slot.node = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (slot.node < 0)
        return;
    epoll_event watch{};
    watch.events = EPOLLIN;
    watch.data.fd = slot.node;
    if (::epoll_ctl(m_epoll, EPOLL_CTL_ADD, slot.node, &watch) != 0) {
        ::close(slot.node);
        slot.node = -1;
    }
}

void SdlJoysticks::unwatchNode(Slot& slot) {
    if (slot.node < 0)
        return;
    ::epoll_ctl(m_epoll, EPOLL_CTL_DEL, slot.node, nullptr);
    ::close(slot.node);
    slot.node = -1;
}

int SdlJoysticks::watchedNodes() const {
    return static_cast<int>(std::count_if(m_slots.begin(), m_slots.end(), [](const Slot& s) { return s.node >= 0; }));
}

bool SdlJoysticks::changesAnnounced() {
    if (m_epoll < 0)
        return false;
    return std::all_of(m_slots.begin(), m_slots.end(), [this](const Slot& s) {
        if (!attached(s) || s.node >= 0)
            return true;
        return m_virtualAnnounced && s.isVirtual;
    });
}

void SdlJoysticks::signalVirtualChange() {
    if (m_virtualChange >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_virtualChange, &one, sizeof one);
    }
}

void SdlJoysticks::drainChanges() {
    if (m_epoll < 0)
        return;
    epoll_event ready[8];
    const int count = ::epoll_wait(m_epoll, ready, 8, 0);
    for (int i = 0; i < count; ++i) {
        const int fd = ready[i].data.fd;
        if (drainDeviceWatch(fd))
            continue;
        char buffer[1024]; // whole input_event records: 42 of 24 bytes
        ssize_t got = 0;
        while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
        }
        // An unplugged device's node stays readable with an error for ever: stop watching it.
        if (got < 0 && errno != EAGAIN && errno != EINTR) {
            for (Slot& slot : m_slots) {
                if (slot.node == fd)
                    unwatchNode(slot);
            }
        }
    }
}

void SdlJoysticks::watchDevices() {
    if (!m_initialised || m_epoll < 0)
        return;
    SDL_EventState(SDL_JOYDEVICEADDED, SDL_ENABLE);
    SDL_EventState(SDL_JOYDEVICEREMOVED, SDL_ENABLE);
    SDL_AddEventWatch(&SdlJoysticks::onSdlEvent, this);
    // udev's announcements, sent once a device is set up: the group its monitors listen to (2).
    m_udevWatch = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
    if (m_udevWatch >= 0) {
        sockaddr_nl address{};
        address.nl_family = AF_NETLINK;
        address.nl_groups = 2;
        if (::bind(m_udevWatch, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            ::close(m_udevWatch);
            m_udevWatch = -1;
        }
    }
    // The device directory, which SDL watches itself where udev does not run.
    m_nodeWatch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_nodeWatch >= 0 &&
        ::inotify_add_watch(m_nodeWatch, "/dev/input", IN_CREATE | IN_DELETE | IN_MOVE | IN_ATTRIB) < 0) {
        ::close(m_nodeWatch);
        m_nodeWatch = -1;
    }
    // SDL, asked at once after udev's announcement of a new event node, may not yet tell of the pad
    // (half the time in the lab's guest): until it has, it is asked again on a short timer, armed
    // only then.
    if (m_udevWatch >= 0)
        m_lookAgain = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    for (int* fd : {&m_udevWatch, &m_nodeWatch, &m_lookAgain}) {
        if (*fd < 0)
            continue;
        epoll_event watch{};
        watch.events = EPOLLIN;
        watch.data.fd = *fd;
        if (::epoll_ctl(m_epoll, EPOLL_CTL_ADD, *fd, &watch) != 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

int SdlJoysticks::onSdlEvent(void* joysticks, SDL_Event* event) {
    if (event->type == SDL_JOYDEVICEADDED || event->type == SDL_JOYDEVICEREMOVED)
        static_cast<SdlJoysticks*>(joysticks)->signalVirtualChange(); // an eventfd write: any thread
    return 0;
}

void SdlJoysticks::unwatchDevices() {
    if (m_initialised && m_epoll >= 0)
        SDL_DelEventWatch(&SdlJoysticks::onSdlEvent, this);
    for (int fd : {m_udevWatch, m_nodeWatch, m_lookAgain}) {
        if (fd >= 0)
            ::close(fd);
    }
    m_udevWatch = m_nodeWatch = m_lookAgain = -1;
}

bool SdlJoysticks::drainDeviceWatch(int fd) {
    if (fd < 0 || (fd != m_udevWatch && fd != m_nodeWatch && fd != m_lookAgain))
        return false;
    if (fd == m_lookAgain) {
        uint64_t expirations = 0;
        [[maybe_unused]] const ssize_t got = ::read(fd, &expirations, sizeof expirations);
        m_devicesStirred = true;
        return true;
    }
    alignas(inotify_event) char buffer[8192];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
        // udev announces every kind of device; only input devices and HID nodes can be pads.
        const auto size = static_cast<std::size_t>(got);
        if (fd == m_nodeWatch || ::memmem(buffer, size, "SUBSYSTEM=input", 16) != nullptr ||
            ::memmem(buffer, size, "SUBSYSTEM=hidraw", 17) != nullptr)
            m_devicesStirred = true;
        // An event node set up: SDL is asked until it tells of a pad, or for about a second.
        if (fd == m_udevWatch && ::memmem(buffer, size, "ACTION=add", 11) != nullptr &&
            ::memmem(buffer, size, "DEVNAME=/dev/input/event", 24) != nullptr)
            m_looksLeft = kLooksAfterAnnouncement;
    }
    return true;
}

void SdlJoysticks::lookAgainSoon() {
    // No system call on the ticks' usual path, where nothing is awaited and the timer is off.
    if (m_lookAgain < 0 || (m_looksLeft == 0 && !m_lookArmed))
        return;
    itimerspec due{};
    due.it_value.tv_nsec = (m_looksLeft > 0 ? kLookAgainMs : 0) * 1000000L;
    ::timerfd_settime(m_lookAgain, 0, &due, nullptr);
    m_lookArmed = m_looksLeft > 0;
}

bool SdlJoysticks::deviceChangesWaiting() {
    if (!m_initialised)
        return false;
    // SDL reads the system's announcements itself when its joysticks are updated.
    if (std::exchange(m_devicesStirred, false))
        SDL_JoystickUpdate();
    SDL_Event events[8];
    int got = 0;
    while ((got = SDL_PeepEvents(events, 8, SDL_GETEVENT, SDL_JOYDEVICEADDED, SDL_JOYDEVICEREMOVED)) > 0) {
        m_devicesChanged = true;
        for (int i = 0; i < got; ++i) {
            if (events[i].type == SDL_JOYDEVICEADDED)
                m_looksLeft = 0;
        }
    }
    if (m_looksLeft > 0)
        --m_looksLeft;
    lookAgainSoon();
    return m_devicesChanged;
}

bool SdlJoysticks::takeDeviceChanges() {
    deviceChangesWaiting();
    return std::exchange(m_devicesChanged, false);
}

uint32_t SdlJoysticks::povPosition(uint8_t hat) {
    switch (hat) {
    case SDL_HAT_UP:
        return 0;
    case SDL_HAT_RIGHTUP:
        return 4500;
    case SDL_HAT_RIGHT:
        return 9000;
    case SDL_HAT_RIGHTDOWN:
        return 13500;
    case SDL_HAT_DOWN:
        return 18000;
    case SDL_HAT_LEFTDOWN:
        return 22500;
    case SDL_HAT_LEFT:
        return 27000;
    case SDL_HAT_LEFTUP:
        return 31500;
    default:
        return kPovCentred;
    }
}

bool SdlJoysticks::attached(const Slot& slot) const {
    return slot.joystick != nullptr && SDL_JoystickGetAttached(slot.joystick);
}

bool SdlJoysticks::held(SDL_JoystickID instance) const {
    return std::any_of(m_slots.begin(), m_slots.end(), [instance](const Slot& slot) {
        return slot.joystick != nullptr && SDL_JoystickInstanceID(slot.joystick) == instance;
    });
}

// Gives every device SDL lists that no id holds an id: a device that was unplugged comes back
// under a new SDL instance and takes back the id of the first unplugged device with its GUID;
// any other device takes the next free id.
void SdlJoysticks::takeNewDevices() {
    if (!m_initialised)
        return;
    SDL_JoystickUpdate(); // SDL notices devices attached and removed here
    const int devices = SDL_NumJoysticks();
    for (int index = 0; index < devices; ++index) {
        if (held(SDL_JoystickGetDeviceInstanceID(index)))
            continue;
        const SDL_JoystickGUID guid = SDL_JoystickGetDeviceGUID(index);
        auto slot = std::find_if(m_slots.begin(), m_slots.end(), [this, &guid](const Slot& s) {
            return s.used && !attached(s) && SDL_memcmp(&s.guid, &guid, sizeof guid) == 0;
        });
        if (slot == m_slots.end())
            slot = std::find_if(m_slots.begin(), m_slots.end(), [](const Slot& s) { return !s.used; });
        if (slot == m_slots.end())
            continue; // every id is taken
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        if (joystick == nullptr)
            continue;
        unwatchNode(*slot);
        closeDevice(*slot);
        *slot = Slot{joystick, guid, true, -1, SDL_JoystickIsVirtual(index) == SDL_TRUE};
        openController(*slot, index);
        watchNode(*slot);
        m_count = std::max(m_count, static_cast<int>(slot - m_slots.begin()) + 1);
    }
}

uint32_t SdlJoysticks::getDevCaps(uint32_t id, JoyCapsRecord& caps) {
    if (id >= m_slots.size())
        return kErrorBadId;
    takeNewDevices();
    const Slot& slot = m_slots[id];
    if (!attached(slot))
        return kErrorUnplugged;
    caps = JoyCapsRecord{};
    caps.wXmax = 65535;
    caps.wYmax = 65535;
    caps.wMaxButtons = static_cast<uint32_t>(std::clamp(SDL_JoystickNumButtons(slot.joystick), 0, 32));
    const char* name = SDL_JoystickName(slot.joystick);
    caps.szPname = name != nullptr ? name : "";
    padCaps(slot, caps);
    return 0;
}

uint32_t SdlJoysticks::getPosEx(uint32_t id, JoyReading& reading) {
    if (id >= m_slots.size())
        return kErrorBadId;
    const Slot& slot = m_slots[id];
    if (!slot.used)
        return kErrorUnplugged;
    SDL_JoystickUpdate();
    if (!attached(slot)) {
        takeNewDevices();
        if (!attached(slot))
            return kErrorUnplugged;
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
    reading.dwPOV =
        SDL_JoystickNumHats(slot.joystick) > 0 ? povPosition(SDL_JoystickGetHat(slot.joystick, 0)) : kPovCentred;
    reading.rightX = reading.rightY = kAxisCentre;
    reading.leftTrigger = reading.rightTrigger = 0;
    readPad(slot, reading);
    return 0;
}

} // namespace vornik
