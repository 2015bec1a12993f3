#include "BackgroundMode.h"

#include "Modal.h"

#include <QCoreApplication>
#include <QWidget>

namespace vornik::ui {

BackgroundMode::BackgroundMode(QWidget& window, const QIcon& icon, std::function<bool()> trayAvailable)
    : QObject(&window), m_window(window), m_tray(new QSystemTrayIcon(icon, this)),
      m_trayAvailable(std::move(trayAvailable)) {
    m_tray->setToolTip(QStringLiteral("Vornik"));
    connect(m_tray, &QSystemTrayIcon::activated, this, &BackgroundMode::activated);
}

void BackgroundMode::enter() {
    if (!m_trayAvailable()) {
        Modal::error(&m_window, QCoreApplication::translate("Vornik", "這個桌面沒有通知區域（系統匣），無法背景執行：\n"
                                                                      "隱藏後將無法把程式叫回來。"));
        return;
    }
    m_tray->show();
    m_active = true;
    m_window.hide();
}

void BackgroundMode::activated(QSystemTrayIcon::ActivationReason reason) {
    // Only a left (Trigger) or right (Context) button press restores.
    if (!m_active || (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::Context))
        return;
    // Hiding the icon deletes the widget that is still being handed this press (and, for the right
    // button, the context-menu event that follows it), so the restore waits for the event loop.
    QMetaObject::invokeMethod(this, &BackgroundMode::leave, Qt::QueuedConnection);
}

void BackgroundMode::bringToFront() {
    if (m_active) {
        leave();
        return;
    }
    m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
}

void BackgroundMode::leave() {
    if (!m_active)
        return;
    m_active = false;
    m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
    m_tray->hide();
}

} // namespace vornik::ui
