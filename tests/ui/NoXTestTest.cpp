// On an X server without the XTEST extension no key event can go out: the program says so once at
// start-up, naming the extension, and goes on (the live view needs no XTEST).

#include "Modal.h"
#include "MainWindow.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// Last: the X11 headers define macros that clash with Qt's names.
#include "LinuxPlatform.h"

namespace vornik::ui::test {
namespace {

// An Xvfb of the test's own, started without XTEST.
class ServerWithoutXTest {
public:
    ServerWithoutXTest() {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-extension", "XTEST", "-nolisten", "tcp",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        // The number comes with a newline, maybe in two writes: the pipe stays open until the server
        // ends, since a write into a closed pipe would end the server.
        m_pipe = fds[0];
        std::string number;
        char c = 0;
        while (::read(m_pipe, &c, 1) == 1 && c != '\n')
            number += c;
        if (!number.empty() && c == '\n')
            m_name = ":" + number;
    }
    ~ServerWithoutXTest() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_pipe >= 0)
            ::close(m_pipe);
    }
    const std::string& name() const { return m_name; }

private:
    pid_t m_pid = -1;
    int m_pipe = -1;
    std::string m_name;
};

TEST(NoXTest, TheProgramSaysKeysCannotBeSentAndGoesOn) {
    ServerWithoutXTest server;
    ASSERT_FALSE(server.name().empty()) << "Xvfb did not start";
    Modal::setTestMode(true);
    Modal::reset();
    LinuxPlatform backend(server.name().c_str());
    StartupOptions options;
    options.exeDirectory = QCoreApplication::applicationDirPath();
    options.runTimer = false;
    options.quit = [] {};
    {
        TVornik window(backend.platform(), options);
        ASSERT_EQ(Modal::shown().size(), 1u);
        EXPECT_EQ(Modal::shown()[0].caption, "Message");
        EXPECT_TRUE(Modal::shown()[0].text.contains("XTEST")) << Modal::shown()[0].text.toStdString();
        EXPECT_TRUE(window.isVisible());
    }
    Modal::reset();
}

} // namespace
} // namespace vornik::ui::test
