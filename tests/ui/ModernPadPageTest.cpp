// A modern pad's page: its buttons named in the grid and on their pictures, rows for the right
// stick and the triggers (greyed where a profile keeps them for a pad that lacks them), the right
// stick's live picture beside the left one's, and the dead zones and threshold in its settings.
#include "UiFixture.h"

#include "DrawGrid.h"
#include "JoystickGrid.h"
#include "PadSettingsDialog.h"
#include "Profile.h"

#include <QComboBox>
#include <QSpinBox>

namespace vornik::ui::test {
namespace {

class ModernPadPage : public UiFixture {
protected:
    // A PlayStation-style pad: 15 buttons in SDL's standard order, both sticks, both triggers.
    FakeJoystick& plugPad() {
        FakeJoystick& pad = m_fake.joysticks.plug(0, 15);
        pad.caps.family = PadFamily::PlayStation;
        pad.caps.inputs = PadHasRightStick | PadHasLeftTrigger | PadHasRightTrigger;
        for (int b = 1; b <= 15; ++b)
            pad.caps.roles[static_cast<std::size_t>(b - 1)] = static_cast<PadButton>(b);
        return pad;
    }
    QString text(int col, int row, int n = 1) const {
        return page(n).BindingGrid->model()->index(row, col).data().toString();
    }
    JoystickPage& page(int n = 1) const { return m_main->joystickPage(n); }
};

TEST_F(ModernPadPage, NamesItsButtonsAndShowsTheRightStickAndTheTriggers) {
    plugPad();
    startWithKeyMap();
    m_main->config().joystickBindings[1][kEntryRightLeft] = {BindingKeys, 'J', 0, 0, 1};
    const DrawGrid& grid = *page().BindingGrid;
    EXPECT_EQ(grid.rowCount(), 15 + 9 + 6);
    EXPECT_EQ(grid.colWidth(0), 110) << "room for the names";
    // The rows as the model gives them, one per input: name, binding, auto-fire, its speed.
    EXPECT_EQ(text(0, 9), "按鈕 1（Cross）");
    EXPECT_EQ(text(0, 18), "按鈕 10（L1）");
    EXPECT_EQ(text(0, 24), "右搖桿：上");
    EXPECT_EQ(text(0, 26), "右搖桿：左");
    EXPECT_EQ(text(1, 26), "鍵盤：J");
    EXPECT_EQ(text(0, 28), "左扳機（L2）");
    EXPECT_EQ(text(0, 29), "右扳機（R2）");
    EXPECT_EQ(text(1, 29), "沒有對應功能鍵");
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), "對應功能");

    // The right stick's picture beside the left one's, the buttons moved along by one picture.
    ASSERT_NE(page().RightStickPicture, nullptr);
    EXPECT_EQ(page().RightStickPicture->geometry(), page().DirectionPicture->geometry().translated(36, 0));
    EXPECT_EQ(page().buttonPicture(1)->x(), 235 + 36);
    EXPECT_EQ(page().buttonPicture(1)->toolTip(), "Cross");
    ASSERT_NE(page().TriggerLabels[1], nullptr);
    EXPECT_EQ(page().TriggerLabels[1]->text(), "R2");
    for (const QWidget* a : {static_cast<QWidget*>(page().RightStickPicture), static_cast<QWidget*>(page().NameLabel),
                             static_cast<QWidget*>(page().PadSettingsButton),
                             static_cast<QWidget*>(page().TriggerLabels[0])}) {
        for (const QWidget* b : a->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (a != b && b != page().BindingGrid) {
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->objectName().toStdString() << " " << b->objectName().toStdString();
            }
        }
    }

    // The live view: the right stick down-left, the right trigger pulled.
    FakeJoystick& pad = m_fake.joysticks.devices[0];
    page().TestCheckBox->setChecked(true);
    pad.reading.rightX = 0;
    pad.reading.rightY = 65535;
    pad.reading.rightTrigger = 65535;
    m_main->TimerEx1Timer();
    EXPECT_EQ(page().RightStickPicture->property("picture").toInt(), 6);
    EXPECT_EQ(page().DirectionPicture->property("picture").toInt(), 0);
    EXPECT_TRUE(page().TriggerLabels[1]->property("pressed").toBool());
    EXPECT_FALSE(page().TriggerLabels[0]->property("pressed").toBool());
}

TEST_F(ModernPadPage, APadWithoutThemShowsBindingsKeptForThemGreyedAndLooksAsBefore) {
    m_fake.joysticks.plug(0, 12);
    // A profile made on a modern pad, loaded on this one.
    Configuration made;
    made.joystickBindings[1][kEntryRightTrigger] = {BindingKeys, 'E', 0, 0, 1};
    const std::string path = QDir(exeDir()).filePath(QStringLiteral("pad.vornik")).toStdString();
    ASSERT_TRUE(saveProfile(path, made).ok);
    installKeyMap();
    StartupOptions options;
    options.profile = QString::fromStdString(path);
    TVornik& w = start(options);
    EXPECT_EQ(page().BindingGrid->colWidth(0), 55);
    EXPECT_EQ(page().RightStickPicture, nullptr);
    EXPECT_EQ(text(0, 9), "按鈕 1");
    EXPECT_EQ(w.config().joystickBindings[1][kEntryRightTrigger].Key1, 'E');
    EXPECT_EQ(page().BindingGrid->rowCount(), 22);
    EXPECT_EQ(text(0, 21), "右扳機（RT）");
    EXPECT_EQ(text(1, 21), "鍵盤：E");
    std::array<JoystickPage, kMaxJoysticks> pages{};
    JoystickGrid grid(w.config(), w.pictures(), pages);
    EXPECT_TRUE(grid.rowGreyed(1, 21));
    EXPECT_FALSE(grid.rowGreyed(1, 20));

    // Its settings: the right stick's and the triggers' cannot be set, the left dead zone can.
    PadSettingsDialog dialog;
    dialog.load(1, w.config().pad(1), w.config().caps(1));
    EXPECT_FALSE(dialog.findChild<QComboBox*>("rightStick")->isEnabled());
    EXPECT_FALSE(dialog.findChild<QSpinBox*>("triggerThreshold")->isEnabled());
    dialog.findChild<QSpinBox*>("deadZone")->setValue(50);
    PadSettings saved;
    dialog.save(saved);
    EXPECT_EQ(saved.leftDeadZone, 50);
    EXPECT_EQ(saved.rightDeadZone, 33);
}

