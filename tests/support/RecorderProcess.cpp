#include "RecorderProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace vornik::test {

RecorderProcess::RecorderProcess(const std::vector<std::string>& args) : RecorderProcess(VORNIK_KEY_RECORDER, args) {}

RecorderProcess::RecorderProcess(const std::string& program, const std::vector<std::string>& args) {
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    m_pid = fork();
    if (m_pid == 0) {
        dup2(toChild[0], STDIN_FILENO);
        dup2(fromChild[1], STDOUT_FILENO);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    m_in = toChild[1];
    m_out = fromChild[0];
    fcntl(m_out, F_SETFL, O_NONBLOCK);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!m_ready && std::chrono::steady_clock::now() < deadline) {
        if (!readLines(100))
            break;
    }
    if (!m_ready) {
        kill();
        throw std::runtime_error(program + " did not start");
    }
}

RecorderProcess::~RecorderProcess() {
    kill();
}

void RecorderProcess::kill() {
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
    close(m_in);
    close(m_out);
}

// Reads whatever output has arrived, waiting up to `timeoutMs` for the first byte; false at end of file.
bool RecorderProcess::readLines(int timeoutMs) {
    if (m_pid <= 0)
        return false;
    pollfd fd{m_out, POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) <= 0)
        return true;
    char chunk[4096];
    const ssize_t n = read(m_out, chunk, sizeof chunk);
    if (n == 0)
        return false;
    if (n < 0)
        return true;
    m_buffer.append(chunk, static_cast<std::size_t>(n));
    std::size_t end;
    while ((end = m_buffer.find('\n')) != std::string::npos) {
        std::istringstream line(m_buffer.substr(0, end));
        m_buffer.erase(0, end + 1);
        std::string word;
        line >> word;
        if (word == "ready") {
            std::string id;
            line >> id;
            m_window = static_cast<Window>(std::strtoul(id.c_str(), nullptr, 16));
            m_ready = true;
        } else if (word == "press" || word == "release") {
            RecordedKey key;
            key.press = word == "press";
            line >> key.keysym >> key.keycode >> key.timeUs;
            m_keys.push_back(key);
        }
    }
    return true;
}

const std::vector<RecordedKey>& RecorderProcess::keys() {
    readLines(0);
    return m_keys;
}

bool RecorderProcess::waitForKeys(std::size_t count, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_keys.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !readLines(static_cast<int>(left.count())))
            return m_keys.size() >= count;
    }
    return true;
}

std::vector<std::string> RecorderProcess::keyTexts() {
    std::vector<std::string> texts;
    for (const RecordedKey& key : keys())
        texts.push_back(key.text());
    return texts;
}

} // namespace vornik::test
