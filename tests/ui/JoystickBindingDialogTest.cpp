#include "JoystickBindingDialog.h"
#include "DrawGrid.h"
#include "JoystickPage.h"
#include "Modal.h"
#include "Texts.h"

#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace vornik::ui::test {
namespace {

// The dialog on its own, with a small key map of its own: four letter keys in a row and an Enter
// key drawn twice, as on a keyboard with a keypad.
class JoystickBindingDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Modal::setTestMode(true);
        Modal::reset();
        const KeyMapRecord records[] = {{10, 30, 10, 30, 'A'},   {40, 60, 10, 30, 'B'},  {70, 90, 10, 30, 'C'},
                                        {100, 120, 10, 30, 'D'}, {130, 150, 10, 50, 13}, {300, 320, 60, 100, 13}};
        for (const KeyMapRecord& r : records)
            m_keyMap.Records[++m_keyMap.Count] = r;
        m_keybu = QPixmap(427, 119);
        m_keybu.fill(Qt::white);
        setMoveName(7, "升龍拳");
        m_form.setSources(&m_moves, &m_keyMap, &m_keybu);
        m_grid.setDefaultRowHeight(32);
        SetupJoystickGrid(&m_grid, m_caps, true);
    }
    void TearDown() override { Modal::reset(); }

    void setMoveName(int move, const QString& name) {
        const std::string bytes = toBig5(name);
        m_moves[move].Name.Length = static_cast<uint8_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), m_moves[move].Name.Bytes.begin());
    }

    template <typename W> W* child(const char* name) {
        W* w = m_form.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QCheckBox* useKeys() { return child<QCheckBox>("CheckBox1"); }
    QCheckBox* autoFire() { return child<QCheckBox>("CheckBox2"); }
    QRadioButton* keyboard() { return child<QRadioButton>("RadioButton1"); }
    QRadioButton* moveList() { return child<QRadioButton>("RadioButton2"); }
    QLabel* kbimg() { return child<QLabel>("kbimg"); }
    QComboBox* cb1() { return child<QComboBox>("cb1"); }
    QRadioButton* automatic() { return child<QRadioButton>("auto"); }
    QRadioButton* held() { return child<QRadioButton>("man"); }
    QSlider* tb1() { return child<QSlider>("tb1"); }
    QComboBox* activator() { return child<QComboBox>("cbActivator"); }
    QComboBox* with() { return child<QComboBox>("cbWith"); }

    void click(int code) {
        for (int r = 1; r <= m_keyMap.Count; ++r) {
            const KeyMapRecord& k = m_keyMap.Records[r];
            if (k.VirtualKey == code) {
                m_form.kbimgMouseDown(Qt::LeftButton, {}, (k.Left + k.Right) / 2, (k.Top + k.Bottom) / 2);
                return;
            }
        }
        FAIL() << "no key " << code;
    }
    std::vector<int> selected() const {
        return {m_form.SelectedKeys().begin(), m_form.SelectedKeys().begin() + m_form.SelectedKeyCount()};
    }
    // Every rectangle of a code in the key map, as DrawKeyMarks circles it.
    std::vector<QRect> rectsOf(std::initializer_list<int> codes) const {
        std::vector<QRect> rects;
        for (int code : codes) {
            for (int r = 1; r <= m_keyMap.Count; ++r) {
                const KeyMapRecord& k = m_keyMap.Records[r];
                if (k.VirtualKey == code)
                    rects.push_back(QRect(QPoint(k.Left, k.Top), QPoint(k.Right, k.Bottom)));
            }
        }
        return rects;
    }

    // Opens the entry of grid row `row` through the dialog's opener; `inside` plays the user.
    void edit(int row, std::function<int()> inside) {
        m_grid.selectRow(row);
        Modal::queueDialog([inside](QDialog&) { return inside(); });
        m_form.EditJoystickBinding(m_grid, m_tables, 1, 1, m_caps, true);
    }
    JoystickBinding& entry(int e) { return m_table[e]; }

    MoveTable m_moves;
    KeyMap m_keyMap;
    QPixmap m_keybu;
    TForm3 m_form;
    DrawGrid m_grid;
    JoystickCaps m_caps{0, 65535, 0, 65535, 12};
    ProfileTables m_tables;
    JoystickBlock& m_table = m_tables.joystickBindings[1];
};

