// The program's own texts by default, English when the user's language is English or it is asked for.

#include "Language.h"
#include "UiFixture.h"

#include "DrawGrid.h"
#include "PadSettingsDialog.h"
#include "WindowsKeysDialog.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLabel>
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
    // The program's own dialogs name their OK and Cancel buttons as Qt's boxes do.
    for (QDialog* dialog : std::initializer_list<QDialog*>{m_dialogs.about, m_dialogs.moveEditor,
                                                          m_dialogs.keyBinding, m_dialogs.joystickBinding}) {
        QStringList shown;
        for (const QPushButton* button : dialog->findChildren<QPushButton*>())
            shown << button->text();
        EXPECT_TRUE(shown.contains("確定")) << dialog->objectName().toStdString();
        EXPECT_FALSE(shown.contains("OK") || shown.contains("Cancel")) << dialog->objectName().toStdString();
    }
    m_main.reset();

    applyLanguage("en");
    EXPECT_EQ(texts(), QStringList({"OK", "Cancel", "&Yes", "&No"}));
    start();
    m_main->sa1()->setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(buttons(m_main->sa1()), QStringList({"Cancel"}));
}

// The texts of `root` that do not fit where they stand: cut short, sticking out of their parent, or
// overlapping another text beside them.
QStringList cutTexts(QWidget* root) {
    QStringList cut;
    const auto text = [](const QWidget* w) {
        if (const auto* label = qobject_cast<const QLabel*>(w))
            return label->wordWrap() || !label->pixmap().isNull() ? QString() : label->text();
        const auto* button = qobject_cast<const QAbstractButton*>(w);
        return button != nullptr ? button->text() : QString();
    };
    QList<QWidget*> texts;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w->isVisibleTo(root) && !text(w).isEmpty())
            texts << w;
    }
    for (QWidget* w : texts) {
        const QString name = w->objectName() + " \"" + text(w) + "\"";
        // A push button's size hint holds a minimum width of the style's; its text needs less.
        const auto* push = qobject_cast<const QPushButton*>(w);
        const int needed = push == nullptr ? w->sizeHint().width()
                                           : w->fontMetrics().horizontalAdvance(text(w)) + 8 +
                                                 (push->icon().isNull() ? 0 : push->iconSize().width() + 4);
        if (needed > w->width() + 1)
            cut << name + " is cut";
        if (!w->parentWidget()->rect().contains(w->geometry()))
            cut << name + " sticks out";
        for (QWidget* other : texts) {
            if (other != w && other->parentWidget() == w->parentWidget() && w->x() < other->x() &&
                w->geometry().intersects(other->geometry()))
                cut << name + " overlaps " + other->objectName();
        }
    }
    return cut;
}

// Every English text fits where it stands: the page's controls, the grid's texts in their columns,
// the dialogs' labels and buttons.
TEST_F(InEnglish, EveryTextFitsWhereItStands) {
    FakeJoystick& pad = m_fake.joysticks.plug(0, 15);
    pad.caps.family = PadFamily::PlayStation;
    pad.caps.inputs = PadHasRightStick | PadHasLeftTrigger | PadHasRightTrigger;
    ASSERT_TRUE(applyLanguage("en"));
    TVornik& w = startWithKeyMap();
    w.show();
    EXPECT_EQ(cutTexts(&w).join("; ").toStdString(), "");
    const DrawGrid& grid = *w.joystickPage(1).BindingGrid;
    const QFontMetrics metrics(grid.font());
    for (int row = 1; row < grid.rowCount(); ++row) {
        for (int col = 1; col <= 3; ++col) {
            const QString shown = grid.model()->index(row, col).data().toString();
            if (!shown.startsWith("Keys:")) { // key pictures, not text
                EXPECT_LE(metrics.horizontalAdvance(shown) + 2, grid.colWidth(col)) << shown.toStdString();
            }
        }
    }
    PadSettingsDialog pad1(&w);
    pad1.load(1, w.config().pad(1), w.config().caps(1));
    WindowsKeysDialog keys(&w);
    for (QDialog* dialog : std::initializer_list<QDialog*>{m_dialogs.about, m_dialogs.moveEditor, m_dialogs.recorder,
                                                          m_dialogs.keyBinding, m_dialogs.joystickBinding, &pad1, &keys}) {
        dialog->show();
        EXPECT_EQ(cutTexts(dialog).join("; ").toStdString(), "") << dialog->objectName().toStdString();
        dialog->hide();
    }
}

} // namespace
} // namespace vornik::ui::test
