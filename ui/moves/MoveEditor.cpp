#include "MoveEditor.h"

#include "ButtonGlyphs.h"
#include "DrawGrid.h"
#include "FixedItemHeight.h"
#include "Fonts.h"
#include "Language.h"
#include "Modal.h"
#include "MoveRecorder.h"
#include "Named.h"
#include "Texts.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>

namespace vornik::ui {

namespace {

// A label in its own colour, sized to its text.
void colourText(QLabel* label, QColor colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->adjustSize();
}

const KeyMap& emptyKeyMap() {
    static const KeyMap map;
    return map;
}

} // namespace

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QCoreApplication::translate("Vornik", "設定招式"));
    setFont(programFont(12));
    setFixedSize(452, 325);

    // The labels and the radio buttons take the size of their text.
    named(new QLabel(QCoreApplication::translate("Vornik", "名稱："), this), "Label1", {8, 16, 0, 0})->adjustSize();
    m_name = named(new QLineEdit(this), "Edit1", {48, 8, 177, 21});
    auto* speedLabel = named(new QLabel(QCoreApplication::translate("Vornik", "速度："), this), "Label2", {8, 35, 0, 0});
    speedLabel->adjustSize();
    auto* fast = named(new QLabel(QCoreApplication::translate("Vornik", "快"), this), "Label3", {48, 35, 0, 0});
    colourText(fast, Qt::red);
    m_speed = named(new QScrollBar(Qt::Horizontal, this), "sb1", {64, 32, 145, 18});
    m_speed->setRange(0, 100);
    m_speed->setSingleStep(1);
    auto* slow = named(new QLabel(QCoreApplication::translate("Vornik", "慢"), this), "Label4", {214, 35, 0, 0});
    colourText(slow, Qt::blue);
    // Words longer than the one-character ones (English) take room from the scroll bar.
    if (fast->width() > m_speed->x() - fast->x() || slow->geometry().right() >= 232) {
        fast->move(speedLabel->geometry().right() + 4, fast->y());
        slow->move(232 - 4 - slow->width(), slow->y());
        m_speed->setGeometry(fast->geometry().right() + 4, 32, slow->x() - 4 - fast->geometry().right() - 4, 18);
    }

    m_repeatCount = named(new QComboBox(this), "cb1", {232, 8, 169, 22});
    m_repeatCount->setEditable(false);
    setFixedItemHeight(m_repeatCount, 16);
    // Shown while no count is chosen: a move stored with none (repeat 0) plays nothing.
    m_repeatCount->setPlaceholderText(QCoreApplication::translate("Vornik", "重複次數：0（不會播放）"));

    // The two press modes form one group inside their frame.
    auto* frame = named(new QFrame(this), "RadioFrame", {232, 31, 169, 23});
    m_overlap = named(new QRadioButton(QCoreApplication::translate("Vornik", "重疊"), frame), "RadioButton1",
                      {250 - 232, 34 - 31, 0, 0});
    m_overlap->adjustSize();
    m_oneByOne = named(new QRadioButton(QCoreApplication::translate("Vornik", "非重疊"), frame), "RadioButton2",
                       {314 - 232, 34 - 31, 0, 0});
    m_oneByOne->adjustSize();
    if (m_oneByOne->x() <= m_overlap->geometry().right() + 4)
        m_oneByOne->move(m_overlap->geometry().right() + 10, m_oneByOne->y());
    m_overlap->setToolTip(QCoreApplication::translate("Vornik", "每一步的鍵還按著時，就按下一步的鍵"));
    m_oneByOne->setToolTip(QCoreApplication::translate("Vornik", "每一步的鍵放開後，才按下一步的鍵"));

    m_record = named(new QToolButton(this), "SpeedButton1", {408, 8, 41, 41});
    m_record->setIcon(recordGlyph());
    m_record->setIconSize(QSize(24, 24));
    m_record->setAutoRaise(false);
    m_record->setToolTip(QCoreApplication::translate("Vornik", "錄製"));

    m_steps = named(new DrawGrid(this), "l1", {0, 56, 449, 233});
    m_steps->setOnDrawCell([this](DrawGrid&, int col, int row, QPainter& painter, const QRect& rect) {
        l1DrawCell(col, row, painter, rect);
    });
    m_steps->setOnCellText([this](const DrawGrid&, int col, int row) { return cellText(col, row); });

    m_ok = named(new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), standardButtonText(QDialogButtonBox::Ok), this),
                 "BitBtn2", {296, 296, 75, 25});
    m_ok->setDefault(true);
    m_cancel = named(new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), standardButtonText(QDialogButtonBox::Cancel), this),
                     "BitBtn1", {376, 296, 75, 25});
    m_cancel->setAutoDefault(false);

    connect(m_name, &QLineEdit::textChanged, this, &TForm4::Edit1Change);
    connect(m_speed, &QScrollBar::valueChanged, this, &TForm4::sb1Change);
    connect(m_repeatCount, &QComboBox::currentIndexChanged, this, &TForm4::cb1Change);
    connect(m_overlap, &QRadioButton::clicked, this, &TForm4::RadioButton1Click);
    connect(m_oneByOne, &QRadioButton::clicked, this, &TForm4::RadioButton2Click);
    connect(m_record, &QToolButton::clicked, this, &TForm4::SpeedButton1Click);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