TEST_F(ModernPadPage, TheSettingsDialogSetsTheDeadZonesAndTheThreshold) {
    plugPad();
    TVornik& w = startWithKeyMap();
    Modal::queueDialog([](QDialog& d) {
        d.findChild<QComboBox*>("rightStick")->setCurrentIndex(1);
        d.findChild<QSpinBox*>("rightDeadZone")->setValue(12);
        d.findChild<QSpinBox*>("triggerThreshold")->setValue(60);
        return int(QDialog::Accepted);
    });
    page().PadSettingsButton->click();
    ASSERT_EQ(Modal::dialogsRun(), 1);
    EXPECT_EQ(w.config().pad(1).rightStick, StickMode::Pointer);
    EXPECT_EQ(w.config().pad(1).rightDeadZone, 12);
    EXPECT_EQ(w.config().pad(1).triggerThreshold, 60);
    EXPECT_EQ(w.config().pad(1).leftDeadZone, 33);
}

// A stick that drives the pointer or the wheel says so in its rows instead of showing bindings that do
// nothing; the left stick's rows still serve the D-pad. Set through the settings dialog, as a player does.
TEST_F(ModernPadPage, AStickThatDrivesThePointerOrTheWheelSaysSoInItsRows) {
    plugPad();
    TVornik& w = startWithKeyMap();
    w.config().joystickBindings[1][kEntryUp] = {BindingKeys, 'W', 0, 0, 1};
    w.config().joystickBindings[1][kEntryRightUp] = {BindingKeys, 'I', 0, 0, 1, AutoFireWhileHeld};
    struct Case {
        int left, right; // the combo boxes' indexes: keys, pointer, wheel
        const char *up, *upBinding, *rightUp, *rightUpFire;
    };
    for (const Case& c : {Case{1, 2, "上（十字鍵）", "鍵盤：W", "轉動滑鼠滾輪", ""},
                          Case{2, 1, "上（十字鍵）", "鍵盤：W", "移動滑鼠指標", ""},
                          Case{0, 0, "上", "鍵盤：W", "鍵盤：I", "按下連發"}}) {
        Modal::queueDialog([&](QDialog& d) {
            d.findChild<QComboBox*>("leftStick")->setCurrentIndex(c.left);
            d.findChild<QComboBox*>("rightStick")->setCurrentIndex(c.right);
            return int(QDialog::Accepted);
        });
        page().PadSettingsButton->click();
        EXPECT_EQ(text(0, 1), c.up);
        EXPECT_EQ(text(1, 1), c.upBinding);
        EXPECT_EQ(text(0, 24), "右搖桿：上");
        EXPECT_EQ(text(1, 24), c.rightUp);
        EXPECT_EQ(text(2, 24), c.rightUpFire);
    }
}

// With the live view on, pressing an input selects its row while its page is shown: the player finds
// what to bind by pressing it.
TEST_F(ModernPadPage, PressingAnInputSelectsItsRowWhileThePageIsShown) {
    FakeJoystick& pad = plugPad();
    startWithKeyMap();
    page().TestCheckBox->setChecked(true);
    m_main->PageControl1()->setCurrentIndex(m_main->PageControl1()->indexOf(page().BindingGrid->parentWidget()));
    const DrawGrid& grid = *page().BindingGrid;
    const auto rowAfter = [&](auto move) {
        move();
        m_main->TimerEx1Timer();
        pad.reading = JoyReading{32767, 32767, 0, kPovCentred, kAxisCentre, kAxisCentre, 0, 0};
        m_main->TimerEx1Timer();
        return grid.selectionTop();
    };
    EXPECT_EQ(rowAfter([&] { pad.reading.dwButtons = 1u << 9; }), 18) << "button 10 (L1)";
    EXPECT_EQ(rowAfter([&] { pad.reading.dwXpos = 0; }), 3) << "the stick left";
    EXPECT_EQ(rowAfter([&] { pad.reading.rightY = 0; }), 24) << "the right stick up";
    EXPECT_EQ(rowAfter([&] { pad.reading.rightTrigger = 65535; }), 29) << "the right trigger";

    m_main->PageControl1()->setCurrentWidget(m_main->keyboardPage());
    EXPECT_EQ(rowAfter([&] { pad.reading.dwButtons = 1; }), 29) << "another page shown: nothing moves";
}

} // namespace
} // namespace vornik::ui::test
