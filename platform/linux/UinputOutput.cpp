#include "UinputOutput.h"

#include "DesktopOutput.h"
#include "VirtualKeymap.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vornik {

namespace {
constexpr PointerButton kButtons[] = {PointerButton::Left, PointerButton::Middle, PointerButton::Right,
                                      PointerButton::Back, PointerButton::Forward};
// A move this long after the last one starts from where the desktop says the pointer is.
constexpr auto kMovePause = std::chrono::milliseconds(250);
} // namespace

UinputOutput::UinputOutput(std::string devicePath) : m_path(std::move(devicePath)) {}

UinputOutput::~UinputOutput() {
    if (m_fd < 0)
        return;
    // Whatever is still down goes up before the device goes: a desktop that loses a device with a
    // key down may keep repeating it.
    const std::set<uint16_t> down = m_down;
    for (const uint16_t code : down)
        send({{{EV_KEY, code, 0}}});
    ::ioctl(m_fd, UI_DEV_DESTROY);
    ::close(m_fd);
}

std::string UinputOutput::reasonFor(const std::string& path, int error) {
    switch (error) {
    case 0:
        return {};
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return path + " does not exist: load the uinput module (sudo modprobe uinput; the vornik package "
                      "loads it at every start), then start Vornik again";
    case EACCES:
    case EPERM:
    case EROFS:
        return "this user may not write to " + path + ": install the vornik package, or copy its udev rule "
               "60-vornik-uinput.rules to /etc/udev/rules.d/ and run sudo udevadm trigger, then log in again";
    default:
        return path + " cannot be used: " + std::strerror(error);
    }
}

