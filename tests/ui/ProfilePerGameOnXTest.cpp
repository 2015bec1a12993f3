// A profile made for a game is loaded when that game becomes the target, found by the executable of
// the window's process, through the real X11 backend: CTRL+J with a recording client in front.

#include "Profile.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Last: the X11 headers define macros that clash with Qt's and GoogleTest's names.
#include "ProgramOnX.h"

#include "RecorderProcess.h"
#include "TestDisplay.h"

#include <X11/keysym.h>

namespace vornik::ui::test {
namespace {

TEST(ProfilePerGameOnX, CtrlJOnTheGameLoadsItsProfileAndOnAnyOtherProgramNothing) {
    Modal::setTestMode(true);
    Modal::reset();
    QTemporaryDir home;
    const UserFolders folders{home.filePath("config"), home.filePath("state"), home.filePath("profiles")};
    ASSERT_TRUE(QDir().mkpath(folders.profiles));
    Configuration made;
    made.keyBindings[4].MoveNumber = 7;
    made.programs = {"vornik_key_recorder"};
    const QString gameProfile = folders.profiles + QStringLiteral("/game.vornik");
    ASSERT_TRUE(saveProfile(gameProfile.toStdString(), made).ok);

    vornik::test::TestDisplay user;
    vornik::test::RecorderProcess game({"--title", "game"});
    const Window notes = user.createWindow("notes"); // a window of this test's own process
    StartupOptions options;
    options.folders = folders;
    ProgramOnX program(options);
    TVornik& window = *program.window;

    const auto hotKeyOn = [&](Window inFront) {
        user.focus(inFront);
        user.pressKey(XK_Control_L);
        user.pressKey(XK_j);
        window.TimerEx1Timer();
        user.releaseKey(XK_j);
        user.releaseKey(XK_Control_L);
        QCoreApplication::processEvents();
    };
    hotKeyOn(notes);
    ASSERT_NE(window.config().targets.TargetProcessId, 0u);
    EXPECT_EQ(window.config().keyBindings[4].MoveNumber, 0) << "no profile names this program";
    EXPECT_TRUE(window.profileKeeper().currentFile().isEmpty());

    hotKeyOn(game.window());
    EXPECT_EQ(window.config().targets.TargetProcessId, static_cast<uint32_t>(game.pid()));
    EXPECT_EQ(window.config().keyBindings[4].MoveNumber, 7);
    EXPECT_EQ(window.profileKeeper().currentFile(), gameProfile);
    EXPECT_TRUE(Modal::shown().empty());
    Modal::reset();
}

} // namespace
} // namespace vornik::ui::test