TEST_F(JoystickBindingDialogTest, ControlsStandAtTheirPlacesWithTheirCaptions) {
    EXPECT_EQ(m_form.windowTitle(), "設定");
    EXPECT_EQ(m_form.size(), QSize(486, 460));
    const std::map<std::string, std::pair<QRect, QString>> expected = {
        {"CheckBox1", {{24, 8, 89, 17}, "使用對應鍵"}},
        {"RadioButton1", {{32, 32, 57, 17}, "鍵盤"}},
        {"kbimg", {{32, 56, 427, 119}, ""}},
        {"RadioButton2", {{32, 192, 73, 17}, "招式記錄"}},
        {"CheckBox2", {{32, 256, 89, 17}, "連續發射"}},
        {"Panel1", {{40, 280, 105, 41}, ""}},
        {"tb1", {{168, 280, 281, 25}, ""}},
        {"BitBtn2", {{328, 430, 75, 25}, "OK"}},
        {"BitBtn1", {{408, 430, 75, 25}, "Cancel"}},
        {"Bevel1", {{8, 16, 473, 377}, ""}},
        {"RadioButton4", {{32, 336, 73, 17}, "切換層"}},
        {"Bevel5", {{16, 344, 457, 41}, ""}},
        {"Bevel2", {{16, 40, 457, 145}, ""}},
        {"Bevel3", {{16, 200, 457, 49}, ""}},
        {"Bevel4", {{16, 264, 457, 65}, ""}},
    };
    for (const auto& [name, place] : expected) {
        QWidget* w = child<QWidget>(name.c_str());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), place.first) << name;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            EXPECT_EQ(button->text(), place.second) << name;
        }
    }
    EXPECT_EQ(automatic()->geometry().topLeft(), QPoint(8, 0));
    EXPECT_EQ(held()->geometry().topLeft(), QPoint(8, 24));
    EXPECT_EQ(automatic()->text(), "連續發射");
    EXPECT_EQ(held()->text(), "按下發射");
    EXPECT_EQ(child<QLabel>("Label1")->text(), "對應的招式記錄：");
    EXPECT_EQ(child<QLabel>("Label1")->pos(), QPoint(48, 226));
    EXPECT_EQ(child<QLabel>("Label2")->text(), "最快");
    EXPECT_EQ(child<QLabel>("Label2")->pos(), QPoint(168, 306));
    EXPECT_EQ(child<QLabel>("Label3")->text(), "最慢");
    EXPECT_EQ(child<QLabel>("Label3")->pos(), QPoint(424, 306));
    EXPECT_EQ(cb1()->geometry().topLeft(), QPoint(176, 224));
    EXPECT_EQ(cb1()->width(), 145);
    EXPECT_FALSE(cb1()->isEditable());
    EXPECT_TRUE(useKeys()->font().bold());

    // The state the program starts with.
    EXPECT_FALSE(useKeys()->isChecked());
    EXPECT_TRUE(keyboard()->isChecked());
    EXPECT_FALSE(keyboard()->isEnabled());
    EXPECT_FALSE(kbimg()->isEnabled());
    EXPECT_FALSE(moveList()->isEnabled());
    EXPECT_FALSE(cb1()->isEnabled());
    EXPECT_FALSE(autoFire()->isChecked());
    EXPECT_FALSE(autoFire()->isEnabled());
    EXPECT_TRUE(automatic()->isChecked());
    EXPECT_EQ(tb1()->value(), 0);
    EXPECT_EQ(tb1()->minimum(), 0);
    EXPECT_EQ(tb1()->maximum(), 10);
    EXPECT_EQ(tb1()->singleStep(), 1);
    EXPECT_EQ(tb1()->pageStep(), 2);
}

