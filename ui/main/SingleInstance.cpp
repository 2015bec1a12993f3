#include "SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <unistd.h>

namespace vornik::ui {

namespace {
constexpr char kAnswer = 'k';

QString sessionFolder() {
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath() + QStringLiteral("/vornik-%1").arg(::getuid());
    return runtime;
}

QString sessionName() {
    return QStringLiteral("vornik-") + SingleInstance::sessionKey();
}
} // namespace

// The display names the session: ":0" and ":1" are two desktops of one user.
QString SingleInstance::sessionKey() {
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    for (QChar& c : display) {
        if (!c.isLetterOrNumber())
            c = QLatin1Char('_');
    }
    return display;
}

SingleInstance::SingleInstance(QString folder)
    : m_folder(folder.isEmpty() ? sessionFolder() : std::move(folder)), m_name(sessionName()) {}

SingleInstance::~SingleInstance() {
    // The socket goes before the lock: a start that takes the lock next finds no stale socket.
    delete m_server;
    m_server = nullptr;
}

QString SingleInstance::serverName() const {
    return m_folder + QLatin1Char('/') + m_name + QStringLiteral(".socket");
}

bool SingleInstance::listen() {
    m_server = new QLocalServer;
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a program that ended without removing it.
    QLocalServer::removeServer(serverName());
    if (!m_server->listen(serverName()))
        return true; // the program runs; later starts cannot reach it and wait for the lock in vain
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                QDataStream in(socket);
                in.startTransaction();
                QStringList request;
                QString id;
                decode(in, request, id);
                if (!in.commitTransaction())
                    return; // the rest is still on its way
                socket->write(&kAnswer, 1);
                socket->flush();
                received(request, id);
            });
        }
    });
    return true;
}

// One connection for the whole start: a running program that is slow to answer has the request
// once, and the next try waits on for its answer rather than sending it again. A new connection (and
// the request again) only when the running program has gone meanwhile.
bool SingleInstance::handOver(const QStringList& request, const QString& id, int waitMs) {
    if (!m_handOver || m_handOver->state() != QLocalSocket::ConnectedState) {
        m_handOver = std::make_unique<QLocalSocket>();
        m_handOver->connectToServer(serverName());
        if (!m_handOver->waitForConnected(waitMs))
            return false;
        m_handOver->write(encode(request, id));
    }
    if (m_handOver->bytesToWrite() > 0 && !m_handOver->waitForBytesWritten(waitMs))
        return false;
    char answer = 0;
    while (m_handOver->bytesAvailable() < 1) {
        if (!m_handOver->waitForReadyRead(waitMs))
            return false;
    }
    return m_handOver->read(&answer, 1) == 1 && answer == kAnswer;
}

void SingleInstance::setWindow(quintptr) {}

} // namespace vornik::ui
