// The soak run: the real program under a window manager, with four virtual pads preloaded into it
// (SoakPads.cpp), a target window and a second window that both record every key and pointer button
// they receive, and a seeded random player that does everything at once: buttons, sticks, hats and
// keyboard keys, pads pulled out and plugged back, the focus moved between the two windows and the
// program's own, stop boxes ticked through the accessibility interface, other profiles loaded.
// Every so often it lets go of everything and asks the X server which keys and buttons are still down.
//
//   vornik_soak --program PATH --pads-lib PATH --screen-reader SCRIPT [--seconds N] [--seed N] [--work DIR]
//               [--without keyboard|focus|unplug|stop-boxes|loads]...
//
// Prints its figures as `name: value` lines and exits non-zero when an invariant broke: a press that
// reached the second window, a key or button left down, a crash, or a sanitizer report.

#include "RecorderProcess.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using vornik::test::RecorderProcess;

namespace {

// Keys the generated profiles use, as virtual-key codes. No Ctrl, Alt or Windows key: the window
// manager and the program's own CTRL+J would take them. Moves and chords share one set; the keyboard
// bindings' keys are kept apart from it, so a move never types a key the player holds.
const std::vector<int> kChordKeys = {'A', 'S', 'D', 'F', 'G', 'H', 'K', 'L', 'Z', 'X', 'C', 'V', 'B', 'N', 'M',
                                     '1', '2', '3', '4', '5', 0x25, 0x26, 0x27, 0x28, 0x10, 0x20};
const std::vector<int> kKeyboardBindingKeys = {'Q', 'W', 'E', 'R'};
// Automatic auto-fire presses on its own for as long as the target is in front: it gets keys of its
// own (F5..F8), so that "everything let go" can leave them out while they legitimately fire.
const std::vector<int> kAutomaticKeys = {0x74, 0x75, 0x76, 0x77};
constexpr int kPads = 4;
constexpr int kJoystickButtons = 12;
constexpr int kControllerButtons = 15;

struct Options {
    std::string program, padsLib, screenReader;
    fs::path work;
    int seconds = 600;
    uint32_t seed = 0;
    std::set<std::string> without; // kinds of action left out, to find what a figure comes from
};

// ---- the generated profiles ----

std::string profileText(std::mt19937& rng) {
    auto pick = [&](const std::vector<int>& v) { return v[std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng)]; };
    auto roll = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    // Three different keys for a chord.
    auto distinct = [&](size_t n) {
        std::vector<int> keys = kChordKeys;
        std::shuffle(keys.begin(), keys.end(), rng);
        keys.resize(n);
        return keys;
    };
    std::ostringstream out;
    out << "{\"format\": \"vornik-profile\", \"version\": 4,\n\"keyboard\": [";
    for (size_t i = 0; i < kKeyboardBindingKeys.size(); ++i)
        out << (i ? ", " : "") << "{\"key\": " << kKeyboardBindingKeys[i] << ", \"move\": " << i + 1
            << ", \"autoFireMode\": 0, \"autoFireDelay\": 0}";
    out << "],\n\"joysticks\": [";
    bool first = true;
    auto entry = [&](int pad, int number, int kind, int k1, int k2, int k3, int count, int mode, int delay) {
        out << (first ? "" : ",\n") << "{\"joystick\": " << pad << ", \"entry\": " << number << ", \"kind\": " << kind
            << ", \"key1\": " << k1 << ", \"key2\": " << k2 << ", \"key3\": " << k3 << ", \"keyCount\": " << count
            << ", \"autoFireMode\": " << mode << ", \"autoFireDelay\": " << delay << "}";
        first = false;
    };
    for (int pad = 1; pad <= kPads; ++pad) {
        for (int direction = 1; direction <= 4; ++direction) {
            const std::vector<int> chord = distinct(3);
            if (roll(0, 3) == 0)
                entry(pad, direction, 2, roll(1, 6), 0, 0, 0, 0, 0);
            else if (roll(0, 1) == 0)
                entry(pad, direction, 1, pick(kChordKeys), 0, 0, 1, 0, 0);
            else
                entry(pad, direction, 1, chord[0], chord[1], 0, 2, 0, 0);
        }
        // The game controllers' right stick (37..40) and triggers (41, 42).
        for (int number = 37; number <= 42 && pad >= 3; ++number) {
            const std::vector<int> chord = distinct(2);
            const int count = roll(1, 2);
            if (number >= 41 && roll(0, 2) == 0)
                entry(pad, number, 2, roll(1, 6), 0, 0, 0, 0, 0);
            else
                entry(pad, number, 1, chord[0], count > 1 ? chord[1] : 0, 0, count,
                      number >= 41 && roll(0, 2) == 0 ? 2 : 0, roll(0, 10));
        }
        // The second and fourth pads have layers: button 2 switches to layer 2 (while held, toggled or
        // for one press), where buttons 3 to 6 have keys of their own; button 7 taps one key and holds
        // another, button 8 answers a double press, buttons 9 and 10 pressed together a key of their own.
        const bool layers = pad % 2 == 0;
        const auto layered = [&](int number, int layer, const char* activator, int with, int key) {
            out << ",\n{\"joystick\": " << pad << ", \"entry\": " << number << ", \"kind\": 1, \"key1\": " << key
                << ", \"key2\": 0, \"key3\": 0, \"keyCount\": 1, \"autoFireMode\": 0, \"autoFireDelay\": 0, \"layer\": "
                << layer << ", \"activator\": \"" << activator << "\"" << (with ? ", \"with\": " + std::to_string(with) : "")
                << "}";
        };
        if (layers) {
            for (int button = 3; button <= 6; ++button)
                layered(button + 4, 2, "press", 0, pick(kChordKeys));
            layered(7 + 4, 1, "tap", 0, pick(kChordKeys));
            layered(7 + 4, 1, "hold", 0, pick(kChordKeys));
            layered(8 + 4, 1, "double", 0, pick(kChordKeys));
            layered(9 + 4, 1, "press", 10 + 4, pick(kChordKeys));
        }
        for (int button = 1; button <= kControllerButtons; ++button) {
            const int number = button + 4;
            if (layers && button == 2) {
                entry(pad, number, 4, 2, roll(1, 3), 0, 0, 0, 0);
                continue;
            }
            if (button == 1) { // one automatic binding a pad, on its own key
                entry(pad, number, 1, kAutomaticKeys[pad - 1], 0, 0, 1, 1, roll(0, 10));
                continue;
            }
            switch (roll(0, 9)) {
            case 0:
            case 1: // a move
                entry(pad, number, 2, roll(1, 6), 0, 0, 0, roll(0, 1) * 2, roll(0, 10));
                break;
            case 2: // a pointer button or wheel notch
                entry(pad, number, 3, roll(1, 9), 0, 0, 0, 0, 0);
                break;
            default: { // a chord of one to three keys, now and then firing while held
                const int count = roll(1, 3);
                const std::vector<int> keys = distinct(3);
                entry(pad, number, 1, keys[0], count > 1 ? keys[1] : 0, count > 2 ? keys[2] : 0, count,
                      roll(0, 3) == 0 ? 2 : 0, roll(0, 10));
            }
            }
        }
    }
    out << "],\n\"moves\": [";
    for (int move = 1; move <= 6; ++move) {
        out << (move > 1 ? ",\n" : "") << "{\"number\": " << move << ", \"name\": \"soak " << move
            << "\", \"speed\": " << roll(5, 30) << ", \"repeat\": " << roll(1, 3)
            << ", \"overlap\": " << (roll(0, 1) ? "true" : "false") << ", \"steps\": [";
        const int steps = roll(2, 8);
        for (int s = 0; s < steps; ++s)
            out << (s ? ", " : "") << "[" << pick(kChordKeys) << ", " << (roll(0, 4) == 0 ? 0x10 : 0) << "]";
        out << "]}";
    }
    // The first pad moves the pointer with its stick, the fourth turns the wheel; the third, a game
    // controller, has dead zones and a trigger threshold of its own.
    out << "],\n\"pads\": [{\"joystick\": 1, \"leftStick\": \"pointer\", \"pointerSpeed\": 2400},"
        << " {\"joystick\": 3, \"leftDeadZone\": " << roll(10, 60) << ", \"rightDeadZone\": " << roll(10, 60)
        << ", \"triggerThreshold\": " << roll(20, 80) << "},"
        << " {\"joystick\": 4, \"leftStick\": \"wheel\"}]}\n";
    return out.str();
}

