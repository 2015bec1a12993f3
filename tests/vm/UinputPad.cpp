// A game pad made through /dev/uinput, for the tests that run in the lab's guest: a kernel event
// device that udev announces and SDL opens as it opens a player's pad.
//   vornik_uinput_pad DESCRIPTION
// DESCRIPTION is a file of lines (# starts a comment):
//   name TEXT | bus usb|bluetooth|NUMBER | vendor HEX | product HEX | version HEX
//   buttons CODE...          key codes by name (BTN_SOUTH, BTN_TRIGGER_HAPPY3) or number
//   axis CODE MIN MAX [FUZZ FLAT]     an absolute axis that rests in the middle (a stick, a twist)
//   trigger CODE MIN MAX     an absolute axis that rests at MIN (a trigger, a throttle)
//   hat N                    ABS_HAT<N>X and ABS_HAT<N>Y, -1..1
// Commands on standard input, one a line; each answers one line on standard output:
//   plug          -> "plugged /dev/input/eventN" (the node exists when this is printed)
//   unplug        -> "unplugged"
//   key CODE V    -> "sent T"   (a button down 1 or up 0, then a sync report)
//   abs CODE V    -> "sent T"   (an axis or hat value, then a sync report)
//   centre        -> "sent T"   (every axis to the middle of its range, hats to 0, buttons up)
// T is CLOCK_MONOTONIC in microseconds just before the events were written. Errors answer
// "error TEXT". End of input unplugs the pad and ends the program.
#include <linux/input.h>
#include <linux/uinput.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Axis {
    int code = 0;
    int min = 0, max = 0, fuzz = 0, flat = 0;
    bool restsAtMin = false; // a trigger or a throttle; otherwise it rests in the middle
};

struct Description {
    std::string name = "uinput pad";
    int bus = BUS_USB;
    int vendor = 0, product = 0, version = 0;
    std::vector<int> buttons;
    std::vector<Axis> axes;
};

const std::map<std::string, int>& codeNames() {
    static const std::map<std::string, int> names = [] {
        std::map<std::string, int> n{
            {"BTN_SOUTH", BTN_SOUTH},
            {"BTN_EAST", BTN_EAST},
            {"BTN_C", BTN_C},
            {"BTN_NORTH", BTN_NORTH},
            {"BTN_WEST", BTN_WEST},
            {"BTN_Z", BTN_Z},
            {"BTN_TL", BTN_TL},
            {"BTN_TR", BTN_TR},
            {"BTN_TL2", BTN_TL2},
            {"BTN_TR2", BTN_TR2},
            {"BTN_SELECT", BTN_SELECT},
            {"BTN_START", BTN_START},
            {"BTN_MODE", BTN_MODE},
            {"BTN_THUMBL", BTN_THUMBL},
            {"BTN_THUMBR", BTN_THUMBR},
            {"BTN_TRIGGER", BTN_TRIGGER},
            {"BTN_THUMB", BTN_THUMB},
            {"BTN_THUMB2", BTN_THUMB2},
            {"BTN_TOP", BTN_TOP},
            {"BTN_TOP2", BTN_TOP2},
            {"BTN_PINKIE", BTN_PINKIE},
            {"BTN_BASE", BTN_BASE},
            {"BTN_BASE2", BTN_BASE2},
            {"BTN_BASE3", BTN_BASE3},
            {"BTN_BASE4", BTN_BASE4},
            {"BTN_BASE5", BTN_BASE5},
            {"BTN_BASE6", BTN_BASE6},
            {"BTN_DEAD", BTN_DEAD},
            {"BTN_DPAD_UP", BTN_DPAD_UP},
            {"BTN_DPAD_DOWN", BTN_DPAD_DOWN},
            {"BTN_DPAD_LEFT", BTN_DPAD_LEFT},
            {"BTN_DPAD_RIGHT", BTN_DPAD_RIGHT},
            {"ABS_X", ABS_X},
            {"ABS_Y", ABS_Y},
            {"ABS_Z", ABS_Z},
            {"ABS_RX", ABS_RX},
            {"ABS_RY", ABS_RY},
            {"ABS_RZ", ABS_RZ},
            {"ABS_THROTTLE", ABS_THROTTLE},
            {"ABS_RUDDER", ABS_RUDDER},
            {"ABS_GAS", ABS_GAS},
            {"ABS_BRAKE", ABS_BRAKE},
        };
        for (int i = 0; i < 4; ++i) {
            n["ABS_HAT" + std::to_string(i) + "X"] = ABS_HAT0X + 2 * i;
            n["ABS_HAT" + std::to_string(i) + "Y"] = ABS_HAT0Y + 2 * i;
        }
        for (int i = 1; i <= 40; ++i)
            n["BTN_TRIGGER_HAPPY" + std::to_string(i)] = BTN_TRIGGER_HAPPY1 + i - 1;
        return n;
    }();
    return names;
}

