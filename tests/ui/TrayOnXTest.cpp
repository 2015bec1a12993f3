// Background mode with a real notification area: a tray program on a private Xvfb embeds the icon,
// and the test presses the icon with the real mouse buttons, as a user does.
#include "EventLoop.h"
#include "UiFixture.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QWidget>
#include <QWindow>

#include <functional>

// Last: the X11 headers define macros that clash with Qt's names.
#include "TestDisplay.h"

namespace vornik::ui::test {
namespace {

// Runs the event loop until `done` or ten seconds.
bool runUntil(const std::function<bool()>& done) {
    return vornik::test::runUntil(done, 10000);
}

class TrayOnX : public UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        m_tray.start(QStringLiteral("trayer"), {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width",
                                                "100", "--heighttype", "pixel", "--height", "32"});
        ASSERT_TRUE(m_tray.waitForStarted()) << "trayer is not installed";
        ASSERT_TRUE(runUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }));
    }
    void TearDown() override {
        UiFixture::TearDown();
        m_tray.kill();
        m_tray.waitForFinished();
    }
    // The icon's own window, once the tray has embedded and shown it.
    QWidget* embeddedIcon() const {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qstrcmp(w->metaObject()->className(), "QSystemTrayIconSys") == 0 && w->isVisible() &&
                w->windowHandle() != nullptr && w->windowHandle()->isExposed() &&
                m_x.viewable(static_cast<Window>(w->winId())))
                return w;
        }
        return nullptr;
    }

    QProcess m_tray;
    vornik::test::TestDisplay m_x;
};

TEST_F(TrayOnX, ALeftOrRightPressOnTheIconBringsTheWindowBack) {
    TVornik& w = start();
    for (unsigned button : {3u, 1u}) {
        w.EnterBackgroundMode();
        ASSERT_TRUE(w.inBackground());
        QWidget* icon = nullptr;
        ASSERT_TRUE(runUntil([&] { return (icon = embeddedIcon()) != nullptr; })) << "button " << button;
        EXPECT_FALSE(w.isVisible());

        m_x.click(static_cast<Window>(icon->winId()), icon->width() / 2, icon->height() / 2, button);
        // Still running here: the press was delivered, then the window came back.
        EXPECT_TRUE(runUntil([&] { return w.isVisible() && !w.inBackground(); })) << "button " << button;
        EXPECT_TRUE(runUntil([&] { return m_x.viewable(static_cast<Window>(w.winId())); })) << "button " << button;
        EXPECT_TRUE(runUntil([&] { return embeddedIcon() == nullptr; })) << "button " << button;
        EXPECT_FALSE(w.trayIcon()->isVisible());
    }
}

} // namespace
} // namespace vornik::ui::test