// ---- the X side ----

class Desktop {
public:
    Desktop() : m_display(XOpenDisplay(nullptr)) {
        if (m_display == nullptr)
            throw std::runtime_error("no X display");
    }
    ~Desktop() { XCloseDisplay(m_display); }

    Display* display() const { return m_display; }

    // Asks the window manager to bring `window` to the front and give it the focus, as a pager does.
    void activate(Window window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = atom("_NET_ACTIVE_WINDOW");
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2; // from a pager: obeyed without focus-stealing rules
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, DefaultRootWindow(m_display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(m_display);
    }

    // The window that has the keyboard focus now (the window manager gives it a moment after asking).
    Window focused() {
        Window window = 0;
        int revert = 0;
        XGetInputFocus(m_display, &window, &revert);
        return window;
    }

    Window activeWindow() {
        const std::vector<unsigned long> value = property(DefaultRootWindow(m_display), "_NET_ACTIVE_WINDOW", XA_WINDOW);
        return value.empty() ? 0 : value[0];
    }

    // The managed windows whose _NET_WM_PID is `pid`, oldest first.
    std::vector<Window> windowsOf(pid_t pid) {
        std::vector<Window> windows;
        for (unsigned long window : property(DefaultRootWindow(m_display), "_NET_CLIENT_LIST", XA_WINDOW)) {
            const std::vector<unsigned long> owner = property(window, "_NET_WM_PID", XA_CARDINAL);
            if (!owner.empty() && static_cast<pid_t>(owner[0]) == pid)
                windows.push_back(window);
        }
        return windows;
    }

    // The keys (X keycodes) and pointer buttons down at the server, leaving out `ignored` keycodes.
    std::vector<std::string> downNow(const std::set<int>& ignored) {
        std::vector<std::string> down;
        char keys[32];
        XQueryKeymap(m_display, keys);
        for (int code = 8; code < 256; ++code) {
            if ((keys[code / 8] & (1 << (code % 8))) != 0 && ignored.count(code) == 0) {
                const char* name = XKeysymToString(keysymOf(code));
                down.push_back(name ? name : std::to_string(code));
            }
        }
        Window root, child;
        int rx, ry, wx, wy;
        unsigned int mask = 0;
        XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rx, &ry, &wx, &wy, &mask);
        for (int button = 1; button <= 5; ++button)
            if ((mask & (Button1Mask << (button - 1))) != 0)
                down.push_back("Button" + std::to_string(button));
        return down;
    }

