#pragma once

// The move page ("招式記錄"): the grid `l1` of the 100 move slots, "編輯" and "刪除".

#include "Configuration.h"

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
    // Called after every change of move names, so the keyboard list shows them.
    void setOnMovesChanged(std::function<void()> changed) { m_movesChanged = std::move(changed); }

    void RefreshMoveGrid();
    void Button1Click();
    void Button2Click();

    DrawGrid* l1() const { return m_l1; }

private:
    Configuration& m_config;
    const PictureStore& m_pictures;
    TForm4* m_editor = nullptr;
    TForm5* m_recorder = nullptr;
    std::function<void()> m_movesChanged;
    QPushButton* m_button1;
    QPushButton* m_button2;
    DrawGrid* m_l1;
};

} // namespace vornik::ui
