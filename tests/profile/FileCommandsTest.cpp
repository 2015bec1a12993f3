// The file commands in the program's window: the test answers op1 and sa1 through the file
// commands' chooser (or, once, through the queued-dialog hook the real dialogs run through).

#include "FileCommandsFixture.h"

namespace vornik::ui::test {
namespace {

using vornik::test::sameTables;
using vornik::test::withoutUnsavedState;

using FileCommandsTest = FileCommandsFixture;

TEST_F(FileCommandsTest, SavedTablesLoadIntoAFreshWindowWithEveryListRebuilt) {
    TVornik& first = start();
    const Configuration saved = tables();
    setTables(saved);
    answerWith(file("my.vornik"));
    clickButton("SpeedButton6");

    ASSERT_EQ(m_asked.size(), 1u);
    EXPECT_EQ(m_asked[0], first.sa1());
    EXPECT_EQ(m_asked[0]->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(m_asked[0]->nameFilters(), QStringList{"Vornik 設定檔 (*.vornik)"});
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
    const QByteArray bytes = readAll(file("my.vornik"));
    ASSERT_FALSE(bytes.isEmpty());

    m_main.reset();
    m_asked.clear();
    QFile::remove(folders().settingsFile()); // as on another machine: no last profile to reopen
    TVornik& fresh = start();
    EXPECT_EQ(listRow("TAB"), "沒有");
    answerWith(file("my.vornik"));
    triggerMenu("OpenAction");

    ASSERT_EQ(m_asked.size(), 1u);
    EXPECT_EQ(m_asked[0], fresh.op1());
    EXPECT_EQ(m_asked[0]->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(m_asked[0]->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(m_asked[0]->nameFilters(), QStringList{"Vornik 設定檔 (*.vornik)"});
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
    EXPECT_TRUE(sameTables(fresh.config(), withoutUnsavedState(saved)));
    EXPECT_TRUE(listRow("TAB").contains("波動拳 A \"q\" \\ /")) << listRow("TAB").toStdString();
    EXPECT_TRUE(moveGridTexts(2).contains("波動拳 A \"q\" \\ /"));

    // The menu's save writes the same bytes again.
    answerWith(file("again.vornik"));
    triggerMenu("SaveAction");
    EXPECT_EQ(readAll(file("again.vornik")), bytes);
}

TEST_F(FileCommandsTest, ALoadRepaintsTheJoystickGridsAndReleasesTheKeysTheProgramHeld) {
    TVornik& w = start();
    ASSERT_TRUE(saveProfile(file("p.vornik").toStdString(), tables()));
    DrawGrid* grid = w.joystickPage(1).BindingGrid;
    ASSERT_NE(grid, nullptr);
    QApplication::processEvents();
    int paints = 0;
    const DrawGrid::DrawCell draw = grid->onDrawCell();
    grid->setOnDrawCell([&](DrawGrid& g, int c, int r, QPainter& p, const QRect& rect) {
        ++paints;
        draw(g, c, r, p, rect);
    });
    w.engine().held().pressKey(17); // a chord key of the old bindings, down
    m_fake.keyboard.events.clear();

    answerWith(file("p.vornik"));
    clickButton("SpeedButton5");
    QApplication::processEvents();

    EXPECT_GT(paints, 0);
    ASSERT_EQ(m_fake.keyboard.events.size(), 1u);
    EXPECT_EQ(m_fake.keyboard.events[0].vk, 17);
    EXPECT_EQ(m_fake.keyboard.events[0].flags, kKeyEventKeyUp);
}

TEST_F(FileCommandsTest, ARefusedFileIsNamedInTheMessageAndChangesNoTableNorList) {
    TVornik& w = start();
    Configuration before = tables();
    setTables(before);
    w.FillKeyBindingList();
    const QStringList listBefore = listTexts();
    const Configuration tablesBefore = w.config();
    writeAll(file("broken.vornik"), refusedProfile());

    answerWith(file("broken.vornik"));
    clickButton("SpeedButton5");

    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_EQ(Modal::shown()[0].caption, "Message");
    const QString text = Modal::shown()[0].text;
    EXPECT_TRUE(text.contains("broken.vornik")) << text.toStdString();
    EXPECT_TRUE(text.contains("moves[")) << text.toStdString();
    EXPECT_TRUE(sameTables(w.config(), tablesBefore));
    EXPECT_EQ(listTexts(), listBefore);
    EXPECT_TRUE(m_fake.keyboard.events.empty());
}

TEST_F(FileCommandsTest, CancelInEitherDialogDoesNothing) {
    TVornik& w = start();
    setTables(tables());
    const Configuration before = w.config();
    answerWith(QString());
    clickButton("SpeedButton5");
    clickButton("SpeedButton6");

    EXPECT_EQ(m_asked.size(), 2u);
    EXPECT_TRUE(Modal::shown().empty());
    EXPECT_TRUE(sameTables(w.config(), before));
    EXPECT_TRUE(QDir(m_files.path()).isEmpty());
}

TEST_F(FileCommandsTest, WithoutATestChooserTheRealDialogsRunAndTheirChoiceIsUsed) {
    TVornik& w = start();
    setTables(tables());
    Modal::queueDialog([this](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(file("chosen"));
        return int(QDialog::Accepted);
    });
    clickButton("SpeedButton6");
    EXPECT_EQ(Modal::dialogsRun(), 1);
    EXPECT_TRUE(QFile::exists(file("chosen.vornik")));

    // Nothing queued: the dialog is answered with Cancel.
    w.config().moves = MoveTable{};
    clickButton("SpeedButton5");
    EXPECT_EQ(Modal::dialogsRun(), 2);
    EXPECT_EQ(w.config().moves, MoveTable{});
    EXPECT_TRUE(Modal::shown().empty());
}

TEST_F(FileCommandsTest, TheExtensionIsAddedWhenMissingAndAFileItWouldReplaceIsAskedFor) {
    start();
    setTables(tables());
    for (const char* chosen : {"plain", "notes.txt", "kept.vornik"}) {
        answerWith(file(chosen));
        clickButton("SpeedButton6");
    }
    EXPECT_EQ(QDir(m_files.path()).entryList(QDir::Files, QDir::Name),
              QStringList({"kept.vornik", "notes.txt.vornik", "plain.vornik"}));

    // "plain" now names an existing "plain.vornik" the dialog did not ask about.
    writeAll(file("plain.vornik"), "old");
    answerWith(file("plain"));
    Modal::queueAnswer(QMessageBox::No);
    clickButton("SpeedButton6");
    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_TRUE(Modal::shown()[0].text.contains(file("plain.vornik")));
    EXPECT_EQ(readAll(file("plain.vornik")), "old");

    Modal::queueAnswer(QMessageBox::Yes);
    clickButton("SpeedButton6");
    EXPECT_EQ(readAll(file("plain.vornik")), readAll(file("kept.vornik")));
}

TEST_F(FileCommandsTest, AFailedSaveSaysWhichFile) {
    start();
    answerWith(file("missing-folder/my.vornik"));
    clickButton("SpeedButton6");
    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_EQ(Modal::shown()[0].caption, "Message");
    EXPECT_TRUE(Modal::shown()[0].text.contains("my.vornik")) << Modal::shown()[0].text.toStdString();
}

TEST(ProfileArgument, IsTheFirstArgumentThatIsNotALeadingAllproc) {
    const QString here = QDir::currentPath() + QLatin1Char('/');
    EXPECT_EQ(profileArgument({"vornik"}), "");
    EXPECT_EQ(profileArgument({"vornik", "/allproc"}), "");
    EXPECT_EQ(profileArgument({"vornik", "my.vornik"}), here + "my.vornik");
    EXPECT_EQ(profileArgument({"vornik", "/allproc", "my.vornik"}), here + "my.vornik");
    EXPECT_EQ(profileArgument({"vornik", "my.vornik", "/allproc"}), here + "my.vornik");
    EXPECT_EQ(profileArgument({"vornik", "/allproc", "/allproc"}), "/allproc");
    EXPECT_EQ(profileArgument({"vornik", "/tmp/p.vornik", "other"}), "/tmp/p.vornik");
}

TEST_F(FileCommandsTest, AProfileOnTheCommandLineIsLoadedAfterStartUpFromTheDirectoryItWasNamedIn) {
    const Configuration saved = tables();
    ASSERT_TRUE(saveProfile(file("cmd.vornik").toStdString(), saved));
    QDir::setCurrent(m_files.path());
    StartupOptions options;
    options.profile = profileArgument({"vornik", "/allproc", "cmd.vornik"});
    TVornik& w = start(options); // start-up makes the executable's folder current

    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
    EXPECT_TRUE(sameTables(w.config(), withoutUnsavedState(saved)));
    EXPECT_TRUE(listRow("TAB").contains("波動拳")) << listRow("TAB").toStdString();
    EXPECT_TRUE(moveGridTexts(2).contains("波動拳 A \"q\" \\ /"));
}

TEST_F(FileCommandsTest, ARefusedProfileAtStartUpIsShownAndTheProgramGoesOnEmpty) {
    writeAll(file("bad.vornik"), refusedProfile());
    StartupOptions options;
    options.profile = file("bad.vornik");
    TVornik& w = start(options);

    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_TRUE(Modal::shown()[0].text.contains("bad.vornik"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(sameTables(w.config(), Configuration{}));
    EXPECT_EQ(w.keyboardPage()->l3()->topLevelItemCount(), 100);
    EXPECT_EQ(listRow("TAB"), "沒有");
}

} // namespace
} // namespace vornik::ui::test
