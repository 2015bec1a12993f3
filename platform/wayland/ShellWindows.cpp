#include "ShellWindows.h"

#include <algorithm>
#include <cerrno>
#include <set>
#include <ctime>

#include <systemd/sd-bus.h>
#include <unistd.h>

namespace vornik {

namespace {
constexpr const char* kBus = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr const char* kKWin = "org.kde.KWin";
constexpr const char* kGnomeShell = "org.gnome.Shell";
// Ours, for the KWin script to call.
constexpr const char* kOurName = "io.github.vornik.Vornik";
constexpr const char* kOurPath = "/io/github/vornik/Windows";
constexpr const char* kOurInterface = "io.github.vornik.Windows1";
// The GNOME Shell extension's.
constexpr const char* kExtensionName = "io.github.vornik.ShellWindows";
constexpr const char* kExtensionPath = "/io/github/vornik/ShellWindows";
constexpr const char* kExtensionInterface = "io.github.vornik.ShellWindows1";
// A shell busy for longer than this is not waited for: a key waits at most this long.
constexpr uint64_t kCallTimeoutUs = 250000;
// How long a shell that did not answer is left alone before it is asked again.
constexpr uint64_t kSilentRetryUs = 2000000;

uint64_t nowUs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000 + static_cast<uint64_t>(ts.tv_nsec) / 1000;
}

// A whole number as the caller sent it: KWin's script hands over what JavaScript has, which may
// arrive as any integer type or a double. Negative and absent numbers read as 0.
int readNumber(sd_bus_message* message, uint32_t& out) {
    char type = 0;
    const int peeked = sd_bus_message_peek_type(message, &type, nullptr);
    if (peeked <= 0)
        return peeked < 0 ? peeked : -EINVAL;
    out = 0;
    switch (type) {
    case 'u': {
        uint32_t v = 0;
        const int r = sd_bus_message_read_basic(message, 'u', &v);
        out = v;
        return r;
    }
    case 'i': {
        int32_t v = 0;
        const int r = sd_bus_message_read_basic(message, 'i', &v);
        out = v > 0 ? static_cast<uint32_t>(v) : 0;
        return r;
    }
    case 'x': {
        int64_t v = 0;
        const int r = sd_bus_message_read_basic(message, 'x', &v);
        out = v > 0 && v <= UINT32_MAX ? static_cast<uint32_t>(v) : 0;
        return r;
    }
    case 't': {
        uint64_t v = 0;
        const int r = sd_bus_message_read_basic(message, 't', &v);
        out = v <= UINT32_MAX ? static_cast<uint32_t>(v) : 0;
        return r;
    }
    case 'd': {
        double v = 0;
        const int r = sd_bus_message_read_basic(message, 'd', &v);
        out = v >= 1 && v <= UINT32_MAX ? static_cast<uint32_t>(v) : 0;
        return r;
    }
    default:
        return -EINVAL;
    }
}

int readFlag(sd_bus_message* message, bool& out) {
    char type = 0;
    const int peeked = sd_bus_message_peek_type(message, &type, nullptr);
    if (peeked <= 0)
        return peeked < 0 ? peeked : -EINVAL;
    if (type == 'b') {
        int v = 0;
        const int r = sd_bus_message_read_basic(message, 'b', &v);
        out = v != 0;
        return r;
    }
    uint32_t n = 0;
    const int r = readNumber(message, n);
    out = n != 0;
    return r;
}

int readText(sd_bus_message* message, std::string& out) {
    const char* text = nullptr;
    const int r = sd_bus_message_read_basic(message, 's', &text);
    if (r > 0)
        out = text;
    return r > 0 ? r : (r < 0 ? r : -EINVAL);
}

std::string nameOwner(sd_bus* bus, const char* name) {
    sd_bus_message* reply = nullptr;
    std::string owner;
    if (sd_bus_call_method(bus, kBus, kBusPath, kBus, "GetNameOwner", nullptr, &reply, "s", name) >= 0)
        readText(reply, owner);
    sd_bus_message_unref(reply);
    return owner;
}

std::string errorText(const sd_bus_error& error, int r) {
    if (error.message != nullptr)
        return error.message;
    return std::string("error ") + std::to_string(-r);
}
} // namespace

struct BusCalls {
    static int kwinCall(sd_bus_message* message, void* self, sd_bus_error*) {
        return static_cast<ShellWindows*>(self)->kwinCall(message);
    }
    static int ownerChanged(sd_bus_message* message, void* self, sd_bus_error*) {
        static_cast<ShellWindows*>(self)->ownerChanged(message);
        return 0;
    }
    static int gnomeChanged(sd_bus_message* message, void* self, sd_bus_error*) {
        static_cast<ShellWindows*>(self)->gnomeChanged(message);
        return 0;
    }
};

