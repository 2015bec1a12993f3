#include "KeyboardPage.h"

#include "Fonts.h"
#include "KeyLabels.h"
#include "KeyboardBindingDialog.h"
#include "Modal.h"
#include "Named.h"
#include "PictureStore.h"
#include "Texts.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QMouseEvent>

#include <algorithm>

namespace vornik::ui {

namespace {
constexpr int kListTop = 128;
} // namespace

KeyboardPage::KeyboardPage(Configuration& config, const PictureStore& pictures, QWidget* parent)
    : QWidget(parent), m_config(config), m_rowIcon(pictures.appIcon().pixmap(16, 16)) {
    // The font the page is shown in (the page control's), before anything is sized: the box below
    // is sized once, here, and measuring its text in the default font would load a fallback font
    // for the Chinese characters only to measure them.
    setFont(programFont(12));
    m_stopBox = named(new QCheckBox(QCoreApplication::translate("Vornik", "停止作用"), this), "CheckBox5", {4, 4, 0, 0});
    m_stopBox->adjustSize();

    m_keyboard = named(new QLabel(this), "Image1", {94, 2, 427 + 4, 119 + 4});
    m_keyboard->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_keyboard->setLineWidth(2);
    m_keyboard->setPixmap(pictures.keyboardPicture());
    m_keyboard->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_keyboard->setCursor(Qt::PointingHandCursor);
    m_keyboard->installEventFilter(this);

    m_bindingList = named(new QTreeWidget(this), "l3", {0, kListTop, 528, 190});
    m_bindingList->setColumnCount(4);
    m_bindingList->setHeaderLabels(
        {QCoreApplication::translate("Vornik", "按鍵"), QCoreApplication::translate("Vornik", "對應招式"), QCoreApplication::translate("Vornik", "連發"), QCoreApplication::translate("Vornik", "連發速度")});
    const int widths[] = {100, 200, 90, 100};
    for (int c = 0; c < 4; ++c)
        m_bindingList->setColumnWidth(c, widths[c]);
    m_bindingList->header()->setSectionsClickable(false);
    m_bindingList->header()->setStretchLastSection(false);
    m_bindingList->setRootIsDecorated(false);
    m_bindingList->setUniformRowHeights(true);
    m_bindingList->setSortingEnabled(false);
    m_bindingList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_bindingList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_bindingList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_bindingList->setIconSize(QSize(16, 16));
    m_bindingList->setItemsExpandable(false);
    m_bindingList->setExpandsOnDoubleClick(false);
    m_bindingList->viewport()->installEventFilter(this);
}

bool KeyboardPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_keyboard && event->type() == QEvent::MouseButtonPress) {
        // Picture coordinates: the picture sits inside the label's raised frame.
        const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint() - m_keyboard->contentsRect().topLeft();
        Image1MouseDown(p.x(), p.y());
        return true;
    }
    if (watched == m_bindingList->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        l3DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// The list spans the page below the picture, down to its bottom edge.
void KeyboardPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_bindingList->setGeometry(0, kListTop, width(), std::max(height() - kListTop, 0));
}

void KeyboardPage::FillKeyBindingList() {
    m_bindingList->setUpdatesEnabled(false);
    m_bindingList->clear();
    QList<QTreeWidgetItem*> rows;
    std::size_t entry = 0;
    for (int code = 1; code <= 255 && entry < m_config.keyBindings.size(); ++code) {
        const std::string label = KeyLabel(static_cast<uint16_t>(code));
        if (label == "?")
            continue;
        const KeyBinding& b = m_config.keyBindings[entry++];
        auto* item = new QTreeWidgetItem(
            {QString::fromStdString(label),
             b.MoveNumber != 0 ? moveBindingText(m_config.moves, b.MoveNumber) : QCoreApplication::translate("Vornik", "沒有"),
             autoFireModeText(b.AutoFireMode), autoFireDelayText(b.AutoFireDelay)});
        item->setIcon(0, m_rowIcon);
        rows.append(item);
    }
    m_bindingList->addTopLevelItems(rows);
    m_bindingList->setUpdatesEnabled(true);
}

void KeyboardPage::Image1MouseDown(int x, int y) {
    const int r = FindKeyAtPoint(m_config.keyMap, x, y);
    m_bindingList->setFocus(Qt::MouseFocusReason);
    if (r == 0 || m_bindingList->topLevelItemCount() == 0)
        return;
    m_bindingList->setCurrentItem(m_bindingList->topLevelItem(0));
    const NamedKeyList& named = m_config.namedKeys;
    for (int p = 1; p <= named.Count; ++p) {
        if (named.Codes[p] != m_config.keyMap.Records[r].VirtualKey)
            continue;
        const int row = p - 2;
        // Position 1 is "NONE", which has no row: nothing stays selected.
        if (row < 0 || row >= m_bindingList->topLevelItemCount()) {
            m_bindingList->clearSelection();
            return;
        }
        m_bindingList->scrollToTop();
        m_bindingList->setCurrentItem(m_bindingList->topLevelItem(row));
        m_bindingList->scrollToItem(m_bindingList->topLevelItem(row));
        return;
    }
}

void KeyboardPage::l3DblClick() {
    const QList<QTreeWidgetItem*> selected = m_bindingList->selectedItems();
    if (selected.isEmpty())
        return;
    if (m_dialog == nullptr && m_dialogNeeded)
        m_dialogNeeded();
    if (m_dialog == nullptr)
        return;
    const int r = m_bindingList->indexOfTopLevelItem(selected.first());
    if (r < 0 || r >= static_cast<int>(m_config.keyBindings.size()))
        return;
    KeyBinding& entry = m_config.keyBindings[static_cast<std::size_t>(r)];
    m_dialog->load(entry, m_config.moves);
    if (Modal::exec(*m_dialog) != QDialog::Accepted)
        return;
    entry = m_dialog->save(entry);
    FillKeyBindingList();
    if (m_edited)
        m_edited();
}

} // namespace vornik::ui
