// The program's own texts by default, English when the user's language is English or it is asked for.

#include "Language.h"
#include "UiFixture.h"

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

} // namespace
} // namespace vornik::ui::test
