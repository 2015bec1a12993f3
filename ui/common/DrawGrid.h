#pragma once

// A grid whose cells the owner paints: one fixed header row and one fixed first column, column
// widths, one default row height, whole-row selection, a cell-painting callback, a double-click
// callback and a tag. Rows and columns are counted with the fixed ones, from 0. The fixed row stays
// in place above the scrolling rows. Its item model holds each cell's text, as the owner's text
// callback gives it, so that screen readers and other automation read the rows; what is painted
// comes from the painting callback alone.

#include <QTableView>

#include <functional>

namespace vornik::ui {

class DrawGrid : public QTableView {
    Q_OBJECT
public:
    // Called after the grid painted the cell its standard way (fixed cells shaded, the selected
    // row highlighted); the painter is clipped to the cell and its pen holds the text colour.
    using DrawCell = std::function<void(DrawGrid& grid, int col, int row, QPainter& painter, const QRect& rect)>;
    using DblClick = std::function<void(DrawGrid& grid)>;
    using CellText = std::function<QString(const DrawGrid& grid, int col, int row)>;

    explicit DrawGrid(QWidget* parent = nullptr);

    void setColCount(int count);
    void setRowCount(int count);
    int colCount() const;
    int rowCount() const;
    void setDefaultRowHeight(int height);
    int defaultRowHeight() const { return m_rowHeight; }
    void setColWidth(int col, int width);
    int colWidth(int col) const { return columnWidth(col); }

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    void setOnDrawCell(DrawCell draw) { m_draw = std::move(draw); }
    void setOnDblClick(DblClick dbl) { m_dblClick = std::move(dbl); }
    const DrawCell& onDrawCell() const { return m_draw; }
    // The text of a cell, as the item model gives it (the display and accessible text); row 0
    // gives the column headers.
    void setOnCellText(CellText text) { m_text = std::move(text); }

    // The current selection: its top row (the first normal row until the user picks one) and its
    // left column (the first normal column, whole rows being selected).
    int selectionTop() const { return m_selectedRow; }
    int selectionLeft() const { return 1; }
    void selectRow(int row);
    // Repaints every cell from the owner's data, and tells the model's readers its texts changed.
    void repaintGrid();

    // Paints one cell as the grid would, into any painter (used by tests and by the delegate).
    void paintCell(QPainter& painter, int col, int row, const QRect& rect, bool selected);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void updateGeometries() override;

private:
    class Model;
    class Delegate;
    class FixedRow;
    // Row 0 is hidden in the view and painted by the bar above the viewport instead.
    void layoutFixedRow();
    Model* m_model;
    FixedRow* m_fixedRow;
    DrawCell m_draw;
    DblClick m_dblClick;
    CellText m_text;
    int m_tag = 0;
    int m_rowHeight = 24;
    int m_selectedRow = 1;
};

} // namespace vornik::ui
