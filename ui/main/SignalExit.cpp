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
// The interrupt and its context are published as one: each setInterrupt fills a slot of its own and
// then publishes its address, so a handler (on any thread) that has loaded it calls the function with
// the context that was set with it, whatever is set meanwhile. The slots are reused only after
// kHookSlots more sets; the program sets the interrupt twice in its life. A lock-free atomic pointer
// is safe to read in a handler.
struct InterruptHook {
    SignalExit::Interrupt interrupt = nullptr;
    void* context = nullptr;
};
constexpr unsigned kHookSlots = 8;
InterruptHook g_hooks[kHookSlots];
unsigned g_nextHook = 0; // main thread only
std::atomic<const InterruptHook*> g_hook{nullptr};
static_assert(std::atomic<const InterruptHook*>::is_always_lock_free);

extern "C" void onSignal(int signal) {
    const int saved = errno;
    if (const InterruptHook* hook = g_hook.load())
        hook->interrupt(hook->context);
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
    g_hook.store(nullptr);
}

void SignalExit::setInterrupt(Interrupt interrupt, void* context) {
    if (interrupt == nullptr) {
        g_hook.store(nullptr);
        return;
    }
    InterruptHook& hook = g_hooks[g_nextHook++ % kHookSlots];
    hook = InterruptHook{interrupt, context};
    g_hook.store(&hook);
}

void SignalExit::readSignal() {
    unsigned char byte = 0;
    if (::read(g_pipe[0], &byte, 1) == 1 && m_onSignal)
        m_onSignal(byte);
}

} // namespace vornik::ui
