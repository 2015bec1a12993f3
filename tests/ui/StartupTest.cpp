#include "UiFixture.h"

#include "DrawGrid.h"
#include "KeyLabels.h"

#include <QAction>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QTreeWidget>
#include <QUrl>

namespace vornik::ui::test {
namespace {

using Startup = UiFixture;

TEST_F(Startup, TwoJoysticksGivePagesInOrderWithTheFirstActive) {
    m_fake.joysticks.plug(0, 12);
    m_fake.joysticks.plug(1, 32);
    TVornik& w = startWithKeyMap();

    EXPECT_EQ(tabCaptions(), QStringList({"搖桿 1", "搖桿 2", "鍵盤", "招式記錄"}));
    EXPECT_EQ(w.PageControl1()->currentIndex(), 0);
    EXPECT_EQ(w.joystickPageCount(), 2);
    for (int n = 1; n <= 2; ++n) {
        const JoystickPage& page = w.joystickPage(n);
        ASSERT_NE(page.BindingGrid, nullptr);
        EXPECT_EQ(page.BindingGrid->tag(), n);
        EXPECT_FALSE(page.TestCheckBox->isChecked());
        EXPECT_FALSE(page.StopCheckBox->isChecked());
    }
    // Grids set up after the pages: M + 9 rows.
    EXPECT_EQ(w.joystickPage(1).BindingGrid->rowCount(), 21);
    EXPECT_EQ(w.joystickPage(2).BindingGrid->rowCount(), 41);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Startup, AGapAtIdZeroMeansNoJoystickPageAndTheKeyboardPageActive) {
    m_fake.joysticks.plug(1);
    TVornik& w = startWithKeyMap();

    EXPECT_EQ(tabCaptions(), QStringList({"鍵盤", "招式記錄"}));
    EXPECT_EQ(w.PageControl1()->currentWidget(), w.keyboardPage());
    EXPECT_EQ(w.config().joystickPresent[1], 1); // detected, only not given a page
}

TEST_F(Startup, ThirtyTwoJoysticksGiveThirtyTwoPages) {
    for (uint32_t id = 0; id < 32; ++id)
        m_fake.joysticks.plug(id);
    TVornik& w = startWithKeyMap();

    ASSERT_EQ(w.PageControl1()->count(), 34);
    EXPECT_EQ(w.PageControl1()->tabText(31), "搖桿 32");
    EXPECT_EQ(w.PageControl1()->tabText(32), "鍵盤");
    EXPECT_EQ(w.joystickPage(32).BindingGrid->tag(), 32);
}

// A pad plugged in while the program runs: the engine finds it within a second, and it gets the
// next page before "鍵盤", built as at start-up, while every other page, table and selection stays.
TEST_F(Startup, APadPluggedInLaterGetsTheNextPageBeforeTheKeyboardPage) {
    m_fake.joysticks.plug(0, 12).caps.szPname = "First Pad";
    TVornik& w = startWithKeyMap();
    EXPECT_EQ(w.PageControl1()->tabToolTip(0), "First Pad");
    w.joystickPage(1).BindingGrid->selectRow(6);
    w.movePage()->l1()->selectRow(3);
    w.keyboardPage()->l3()->setCurrentItem(w.keyboardPage()->l3()->topLevelItem(4));
    w.PageControl1()->setCurrentWidget(w.movePage());
    w.config().joystickBindings[2][buttonEntry(1)].BindingKind = BindingKeys; // from a loaded profile, say
    w.config().joystickBindings[2][buttonEntry(1)].Key1 = 'B';
    w.config().joystickBindings[2][buttonEntry(1)].KeyCount = 1;
    const JoystickBindingTable bindings = w.config().joystickBindings;

    m_fake.joysticks.plug(1, 4).caps.szPname = "Second Pad";
    w.TimerEx1Timer();
    EXPECT_EQ(w.joystickPageCount(), 1) << "looked for once a second";
    m_fake.clock.advance(1000);
    w.TimerEx1Timer();

    ASSERT_EQ(w.joystickPageCount(), 2);
    EXPECT_EQ(tabCaptions(), QStringList({"搖桿 1", "搖桿 2", "鍵盤", "招式記錄"}));
    EXPECT_EQ(w.PageControl1()->tabToolTip(1), "Second Pad");
    EXPECT_EQ(w.PageControl1()->currentWidget(), w.movePage());
    EXPECT_EQ(w.joystickPage(1).BindingGrid->selectionTop(), 6);
    EXPECT_EQ(w.movePage()->l1()->selectionTop(), 3);
    EXPECT_EQ(w.keyboardPage()->l3()->currentItem(), w.keyboardPage()->l3()->topLevelItem(4));
    for (int n = 1; n <= kMaxJoysticks; ++n)
        for (int e = 1; e <= kJoystickEntries; ++e)
            ASSERT_EQ(w.config().joystickBindings[n][e], bindings[n][e]) << n << " " << e;

    // Built as at start-up: grid set up, unticked boxes, its buttons, its name.
    const JoystickPage& page = w.joystickPage(2);
    ASSERT_NE(page.BindingGrid, nullptr);
    EXPECT_EQ(page.BindingGrid->tag(), 2);
    EXPECT_EQ(page.BindingGrid->rowCount(), 13);
    EXPECT_EQ(page.BindingGrid->colWidth(1), 200);
    EXPECT_NE(page.buttonPicture(4), nullptr);
    EXPECT_EQ(page.buttonPicture(5), nullptr);
    EXPECT_FALSE(page.TestCheckBox->isChecked() || page.StopCheckBox->isChecked());
    EXPECT_EQ(page.NameLabel->text(), "Second Pad");
    w.PageControl1()->setCurrentIndex(1);
    EXPECT_TRUE(page.buttonPicture(1)->isVisible() && page.BindingGrid->isVisible() && page.NameLabel->isVisible());
    EXPECT_EQ(page.BindingGrid->geometry().bottom(), page.BindingGrid->parentWidget()->height() - 1);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Startup, FromAnotherDirectoryTheKeyMapBesideTheExecutableIsReadAndBecomesCurrent) {
    QDir::setCurrent(exeDir()); // a directory with no key-map file
    StartupOptions options;
    options.exeDirectory = QCoreApplication::applicationDirPath();
    TVornik& w = start(options);

    EXPECT_EQ(w.config().keyMap.Count, 101);
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(QCoreApplication::applicationDirPath()).canonicalPath());
    EXPECT_TRUE(w.exeDirectory().endsWith('/'));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Startup, MissingKeyMapSaysSoAndEverythingElseWorks) {
    m_fake.joysticks.plug(0);
    TVornik& w = start();

    EXPECT_EQ(messages(), QStringList({"miss file !"}));
    EXPECT_EQ(Modal::shown()[0].caption, w.windowTitle()); // a plain box shows the application's title
    EXPECT_EQ(w.config().keyMap.Count, 0);
    EXPECT_EQ(w.config().namedKeys.Count, 101);
    EXPECT_EQ(tabCaptions(), QStringList({"搖桿 1", "鍵盤", "招式記錄"}));
    EXPECT_EQ(w.keyboardPage()->l3()->topLevelItemCount(), 100);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(Startup, TruncatedKeyMapNamesTheFileAndStartUpStillCompletes) {
    QFile shipped(shippedKeyMap());
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    writeKeyMap(shipped.readAll().left(4 + 20 * 10 + 7)); // announces 101 records, holds 10 and a bit
    m_fake.joysticks.plug(0);
    m_fake.windows.add(0x100, 77, "Game");
    TVornik& w = start();

    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_EQ(Modal::shown()[0].caption, "Message");
    EXPECT_TRUE(Modal::shown()[0].text.contains(exeDir() + "/keymap")) << Modal::shown()[0].text.toStdString();
    EXPECT_EQ(w.config().keyMap.Count, 0);
    // The steps after the key-map file all ran.
    EXPECT_EQ(tabCaptions(), QStringList({"搖桿 1", "鍵盤", "招式記錄"}));
    EXPECT_EQ(w.cb1()->count(), 1);
    EXPECT_EQ(w.keyboardPage()->l3()->topLevelItemCount(), 100);
    EXPECT_EQ(w.movePage()->l1()->rowCount(), 101);
}

TEST_F(Startup, WindowCaptionTitleAndFixedClientArea) {
    TVornik& w = startWithKeyMap();

    EXPECT_EQ(w.windowTitle(), "Vornik   (熱鍵：CTRL+J)");
    EXPECT_EQ(w.centralWidget()->size(), QSize(536, 373));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    // The combo reaches the right end of the toolbar.
    QWidget* toolBar = w.findChild<QWidget*>("ToolBar1");
    ASSERT_NE(toolBar, nullptr);
    EXPECT_EQ(toolBar->height(), 28);
    EXPECT_EQ(w.cb1()->geometry().right(), toolBar->width() - 1);
    EXPECT_EQ(w.findChild<QWidget*>("SpeedButton8")->width(), 65);
    for (const char* name : {"mimg0", "mimg8", "keybu"}) {
        auto* picture = w.findChild<QLabel*>(name);
        ASSERT_NE(picture, nullptr) << name;
        EXPECT_FALSE(picture->isVisibleTo(&w)) << name;
    }
    EXPECT_EQ(w.pictures().keybu().size(), QSize(427, 119));
}

TEST_F(Startup, TablesAreClearedAndButtonPicturesLoaded) {
    TVornik& w = startWithKeyMap();

    EXPECT_EQ(w.config().keyBindings[0], KeyBinding{});
    EXPECT_EQ(w.config().targets.OwnApplicationHandle, m_fake.windows.ownApplication);
    EXPECT_EQ(w.config().targets.UntitledWindowCounter, 0);
    for (int n : {1, 32}) {
        EXPECT_EQ(w.pictures().button(n, ButtonState::Released).size(), QSize(32, 32));
        EXPECT_EQ(w.pictures().button(n, ButtonState::Pressed).size(), QSize(32, 32));
        EXPECT_NE(w.pictures().button(n, ButtonState::Released).toImage(),
                  w.pictures().button(n, ButtonState::Pressed).toImage());
    }
    EXPECT_NE(w.pictures().button(1, ButtonState::Released).toImage(),
              w.pictures().button(2, ButtonState::Released).toImage());
}

TEST_F(Startup, TimerIsConfiguredForTheEngine) {
    TVornik& w = startWithKeyMap();
    EXPECT_EQ(w.TimerEx1().Interval(), 30u);
    EXPECT_EQ(w.TimerEx1().ThreadPriority(), tpHighest);
    EXPECT_FALSE(w.TimerEx1().ThreadSafe());
    EXPECT_TRUE(w.TimerEx1().Threaded());
    EXPECT_TRUE(static_cast<bool>(w.TimerEx1().OnTimer()));
}

} // namespace
} // namespace vornik::ui::test

