#pragma once
// Shows a Grid as the program's tables look: a fixed header row and a fixed number column that
// stay in place while the rest scrolls, widths and heights in twips, right-aligned columns, a
// carriage return in a cell as a line break, per-cell background colours and the current cell.
// The widget never changes the Grid: it reports clicks and the owner decides what they mean.
// Same calls as the editors' GridView (setGrid, refresh, cellClicked); this one paints the cells
// itself, so the header row and the number column stay in view while the table scrolls.

#include "browse/grid.h"

#include <QAbstractScrollArea>
#include <QString>
#include <vector>

namespace kirune {

class FixedGridView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit FixedGridView(QWidget* parent = nullptr);

    // The grid shown (not owned; it must outlive the widget or be replaced). nullptr shows
    // nothing.
    void setGrid(const Grid* grid);
    const Grid* grid() const { return grid_; }
    // Call after the grid's contents, sizes or current cell have changed. When the current cell
    // moved since the last call, the view scrolls to show it.
    void refresh();

    // Rows and columns that stay in place at the top and left (1 and 1 by default).
    void setFixedCounts(int rows, int cols);
    int fixedRows() const { return fixedRows_; }
    int fixedCols() const { return fixedCols_; }

    // Geometry in pixels (converted from the grid's twips). cellRect is in viewport
    // coordinates, after scrolling; cellAt gives {-1, -1} outside the cells.
    int columnWidthPixels(int col) const;
    int rowHeightPixels(int row) const;
    QRect cellRect(int row, int col) const;
    std::pair<int, int> cellAt(const QPoint& viewportPos) const;
    void ensureCellVisible(int row, int col);

    // How a cell text is drawn: a carriage return (alone or before a line feed) breaks the line.
    static QString DisplayText(const QString& text);
    // Alignment flags used for a cell.
    Qt::Alignment cellAlignment(int row, int col) const;
    // The colour a cell is filled with.
    QColor cellBackground(int row, int col) const;

    QSize sizeHint() const override;

  signals:
    void cellClicked(int row, int col);
    void cellDoubleClicked(int row, int col);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void updateGeometryCache();
    void updateScrollBars();
    bool isFixed(int row, int col) const { return row < fixedRows_ || col < fixedCols_; }
    // Pixel position of a column / row edge in content coordinates (no scrolling).
    int colStart(int col) const { return colX_[col]; }
    int rowStart(int row) const { return rowY_[row]; }
    int fixedWidth() const;
    int fixedHeight() const;
    int viewX(int col) const;
    int viewY(int row) const;
    void paintCell(QPainter& painter, int row, int col, const QRect& rect) const;

    const Grid* grid_ = nullptr;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    std::vector<int> colX_; // cols + 1 edges
    std::vector<int> rowY_; // rows + 1 edges
    int lastCurrentRow_ = -1;
    int lastCurrentCol_ = -1;
    std::pair<int, int> pressed_{-1, -1};
};

} // namespace kirune
