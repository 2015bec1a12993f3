#include "MovesFixture.h"

namespace vornik::ui::test {
namespace {

// A steps-grid cell of 350 x 24 pixels at (71, 25): cx = (71 + 421 - 45) div 2 = 223, my = 37.
const QRect kCell(71, 25, 350, 24);
const QPoint kCentred(223, 32);

class MoveEditorTest : public MovesFixture {
protected:
    void load(const Move& move) {
        editor->EditedMove() = move;
        editor->LoadEditor();
    }
    Move& edited() { return editor->EditedMove(); }
};

TEST_F(MoveEditorTest, RepeatItemsAreBuiltOnce) {
    ASSERT_EQ(editor->cb1()->count(), 300);
    EXPECT_EQ(editor->cb1()->itemText(0), "重複次數： 1");
    EXPECT_EQ(editor->cb1()->itemText(299), "重複次數： 300");
    editor->LoadEditor();
    EXPECT_EQ(editor->cb1()->count(), 300);
}

TEST_F(MoveEditorTest, EmptySlot) {
    Move stale;
    stale.Steps[1] = {'A', 0};
    load(stale);
    EXPECT_EQ(editor->Edit1()->text(), "");
    EXPECT_EQ(editor->sb1()->value(), 0);
    // A slot that never held a move plays what is recorded there once a trigger, not never.
    EXPECT_EQ(editor->cb1()->currentIndex(), 0);
    EXPECT_EQ(edited().RepeatCount, 1);
    EXPECT_FALSE(editor->RadioButton1()->isChecked());
    EXPECT_TRUE(editor->RadioButton2()->isChecked());
    DrawGrid* l1 = editor->l1();
    EXPECT_EQ(l1->rowCount(), 101);
    EXPECT_EQ(l1->colCount(), 2);
    EXPECT_EQ(l1->defaultRowHeight(), 24);
    EXPECT_EQ(l1->colWidth(0), 70);
    EXPECT_EQ(l1->colWidth(1), 350);
    EXPECT_EQ(editor->cellOps(0, 0, kCell), DrawOps{textOp("按鍵編號", kCentred)});
    EXPECT_EQ(editor->cellOps(1, 0, kCell), DrawOps{textOp("內容", kCentred)});
    for (int s = 1; s <= 100; ++s) {
        ASSERT_EQ(editor->cellOps(0, s, kCell), DrawOps{textOp(QString::number(s), kCentred)});
        ASSERT_EQ(editor->cellOps(1, s, kCell), DrawOps{textOp("沒有", kCentred)});
    }
}

TEST_F(MoveEditorTest, LoadingShowsTheMoveAndChangesNothing) {
    Move move;
    nameMove(move, "龍捲旋風腳");
    move.Speed = 55;
    move.RepeatCount = 300;
    move.Overlap = 1;
    load(move);
    EXPECT_EQ(editor->Edit1()->text(), "龍捲旋風腳");
    EXPECT_EQ(editor->sb1()->value(), 55);
    EXPECT_EQ(editor->cb1()->currentIndex(), 299);
    EXPECT_TRUE(editor->RadioButton1()->isChecked());
    EXPECT_TRUE(edited() == move);

    // A move stored with repeat 0 keeps it, and the list says it never plays.
    Move silent;
    silent.StepCount = 1;
    silent.Steps[1] = {'A', 0};
    load(silent);
    EXPECT_EQ(editor->cb1()->currentIndex(), -1);
    EXPECT_EQ(editor->cb1()->currentText(), "");
    EXPECT_EQ(editor->cb1()->placeholderText(), "重複次數：0（不會播放）");
    EXPECT_TRUE(edited() == silent);

    // Values no control can show, and a name byte with no character, stay as they are.
    Move odd;
    odd.Speed = 500;
    odd.RepeatCount = 301;
    odd.Overlap = 7;
    setMoveName(odd, std::string("\xFF\x01", 2));
    load(odd);
    EXPECT_TRUE(edited() == odd);
}

TEST_F(MoveEditorTest, EachControlWritesItsField) {
    load(Move{});
    editor->cb1()->setCurrentIndex(0);
    EXPECT_EQ(edited().RepeatCount, 1);
    editor->cb1()->setCurrentIndex(299);
    EXPECT_EQ(edited().RepeatCount, 300);
    editor->cb1()->setCurrentIndex(-1);
    EXPECT_EQ(editor->cb1()->currentIndex(), 0) << "no item: the first is chosen";
    EXPECT_EQ(edited().RepeatCount, 1);

    editor->sb1()->setValue(100);
    EXPECT_EQ(edited().Speed, 100);
    editor->sb1()->triggerAction(QAbstractSlider::SliderSingleStepSub); // one click on its left arrow
    EXPECT_EQ(edited().Speed, 99);

    editor->RadioButton1()->click();
    EXPECT_EQ(edited().Overlap, 1);
    editor->RadioButton2()->click();
    EXPECT_EQ(edited().Overlap, 0);
    EXPECT_FALSE(editor->RadioButton1()->isChecked()) << "one group";
    editor->RadioButton1()->click();
    editor->RadioButton1()->click(); // stays checked
    EXPECT_EQ(edited().Overlap, 1);

    QTest::keyClicks(editor->Edit1(), "Hadoken");
    EXPECT_EQ(edited().Name.view(), "Hadoken");
}

TEST_F(MoveEditorTest, NamesAreCutTo250BytesOnACharacterBoundary) {
    load(Move{});
    editor->Edit1()->setText(QString(260, QChar('a')));
    EXPECT_EQ(edited().Name.view(), std::string(250, 'a'));

    // 248 + 2 + 2 bytes: the second character ends at byte 252 and is dropped whole.
    editor->Edit1()->setText(QString(248, QChar('a')) + "波動");
    EXPECT_EQ(edited().Name.view(), std::string(248, 'a') + big5("波"));
    // 249 + 2 bytes: the 250th byte would be the first half of "波".
    editor->Edit1()->setText(QString(249, QChar('a')) + "波");
    EXPECT_EQ(edited().Name.view(), std::string(249, 'a'));
    // Exactly 250 bytes of double-byte characters.
    editor->Edit1()->setText(QString(125, QChar(0x6CE2)));
    EXPECT_EQ(edited().Name.Length, 250);
    EXPECT_EQ(moveName(edited()), QString(125, QChar(0x6CE2)));
}

TEST_F(MoveEditorTest, StepsGridShowsPicturesOfTheCountedSteps) {
    Move move;
    move.StepCount = 4;
    move.Steps[1] = {'A', 0};
    move.Steps[2] = {'B', 'C'};
    move.Steps[3] = {17, 0};  // generic Ctrl: no picture, a framed label as in the move list
    move.Steps[4] = {0, 'D'}; // a chord key shows only after a key
    move.Steps[5] = {'E', 0}; // past the count
    load(move);

    const KeyMapRecord& a = keyRecord('A');
    const int aw = a.Right - a.Left, ah = a.Bottom - a.Top;
    const DrawOps one = editor->cellOps(1, 1, kCell);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].kind, DrawOp::Kind::Picture);
    EXPECT_EQ(one[0].source, QRect(a.Left, a.Top, aw, ah));
    EXPECT_EQ(one[0].target, QRect(76, 37 - ah / 2, aw, 2 * (ah / 2)));

    const DrawOps two = editor->cellOps(1, 2, kCell);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].target.left(), 76);
    EXPECT_EQ(two[1].target.left(), two[0].target.right() + 1 + 10) << "10 pixels apart, no separator";
    const KeyMapRecord& c = keyRecord('C');
    EXPECT_EQ(two[1].source, QRect(c.Left, c.Top, c.Right - c.Left, c.Bottom - c.Top));

    const DrawOps ctrl = editor->cellOps(1, 3, kCell);
    ASSERT_EQ(ctrl.size(), 2u);
    EXPECT_EQ(ctrl[0].kind, DrawOp::Kind::Frame);
    EXPECT_EQ(ctrl[0].target.left(), 76);
    EXPECT_EQ(ctrl[1].text, "Ctrl");

    EXPECT_TRUE(editor->cellOps(1, 4, kCell).empty());
    EXPECT_EQ(editor->cellOps(1, 5, kCell), DrawOps{textOp("沒有", kCentred)});
    EXPECT_EQ(editor->cellOps(0, 5, kCell), DrawOps{textOp("5", kCentred)});
}

} // namespace
} // namespace vornik::ui::test
