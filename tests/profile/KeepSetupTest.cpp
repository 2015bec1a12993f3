// Nothing the user set up is lost: unsaved changes are asked about or kept for the next start, the
// last profile comes back, and a profile made for a game is loaded when the game becomes the target.

#include "FileCommandsFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMenu>
#include <QTest>

#include <cstdio>

namespace vornik::ui::test {
namespace {

using vornik::test::sameTables;
using vornik::test::withoutUnsavedState;

class KeepSetup : public FileCommandsFixture {
protected:
    void saveAs(const QString& path) {
        answerWith(path);
        clickButton("SpeedButton6");
    }
    void restart() {
        m_main.reset();
        m_asked.clear();
        start();
    }
    bool tablesEmpty() const { return sameTables(m_main->config(), Configuration{}); }
    bool recoveryExists() {
        m_main->profileKeeper().recoveryWriter().finish();
        return QFileInfo::exists(folders().recoveryFile());
    }
    // Waits for the recovery profile's write after the last change, and for the disk to have it.
    void waitForRecovery() {
        ProfileKeeper& keeper = m_main->profileKeeper();
        ASSERT_TRUE(QTest::qWaitFor([&keeper] { return keeper.recoveryCurrent(); }, 10000));
        keeper.recoveryWriter().finish();
    }
    Configuration recovered() const {
        Configuration kept;
        EXPECT_TRUE(loadProfile(folders().recoveryFile().toStdString(), kept).ok);
        return kept;
    }
    void writeRecovery(const Configuration& tables) {
        QDir().mkpath(folders().state);
        ASSERT_TRUE(saveProfile(folders().recoveryFile().toStdString(), tables).ok);
    }
};

TEST_F(KeepSetup, EveryEditMarksTheTablesUnsavedAndASaveClearsIt) {
    TVornik& w = start();
    ProfileKeeper& keeper = w.profileKeeper();
    const auto accept = [](QDialog&) { return int(QDialog::Accepted); };
    const auto reject = [](QDialog&) { return int(QDialog::Rejected); };
    DrawGrid* grid = w.joystickPage(1).BindingGrid;
    QTreeWidget* l3 = w.keyboardPage()->l3();
    const auto joystickDialog = [&](Modal::DialogAnswer answer) {
        grid->selectRow(9);
        Modal::queueDialog(answer);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(120, grid->rowViewportPosition(9) + 16));
    };
    const auto keyboardDialog = [&](Modal::DialogAnswer answer) {
        l3->setCurrentItem(l3->topLevelItem(3));
        Modal::queueDialog(answer);
        w.keyboardPage()->l3DblClick();
    };
    const auto moveEditor = [&](Modal::DialogAnswer answer) {
        Modal::queueDialog(answer);
        w.movePage()->Button1Click();
    };
    const auto deleteMoves = [&](QMessageBox::StandardButton answer) {
        Modal::queueAnswer(answer);
        w.movePage()->Button2Click();
    };

    // What changes nothing leaves the tables as saved.
    joystickDialog(reject);
    keyboardDialog(reject);
    moveEditor(reject);
    deleteMoves(QMessageBox::Cancel);
    w.joystickPage(1).StopCheckBox->setChecked(true);
    w.keyboardPage()->CheckBox5()->setChecked(true);
    EXPECT_FALSE(keeper.changed());