bool UinputOutput::open() {
    if (m_tried)
        return m_fd >= 0;
    m_tried = true;
    const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_reason = reasonFor(m_path, errno);
        return false;
    }
    bool ok = ::ioctl(fd, UI_SET_EVBIT, EV_KEY) == 0 && ::ioctl(fd, UI_SET_EVBIT, EV_REL) == 0 &&
              ::ioctl(fd, UI_SET_EVBIT, EV_ABS) == 0 && ::ioctl(fd, UI_SET_EVBIT, EV_SYN) == 0;
    std::set<uint32_t> keys;
    for (int vk = 1; vk < 256; ++vk) {
        if (const uint32_t code = evdevCode(vk); code != 0)
            keys.insert(code);
    }
    for (const PointerButton button : kButtons)
        keys.insert(DesktopOutput::evdevButton(button));
    for (const uint32_t code : keys)
        ok = ok && ::ioctl(fd, UI_SET_KEYBIT, code) == 0;
    ok = ok && ::ioctl(fd, UI_SET_RELBIT, REL_WHEEL) == 0 && ::ioctl(fd, UI_SET_RELBIT, REL_HWHEEL) == 0;
    for (const int axis : {ABS_X, ABS_Y}) {
        uinput_abs_setup abs{};
        abs.code = static_cast<uint16_t>(axis);
        abs.absinfo.minimum = 0;
        abs.absinfo.maximum = kAbsoluteMax;
        ok = ok && ::ioctl(fd, UI_SET_ABSBIT, axis) == 0 && ::ioctl(fd, UI_ABS_SETUP, &abs) == 0;
    }
    uinput_setup setup{};
    setup.id.bustype = BUS_VIRTUAL;
    setup.id.vendor = 0x1209; // pid.codes' shared vendor id, for devices of open projects
    setup.id.product = 0x5656;
    setup.id.version = 1;
    std::strncpy(setup.name, kDeviceName, UINPUT_MAX_NAME_SIZE - 1);
    ok = ok && ::ioctl(fd, UI_DEV_SETUP, &setup) == 0 && ::ioctl(fd, UI_DEV_CREATE) == 0;
    if (!ok) {
        m_reason = m_path + " did not make the virtual device: " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

std::string UinputOutput::unavailableReason() const {
    if (m_fd >= 0)
        return {};
    return m_tried ? m_reason : m_path + " is not opened";
}

void UinputOutput::send(std::initializer_list<std::array<int, 3>> events) {
    if (m_fd < 0)
        return;
    std::vector<input_event> out;
    out.reserve(events.size() + 1);
    for (const auto& [type, code, value] : events) {
        input_event event{};
        event.type = static_cast<uint16_t>(type);
        event.code = static_cast<uint16_t>(code);
        event.value = value;
        out.push_back(event);
        if (type == EV_KEY) {
            if (value != 0)
                m_down.insert(static_cast<uint16_t>(code));
            else
                m_down.erase(static_cast<uint16_t>(code));
        }
    }
    out.push_back(input_event{{}, EV_SYN, SYN_REPORT, 0});
    const auto bytes = static_cast<ssize_t>(out.size() * sizeof(input_event));
    // The kernel takes a device's events whole or not at all.
    while (::write(m_fd, out.data(), static_cast<size_t>(bytes)) < 0 && errno == EINTR) {
    }
}

bool UinputOutput::guardAllows() {
    if (m_fd < 0)
        return false;
    if (m_freshen)
        m_freshen();
    return !m_guard || m_guard();
}

std::optional<uint32_t> UinputOutput::keyDown(uint8_t vk) {
    const uint32_t code = evdevCode(vk);
    if (code == 0 || !guardAllows())
        return std::nullopt;
    send({{EV_KEY, static_cast<int>(code), 1}});
    if (m_keySent)
        m_keySent(code, true);
    return code;
}

void UinputOutput::keyUp(const SentKey& key) {
    if (key.native == 0 || key.native > KEY_MAX)
        return;
    if (m_fd < 0)
        return;
    send({{EV_KEY, static_cast<int>(key.native), 0}});
    if (m_keySent)
        m_keySent(key.native, false);
}

bool UinputOutput::pointerButton(PointerButton button, bool down) {
    if (m_fd < 0 || (down && !guardAllows()))
        return false;
    send({{EV_KEY, static_cast<int>(DesktopOutput::evdevButton(button)), down ? 1 : 0}});
    return true;
}

void UinputOutput::pointerMotion(int dx, int dy) {
    if (m_fd < 0 || (dx == 0 && dy == 0) || !m_desktopSize)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (m_x < 0 || now - m_lastMove > kMovePause) {
        m_size = m_desktopSize();
        // The desktop's answer counts when it has changed since it was last asked: XWayland knows
        // the pointer only while it is over an X window, and keeps telling where it last saw it.
        const std::optional<Point> at = m_pointerNow ? m_pointerNow() : std::nullopt;
        const bool moved = at && (!m_told || at->x != m_told->x || at->y != m_told->y);
        m_told = at;
        if (moved) {
            m_x = at->x;
            m_y = at->y;
        } else if (m_x < 0) {
            m_x = m_size.width / 2.0;
            m_y = m_size.height / 2.0;
        }
    }
    const Size size = m_size;
    if (size.width <= 0 || size.height <= 0)
        return;
    m_lastMove = now;
    m_x = std::clamp(m_x + dx, 0.0, size.width - 1.0);
    m_y = std::clamp(m_y + dy, 0.0, size.height - 1.0);
    // The desktop maps the range onto its width: value * width / (maximum + 1) pixels.
    const auto scaled = [](double pixels, int extent) {
        return static_cast<int>(std::lround(pixels * (kAbsoluteMax + 1) / extent));
    };
    send({{EV_ABS, ABS_X, scaled(m_x, size.width)}, {EV_ABS, ABS_Y, scaled(m_y, size.height)}});
}

void UinputOutput::wheel(int steps, bool horizontal) {
    if (steps == 0 || !guardAllows())
        return;
    // evdev's wheel turns up (and right) positive, as here.
    send({{EV_REL, horizontal ? REL_HWHEEL : REL_WHEEL, steps}});
}

} // namespace vornik