TEST_F(JoystickBindingDialogTest, EnablingRulesFollowTheBoxesAndRadioButtons) {
    struct Case {
        bool use, fire, keys;
        bool radios, kb, list, style;
    };
    const Case cases[] = {
        {false, false, true, false, false, false, false}, {false, true, false, false, false, false, false},
        {true, false, true, true, true, false, false},    {true, false, false, true, false, true, false},
        {true, true, true, true, true, false, true},      {true, true, false, true, false, true, true},
    };
    for (const Case& c : cases) {
        (c.keys ? keyboard() : moveList())->setChecked(true);
        autoFire()->setChecked(c.fire);
        useKeys()->setChecked(c.use);
        const std::string what = std::to_string(c.use) + std::to_string(c.fire) + std::to_string(c.keys);
        EXPECT_EQ(keyboard()->isEnabled(), c.radios) << what;
        EXPECT_EQ(moveList()->isEnabled(), c.radios) << what;
        EXPECT_EQ(autoFire()->isEnabled(), c.radios) << what;
        EXPECT_EQ(kbimg()->isEnabled(), c.kb) << what;
        EXPECT_EQ(cb1()->isEnabled(), c.list) << what;
        EXPECT_EQ(automatic()->isEnabled(), c.style) << what;
        EXPECT_EQ(held()->isEnabled(), c.style) << what;
        EXPECT_EQ(tb1()->isEnabled(), c.style) << what;
    }
}

