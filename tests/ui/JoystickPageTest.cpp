#include "UiFixture.h"

#include "Big5.h"
#include "DrawGrid.h"
#include "JoystickGrid.h"
#include "RecordingPainter.h"
#include "Texts.h"

#include <QScrollBar>
#include <QTest>

namespace vornik::ui {
// Readable failures for draw operations.
void PrintTo(const DrawOp& op, std::ostream* os) {
    const QRect& t = op.target;
    *os << "{kind " << static_cast<int>(op.kind) << " at " << t.x() << "," << t.y() << " " << t.width() << "x"
        << t.height() << " text \"" << op.text.toStdString() << "\" picture \"" << op.pictureName.toStdString()
        << "\"}";
}
} // namespace vornik::ui

namespace vornik::ui::test {
namespace {

QWidget* sheetOf(const JoystickPage& page) {
    return page.BindingGrid->parentWidget();
}

// Page layout for a joystick of M buttons: pictures, check boxes and the grid's place and shape.
class JoystickPageLayout : public UiFixture {
protected:
    const JoystickPage& startWith(uint32_t buttons) {
        m_fake.joysticks.plug(0, buttons);
        TVornik& w = startWithKeyMap();
        return w.joystickPage(1);
    }
};

TEST_F(JoystickPageLayout, TwelveButtonsStandInRowsOfEightWithTheStickCentredBesideThem) {
    const JoystickPage& page = startWith(12);
    for (int b = 1; b <= 8; ++b)
        EXPECT_EQ(page.buttonPicture(b)->geometry(), QRect(235 + 32 * (b - 1), 10, 32, 32)) << b;
    for (int b = 9; b <= 12; ++b)
        EXPECT_EQ(page.buttonPicture(b)->geometry(), QRect(235 + 32 * (b - 9), 42, 32, 32)) << b;
    for (int b = 13; b <= 32; ++b)
        EXPECT_EQ(page.buttonPicture(b), nullptr) << b;
    EXPECT_EQ(page.DirectionPicture->geometry(), QRect(104, 26, 32, 32));
    EXPECT_EQ(page.DirectionPicture->pixmap().toImage(), m_main->pictures().mimg(0).toImage());
    EXPECT_EQ(page.buttonPicture(5)->pixmap().toImage(), m_main->pictures().button(5, ButtonState::Released).toImage());

    EXPECT_EQ(page.StopCheckBox->pos(), QPoint(8, 8));
    EXPECT_EQ(page.StopCheckBox->text(), "停止作用");
    EXPECT_EQ(page.TestCheckBox->pos(), QPoint(8, 24));
    EXPECT_EQ(page.TestCheckBox->text(), "啟動測試");

    const DrawGrid* grid = page.BindingGrid;
    EXPECT_EQ(grid->rowCount(), 21);
    EXPECT_EQ(grid->colCount(), 4);
    EXPECT_EQ(grid->defaultRowHeight(), 32);
    EXPECT_EQ((std::vector<int>{grid->colWidth(0), grid->colWidth(1), grid->colWidth(2), grid->colWidth(3)}),
              (std::vector<int>{55, 200, 100, 100}));
    // From the layer line 10 pixels below the last row of buttons to the page's bottom edge, full width.
    const QWidget* sheet = sheetOf(page);
    EXPECT_EQ(grid->geometry(), QRect(0, 110, sheet->width(), sheet->height() - 110));
    EXPECT_EQ(page.LayerBox->y(), 84);
}

TEST_F(JoystickPageLayout, TheGridStaysOnTheBottomWhenThePageIsResized) {
    const JoystickPage& page = startWith(12);
    QWidget* sheet = sheetOf(page);
    sheet->resize(600, 500);
    EXPECT_EQ(page.BindingGrid->geometry(), QRect(0, 110, 600, 390));
}

TEST_F(JoystickPageLayout, ThirtyTwoButtonsFillFourRows) {
    const JoystickPage& page = startWith(32);
    EXPECT_EQ(page.buttonPicture(25)->geometry(), QRect(235, 106, 32, 32));
    EXPECT_EQ(page.buttonPicture(32)->geometry(), QRect(459, 106, 32, 32));
    EXPECT_EQ(page.DirectionPicture->geometry().topLeft(), QPoint(104, 58));
    EXPECT_EQ(page.BindingGrid->rowCount(), 41);
    EXPECT_EQ(page.BindingGrid->y(), 174);
}

TEST_F(JoystickPageLayout, MoreThanThirtyTwoButtonsAreTakenAsThirtyTwo) {
    const JoystickPage& page = startWith(40);
    EXPECT_NE(page.buttonPicture(32), nullptr);
    EXPECT_EQ(page.BindingGrid->rowCount(), 41);
}

TEST_F(JoystickPageLayout, NoButtonsIsLaidOutAsOneRow) {
    const JoystickPage& page = startWith(0);
    for (int b = 1; b <= 32; ++b)
        EXPECT_EQ(page.buttonPicture(b), nullptr);
    EXPECT_EQ(page.DirectionPicture->geometry().topLeft(), QPoint(104, 10));
    EXPECT_EQ(page.BindingGrid->rowCount(), 9);
    EXPECT_EQ(page.BindingGrid->y(), 78);
}

// The pad's name: one line beside the direction picture, clear of every control at any button count.
TEST_F(JoystickPageLayout, ThePadsNameStandsOnOneLineClearOfEveryControl) {
    TVornik& w = startWithKeyMap();
    const QString longName = QStringLiteral("Wireless Controller With A Rather Long Product Name");
    for (uint32_t buttons : {0u, 8u, 12u, 20u, 32u}) {
        SCOPED_TRACE(buttons);
        QWidget sheet;
        sheet.resize(w.keyboardPage()->size());
        JoystickPage page;
        BuildJoystickPage(page, &sheet, JoystickCaps{0, 65535, 0, 65535, buttons}, true, w.pictures());
        ShowJoystickName(page, &sheet, longName);
        const QLabel* label = page.NameLabel;
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->toolTip(), longName);
        EXPECT_TRUE(label->text().endsWith(QChar(0x2026))) << label->text().toStdString();
        EXPECT_TRUE(longName.startsWith(label->text().chopped(1)));
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
        EXPECT_GE(label->height(), label->fontMetrics().height());
        EXPECT_TRUE(sheet.rect().contains(label->geometry()));
        for (const QWidget* other : sheet.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != label) {
                EXPECT_FALSE(other->geometry().intersects(label->geometry())) << other->objectName().toStdString();
            }
        }
    }
    QWidget sheet;
    JoystickPage page;
    BuildJoystickPage(page, &sheet, JoystickCaps{0, 65535, 0, 65535, 12}, true, w.pictures());
    ShowJoystickName(page, &sheet, QStringLiteral("Pad"));
    EXPECT_EQ(page.NameLabel->text(), "Pad");
}

