#include "MoveRecorder.h"

#include "ButtonGlyphs.h"
#include "DrawGrid.h"
#include "Fonts.h"
#include "QtKeyToVk.h"
#include "MoveEditor.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QScreen>

namespace vornik::ui {

namespace {

QString savedText(int count) {
    return QCoreApplication::translate("Vornik", "儲存了 %1 個鍵").arg(count);
}

QLabel* label(QWidget* parent, const char* name, const QString& text, QPoint at) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(at);
    l->adjustSize();
    return l;
}

QToolButton* flatButton(QWidget* parent, const char* name, const QRect& geometry, const QPixmap& glyph) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(geometry);
    b->setIcon(glyph);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm5"));
    // A title bar with no buttons on it: the dialog cannot be closed from its frame.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QCoreApplication::translate("Vornik", "錄製中..."));
    setFont(programFont(12));
    setFixedSize(245, 83);
    setFocusPolicy(Qt::StrongFocus);

    label(this, "Label1", QCoreApplication::translate("Vornik", "現在錄製中，如果要結束錄影的話"), {8, 16});
    label(this, "Label2", QCoreApplication::translate("Vornik", "請按右下方的鍵離開。"), {8, 32});
    m_label3 = label(this, "Label3", savedText(0), {8, 64});
    QPalette blue = m_label3->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    m_label3->setPalette(blue);

    m_speedButton2 = flatButton(this, "SpeedButton2", {135, 56, 23, 25}, compoundKeyGlyph());
    m_speedButton2->setToolTip(QCoreApplication::translate("Vornik", "複合鍵"));
    m_speedButton1 = flatButton(this, "SpeedButton1", {160, 56, 81, 25}, checkMarkGlyph());
    m_speedButton1->setText(QCoreApplication::translate("Vornik", "結束錄製"));
    m_speedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    connect(m_speedButton2, &QToolButton::clicked, this, &TForm5::SpeedButton2Click);
    connect(m_speedButton1, &QToolButton::clicked, this, &TForm5::SpeedButton1Click);
}

void TForm5::setStatus(const QString& text) {
    m_label3->setText(text);
    m_label3->adjustSize();
}

void TForm5::prepareRecording() {
    setStatus(savedText(0));
    m_speedButton2->show();
    m_awaitingCompoundKey = false;
}

void TForm5::FormKeyDown(int key) {
    if (!m_editor)
        return;
    Move& move = m_editor->EditedMove();
    if (m_awaitingCompoundKey) {
        m_awaitingCompoundKey = false;
        m_speedButton2->show();
        move.Steps[move.StepCount].ChordKey = static_cast<uint16_t>(key);
        setStatus(QCoreApplication::translate("Vornik", "設定了第%1號複合鍵").arg(move.StepCount));
    } else if (move.StepCount >= kMaxMoveSteps) {
        // The 101st key ends the recording and is not stored.
        reject();
    } else {
        ++move.StepCount;
        move.Steps[move.StepCount] = MoveStep{static_cast<uint16_t>(key), 0};
        setStatus(savedText(move.StepCount));
        // The selection rests on the next free step row.
        DrawGrid* grid = m_editor->l1();
        grid->selectRow(grid->selectionTop() + 1);
    }
    m_editor->LoadEditor();
}

void TForm5::SpeedButton2Click() {
    if (!m_editor || m_editor->EditedMove().StepCount <= 0)
        return;
    m_awaitingCompoundKey = true;
    m_speedButton2->hide();
    setStatus(QCoreApplication::translate("Vornik", "準備輸入複合鍵"));
}

void TForm5::SpeedButton1Click() {
    reject();
}

bool TForm5::event(QEvent* event) {
    // No shortcut may take a key away from the recording.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QDialog::event(event);
}

// Not the dialog's own handling: Enter and Esc close nothing here.
void TForm5::keyPressEvent(QKeyEvent* event) {
    event->accept();
    // Auto-repeats are key-downs too; a key with no code of ours is not stored.
    if (const int key = keyEventToVk(*event); key != 0)
        FormKeyDown(key);
}

// Tab and Shift+Tab move no focus; they reach keyPressEvent like any other key.
bool TForm5::focusNextPrevChild(bool) {
    return false;
}

void TForm5::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

} // namespace vornik::ui