// A code by name or number; -1 when it is neither.
int parseCode(const std::string& text) {
    const auto found = codeNames().find(text);
    if (found != codeNames().end())
        return found->second;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 0);
    return (end != text.c_str() && *end == '\0' && value >= 0 && value < KEY_MAX) ? static_cast<int>(value) : -1;
}

int parseNumber(const std::string& text, int base) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, base);
    if (end == text.c_str() || *end != '\0')
        throw std::runtime_error("not a number: " + text);
    return static_cast<int>(value);
}

Description readDescription(const char* path) {
    std::ifstream file(path);
    if (!file)
        throw std::runtime_error(std::string("cannot read ") + path);
    Description d;
    std::string line;
    int lineNumber = 0;
    while (std::getline(file, line)) {
        ++lineNumber;
        const std::string where = std::string(path) + ":" + std::to_string(lineNumber) + ": ";
        if (const auto hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::istringstream words(line);
        std::string key;
        if (!(words >> key))
            continue;
        std::string rest;
        std::getline(words >> std::ws, rest);
        std::istringstream args(rest);
        std::string a;
        if (key == "name") {
            d.name = rest;
        } else if (key == "bus") {
            d.bus = rest == "usb" ? BUS_USB : rest == "bluetooth" ? BUS_BLUETOOTH : parseNumber(rest, 0);
        } else if (key == "vendor") {
            d.vendor = parseNumber(rest, 16);
        } else if (key == "product") {
            d.product = parseNumber(rest, 16);
        } else if (key == "version") {
            d.version = parseNumber(rest, 16);
        } else if (key == "buttons") {
            while (args >> a) {
                const int code = parseCode(a);
                if (code < 0)
                    throw std::runtime_error(where + "unknown button " + a);
                d.buttons.push_back(code);
            }
        } else if (key == "axis" || key == "trigger") {
            Axis axis;
            axis.restsAtMin = key == "trigger";
            std::string code, min, max, fuzz = "0", flat = "0";
            if (!(args >> code >> min >> max))
                throw std::runtime_error(where + key + " CODE MIN MAX [FUZZ FLAT]");
            args >> fuzz >> flat;
            axis.code = parseCode(code);
            if (axis.code < 0 || axis.code > ABS_MAX)
                throw std::runtime_error(where + "unknown axis " + code);
            axis.min = parseNumber(min, 10);
            axis.max = parseNumber(max, 10);
            axis.fuzz = parseNumber(fuzz, 10);
            axis.flat = parseNumber(flat, 10);
            d.axes.push_back(axis);
        } else if (key == "hat") {
            const int n = parseNumber(rest, 10);
            if (n < 0 || n > 3)
                throw std::runtime_error(where + "hat 0..3");
            d.axes.push_back({ABS_HAT0X + 2 * n, -1, 1, 0, 0});
            d.axes.push_back({ABS_HAT0Y + 2 * n, -1, 1, 0, 0});
        } else {
            throw std::runtime_error(where + "unknown line " + key);
        }
    }
    return d;
}

long long nowMicroseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

class Pad {
public:
    explicit Pad(Description d) : m_d(std::move(d)) {}
    ~Pad() { unplug(); }

    bool plugged() const { return m_fd >= 0; }

    // Creates the device; returns its event node once it exists.
    std::string plug() {
        if (m_fd >= 0)
            throw std::runtime_error("already plugged");
        m_fd = ::open("/dev/uinput", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            throw std::runtime_error(std::string("/dev/uinput: ") + std::strerror(errno));
        check(ioctl(m_fd, UI_SET_EVBIT, EV_KEY), "EV_KEY");
        for (int code : m_d.buttons)
            check(ioctl(m_fd, UI_SET_KEYBIT, code), "a button");
        if (!m_d.axes.empty())
            check(ioctl(m_fd, UI_SET_EVBIT, EV_ABS), "EV_ABS");
        for (const Axis& axis : m_d.axes) {
            check(ioctl(m_fd, UI_SET_ABSBIT, axis.code), "an axis");
            uinput_abs_setup setup{};
            setup.code = static_cast<__u16>(axis.code);
            setup.absinfo.minimum = axis.min;
            setup.absinfo.maximum = axis.max;
            setup.absinfo.fuzz = axis.fuzz;
            setup.absinfo.flat = axis.flat;
            setup.absinfo.value = centreOf(axis);
            check(ioctl(m_fd, UI_ABS_SETUP, &setup), "UI_ABS_SETUP");
        }
        uinput_setup setup{};
        setup.id.bustype = static_cast<__u16>(m_d.bus);
        setup.id.vendor = static_cast<__u16>(m_d.vendor);
        setup.id.product = static_cast<__u16>(m_d.product);
        setup.id.version = static_cast<__u16>(m_d.version);
        std::snprintf(setup.name, sizeof setup.name, "%s", m_d.name.c_str());
        check(ioctl(m_fd, UI_DEV_SETUP, &setup), "UI_DEV_SETUP");
        check(ioctl(m_fd, UI_DEV_CREATE), "UI_DEV_CREATE");
        char sysname[64] = {};
        check(ioctl(m_fd, UI_GET_SYSNAME(sizeof sysname), sysname), "UI_GET_SYSNAME");
        return eventNode(sysname);
    }

    void unplug() {
        if (m_fd < 0)
            return;
        ioctl(m_fd, UI_DEV_DESTROY);
        ::close(m_fd);
        m_fd = -1;
    }

    long long send(const std::vector<input_event>& events) {
        if (m_fd < 0)
            throw std::runtime_error("not plugged");
        std::vector<input_event> all = events;
        all.push_back(event(EV_SYN, SYN_REPORT, 0));
        const long long at = nowMicroseconds();
        const auto bytes = static_cast<ssize_t>(all.size() * sizeof(input_event));
        if (::write(m_fd, all.data(), static_cast<size_t>(bytes)) != bytes)
            throw std::runtime_error(std::string("write: ") + std::strerror(errno));
        return at;
    }

    std::vector<input_event> centred() const {
        std::vector<input_event> events;
        for (const Axis& axis : m_d.axes)
            events.push_back(event(EV_ABS, axis.code, centreOf(axis)));
        for (int code : m_d.buttons)
            events.push_back(event(EV_KEY, code, 0));
        return events;
    }

    static input_event event(int type, int code, int value) {
        input_event e{};
        e.type = static_cast<__u16>(type);
        e.code = static_cast<__u16>(code);
        e.value = value;
        return e;
    }

private:
    // Where the axis rests: a trigger at its minimum, a stick or a hat in the middle.
    static int centreOf(const Axis& axis) {
        return axis.restsAtMin ? axis.min : axis.min + (axis.max - axis.min + 1) / 2;
    }

    static void check(int result, const char* what) {
        if (result < 0)
            throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
    }

    // /sys/devices/virtual/input/inputN holds eventM; devtmpfs makes /dev/input/eventM at once.
    static std::string eventNode(const char* sysname) {
        const std::string folder = std::string("/sys/devices/virtual/input/") + sysname;
        for (int tries = 0; tries < 200; ++tries) {
            if (DIR* dir = opendir(folder.c_str())) {
                std::string node;
                while (dirent* entry = readdir(dir)) {
                    if (std::strncmp(entry->d_name, "event", 5) == 0)
                        node = std::string("/dev/input/") + entry->d_name;
                }
                closedir(dir);
                struct stat st {};
                if (!node.empty() && ::stat(node.c_str(), &st) == 0)
                    return node;
            }
            usleep(5000);
        }
        throw std::runtime_error(std::string("no event node for ") + sysname);
    }

    Description m_d;
    int m_fd = -1;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DESCRIPTION\n", argv[0]);
        return 2;
    }
    std::unique_ptr<Pad> pad;
    try {
        pad = std::make_unique<Pad>(readDescription(argv[1]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vornik_uinput_pad: %s\n", e.what());
        return 2;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command, code, value;
        words >> command >> code >> value;
        try {
            if (command == "plug") {
                const std::string node = pad->plug();
                std::printf("plugged %s\n", node.c_str());
            } else if (command == "unplug") {
                pad->unplug();
                std::printf("unplugged\n");
            } else if (command == "key" || command == "abs") {
                const int c = parseCode(code);
                if (c < 0 || value.empty())
                    throw std::runtime_error("usage: " + command + " CODE VALUE");
                const long long at =
                    pad->send({Pad::event(command == "key" ? EV_KEY : EV_ABS, c, parseNumber(value, 10))});
                std::printf("sent %lld\n", at);
            } else if (command == "centre") {
                std::printf("sent %lld\n", pad->send(pad->centred()));
            } else if (!command.empty()) {
                throw std::runtime_error("unknown command " + command);
            }
        } catch (const std::exception& e) {
            std::printf("error %s\n", e.what());
        }
        std::fflush(stdout);
    }
    return 0;
}
