// What both kinds of single instance share: the request's form, the lock and the hand-over loop
// around it, and requests kept until the running program can take them. How a request travels is
// each system's own (SingleInstance.cpp, SingleInstanceWin32.cpp).
#include "SingleInstance.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QLockFile>
#include <QThread>
#include <QUuid>

#include <algorithm>

namespace vornik::ui {

namespace {
const QString kOpen = QStringLiteral("open");
const QString kTarget = QStringLiteral("target");
const QString kTargetFront = QStringLiteral("target-front");
} // namespace

QString SingleInstance::lockPath() const {
    return m_folder + QLatin1Char('/') + m_name + QStringLiteral(".lock");
}

QStringList SingleInstance::openRequest(const QString& profile) {
    return profile.isEmpty() ? QStringList{} : QStringList{kOpen, profile};
}

// The request, then the start's id: a program of an earlier version reads the request alone.
QByteArray SingleInstance::encode(const QStringList& request, const QString& id) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << request << id;
    return bytes;
}

void SingleInstance::decode(QDataStream& in, QStringList& request, QString& id) {
    in >> request;
    if (!in.atEnd())
        in >> id; // a start of an earlier version sends none
}

QString SingleInstance::profileOf(const QStringList& request) {
    return request.size() == 2 && request[0] == kOpen ? request[1] : QString();
}

QStringList SingleInstance::targetRequest(const QString& program) {
    return {kTarget, program};
}

QStringList SingleInstance::targetFrontRequest() {
    return {kTargetFront};
}

QString SingleInstance::targetOf(const QStringList& request) {
    return request.size() == 2 && request[0] == kTarget ? request[1] : QString();
}

bool SingleInstance::targetsFront(const QStringList& request) {
    return request.size() == 1 && request[0] == kTargetFront;
}

SingleInstance::Role SingleInstance::start(const QStringList& request, int waitMs) {
    QDir().mkpath(m_folder);
    m_lock = std::make_unique<QLockFile>(lockPath());
    // A lock left by a program that is gone is taken over (QLockFile checks the process it names).
    m_lock->setStaleLockTime(0);
    const QDeadlineTimer deadline(waitMs);
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    while (!m_lock->tryLock(0)) {
        if (m_lock->error() != QLockFile::LockFailedError)
            return listen() ? Role::First : Role::Failed; // no lock can be had here: run alone
        if (handOver(request, id, static_cast<int>(std::min<qint64>(deadline.remainingTime(), 1000))))
            return Role::HandedOver;
        if (deadline.hasExpired())
            return Role::Failed;
        QThread::msleep(50);
    }
    return listen() ? Role::First : Role::Failed;
}

void SingleInstance::received(const QStringList& request, const QString& id) {
    if (!id.isEmpty()) {
        if (m_seen.contains(id))
            return;
        constexpr int kSeenKept = 64;
        m_seen << id;
        if (m_seen.size() > kSeenKept)
            m_seen.removeFirst();
    }
    if (m_handler)
        m_handler(request);
    else
        m_waiting << request;
}

void SingleInstance::setHandler(std::function<void(const QStringList&)> handler) {
    m_handler = std::move(handler);
    const QList<QStringList> waiting = std::exchange(m_waiting, {});
    for (const QStringList& request : waiting)
        m_handler(request);
}

} // namespace vornik::ui
