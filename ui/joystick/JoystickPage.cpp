#include "JoystickPage.h"

#include "DrawGrid.h"
#include "PictureStore.h"

#include <algorithm>

namespace vornik::ui {

namespace {
constexpr int kPicture = 32; // button and direction pictures are 32 x 32
} // namespace

int joystickButtonCount(const JoystickCaps& caps) {
    return static_cast<int>(std::min<uint32_t>(caps.wMaxButtons, 32));
}

void BuildJoystickPage(JoystickPage& page, QWidget* sheet, const JoystickCaps& caps, bool present,
                       const PictureStore& pictures) {
    if (!present)
        return;
    const int buttons = joystickButtonCount(caps);
    for (int b = 1; b <= buttons; ++b) {
        auto* picture = new QLabel(sheet);
        picture->setObjectName(QStringLiteral("ButtonPicture%1").arg(b));
        picture->setPixmap(pictures.button(b, ButtonState::Released));
        picture->setGeometry(kPicture * ((b - 1) % 8) + 235, kPicture * ((b - 1) / 8) + 10, kPicture, kPicture);
        page.ButtonPictures[static_cast<std::size_t>(b - 1)] = picture;
    }
    // With no buttons the pictures are laid out as one row.
    const int lastTop = kPicture * ((std::max(buttons, 1) - 1) / 8) + 10;
    page.DirectionPicture = new QLabel(sheet);
    page.DirectionPicture->setObjectName(QStringLiteral("DirectionPicture"));
    page.DirectionPicture->setPixmap(pictures.mimg(0));
    page.DirectionPicture->setGeometry(104, (kPicture + lastTop + 10) / 2 - kPicture / 2, kPicture, kPicture);

    page.StopCheckBox = new QCheckBox(QStringLiteral("停止作用"), sheet);
    page.StopCheckBox->setObjectName(QStringLiteral("StopCheckBox"));
    page.StopCheckBox->move(8, 8);
    page.StopCheckBox->adjustSize();
    page.TestCheckBox = new QCheckBox(QStringLiteral("啟動測試"), sheet);
    page.TestCheckBox->setObjectName(QStringLiteral("TestCheckBox"));
    page.TestCheckBox->move(8, 24);
    page.TestCheckBox->adjustSize();

    page.BindingGrid = new DrawGrid(sheet);
    page.BindingGrid->setObjectName(QStringLiteral("BindingGrid"));
    const int top = lastTop + kPicture + 10;
    page.BindingGrid->setGeometry(0, top, sheet->width(), std::max(sheet->height() - top, 0));
}

void SetupJoystickGrid(DrawGrid* grid, const JoystickCaps& caps, bool present) {
    if (grid == nullptr)
        return;
    grid->setDefaultRowHeight(32);
    grid->setColCount(4);
    grid->setRowCount(joystickButtonCount(caps) + 9);
    const int widths[] = {55, 200, 100, 100};
    for (int c = 0; c < 4; ++c)
        grid->setColWidth(c, widths[c]);
    if (present)
        grid->repaintGrid();
}

} // namespace vornik::ui
