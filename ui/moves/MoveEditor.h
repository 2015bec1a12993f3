#pragma once

// TForm4, the move editor "設定招式": names one move and sets its speed, repeat count and press mode, records
// its keys through the recorder and shows its steps. It works on its own copy of a move, `EditedMove`;
// whoever opens it copies a slot in before and back only when it closes with OK.

#include "KeyMap.h"
#include "KeyPicture.h"
#include "Tables.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>

namespace vornik::ui {

class DrawGrid;
class TForm5;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    // Where key pictures come from; without them every key is drawn as its framed label.
    void setKeyPictures(const KeyMap* map, const QPixmap* keyboard);
    void setRecorder(TForm5* recorder) { m_recorder = recorder; }

    Move& EditedMove() { return m_editedMove; }
    const Move& EditedMove() const { return m_editedMove; }

    // Copies EditedMove into the controls; loading never changes EditedMove.
    void LoadEditor();

    // The control handlers, each writing one field of EditedMove.
    void Edit1Change(const QString& text);
    void sb1Change(int position);
    void cb1Change(int index);
    void RadioButton1Click();
    void RadioButton2Click();
    // Records the move's keys anew through the recorder.
    void SpeedButton1Click();

    // What one cell of the steps grid shows.
    DrawOps cellOps(int col, int row, const QRect& rect) const;
    // The cell's text for screen readers: the step's number, its key and chord key.
    QString cellText(int col, int row) const;
    void l1DrawCell(int col, int row, QPainter& painter, const QRect& rect);

    DrawGrid* l1() const { return m_steps; }
    QLineEdit* Edit1() const { return m_name; }
    QScrollBar* sb1() const { return m_speed; }
    QComboBox* cb1() const { return m_repeatCount; }
    QRadioButton* RadioButton1() const { return m_overlap; }
    QRadioButton* RadioButton2() const { return m_oneByOne; }
    QToolButton* SpeedButton1() const { return m_record; }
    QPushButton* BitBtn1() const { return m_cancel; }
    QPushButton* BitBtn2() const { return m_ok; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();

    Move m_editedMove;
    const KeyMap* m_keyMap = nullptr;
    const QPixmap* m_keyboard = nullptr;
    TForm5* m_recorder = nullptr;

    QLineEdit* m_name;
    QScrollBar* m_speed;
    QComboBox* m_repeatCount;
    QRadioButton* m_overlap;
    QRadioButton* m_oneByOne;
    QToolButton* m_record;
    DrawGrid* m_steps;
    QPushButton* m_cancel;
    QPushButton* m_ok;
};

} // namespace vornik::ui
