#include "MovePage.h"

#include "DrawGrid.h"
#include "PictureStore.h"

namespace vornik::ui {

MovePage::MovePage(Configuration& config, const PictureStore& pictures, QWidget* parent)
    : QWidget(parent), m_config(config), m_pictures(pictures) {
    m_button1 = new QPushButton(QStringLiteral("編輯"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(1, 0, 57, 25);
    m_button2 = new QPushButton(QStringLiteral("刪除"), this);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setGeometry(61, 0, 57, 25);
    m_l1 = new DrawGrid(this);
    m_l1->setObjectName(QStringLiteral("l1"));
    m_l1->setGeometry(0, 26, 528, 292);
    connect(m_button1, &QPushButton::clicked, this, &MovePage::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &MovePage::Button2Click);
}

void MovePage::setDialogs(TForm4* editor, TForm5* recorder) {
    m_editor = editor;
    m_recorder = recorder;
}

void MovePage::RefreshMoveGrid() {
    m_l1->setDefaultRowHeight(32);
    m_l1->setColCount(3);
    m_l1->setRowCount(101);
    const int widths[] = {55, 150, 270};
    for (int c = 0; c < 3; ++c)
        m_l1->setColWidth(c, widths[c]);
    m_l1->repaintGrid();
}

void MovePage::Button1Click() {}

void MovePage::Button2Click() {}

} // namespace vornik::ui
