// The program's own texts by default, English when the user's language is English or it is asked for.

#include "Language.h"
#include "UiFixture.h"

#include <QDialogButtonBox>
#include <QPushButton>

namespace vornik::ui::test {
namespace {

TEST(Language, TheCommandLineThenTheSettingThenTheUsersFirstLanguage) {
    EXPECT_EQ(chooseLanguage("", "", {"zh-TW", "en-US"}), "zh");
    EXPECT_EQ(chooseLanguage("", "", {"de-DE", "en-US"}), "zh") << "only a first language of English";
    EXPECT_EQ(chooseLanguage("", "", {}), "zh");
    EXPECT_EQ(chooseLanguage("", "", {"en-GB", "zh-TW"}), "en");
    EXPECT_EQ(chooseLanguage("", "", {"en"}), "en");
    EXPECT_EQ(chooseLanguage("", "zh", {"en-US"}), "zh");
    EXPECT_EQ(chooseLanguage("en", "zh", {"de-DE"}), "en");
    EXPECT_EQ(chooseLanguage("zh", "en", {"en-US"}), "zh");
}

class InEnglish : public UiFixture {
protected:
    void TearDown() override {
        UiFixture::TearDown();
        applyLanguage("zh");
    }
};

TEST_F(InEnglish, PagesAndCaptionAreEnglishAndKeyLabelsStay) {
    m_fake.joysticks.plug(0);
    ASSERT_TRUE(applyLanguage("en"));
    TVornik& w = startWithKeyMap();
    EXPECT_EQ(tabCaptions(), QStringList({"Joystick 1", "Keys", "Moves"}));
    EXPECT_EQ(w.windowTitle(), "Vornik   (Hot key: CTRL+J)");
    EXPECT_EQ(w.joystickPage(1).StopCheckBox->text(), "Stop");
    EXPECT_EQ(w.keyboardPage()->l3()->topLevelItem(0)->text(0), "BackSpace") << "key labels are never translated";

    m_main.reset();
    applyLanguage("zh");
    start();
    EXPECT_EQ(tabCaptions(), QStringList({"搖桿 1", "鍵盤", "招式記錄"}));
}

// What Qt draws itself follows the program's language: the standard buttons of every box and the
// file dialogs' buttons (Qt's own translation, from the folder beside the program or Qt's).
TEST_F(InEnglish, QtsOwnButtonsAndFileDialogsFollowTheProgramsLanguage) {
    const auto buttons = [](QWidget* in) {
        auto* box = in->findChild<QDialogButtonBox*>();
        return box == nullptr ? QStringList() : QStringList({box->button(QDialogButtonBox::Cancel)->text()});
    };
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes | QDialogButtonBox::No);
    const auto texts = [&box] {
        box.setStandardButtons(box.standardButtons()); // made anew in the language now in force
        QStringList shown;
        for (const auto which : {QDialogButtonBox::Ok, QDialogButtonBox::Cancel, QDialogButtonBox::Yes, QDialogButtonBox::No})
            shown << box.button(which)->text();
        return shown;
    };
    applyLanguage("zh");
    EXPECT_EQ(texts(), QStringList({"確定", "取消", "是(&Y)", "否(&N)"}));
    TVornik& w = start();
    w.op1()->setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(buttons(w.op1()), QStringList({"取消"}));
    m_main.reset();

    applyLanguage("en");
    EXPECT_EQ(texts(), QStringList({"OK", "Cancel", "&Yes", "&No"}));
    start();
    m_main->sa1()->setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(buttons(m_main->sa1()), QStringList({"Cancel"}));
}

} // namespace
} // namespace vornik::ui::test
