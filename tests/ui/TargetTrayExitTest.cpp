#include "UiFixture.h"

#include "DrawGrid.h"
#include "NativePlatform.h"
#include "OutputSetting.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QComboBox>
#include <QPushButton>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

namespace vornik::ui::test {
namespace {

constexpr int kVkControl = 0x11;
constexpr int kVkJ = 0x4A;

class Program : public UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        installKeyMap();
        m_fake.windows.add(0x10, 100, "Editor");
        m_fake.windows.add(0x20, 200, "Game");
        m_fake.windows.add(0x30, 300, "Hidden tool", false);
    }
    QStringList comboItems() const {
        QStringList items;
        for (int i = 0; i < m_main->cb1()->count(); ++i)
            items << m_main->cb1()->itemText(i);
        return items;
    }
    uint32_t target() const { return m_main->config().targets.TargetProcessId; }
    // The keyboard binding entry of a key: its named-key position minus 2.
    KeyBinding& keyBinding(int code) {
        const NamedKeyList& named = m_main->config().namedKeys;
        for (int p = 2; p <= named.Count; ++p) {
            if (named.Codes[p] == code)
                return m_main->config().keyBindings[static_cast<std::size_t>(p - 2)];
        }
        throw std::logic_error("no such key");
    }
};

TEST_F(Program, ComboListsVisibleWindowsAndAChoiceSetsTheTarget) {
    TVornik& w = start();
    EXPECT_EQ(comboItems(), QStringList({"Editor", "Game"}));
    EXPECT_EQ(w.cb1()->currentIndex(), -1);
    EXPECT_EQ(target(), 0u);

    emit w.cb1()->activated(1);
    EXPECT_EQ(target(), 200u);
}

// A target running as administrator gets none of the keys: the player is told once, by the program's
// name and with the remedy, however often it is chosen again.
TEST_F(Program, AnElevatedTargetIsNamedOnceWithTheRemedy) {
    m_fake.windows.elevated.insert(200);
    m_fake.windows.executables[200] = "game.exe";
    TVornik& w = start();
    emit w.cb1()->activated(1);
    emit w.cb1()->activated(1);
    QCoreApplication::processEvents();
    ASSERT_EQ(messages().size(), 1) << messages().join("|").toStdString();
    EXPECT_TRUE(messages()[0].contains("game.exe") && messages()[0].contains("以系統管理員身分執行 Vornik"))
        << messages()[0].toStdString();

    emit w.cb1()->activated(0);
    emit w.cb1()->activated(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(messages().size(), 1);
}

TEST_F(Program, AllProcWithHiddenWindows) {
    StartupOptions options;
    options.allProcesses = true;
    start(options);
    EXPECT_EQ(comboItems(), QStringList({"Editor", "Game", "Hidden tool"}));
}

TEST_F(Program, RefeashRebuildsTheListAndKeepsTheTarget) {
    TVornik& w = start();
    emit w.cb1()->activated(0);
    m_fake.windows.add(0x40, 400, "");
    w.findChild<QToolButton*>("SpeedButton8")->click();

    EXPECT_EQ(comboItems(), QStringList({"Editor", "Game", "Process 00ABCDEF1"}));
    EXPECT_EQ(w.cb1()->currentIndex(), -1);
    EXPECT_EQ(target(), 100u);
}

TEST_F(Program, HotKeyMakesTheProgramInFrontTheTargetAndSelectsIt) {
    TVornik& w = start();
    m_fake.windows.foreground = 0x20;
    m_fake.keyboard.hold(kVkControl);
    m_fake.keyboard.hold(kVkJ);
    w.TimerEx1Timer();

    EXPECT_EQ(target(), 200u);
    EXPECT_EQ(w.cb1()->currentIndex(), 1);
    EXPECT_EQ(w.cb1()->currentText(), "Game");
}

TEST_F(Program, BackgroundModeHidesEverythingAndTheEngineKeepsRunning) {
    TVornik& w = start();
    KeyBinding& a = keyBinding('A');
    Move& move = w.config().moves[1];
    move.Steps[1].Key = 'B';
    move.StepCount = 1;
    move.RepeatCount = 1;
    a.MoveNumber = 1;
    emit w.cb1()->activated(1);
    m_fake.windows.foreground = 0x20;

    w.findChild<QAction*>("HideAction")->trigger();
    EXPECT_TRUE(w.inBackground());
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.trayIcon()->isVisible());
    EXPECT_EQ(w.trayIcon()->toolTip(), "Vornik");
    EXPECT_TRUE(w.engineHost().mainWindowVisible());

    m_fake.keyboard.hold('A');
    w.TimerEx1Timer();
    ASSERT_FALSE(m_fake.keyboard.events.empty());
    EXPECT_EQ(m_fake.keyboard.events.front().vk, 'B');
}

