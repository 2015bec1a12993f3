#include "MovesFixture.h"

namespace vornik::ui::test {
namespace {

class MoveRecorderTest : public MovesFixture {
protected:
    void SetUp() override {
        MovesFixture::SetUp();
        editor->EditedMove() = Move{};
        editor->LoadEditor();
    }
    Move& edited() { return editor->EditedMove(); }
    QString status() const { return recorder->Label3()->text(); }
    void compoundKey() { QTest::mouseClick(recorder->SpeedButton2(), Qt::LeftButton); }
};

TEST_F(MoveRecorderTest, DialogHasNoCloseBoxAndNothingTakesTheFocus) {
    EXPECT_FALSE(recorder->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(recorder->windowFlags() & Qt::CustomizeWindowHint);
    const auto children = recorder->findChildren<QWidget*>();
    EXPECT_FALSE(children.isEmpty());
    for (QWidget* w : children)
        EXPECT_EQ(w->focusPolicy(), Qt::NoFocus) << w->objectName().toStdString();
}

TEST_F(MoveRecorderTest, ThreeKeysThenShiftAsTheThirdStepsCompoundKey) {
    std::vector<QString> statuses;
    std::vector<int> selections;
    bool buttonHiddenWhileWaiting = false;
    DrawOps firstRowAfterQ;
    const bool closed = record([&](TForm5& r) {
        statuses.push_back(status());
        for (Qt::Key key : {Qt::Key_Q, Qt::Key_W, Qt::Key_E}) {
            press(r, key);
            statuses.push_back(status());
            selections.push_back(editor->l1()->selectionTop());
            if (key == Qt::Key_Q)
                firstRowAfterQ = editor->cellOps(1, 1, QRect(71, 25, 350, 24));
        }
        compoundKey();
        statuses.push_back(status());
        buttonHiddenWhileWaiting = r.SpeedButton2()->isHidden();
        press(r, Qt::Key_Shift);
        statuses.push_back(status());
    });
    EXPECT_FALSE(closed);
    EXPECT_EQ(steps(edited()), (std::vector<MoveStep>{{'Q', 0}, {'W', 0}, {'E', 16}}));
    EXPECT_EQ(statuses, (std::vector<QString>{"儲存了 0 個鍵", "儲存了 1 個鍵", "儲存了 2 個鍵", "儲存了 3 個鍵",
                                              "準備輸入複合鍵", "設定了第3號複合鍵"}));
    EXPECT_EQ(selections, (std::vector<int>{2, 3, 4})) << "the next free step row";
    ASSERT_EQ(firstRowAfterQ.size(), 1u) << "the editor reloads after every key";
    EXPECT_EQ(firstRowAfterQ[0].kind, DrawOp::Kind::Picture);
    EXPECT_TRUE(buttonHiddenWhileWaiting);
    EXPECT_FALSE(recorder->SpeedButton2()->isHidden());
    EXPECT_FALSE(recorder->AwaitingCompoundKey());
}

TEST_F(MoveRecorderTest, CompoundKeyBeforeAnyStepDoesNothing) {
    record([&](TForm5& r) {
        compoundKey();
        EXPECT_EQ(status(), "儲存了 0 個鍵");
        EXPECT_FALSE(r.AwaitingCompoundKey());
        EXPECT_FALSE(r.SpeedButton2()->isHidden());
        press(r, Qt::Key_A);
    });
    EXPECT_EQ(steps(edited()), (std::vector<MoveStep>{{'A', 0}}));
}

TEST_F(MoveRecorderTest, SecondCompoundKeyReplacesTheFirst) {
    record([&](TForm5& r) {
        press(r, Qt::Key_A);
        compoundKey();
        press(r, Qt::Key_Control);
        compoundKey();
        press(r, Qt::Key_Alt);
        press(r, Qt::Key_B);
    });
    EXPECT_EQ(steps(edited()), (std::vector<MoveStep>{{'A', 18}, {'B', 0}}));
}

TEST_F(MoveRecorderTest, RecordingOverACompoundStepClearsItsChordKey) {
    edited().StepCount = 2;
    edited().Steps[1] = {'A', 16};
    edited().Steps[2] = {'B', 17};
    editor->l1()->selectRow(7);
    record([&](TForm5& r) {
        EXPECT_EQ(editor->l1()->selectionTop(), 1) << "recording starts on the first row";
        EXPECT_EQ(edited().StepCount, 0);
        press(r, Qt::Key_C);
    });
    EXPECT_EQ(steps(edited()), (std::vector<MoveStep>{{'C', 0}}));
    EXPECT_EQ(edited().Steps[2], (MoveStep{'B', 17})) << "past the count, untouched";
}

TEST_F(MoveRecorderTest, EnterEscTabAndRepeatsAreRecorded) {
    const bool closed = record([&](TForm5& r) {
        press(r, Qt::Key_Return);
        press(r, Qt::Key_Escape);
        press(r, Qt::Key_Tab);
        press(r, Qt::Key_Space);
        // Holding a key: every auto-repeated key-down is a step.
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &r;
        for (int i = 0; i < 2; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_D, Qt::NoModifier, QStringLiteral("d"), true);
            QApplication::sendEvent(target, &repeat);
        }
        press(r, Qt::Key_5, Qt::KeypadModifier);
        press(r, Qt::Key_1, Qt::ShiftModifier);
    });
    EXPECT_FALSE(closed) << "only 結束錄製 or the 101st key close it";
    EXPECT_EQ(
        steps(edited()),
        (std::vector<MoveStep>{{13, 0}, {27, 0}, {9, 0}, {32, 0}, {'D', 0}, {'D', 0}, {101, 0}, {16, 0}, {'1', 0}}));
}

TEST_F(MoveRecorderTest, EndRecordingAtOnceLeavesNoSteps) {
    edited().StepCount = 3;
    const bool closed = record([&](TForm5& r) { QTest::mouseClick(r.SpeedButton1(), Qt::LeftButton); });
    EXPECT_TRUE(closed);
    EXPECT_EQ(edited().StepCount, 0);
    EXPECT_EQ(editor->cellOps(1, 1, QRect(71, 25, 350, 24)), DrawOps{textOp("沒有", QPoint(223, 32))});
}

TEST_F(MoveRecorderTest, TheHundredAndFirstKeyClosesTheDialog) {
    bool closedAtHundred = true;
    const bool closed = record([&](TForm5& r) {
        for (int i = 0; i < 100; ++i)
            press(r, Qt::Key(Qt::Key_A + i % 26));
        closedAtHundred = r.result() == QDialog::Rejected && r.isHidden();
        EXPECT_EQ(status(), "儲存了 100 個鍵");
        EXPECT_EQ(editor->l1()->selectionTop(), 100) << "the selection stays on the last row";
        compoundKey();
        press(r, Qt::Key_Shift);
        EXPECT_EQ(status(), "設定了第100號複合鍵");
        EXPECT_TRUE(r.isVisible());
        press(r, Qt::Key_Z);
    });
    EXPECT_FALSE(closedAtHundred);
    EXPECT_TRUE(closed);
    ASSERT_EQ(edited().StepCount, 100);
    EXPECT_EQ(edited().Steps[1], (MoveStep{'A', 0}));
    EXPECT_EQ(edited().Steps[100], (MoveStep{'V', 16}));
}

} // namespace
} // namespace vornik::ui::test
