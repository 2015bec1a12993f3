#include "PadProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace vornik::test {

PadProcess::PadProcess(const std::string& name) {
    const std::string description = std::string(VORNIK_PAD_DESCRIPTIONS) + "/" + name + ".pad";
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    m_pid = fork();
    if (m_pid == 0) {
        dup2(toChild[0], STDIN_FILENO);
        dup2(fromChild[1], STDOUT_FILENO);
        execl(VORNIK_UINPUT_PAD, VORNIK_UINPUT_PAD, description.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    m_in = toChild[1];
    m_out = fromChild[0];
}

PadProcess::~PadProcess() {
    // End of input unplugs the pad and ends the tool.
    close(m_in);
    pollfd fd{m_out, POLLIN, 0};
    poll(&fd, 1, 5000);
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    close(m_out);
}

std::string PadProcess::command(const std::string& line) {
    const std::string text = line + "\n";
    if (write(m_in, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        throw std::runtime_error("vornik_uinput_pad is gone");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::size_t end;
    while ((end = m_buffer.find('\n')) == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd fd{m_out, POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            throw std::runtime_error("vornik_uinput_pad did not answer " + line);
        char chunk[512];
        const ssize_t n = read(m_out, chunk, sizeof chunk);
        if (n <= 0)
            throw std::runtime_error("vornik_uinput_pad ended at " + line);
        m_buffer.append(chunk, static_cast<std::size_t>(n));
    }
    std::string answer = m_buffer.substr(0, end);
    m_buffer.erase(0, end + 1);
    if (answer.rfind("error ", 0) == 0)
        throw std::runtime_error("vornik_uinput_pad: " + line + ": " + answer.substr(6));
    return answer;
}

std::string PadProcess::plug() {
    const std::string answer = command("plug");
    return answer.substr(answer.find(' ') + 1);
}

void PadProcess::unplug() {
    command("unplug");
}

int64_t PadProcess::key(const std::string& code, bool down) {
    return std::stoll(command("key " + code + (down ? " 1" : " 0")).substr(5));
}

int64_t PadProcess::abs(const std::string& code, int value) {
    return std::stoll(command("abs " + code + " " + std::to_string(value)).substr(5));
}

} // namespace vornik::test
