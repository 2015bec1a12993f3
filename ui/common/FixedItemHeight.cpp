#include "FixedItemHeight.h"

#include <QStyledItemDelegate>

namespace vornik::ui {

namespace {
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    FixedHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), m_height(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_height};
    }

private:
    int m_height;
};
} // namespace

void setFixedItemHeight(QComboBox* combo, int height) {
    combo->setItemDelegate(new FixedHeightDelegate(height, combo));
}

} // namespace vornik::ui
