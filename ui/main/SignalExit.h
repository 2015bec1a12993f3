#pragma once

// Turns SIGINT, SIGTERM, SIGHUP and SIGQUIT into a call on the main thread, through a self-pipe
// watched by the event loop: the signal handler itself only writes one byte, and runs the
// interrupt, if one is set.

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace vornik::ui {

class SignalExit : public QObject {
    Q_OBJECT
public:
    // Run inside the signal handler, on whichever thread took the signal, before the main thread
    // hears of it: it must be safe there. It lets a main thread that is busy (playing a move) stop.
    using Interrupt = void (*)(void* context) noexcept;

    // Installs the handlers; `onSignal` runs on the main thread, once per signal received.
    explicit SignalExit(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~SignalExit() override;

    void setInterrupt(Interrupt interrupt, void* context);

private:
    void readSignal();

    std::function<void(int)> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace vornik::ui
