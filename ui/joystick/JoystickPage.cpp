#include "JoystickPage.h"

#include "DrawGrid.h"
#include "JoystickGrid.h"
#include "Named.h"
#include "PictureStore.h"
#include "Texts.h"

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
constexpr int kTriggerHeight = 16; // a trigger's label under a stick's picture
constexpr int kLayerRow = 26;      // the layer line above the grid

// On a pad with a right stick its picture stands right of the direction picture, and everything
// right of them moves along by one picture.
int rightStickShift(const JoystickCaps& caps) {
    return caps.has(PadHasRightStick) ? kPicture + kNameGap : 0;
}

// Between the direction picture (and the right stick's) and the first column of button pictures,
// level with the direction picture: the one place of the page that no control takes at any button
// count. The name's line at its top, the settings button below it.
QRect besideDirection(const QWidget* direction, int shift, int top, int height) {
    const int left = kDirectionLeft + kPicture + kNameGap + shift;
    return {left, direction->y() + top, kButtonsLeft + shift - kNameGap - left, height};
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
    const int shift = rightStickShift(caps);
    for (int b = 1; b <= buttons; ++b) {
        auto* picture = named(new PictureControl(sheet), QStringLiteral("ButtonPicture%1").arg(b),
                              {kPicture * ((b - 1) % 8) + kButtonsLeft + shift,
                               kPicture * ((b - 1) / 8) + kButtonsTop, kPicture, kPicture});
        picture->setPixmap(pictures.button(b, ButtonState::Released));
        const std::string_view label = padButtonLabel(caps.family, caps.role(b));
        if (!label.empty())
            picture->setToolTip(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
        page.ButtonPictures[static_cast<std::size_t>(b - 1)] = picture;
    }
    // Centred on the rows of button pictures; with no buttons, on where one row would stand.
    const int lastTop = kPicture * ((std::max(buttons, 1) - 1) / 8) + kButtonsTop;
    page.DirectionPicture = named(new PictureControl(sheet), "DirectionPicture",
                                  {kDirectionLeft, (kPicture + lastTop + kButtonsTop) / 2 - kPicture / 2, kPicture, kPicture});
    page.DirectionPicture->setPixmap(pictures.mimg(0));
    if (shift != 0) {
        page.RightStickPicture =
            named(new PictureControl(sheet), "RightStickPicture",
                  page.DirectionPicture->geometry().translated(kPicture + kNameGap, 0));
        page.RightStickPicture->setPixmap(pictures.mimg(0));
        page.RightStickPicture->setToolTip(QCoreApplication::translate("Vornik", "右搖桿"));
        page.DirectionPicture->setToolTip(QCoreApplication::translate("Vornik", "左搖桿與方向鍵"));
    }
    // The triggers under the sticks, the left one's under the direction picture, the right one's
    // beside it; the grid keeps clear of them.
    int gridTop = lastTop + kPicture + kGridGap;
    for (int i = 0; i < 2; ++i) {
        if (!caps.has(i == 0 ? PadHasLeftTrigger : PadHasRightTrigger))
            continue;
        const QRect under = page.DirectionPicture->geometry().translated(i * (kPicture + kNameGap), kPicture + 2);
        QLabel* trigger = named(new QLabel(triggerLabel(caps.family, i + 1), sheet),
                                i == 0 ? "LeftTriggerLabel" : "RightTriggerLabel",
                                {under.x(), under.y(), kPicture, kTriggerHeight});
        gridTop = std::max(gridTop, under.y() + kTriggerHeight + kNameGap);
        trigger->setAlignment(Qt::AlignCenter);
        trigger->setFrameShape(QFrame::Box);
        trigger->setAutoFillBackground(true);
        trigger->setBackgroundRole(QPalette::Window);
        trigger->setProperty("pressed", false);
        page.TriggerLabels[static_cast<std::size_t>(i)] = trigger;
    }

    // The boxes take the size of their text.
    page.StopCheckBox = named(new QCheckBox(QCoreApplication::translate("Vornik", "停止作用"), sheet), "StopCheckBox", {8, 8, 0, 0});
    page.StopCheckBox->adjustSize();
    page.TestCheckBox = named(new QCheckBox(QCoreApplication::translate("Vornik", "啟動測試"), sheet), "TestCheckBox", {8, 24, 0, 0});
    page.TestCheckBox->adjustSize();

    page.PadSettingsButton = named(new QToolButton(sheet), "PadSettingsButton",
                                   besideDirection(page.DirectionPicture, shift, kNameHeight, kSettingsHeight));
    page.PadSettingsButton->setText(QCoreApplication::translate("Vornik", "滑鼠設定…"));
    page.PadSettingsButton->setToolTip(QCoreApplication::translate(
        "Vornik", "搖桿用作對應功能、滑鼠指標或滑鼠滾輪，及其速度；搖桿的不動區；扳機的按下點"));

    // Above the grid, the layer it shows (and the binding dialog edits) and the one that answers now.
    auto* edited = named(new QLabel(QCoreApplication::translate("Vornik", "顯示及設定："), sheet), "LayerLabel",
                         {8, gridTop + 4, 0, 0});
    edited->adjustSize();
    page.LayerBox = named(new QComboBox(sheet), "LayerBox", {edited->geometry().right() + 4, gridTop, 170, 22});
    page.LayerBox->setAccessibleName(QCoreApplication::translate("Vornik", "顯示及設定哪一層"));
    edited->setBuddy(page.LayerBox);
    page.ActiveLayerLabel = named(new QLabel(sheet), "ActiveLayerLabel",
                                  {page.LayerBox->geometry().right() + 12, gridTop + 4, 220, 16});
    page.ActiveLayerLabel->setAccessibleName(QCoreApplication::translate("Vornik", "正在作用的層"));
    gridTop += kLayerRow;

    page.BindingGrid = new DrawGrid(sheet);
    page.BindingGrid->setObjectName(QStringLiteral("BindingGrid"));
    new BottomAlign(page.BindingGrid, gridTop);
}

void fillLayerBox(JoystickPage& page, const PadSettings& pad) {
    if (page.LayerBox == nullptr)
        return;
    const int shown = std::max(page.LayerBox->currentIndex(), 0);
    const QSignalBlocker quiet(page.LayerBox);
    page.LayerBox->clear();
    for (int layer = 1; layer <= kMaxLayers; ++layer)
        page.LayerBox->addItem(layerName(pad, layer));
    page.LayerBox->setCurrentIndex(shown);
}

void showActiveLayer(JoystickPage& page, const PadSettings& pad, int layer) {
    if (page.ActiveLayerLabel == nullptr)
        return;
    page.ActiveLayerLabel->setText(QCoreApplication::translate("Vornik", "正在作用：%1").arg(layerName(pad, layer)));
    page.ActiveLayerLabel->setProperty("layer", layer);
}

void ShowJoystickName(JoystickPage& page, QWidget* sheet, const QString& name) {
    if (page.DirectionPicture == nullptr)
        return;
    const int shift = page.RightStickPicture != nullptr ? kPicture + kNameGap : 0;
    const QRect place = besideDirection(page.DirectionPicture, shift, 0, kNameHeight);
    const int width = place.width();
    page.NameLabel = named(new QLabel(sheet), "NameLabel", place);
    page.NameLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    page.NameLabel->setText(page.NameLabel->fontMetrics().elidedText(name, Qt::ElideRight, width));
    page.NameLabel->setToolTip(name);
}

void SetupJoystickGrid(DrawGrid* grid, const JoystickCaps& caps, bool present, const JoystickBlock* block) {
    if (grid == nullptr)
        return;
    grid->setDefaultRowHeight(32);
    grid->setColCount(4);
    grid->setRowCount(joystickButtonCount(caps) + 9 + static_cast<int>(padEntryRows(caps, block).size()));
    // A pad with a layout shows each button's name beside its picture.
    const int widths[] = {caps.family != PadFamily::Unknown ? 110 : 55, 200, 100, 100};
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

void showRightStickPicture(JoystickPage& page, const PictureStore& pictures, int picture) {
    if (page.RightStickPicture == nullptr || picture < 0 || picture > 8)
        return;
    page.RightStickPicture->assign(pictures.mimg(picture));
    page.RightStickPicture->setTag(picture == 0 ? 1 : 0);
    page.RightStickPicture->setProperty("picture", picture);
}

void showTriggerPressed(JoystickPage& page, int trigger, bool pressed) {
    if (trigger < 1 || trigger > 2)
        return;
    QLabel* label = page.TriggerLabels[static_cast<std::size_t>(trigger - 1)];
    if (label == nullptr)
        return;
    label->setBackgroundRole(pressed ? QPalette::Highlight : QPalette::Window);
    label->setForegroundRole(pressed ? QPalette::HighlightedText : QPalette::WindowText);
    label->setProperty("pressed", pressed);
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
