#pragma once

// A session bus of a program's own, and the stand-ins of KWin and GNOME Shell on it (gjs, running
// our real script and extension; tests/wayland/standins), for the tests and the bench.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace vornik {

// Starts a dbus-daemon and points DBUS_SESSION_BUS_ADDRESS at it; stops it when destroyed.
class PrivateSessionBus {
public:
    PrivateSessionBus() {
        FILE* daemon = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
        char address[512] = {};
        char pid[32] = {};
        if (daemon != nullptr && std::fgets(address, sizeof address, daemon) != nullptr &&
            std::fgets(pid, sizeof pid, daemon) != nullptr) {
            address[std::strcspn(address, "\n")] = '\0';
            ::setenv("DBUS_SESSION_BUS_ADDRESS", address, 1);
            m_pid = std::atoi(pid);
        }
        if (daemon != nullptr)
            ::pclose(daemon);
    }
    ~PrivateSessionBus() {
        if (m_pid > 0)
            ::kill(m_pid, SIGTERM);
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;
    bool up() const { return m_pid > 0; }

private:
    int m_pid = 0;
};

// A shell's stand-in: "kwin5", "kwin6" or "gnome" (with `extra` arguments), its stdin ours to write
// lines to, what it prints kept in `logFile`.
class ShellStandIn {
public:
    ShellStandIn(const std::string& sourceDir, const std::string& shell, const std::string& logFile,
                 const std::string& extra = {})
        : m_out(logFile) {
        std::signal(SIGPIPE, SIG_IGN); // a stand-in that ended is seen in its log, not by dying here
        const std::string script = shell == "gnome" ? sourceDir + "/tests/wayland/standins/gnome-shell.js"
                                                    : sourceDir + "/tests/wayland/standins/kwin.js --api " +
                                                          (shell == "kwin5" ? "5" : "6");
        const std::string command = "exec gjs -m " + script + " " + extra + " >" + m_out + " 2>&1";
        m_in = ::popen(command.c_str(), "w");
    }
    ~ShellStandIn() {
        if (m_in != nullptr) {
            say("quit");
            ::pclose(m_in);
        }
        std::remove(m_out.c_str());
    }
    ShellStandIn(const ShellStandIn&) = delete;
    ShellStandIn& operator=(const ShellStandIn&) = delete;
    static bool available() { return std::system("command -v gjs >/dev/null 2>&1") == 0; }

    void say(const std::string& line) {
        std::fputs((line + "\n").c_str(), m_in);
        std::fflush(m_in);
    }
    std::string log() const {
        std::ifstream in(m_out);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    int times(const std::string& text) const {
        const std::string all = log();
        int n = 0;
        for (auto at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
            ++n;
        return n;
    }
    bool printed(const std::string& text) const { return times(text) > 0; }

private:
    FILE* m_in = nullptr;
    std::string m_out;
};

} // namespace vornik
