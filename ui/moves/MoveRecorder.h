#pragma once

// TForm5, the move recorder "錄製中...": every key-down it receives becomes the next step of the
// editor's working copy of a move; the compound-key button makes the next key the last step's second
// key. It has no close box and no control that takes the focus, so every key, Enter and Esc included,
// comes here.

#include <QDialog>
#include <QLabel>
#include <QToolButton>

namespace vornik::ui {

class TForm4;

class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);

    void setEditor(TForm4* editor) { m_editor = editor; }

    // Before each recording: status "儲存了 0 個鍵", compound-key button shown, no compound key awaited.
    void prepareRecording();

    // One key-down with its virtual-key code.
    void FormKeyDown(int key);
    // The compound-key button.
    void SpeedButton2Click();
    // "結束錄製": closes the dialog; the steps recorded so far stay.
    void SpeedButton1Click();

    bool AwaitingCompoundKey() const { return m_awaitingCompoundKey; }
    QLabel* Label3() const { return m_status; }
    QToolButton* SpeedButton1() const { return m_stopRecording; }
    QToolButton* SpeedButton2() const { return m_compoundKey; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void showEvent(QShowEvent* event) override;

private:
    void setStatus(const QString& text);

    TForm4* m_editor = nullptr;
    bool m_awaitingCompoundKey = false;
    QLabel* m_status;
    QToolButton* m_compoundKey;
    QToolButton* m_stopRecording;
};

} // namespace vornik::ui
