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

// The display names the session: ":0" and ":1" are two desktops of one user.
QString sessionName() {
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    for (QChar& c : display) {
        if (!c.isLetterOrNumber())
            c = QLatin1Char('_');
    }
    return QStringLiteral("vornik-") + display;
}

QByteArray encode(const QStringList& request) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << request;
    return bytes;
}
} // namespace

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
                in >> request;
                if (!in.commitTransaction())
                    return; // the rest is still on its way
                socket->write(&kAnswer, 1);
                socket->flush();
                received(request);
            });
        }
    });
    return true;
}

bool SingleInstance::handOver(const QStringList& request, int waitMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(waitMs))
        return false;
    socket.write(encode(request));
    if (!socket.waitForBytesWritten(waitMs))
        return false;
    char answer = 0;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(waitMs))
            return false;
    }
    return socket.read(&answer, 1) == 1 && answer == kAnswer;
}

void SingleInstance::setWindow(quintptr) {}

} // namespace vornik::ui
