#pragma once

// Turns SIGINT and SIGTERM into a call on the main thread, through a self-pipe watched by the
// event loop: the signal handler itself only writes one byte.

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace vornik::ui {

class SignalExit : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; `onSignal` runs on the main thread, once per signal received.
    explicit SignalExit(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~SignalExit() override;

private:
    void readSignal();

    std::function<void(int)> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace vornik::ui