ShellWindows::ShellWindows(sd_bus* bus, Shell shell) : m_bus(bus), m_shell(shell) {}

std::unique_ptr<ShellWindows> ShellWindows::open(const std::string& kwinScript) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0)
        return nullptr;
    sd_bus_set_method_call_timeout(bus, kCallTimeoutUs);
    const auto owned = [bus](const char* name) { return !nameOwner(bus, name).empty(); };
    std::unique_ptr<ShellWindows> windows;
    if (owned(kKWin)) {
        windows.reset(new ShellWindows(bus, Shell::KWin));
        windows->startKWin(kwinScript);
    } else if (owned(kGnomeShell)) {
        windows.reset(new ShellWindows(bus, Shell::Gnome));
        windows->startGnome();
    } else {
        sd_bus_flush_close_unref(bus);
        return nullptr;
    }
    windows->dispatch();
    return windows;
}

ShellWindows::~ShellWindows() {
    if (m_scriptLoaded && !m_broken) {
        sd_bus_message* reply = nullptr;
        sd_bus_call_method(m_bus, kKWin, "/Scripting", "org.kde.kwin.Scripting", "unloadScript", nullptr, &reply, "s",
                           kScriptName);
        sd_bus_message_unref(reply);
    }
    for (sd_bus_slot* slot : m_slots)
        sd_bus_slot_unref(slot);
    sd_bus_flush_close_unref(m_bus);
}

void ShellWindows::fail(std::string problem) {
    m_problem = std::move(problem);
    clear();
}

void ShellWindows::startKWin(const std::string& script) {
    if (::access(script.c_str(), R_OK) != 0) {
        fail("Vornik's KWin script " + script + " is missing: install Vornik again");
        return;
    }
    m_owner = nameOwner(m_bus, kKWin);
    sd_bus_slot* slot = nullptr;
    if (sd_bus_add_object(m_bus, &slot, kOurPath, &BusCalls::kwinCall, this) >= 0)
        m_slots.push_back(slot);
    if (sd_bus_request_name(m_bus, kOurName, 0) < 0) {
        fail(std::string("another program holds the session bus name ") + kOurName + ", which KWin's script calls");
        return;
    }
    const std::string ownerRule = std::string("type='signal',sender='") + kBus + "',member='NameOwnerChanged',arg0='" +
                                  kKWin + "'";
    if (sd_bus_add_match(m_bus, &slot, ownerRule.c_str(), &BusCalls::ownerChanged, this) >= 0)
        m_slots.push_back(slot);

    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    // One left loaded by a Vornik that did not end cleanly would talk to us twice.
    sd_bus_call_method(m_bus, kKWin, "/Scripting", "org.kde.kwin.Scripting", "unloadScript", nullptr, &reply, "s",
                       kScriptName);
    reply = sd_bus_message_unref(reply);
    int32_t id = -1;
    int r = sd_bus_call_method(m_bus, kKWin, "/Scripting", "org.kde.kwin.Scripting", "loadScript", &error, &reply, "ss",
                               script.c_str(), kScriptName);
    if (r >= 0)
        r = sd_bus_message_read(reply, "i", &id);
    reply = sd_bus_message_unref(reply);
    if (r < 0 || id < 0) {
        fail("KWin did not load Vornik's script " + script + (r < 0 ? ": " + errorText(error, r) : std::string()));
        sd_bus_error_free(&error);
        return;
    }
    m_scriptLoaded = true;
    // KWin 6 puts the script at /Scripting/ScriptID, KWin 5.27 at /ID.
    for (const std::string& path : {"/Scripting/Script" + std::to_string(id), "/" + std::to_string(id)}) {
        sd_bus_error_free(&error);
        r = sd_bus_call_method(m_bus, kKWin, path.c_str(), "org.kde.kwin.Script", "run", &error, &reply, "");
        reply = sd_bus_message_unref(reply);
        if (r >= 0)
            break;
    }
    if (r < 0) {
        fail("KWin did not run Vornik's script: " + errorText(error, r));
        sd_bus_error_free(&error);
        return;
    }
    // Until the script has said what there is, nothing is known.
    m_problem = "KWin has not started Vornik's script " + script + " yet";
}

void ShellWindows::startGnome() {
    sd_bus_slot* slot = nullptr;
    const std::string ownerRule = std::string("type='signal',sender='") + kBus + "',member='NameOwnerChanged',arg0='" +
                                  kExtensionName + "'";
    if (sd_bus_add_match(m_bus, &slot, ownerRule.c_str(), &BusCalls::ownerChanged, this) >= 0)
        m_slots.push_back(slot);
    const std::string changedRule = std::string("type='signal',interface='") + kExtensionInterface +
                                    "',member='Changed',path='" + kExtensionPath + "'";
    if (sd_bus_add_match(m_bus, &slot, changedRule.c_str(), &BusCalls::gnomeChanged, this) >= 0)
        m_slots.push_back(slot);
    askGnome(true);
}