// Cell contents as draw operations, from the table of a started program.
class JoystickCells : public UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        m_fake.joysticks.plug(0, 12);
        startWithKeyMap();
        m_grid = std::make_unique<JoystickGrid>(m_main->config(), m_main->pictures(), m_pages);
    }
    void TearDown() override {
        m_grid.reset();
        UiFixture::TearDown();
    }

    JoystickBinding& entry(int e) { return m_main->config().joystickBindings[1][e]; }
    DrawOps cell(int col, int row) const { return m_grid->cellOps(1, col, row, m_rect, metrics()); }
    QFontMetrics metrics() const { return QFontMetrics(m_main->joystickPage(1).BindingGrid->font()); }
    // Where every text of the cell starts: (L + 2, my - 5).
    QPoint textAt() const { return {m_rect.left() + 2, middle() - 5}; }
    int middle() const { return (m_rect.top() + m_rect.bottom() + 1) / 2; }
    QRect pictureAt() const {
        return {(m_rect.left() + m_rect.right() + 1 - 32) / 2, (m_rect.top() + m_rect.bottom() + 1 - 32) / 2, 32, 32};
    }
    QRect keyRect(int code) const { return keyRectangle(m_main->config().keyMap, code); }
    static QStringList texts(const DrawOps& ops) {
        QStringList list;
        for (const DrawOp& op : ops) {
            if (op.kind == DrawOp::Kind::Text)
                list << op.text;
        }
        return list;
    }
    void setMoveName(int move, const QString& name) {
        const std::string bytes = toBig5(name);
        MoveName& n = m_main->config().moves[move].Name;
        n.Length = static_cast<uint8_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), n.Bytes.begin());
    }

    std::array<JoystickPage, kMaxJoysticks> m_pages{};
    std::unique_ptr<JoystickGrid> m_grid;
    QRect m_rect{56, 97, 200, 33}; // odd height: my rounds down
};

