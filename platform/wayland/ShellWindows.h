#pragma once

#include "ToplevelSource.h"

#include <memory>
#include <string>
#include <vector>

struct sd_bus;
struct sd_bus_message;
struct sd_bus_slot;

namespace vornik {

// The windows of KWin or of GNOME Shell, as code of ours running inside the compositor tells them
// over the session bus (docs/desktop-shells.md): on KWin a script this loads when it starts and
// unloads when it goes, which calls an object of ours with every change; on GNOME Shell an extension
// the user enables, which this asks and listens to. Only what the compositor's own connection says
// is believed. A shell that stops answering is not waited for again until it speaks: meanwhile no
// window counts as known to be in front. Main thread only.
class ShellWindows : public ToplevelSource {
public:
    enum class Shell { KWin, Gnome };
    static constexpr const char* kScriptName = "vornik-windows";
    static constexpr const char* kExtensionUuid = "windows@vornik.github.io";
    static constexpr uint32_t kContractVersion = 1;

    // Connects to the session bus and finds the shell on it (KWin first); nullptr when there is no
    // bus or neither shell is on it. `kwinScript`: the script's file, loaded into KWin.
    static std::unique_ptr<ShellWindows> open(const std::string& kwinScript);
    ~ShellWindows() override;
    ShellWindows(const ShellWindows&) = delete;
    ShellWindows& operator=(const ShellWindows&) = delete;

    Shell shell() const { return m_shell; }
    bool hasToplevels() const override { return m_problem.empty() && !m_broken && m_silent == 0; }
    bool broken() const override { return m_broken; }
    std::string unseenReason() const override;
    int descriptor() const override;
    bool dispatch() override;
    void roundTrip() override;
    std::vector<Toplevel*> toplevels() override;
    Toplevel* find(uint64_t handle) override;
    Toplevel* activated() override;

private:
    struct Known {
        std::string id;
        Toplevel shown;
    };
    ShellWindows(sd_bus* bus, Shell shell);
    void startKWin(const std::string& script);
    void startGnome();
    // Asks the extension for every window (first who owns its name, with `findOwner`); false when it
    // did not answer.
    bool askGnome(bool findOwner);
    friend struct BusCalls; // what sd-bus calls back
    void ownerChanged(sd_bus_message* message);
    void gnomeChanged(sd_bus_message* message);
    int kwinCall(sd_bus_message* message);
    // Reads one window record of the contract (id, title, program, pid, x11) and keeps it.
    // `kept`: the window, or nullptr for none (an empty id).
    int readWindow(sd_bus_message* message, Known** kept);
    // Takes the extension's whole answer: the window in front and every window.
    int takeGnomeState(sd_bus_message* message);
    Known& keep(const std::string& id);
    void forget(const std::string& id);
    void activate(const std::string& id);
    void clear();
    // Whether `message` comes from the compositor's own connection.
    bool fromShell(sd_bus_message* message) const;
    // Says why nothing is told, and forgets what was.
    void fail(std::string problem);

    sd_bus* m_bus = nullptr;
    Shell m_shell;
    std::vector<sd_bus_slot*> m_slots;
    std::string m_owner; // the unique name of the shell's connection that speaks to us
    std::string m_problem;
    bool m_broken = false;
    bool m_changed = false;
    bool m_scriptLoaded = false;
    bool m_askPending = false; // the extension's name changed hands: ask it again
    uint64_t m_silent = 0; // when a call timed out (µs, monotonic); 0 while the shell answers
    std::vector<std::unique_ptr<Known>> m_known; // oldest first
    uint64_t m_nextHandle = kHandleBase;
};

} // namespace vornik
