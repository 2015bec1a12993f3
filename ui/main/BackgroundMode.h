#pragma once

// Background mode: every window hidden and the program's icon in the notification area; a press on
// the icon brings the window back.

#include <QObject>
#include <QSystemTrayIcon>

#include <functional>

namespace vornik::ui {

class BackgroundMode : public QObject {
public:
    // `trayAvailable` says whether the desktop has a notification area now.
    BackgroundMode(QWidget& window, const QIcon& icon, std::function<bool()> trayAvailable);

    // Hides the window and shows the icon; refused, with a word, when the desktop has no
    // notification area, since nothing could bring the program back.
    void enter();
    // A left or right press on the icon restores the program, once the press has been delivered.
    void activated(QSystemTrayIcon::ActivationReason reason);
    // The window to the front, out of background mode if it was in it.
    void bringToFront();
    bool active() const { return m_active; }
    QSystemTrayIcon* tray() const { return m_tray; }

private:
    void leave();

    QWidget& m_window;
    QSystemTrayIcon* m_tray;
    std::function<bool()> m_trayAvailable;
    bool m_active = false;
};

} // namespace vornik::ui