TEST_F(JoystickCells, AFreshTableShowsNoBindingOnEveryDirectionAndButtonRow) {
    for (int row : {1, 2, 3, 4, 9, 12, 20}) {
        EXPECT_EQ(cell(1, row), DrawOps{textOp("沒有對應功能鍵", textAt())}) << row;
        EXPECT_EQ(cell(2, row), DrawOps{textOp("沒有", textAt())}) << row;
        EXPECT_EQ(cell(3, row), DrawOps{textOp("Delay: 0", textAt())}) << row;
    }
    EXPECT_TRUE(cell(0, 0).empty());
    EXPECT_EQ(texts(cell(1, 0)), QStringList{"對應功能"});
    EXPECT_EQ(texts(cell(2, 0)), QStringList{"連發"});
    EXPECT_EQ(texts(cell(3, 0)), QStringList{"連發速度"});
}

TEST_F(JoystickCells, ColumnZeroShowsEachRowsPictureCentred) {
    const PictureStore& pictures = m_main->pictures();
    const int direction[9] = {0, 1, 2, 3, 4, 5, 6, 8, 7}; // rows 1..8
    for (int row = 1; row <= 8; ++row)
        EXPECT_EQ(cell(0, row), DrawOps{pictureOp(pictures.mimg(direction[row]),
                                                  QStringLiteral("mimg%1").arg(direction[row]), pictureAt())})
            << row;
    for (int row = 9; row <= 20; ++row) {
        const int b = row - 8;
        EXPECT_EQ(cell(0, row), DrawOps{pictureOp(pictures.button(b, ButtonState::Released),
                                                  QStringLiteral("button %1 released").arg(b), pictureAt())})
            << row;
    }
}

TEST_F(JoystickCells, DiagonalRowsNameTheirTwoDirectionsAndHaveNoSettings) {
    const QString expected[4] = {"對應：上、左", "對應：下、左", "對應：上、右", "對應：下、右"};
    for (int row = 5; row <= 8; ++row) {
        EXPECT_EQ(cell(1, row), DrawOps{textOp(expected[row - 5], textAt())});
        EXPECT_EQ(cell(2, row), DrawOps{textOp("不獨立設定", textAt())});
        EXPECT_EQ(cell(3, row), DrawOps{textOp("不獨立設定", textAt())});
    }
    // Entries 5..8 (buttons 1..4) are not shown on the diagonal rows.
    entry(5).BindingKind = BindingMove;
    EXPECT_EQ(texts(cell(1, 5)), QStringList{"對應：上、左"});
}

