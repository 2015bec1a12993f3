#pragma once

// The keyboard page ("鍵盤"): the check box "停止作用", the clickable keyboard picture `Image1`
// and the list `l3` with one row per labelled key.

#include "Configuration.h"

#include <QCheckBox>
#include <QLabel>
#include <QTreeWidget>

#include <functional>

namespace vornik::ui {

class PictureStore;
class TForm6;

class KeyboardPage : public QWidget {
    Q_OBJECT
public:
    KeyboardPage(Configuration& config, const PictureStore& pictures, QWidget* parent = nullptr);

    void setDialog(TForm6* dialog) { m_dialog = dialog; }
    // Runs when the dialog is about to open and none has been handed over: whoever builds the
    // dialogs builds them now, when first needed.
    void setOnDialogNeeded(std::function<void()> needed) { m_dialogNeeded = std::move(needed); }
    // Runs after a binding was written back.
    void setOnBindingEdited(std::function<void()> edited) { m_edited = std::move(edited); }

    // Rebuilds l3 from the keyboard binding table; the selection is lost.
    void FillKeyBindingList();
    // A press on the keyboard picture at picture coordinates x, y: selects the key's row.
    void Image1MouseDown(int x, int y);
    // Opens TForm6 for the selected row and writes the entry back on OK.
    void l3DblClick();

    QCheckBox* CheckBox5() const { return m_stopBox; }
    QLabel* Image1() const { return m_keyboard; }
    QTreeWidget* l3() const { return m_bindingList; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Configuration& m_config;
    TForm6* m_dialog = nullptr;
    std::function<void()> m_dialogNeeded;
    std::function<void()> m_edited;
    QCheckBox* m_stopBox;
    QLabel* m_keyboard;
    QTreeWidget* m_bindingList;
    QIcon m_rowIcon;
};

} // namespace vornik::ui
