#include "KeyboardPage.h"

#include "Fonts.h"
#include "KeyLabels.h"
#include "Modal.h"
#include "PictureStore.h"
#include "TForm6.h"
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
    m_checkBox5 = new QCheckBox(QCoreApplication::translate("Vornik", "停止作用"), this);
    m_checkBox5->setObjectName(QStringLiteral("CheckBox5"));
    m_checkBox5->move(4, 4);
    m_checkBox5->adjustSize();

    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_image1->setLineWidth(2);
    m_image1->setPixmap(pictures.keyboardPicture());
    m_image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image1->setGeometry(94, 2, 427 + 4, 119 + 4);
    m_image1->setCursor(Qt::PointingHandCursor);
    m_image1->installEventFilter(this);

    m_l3 = new QTreeWidget(this);
    m_l3->setObjectName(QStringLiteral("l3"));
    m_l3->setGeometry(0, kListTop, 528, 190);
    m_l3->setColumnCount(4);
    m_l3->setHeaderLabels(
        {QCoreApplication::translate("Vornik", "按鍵"), QCoreApplication::translate("Vornik", "對應招式"), QCoreApplication::translate("Vornik", "連發"), QCoreApplication::translate("Vornik", "連發速度")});
    const int widths[] = {100, 200, 90, 100};
    for (int c = 0; c < 4; ++c)
        m_l3->setColumnWidth(c, widths[c]);
    m_l3->header()->setSectionsClickable(false);
    m_l3->header()->setStretchLastSection(false);
    m_l3->setRootIsDecorated(false);
    m_l3->setUniformRowHeights(true);
    m_l3->setSortingEnabled(false);
    m_l3->setSelectionMode(QAbstractItemView::SingleSelection);
    m_l3->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_l3->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_l3->setIconSize(QSize(16, 16));
    m_l3->setItemsExpandable(false);
    m_l3->setExpandsOnDoubleClick(false);
    m_l3->viewport()->installEventFilter(this);
}

bool KeyboardPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_image1 && event->type() == QEvent::MouseButtonPress) {
        // Picture coordinates: the picture sits inside the label's raised frame.
        const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint() - m_image1->contentsRect().topLeft();
        Image1MouseDown(p.x(), p.y());
        return true;
    }
    if (watched == m_l3->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        l3DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// The list spans the page below the picture, down to its bottom edge.
void KeyboardPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_l3->setGeometry(0, kListTop, width(), std::max(height() - kListTop, 0));
}

void KeyboardPage::FillKeyBindingList() {
    m_l3->setUpdatesEnabled(false);
    m_l3->clear();
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
    m_l3->addTopLevelItems(rows);
    m_l3->setUpdatesEnabled(true);
}

void KeyboardPage::Image1MouseDown(int x, int y) {
    const int r = FindKeyAtPoint(m_config.keyMap, x, y);
    m_l3->setFocus(Qt::MouseFocusReason);
    if (r == 0 || m_l3->topLevelItemCount() == 0)
        return;
    m_l3->setCurrentItem(m_l3->topLevelItem(0));
    const NamedKeyList& named = m_config.namedKeys;
    for (int p = 1; p <= named.Count; ++p) {
        if (named.Codes[p] != m_config.keyMap.Records[r].VirtualKey)
            continue;
        const int row = p - 2;
        // Position 1 is "NONE", which has no row: nothing stays selected.
        if (row < 0 || row >= m_l3->topLevelItemCount()) {
            m_l3->clearSelection();
            return;
        }
        m_l3->scrollToTop();
        m_l3->setCurrentItem(m_l3->topLevelItem(row));
        m_l3->scrollToItem(m_l3->topLevelItem(row));
        return;
    }
}

void KeyboardPage::l3DblClick() {
    const QList<QTreeWidgetItem*> selected = m_l3->selectedItems();
    if (selected.isEmpty() || m_dialog == nullptr)
        return;
    const int r = m_l3->indexOfTopLevelItem(selected.first());
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