namespace vornik::ui::test {
namespace {

TEST_F(Startup, AboutBoxFromTheMenuShowsNameVersionAndLinks) {
    TVornik& w = startWithKeyMap();
    QString product, version, usage, profiles;
    Modal::queueDialog([&](QDialog& d) {
        product = d.findChild<QLabel*>("ProductName")->text();
        version = d.findChild<QLabel*>("Version")->text();
        usage = d.findChild<QLabel*>("UsageLink")->text();
        profiles = d.findChild<QLabel*>("ProfileLink")->text();
        return int(QDialog::Accepted);
    });
    w.findChild<QAction*>("AboutAction")->trigger();

    EXPECT_EQ(Modal::dialogsRun(), 1);
    EXPECT_TRUE(product.contains("Vornik"));
    EXPECT_TRUE(version.contains(QRegularExpression("\\d+\\.\\d+\\.\\d+"))) << version.toStdString();
    // The links reach the README shipped beside the executable, wherever that was copied.
    const QString readme = QCoreApplication::applicationDirPath() + QStringLiteral("/README.md");
    EXPECT_TRUE(usage.contains(QUrl::fromLocalFile(readme).toString())) << usage.toStdString();
    EXPECT_TRUE(QFile::exists(readme));
    EXPECT_TRUE(profiles.contains(QUrl::fromLocalFile(readme).toString() + "#profile-files")) << profiles.toStdString();
}

TEST_F(Startup, BindingAndMoveDialogsOpenCentredOnTheScreen) {
    TVornik& w = startWithKeyMap();
    w.move(0, 0); // away from the middle, so a dialog centred on the window would show it
    const QPoint middle = w.screen()->availableGeometry().center();
    for (QDialog* d : std::initializer_list<QDialog*>{m_dialogs.keyBinding, m_dialogs.joystickBinding,
                                                      m_dialogs.moveEditor, m_dialogs.recorder}) {
        d->show();
        QCoreApplication::processEvents();
        // Within a window frame's width: some place the frame, some the client area.
        EXPECT_LE((d->frameGeometry().center() - middle).manhattanLength(), 10) << d->objectName().toStdString();
        d->hide();
    }
}

TEST_F(Startup, PagesUseAFontThatCoversTraditionalChinese) {
    TVornik& w = startWithKeyMap();
    const QString family = w.PageControl1()->font().family();
    EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::TraditionalChinese))
        << family.toStdString();
    EXPECT_EQ(w.PageControl1()->font().pixelSize(), 12);
}