TEST_F(JoystickCells, AnUnboundEntryShowsNoAutoFireWhateverItsModeHolds) {
    entry(9) = {};
    entry(9).AutoFireMode = AutoFireAutomatic;
    entry(9).AutoFireDelay = 6;
    EXPECT_EQ(texts(cell(1, 13)), QStringList{"沒有對應功能鍵"});
    EXPECT_EQ(texts(cell(2, 13)), QStringList{"沒有"});
    EXPECT_EQ(texts(cell(3, 13)), QStringList{"Delay: 6"});
    EXPECT_EQ(entry(9).AutoFireMode, AutoFireAutomatic); // painting changes nothing
}

TEST_F(JoystickCells, AutoFireModesOfABoundEntry) {
    entry(1).BindingKind = BindingKeys;
    const std::pair<int, QStringList> cases[] = {
        {0, {"沒有"}}, {1, {"自動連發中"}}, {2, {"按下連發"}}, {3, {}}, {-1, {}}};
    for (const auto& [mode, expected] : cases) {
        entry(1).AutoFireMode = mode;
        EXPECT_EQ(texts(cell(2, 1)), expected) << mode;
    }
}

TEST_F(JoystickCells, KeysAreCutFromTheKeyboardPictureFivePixelsApart) {
    JoystickBinding& e = entry(2);
    e.BindingKind = BindingKeys;
    e.KeyCount = 0;
    EXPECT_EQ(cell(1, 2), DrawOps{textOp("鍵盤：", textAt())});

    e.Key1 = 'A';
    e.Key2 = 13; // Enter: 34 rows high, taller than the others
    e.Key3 = 32;
    e.KeyCount = 3;
    const DrawOps ops = cell(1, 2);
    ASSERT_EQ(ops.size(), 4u);
    EXPECT_EQ(ops[0], textOp("鍵盤：", textAt()));
    int x = m_rect.left() + 50;
    for (int i = 0; i < 3; ++i) {
        const QRect key = keyRect(i == 0 ? 'A' : i == 1 ? 13 : 32);
        ASSERT_FALSE(key.isNull());
        const DrawOp& op = ops[static_cast<std::size_t>(i + 1)];
        EXPECT_EQ(op.picture, &m_main->pictures().keybu());
        EXPECT_EQ(op.source, key);
        EXPECT_EQ(op.target, QRect(x, middle() - key.height() / 2, key.width(), 2 * (key.height() / 2)));
        x += key.width() + 5;
    }

    // Only the first KeyCount keys count; the third slot holds a stale code.
    e.KeyCount = 2;
    EXPECT_EQ(cell(1, 2).size(), 3u);
}

TEST_F(JoystickCells, AKeyOfOddHeightLosesOneRow) {
    KeyMap& map = m_main->config().keyMap;
    map.Records[++map.Count] = {10, 20, 5, 20, 200}; // 10 wide, 15 high
    entry(3) = {};
    entry(3).BindingKind = BindingKeys;
    entry(3).Key1 = 200;
    entry(3).KeyCount = 1;
    const DrawOps ops = cell(1, 3);
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[1].source, QRect(10, 5, 10, 15));
    EXPECT_EQ(ops[1].target, QRect(m_rect.left() + 50, middle() - 7, 10, 14));
}

TEST_F(JoystickCells, AKeyTheKeyMapDoesNotPlaceIsDrawnAsItsLabelInAFrame) {
    ASSERT_TRUE(keyRect(17).isNull());
    entry(4) = {};
    entry(4).BindingKind = BindingKeys;
    entry(4).Key1 = 17; // the generic Ctrl code
    entry(4).Key2 = 'A';
    entry(4).KeyCount = 2;
    const DrawOps ops = cell(1, 4);
    ASSERT_EQ(ops.size(), 4u);
    EXPECT_EQ(ops[1].kind, DrawOp::Kind::Frame);
    const QRect frame = ops[1].target;
    EXPECT_EQ(frame.left(), m_rect.left() + 50);
    EXPECT_LE(std::abs(frame.center().y() - middle()), 1);
    EXPECT_EQ(ops[2].kind, DrawOp::Kind::Text);
    EXPECT_EQ(ops[2].text, "Ctrl");
    EXPECT_TRUE(frame.contains(ops[2].target.topLeft()));
    EXPECT_GE(frame.width(), metrics().horizontalAdvance("Ctrl"));
    // The next key follows the frame as it would follow a picture.
    EXPECT_EQ(ops[3].target.left(), frame.left() + frame.width() + 5);
}

