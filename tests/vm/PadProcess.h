#pragma once

// A vornik_uinput_pad process: a kernel game pad (through /dev/uinput) that the test plugs in, moves
// and unplugs by writing its commands, each answered before the call returns.

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace vornik::test {

class PadProcess {
public:
    // Starts the tool with the description `pads/NAME.pad` of the tests' folder; the pad is not yet
    // plugged in. Throws when the tool does not start.
    explicit PadProcess(const std::string& name);
    ~PadProcess();
    PadProcess(const PadProcess&) = delete;
    PadProcess& operator=(const PadProcess&) = delete;

    // The device appears (udev then announces it); returns its event node.
    std::string plug();
    void unplug();
    // A button (an evdev key code's name, e.g. "BTN_SOUTH") down or up, or an axis or hat value; each
    // returns CLOCK_MONOTONIC in microseconds just before the kernel was handed the event.
    int64_t key(const std::string& code, bool down);
    int64_t abs(const std::string& code, int value);

private:
    // Writes one command and returns its answer; throws on an error answer or no answer in 5 s.
    std::string command(const std::string& line);

    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    std::string m_buffer;
};

} // namespace vornik::test
