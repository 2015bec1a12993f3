// The captions as the window system shows them in the title bars (_NET_WM_NAME), for the main
// window, every dialog and the message boxes: each window carries its own caption and nothing else.
#include "UiFixture.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <string>

// Last: the X11 headers define macros that clash with Qt's names.
#include "TestDisplay.h"

namespace vornik::ui::test {
namespace {

class CaptionsOnX : public UiFixture {
protected:
    // The title bar of `w` once it is on the screen.
    std::string shownTitle(QWidget& w) {
        QElapsedTimer waited;
        waited.start();
        while (!(w.windowHandle() != nullptr && w.windowHandle()->isExposed()) && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return m_x.title(static_cast<Window>(w.winId()));
    }
    std::string dialogTitle(QDialog& dialog) {
        dialog.show();
        const std::string title = shownTitle(dialog);
        dialog.hide();
        return title;
    }
    // Runs `action`, which opens a real message box; reads the box's title bar and closes it.
    std::string messageBoxTitle(const std::function<void()>& action) {
        Modal::setTestMode(false);
        std::string title = "(no message box)";
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = shownTitle(*box);
                box->done(QMessageBox::Ok);
            }
        });
        answer.start(20);
        action();
        Modal::setTestMode(true);
        return title;
    }

    vornik::test::TestDisplay m_x;
};

TEST_F(CaptionsOnX, EveryWindowShowsItsOwnCaptionAlone) {
    // No key-map file: start-up says "miss file !".
    const std::string notice = messageBoxTitle([&] { start(); });
    TVornik& w = *m_main;

    EXPECT_EQ(shownTitle(w), "Vornik   (熱鍵：CTRL+J)");
    EXPECT_EQ(notice, "Vornik   (熱鍵：CTRL+J)");
    EXPECT_EQ(messageBoxTitle([&] { w.engineHost().askConnectionError("joystick 1 is not connected"); }), "Message");
    EXPECT_EQ(dialogTitle(*m_dialogs.keyBinding), "設定");
    EXPECT_EQ(dialogTitle(*m_dialogs.joystickBinding), "設定");
    EXPECT_EQ(dialogTitle(*m_dialogs.moveEditor), "設定招式");
    EXPECT_EQ(dialogTitle(*m_dialogs.recorder), "錄製中...");
    EXPECT_EQ(dialogTitle(*m_dialogs.about), "關於");
}

} // namespace
} // namespace vornik::ui::test
