#pragma once

// The move page ("招式記錄"): the grid `l1` of the 100 move slots, "編輯" and "刪除". The grid keeps no
// data of its own: every cell is painted from the move table when it is painted.

#include "Configuration.h"
#include "KeyPicture.h"

#include <QPushButton>
#include <QWidget>

#include <functional>

namespace vornik::ui {

class DrawGrid;
class PictureStore;
class TForm4;
class TForm5;

class MovePage : public QWidget {
    Q_OBJECT
public:
    MovePage(Configuration& config, const PictureStore& pictures, QWidget* parent = nullptr);

    // The editor and the recorder are created after the main window and handed over here.
    void setDialogs(TForm4* editor, TForm5* recorder);
    // Runs when the editor is about to open and none has been handed over: whoever builds the
    // dialogs builds them now, when first needed.
    void setOnDialogNeeded(std::function<void()> needed) { m_dialogNeeded = std::move(needed); }
    // Called after every change of move names, so the keyboard list shows them.
    void setOnMovesChanged(std::function<void()> changed) { m_movesChanged = std::move(changed); }

    void RefreshMoveGrid();
    // What one cell shows: the rectangle is the cell's, in the grid's coordinates.
    DrawOps cellOps(int col, int row, const QRect& rect) const;
    // The cell's text for screen readers: the number, the name, the steps' keys.
    QString cellText(int col, int row) const;
    void l1DrawCell(int col, int row, QPainter& painter, const QRect& rect);
    // Edits the selected slot; the slot changes only when the editor closes with OK.
    void l1DblClick();
    void Button1Click();
    // Empties every name and step count after the user confirms.
    void Button2Click();

    DrawGrid* l1() const { return m_moveGrid; }
    QPushButton* Button1() const { return m_edit; }
    QPushButton* Button2() const { return m_deleteAll; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Configuration& m_config;
    const PictureStore& m_pictures;
    TForm4* m_editor = nullptr;
    TForm5* m_recorder = nullptr;
    std::function<void()> m_dialogNeeded;
    std::function<void()> m_movesChanged;
    QPushButton* m_edit;
    QPushButton* m_deleteAll;
    DrawGrid* m_moveGrid;
};

} // namespace vornik::ui