bool ShellWindows::askGnome(bool findOwner) {
    if (findOwner)
        m_owner = nameOwner(m_bus, kExtensionName);
    if (m_owner.empty()) {
        fail(std::string("the GNOME Shell extension \"Vornik windows\" is not enabled: run gnome-extensions enable ") +
             kExtensionUuid + ", then log out and in again");
        return false;
    }
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int r = sd_bus_call_method(m_bus, m_owner.c_str(), kExtensionPath, kExtensionInterface, "GetWindows", &error, &reply, "");
    if (r < 0) {
        if (r == -ETIMEDOUT) {
            m_silent = nowUs();
            fail("GNOME Shell does not answer");
        } else {
            fail("the GNOME Shell extension " + std::string(kExtensionUuid) + " did not answer: " + errorText(error, r));
        }
        sd_bus_error_free(&error);
        return false;
    }
    uint32_t version = 0;
    r = sd_bus_message_read(reply, "u", &version);
    if (r > 0 && version != kContractVersion) {
        fail("the GNOME Shell extension " + std::string(kExtensionUuid) + " speaks version " + std::to_string(version) +
             ", this Vornik version " + std::to_string(kContractVersion) +
             ": install the extension that comes with this Vornik, then log out and in again");
    } else if (r <= 0 || takeGnomeState(reply) < 0) {
        fail("the GNOME Shell extension " + std::string(kExtensionUuid) + " answered what Vornik cannot read");
    } else {
        m_problem.clear();
        m_silent = 0;
    }
    sd_bus_message_unref(reply);
    return m_problem.empty();
}

bool ShellWindows::fromShell(sd_bus_message* message) const {
    const char* sender = sd_bus_message_get_sender(message);
    return sender != nullptr && !m_owner.empty() && m_owner == sender;
}

void ShellWindows::ownerChanged(sd_bus_message* message) {
    const char* name = nullptr;
    const char* before = nullptr;
    const char* after = nullptr;
    if (sd_bus_message_read(message, "sss", &name, &before, &after) < 0)
        return;
    if (m_shell == Shell::KWin) {
        if (*after == '\0') {
            m_scriptLoaded = false;
            fail("KWin has left the session");
        }
    } else {
        m_askPending = true; // asked once the bus's messages are handled
    }
    m_changed = true;
}

void ShellWindows::gnomeChanged(sd_bus_message* message) {
    if (!fromShell(message) || !m_problem.empty())
        return;
    m_silent = 0;
    if (takeGnomeState(message) < 0)
        m_askPending = true;
}

int ShellWindows::kwinCall(sd_bus_message* message) {
    if (!sd_bus_message_is_method_call(message, kOurInterface, nullptr))
        return 0; // introspection and the like: sd-bus answers
    if (!fromShell(message))
        return sd_bus_reply_method_errorf(message, SD_BUS_ERROR_ACCESS_DENIED, "Only KWin tells Vornik its windows.");
    m_silent = 0;
    const char* member = sd_bus_message_get_member(message);
    const std::string call = member != nullptr ? member : "";
    int r = 0;
    if (call == "Reset") {
        uint32_t version = 0;
        r = readNumber(message, version);
        if (r >= 0 && version != kContractVersion) {
            fail("Vornik's KWin script speaks version " + std::to_string(version) + ", this Vornik version " +
                 std::to_string(kContractVersion) + ": install Vornik again");
        } else if (r >= 0) {
            m_problem.clear();
            clear();
        }
    } else if (!m_problem.empty()) {
        r = 0; // not listening: after a wrong version, or before the script's first word
    } else if (call == "Window") {
        r = readWindow(message, nullptr);
    } else if (call == "Closed") {
        std::string id;
        r = readText(message, id);
        if (r >= 0)
            forget(id);
    } else if (call == "Activated") {
        Known* kept = nullptr;
        r = readWindow(message, &kept);
        if (r >= 0)
            activate(kept != nullptr ? kept->id : std::string());
    } else {
        return sd_bus_reply_method_errorf(message, SD_BUS_ERROR_UNKNOWN_METHOD, "No method %s.", call.c_str());
    }
    if (r < 0)
        return sd_bus_reply_method_errorf(message, SD_BUS_ERROR_INVALID_ARGS, "%s: not what Vornik reads.", call.c_str());
    m_changed = true;
    return sd_bus_reply_method_return(message, nullptr);
}

