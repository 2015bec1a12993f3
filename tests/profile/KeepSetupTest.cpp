// Nothing the user set up is lost: unsaved changes are asked about or kept for the next start, the
// last profile comes back, and a profile made for a game is loaded when the game becomes the target.

#include "FileCommandsFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QTest>

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
    ASSERT_TRUE(QFileInfo::exists(recovery));

    m_main.reset();
    Modal::queueAnswer(QMessageBox::Yes);
    start();
    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_TRUE(Modal::shown()[0].text.contains(QDir::toNativeSeparators(recovery)));
    EXPECT_TRUE(sameTables(m_main->config(), withoutUnsavedState(tables())));
    EXPECT_TRUE(m_main->profileKeeper().changed()) << "restored, but in no file yet";
    EXPECT_FALSE(QFileInfo::exists(recovery));

    m_main->endProgram();
    m_main.reset();
    Modal::queueAnswer(QMessageBox::No);
    start();
    EXPECT_TRUE(tablesEmpty());
    EXPECT_FALSE(QFileInfo::exists(recovery)) << "No deletes it";
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

} // namespace
} // namespace vornik::ui::test