    int keycodeOfVk(int vk) {
        KeySym sym = NoSymbol;
        if ((vk >= 'A' && vk <= 'Z'))
            sym = XK_a + (vk - 'A');
        else if (vk >= 0x74 && vk <= 0x77)
            sym = XK_F5 + (vk - 0x74);
        return sym == NoSymbol ? 0 : XKeysymToKeycode(m_display, sym);
    }

    // The player's own key, through XTest as a keyboard would.
    void key(int keycode, bool down) {
        XTestFakeKeyEvent(m_display, static_cast<unsigned>(keycode), down ? True : False, CurrentTime);
        XFlush(m_display);
    }

private:
    KeySym keysymOf(int code) {
        int per = 0;
        KeySym* syms = XGetKeyboardMapping(m_display, static_cast<KeyCode>(code), 1, &per);
        const KeySym sym = (syms != nullptr && per > 0) ? syms[0] : NoSymbol;
        if (syms != nullptr)
            XFree(syms);
        return sym;
    }
    Atom atom(const char* name) { return XInternAtom(m_display, name, False); }
    std::vector<unsigned long> property(Window window, const char* name, Atom type) {
        Atom actual = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> values;
        if (XGetWindowProperty(m_display, window, atom(name), 0, 4096, False, type, &actual, &format, &count, &after,
                               &data) == Success &&
            data != nullptr && format == 32) {
            const auto* longs = reinterpret_cast<const unsigned long*>(data);
            values.assign(longs, longs + count);
        }
        if (data != nullptr)
            XFree(data);
        return values;
    }

    Display* m_display;
};

// ---- the program and its pads ----

// Resident memory: all of it, and apart the anonymous pages (heap, stacks: where a leak shows) and
// the pages of files (libraries, fonts: in as code paths first run, dropped by the system at will).
struct Resident {
    long totalKb = -1, anonKb = -1, fileKb = -1;
};

Resident residentOf(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    Resident r;
    const auto value = [&line](const char* name, long& into) {
        const std::size_t length = std::strlen(name);
        if (line.compare(0, length, name) == 0)
            into = std::strtol(line.c_str() + length, nullptr, 10);
    };
    while (std::getline(status, line)) {
        value("VmRSS:", r.totalKb);
        value("RssAnon:", r.anonKb);
        value("RssFile:", r.fileKb);
    }
    return r;
}