TEST_F(Program, OnlyALeftOrRightPressOnTheIconRestores) {
    TVornik& w = start();
    for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::Context}) {
        w.findChild<QToolButton*>("SpeedButton1")->click();
        ASSERT_TRUE(w.inBackground());
        w.trayActivated(QSystemTrayIcon::DoubleClick);
        w.trayActivated(QSystemTrayIcon::MiddleClick);
        w.trayActivated(QSystemTrayIcon::Unknown);
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(w.trayIcon()->isVisible());

        emit w.trayIcon()->activated(reason);
        // The icon is still handing out the press: nothing is hidden before it returns.
        EXPECT_TRUE(w.trayIcon()->isVisible());
        QCoreApplication::sendPostedEvents();
        EXPECT_FALSE(w.inBackground());
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(w.trayIcon()->isVisible());
    }
}

TEST_F(Program, BackgroundModeIsRefusedWithoutANotificationArea) {
    m_trayAvailable = false;
    TVornik& w = start();
    w.EnterBackgroundMode();

    EXPECT_FALSE(w.inBackground());
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.trayIcon()->isVisible());
    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_EQ(Modal::shown()[0].caption, "Message");
}

TEST_F(Program, ClosingTheWindowReleasesHeldKeys) {
    TVornik& w = start();
    w.engine().held().pressKey('X');
    m_fake.keyboard.events.clear();
    w.close();

    ASSERT_EQ(m_fake.keyboard.events.size(), 1u);
    EXPECT_EQ(m_fake.keyboard.events[0].vk, 'X');
    EXPECT_EQ(m_fake.keyboard.events[0].flags, kKeyEventKeyUp);
}

// A binding that stops running, or runs in a new form, would never send the key-up of what it holds.
TEST_F(Program, EveryEditThatStopsABindingLetsGoOfTheKeysTheProgramHolds) {
    m_fake.joysticks.plug(0);
    TVornik& w = start();
    const auto accept = [](QDialog&) { return int(QDialog::Accepted); };
    const auto reject = [](QDialog&) { return int(QDialog::Rejected); };
    DrawGrid* grid = w.joystickPage(1).BindingGrid;
    QTreeWidget* l3 = w.keyboardPage()->l3();
    const std::vector<std::pair<const char*, std::function<void()>>> paths = {
        {"joystick binding OK",
         [&] {
             grid->selectRow(9);
             Modal::queueDialog(accept);
             QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(120, grid->rowViewportPosition(9) + 16));
         }},
        {"keyboard binding OK",
         [&] {
             l3->setCurrentItem(l3->topLevelItem(3));
             Modal::queueDialog(accept);
             w.keyboardPage()->l3DblClick();
         }},
        {"move editor OK",
         [&] {
             Modal::queueDialog(accept);
             w.movePage()->Button1Click();
         }},
        {"delete every move",
         [&] {
             Modal::queueAnswer(QMessageBox::Ok);
             w.movePage()->Button2Click();
         }},
        {"joystick stop box", [&] { w.joystickPage(1).StopCheckBox->setChecked(true); }},
        {"keyboard stop box", [&] { w.keyboardPage()->CheckBox5()->setChecked(true); }},
    };
    for (const auto& [name, path] : paths) {
        w.engine().held().pressKey('X');
        m_fake.keyboard.hold('U'); // the user's own key
        path();
        EXPECT_FALSE(m_fake.keyboard.isDown('X')) << name;
        EXPECT_TRUE(m_fake.keyboard.isDown('U')) << name;
    }

    // Cancel changes nothing, so the key stays with its binding.
    w.engine().held().pressKey('X');
    l3->setCurrentItem(l3->topLevelItem(3));
    Modal::queueDialog(reject);
    w.keyboardPage()->l3DblClick();
    Modal::queueDialog(reject);
    w.movePage()->Button1Click();
    EXPECT_TRUE(m_fake.keyboard.isDown('X'));
    EXPECT_EQ(Modal::dialogsRun(), 5);
}

