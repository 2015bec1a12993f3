#include "MoveRecorder.h"

#include "ButtonGlyphs.h"
#include "DrawGrid.h"
#include "Fonts.h"
#include "MoveEditor.h"
#include "Named.h"
#include "QtKeyToVk.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QScreen>

namespace vornik::ui {

namespace {

QString savedText(int count) {
    return QCoreApplication::translate("Vornik", "儲存了 %1 個鍵").arg(count);
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

    // The labels take the size of their text.
    named(new QLabel(QCoreApplication::translate("Vornik", "現在錄製中，如果要結束錄影的話"), this), "Label1", {8, 16, 0, 0})
        ->adjustSize();
    named(new QLabel(QCoreApplication::translate("Vornik", "請按右下方的鍵離開。"), this), "Label2", {8, 32, 0, 0})->adjustSize();
    m_status = named(new QLabel(savedText(0), this), "Label3", {8, 64, 0, 0});
    QPalette blue = m_status->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    m_status->setPalette(blue);
    m_status->adjustSize();

    // Buttons that never take the focus: every key goes to the recording.
    m_compoundKey = named(new QToolButton(this), "SpeedButton2", {135, 56, 23, 25});
    m_compoundKey->setIcon(compoundKeyGlyph());
    m_compoundKey->setToolTip(QCoreApplication::translate("Vornik", "複合鍵"));
    m_stopRecording = named(new QToolButton(this), "SpeedButton1", {160, 56, 81, 25});
    m_stopRecording->setIcon(checkMarkGlyph());
    m_stopRecording->setText(QCoreApplication::translate("Vornik", "結束錄製"));
    m_stopRecording->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (QToolButton* button : {m_compoundKey, m_stopRecording})
        button->setFocusPolicy(Qt::NoFocus);

    connect(m_compoundKey, &QToolButton::clicked, this, &TForm5::SpeedButton2Click);
    connect(m_stopRecording, &QToolButton::clicked, this, &TForm5::SpeedButton1Click);
}

void TForm5::setStatus(const QString& text) {
    m_status->setText(text);
    m_status->adjustSize();
}

void TForm5::prepareRecording() {
    setStatus(savedText(0));
    m_compoundKey->show();
    m_awaitingCompoundKey = false;
}

void TForm5::FormKeyDown(int key) {
    if (!m_editor)
        return;
    Move& move = m_editor->EditedMove();
    if (m_awaitingCompoundKey) {
        m_awaitingCompoundKey = false;
        m_compoundKey->show();
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
    m_compoundKey->hide();
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