    const std::vector<std::pair<const char*, std::function<void()>>> edits = {
        {"joystick binding OK", [&] { joystickDialog(accept); }},
        {"keyboard binding OK", [&] { keyboardDialog(accept); }},
        {"move editor OK", [&] { moveEditor(accept); }},
        {"delete every move", [&] { deleteMoves(QMessageBox::Ok); }},
    };
    for (const auto& [name, edit] : edits) {
        edit();
        EXPECT_TRUE(keeper.changed()) << name;
        saveAs(file("mine.vornik"));
        EXPECT_FALSE(keeper.changed()) << name;
    }
}

TEST_F(KeepSetup, ClosingWithUnsavedChangesAsksAndEachAnswerDoesWhatItSays) {
    start();
    EXPECT_TRUE(m_main->close()) << "nothing changed: nothing to ask";
    EXPECT_TRUE(Modal::shown().empty());

    restart();
    setTables(tables());
    m_main->profileKeeper().markChanged();
    Modal::queueAnswer(QMessageBox::Cancel);
    EXPECT_FALSE(m_main->close());
    EXPECT_TRUE(m_main->isVisible());
    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_EQ(Modal::shown()[0].caption, "Message");

    Modal::queueAnswer(QMessageBox::No);
    EXPECT_TRUE(m_main->close());
    EXPECT_TRUE(m_asked.empty()) << "No saves nothing";

    restart();
    setTables(tables());
    m_main->profileKeeper().markChanged();
    Modal::queueAnswer(QMessageBox::Yes);
    answerWith(file("kept")); // no file yet: Yes saves through the save dialog
    EXPECT_TRUE(m_main->close());
    Configuration kept;
    ASSERT_TRUE(loadProfile(file("kept.vornik").toStdString(), kept).ok);
    EXPECT_TRUE(sameTables(kept, withoutUnsavedState(tables())));
}

// A signal (logout, a closed terminal) cannot wait for an answer.
TEST_F(KeepSetup, EndingWithoutAskingKeepsUnsavedTablesForTheNextStart) {
    start();
    setTables(tables());
    m_main->profileKeeper().markChanged();
    m_main->endProgram();
    const QString recovery = folders().recoveryFile();
    ASSERT_TRUE(QFileInfo::exists(recovery)) << "written on the way out, not two seconds later";

    m_main.reset();
    Modal::queueAnswer(QMessageBox::Yes);
    start();
    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_TRUE(Modal::shown()[0].text.contains(QDir::toNativeSeparators(recovery)));
    EXPECT_TRUE(sameTables(m_main->config(), withoutUnsavedState(tables())));
    EXPECT_TRUE(m_main->profileKeeper().changed()) << "restored, but in no file yet";
    EXPECT_TRUE(recoveryExists()) << "kept until the tables are in a file: a crash now loses nothing";

    m_main->endProgram();
    m_main.reset();
    Modal::queueAnswer(QMessageBox::No);
    start();
    EXPECT_TRUE(tablesEmpty());
    EXPECT_FALSE(recoveryExists()) << "No deletes it";
}

// Whatever ends the program later (SIGKILL, a crash, a broken X connection) finds the edits on the
// disk already; the file goes only once they are safe elsewhere.
TEST_F(KeepSetup, EveryChangeReachesTheRecoveryProfileAndItGoesOnlyWhenTheTablesAreSafe) {
    start();
    const auto editThroughTheWindow = [this] {
        Modal::queueAnswer(QMessageBox::Ok);
        m_main->movePage()->Button2Click(); // "刪除": every move slot emptied
    };
    setTables(tables());
    editThroughTheWindow();
    EXPECT_FALSE(recoveryExists()) << "written once the changes pause, not at each one";
    waitForRecovery();
    Configuration expected = tables();
    clearAllMoves(expected.moves);
    EXPECT_TRUE(sameTables(recovered(), withoutUnsavedState(expected)));
    // What the main thread spends on a write (a copy of the tables; the text and the disk are the
    // writer thread's), against the text it no longer makes, for the record.
    setTables(tables());
    RecoveryWriter& writer = m_main->profileKeeper().recoveryWriter();
    constexpr int kRounds = 200;
    QElapsedTimer spent;
    spent.start();
    for (int i = 0; i < kRounds; ++i)
        writer.write(m_main->config());
    const double handed = static_cast<double>(spent.nsecsElapsed()) / 1000.0 / kRounds;
    writer.finish();
    spent.restart();
    for (int i = 0; i < kRounds; ++i) {
        std::string text;
        ASSERT_TRUE(profileText(m_main->config(), text));
    }
    std::printf("recovery write on the main thread: %.1f us (making its text there would take %.1f us)\n", handed,
                static_cast<double>(spent.nsecsElapsed()) / 1000.0 / kRounds);

    saveAs(file("mine"));
    EXPECT_FALSE(recoveryExists()) << "a save";

    setTables(tables());
    editThroughTheWindow();
    waitForRecovery();
    ASSERT_TRUE(recoveryExists());
    answerWith(file("mine.vornik"));
    clickButton("SpeedButton5");
    EXPECT_FALSE(recoveryExists()) << "a load on purpose";

    editThroughTheWindow();
    waitForRecovery();
    ASSERT_TRUE(recoveryExists());
    Modal::queueAnswer(QMessageBox::Cancel);
    EXPECT_FALSE(m_main->close());
    EXPECT_TRUE(recoveryExists()) << "Cancel at the close";
    Modal::queueAnswer(QMessageBox::No);
    EXPECT_TRUE(m_main->close());
    EXPECT_FALSE(recoveryExists()) << "No at the close: the changes were given up";
}

// A recovery profile that cannot be written is said, naming the file and the reason, once until a
// write works again; every change tries again.
TEST_F(KeepSetup, AFailedRecoveryWriteIsSaidOnceAndTriedAgainAtEveryChange) {
    const auto blockFolder = [this](bool blocked) {
        // A plain file where the recovery profile's folder should be: no folder can be made there.
        QDir(folders().state).removeRecursively();
        QFile::remove(folders().state);
        if (blocked) {
            QFile blocker(folders().state);
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        }
    };
    blockFolder(true);
    start();
    ProfileKeeper& keeper = m_main->profileKeeper();
    int writes = 0;
    const auto change = [&] {
        setTables(tables());
        keeper.markChanged();
        keeper.writeRecoveryNow();
        ++writes;
        QTest::qWait(50); // the writer's answer comes back through the event loop
    };
    change();
    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_TRUE(Modal::shown()[0].text.contains(QFileInfo(folders().recoveryFile()).fileName()));
    EXPECT_TRUE(Modal::shown()[0].text.contains(QDir::toNativeSeparators(folders().state)));
    EXPECT_FALSE(keeper.recoveryCurrent()) << "not kept: the way out writes again";
    change();
    EXPECT_EQ(Modal::shown().size(), 1u) << "said once";
    EXPECT_EQ(keeper.recoveryWriter().done(), writes) << "but tried at every change";

    blockFolder(false);
    change();
    EXPECT_TRUE(recoveryExists());
    EXPECT_EQ(Modal::shown().size(), 1u);
    blockFolder(true);
    change();
    EXPECT_EQ(Modal::shown().size(), 2u) << "failing again after a write that worked: said again";
    blockFolder(false);
}

TEST_F(KeepSetup, OnlyAnExplicitNoAtStartUpDeletesTheRecoveryProfile) {
    writeRecovery(tables());
    Modal::queueAnswer(QMessageBox::Cancel);
    start();
    EXPECT_EQ(Modal::shown().size(), 1u);
    EXPECT_TRUE(tablesEmpty());
    EXPECT_TRUE(recoveryExists()) << "Cancel";

    restart(); // nothing queued: the box was closed
    EXPECT_EQ(Modal::shown().size(), 2u);
    EXPECT_TRUE(recoveryExists()) << "a closed box";

    m_main.reset();
    Modal::refuseFromNowOn(); // a signal came during start-up: every box is refused
    start();
    Modal::reset();
    EXPECT_TRUE(recoveryExists()) << "a refused box";

    restart();
    Modal::queueAnswer(QMessageBox::No);
    restart();
    EXPECT_FALSE(recoveryExists());
}

// Cancel at the restore question keeps the recovery profile apart from this session's changes: an
// edit, a save and a load no longer overwrite or delete it (they used to, two seconds after the first
// edit), and the next start offers it again.
TEST_F(KeepSetup, ARecoveryDeclinedWithCancelIsKeptApartAndOfferedAgain) {
    writeRecovery(tables());
    Modal::queueAnswer(QMessageBox::Cancel);
    start();
    EXPECT_TRUE(tablesEmpty());
    m_main->config().keyBindings[7].MoveNumber = 9;
    m_main->profileKeeper().markChanged();
    waitForRecovery();
    saveAs(file("new"));
    EXPECT_FALSE(recoveryExists()) << "this session's own recovery goes with the save";

    Modal::queueAnswer(QMessageBox::Yes);
    restart();
    ASSERT_EQ(Modal::shown().size(), 2u) << "the declined setup is offered again";
    EXPECT_TRUE(sameTables(m_main->config(), withoutUnsavedState(tables())));
    EXPECT_TRUE(m_main->profileKeeper().changed()) << "restored: in no file of the user's yet";

    Modal::queueAnswer(QMessageBox::No);
    restart();
    EXPECT_EQ(Modal::shown().size(), 3u);
    restart();
    EXPECT_EQ(Modal::shown().size(), 3u) << "settled: nothing more to offer";
}

// Two desktops of one user keep a recovery profile each (they used to share one, and the last writer
// won); the one an earlier version kept for every desktop goes to the first that starts.
TEST_F(KeepSetup, EachDisplayKeepsItsOwnRecoveryAndTheSharedOneGoesToTheFirst) {
    writeRecovery(tables()); // no session: the shared file of earlier versions
    const QString shared = folders().recoveryFile();
    const auto editAndLeave = [this](int move) {
        m_main->config().keyBindings[7].MoveNumber = move;
        m_main->profileKeeper().markChanged();
        waitForRecovery();
        m_main.reset();
    };
    m_session = QStringLiteral("_1");
    Modal::queueAnswer(QMessageBox::Yes);
    start();
    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_TRUE(sameTables(m_main->config(), withoutUnsavedState(tables())));
    EXPECT_FALSE(QFileInfo::exists(shared));
    editAndLeave(11);

    m_session = QStringLiteral("_2");
    start();
    EXPECT_EQ(Modal::shown().size(), 1u) << "nothing kept for this display";
    editAndLeave(22);

    for (const auto& [session, move] : {std::pair{"_1", 11}, std::pair{"_2", 22}}) {
        m_session = QString::fromLatin1(session);
        Modal::queueAnswer(QMessageBox::Yes);
        start();
        EXPECT_EQ(m_main->config().keyBindings[7].MoveNumber, move) << session;
        m_main.reset();
    }
}

TEST_F(KeepSetup, WithARecoveryAndAProfileNamedOnTheCommandLineTheUserChooses) {
    Configuration named;
    named.keyBindings[5].MoveNumber = 3;
    ASSERT_TRUE(saveProfile(file("named.vornik").toStdString(), named).ok);
    const auto startWith = [this](QMessageBox::StandardButton answer) {
        m_main.reset();
        Modal::reset();
        Modal::queueAnswer(answer);
        StartupOptions options;
        options.profile = file("named.vornik");
        start(options);
        EXPECT_EQ(Modal::shown().size(), 1u);
        return Modal::shown().empty() ? QString() : Modal::shown()[0].text;
    };

    writeRecovery(tables());
    const QString question = startWith(QMessageBox::Yes);
    EXPECT_TRUE(question.contains(QDir::toNativeSeparators(folders().recoveryFile())));
    EXPECT_TRUE(question.contains(QDir::toNativeSeparators(file("named.vornik"))));
    EXPECT_TRUE(sameTables(m_main->config(), withoutUnsavedState(tables())));
    EXPECT_TRUE(m_main->profileKeeper().currentFile().isEmpty()) << "the tables are in no file";

    startWith(QMessageBox::Cancel);
    EXPECT_TRUE(sameTables(m_main->config(), named));
    EXPECT_TRUE(recoveryExists()) << "Cancel opens the named profile and keeps the recovery";

    startWith(QMessageBox::No);
    EXPECT_TRUE(sameTables(m_main->config(), named));
    EXPECT_EQ(m_main->profileKeeper().currentFile(), file("named.vornik"));
    EXPECT_FALSE(recoveryExists());
}

// The program owns what it holds: on every way out the keys go up before the disk is touched.
TEST_F(KeepSetup, EveryWayOutReleasesTheKeysBeforeItWritesTheRecoveryProfile) {
    const std::vector<std::pair<const char*, std::function<void(TVornik&)>>> waysOut = {
        {"a signal", [](TVornik& w) { w.endProgram(); }},
        {"the session ending", [](TVornik& w) { w.keepSetupNow(); }},
    };
    for (const auto& [name, wayOut] : waysOut) {
        m_main.reset();
        QFile::remove(folders().recoveryFile());
        start();
        setTables(tables());
        m_main->profileKeeper().markChanged();
        m_main->engine().held().pressKey('A');
        m_main->engine().held().pressKey(160);
        std::size_t eventsAtWrite = 0;
        bool heldAtWrite = true;
        m_main->profileKeeper().recoveryWriter().setOnWrite([&] {
            eventsAtWrite = m_fake.keyboard.events.size();
            heldAtWrite = m_main->engine().held().holdsAnything();
        });
        const std::size_t before = m_fake.keyboard.events.size();
        wayOut(*m_main);
        EXPECT_FALSE(heldAtWrite) << name;
        EXPECT_EQ(eventsAtWrite, before + 2) << name << ": both key-ups went out before the write";
        EXPECT_TRUE(QFileInfo::exists(folders().recoveryFile())) << name << ": on the disk when the call returns";
        EXPECT_TRUE(sameTables(recovered(), withoutUnsavedState(tables()))) << name;
        m_main->profileKeeper().recoveryWriter().setOnWrite({});
    }
}

// Another start hands its profile over: unsaved changes are asked about first.
TEST_F(KeepSetup, AProfileHandedOverByAnotherStartIsLoadedAfterAskingAboutUnsavedChanges) {
    ASSERT_TRUE(saveProfile(file("handed.vornik").toStdString(), tables()).ok);
    start();
    m_main->EnterBackgroundMode();
    m_main->config().keyBindings[7].MoveNumber = 9;
    m_main->profileKeeper().markChanged();
    Modal::queueAnswer(QMessageBox::Cancel);
    m_main->openRequested(file("handed.vornik"));
    EXPECT_EQ(Modal::shown().size(), 1u);
    EXPECT_EQ(m_main->config().keyBindings[7].MoveNumber, 9) << "Cancel keeps the tables";
    EXPECT_TRUE(m_main->isVisible()) << "the window comes to the front anyway";
    EXPECT_FALSE(m_main->inBackground());

    Modal::queueAnswer(QMessageBox::No);
    m_main->openRequested(file("handed.vornik"));
    EXPECT_TRUE(sameTables(m_main->config(), withoutUnsavedState(tables())));
    EXPECT_EQ(m_main->profileKeeper().currentFile(), file("handed.vornik"));
}

// A profile handed over while the move editor is open waits for it: the editor's OK lands in the tables
// it was opened on, and the load then asks about that edit (it used to load under the editor, whose OK
// then wrote the edit into the new profile's tables).
TEST_F(KeepSetup, AProfileHandedOverWhileADialogIsOpenIsLoadedOnceItCloses) {
    ASSERT_TRUE(saveProfile(file("handed.vornik").toStdString(), tables()).ok);
    TVornik& w = start();
    Modal::queueDialog([&](QDialog& dialog) {
        static_cast<TForm4&>(dialog).Edit1()->setText(QStringLiteral("edited"));
        // The hand-over's timer, run by the editor's own event loop.
        w.openRequested(file("handed.vornik"));
        EXPECT_TRUE(Modal::shown().empty()) << "nothing asked while the editor is open";
        EXPECT_TRUE(w.profileKeeper().currentFile().isEmpty()) << "nothing loaded while the editor is open";
        return int(QDialog::Accepted);
    });
    Modal::queueAnswer(QMessageBox::No); // the edit, unsaved: given up for the handed profile
    w.movePage()->Button1Click();
    QTest::qWait(20);
    ASSERT_EQ(Modal::shown().size(), 1u) << "the load asks about the edit";
    EXPECT_TRUE(sameTables(w.config(), withoutUnsavedState(tables())));
    EXPECT_FALSE(w.profileKeeper().changed()) << "the handed profile as its file has it";
    EXPECT_EQ(w.profileKeeper().currentFile(), file("handed.vornik"));
}

// The sign beside the page tabs (and so the tray's tooltip) names the profile the bindings come from.
TEST_F(KeepSetup, TheSignNamesTheProfileInUse) {
    TVornik& w = start();
    const auto sign = [&w] { return w.targetStateButton()->accessibleName(); };
    w.TimerEx1Timer();
    EXPECT_TRUE(sign().contains("設定檔：沒有")) << sign().toStdString();
    setTables(tables());
    saveAs(file("mine"));
    EXPECT_TRUE(sign().endsWith("設定檔：mine.vornik")) << sign().toStdString();
    ASSERT_TRUE(saveProfile(file("other.vornik").toStdString(), tables()).ok);
    answerWith(file("other.vornik"));
    clickButton("SpeedButton5");
    EXPECT_TRUE(sign().endsWith("設定檔：other.vornik")) << sign().toStdString();
}

TEST_F(KeepSetup, TheLastProfileComesBackTheRecentOnesAreListedAndAMissingOneIsReportedOnce) {
    start();
    setTables(tables());
    for (const char* name : {"a", "b", "c", "d", "e", "f"})
        saveAs(file(name));
    QFile::remove(file("d.vornik"));
    QMenu* menu = m_main->findChild<QMenu*>("FileMenu");
    emit menu->aboutToShow();
    QStringList listed;
    for (int i = 1; i <= 6; ++i) {
        if (auto* action = m_main->findChild<QAction*>(QStringLiteral("RecentProfile%1").arg(i)))
            listed << action->text();
    }
    EXPECT_EQ(listed, QStringList({"&1 f.vornik", "&2 e.vornik", "&3 c.vornik", "&4 b.vornik"}));

    m_main.reset();
    Modal::reset();
    start();
    EXPECT_TRUE(Modal::shown().empty());
    EXPECT_TRUE(sameTables(m_main->config(), withoutUnsavedState(tables())));
    EXPECT_EQ(m_main->profileKeeper().currentFile(), file("f.vornik"));

    m_main.reset();
    QFile::remove(file("f.vornik"));
    start();
    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_TRUE(Modal::shown()[0].text.contains(QDir::toNativeSeparators(file("f.vornik"))));
    EXPECT_TRUE(tablesEmpty());

    m_main.reset();
    Modal::reset();
    start();
    EXPECT_TRUE(Modal::shown().empty()) << "said once";
}

TEST_F(KeepSetup, AProfileMadeForAGameIsLoadedWhenTheGameBecomesTheTarget) {
    m_fake.windows.add(0x10, 100, "Editor");
    m_fake.windows.add(0x20, 200, "Game");
    m_fake.windows.add(0x30, 300, "Unknown");
    m_fake.windows.executables = {{100, "editor"}, {200, "game.exe"}};
    start();
    const auto choose = [this](int item) {
        emit m_main->cb1()->activated(item);
        QCoreApplication::processEvents();
    };
    // Without a target it says what to do first: nothing is wrong, the information icon.
    triggerMenu("BindGameAction");
    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_TRUE(Modal::shown()[0].text.contains("CTRL+J"));
    EXPECT_EQ(Modal::shown()[0].icon, QMessageBox::Information);
    Modal::reset();
    // "設定此遊戲" with the game as the target.
    setTables(tables());
    choose(1);
    QDir().mkpath(folders().profiles);
    const QString gameProfile = folders().profiles + QStringLiteral("/game.vornik");
    answerWith(gameProfile);
    triggerMenu("BindGameAction");
    Configuration saved;
    ASSERT_TRUE(loadProfile(gameProfile.toStdString(), saved).ok);
    EXPECT_EQ(saved.programs, std::vector<std::string>{"game.exe"});
    // It says what it did: which game, which file.
    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_TRUE(Modal::shown()[0].text.contains("game.exe") &&
                Modal::shown()[0].text.contains(QDir::toNativeSeparators(gameProfile)));
    EXPECT_EQ(Modal::shown()[0].icon, QMessageBox::Information);
    Modal::reset();

    // Another profile is in use; programs with no profile of their own change nothing.
    ASSERT_TRUE(saveProfile(file("other.vornik").toStdString(), Configuration{}).ok);
    answerWith(file("other.vornik"));
    triggerMenu("OpenAction");
    choose(0);
    choose(2);
    EXPECT_EQ(m_main->profileKeeper().currentFile(), file("other.vornik"));
    EXPECT_TRUE(tablesEmpty());

    choose(1);
    EXPECT_EQ(m_main->profileKeeper().currentFile(), gameProfile);
    EXPECT_TRUE(sameTables(m_main->config(), withoutUnsavedState(saved)));
    EXPECT_TRUE(Modal::shown().empty());
}

// The profiles folder is indexed once and again only when it changes; two profiles for one game are
// reported once, naming both, and the one used last wins; a folder is searched only when a game
// was bound to a profile there.
TEST_F(KeepSetup, TheGameIndexTakesTheProfileUsedLastAndSaysOnceThatTwoClaimOneGame) {
    m_fake.windows.add(0x10, 100, "Game");
    m_fake.windows.add(0x20, 200, "Editor");
    m_fake.windows.add(0x30, 300, "Tool");
    m_fake.windows.add(0x40, 400, "Other");
    m_fake.windows.executables = {{100, "game.exe"}, {200, "editor"}, {300, "tool"}, {400, "other"}};
    QDir().mkpath(folders().profiles);
    const QString first = folders().profiles + QStringLiteral("/first.vornik");
    const QString second = folders().profiles + QStringLiteral("/second.vornik");
    Configuration forGame;
    forGame.programs = {"game.exe"};
    forGame.keyBindings[1].MoveNumber = 1;
    ASSERT_TRUE(saveProfile(first.toStdString(), forGame).ok);
    forGame.keyBindings[1].MoveNumber = 2;
    ASSERT_TRUE(saveProfile(second.toStdString(), forGame).ok);
    start();
    const auto choose = [this](int item) {
        emit m_main->cb1()->activated(item);
        QCoreApplication::processEvents();
    };
    // The second was used last.
    answerWith(first);
    clickButton("SpeedButton5");
    answerWith(second);
    clickButton("SpeedButton5");
    m_main->config().programs.clear();
    answerWith(file("elsewhere.vornik"));
    clickButton("SpeedButton6");

    choose(0);
    EXPECT_EQ(m_main->profileKeeper().currentFile(), second);
    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_TRUE(Modal::shown()[0].text.contains(QDir::toNativeSeparators(first)));
    EXPECT_TRUE(Modal::shown()[0].text.contains(QDir::toNativeSeparators(second)));
    answerWith(first);
    clickButton("SpeedButton5");
    choose(1);
    answerWith(file("elsewhere.vornik"));
    clickButton("SpeedButton5");
    choose(0);
    EXPECT_EQ(m_main->profileKeeper().currentFile(), first) << "now the one used last";
    EXPECT_EQ(Modal::shown().size(), 1u) << "said once";

    // A profile added to the folder is found; one beside the current profile is not, until a game
    // was bound to a profile there.
    Configuration forEditor;
    forEditor.programs = {"editor"};
    ASSERT_TRUE(saveProfile((folders().profiles + QStringLiteral("/editor.vornik")).toStdString(), forEditor).ok);
    Configuration forTool;
    forTool.programs = {"tool"};
    ASSERT_TRUE(saveProfile(file("tool.vornik").toStdString(), forTool).ok);
    choose(1);
    EXPECT_EQ(m_main->profileKeeper().currentFile(), folders().profiles + QStringLiteral("/editor.vornik"));
    answerWith(file("elsewhere.vornik"));
    clickButton("SpeedButton5");
    choose(2);
    EXPECT_EQ(m_main->profileKeeper().currentFile(), file("elsewhere.vornik")) << "a downloads folder is not searched";
    choose(3);
    triggerMenu("BindGameAction"); // elsewhere.vornik is now for "other"
    choose(2);
    EXPECT_EQ(m_main->profileKeeper().currentFile(), file("tool.vornik"));
}

} // namespace
} // namespace vornik::ui::test
