#pragma once

// A key_recorder process: a real X client window that reports every key event it receives, and its
// pointer button events as the keys "ButtonN".

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace vornik::test {

struct RecordedKey {
    bool press = false;
    std::string keysym;
    int keycode = 0;
    int64_t timeUs = 0; // CLOCK_MONOTONIC, when the client received the event

    std::string text() const { return (press ? "+" : "-") + keysym; }
};

class RecorderProcess {
public:
    // Starts key_recorder with `args` and waits until its window is up; throws when it does not come.
    explicit RecorderProcess(const std::vector<std::string>& args = {});
    // The same with another recorder of the same output (the native one of tests/wayland), whose
    // "ready" names no X window.
    RecorderProcess(const std::string& program, const std::vector<std::string>& args);
    ~RecorderProcess();
    RecorderProcess(const RecorderProcess&) = delete;
    RecorderProcess& operator=(const RecorderProcess&) = delete;

    pid_t pid() const { return m_pid; }
    Window window() const { return m_window; }

    // Key events received so far (reads what has arrived without waiting).
    const std::vector<RecordedKey>& keys();
    // Waits until at least `count` key events have arrived; false on timeout.
    bool waitForKeys(std::size_t count, std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));
    // The events as "+x" / "-x", in order.
    std::vector<std::string> keyTexts();
    void clearKeys() { m_keys.clear(); }
    // Ends the process at once (its windows vanish) and reaps it.
    void kill();

private:
    bool readLines(int timeoutMs);

    pid_t m_pid = -1;
    int m_in = -1;  // its standard input; closing it ends the process
    int m_out = -1; // its standard output
    Window m_window = 0;
    bool m_ready = false;
    std::string m_buffer;
    std::vector<RecordedKey> m_keys;
};

} // namespace vornik::test