TEST_F(JoystickCells, AMoveBindingShowsTheMovesName) {
    setMoveName(7, "升龍拳");
    entry(5) = {};
    entry(5).BindingKind = BindingMove;
    entry(5).Key1 = 7;
    EXPECT_EQ(cell(1, 9), DrawOps{textOp("招式：升龍拳", textAt())});

    entry(5).Key1 = 0; // OK with no move chosen
    EXPECT_EQ(texts(cell(1, 9)), QStringList{"招式：沒有"});
    entry(5).Key1 = 101;
    EXPECT_EQ(texts(cell(1, 9)), QStringList{"招式：沒有"});
}

TEST_F(JoystickCells, ALongMoveNameIsCutTo255BytesAtACharacterBoundary) {
    setMoveName(100, QString(125, QChar(u'龍'))); // 250 bytes; with the prefix 256
    entry(6) = {};
    entry(6).BindingKind = BindingMove;
    entry(6).Key1 = 100;
    const QStringList shown = texts(cell(1, 10));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], "招式：" + QString(124, QChar(u'龍')));
    EXPECT_LE(toBig5(shown[0]).size(), 255u);
}

TEST_F(JoystickCells, APointerBindingShowsItsButton) {
    entry(7) = {BindingPointer, PointerRight, 0, 0, 0, 0, 0};
    EXPECT_EQ(texts(cell(1, 11)), QStringList{"滑鼠：右鍵"});
}

// A row lists each binding of the layer shown with when it fires; a layer above the first that binds
// nothing for an input leaves it to the one beneath, and shows no auto-fire for it.
TEST_F(JoystickCells, ARowNamesWhenEachOfItsBindingsFiresOnTheLayerShown) {
    Configuration& c = m_main->config();
    c.bindingAt(1, 7, 1, ActivateTap, 0) = {BindingKeys, 'A', 0, 0, 1, AutoFireNone, 0};
    c.bindingAt(1, 7, 1, ActivateHold, 0) = {BindingKeys, 'B', 0, 0, 1, AutoFireNone, 0};
    c.bindingAt(1, 8, 2, ActivatePress, 0) = {BindingLayer, 3, LayerToggle, 0, 0, 0, 0};
    EXPECT_EQ(m_grid->cellText(1, 1, 11), "輕按：A；長按：B");
    EXPECT_EQ(texts(cell(1, 11)), QStringList{"輕按：A；長按：B"});
    QComboBox layers;
    for (int layer = 1; layer <= kMaxLayers; ++layer)
        layers.addItem(QString::number(layer));
    layers.setCurrentIndex(1);
    m_pages[0].LayerBox = &layers;
    EXPECT_EQ(m_grid->cellText(1, 1, 11), "由下面的層決定");
    EXPECT_EQ(m_grid->cellText(1, 2, 11), "");
    EXPECT_TRUE(cell(3, 11).empty());
    EXPECT_EQ(m_grid->cellText(1, 1, 12), "切換第 3 層");
    m_pages[0].LayerBox = nullptr;
}

TEST_F(JoystickCells, AnUnknownBindingKindShowsNothing) {
    entry(7).BindingKind = 9;
    EXPECT_TRUE(cell(1, 11).empty());
}

