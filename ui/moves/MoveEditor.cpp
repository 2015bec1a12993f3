#include "MoveEditor.h"

#include "ButtonGlyphs.h"
#include "DrawGrid.h"
#include "FixedItemHeight.h"
#include "Fonts.h"
#include "Modal.h"
#include "MoveRecorder.h"
#include "Texts.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>

namespace vornik::ui {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, QPoint at, QColor color = {}) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    if (color.isValid()) {
        QPalette palette = l->palette();
        palette.setColor(QPalette::WindowText, color);
        l->setPalette(palette);
    }
    l->move(at);
    l->adjustSize();
    return l;
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

    label(this, "Label1", QCoreApplication::translate("Vornik", "名稱："), {8, 16});
    m_edit1 = new QLineEdit(this);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setGeometry(48, 8, 177, 21);
    label(this, "Label2", QCoreApplication::translate("Vornik", "速度："), {8, 35});
    label(this, "Label3", QCoreApplication::translate("Vornik", "快"), {48, 35}, Qt::red);
    m_sb1 = new QScrollBar(Qt::Horizontal, this);
    m_sb1->setObjectName(QStringLiteral("sb1"));
    m_sb1->setGeometry(64, 32, 145, 18);
    m_sb1->setRange(0, 100);
    m_sb1->setSingleStep(1);
    label(this, "Label4", QCoreApplication::translate("Vornik", "慢"), {214, 35}, Qt::blue);

    m_cb1 = new QComboBox(this);
    m_cb1->setObjectName(QStringLiteral("cb1"));
    m_cb1->setGeometry(232, 8, 169, 22);
    m_cb1->setEditable(false);
    setFixedItemHeight(m_cb1, 16);

    // The two press modes form one group inside their frame.
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("RadioFrame"));
    frame->setGeometry(232, 31, 169, 23);
    m_radioButton1 = new QRadioButton(QCoreApplication::translate("Vornik", "重疊"), frame);
    m_radioButton1->setObjectName(QStringLiteral("RadioButton1"));
    m_radioButton1->move(250 - 232, 34 - 31);
    m_radioButton1->adjustSize();
    m_radioButton2 = new QRadioButton(QCoreApplication::translate("Vornik", "非重疊"), frame);
    m_radioButton2->setObjectName(QStringLiteral("RadioButton2"));
    m_radioButton2->move(314 - 232, 34 - 31);
    m_radioButton2->adjustSize();

    m_speedButton1 = new QToolButton(this);
    m_speedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    m_speedButton1->setGeometry(408, 8, 41, 41);
    m_speedButton1->setIcon(recordGlyph());
    m_speedButton1->setIconSize(QSize(24, 24));
    m_speedButton1->setAutoRaise(false);
    m_speedButton1->setToolTip(QCoreApplication::translate("Vornik", "錄製"));

    m_l1 = new DrawGrid(this);
    m_l1->setObjectName(QStringLiteral("l1"));
    m_l1->setGeometry(0, 56, 449, 233);
    m_l1->setOnDrawCell([this](DrawGrid&, int col, int row, QPainter& painter, const QRect& rect) {
        l1DrawCell(col, row, painter, rect);
    });

    m_bitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    m_bitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    m_bitBtn2->setGeometry(296, 296, 75, 25);
    m_bitBtn2->setDefault(true);
    m_bitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
    m_bitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    m_bitBtn1->setGeometry(376, 296, 75, 25);
    m_bitBtn1->setAutoDefault(false);

    connect(m_edit1, &QLineEdit::textChanged, this, &TForm4::Edit1Change);
    connect(m_sb1, &QScrollBar::valueChanged, this, &TForm4::sb1Change);
    connect(m_cb1, &QComboBox::currentIndexChanged, this, &TForm4::cb1Change);
    connect(m_radioButton1, &QRadioButton::clicked, this, &TForm4::RadioButton1Click);
    connect(m_radioButton2, &QRadioButton::clicked, this, &TForm4::RadioButton2Click);
    connect(m_speedButton1, &QToolButton::clicked, this, &TForm4::SpeedButton1Click);
    connect(m_bitBtn2, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_bitBtn1, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

void TForm4::FormCreate() {
    for (int n = 1; n <= 300; ++n)
        m_cb1->addItem(QCoreApplication::translate("Vornik", "重複次數： %1").arg(n));
    LoadEditor();
}

void TForm4::setKeyPictures(const KeyMap* map, const QPixmap* keyboard) {
    m_keyMap = map;
    m_keyboard = keyboard;
    m_l1->repaintGrid();
}

void TForm4::LoadEditor() {
    m_l1->setDefaultRowHeight(24);
    m_l1->setColCount(2);
    m_l1->setRowCount(1 + kMaxMoveSteps);
    m_l1->setColWidth(0, 70);
    m_l1->setColWidth(1, 350);
    {
        // The handlers would only write back what is being loaded; blocking them keeps
        // EditedMove exactly as it is, even for values a control cannot show.
        const QSignalBlocker edit(m_edit1), bar(m_sb1), combo(m_cb1), overlap(m_radioButton1), oneByOne(m_radioButton2);
        m_edit1->setText(moveName(m_editedMove));
        m_sb1->setValue(m_editedMove.Speed);
        m_cb1->setCurrentIndex(m_editedMove.RepeatCount >= 1 && m_editedMove.RepeatCount <= m_cb1->count()
                                   ? m_editedMove.RepeatCount - 1
                                   : -1);
        (m_editedMove.Overlap != 0 ? m_radioButton1 : m_radioButton2)->setChecked(true);
    }
    m_l1->repaintGrid();
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
        m_cb1->setCurrentIndex(0); // calls this handler again with item 0
        return;
    }
    m_editedMove.RepeatCount = index + 1;
}

void TForm4::RadioButton1Click() {
    m_editedMove.Overlap = m_radioButton1->isChecked() ? 1 : 0;
}

void TForm4::RadioButton2Click() {
    m_editedMove.Overlap = m_radioButton1->isChecked() ? 1 : 0;
}

void TForm4::SpeedButton1Click() {
    m_l1->selectRow(1);
    m_editedMove.StepCount = 0;
    m_l1->repaintGrid();
    if (m_recorder) {
        m_recorder->prepareRecording();
        Modal::exec(*m_recorder);
    }
    LoadEditor();
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
    const QFontMetrics metrics = m_l1->fontMetrics();
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