// The page's "滑鼠設定…" opens the pad's pointer settings: OK with a change takes it and lets go of what
// the program holds (the stick stops pressing its direction keys); Cancel changes nothing.
TEST_F(Program, PadSettingsOpenFromThePageAndAChangeLetsGoOfHeldKeys) {
    m_fake.joysticks.plug(0);
    TVornik& w = start();
    QToolButton* open = w.joystickPage(1).PadSettingsButton;
    ASSERT_NE(open, nullptr);
    w.engine().held().pressKey(0x25);

    Modal::queueDialog([](QDialog& d) {
        d.findChild<QComboBox*>("leftStick")->setCurrentIndex(1);
        return int(QDialog::Rejected);
    });
    open->click();
    EXPECT_EQ(w.config().pad(1), PadSettings{});
    EXPECT_TRUE(m_fake.keyboard.isDown(0x25));

    Modal::queueDialog([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "搖桿 1 的滑鼠設定");
        d.findChild<QComboBox*>("leftStick")->setCurrentIndex(1);
        d.findChild<QSpinBox*>("pointerSpeed")->setValue(2400);
        d.findChild<QDoubleSpinBox*>("pointerCurve")->setValue(1.5);
        return int(QDialog::Accepted);
    });
    open->click();
    EXPECT_EQ(w.config().pad(1).leftStick, StickMode::Pointer);
    EXPECT_EQ(w.config().pad(1).pointerSpeed, 2400);
    EXPECT_EQ(w.config().pad(1).pointerCurve, 1.5);
    EXPECT_EQ(w.config().pad(1).leftDeadZone, 33);
    EXPECT_FALSE(m_fake.keyboard.isDown(0x25));
    EXPECT_EQ(Modal::dialogsRun(), 2);
}

// A profile's Windows key settings choose the backend's output and the moves' minimum press where the
// backend has the Windows outputs; "Windows 按鍵設定…" changes them, letting go of every key first.
TEST_F(Program, WindowsKeySettingsChooseTheOutputAndTheMinimumPress) {
    QFile file(QDir(exeDir()).filePath(QStringLiteral("scan.vornik")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"format": "vornik-profile", "version": 3, "keyboard": [], "joysticks": [], "moves": [],
                  "windowsKeys": {"scanCodesOnly": true, "minimumPressMs": 40}})");
    file.close();
    std::vector<std::string> chosen;
    PlatformHooks hooks;
    hooks.chooseOutput = [&chosen](const std::string& name) {
        chosen.push_back(name);
        return true;
    };
    StartupOptions options;
    options.profile = file.fileName();
    TVornik& w = start(options, hooks);
    ASSERT_FALSE(chosen.empty());
    EXPECT_EQ(chosen.back(), kWindowsScanCodesOutput);
    EXPECT_EQ(w.engine().player().minimumPress(), 40u);

    w.engine().held().pressKey('X');
    Modal::queueDialog([](QDialog& d) {
        EXPECT_TRUE(d.findChild<QLabel*>("keptOnly")->isHidden());
        EXPECT_TRUE(d.findChild<QCheckBox*>("scanCodesOnly")->isChecked());
        d.findChild<QCheckBox*>("scanCodesOnly")->setChecked(false);
        d.findChild<QSpinBox*>("minimumPressMs")->setValue(25);
        return int(QDialog::Accepted);
    });
    w.findChild<QAction*>("WindowsKeysAction")->trigger();
    EXPECT_EQ(w.config().windowsKeys, (WindowsKeys{false, 25}));
    EXPECT_EQ(chosen.back(), kWindowsKeysOutput);
    EXPECT_EQ(w.engine().player().minimumPress(), 25u);
    EXPECT_FALSE(m_fake.keyboard.isDown('X')) << "released through the output that pressed it";
    EXPECT_TRUE(w.profileKeeper().changed());
}

// Where the backend has no Windows output, the settings are kept with the profile and act on nothing.
TEST_F(Program, WindowsKeySettingsAreOnlyKeptWhereTheBackendSendsOtherwise) {
    StartupOptions options;
    PlatformHooks hooks;
    hooks.chooseOutput = [](const std::string&) { return false; };
    TVornik& w = start(options, hooks);
    Modal::queueDialog([](QDialog& d) {
        EXPECT_FALSE(d.findChild<QLabel*>("keptOnly")->isHidden());
        d.findChild<QSpinBox*>("minimumPressMs")->setValue(60);
        return int(QDialog::Accepted);
    });
    w.findChild<QAction*>("WindowsKeysAction")->trigger();
    EXPECT_EQ(w.config().windowsKeys.minimumPressMs, 60);
    EXPECT_EQ(w.engine().player().minimumPress(), 0u);
    EXPECT_FALSE(w.windowsKeysInEffect());
}