TEST_F(JoystickCells, DCellPaintsTheOperationsOfItsGridsJoystick) {
    entry(1) = {};
    entry(1).BindingKind = BindingKeys;
    entry(1).Key1 = 'X';
    entry(1).KeyCount = 1;
    DrawGrid& grid = *m_main->joystickPage(1).BindingGrid;
    RecordingDevice device;
    {
        QPainter painter(&device);
        painter.setFont(grid.font());
        grid.onDrawCell()(grid, 1, 1, painter, m_rect);
    }
    const std::vector<Recorded>& drawn = device.engine.drawn;
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].kind, Recorded::Kind::Text);
    EXPECT_EQ(drawn[0].text, "鍵盤：");
    EXPECT_EQ(drawn[0].baseline.x(), textAt().x());
    EXPECT_EQ(drawn[0].baseline.y() - metrics().ascent(), textAt().y());
    EXPECT_EQ(drawn[1].kind, Recorded::Kind::Pixmap);
    EXPECT_EQ(drawn[1].pixmapKey, m_main->pictures().keybu().cacheKey());
    EXPECT_EQ(drawn[1].source, QRectF(keyRect('X')));
    EXPECT_EQ(drawn[1].target.topLeft(), QPointF(m_rect.left() + 50, middle() - keyRect('X').height() / 2));
}

// Double-clicks on the grid: which rows open the dialog, and which entry it edits.
class JoystickDoubleClick : public UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        m_fake.joysticks.plug(0, 12);
        startWithKeyMap();
    }
    DrawGrid& grid() { return *m_main->joystickPage(1).BindingGrid; }
    // Selects the row and double-clicks it where it stands after scrolling into view.
    void doubleClickRow(int row) {
        grid().selectRow(row);
        QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, QPoint(120, grid().rowViewportPosition(row) + 16));
    }
    // The dialog's answer: bind the key under (x, y) of the keyboard picture.
    static Modal::DialogAnswer bindKeyAt(QPoint at) {
        return [at](QDialog& dialog) {
            auto& form = static_cast<TForm3&>(dialog);
            form.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
            form.findChild<QRadioButton*>("RadioButton1")->setChecked(true);
            form.kbimgMouseDown(Qt::LeftButton, {}, at.x(), at.y());
            return int(QDialog::Accepted);
        };
    }
    QPoint centreOf(int code) const { return keyRectangle(m_main->config().keyMap, code).center(); }
};

TEST_F(JoystickDoubleClick, DiagonalRowsOpenNothing) {
    for (int row = 5; row <= 8; ++row)
        doubleClickRow(row);
    EXPECT_EQ(Modal::dialogsRun(), 0);
}

TEST_F(JoystickDoubleClick, AButtonRowEditsEntryRowMinusFour) {
    Modal::queueDialog(bindKeyAt(centreOf('Q')));
    doubleClickRow(13); // button 5
    ASSERT_EQ(Modal::dialogsRun(), 1);
    const JoystickBlock& table = m_main->config().joystickBindings[1];
    EXPECT_EQ(table[9].BindingKind, BindingKeys);
    EXPECT_EQ(table[9].Key1, 'Q');
    EXPECT_EQ(table[9].KeyCount, 1);
    for (int e = 1; e <= kJoystickEntries; ++e) {
        if (e != 9) {
            EXPECT_EQ(table[e], JoystickBinding{}) << e;
        }
    }
}

TEST_F(JoystickDoubleClick, ADirectionRowEditsItsOwnEntry) {
    Modal::queueDialog(bindKeyAt(centreOf('W')));
    // The double-click selects the row under the mouse first.
    QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, QPoint(120, grid().rowViewportPosition(2) + 16));
    EXPECT_EQ(grid().selectionTop(), 2);
    EXPECT_EQ(m_main->config().joystickBindings[1][2].Key1, 'W');
    EXPECT_EQ(m_main->config().joystickBindings[1][1], JoystickBinding{});
}

