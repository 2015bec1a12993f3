#include "DrawGrid.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>

namespace vornik::ui {

// The grid holds no data: the model tells the view how many cells there are and reads each cell's
// text from the owner, for whoever reads the model; the delegate paints without it.
class DrawGrid::Model : public QAbstractTableModel {
public:
    explicit Model(DrawGrid& grid) : QAbstractTableModel(&grid), m_grid(grid) {}
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_cols; }
    QVariant data(const QModelIndex& index, int role) const override {
        if ((role != Qt::DisplayRole && role != Qt::AccessibleTextRole) || !index.isValid() || !m_grid.m_text)
            return {};
        return m_grid.m_text(m_grid, index.column(), index.row());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && m_grid.m_text && section < m_cols)
            return m_grid.m_text(m_grid, section, 0);
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    void changed() {
        if (m_rows > 0 && m_cols > 0)
            emit dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1));
    }
    Qt::ItemFlags flags(const QModelIndex&) const override { return Qt::ItemIsEnabled; }

    void resize(int rows, int cols) {
        beginResetModel();
        m_rows = std::max(rows, 0);
        m_cols = std::max(cols, 0);
        endResetModel();
    }
    int rows() const { return m_rows; }
    int cols() const { return m_cols; }

private:
    DrawGrid& m_grid;
    int m_rows = 0;
    int m_cols = 0;
};

class DrawGrid::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(DrawGrid& grid) : QStyledItemDelegate(&grid), m_grid(grid) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        painter->save();
        m_grid.paintCell(*painter, index.column(), index.row(), option.rect,
                         index.row() == m_grid.selectionTop() && index.row() >= 1 && index.column() >= 1);
        painter->restore();
    }

private:
    DrawGrid& m_grid;
};

// The fixed row: painted by the grid's own cell painter, it stays put while the rows scroll. A
// click on it keeps the selection; a double-click is the grid's double-click.
class DrawGrid::FixedRow : public QWidget {
public:
    explicit FixedRow(DrawGrid& grid) : QWidget(&grid), m_grid(grid) { setObjectName(QStringLiteral("FixedRow")); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QColor line = QColor::fromRgba(
            static_cast<QRgb>(m_grid.style()->styleHint(QStyle::SH_Table_GridLineColor, nullptr, &m_grid)));
        for (int c = 0; c < m_grid.colCount(); ++c) {
            const QRect cell(m_grid.columnViewportPosition(c), 0, m_grid.columnWidth(c), height());
            painter.save();
            m_grid.paintCell(painter, c, 0, cell, false);
            painter.restore();
            painter.setPen(line);
            painter.drawLine(cell.topRight(), cell.bottomRight());
            painter.drawLine(cell.bottomLeft(), cell.bottomRight());
        }
    }
    void mouseDoubleClickEvent(QMouseEvent*) override {
        if (m_grid.m_dblClick)
            m_grid.m_dblClick(m_grid);
    }

private:
    DrawGrid& m_grid;
};

DrawGrid::DrawGrid(QWidget* parent) : QTableView(parent), m_model(new Model(*this)), m_fixedRow(new FixedRow(*this)) {
    setModel(m_model);
    setItemDelegate(new Delegate(*this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(1);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_fixedRow, qOverload<>(&QWidget::update));
    layoutFixedRow();
}

void DrawGrid::layoutFixedRow() {
    const bool fixed = m_model->rows() >= 1;
    if (fixed)
        setRowHidden(0, true);
    const int height = fixed ? m_rowHeight : 0;
    setViewportMargins(0, height, 0, 0);
    const QRect area = viewport()->geometry();
    m_fixedRow->setGeometry(area.x(), area.y() - height, area.width(), height);
    m_fixedRow->setVisible(fixed);
    m_fixedRow->update();
}

void DrawGrid::updateGeometries() {
    QTableView::updateGeometries();
    layoutFixedRow();
}

void DrawGrid::setColCount(int count) {
    QList<int> widths;
    for (int c = 0; c < count; ++c)
        widths.append(c < m_model->cols() ? columnWidth(c) : 64);
    m_model->resize(m_model->rows(), count);
    for (int c = 0; c < count; ++c)
        setColumnWidth(c, widths[c]);
    layoutFixedRow();
}

void DrawGrid::setRowCount(int count) {
    QList<int> widths;
    for (int c = 0; c < m_model->cols(); ++c)
        widths.append(columnWidth(c));
    m_model->resize(count, m_model->cols());
    for (int c = 0; c < m_model->cols(); ++c)
        setColumnWidth(c, widths[c]);
    verticalHeader()->setDefaultSectionSize(m_rowHeight);
    if (m_selectedRow >= count)
        m_selectedRow = count > 1 ? count - 1 : 1;
    layoutFixedRow();
}

int DrawGrid::colCount() const {
    return m_model->cols();
}
int DrawGrid::rowCount() const {
    return m_model->rows();
}

void DrawGrid::setDefaultRowHeight(int height) {
    m_rowHeight = height;
    verticalHeader()->setDefaultSectionSize(height);
    layoutFixedRow();
}

void DrawGrid::setColWidth(int col, int width) {
    setColumnWidth(col, width);
    m_fixedRow->update();
}

void DrawGrid::selectRow(int row) {
    if (row < 1 || row >= rowCount())
        return;
    m_selectedRow = row;
    scrollTo(m_model->index(row, 0));
    viewport()->update();
}

void DrawGrid::repaintGrid() {
    m_model->changed();
    viewport()->update();
    m_fixedRow->update();
}

void DrawGrid::paintCell(QPainter& painter, int col, int row, const QRect& rect, bool selected) {
    const bool fixed = row < 1 || col < 1;
    const QPalette& pal = palette();
    if (fixed)
        painter.fillRect(rect, pal.button());
    else if (selected)
        painter.fillRect(rect, pal.highlight());
    else
        painter.fillRect(rect, pal.base());
    painter.setPen(fixed ? pal.buttonText().color() : selected ? pal.highlightedText().color() : pal.text().color());
    painter.setFont(font());
    painter.setClipRect(rect);
    if (m_draw)
        m_draw(*this, col, row, painter, rect);
}

void DrawGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QModelIndex index = indexAt(event->position().toPoint());
    // Clicks on the fixed row keep the selection where it is.
    if (index.isValid() && index.row() >= 1)
        selectRow(index.row());
}

void DrawGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
    if (m_dblClick)
        m_dblClick(*this);
}

void DrawGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        selectRow(m_selectedRow - 1);
        break;
    case Qt::Key_Down:
        selectRow(m_selectedRow + 1);
        break;
    case Qt::Key_Home:
        selectRow(1);
        break;
    case Qt::Key_End:
        selectRow(rowCount() - 1);
        break;
    default:
        QTableView::keyPressEvent(event);
    }
}

} // namespace vornik::ui
