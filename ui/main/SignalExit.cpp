#include "SignalExit.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vornik::ui {

namespace {
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

int g_pipe[2] = {-1, -1};
// Set before the handlers can see them, read in the handler: lock-free atomics are safe there.
std::atomic<SignalExit::Interrupt> g_interrupt{nullptr};
std::atomic<void*> g_interruptContext{nullptr};

extern "C" void onSignal(int signal) {
    const int saved = errno;
    if (const SignalExit::Interrupt interrupt = g_interrupt.load())
        interrupt(g_interruptContext.load());
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

void setHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        sigaction(signal, &action, nullptr);
}
} // namespace

SignalExit::SignalExit(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), m_onSignal(std::move(onSignal)) {
    if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalExit::readSignal);
    setHandler(vornik::ui::onSignal);
}

SignalExit::~SignalExit() {
    setHandler(SIG_DFL);
    g_interrupt.store(nullptr);
    g_interruptContext.store(nullptr);
}

void SignalExit::setInterrupt(Interrupt interrupt, void* context) {
    g_interrupt.store(nullptr);
    g_interruptContext.store(context);
    g_interrupt.store(interrupt);
}

void SignalExit::readSignal() {
    unsigned char byte = 0;
    if (::read(g_pipe[0], &byte, 1) == 1 && m_onSignal)
        m_onSignal(byte);
}

} // namespace vornik::ui