// The program hands over a maker instead of the dialogs: none exists until one is to open, and the
// first to open builds them all, once.
TEST_F(Startup, TheDialogsAreBuiltWhenOneIsFirstOpened) {
    installKeyMap();
    StartupOptions options;
    options.exeDirectory = exeDir();
    options.folders = folders();
    options.runTimer = false;
    options.trayAvailable = [] { return true; };
    options.quit = [] {};
    TVornik window(m_fake.platform, options);
    int built = 0;
    std::unique_ptr<TForm6> keyBinding;
    std::unique_ptr<Tform2> about;
    window.setDialogMaker([&] {
        ++built;
        about = std::make_unique<Tform2>(&window);
        keyBinding = std::make_unique<TForm6>(&window);
        window.setDialogs(about.get(), nullptr, nullptr, keyBinding.get(), nullptr);
    });
    EXPECT_TRUE(window.findChildren<TForm6*>().isEmpty());
    EXPECT_EQ(built, 0);

    QTreeWidget* list = window.keyboardPage()->l3();
    list->setCurrentItem(list->topLevelItem(0));
    bool opened = false;
    Modal::queueDialog([&](QDialog& dialog) {
        opened = &dialog == keyBinding.get();
        return QDialog::Rejected;
    });
    window.keyboardPage()->l3DblClick();
    EXPECT_TRUE(opened);
    EXPECT_EQ(built, 1);
    Modal::queueDialog([](QDialog&) { return QDialog::Rejected; });
    window.showAbout();
    EXPECT_EQ(built, 1) << "built once";
}

} // namespace
} // namespace vornik::ui::test