// The file menu chooses among the backend's ways of sending (not the Windows ones, which the profile
// chooses): every key is let go through the way that pressed it first, the choice is kept for the
// next start, and a way that cannot send says why at once.
TEST_F(Program, TheWayOfSendingIsChosenInTheFileMenuAndKept) {
    std::string inUse = "xtest";
    PlatformHooks hooks;
    hooks.outputNames = [] { return std::vector<std::string>{"xtest", "uinput"}; };
    hooks.outputInUse = [&inUse] { return inUse; };
    hooks.chooseOutput = [&inUse](const std::string& name) {
        inUse = name;
        return true;
    };
    TVornik& w = start({}, hooks);
    ASSERT_NE(w.findChild<QMenu*>("OutputMenu"), nullptr);
    w.engine().held().pressKey('X');
    m_fake.output.unavailable = "this user may not write to /dev/uinput";
    w.findChild<QAction*>("Output_uinput")->trigger();
    EXPECT_EQ(inUse, "uinput");
    EXPECT_FALSE(m_fake.keyboard.isDown('X')) << "held through the way it was pressed by";
    EXPECT_EQ(rememberedOutput(folders().settingsFile()), QStringLiteral("uinput"));
    ASSERT_FALSE(Modal::shown().empty());
    EXPECT_TRUE(Modal::shown().back().text.contains("/dev/uinput")) << Modal::shown().back().text.toStdString();
    EXPECT_EQ(w.engine().targetState().kind, TargetState::Kind::CannotSend) << "the sign says so at once";

    // Windows' two ways follow the profile: no menu for them.
    hooks.outputNames = [] { return std::vector<std::string>{kWindowsKeysOutput, kWindowsScanCodesOutput}; };
    EXPECT_EQ(start({}, hooks).findChild<QMenu*>("OutputMenu"), nullptr);
}

TEST_F(Program, QuitMenuClosesAndReleases) {
    TVornik& w = start();
    w.engine().held().pressKey('Y');
    w.findChild<QAction*>("QuitAction")->trigger();

    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(m_fake.keyboard.isDown('Y'));
}

TEST_F(Program, CancelInTheConnectionErrorBoxReleasesAndEnds) {
    m_fake.joysticks.plug(0).readError = 165;
    TVornik& w = start();
    w.joystickPage(1).TestCheckBox->setChecked(true);
    w.engine().held().pressKey('Z');

    Modal::queueAnswer(QMessageBox::Ok);
    w.TimerEx1Timer();
    EXPECT_EQ(m_quits, 0);
    EXPECT_TRUE(w.isVisible());

    Modal::queueAnswer(QMessageBox::Cancel);
    w.TimerEx1Timer();
    EXPECT_EQ(m_quits, 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(m_fake.keyboard.isDown('Z'));
    ASSERT_EQ(Modal::shown().size(), 2u);
    EXPECT_EQ(Modal::shown()[1].text, "JoyStick connection error !\nPress [Yes] to try again...");
}

TEST_F(Program, LiveViewShowsPicturesOnTheJoystickPage) {
    FakeJoystick& stick = m_fake.joysticks.plug(0, 8);
    TVornik& w = start();
    w.joystickPage(1).TestCheckBox->setChecked(true);
    stick.reading = {0, 0, 0b100};
    w.TimerEx1Timer();

    EXPECT_EQ(w.joystickPage(1).DirectionPicture->property("picture").toInt(), 5); // up-left
    EXPECT_TRUE(w.joystickPage(1).buttonPicture(3)->property("pressed").toBool());
    EXPECT_FALSE(w.joystickPage(1).buttonPicture(2)->property("pressed").toBool());
    EXPECT_EQ(w.joystickPage(1).buttonPicture(3)->pixmap().toImage(),
              w.pictures().button(3, ButtonState::Pressed).toImage());
}

// The engine's timer does not run here: only the joystick's change descriptor can make a key go out.
TEST_F(Program, AJoystickChangeIsAnsweredAtOnceThroughItsChangeDescriptor) {
    FakeJoystick& pad = m_fake.joysticks.plug(0);
    TVornik& w = start();
    ASSERT_TRUE(w.ticks().watchingJoysticks());
    w.config().joystickBindings[1][buttonEntry(1)] = JoystickBinding{BindingKeys, 'X', 0, 0, 1};
    emit w.cb1()->activated(1);
    m_fake.windows.foreground = 0x20;

    pad.reading.dwButtons = 1;
    m_fake.joysticks.signalChange();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_fake.keyboard.events.empty(); }, 5000));
    EXPECT_EQ(m_fake.keyboard.events, (std::vector<KeyEventRecord>{{0, 'X', kKeyEventExtendedKey}}));
    const int responses = w.ticks().scheduler().inputTicks();

    // A stick moved inside its zone wakes the watch but is no change to answer.
    pad.reading.dwXpos = 40000;
    m_fake.joysticks.signalChange();
    QTest::qWait(50);
    EXPECT_EQ(w.ticks().scheduler().inputTicks(), responses);

    pad.reading.dwButtons = 0;
    m_fake.joysticks.signalChange();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_fake.keyboard.events.size() == 2; }, 5000));
    EXPECT_EQ(m_fake.keyboard.events[1].flags, kKeyEventKeyUp);
}

} // namespace
} // namespace vornik::ui::test
