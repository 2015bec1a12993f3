#include "JoystickPages.h"

#include "DrawGrid.h"
#include "Texts.h"

#include <QCoreApplication>

namespace vornik::ui {

namespace {
// The entry a straight direction's picture stands for (pictures 1..4: up, down, left, right, as the
// entries from `up` on); 0 for the centre and the diagonals.
int directionEntry(int picture, int up) {
    return picture >= 1 && picture <= 4 ? up + picture - 1 : 0;
}
} // namespace

JoystickPages::JoystickPages(Configuration& config, PictureStore& pictures)
    : m_config(config), m_pictures(pictures), m_grid(config, pictures, m_pages) {}

void JoystickPages::setPageControl(QTabWidget* pages, Hooks hooks) {
    m_tabs = pages;
    m_hooks = std::move(hooks);
}

void JoystickPages::add(int n, int index, const QSize& size) {
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("JoystickSheet%1").arg(n));
    sheet->resize(size);
    const QString name = QString::fromStdString(m_config.name(n));
    JoystickPage& shown = page(n);
    BuildJoystickPage(shown, sheet, m_config.caps(n), m_config.present(n), m_pictures);
    ShowJoystickName(shown, sheet, name);
    // A ticked stop box stops its bindings, which would otherwise never release their keys.
    if (shown.StopCheckBox != nullptr)
        QObject::connect(shown.StopCheckBox, &QCheckBox::toggled, sheet, [this](bool on) {
            if (on && m_hooks.stopTicked)
                m_hooks.stopTicked();
        });
    if (shown.PadSettingsButton != nullptr)
        QObject::connect(shown.PadSettingsButton, &QToolButton::clicked, sheet, [this, n] {
            // The grid says what a stick that drives the pointer or the wheel does.
            if (m_hooks.editPadSettings && m_hooks.editPadSettings(n))
                layOutGrid(n);
        });
    fillLayerBox(shown, m_config.pad(n));
    vornik::ui::showActiveLayer(shown, m_config.pad(n), 1);
    if (shown.LayerBox != nullptr)
        QObject::connect(shown.LayerBox, &QComboBox::currentIndexChanged, sheet, [this, n] {
            if (DrawGrid* grid = page(n).BindingGrid)
                grid->repaintGrid();
        });
    if (shown.BindingGrid != nullptr) {
        shown.BindingGrid->setTag(n);
        shown.BindingGrid->setOnDrawCell([this](DrawGrid& grid, int col, int row, QPainter& p, const QRect& r) {
            m_grid.DCell(grid, col, row, p, r);
        });
        shown.BindingGrid->setOnDblClick([this](DrawGrid& grid) { m_grid.DbC(grid); });
        shown.BindingGrid->setOnCellText(
            [this](const DrawGrid& grid, int col, int row) { return m_grid.cellText(grid.tag(), col, row); });
    }
    // Built before it goes in: the controls of a page added to a shown window then show with it.
    m_tabs->setTabToolTip(m_tabs->insertTab(index, sheet, QCoreApplication::translate("Vornik", "搖桿 %1").arg(n)),
                          name);
    m_count = n;
}

void JoystickPages::attach(int joystick, QWidget* before) {
    // Inserting a page leaves the current page current.
    add(joystick, m_tabs->indexOf(before), before->size());
    layOutGrid(joystick);
}

void JoystickPages::layOutGrids() {
    for (int n = 1; n <= m_count; ++n)
        layOutGrid(n);
}

void JoystickPages::layOutGrid(int n) {
    // The layers' names may have changed with the pad's settings or a profile.
    fillLayerBox(page(n), m_config.pad(n));
    if (page(n).ActiveLayerLabel != nullptr)
        vornik::ui::showActiveLayer(page(n), m_config.pad(n),
                                    std::max(page(n).ActiveLayerLabel->property("layer").toInt(), 1));
    SetupJoystickGrid(page(n).BindingGrid, m_config.caps(n), m_config.present(n), &m_config.joystickBindings[n]);
}

void JoystickPages::selectShownRow(int joystick, int entry) {
    DrawGrid* grid = page(joystick).BindingGrid;
    QWidget* shown = m_tabs != nullptr ? m_tabs->currentWidget() : nullptr;
    if (entry == 0 || grid == nullptr || shown == nullptr || !shown->isAncestorOf(grid))
        return;
    for (int row = 1; row < grid->rowCount(); ++row) {
        if (joystickEntryOfRow(row, m_config.caps(joystick), &m_config.joystickBindings[joystick]) == entry) {
            grid->selectRow(row);
            return;
        }
    }
}

QString JoystickPages::showActiveLayer(int joystick, int layer) {
    vornik::ui::showActiveLayer(page(joystick), m_config.pad(joystick), layer);
    return layerName(m_config.pad(joystick), layer);
}

void JoystickPages::showDirection(int joystick, int picture) {
    showDirectionPicture(page(joystick), m_pictures, picture);
    selectShownRow(joystick, directionEntry(picture, kEntryUp));
}

void JoystickPages::showButton(int joystick, int button, bool pressed) {
    showButtonPicture(page(joystick), m_pictures, button, pressed);
    if (pressed)
        selectShownRow(joystick, buttonEntry(button));
}

void JoystickPages::showRightStick(int joystick, int picture) {
    showRightStickPicture(page(joystick), m_pictures, picture);
    selectShownRow(joystick, directionEntry(picture, kEntryRightUp));
}

void JoystickPages::showTrigger(int joystick, int trigger, bool pressed) {
    showTriggerPressed(page(joystick), trigger, pressed);
    if (pressed)
        selectShownRow(joystick, trigger == 1 ? kEntryLeftTrigger : kEntryRightTrigger);
}

} // namespace vornik::ui
