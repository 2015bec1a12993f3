// The window says where the keys go, and if nowhere, why: a button beside the page tabs whose
// accessible name and tooltip carry the sentence, and the tray icon's tooltip. Each situation is set
// up on the fake platform and one tick is run; the text must name what the player needs.

#include "UiFixture.h"

#include "JoystickPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSet>
#include <QToolButton>

namespace vornik::ui::test {
namespace {

class TargetStateShown : public UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        installKeyMap();
        m_fake.windows.add(0x10, 100, "Editor");
        m_fake.windows.add(0x20, 200, "Game");
        m_fake.windows.add(0x30, 300, "Admin tool");
        m_fake.windows.elevated.insert(300);
    }
    // One tick, and what the window then says, which must be what a screen reader reads.
    QString tickAndRead() {
        m_main->TimerEx1Timer();
        const QToolButton* shown = m_main->targetStateButton();
        EXPECT_EQ(shown->toolTip(), shown->accessibleName());
        EXPECT_FALSE(shown->isHidden());
        m_texts.insert(shown->accessibleName());
        return shown->accessibleName();
    }
    TargetState::Kind kind() const { return m_main->engine().targetState().kind; }

    QSet<QString> m_texts;
};

TEST_F(TargetStateShown, EverySituationHasItsOwnSentenceNamingWhatMatters) {
    using Kind = TargetState::Kind;
    PlatformHooks hooks;
    std::string output = "xtest";
    hooks.outputInUse = [&output] { return output; };
    TVornik& w = start({}, hooks);
    ASSERT_TRUE(w.targetStateButton()->isHidden()) << "nothing is said before a tick has looked";
    EXPECT_EQ(w.trayIcon()->toolTip(), "Vornik");

    // Nothing chosen, no joystick: how to choose, and that no pad is there.
    QString text = tickAndRead();
    EXPECT_EQ(kind(), Kind::NoTarget);
    EXPECT_TRUE(text.contains("CTRL+J")) << text.toStdString();
    EXPECT_TRUE(text.contains("沒有連接搖桿")) << text.toStdString();

    // A pad attached: the note goes with the next tick that finds it.
    m_fake.joysticks.plug(0);
    m_fake.clock.advance(1000);
    text = tickAndRead();
    EXPECT_FALSE(text.contains("沒有連接搖桿")) << text.toStdString();

    // The target chosen while another window is in front: that window is named.
    emit w.cb1()->activated(1);
    m_fake.windows.foreground = 0x10;
    text = tickAndRead();
    EXPECT_EQ(kind(), Kind::Behind);
    EXPECT_TRUE(text.contains("「Editor」")) << text.toStdString();

    // In front: keys go out, and how.
    m_fake.windows.foreground = 0x20;
    text = tickAndRead();
    EXPECT_EQ(kind(), Kind::InFront);
    EXPECT_TRUE(text.contains("「Game」") && text.contains("XTest")) << text.toStdString();

    // A native window on a Wayland desktop: keys go through the compositor's virtual keyboard, and
    // the keyboard page's bindings are said to see no key meanwhile.
    output = "wayland";
    m_fake.windows.keysUnreadWith.insert(0x20);
    text = tickAndRead();
    EXPECT_EQ(kind(), Kind::InFront);
    EXPECT_TRUE(text.contains("Wayland 虛擬鍵盤") && text.contains("鍵盤頁的綁定")) << text.toStdString();
    m_fake.windows.keysUnreadWith.clear();
    output = "xtest";

    // The stop boxes, named with the joystick they belong to; unticked again, the note goes.
    w.keyboardPage()->CheckBox5()->setChecked(true);
    w.joystickPage(1).StopCheckBox->setChecked(true);
    text = tickAndRead();
    EXPECT_EQ(kind(), Kind::InFront);
    EXPECT_TRUE(text.contains("鍵盤的「停止作用」")) << text.toStdString();
    EXPECT_TRUE(text.contains("搖桿 1 的「停止作用」")) << text.toStdString();
    w.keyboardPage()->CheckBox5()->setChecked(false);
    w.joystickPage(1).StopCheckBox->setChecked(false);
    EXPECT_FALSE(tickAndRead().contains("停止作用"));

    // No window in front, then one the program cannot see (an X client on a Wayland desktop).
    m_fake.windows.foreground = 0;
    tickAndRead();
    EXPECT_EQ(kind(), Kind::NothingInFront);
    m_fake.windows.everyWindowSeen = false;
    text = tickAndRead();
    EXPECT_EQ(kind(), Kind::UnseenInFront);
    EXPECT_TRUE(text.contains("Wayland")) << text.toStdString();
    // A compositor that does not tell which window is in front: what it lacks is named.
    m_fake.windows.unseenWhy = "the compositor offers no zwlr_foreign_toplevel_manager_v1";
    text = tickAndRead();
    EXPECT_TRUE(text.contains("zwlr_foreign_toplevel_manager_v1")) << text.toStdString();
    m_fake.windows.unseenWhy.clear();

    // The target ended.
    m_fake.windows.ended.insert(200);
    tickAndRead();
    EXPECT_EQ(kind(), Kind::Ended);

    // A target in front that the system keeps the keys from (it runs elevated).
    m_fake.windows.foreground = 0x30;
    emit w.cb1()->activated(2);
    text = tickAndRead();
    EXPECT_EQ(kind(), Kind::OutOfReach);
    EXPECT_TRUE(text.contains("「Admin tool」")) << text.toStdString();

    // No key can go out at all: the backend's reason, whatever else holds.
    m_fake.output.unavailable = "the X server has no XTEST extension";
    text = tickAndRead();
    EXPECT_EQ(kind(), Kind::CannotSend);
    EXPECT_TRUE(text.contains("XTEST extension")) << text.toStdString();

    EXPECT_EQ(m_texts.size(), 12) << "one sentence per situation";

    // Hidden to the tray, the icon's tooltip says the same under the program's name.
    w.EnterBackgroundMode();
    ASSERT_TRUE(w.inBackground());
    EXPECT_EQ(w.trayIcon()->toolTip(), "Vornik\n" + text);
}

} // namespace
} // namespace vornik::ui::test
