#pragma once

// One Vornik per user session. The first start takes a lock file and answers on a local socket,
// both named for the user's session; every later start hands its request (a profile to open, or
// just "show the window") to the running program and ends. Requests that come before the running
// program can take them (during its start-up questions) wait until it can. Each start's request
// carries an id of its own, and the running program takes a request with an id it has seen once: a
// start that tries again while the running program is slow to answer never has it load a profile
// twice.
//
// Linux: QLockFile and QLocalServer in $XDG_RUNTIME_DIR (else the temporary folder), named for the
// display, so that each desktop session of the user has its own. Windows: the same lock file in
// %LOCALAPPDATA%\Vornik, and WM_COPYDATA to the running program's main window.

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class QLockFile;
class QLocalServer;
class QLocalSocket;
class QDataStream;

namespace vornik::ui {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        First,      // this process runs the program
        HandedOver, // the running program has the request: this one ends (status 0)
        Failed      // a program runs but did not take the request
    };

    // `folder`: where the lock file and the socket live; empty: the session's own (see above).
    explicit SingleInstance(QString folder = {});
    ~SingleInstance() override;

    // Takes the lock, or hands `request` to the program that holds it (waiting up to `waitMs` for it
    // to answer: it may be starting).
    Role start(const QStringList& request, int waitMs = 10000);
    // Requests from later starts; those received before this is called are handed over now.
    void setHandler(std::function<void(const QStringList& request)> handler);
    // Windows: the main window that later starts send their requests to.
    void setWindow(quintptr window);

    // A request: the profile to open (absolute), or nothing to bring the window to the front.
    static QStringList openRequest(const QString& profile);
    // What tells this desktop session from another of the same user (Linux: the display, ":0" as
    // "_0"); empty where a user has one (Windows).
    static QString sessionKey();
    static QString profileOf(const QStringList& request);
    // A request to make a program's window the target (--target NAME), or the window in front
    // (--target-front); a running program of an earlier version takes either for "show the window".
    static QStringList targetRequest(const QString& program);
    static QStringList targetFrontRequest();
    // The program a request names; empty when it is no target request.
    static QString targetOf(const QStringList& request);
    static bool targetsFront(const QStringList& request);

    QString lockPath() const;
    QString serverName() const;

private:
    // A request and its start's id as they travel, and back.
    static QByteArray encode(const QStringList& request, const QString& id);
    static void decode(QDataStream& in, QStringList& request, QString& id);
    // A request from a later start; `id` empty from a start of an earlier version.
    void received(const QStringList& request, const QString& id);
    bool handOver(const QStringList& request, const QString& id, int waitMs);
    bool listen();

    QString m_folder;
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    std::function<void(const QStringList&)> m_handler;
    QList<QStringList> m_waiting;
    QStringList m_seen; // the ids of the requests taken, the latest last
#ifndef Q_OS_WIN
    std::unique_ptr<QLocalSocket> m_handOver; // this start's one connection to the running program
#endif
#ifdef Q_OS_WIN
    class Receiver;
    std::unique_ptr<Receiver> m_receiver;
#endif
};

} // namespace vornik::ui
