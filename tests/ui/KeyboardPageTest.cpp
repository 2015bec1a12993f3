#include "UiFixture.h"

#include "Big5.h"
#include "KeyLabels.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSlider>
#include <QTreeWidget>

namespace vornik::ui::test {
namespace {

class KeyboardPageTest : public UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        installKeyMap();
        m_fake.windows.add(0x10, 500, "Game");
        start();
        QApplication::setActiveWindow(m_main.get());
        page = m_main->keyboardPage();
        l3 = page->l3();
    }

    QStringList row(int r) const {
        QTreeWidgetItem* item = l3->topLevelItem(r);
        return item ? QStringList{item->text(0), item->text(1), item->text(2), item->text(3)} : QStringList{};
    }
    int rowOf(const char* label) const {
        for (int r = 0; r < l3->topLevelItemCount(); ++r) {
            if (l3->topLevelItem(r)->text(0) == QLatin1String(label))
                return r;
        }
        return -1;
    }
    int selectedRow() const {
        const auto selected = l3->selectedItems();
        return selected.isEmpty() ? -1 : l3->indexOfTopLevelItem(selected.first());
    }
    void nameMove(int slot, const char* utf8) { setMoveName(m_main->config().moves[slot], *utf8ToBig5(utf8)); }
    // Opens TForm6 on row r; `drive` works the dialog's controls and returns its result.
    void editRow(int r, const std::function<int(QDialog&)>& drive) {
        l3->setCurrentItem(l3->topLevelItem(r));
        Modal::queueDialog(drive);
        page->l3DblClick();
    }
    // Clicks the middle of key `code` on the picture.
    void clickKey(int code) {
        const KeyMap& map = m_main->config().keyMap;
        const KeyMapRecord& r = map.Records[FindKeyMapRecord(map, code)];
        page->Image1MouseDown((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }

    KeyboardPage* page = nullptr;
    QTreeWidget* l3 = nullptr;
};

template <typename W> W* child(QDialog& d, const char* name) {
    W* w = d.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

TEST_F(KeyboardPageTest, OneRowPerLabelledKeyInCodeOrderWithFreshTexts) {
    ASSERT_EQ(l3->topLevelItemCount(), 100);
    EXPECT_EQ(l3->headerItem()->text(0), "按鍵");
    EXPECT_EQ(l3->headerItem()->text(1), "對應招式");
    EXPECT_EQ(l3->headerItem()->text(2), "連發");
    EXPECT_EQ(l3->headerItem()->text(3), "連發速度");
    EXPECT_EQ(l3->columnWidth(1), 200);
    EXPECT_EQ(row(0), QStringList({"BackSpace", "沒有", "沒有", "Delay: 0"}));
    EXPECT_EQ(row(99), QStringList({"'", "沒有", "沒有", "Delay: 0"}));
    // Row r is named-key position r + 2.
    const NamedKeyList& named = m_main->config().namedKeys;
    for (int r = 0; r < 100; ++r)
        ASSERT_EQ(row(r)[0].toStdString(), KeyLabel(named.Codes[r + 2])) << r;
}

TEST_F(KeyboardPageTest, BoundRowsShowMoveModeAndDelay) {
    nameMove(3, "波動拳");
    KeyBindingTable& table = m_main->config().keyBindings;
    table[5] = {3, AutoFireWhileHeld, 4};
    table[6] = {0, AutoFireAutomatic, 7};
    table[7] = {3, 9, 2}; // a mode the dialog never stores
    m_main->FillKeyBindingList();

    EXPECT_EQ(row(5), QStringList({row(5)[0], "招式：波動拳", "按下連發", "Delay: 4"}));
    EXPECT_EQ(row(6).mid(1), QStringList({"沒有", "自動連發中", "Delay: 7"}));
    EXPECT_EQ(row(7)[2], "");
}

TEST_F(KeyboardPageTest, LongNamesAreCutTo255BytesOnACharacterBoundary) {
    // 125 two-byte characters: with the six-byte prefix the text is 256 bytes, one too many.
    std::string name;
    for (int i = 0; i < 125; ++i)
        name += *utf8ToBig5("招");
    setMoveName(m_main->config().moves[1], name);
    m_main->config().keyBindings[0].MoveNumber = 1;
    m_main->FillKeyBindingList();

    const QString text = row(0)[1];
    EXPECT_TRUE(text.startsWith("招式："));
    EXPECT_EQ(text.size(), 3 + 124); // the last whole character that fits, never half of one
}

TEST_F(KeyboardPageTest, ClickingLeftShiftSelectsItsRow) {
    clickKey(160);
    EXPECT_EQ(selectedRow(), rowOf("L-Shift"));
    EXPECT_EQ(l3->currentItem()->text(0), "L-Shift");
    EXPECT_EQ(QApplication::focusWidget(), l3);
    clickKey('Q');
    EXPECT_EQ(selectedRow(), rowOf("Q"));
}

TEST_F(KeyboardPageTest, ClickingWhereThereIsNoKeyOnlyFocusesTheList) {
    l3->setCurrentItem(l3->topLevelItem(10));
    m_main->cb1()->setFocus();
    page->Image1MouseDown(426, 118); // the picture's corner, outside every key
    EXPECT_EQ(selectedRow(), 10);
    EXPECT_EQ(QApplication::focusWidget(), l3);
}

TEST_F(KeyboardPageTest, RecordsWithGenericOrNoneCodes) {
    KeyMap& map = m_main->config().keyMap;
    map.Records[FindKeyMapRecord(map, 160)].VirtualKey = 16; // generic Shift: no row of its own
    map.Records[FindKeyMapRecord(map, 161)].VirtualKey = 0;  // "NONE": row -1
    l3->setCurrentItem(l3->topLevelItem(40));

    clickKey(16);
    EXPECT_EQ(selectedRow(), 0);
    clickKey(0);
    EXPECT_EQ(selectedRow(), -1);
}

TEST_F(KeyboardPageTest, DialogLoadsTheEntryAndTheEnablingRulesFollowTheBoxes) {
    nameMove(2, "升龍拳");
    m_main->config().keyBindings[3] = {2, AutoFireAutomatic, 6};
    editRow(3, [](QDialog& d) {
        auto* cb1 = child<QComboBox>(d, "cb1");
        auto* box1 = child<QCheckBox>(d, "CheckBox1");
        auto* box2 = child<QCheckBox>(d, "CheckBox2");
        auto* tb1 = child<QSlider>(d, "tb1");
        auto* autoFire = child<QRadioButton>(d, "auto");
        EXPECT_EQ(d.windowTitle(), "設定");
        EXPECT_EQ(d.size(), QSize(486, 173));
        EXPECT_EQ(cb1->count(), 100);
        EXPECT_EQ(cb1->currentIndex(), 1);
        EXPECT_EQ(cb1->itemText(1), "升龍拳");
        EXPECT_TRUE(box1->isChecked());
        EXPECT_TRUE(box2->isChecked());
        EXPECT_EQ(tb1->value(), 6);
        EXPECT_EQ(tb1->maximum(), 10);
        EXPECT_TRUE(cb1->isEnabled() && box2->isEnabled() && tb1->isEnabled() && autoFire->isEnabled());

        box2->click();
        EXPECT_TRUE(cb1->isEnabled() && box2->isEnabled());
        EXPECT_FALSE(tb1->isEnabled() || autoFire->isEnabled());
        box2->click();
        box1->click();
        EXPECT_FALSE(cb1->isEnabled() || box2->isEnabled() || tb1->isEnabled() || autoFire->isEnabled());
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(Modal::dialogsRun(), 1);
}

TEST_F(KeyboardPageTest, OkBindsAMoveWithAutoFireWhileHeld) {
    nameMove(3, "龍捲");
    const int a = rowOf("A");
    editRow(a, [](QDialog& d) {
        EXPECT_FALSE(child<QComboBox>(d, "cb1")->isEnabled()); // a fresh key: nothing ticked
        child<QCheckBox>(d, "CheckBox1")->click();
        child<QComboBox>(d, "cb1")->setCurrentIndex(2);
        child<QCheckBox>(d, "CheckBox2")->click();
        child<QRadioButton>(d, "man")->click();
        child<QSlider>(d, "tb1")->setValue(4);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(m_main->config().keyBindings[static_cast<std::size_t>(a)], (KeyBinding{3, AutoFireWhileHeld, 4}));
    EXPECT_EQ(row(a), QStringList({"A", "招式：龍捲", "按下連發", "Delay: 4"}));
    EXPECT_EQ(selectedRow(), -1); // the list was rebuilt
}

TEST_F(KeyboardPageTest, OkWriteBackRules) {
    KeyBinding& entry = m_main->config().keyBindings[0];
    const auto okWith = [this](std::function<void(QDialog&)> change) {
        editRow(0, [change](QDialog& d) {
            change(d);
            return int(QDialog::Accepted);
        });
    };

    entry = {5, AutoFireAutomatic, 8};
    okWith([](QDialog& d) { child<QCheckBox>(d, "CheckBox1")->click(); });
    EXPECT_EQ(entry, (KeyBinding{0, AutoFireAutomatic, 8})) << "unticking the move removes the binding";
    EXPECT_EQ(row(0)[1], "沒有");

    entry = {5, AutoFireAutomatic, 8};
    okWith([](QDialog& d) {
        child<QCheckBox>(d, "CheckBox2")->click();
        child<QSlider>(d, "tb1")->setValue(1); // disabled, and ignored
    });
    EXPECT_EQ(entry, (KeyBinding{5, AutoFireNone, 8})) << "no auto-fire keeps the delay";
    EXPECT_EQ(row(0).mid(2), QStringList({"沒有", "Delay: 8"}));

    entry = {};
    okWith([](QDialog& d) { child<QCheckBox>(d, "CheckBox1")->click(); });
    EXPECT_EQ(entry.MoveNumber, 0) << "ticked without a move chosen stores no binding";

    entry = {1, AutoFireNone, 0};
    editRow(0, [](QDialog& d) {
        child<QCheckBox>(d, "CheckBox2")->click();
        child<QRadioButton>(d, "man")->click();
        return int(QDialog::Rejected);
    });
    okWith([](QDialog& d) {
        EXPECT_TRUE(child<QRadioButton>(d, "man")->isChecked()) << "the radio buttons keep their last state";
        child<QCheckBox>(d, "CheckBox2")->click();
    });
    EXPECT_EQ(entry, (KeyBinding{1, AutoFireWhileHeld, 0}));
}

TEST_F(KeyboardPageTest, CancelChangesNothing) {
    m_main->config().keyBindings[2] = {4, AutoFireWhileHeld, 3};
    m_main->FillKeyBindingList();
    const QStringList before = row(2);
    editRow(2, [](QDialog& d) {
        child<QCheckBox>(d, "CheckBox1")->click();
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(m_main->config().keyBindings[2], (KeyBinding{4, AutoFireWhileHeld, 3}));
    EXPECT_EQ(row(2), before);
}

TEST_F(KeyboardPageTest, DoubleClickWithNoRowSelectedOpensNothing) {
    l3->clearSelection();
    page->l3DblClick();
    EXPECT_EQ(Modal::dialogsRun(), 0);
}

} // namespace
} // namespace vornik::ui::test
