#include "MovesFixture.h"

#include <QTreeWidget>

namespace vornik::ui::test {
namespace {

// A cell of 150 x 32 pixels at (56, 33): the texts' centre column is x = (56 + 206 - 32) div 2 = 115,
// the middle row y = (33 + 65) div 2 = 49.
const QRect kCell(56, 33, 150, 32);
const QPoint kCentred(115, 44);

class MovePageTest : public MovesFixture {
protected:
    // The keyboard list's move column for key `label`.
    QString keyboardMoveText(const char* label) {
        QTreeWidget* l3 = m_main->keyboardPage()->l3();
        for (int r = 0; r < l3->topLevelItemCount(); ++r) {
            if (l3->topLevelItem(r)->text(0) == QLatin1String(label))
                return l3->topLevelItem(r)->text(1);
        }
        return {};
    }
    void bindKey(int code, int move) {
        const NamedKeyList& named = config().namedKeys;
        for (int p = 2; p <= named.Count; ++p) {
            if (named.Codes[p] == code)
                config().keyBindings[static_cast<std::size_t>(p - 2)].MoveNumber = move;
        }
        m_main->FillKeyBindingList();
    }
    // Opens the editor from "編輯" on grid row `row`; `drive` works it and returns its result.
    void edit(int row, const std::function<int(TForm4&)>& drive) {
        page->l1()->selectRow(row);
        Modal::queueDialog([&](QDialog& d) { return drive(static_cast<TForm4&>(d)); });
        QTest::mouseClick(page->Button1(), Qt::LeftButton);
    }
};

TEST_F(MovePageTest, GridShape) {
    m_main->show();
    m_main->PageControl1()->setCurrentWidget(page);
    DrawGrid* l1 = page->l1();
    EXPECT_EQ(l1->geometry().bottom(), page->height() - 1) << "on the bottom of the page";
    EXPECT_EQ(l1->rowCount(), 101);
    EXPECT_EQ(l1->colCount(), 3);
    EXPECT_EQ(l1->defaultRowHeight(), 32);
    EXPECT_EQ(l1->colWidth(0) + l1->colWidth(1) + l1->colWidth(2), 55 + 150 + 270);
}

TEST_F(MovePageTest, FreshPageShowsEveryNumberAndNothingElse) {
    EXPECT_EQ(page->cellOps(0, 0, kCell), DrawOps{textOp("編號", kCentred)});
    EXPECT_EQ(page->cellOps(1, 0, kCell), DrawOps{textOp("名稱", kCentred)});
    EXPECT_EQ(page->cellOps(2, 0, kCell), DrawOps{textOp("內容", kCentred)});
    for (int r = 1; r <= 100; ++r) {
        ASSERT_EQ(page->cellOps(0, r, kCell), DrawOps{textOp(QString::number(r), kCentred)}) << r;
        ASSERT_EQ(page->cellOps(1, r, kCell), DrawOps{textOp("沒有", kCentred)}) << r;
        ASSERT_EQ(page->cellOps(2, r, kCell), DrawOps{textOp("沒有", kCentred)}) << r;
    }
}

TEST_F(MovePageTest, NameAndStripAreShownIndependently) {
    Move& unnamed = config().moves[3];
    unnamed.StepCount = 1;
    unnamed.Steps[1].Key = 'Q';
    Move& named = config().moves[4];
    nameMove(named, "波動拳");
    named.Steps[1].Key = 'Q'; // stale steps behind a count of 0 are not shown

    EXPECT_EQ(page->cellOps(1, 3, kCell), DrawOps{textOp("沒有", kCentred)});
    EXPECT_EQ(texts(page->cellOps(2, 3, kCell)), std::vector<QString>{","});
    EXPECT_EQ(page->cellOps(1, 4, kCell), DrawOps{textOp("波動拳", QPoint(61, 44))}) << "at (L + 5, my - 5)";
    EXPECT_EQ(page->cellOps(2, 4, kCell), DrawOps{textOp("沒有", kCentred)});
}

TEST_F(MovePageTest, KeyStripGeometry) {
    Move& move = config().moves[1];
    move.StepCount = 3;
    move.Steps[1] = {'Q', 0};
    move.Steps[2] = {'E', 'R'};
    move.Steps[3] = {'W', 16}; // Shift has no place on the keyboard picture
    const DrawOps ops = page->cellOps(2, 1, kCell);
    ASSERT_EQ(ops.size(), 9u);

    const KeyMapRecord& q = keyRecord('Q');
    const int qw = q.Right - q.Left, qh = q.Bottom - q.Top;
    ASSERT_EQ(ops[0].kind, DrawOp::Kind::Picture);
    EXPECT_EQ(ops[0].source, QRect(q.Left, q.Top, qw, qh)) << "cut from the keyboard picture";
    EXPECT_EQ(ops[0].pictureName, "keybu");
    EXPECT_EQ(ops[0].target, QRect(61, 49 - qh / 2, qw, 2 * (qh / 2)));
    // One-key step: the comma 5 pixels right of the picture, 4 above the middle.
    EXPECT_EQ(ops[1], textOp(",", QPoint(ops[0].target.right() + 1 + 5, 45)));

    // Two-key step: starts 5 pixels after the comma, the pictures 5 apart, the comma at the second's edge.
    ASSERT_EQ(ops[2].kind, DrawOp::Kind::Picture);
    ASSERT_EQ(ops[3].kind, DrawOp::Kind::Picture);
    const KeyMapRecord& e = keyRecord('E');
    const KeyMapRecord& r = keyRecord('R');
    EXPECT_EQ(ops[2].source, QRect(e.Left, e.Top, e.Right - e.Left, e.Bottom - e.Top));
    EXPECT_EQ(ops[3].source, QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    EXPECT_EQ(ops[2].target.left(), ops[1].target.left() + 5);
    EXPECT_EQ(ops[3].target.left(), ops[2].target.right() + 1 + 5);
    EXPECT_EQ(ops[4], textOp(",", QPoint(ops[3].target.right() + 1, 45)));

    // A key with no key-map record: its label in a frame, laid out like a picture of the frame's width.
    ASSERT_EQ(ops[5].kind, DrawOp::Kind::Picture);
    ASSERT_EQ(ops[6].kind, DrawOp::Kind::Frame);
    EXPECT_EQ(ops[5].target.left(), ops[4].target.left() + 5);
    EXPECT_EQ(ops[6].target.left(), ops[5].target.right() + 1 + 5);
    EXPECT_LE(std::abs(ops[6].target.center().y() - 49), 1) << "centred on the row";
    EXPECT_EQ(ops[7].kind, DrawOp::Kind::Text);
    EXPECT_EQ(ops[7].text, "Shift");
    EXPECT_TRUE(ops[6].target.contains(ops[7].target.topLeft()));
    EXPECT_EQ(ops[8].kind, DrawOp::Kind::Text);
    EXPECT_EQ(ops[8], textOp(",", QPoint(ops[6].target.right() + 1, 45)));
}

TEST_F(MovePageTest, EditRightAfterStartUpOpensSlotOne) {
    nameMove(config().moves[1], "一");
    config().moves[1].Speed = 7;
    QString shownName;
    int shownSpeed = -1;
    Modal::queueDialog([&](QDialog& d) {
        auto& form = static_cast<TForm4&>(d);
        shownName = form.Edit1()->text();
        shownSpeed = form.sb1()->value();
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(page->Button1(), Qt::LeftButton);
    EXPECT_EQ(Modal::dialogsRun(), 1);
    EXPECT_EQ(shownName, "一");
    EXPECT_EQ(shownSpeed, 7);
}

TEST_F(MovePageTest, DoubleClickOnARowEditsThatSlot) {
    nameMove(config().moves[3], "三");
    m_main->show();
    m_main->PageControl1()->setCurrentWidget(page);
    QString shownName;
    Modal::queueDialog([&](QDialog& d) {
        shownName = static_cast<TForm4&>(d).Edit1()->text();
        return int(QDialog::Rejected);
    });
    DrawGrid* l1 = page->l1();
    const QRect row3 = l1->visualRect(l1->model()->index(3, 1));
    QTest::mouseDClick(l1->viewport(), Qt::LeftButton, Qt::NoModifier, row3.center());
    EXPECT_EQ(l1->selectionTop(), 3);
    EXPECT_EQ(shownName, "三");
}

TEST_F(MovePageTest, CancelAfterRecordingLeavesTheSlotAsItWas) {
    Move& slot = config().moves[7];
    nameMove(slot, "昇龍");
    slot.StepCount = 2;
    slot.Steps[1] = {'A', 0};
    slot.Steps[2] = {'S', 17};
    slot.Speed = 30;
    slot.RepeatCount = 2;
    slot.Overlap = 1;
    const Move before = slot;

    edit(7, [&](TForm4& form) {
        record([](TForm5& r) {
            press(r, Qt::Key_Z);
            press(r, Qt::Key_X);
        });
        EXPECT_EQ(form.EditedMove().StepCount, 2);
        EXPECT_EQ(form.EditedMove().Steps[2], (MoveStep{'X', 0}));
        form.Edit1()->setText("別的");
        form.sb1()->setValue(90);
        form.cb1()->setCurrentIndex(9);
        form.RadioButton2()->click();
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(Modal::dialogsRun(), 2) << "the editor and the recorder";
    EXPECT_TRUE(slot == before);

    // The recorder closed at once: still nothing reaches the slot on Cancel.
    edit(7, [&](TForm4& form) {
        record([](TForm5& r) { QTest::mouseClick(r.SpeedButton1(), Qt::LeftButton); });
        EXPECT_EQ(form.EditedMove().StepCount, 0);
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(slot == before);
}

TEST_F(MovePageTest, OkCopiesTheWholeRecordAndTheKeyboardListShowsTheName) {
    bindKey('A', 9);
    Move& slot = config().moves[9];
    slot.Steps[3] = {'P', 'O'}; // stale step past the count, copied back as it is
    EXPECT_EQ(keyboardMoveText("A"), "招式：");

    edit(9, [&](TForm4& form) {
        record([](TForm5& r) {
            press(r, Qt::Key_Q);
            press(r, Qt::Key_W);
        });
        form.Edit1()->setText("波動拳");
        form.sb1()->setValue(40);
        form.cb1()->setCurrentIndex(4);
        form.RadioButton1()->click();
        QTest::mouseClick(form.BitBtn2(), Qt::LeftButton);
        return form.result();
    });

    EXPECT_EQ(steps(slot), (std::vector<MoveStep>{{'Q', 0}, {'W', 0}}));
    EXPECT_EQ(slot.Name.view(), big5("波動拳"));
    EXPECT_EQ(slot.Speed, 40);
    EXPECT_EQ(slot.RepeatCount, 5);
    EXPECT_EQ(slot.Overlap, 1);
    EXPECT_EQ(slot.Steps[3], (MoveStep{'P', 'O'}));
    EXPECT_TRUE(slot == editor->EditedMove());
    EXPECT_EQ(keyboardMoveText("A"), "招式：波動拳");
    EXPECT_EQ(page->cellOps(1, 9, kCell), DrawOps{textOp("波動拳", QPoint(61, 44))});

    // A slot that never held a move starts at one play a trigger: a move recorded there and confirmed
    // without a look at the count plays (it used to keep 0 and never play, without a word).
    edit(10, [&](TForm4& form) {
        record([](TForm5& r) { press(r, Qt::Key_Z); });
        QTest::mouseClick(form.BitBtn2(), Qt::LeftButton);
        return form.result();
    });
    EXPECT_EQ(config().moves[10].RepeatCount, 1);
    EXPECT_EQ(steps(config().moves[10]), (std::vector<MoveStep>{{'Z', 0}}));
}

TEST_F(MovePageTest, DeleteAllAsksAndKeepsEverythingButNamesAndCounts) {
    bindKey('B', 5);
    for (int s = 1; s <= 100; ++s) {
        Move& m = config().moves[s];
        nameMove(m, "招");
        m.StepCount = 1;
        m.Steps[1] = {'B', 0};
        m.Speed = s % 101;
        m.RepeatCount = s;
        m.Overlap = static_cast<uint8_t>(s % 2);
    }
    const MoveTable before = config().moves;
    m_main->FillKeyBindingList();
    ASSERT_EQ(keyboardMoveText("B"), "招式：招");

    Modal::queueAnswer(QMessageBox::Cancel);
    QTest::mouseClick(page->Button2(), Qt::LeftButton);
    ASSERT_EQ(Modal::shown().size(), 1u);
    EXPECT_EQ(Modal::shown()[0].caption, "Message");
    EXPECT_EQ(Modal::shown()[0].text, "是否確定把所有招式記錄刪除？");
    EXPECT_TRUE(config().moves == before);

    Modal::queueAnswer(QMessageBox::Ok);
    QTest::mouseClick(page->Button2(), Qt::LeftButton);
    for (int s = 1; s <= 100; ++s) {
        const Move& m = config().moves[s];
        ASSERT_EQ(m.StepCount, 0) << s;
        ASSERT_EQ(m.Name.Length, 0) << s;
        ASSERT_EQ(m.Steps[1], before[s].Steps[1]) << s;
        ASSERT_EQ(m.Speed, before[s].Speed) << s;
        ASSERT_EQ(m.RepeatCount, before[s].RepeatCount) << s;
        ASSERT_EQ(m.Overlap, before[s].Overlap) << s;
        ASSERT_EQ(page->cellOps(1, s, kCell), DrawOps{textOp("沒有", kCentred)});
        ASSERT_EQ(page->cellOps(2, s, kCell), DrawOps{textOp("沒有", kCentred)});
    }
    EXPECT_EQ(keyboardMoveText("B"), "招式：") << "the binding stays, its move's name is gone";
}

} // namespace
} // namespace vornik::ui::test