pid_t spawn(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
            const fs::path& log) {
    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        for (const auto& [name, value] : env)
            setenv(name.c_str(), value.c_str(), 1);
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (out >= 0) {
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
            close(out);
        }
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// A home of the run's own: no settings, recovery profile or game profile of the user's (or of an
// earlier test) comes into it, and none of its goes out.
std::map<std::string, std::string> homeOf(const fs::path& work) {
    return {{"HOME", (work / "home").string()},
            {"XDG_CONFIG_HOME", (work / "home" / "config").string()},
            {"XDG_STATE_HOME", (work / "home" / "state").string()},
            {"XDG_DATA_HOME", (work / "home" / "data").string()}};
}

class Pads {
public:
    explicit Pads(const fs::path& fifo) {
        // The program's side opens the FIFO once its joystick subsystem is up.
        const auto deadline = Clock::now() + 60s;
        while ((m_fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0) {
            if (Clock::now() > deadline)
                throw std::runtime_error("the program never opened the pads' FIFO");
            std::this_thread::sleep_for(20ms);
        }
        fcntl(m_fd, F_SETFL, 0);
    }
    ~Pads() { close(m_fd); }

    void send(const std::string& line) {
        const std::string text = line + "\n";
        if (write(m_fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            throw std::runtime_error("the pads' FIFO broke");
        ++m_commands;
    }
    long commands() const { return m_commands; }

private:
    int m_fd = -1;
    long m_commands = 0;
};

// The accessibility helper (screen-reader.py): ticks or unticks the program's stop boxes and answers
// its message boxes, as a screen reader's user would.
class ScreenReader {
public:
    explicit ScreenReader(const std::string& script, pid_t program) {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0)
            throw std::runtime_error("pipe failed");
        m_pid = fork();
        if (m_pid == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            close(in[1]);
            close(out[0]);
            const std::string pid = std::to_string(program);
            execl("/usr/bin/python3", "python3", script.c_str(), pid.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        m_in = fdopen(in[1], "w");
        m_out = fdopen(out[0], "r");
    }
    ~ScreenReader() {
        std::fclose(m_in);
        std::fclose(m_out);
        waitpid(m_pid, nullptr, 0);
    }
    // Toggles the `index`-th stop box (counted over all of them); how many there were, or 0.
    int toggle(int index) { return ask("toggle " + std::to_string(index)); }
    // Presses OK in the program's message box; whether there was one.
    bool answer() { return ask("answer") > 0; }

private:
    int ask(const std::string& command) {
        std::fprintf(m_in, "%s\n", command.c_str());
        std::fflush(m_in);
        char line[128];
        return std::fgets(line, sizeof line, m_out) == nullptr ? 0 : std::atoi(line);
    }

    pid_t m_pid = -1;
    FILE* m_in = nullptr;
    FILE* m_out = nullptr;
};

// ---- the run ----

struct Figures {
    long inputEvents = 0, keyEventsOut = 0, pressesIntoOther = 0, releasesIntoOther = 0, keysLeftDown = 0;
    long checks = 0, focusChanges = 0, unplugs = 0, boxesAnswered = 0, stopBoxToggles = 0, profileLoads = 0;
    long crashes = 0;
    long sanitizerReports = 0;
    Resident afterFirstMinute, atEnd;
    double seconds = 0, maxTickMs = -1, maxStallMs = -1;
};

class Soak {
public:
    explicit Soak(Options options) : m_options(std::move(options)), m_rng(m_options.seed) {}

    int run();

private:
    int roll(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    void startProgram();
    void chooseTarget();
    void step();
    void letGoAndCheck();
    void letGo();
    bool waitQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds limit);
    void countOther();
    void replug(bool all);
    void answerBoxes();
    bool programAlive();

    Options m_options;
    std::mt19937 m_rng;
    Figures m_figures;
    Desktop m_desktop;
    std::unique_ptr<RecorderProcess> m_target, m_other;
    std::unique_ptr<Pads> m_pads;
    std::unique_ptr<ScreenReader> m_screenReader;
    pid_t m_program = -1;
    int m_programStatus = 0;
    Window m_programWindow = 0;
    Window m_front = 0;
    fs::path m_log, m_profiles[2];
    bool m_canLoad = false;
    int m_profileInUse = 0;
    std::array<bool, kPads> m_plugged{};
    std::array<Clock::time_point, kPads> m_replugAt{};
    std::array<std::set<int>, kPads> m_held; // buttons the player holds, per pad
    std::set<int> m_keysHeld;                // the player's own keyboard keys (X keycodes)
    std::set<int> m_automaticKeycodes;
    size_t m_otherSeen = 0;
};

void Soak::startProgram() {
    fs::create_directories(m_options.work / "home");
    m_log = m_options.work / "program.log";
    fs::remove(m_log);
    for (int i = 0; i < 2; ++i) {
        m_profiles[i] = m_options.work / ("soak-" + std::to_string(i + 1) + ".vornik");
        std::ofstream(m_profiles[i]) << profileText(m_rng);
    }
    const fs::path fifo = m_options.work / "pads";
    fs::remove(fifo);
    if (mkfifo(fifo.c_str(), 0600) != 0)
        throw std::runtime_error("mkfifo failed");
    // Whether the program takes --load (hands a profile to the one running).
    m_canLoad = std::system((m_options.program + " --help 2>/dev/null | grep -q -- --load").c_str()) == 0;

    std::string preload = m_options.padsLib;
    if (const char* asan = std::getenv("VORNIK_SOAK_ASAN_RUNTIME"); asan != nullptr && *asan != '\0')
        preload = std::string(asan) + ":" + preload;
    std::map<std::string, std::string> env = homeOf(m_options.work);
    env.insert({{"LD_PRELOAD", preload},
                {"VORNIK_SOAK_PADS", fifo.string()},
                {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"},
                {"VORNIK_REPORT_TICKS", "1"}});
    m_program = spawn({m_options.program, m_profiles[0].string()}, env, m_log);
    m_pads = std::make_unique<Pads>(fifo);
    const auto deadline = Clock::now() + 60s;
    while (m_desktop.windowsOf(m_program).empty()) {
        if (!programAlive() || Clock::now() > deadline)
            throw std::runtime_error("the program's window never came up");
        std::this_thread::sleep_for(50ms);
    }
    m_programWindow = m_desktop.windowsOf(m_program).front();
    for (int pad = 0; pad < kPads; ++pad) {
        m_pads->send("attach " + std::to_string(pad) + (pad >= 2 ? " controller" : " joystick"));
        m_plugged[pad] = true;
    }
    m_screenReader = std::make_unique<ScreenReader>(m_options.screenReader, m_program);
    for (int vk : kAutomaticKeys)
        m_automaticKeycodes.insert(m_desktop.keycodeOfVk(vk));
}

bool Soak::programAlive() {
    if (m_program < 0)
        return false;
    int status = 0;
    if (waitpid(m_program, &status, WNOHANG) == m_program) {
        m_programStatus = status;
        m_program = -1;
        return false;
    }
    return true;
}

// CTRL+J with the target in front makes it the target, as a player does it. Every pad has an
// automatic auto-fire binding, so the target's first key shows that it took.
void Soak::chooseTarget() {
    const int control = XKeysymToKeycode(m_desktop.display(), XK_Control_L);
    const int j = XKeysymToKeycode(m_desktop.display(), XK_j);
    for (int attempt = 0; attempt < 10; ++attempt) {
        m_desktop.activate(m_target->window());
        m_front = m_target->window();
        std::this_thread::sleep_for(300ms);
        m_desktop.key(control, true);
        m_desktop.key(j, true);
        std::this_thread::sleep_for(150ms);
        m_desktop.key(j, false);
        m_desktop.key(control, false);
        const auto deadline = Clock::now() + 2s;
        while (Clock::now() < deadline) {
            for (const auto& key : m_target->keys())
                if (m_automaticKeycodes.count(key.keycode) != 0)
                    return;
            std::this_thread::sleep_for(20ms);
        }
        std::fprintf(stderr, "soak: CTRL+J did not choose the target (in front: 0x%lx, target 0x%lx)\n",
                     m_desktop.activeWindow(), m_target->window());
    }
    throw std::runtime_error("the target could not be chosen");
}

void Soak::replug(bool all) {
    for (int pad = 0; pad < kPads; ++pad) {
        if (!m_plugged[pad] && (all || Clock::now() >= m_replugAt[pad])) {
            m_pads->send("attach " + std::to_string(pad) + (pad >= 2 ? " controller" : " joystick"));
            m_plugged[pad] = true;
        }
    }
}

// A pad pulled out while the target is in front brings up the connection-error box: the player
// plugs it back in and presses OK, then goes back to the window that was in front.
void Soak::answerBoxes() {
    if (m_desktop.windowsOf(m_program).size() < 2)
        return;
    replug(true);
    std::this_thread::sleep_for(50ms);
    if (m_screenReader->answer()) {
        ++m_figures.boxesAnswered;
        std::this_thread::sleep_for(50ms);
        m_desktop.activate(m_front);
    }
}

void Soak::countOther() {
    const auto& keys = m_other->keys();
    for (; m_otherSeen < keys.size(); ++m_otherSeen) {
        const auto& key = keys[m_otherSeen];
        if (key.press) {
            ++m_figures.pressesIntoOther;
            std::fprintf(stderr, "soak: a press reached the second window: %s\n", key.text().c_str());
        } else {
            ++m_figures.releasesIntoOther;
        }
    }
}

// Waits until neither window has received anything for `quiet` (keys of automatic auto-fire aside).
bool Soak::waitQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    auto lastCount = static_cast<size_t>(-1);
    auto since = Clock::now();
    while (Clock::now() < deadline) {
        size_t count = 0;
        for (const auto& key : m_target->keys())
            count += m_automaticKeycodes.count(key.keycode) == 0 ? 1 : 0;
        count += m_other->keys().size();
        if (count != lastCount) {
            lastCount = count;
            since = Clock::now();
        } else if (Clock::now() - since >= quiet) {
            return true;
        }
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

void Soak::letGo() {
    for (int pad = 0; pad < kPads; ++pad) {
        if (m_plugged[pad])
            m_pads->send("centre " + std::to_string(pad));
        m_held[pad].clear();
    }
    for (int code : m_keysHeld)
        m_desktop.key(code, false);
    m_keysHeld.clear();
}

// Everything let go; once the program has had its ticks and its moves have ended, nothing of its may
// be down at the X server. With the target in front, automatic auto-fire keys may be down by right.
void Soak::letGoAndCheck() {
    letGo();
    std::this_thread::sleep_for(100ms); // more than two ticks
    waitQuiet(250ms, 15s);
    const bool targetInFront = m_desktop.activeWindow() == m_target->window();
    const std::vector<std::string> down = m_desktop.downNow(targetInFront ? m_automaticKeycodes : std::set<int>{});
    ++m_figures.checks;
    if (!down.empty()) {
        m_figures.keysLeftDown += static_cast<long>(down.size());
        std::string names;
        for (const std::string& name : down)
            names += " " + name;
        std::fprintf(stderr, "soak: left down after letting go (target %s):%s\n", targetInFront ? "in front" : "behind",
                     names.c_str());
    }
}

void Soak::step() {
    const int pad = roll(0, kPads - 1);
    const std::string p = std::to_string(pad);
    const int action = roll(0, 99);
    const auto left = [&](const char* kind) { return m_options.without.count(kind) != 0; };
    if (action < 36) { // a button goes down or up
        if (!m_plugged[pad])
            return;
        const int button = roll(0, (pad >= 2 ? kControllerButtons : kJoystickButtons) - 1);
        const bool down = m_held[pad].count(button) == 0;
        down ? (void)m_held[pad].insert(button) : (void)m_held[pad].erase(button);
        m_pads->send("button " + p + " " + std::to_string(button) + " " + (down ? "1" : "0"));
        ++m_figures.inputEvents;
    } else if (action < 52) { // a stick moves (controllers also move the right stick and the triggers)
        if (!m_plugged[pad])
            return;
        static const int positions[] = {-32768, -20000, -6000, 0, 0, 6000, 20000, 32767};
        const int axis = roll(0, pad >= 2 ? 5 : 1);
        const int value = axis >= 4 ? roll(-32768, 32767) : positions[roll(0, 7)];
        m_pads->send("axis " + p + " " + std::to_string(axis) + " " + std::to_string(value));
        ++m_figures.inputEvents;
    } else if (action < 60) { // the hat
        if (!m_plugged[pad] || pad >= 2)
            return;
        static const int hats[] = {0, 0, 1, 2, 4, 8, 3, 6, 12, 9};
        m_pads->send("hat " + p + " " + std::to_string(hats[roll(0, 9)]));
        ++m_figures.inputEvents;
    } else if (action < 67) { // a keyboard key bound to a move, only into the target
        if (left("keyboard") || m_front != m_target->window() || m_desktop.focused() != m_target->window())
            return;
        const int code = m_desktop.keycodeOfVk(kKeyboardBindingKeys[roll(0, 3)]);
        const bool down = m_keysHeld.count(code) == 0;
        down ? (void)m_keysHeld.insert(code) : (void)m_keysHeld.erase(code);
        m_desktop.key(code, down);
        ++m_figures.inputEvents;
    } else if (action < 78) { // the focus moves: mostly back to the target
        if (left("focus"))
            return;
        const int where = roll(0, 9);
        const Window next = where < 6 ? m_target->window() : where < 9 ? m_other->window() : m_programWindow;
        if (next == m_front)
            return;
        // The player's own keys go with the focus; let go of them first, as a hand would.
        for (int code : m_keysHeld)
            m_desktop.key(code, false);
        m_keysHeld.clear();
        m_desktop.activate(next);
        m_front = next;
        ++m_figures.focusChanges;
    } else if (action < 81) { // a pad pulled out or plugged back
        if (left("unplug"))
            return;
        if (!m_plugged[pad])
            return;
        // Out for a moment, as a cable pulled and pushed back; a box about it may come up meanwhile.
        m_pads->send("detach " + p);
        m_held[pad].clear();
        m_plugged[pad] = false;
        m_replugAt[pad] = Clock::now() + std::chrono::milliseconds(roll(50, 3000));
        ++m_figures.unplugs;
    } else if (action < 84) { // a stop box
        if (!left("stop-boxes") && m_screenReader->toggle(roll(0, 99)) > 0)
            ++m_figures.stopBoxToggles;
    } else if (action < 85) { // another profile
        if (!m_canLoad || left("loads"))
            return;
        m_profileInUse = 1 - m_profileInUse;
        const pid_t loader = spawn({m_options.program, "--load", m_profiles[m_profileInUse].string()},
                                   homeOf(m_options.work), m_log);
        int status = 0;
        waitpid(loader, &status, 0);
        ++m_figures.profileLoads;
    } else if (action < 87) {
        letGoAndCheck();
    }
    // else: the player waits
}

int Soak::run() {
    m_target = std::make_unique<RecorderProcess>(
        std::vector<std::string>{"--title", "soak target", "--size", "1280x1024", "--undecorated"});
    m_other = std::make_unique<RecorderProcess>(
        std::vector<std::string>{"--title", "soak other", "--size", "400x300", "--undecorated"});
    startProgram();
    chooseTarget();

    const auto start = Clock::now();
    const auto end = start + std::chrono::seconds(m_options.seconds);
    const auto firstMinute = start + std::chrono::seconds(std::min(60, m_options.seconds / 4));
    auto nextTrace = start + 30s;
    while (Clock::now() < end) {
        step();
        replug(false);
        answerBoxes();
        countOther();
        if (m_figures.afterFirstMinute.totalKb < 0 && Clock::now() >= firstMinute)
            m_figures.afterFirstMinute = residentOf(m_program);
        if (Clock::now() >= nextTrace) {
            const Resident now = residentOf(m_program);
            std::fprintf(stderr, "soak: %.0f s, rss %ld kB (anonymous %ld, files %ld)\n",
                         std::chrono::duration<double>(Clock::now() - start).count(), now.totalKb, now.anonKb,
                         now.fileKb);
            nextTrace += 30s;
        }
        if (!programAlive()) {
            ++m_figures.crashes;
            std::fprintf(stderr, "soak: the program ended during the run (status %d)\n", m_programStatus);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(roll(1, 25)));
    }
    m_figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();

    if (m_program > 0) {
        letGoAndCheck();
        countOther();
        m_figures.atEnd = residentOf(m_program);
        kill(m_program, SIGTERM);
        const auto deadline = Clock::now() + 30s;
        while (programAlive() && Clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        if (m_program > 0) {
            kill(m_program, SIGKILL);
            waitpid(m_program, &m_programStatus, 0);
            ++m_figures.crashes;
            std::fprintf(stderr, "soak: the program did not end on SIGTERM\n");
        } else if (!WIFEXITED(m_programStatus) || WEXITSTATUS(m_programStatus) != 0) {
            ++m_figures.crashes;
            std::fprintf(stderr, "soak: the program ended with status %d\n", m_programStatus);
        }
        const std::vector<std::string> down = m_desktop.downNow({});
        m_figures.keysLeftDown += static_cast<long>(down.size());
    }
    m_figures.keyEventsOut = static_cast<long>(m_target->keys().size() + m_other->keys().size());

    std::ifstream log(m_log);
    std::string line;
    while (std::getline(log, line)) {
        if (line.find("ERROR: AddressSanitizer") != std::string::npos ||
            line.find("runtime error:") != std::string::npos || line.find("ThreadSanitizer") != std::string::npos) {
            ++m_figures.sanitizerReports;
            std::fprintf(stderr, "soak: %s\n", line.c_str());
        }
        double ms = 0;
        if (std::sscanf(line.c_str(), "vornik: longest tick %lf ms", &ms) == 1)
            m_figures.maxTickMs = ms;
        if (std::sscanf(line.c_str(), "vornik: longest stall %lf ms", &ms) == 1)
            m_figures.maxStallMs = ms;
    }

    const Figures& f = m_figures;
    std::printf("soak_seed: %u\n", m_options.seed);
    std::printf("soak_seconds: %.0f\n", f.seconds);
    std::printf("soak_input_events: %ld\n", f.inputEvents);
    std::printf("soak_key_events_out: %ld\n", f.keyEventsOut);
    std::printf("soak_presses_into_other_window: %ld\n", f.pressesIntoOther);
    std::printf("soak_releases_into_other_window: %ld\n", f.releasesIntoOther);
    std::printf("soak_keys_left_down: %ld\n", f.keysLeftDown);
    std::printf("soak_checks: %ld\n", f.checks);
    std::printf("soak_focus_changes: %ld\n", f.focusChanges);
    std::printf("soak_unplugs: %ld\n", f.unplugs);
    std::printf("soak_boxes_answered: %ld\n", f.boxesAnswered);
    std::printf("soak_stop_box_toggles: %ld\n", f.stopBoxToggles);
    std::printf("soak_profile_loads: %ld\n", f.profileLoads);
    const auto growth = [&f](long Resident::*part) {
        return f.atEnd.*part >= 0 && f.afterFirstMinute.*part >= 0 ? f.atEnd.*part - f.afterFirstMinute.*part : -1;
    };
    std::printf("soak_rss_growth_kb: %ld\n", growth(&Resident::totalKb));
    std::printf("soak_rss_anon_growth_kb: %ld\n", growth(&Resident::anonKb));
    std::printf("soak_rss_file_growth_kb: %ld\n", growth(&Resident::fileKb));
    if (f.maxTickMs >= 0)
        std::printf("soak_max_tick_ms: %.2f\n", f.maxTickMs);
    if (f.maxStallMs >= 0)
        std::printf("soak_max_main_thread_stall_ms: %.0f\n", f.maxStallMs);
    std::printf("soak_crashes: %ld\n", f.crashes);
    std::printf("soak_sanitizer_reports: %ld\n", f.sanitizerReports);
    const bool failed = f.pressesIntoOther != 0 || f.keysLeftDown != 0 || f.crashes != 0 || f.sanitizerReports != 0;
    if (failed)
        std::fprintf(stderr, "soak: FAILED; replay with --seed %u (the program's output is in %s)\n", m_options.seed,
                     m_log.c_str());
    return failed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    options.seed = static_cast<uint32_t>(std::random_device{}());
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--program")
            options.program = value;
        else if (name == "--pads-lib")
            options.padsLib = value;
        else if (name == "--screen-reader")
            options.screenReader = value;
        else if (name == "--seconds")
            options.seconds = std::atoi(value.c_str());
        else if (name == "--seed")
            options.seed = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
        else if (name == "--work")
            options.work = value;
        else if (name == "--without")
            options.without.insert(value);
    }
    if (options.program.empty() || options.padsLib.empty() || options.screenReader.empty()) {
        std::fprintf(stderr, "usage: vornik_soak --program PATH --pads-lib PATH --screen-reader SCRIPT [--seconds N] "
                             "[--seed N] [--work DIR]\n");
        return 2;
    }
    if (options.work.empty())
        options.work = fs::temp_directory_path() / ("vornik-soak-" + std::to_string(getpid()));
    fs::create_directories(options.work);
    signal(SIGPIPE, SIG_IGN);
    try {
        Soak soak(options);
        return soak.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "soak: %s (seed %u)\n", e.what(), options.seed);
        return 1;
    }
}
