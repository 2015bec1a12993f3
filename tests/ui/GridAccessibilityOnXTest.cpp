// A screen reader reads the binding grid: the program on the real Linux backend with a virtual game
// controller, Qt on the private Xvfb with its accessibility bridge on, and a pyatspi client on the
// session's accessibility bus reading the joystick page's grid row by row.
#include <gtest/gtest.h>

#include "DrawGrid.h"
#include "Modal.h"
#include "MainWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Last: the X11 headers define macros that clash with Qt's names.
#include "LinuxPlatform.h"
#include "VirtualJoystick.h"

namespace vornik::ui::test {
namespace {

using vornik::test::VirtualJoystick;

TEST(GridAccessibility, AScreenReaderReadsEachRowsInputAndBinding) {
    // SDL's standard layout: 15 buttons, both sticks, both triggers.
    VirtualJoystick pad(VirtualJoystick::Kind{15, 6, 0, "Standard Pad"});
    LinuxPlatform backend;
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    Modal::setTestMode(true);
    StartupOptions options;
    options.exeDirectory = QCoreApplication::applicationDirPath();
    options.folders = {home.filePath(QStringLiteral("config")), home.filePath(QStringLiteral("state")),
                       home.filePath(QStringLiteral("profiles"))};
    options.runTimer = false;
    options.quit = [] {};
    TVornik window(backend.platform(), options, {});
    ASSERT_EQ(window.joystickPageCount(), 1);
    window.config().joystickBindings[1][buttonEntry(1)] = {BindingKeys, 17, 'X', 0, 2};
    window.config().joystickBindings[1][kEntryRightTrigger] = {BindingKeys, 'E', 0, 0, 1, AutoFireAutomatic, 3};
    window.joystickPage(1).BindingGrid->repaintGrid();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The system's own Python, the one its pyatspi package is for.
    // The first table of the window's tree: the grid of the first page, which is in front.
    reader.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(VORNIK_READ_GRIDS),
                                             QString::number(QCoreApplication::applicationPid()),
                                             QStringLiteral("1")});
    ASSERT_TRUE(reader.waitForStarted());
    // The reader's questions are answered by this event loop while it runs.
    QEventLoop loop;
    QObject::connect(&reader, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(90000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_EQ(reader.state(), QProcess::NotRunning) << "the reader took more than 90 s";
    const QString rows = QString::fromUtf8(reader.readAllStandardOutput());
    EXPECT_EQ(reader.exitCode(), 0) << rows.toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("輸入\t對應功能\t連發\t連發速度\n"))) << rows.toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("按鈕 1（A）\t鍵盤：Ctrl + X\t沒有\t"))) << rows.toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("按鈕 10（LB）\t沒有對應功能鍵\t"))) << rows.toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("右搖桿：下\t沒有對應功能鍵\t"))) << rows.toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("右扳機（RT）\t鍵盤：E\t自動連發中\t"))) << rows.toStdString();
    Modal::reset();
}

} // namespace
} // namespace vornik::ui::test