void TForm4::FormCreate() {
    for (int n = 1; n <= 300; ++n)
        m_repeatCount->addItem(QCoreApplication::translate("Vornik", "重複次數： %1").arg(n));
    LoadEditor();
}

void TForm4::setKeyPictures(const KeyMap* map, const QPixmap* keyboard) {
    m_keyMap = map;
    m_keyboard = keyboard;
    m_steps->repaintGrid();
}

void TForm4::LoadEditor() {
    m_steps->setDefaultRowHeight(24);
    m_steps->setColCount(2);
    m_steps->setRowCount(1 + kMaxMoveSteps);
    m_steps->setColWidth(0, 70);
    m_steps->setColWidth(1, 350);
    {
        // The handlers would only write back what is being loaded; blocking them keeps
        // EditedMove exactly as it is, even for values a control cannot show.
        const QSignalBlocker edit(m_name), bar(m_speed), combo(m_repeatCount), overlap(m_overlap), oneByOne(m_oneByOne);
        // A slot that has never held a move starts at one play a trigger: OK on a move recorded
        // there would otherwise store repeat 0, and the move would never play. A move stored with
        // repeat 0 keeps it (it plays nothing, and the list says so) until a count is chosen.
        if (m_editedMove.StepCount <= 0 && m_editedMove.RepeatCount < 1)
            m_editedMove.RepeatCount = 1;
        m_name->setText(moveName(m_editedMove));
        m_speed->setValue(m_editedMove.Speed);
        m_repeatCount->setCurrentIndex(m_editedMove.RepeatCount >= 1 && m_editedMove.RepeatCount <= m_repeatCount->count()
                                   ? m_editedMove.RepeatCount - 1
                                   : -1);
        (m_editedMove.Overlap != 0 ? m_overlap : m_oneByOne)->setChecked(true);
    }
    m_steps->repaintGrid();
}

void TForm4::Edit1Change(const QString& text) {
    // setMoveName keeps the first 250 bytes, never half of a double-byte character.
    setMoveName(m_editedMove, toBig5(text));
}

void TForm4::sb1Change(int position) {
    m_editedMove.Speed = position;
}

void TForm4::cb1Change(int index) {
    if (index < 0) {
        m_repeatCount->setCurrentIndex(0); // calls this handler again with item 0
        return;
    }
    m_editedMove.RepeatCount = index + 1;
}

void TForm4::RadioButton1Click() {
    m_editedMove.Overlap = m_overlap->isChecked() ? 1 : 0;
}

void TForm4::RadioButton2Click() {
    m_editedMove.Overlap = m_overlap->isChecked() ? 1 : 0;
}

void TForm4::SpeedButton1Click() {
    m_steps->selectRow(1);
    m_editedMove.StepCount = 0;
    m_steps->repaintGrid();
    if (m_recorder) {
        m_recorder->prepareRecording();
        Modal::exec(*m_recorder);
    }
    LoadEditor();
}

QString TForm4::cellText(int col, int row) const {
    if (row == 0)
        return col == 0 ? QCoreApplication::translate("Vornik", "按鍵編號")
                        : col == 1 ? QCoreApplication::translate("Vornik", "內容") : QString();
    if (col == 0)
        return QString::number(row);
    if (col != 1 || row > kMaxMoveSteps)
        return {};
    if (row > m_editedMove.StepCount)
        return QCoreApplication::translate("Vornik", "沒有");
    return stepText(m_editedMove.Steps[row]);
}

DrawOps TForm4::cellOps(int col, int row, const QRect& rect) const {
    const int left = rect.left();
    const int right = rect.left() + rect.width();
    const int cx = (left + right - 45) / 2;
    const int my = (rect.top() + rect.top() + rect.height()) / 2;
    const QPoint centred(cx, my - 5);
    DrawOps ops;
    if (row == 0) {
        if (col == 0)
            ops.push_back(textOp(QCoreApplication::translate("Vornik", "按鍵編號"), centred));
        else if (col == 1)
            ops.push_back(textOp(QCoreApplication::translate("Vornik", "內容"), centred));
        return ops;
    }
    if (col == 0) {
        ops.push_back(textOp(QString::number(row), centred));
        return ops;
    }
    if (col != 1 || row > kMaxMoveSteps)
        return ops;
    if (row > m_editedMove.StepCount) {
        ops.push_back(textOp(QCoreApplication::translate("Vornik", "沒有"), centred));
        return ops;
    }
    const MoveStep& step = m_editedMove.Steps[row];
    static const QPixmap noPicture;
    const KeyMap& map = m_keyMap ? *m_keyMap : emptyKeyMap();
    const QPixmap& keybu = m_keyboard ? *m_keyboard : noPicture;
    const QFontMetrics metrics = m_steps->fontMetrics();
    int x = 0;
    // A chord key is shown only after a key.
    for (const int key : {step.Key, step.ChordKey}) {
        if (key == 0)
            break;
        x += appendKeyPicture(ops, map, keybu, key, left + 5 + x, my, metrics) + 10;
    }
    return ops;
}

void TForm4::l1DrawCell(int col, int row, QPainter& painter, const QRect& rect) {
    paintDrawOps(painter, cellOps(col, row, rect));
}

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

} // namespace vornik::ui
