// Windows: the lock file in %LOCALAPPDATA%\Vornik; a later start finds the running program's main
// window (the process the lock names, the window marked with kWindowProperty) and sends it the
// request with WM_COPYDATA.
#include "SingleInstance.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <algorithm>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace vornik::ui {

namespace {
constexpr ULONG_PTR kRequestTag = 0x566F726E; // "Vorn"
const wchar_t* const kWindowProperty = L"VornikMainWindow";

struct Search {
    DWORD pid = 0;
    HWND found = nullptr;
};

BOOL CALLBACK visit(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && GetPropW(window, kWindowProperty) != nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

class SingleInstance::Receiver : public QAbstractNativeEventFilter {
public:
    explicit Receiver(SingleInstance& owner) : m_owner(owner) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_COPYDATA)
            return false;
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(msg->lParam);
        if (data == nullptr || data->dwData != kRequestTag)
            return false;
        QByteArray bytes(static_cast<const char*>(data->lpData), static_cast<qsizetype>(data->cbData));
        QDataStream in(&bytes, QIODevice::ReadOnly);
        QStringList request;
        QString id;
        decode(in, request, id);
        *result = 1;
        m_owner.received(request, id);
        return true;
    }

private:
    SingleInstance& m_owner;
};

SingleInstance::SingleInstance(QString folder)
    : m_folder(folder.isEmpty()
                   ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Vornik")
                   : std::move(folder)),
      m_name(QStringLiteral("vornik")) {}

SingleInstance::~SingleInstance() {
    if (m_receiver)
        QCoreApplication::instance()->removeNativeEventFilter(m_receiver.get());
}

QString SingleInstance::serverName() const {
    return {};
}

bool SingleInstance::listen() {
    m_receiver = std::make_unique<Receiver>(*this);
    QCoreApplication::instance()->installNativeEventFilter(m_receiver.get());
    return true;
}

bool SingleInstance::handOver(const QStringList& request, const QString& id, int waitMs) {
    qint64 pid = 0;
    QString host;
    QString application;
    if (!m_lock->getLockInfo(&pid, &host, &application))
        return false;
    Search search;
    search.pid = static_cast<DWORD>(pid);
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr)
        return false; // still starting: its window is not marked yet
    QByteArray bytes = encode(request, id);
    COPYDATASTRUCT data{kRequestTag, static_cast<DWORD>(bytes.size()), bytes.data()};
    // The running program may bring its window to the front: Windows lets only the program in front
    // hand that right on.
    AllowSetForegroundWindow(search.pid);
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(search.found, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                               static_cast<UINT>(std::max(waitMs, 1)), &answer) != 0 &&
           answer == 1;
}

QString SingleInstance::sessionKey() {
    return {}; // one desktop per user
}

void SingleInstance::setWindow(quintptr window) {
    SetPropW(reinterpret_cast<HWND>(window), kWindowProperty, reinterpret_cast<HANDLE>(1));
}

} // namespace vornik::ui
