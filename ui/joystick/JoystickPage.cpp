#include "JoystickPage.h"

#include "DrawGrid.h"
#include "Named.h"
#include "PictureStore.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

namespace vornik::ui {

namespace {
constexpr int kPicture = 32;      // button and direction pictures are 32 x 32
constexpr int kButtonsLeft = 235; // first column of button pictures
constexpr int kButtonsTop = 10;   // first row of button pictures
constexpr int kGridGap = 10;      // between the last row of button pictures and the grid
constexpr int kDirectionLeft = 104;
constexpr int kNameGap = 4; // between the name and the pictures on either side of it
constexpr int kNameHeight = 17;   // the name's line, above the settings button
constexpr int kSettingsHeight = 20;

// Between the direction picture and the first column of button pictures, level with the direction
// picture: the one place of the page that no control takes at any button count. The name's line at
// its top, the settings button below it.
QRect besideDirection(const QWidget* direction, int top, int height) {
    const int left = kDirectionLeft + kPicture + kNameGap;
    return {left, direction->y() + top, kButtonsLeft - kNameGap - left, height};
}

// Keeps the grid aligned to the bottom of its page, full width, from a fixed top down.
class BottomAlign : public QObject {
public:
    BottomAlign(QWidget* grid, int top) : QObject(grid), m_grid(grid), m_top(top) {
        grid->parentWidget()->installEventFilter(this);
        place();
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_grid->parentWidget() && event->type() == QEvent::Resize)
            place();
        return false;
    }

private:
    void place() {
        const QWidget* sheet = m_grid->parentWidget();
        m_grid->setGeometry(0, m_top, sheet->width(), std::max(sheet->height() - m_top, 0));
    }
    QWidget* m_grid;
    int m_top;
};
} // namespace

int joystickButtonCount(const JoystickCaps& caps) {
    return static_cast<int>(std::min<uint32_t>(caps.wMaxButtons, kMaxButtons));
}

void BuildJoystickPage(JoystickPage& page, QWidget* sheet, const JoystickCaps& caps, bool present,
                       const PictureStore& pictures) {
    if (!present)
        return;
    const int buttons = joystickButtonCount(caps);
    for (int b = 1; b <= buttons; ++b) {
        auto* picture = named(new PictureControl(sheet), QStringLiteral("ButtonPicture%1").arg(b),
                              {kPicture * ((b - 1) % 8) + kButtonsLeft, kPicture * ((b - 1) / 8) + kButtonsTop,
                               kPicture, kPicture});
        picture->setPixmap(pictures.button(b, ButtonState::Released));
        page.ButtonPictures[static_cast<std::size_t>(b - 1)] = picture;
    }
    // Centred on the rows of button pictures; with no buttons, on where one row would stand.
    const int lastTop = kPicture * ((std::max(buttons, 1) - 1) / 8) + kButtonsTop;
    page.DirectionPicture = named(new PictureControl(sheet), "DirectionPicture",
                                  {kDirectionLeft, (kPicture + lastTop + kButtonsTop) / 2 - kPicture / 2, kPicture, kPicture});
    page.DirectionPicture->setPixmap(pictures.mimg(0));

    // The boxes take the size of their text.
    page.StopCheckBox = named(new QCheckBox(QCoreApplication::translate("Vornik", "停止作用"), sheet), "StopCheckBox", {8, 8, 0, 0});
    page.StopCheckBox->adjustSize();
    page.TestCheckBox = named(new QCheckBox(QCoreApplication::translate("Vornik", "啟動測試"), sheet), "TestCheckBox", {8, 24, 0, 0});
    page.TestCheckBox->adjustSize();

    page.PadSettingsButton = named(new QToolButton(sheet), "PadSettingsButton",
                                   besideDirection(page.DirectionPicture, kNameHeight, kSettingsHeight));
    page.PadSettingsButton->setText(QCoreApplication::translate("Vornik", "滑鼠設定…"));
    page.PadSettingsButton->setToolTip(
        QCoreApplication::translate("Vornik", "搖桿用作對應功能、滑鼠指標或滑鼠滾輪，及其速度"));

    page.BindingGrid = new DrawGrid(sheet);
    page.BindingGrid->setObjectName(QStringLiteral("BindingGrid"));
    new BottomAlign(page.BindingGrid, lastTop + kPicture + kGridGap);
}

void ShowJoystickName(JoystickPage& page, QWidget* sheet, const QString& name) {
    if (page.DirectionPicture == nullptr)
        return;
    const QRect place = besideDirection(page.DirectionPicture, 0, kNameHeight);
    const int width = place.width();
    page.NameLabel = named(new QLabel(sheet), "NameLabel", place);
    page.NameLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    page.NameLabel->setText(page.NameLabel->fontMetrics().elidedText(name, Qt::ElideRight, width));
    page.NameLabel->setToolTip(name);
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

void showDirectionPicture(JoystickPage& page, const PictureStore& pictures, int picture) {
    if (page.DirectionPicture == nullptr || picture < 0 || picture > 8)
        return;
    page.DirectionPicture->assign(pictures.mimg(picture));
    page.DirectionPicture->setTag(picture == 0 ? 1 : 0);
    page.DirectionPicture->setProperty("picture", picture);
}

void showButtonPicture(JoystickPage& page, const PictureStore& pictures, int button, bool pressed) {
    PictureControl* control = page.buttonPicture(button);
    if (control == nullptr)
        return;
    control->assign(pictures.button(button, pressed ? ButtonState::Pressed : ButtonState::Released));
    control->setTag(pressed ? 2 : 1);
    control->setProperty("pressed", pressed);
}

} // namespace vornik::ui