TEST_F(JoystickBindingDialogTest, AnEmptyEntryOpensWithEverythingButOkAndCancelDisabled) {
    // A previous opening left marks, a track bar position and ticked boxes behind.
    entry(1) = {BindingKeys, 'A', 'B', 'C', 3, AutoFireAutomatic, 7};
    edit(1, [] { return int(QDialog::Rejected); });
    ASSERT_EQ(m_form.marks().size(), 3u);

    edit(2, [this] {
        EXPECT_FALSE(useKeys()->isChecked());
        EXPECT_FALSE(autoFire()->isChecked());
        for (QWidget* w : std::initializer_list<QWidget*>{keyboard(), moveList(), kbimg(), cb1(), autoFire(),
                                                          automatic(), held(), tb1()})
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_TRUE(child<QPushButton>("BitBtn2")->isEnabled());
        EXPECT_TRUE(child<QPushButton>("BitBtn1")->isEnabled());
        EXPECT_TRUE(m_form.marks().empty());
        EXPECT_EQ(m_form.keyboardImage().toImage(), m_keybu.toImage());
        EXPECT_EQ(cb1()->count(), 100);
        EXPECT_EQ(cb1()->currentIndex(), -1);
        EXPECT_EQ(cb1()->itemText(6), "升龍拳");
        EXPECT_EQ(tb1()->value(), 0);
        EXPECT_EQ(m_form.SelectedKeyCount(), 0);
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(Modal::dialogsRun(), 2);
}

TEST_F(JoystickBindingDialogTest, ThreeKeysAreMarkedAndAFourthIsRefused) {
    entry(5) = {BindingKeys, 'A', 13, 'C', 3, 0, 0};
    edit(9, [this] {
        EXPECT_TRUE(keyboard()->isChecked());
        EXPECT_TRUE(kbimg()->isEnabled());
        EXPECT_EQ(selected(), (std::vector<int>{'A', 13, 'C'}));
        // Enter stands twice on the picture and is circled twice.
        EXPECT_EQ(m_form.marks(), rectsOf({'A', 13, 'C'}));

        click(13);
        EXPECT_EQ(selected(), (std::vector<int>{'A', 'C'}));
        EXPECT_EQ(m_form.marks(), rectsOf({'A', 'C'}));
        click('D');
        EXPECT_EQ(selected(), (std::vector<int>{'A', 'C', 'D'}));
        click('B');
        click(13);
        EXPECT_EQ(selected(), (std::vector<int>{'A', 'C', 'D'}));
        EXPECT_EQ(m_form.marks(), rectsOf({'A', 'C', 'D'}));
        return int(QDialog::Accepted);
    });
    ASSERT_EQ(Modal::shown().size(), 2u);
    EXPECT_EQ(Modal::shown()[0].text, "只可以同時按下3個鍵");
    EXPECT_EQ(entry(5).KeyCount, 3);
    EXPECT_EQ((std::vector<int>{entry(5).Key1, entry(5).Key2, entry(5).Key3}), (std::vector<int>{'A', 'C', 'D'}));
}

TEST_F(JoystickBindingDialogTest, ClicksOutsideEveryKeyAreIgnored) {
    entry(1) = {BindingKeys, 'A', 0, 0, 1, 0, 0};
    edit(1, [this] {
        m_form.kbimgMouseDown(Qt::LeftButton, {}, 35, 20); // between A and B
        m_form.kbimgMouseDown(Qt::LeftButton, {}, 200, 110);
        EXPECT_EQ(selected(), std::vector<int>{'A'});
        // Edges belong to the key.
        m_form.kbimgMouseDown(Qt::RightButton, {}, 60, 30);
        EXPECT_EQ(selected(), (std::vector<int>{'A', 'B'}));
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(Modal::shown().empty());
}

TEST_F(JoystickBindingDialogTest, MouseOnThePictureTogglesKeysOnlyWhileItIsEnabled) {
    const QPoint onB = rectsOf({'B'})[0].center();
    QTest::mousePress(kbimg(), Qt::LeftButton, {}, onB);
    EXPECT_EQ(m_form.SelectedKeyCount(), 0);

    useKeys()->setChecked(true);
    keyboard()->setChecked(true);
    QTest::mousePress(kbimg(), Qt::RightButton, {}, onB);
    EXPECT_EQ(selected(), std::vector<int>{'B'});
}

TEST_F(JoystickBindingDialogTest, RemovingTheFirstOfThreeKeysKeepsTheOthersInOrder) {
    entry(3) = {BindingKeys, 'A', 'B', 'C', 3, 0, 0};
    edit(3, [this] {
        click('A');
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(entry(3).BindingKind, BindingKeys);
    EXPECT_EQ(entry(3).KeyCount, 2);
    EXPECT_EQ(entry(3).Key1, 'B');
    EXPECT_EQ(entry(3).Key2, 'C');
    EXPECT_EQ(entry(3).Key3, 'C'); // the freed slot keeps the former third key
}

TEST_F(JoystickBindingDialogTest, AMoveBindingOpensWithItsMoveChosen) {
    entry(2) = {BindingMove, 7, 0, 0, 0, 0, 0};
    edit(2, [this] {
        EXPECT_TRUE(moveList()->isChecked());
        EXPECT_FALSE(keyboard()->isChecked());
        EXPECT_EQ(cb1()->currentIndex(), 6);
        EXPECT_EQ(cb1()->currentText(), "升龍拳");
        EXPECT_TRUE(cb1()->isEnabled());
        EXPECT_FALSE(kbimg()->isEnabled());
        cb1()->setCurrentIndex(99);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(entry(2).BindingKind, BindingMove);
    EXPECT_EQ(entry(2).Key1, 100);
}

// A pointer binding opens with its button chosen; chosen from a key chord, it keeps nothing of the chord
// (a profile's pointer binding names its button alone).
TEST_F(JoystickBindingDialogTest, APointerBindingOpensWithItsButtonAndSavesItAlone) {
    entry(6) = {BindingPointer, WheelDown, 0, 0, 0, AutoFireAutomatic, 3};
    QRadioButton* pointer = child<QRadioButton>("RadioButton3");
    QComboBox* buttons = child<QComboBox>("cbPointer");
    edit(6 + 4, [&] { // buttons stand below the four diagonal rows
        EXPECT_TRUE(pointer->isChecked());
        EXPECT_EQ(buttons->currentIndex(), WheelDown - 1);
        EXPECT_TRUE(buttons->isEnabled());
        EXPECT_FALSE(cb1()->isEnabled());
        EXPECT_FALSE(kbimg()->isEnabled());
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(entry(6).Key1, WheelDown);

    entry(1) = {BindingKeys, 'A', 'B', 0, 2, 0, 0};
    edit(1, [&] {
        EXPECT_FALSE(buttons->isEnabled());
        pointer->setChecked(true);
        EXPECT_TRUE(buttons->isEnabled());
        buttons->setCurrentIndex(PointerRight - 1);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(entry(1), (JoystickBinding{BindingPointer, PointerRight, 0, 0, 0, 0, 0}));
    EXPECT_EQ(m_grid.rowCount(), 12 + 9);
}

TEST_F(JoystickBindingDialogTest, ChoosingTheMoveListWithoutAMoveStoresMoveZero) {
    entry(4) = {BindingNone, 'A', 'B', 'C', 2, 0, 0}; // stale keys from an earlier binding
    edit(4, [this] {
        useKeys()->setChecked(true);
        moveList()->setChecked(true);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(entry(4).BindingKind, BindingMove);
    EXPECT_EQ(entry(4).Key1, 0);
    EXPECT_EQ(entry(4).Key2, 'B');
    EXPECT_EQ(entry(4).Key3, 'C');
    EXPECT_EQ(entry(4).KeyCount, 2);
}

TEST_F(JoystickBindingDialogTest, AutoFireIsSetAndClearedWithTheDelayKept) {
    entry(5) = {BindingKeys, 'A', 0, 0, 1, 0, 0};
    edit(9, [this] {
        autoFire()->setChecked(true);
        EXPECT_TRUE(tb1()->isEnabled());
        held()->setChecked(true);
        tb1()->setValue(4);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(entry(5).AutoFireMode, AutoFireWhileHeld);
    EXPECT_EQ(entry(5).AutoFireDelay, 4);

    edit(9, [this] {
        EXPECT_TRUE(autoFire()->isChecked());
        EXPECT_EQ(tb1()->value(), 4);
        autoFire()->setChecked(false);
        tb1()->setValue(9); // ignored once auto-fire is off
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(entry(5).AutoFireMode, AutoFireNone);
    EXPECT_EQ(entry(5).AutoFireDelay, 4);
    EXPECT_EQ(entry(5).Key1, 'A');
}

TEST_F(JoystickBindingDialogTest, TheStyleRadioButtonsAreNotLoadedFromTheEntry) {
    entry(6) = {BindingKeys, 'A', 0, 0, 1, AutoFireWhileHeld, 2};
    entry(7) = {BindingKeys, 'B', 0, 0, 1, AutoFireAutomatic, 2};
    edit(10, [this] {
        EXPECT_TRUE(automatic()->isChecked()); // the first use: auto
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(entry(6).AutoFireMode, AutoFireAutomatic);

    edit(11, [this] {
        held()->setChecked(true);
        return int(QDialog::Rejected);
    });
    edit(11, [this] {
        EXPECT_TRUE(held()->isChecked()); // kept from the cancelled opening
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(entry(7).AutoFireMode, AutoFireWhileHeld);
}

TEST_F(JoystickBindingDialogTest, OkWithUseKeysUntickedStoresNoBindingButKeepsTheAutoFireBox) {
    entry(1) = {BindingKeys, 'A', 'B', 0, 2, AutoFireAutomatic, 3};
    edit(1, [this] {
        useKeys()->setChecked(false);
        EXPECT_TRUE(autoFire()->isChecked());
        EXPECT_FALSE(autoFire()->isEnabled());
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(entry(1).BindingKind, BindingNone);
    EXPECT_EQ(entry(1).AutoFireMode, AutoFireAutomatic);
    EXPECT_EQ(entry(1).Key1, 'A');
    EXPECT_EQ(entry(1).Key2, 'B');
    EXPECT_EQ(entry(1).KeyCount, 2);
}

TEST_F(JoystickBindingDialogTest, CancelLeavesTheEntryAndTheGridAlone) {
    const JoystickBinding before{BindingMove, 7, 0, 0, 0, AutoFireAutomatic, 5};
    entry(2) = before;
    m_grid.setRowCount(3); // SetupJoystickGrid would make it 21 again
    m_grid.selectRow(2);
    Modal::queueDialog([this](QDialog&) {
        keyboard()->setChecked(true);
        click('A');
        autoFire()->setChecked(false);
        return int(QDialog::Rejected);
    });
    m_form.EditJoystickBinding(m_grid, m_tables, 1, 1, m_caps, true);
    EXPECT_EQ(entry(2), before);
    EXPECT_EQ(m_grid.rowCount(), 3);

    Modal::queueDialog([](QDialog&) { return int(QDialog::Accepted); });
    m_form.EditJoystickBinding(m_grid, m_tables, 1, 1, m_caps, true);
    EXPECT_EQ(m_grid.rowCount(), 21);
}

TEST_F(JoystickBindingDialogTest, DiagonalRowsOpenNoDialog) {
    for (int row = 5; row <= 8; ++row)
        edit(row, [] { return int(QDialog::Accepted); });
    EXPECT_EQ(Modal::dialogsRun(), 0);
    EXPECT_EQ(m_table, JoystickBlock{});
}

TEST_F(JoystickBindingDialogTest, AKeyCountOutOfRangeIsTakenAtItsNearestValidValue) {
    entry(1) = {BindingKeys, 'A', 'B', 'C', 7, 0, 0};
    edit(1, [this] {
        EXPECT_EQ(m_form.SelectedKeyCount(), 3);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(entry(1).KeyCount, 3);
}

// One opening sets a tap and a hold of the same input: choosing when it fires shows that binding,
// and what was set for the other is kept; the plain press and the other layers stay as they were.
TEST_F(JoystickBindingDialogTest, ATapAndAHoldAreSetInOneOpening) {
    entry(3) = {BindingKeys, 'A', 0, 0, 1, AutoFireNone, 0};
    m_tables.bindingAt(1, 3, 2, ActivatePress, 0) = {BindingKeys, 'B', 0, 0, 1, AutoFireNone, 0};
    edit(3, [this] {
        EXPECT_EQ(selected(), std::vector<int>{'A'});
        activator()->setCurrentIndex(ActivateTap);
        EXPECT_FALSE(useKeys()->isChecked()) << "the tap binding is empty";
        useKeys()->setChecked(true);
        keyboard()->setChecked(true);
        click('C');
        activator()->setCurrentIndex(ActivateHold);
        useKeys()->setChecked(true);
        click('D');
        activator()->setCurrentIndex(ActivateTap);
        EXPECT_EQ(selected(), std::vector<int>{'C'});
        // Two inputs pressed together fire as they go down: the activator goes back to a press.
        with()->setCurrentIndex(with()->findData(buttonEntry(2)));
        EXPECT_EQ(activator()->currentIndex(), ActivatePress);
        EXPECT_FALSE(activator()->isEnabled());
        useKeys()->setChecked(true);
        click('B');
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(entry(3).Key1, 'A');
    const auto key = [this](int layer, int activator, int with) {
        const JoystickBinding* b = m_tables.binding(1, 3, layer, activator, with);
        return b != nullptr && b->BindingKind == BindingKeys ? b->Key1 : 0;
    };
    EXPECT_EQ(key(1, ActivateTap, 0), 'C');
    EXPECT_EQ(key(1, ActivateHold, 0), 'D');
    EXPECT_EQ(key(1, ActivatePress, buttonEntry(2)), 'B');
    EXPECT_EQ(key(2, ActivatePress, 0), 'B');
    EXPECT_EQ(m_tables.binding(1, 3, 1, ActivateDouble, 0), nullptr) << "a binding only looked at is not made";
}

} // namespace
} // namespace vornik::ui::test