int ShellWindows::readWindow(sd_bus_message* message, Known** kept) {
    std::string id, title, program;
    uint32_t pid = 0;
    bool x11 = false;
    int r = readText(message, id);
    if (r >= 0)
        r = readText(message, title);
    if (r >= 0)
        r = readText(message, program);
    if (r >= 0)
        r = readNumber(message, pid);
    if (r >= 0)
        r = readFlag(message, x11);
    if (r < 0)
        return r;
    if (kept != nullptr)
        *kept = nullptr;
    if (id.empty())
        return 0; // none (an activation of what is not listed)
    Known& known = keep(id);
    known.shown.title = std::move(title);
    known.shown.appId = std::move(program);
    known.shown.pid = pid;
    known.shown.origin = x11 ? Toplevel::Origin::X : Toplevel::Origin::Native;
    known.shown.described = true;
    if (kept != nullptr)
        *kept = &known;
    return 0;
}

int ShellWindows::takeGnomeState(sd_bus_message* message) {
    std::string focused;
    int r = readText(message, focused);
    if (r < 0)
        return r;
    r = sd_bus_message_enter_container(message, 'a', "(sssub)");
    if (r < 0)
        return r;
    std::set<std::string> listed;
    while ((r = sd_bus_message_enter_container(message, 'r', "sssub")) > 0) {
        Known* kept = nullptr;
        if ((r = readWindow(message, &kept)) < 0 || (r = sd_bus_message_exit_container(message)) < 0)
            return r;
        if (kept != nullptr)
            listed.insert(kept->id);
    }
    if (r < 0 || (r = sd_bus_message_exit_container(message)) < 0)
        return r;
    for (auto it = m_known.begin(); it != m_known.end();) {
        if (listed.count((*it)->id) == 0)
            it = m_known.erase(it);
        else
            ++it;
    }
    activate(focused);
    m_changed = true;
    return 0;
}

ShellWindows::Known& ShellWindows::keep(const std::string& id) {
    for (auto& known : m_known) {
        if (known->id == id)
            return *known;
    }
    m_known.push_back(std::make_unique<Known>());
    Known& made = *m_known.back();
    made.id = id;
    made.shown.handle = m_nextHandle++;
    return made;
}

void ShellWindows::forget(const std::string& id) {
    m_known.erase(std::remove_if(m_known.begin(), m_known.end(), [&](const auto& k) { return k->id == id; }),
                  m_known.end());
}

void ShellWindows::activate(const std::string& id) {
    for (auto& known : m_known)
        known->shown.activated = !id.empty() && known->id == id;
}

void ShellWindows::clear() {
    m_known.clear();
    m_changed = true;
}

std::string ShellWindows::unseenReason() const {
    if (m_broken)
        return "the connection to the session bus broke";
    if (m_silent != 0 && m_problem.empty())
        return m_shell == Shell::KWin ? "KWin does not answer" : "GNOME Shell does not answer";
    return m_problem;
}

int ShellWindows::descriptor() const {
    return m_broken ? -1 : sd_bus_get_fd(m_bus);
}

bool ShellWindows::dispatch() {
    bool changed = false;
    while (!m_broken) {
        m_changed = false;
        int r = 0;
        while ((r = sd_bus_process(m_bus, nullptr)) > 0) {
        }
        changed = changed || m_changed;
        if (r < 0) {
            m_broken = true;
            clear();
            return true;
        }
        if (!m_askPending)
            break;
        m_askPending = false;
        askGnome(true);
        changed = true;
    }
    return changed;
}

void ShellWindows::roundTrip() {
    if (m_broken)
        return;
    if (m_silent != 0 && nowUs() - m_silent < kSilentRetryUs) {
        dispatch();
        return;
    }
    if (m_shell == Shell::Gnome) {
        if (m_owner.empty() && m_silent == 0) {
            dispatch(); // not enabled: its coming is announced
            return;
        }
        // Who owns the name is followed (NameOwnerChanged): one round trip, to the Shell alone.
        askGnome(false);
    } else if (m_scriptLoaded) {
        // KWin sends the script's calls in order: once it has answered, every one it sent before is in.
        sd_bus_message* reply = nullptr;
        const int r = sd_bus_call_method(m_bus, kKWin, "/", "org.freedesktop.DBus.Peer", "Ping", nullptr, &reply, "");
        sd_bus_message_unref(reply);
        m_silent = r == -ETIMEDOUT ? nowUs() : 0;
    }
    dispatch();
}

std::vector<Toplevel*> ShellWindows::toplevels() {
    std::vector<Toplevel*> out;
    if (!hasToplevels())
        return out;
    for (auto& known : m_known)
        out.push_back(&known->shown);
    return out;
}

Toplevel* ShellWindows::find(uint64_t handle) {
    for (auto& known : m_known) {
        if (known->shown.handle == handle)
            return &known->shown;
    }
    return nullptr;
}

Toplevel* ShellWindows::activated() {
    if (!hasToplevels())
        return nullptr;
    for (auto& known : m_known) {
        if (known->shown.activated)
            return &known->shown;
    }
    return nullptr;
}

} // namespace vornik