TEST_F(JoystickDoubleClick, TheHeaderRowStaysInPlaceAndEditsTheSelectedRow) {
    QWidget* header = grid().findChild<QWidget*>("FixedRow");
    ASSERT_NE(header, nullptr);
    grid().selectRow(20); // the last button, scrolled into view
    ASSERT_GT(grid().verticalScrollBar()->value(), 0);
    EXPECT_EQ(header->geometry().bottom() + 1, grid().viewport()->geometry().top());
    EXPECT_EQ(header->height(), 32);
    EXPECT_TRUE(header->isVisible());

    Modal::queueDialog(bindKeyAt(centreOf('E')));
    QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(120, 16));
    QTest::mouseDClick(header, Qt::LeftButton, {}, QPoint(120, 16));
    EXPECT_EQ(grid().selectionTop(), 20);
    EXPECT_EQ(m_main->config().joystickBindings[1][16].Key1, 'E');
}

TEST_F(JoystickDoubleClick, CancelLeavesTheEntryAsItWas) {
    Modal::queueDialog([](QDialog& dialog) {
        dialog.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
        return int(QDialog::Rejected);
    });
    doubleClickRow(9);
    EXPECT_EQ(Modal::dialogsRun(), 1);
    EXPECT_EQ(m_main->config().joystickBindings[1][5], JoystickBinding{});
}

// The live view through the engine tick on the fake platform.
class JoystickLiveView : public UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        m_stick = &m_fake.joysticks.plug(0, 12);
        startWithKeyMap();
        page().TestCheckBox->setChecked(true);
    }
    JoystickPage& page() { return m_main->joystickPage(1); }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            m_main->TimerEx1Timer();
    }
    FakeJoystick* m_stick = nullptr;
};

TEST_F(JoystickLiveView, AStickAtRestAssignsTheCentrePictureOnce) {
    EXPECT_EQ(page().DirectionPicture->tag(), 0);
    ticks(5);
    EXPECT_EQ(page().DirectionPicture->assignments(), 1);
    EXPECT_EQ(page().DirectionPicture->tag(), 1);
    EXPECT_EQ(page().DirectionPicture->pixmap().toImage(), m_main->pictures().mimg(0).toImage());
}

TEST_F(JoystickLiveView, AStickOffCentreIsAssignedOnEveryTick) {
    m_stick->reading = {65535, 0, 0}; // up-right
    ticks(3);
    EXPECT_EQ(page().DirectionPicture->assignments(), 3);
    EXPECT_EQ(page().DirectionPicture->tag(), 0);
    EXPECT_EQ(page().DirectionPicture->pixmap().toImage(), m_main->pictures().mimg(8).toImage());
}

TEST_F(JoystickLiveView, HoldingButtonThreeSwapsItsPictureOnceEachWay) {
    ticks(1);
    PictureControl* three = page().buttonPicture(3);
    const int before = three->assignments();
    EXPECT_EQ(three->tag(), 1);

    m_stick->reading.dwButtons = 0b100;
    ticks(4);
    EXPECT_EQ(three->assignments(), before + 1);
    EXPECT_EQ(three->tag(), 2);
    EXPECT_EQ(three->pixmap().toImage(), m_main->pictures().button(3, ButtonState::Pressed).toImage());
    EXPECT_EQ(page().buttonPicture(2)->tag(), 1);

    m_stick->reading.dwButtons = 0;
    ticks(4);
    EXPECT_EQ(three->assignments(), before + 2);
    EXPECT_EQ(three->tag(), 1);
    EXPECT_EQ(three->pixmap().toImage(), m_main->pictures().button(3, ButtonState::Released).toImage());
}

TEST_F(JoystickLiveView, WithTheBoxUntickedThePicturesKeepTheirLastState) {
    m_stick->reading = {0, 32767, 0b1};
    ticks(1);
    page().TestCheckBox->setChecked(false);
    m_stick->reading = {32767, 32767, 0};
    ticks(3);
    EXPECT_EQ(page().DirectionPicture->pixmap().toImage(), m_main->pictures().mimg(3).toImage());
    EXPECT_EQ(page().buttonPicture(1)->tag(), 2);
}

} // namespace
} // namespace vornik::ui::test
