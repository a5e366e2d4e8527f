#pragma once
// Shows a Grid as the program's tables look: a fixed header row and a fixed number column that
// stay in place while the rest scrolls, widths and heights in twips, right-aligned columns, a
// carriage return in a cell as a line break, per-cell background colours and the current cell.
// The widget never changes the Grid: it reports clicks and moves of the current cell, and the
// owner decides what they mean. The main window's table and the editors' rosters are all this
// widget. It paints the cells itself and only the ones in view, so showing a rebuilt table stays
// cheap. Screen readers see it as a table (gridaccessible.h).

#include "browse/grid.h"
#include "output/tablecopy.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>
#include <utility>
#include <vector>

namespace kirune {

class GridView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit GridView(QWidget* parent = nullptr);

    // The grid shown (not owned; it must outlive the widget or be replaced). nullptr shows
    // nothing. A new grid drops the display widths set below.
    void setGrid(const Grid* grid);
    const Grid* grid() const { return grid_; }
    // Call after the grid's contents, sizes or current cell have changed. When the current cell
    // moved since the last call, the view scrolls to show it.
    void refresh();

    // Rows and columns that stay in place at the top and left (1 and 1 by default; the grade's
    // summary keeps its class column in view too).
    void setFixedCounts(int rows, int cols);
    int fixedRows() const { return fixedRows_; }
    int fixedCols() const { return fixedCols_; }

    // What the view shows since the last refresh: its size in cells and its current cell
    // (-1 without a grid).
    int rowCount() const { return static_cast<int>(rowY_.size()) - 1; }
    int columnCount() const { return static_cast<int>(colX_.size()) - 1; }
    int currentRow() const { return shownCurrentRow_; }
    int currentCol() const { return shownCurrentCol_; }

    // Geometry in pixels, converted from the grid's twips (0 outside the grid).
    int columnWidth(int col) const;
    int rowHeight(int row) const;
    // A width for showing column `col` that replaces the grid's own (the Grid keeps its twips);
    // a negative width goes back to the grid's. Used to let a column take what is left of the
    // widget's width.
    void setDisplayColumnWidth(int col, int pixels);
    // A cell's rectangle in viewport coordinates, after scrolling (null outside the grid);
    // cellAt gives {-1, -1} for a point outside the cells.
    QRect cellRect(int row, int col) const;
    std::pair<int, int> cellAt(const QPoint& viewportPos) const;
    void ensureCellVisible(int row, int col);
    // Back to the top-left corner (a new table: the name column in view).
    void scrollToTopLeft();

    // Keys, selection and copying, for a table that is read (off by default: the editors'
    // rosters answer clicks only). On: the arrow keys, Home and End (first and last column),
    // Ctrl+Home, Ctrl+End, Page Up and Page Down move the current cell among the ordinary cells;
    // Shift with them, or a drag, selects a range; a click on a header cell selects its column,
    // on a fixed-column cell its row, on the corner the whole table; Ctrl+A and Ctrl+C select
    // all and copy.
    void setNavigable(bool on);
    bool isNavigable() const { return navigable_; }
    // Makes (row, col) the current cell, as a key does: inside the ordinary cells, in view,
    // reported by currentCellChanged. `extend` grows the selection from its anchor to there.
    void moveCurrentCell(int row, int col, bool extend = false);
    // The selected cells (empty when none: the current cell alone is no selection).
    CellRange selection() const;
    bool isCellSelected(int row, int col) const { return selection().contains(row, col); }
    // Whole rows or columns selected, as a click on a fixed cell does (grid indexes).
    void selectRows(int first, int last);
    void selectColumns(int first, int last);
    void clearSelection();
    // What Copy puts on the clipboard: the selection, or the current cell when there is none.
    CopiedCells copiedCells() const;
    // The colour of the current cell's frame: dark on a light fill, light on a dark one.
    QColor currentFrameColour() const;

    // The text a cell shows ("" outside the grid).
    QString cellText(int row, int col) const;
    // How a cell text is drawn: a carriage return (alone or before a line feed) breaks the line.
    static QString DisplayText(const QString& text);
    // Alignment flags used for a cell.
    Qt::Alignment cellAlignment(int row, int col) const;
    // A cell's fill and the colour of its text, always from one source: header cells and cells
    // with a colour of their own are fixed, as on paper (dark text on a light fill, whatever
    // the desktop's theme); ordinary cells take the palette's base and text colours.
    struct CellColours {
        QColor fill;
        QColor text;
    };
    CellColours cellColours(int row, int col) const;
    // The colour a cell is filled with.
    QColor cellBackground(int row, int col) const { return cellColours(row, col).fill; }
    // The font a cell's text is shown in: the widget's, or for a header cell whose longest line
    // is wider than the cell a smaller size of it, so that no line is cut.
    QFont cellFont(int row, int col) const;

    QSize sizeHint() const override;

public slots:
    void selectAll();
    void copy() const;

signals:
    // A press and release on the same cell (header cells included).
    void cellClicked(int row, int col);
    void cellDoubleClicked(int row, int col);
    // The current cell moved by a key or a click (navigable tables only).
    void currentCellChanged(int row, int col);

protected:
    // The colours of a region's ordinary cells (header or body), and of a cell with a fill of
    // its own.
    CellColours usualColours(bool fixed) const;
    static CellColours OwnColours(QRgb fill);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

    void changeEvent(QEvent* event) override;

private:
    // A cell's text laid out once and kept: its lines, their widths, the font they are in.
    struct LaidOutText {
        std::vector<QStaticText> lines;
        std::vector<double> widths; // one per line
        double lineHeight = 0;
        QFont font;
    };
    const LaidOutText& laidOut(const QString& text, int width, bool fixed) const;
    void drawCellText(QPainter& painter, const QRect& rect, Qt::Alignment alignment,
                      const LaidOutText& text) const;
    void updateGeometryCache();
    void updateScrollBars();
    void scrollToCurrentIfPending();
    bool isFixed(int row, int col) const { return row < fixedRows_ || col < fixedCols_; }
    // Pixel position of a column / row edge in content coordinates (no scrolling).
    int colStart(int col) const { return colX_[col]; }
    int rowStart(int row) const { return rowY_[row]; }
    int fixedWidth() const;
    int fixedHeight() const;
    int viewX(int col) const;
    int viewY(int row) const;
    // How the selection runs from its anchor to the current cell.
    enum class Selecting { None, Cells, Columns, Rows, All };
    void setSelecting(Selecting mode, std::pair<int, int> anchor, int row, int col);
    std::pair<int, int> cellNear(const QPoint& viewportPos) const; // the nearest cell
    int pageRows() const;
    void tellCurrentCell(); // to assistive technology

    const Grid* grid_ = nullptr;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    std::vector<int> colX_{0};       // cols + 1 edges
    std::vector<int> rowY_{0};       // rows + 1 edges
    std::vector<int> displayWidths_; // per column; negative: the grid's own width
    int shownCurrentRow_ = -1;
    int shownCurrentCol_ = -1;
    std::pair<int, int> gridCurrent_{-1, -1}; // the grid's current cell at the last refresh
    bool navigable_ = false;
    Selecting selecting_ = Selecting::None;
    std::pair<int, int> anchor_{-1, -1};
    bool dragging_ = false;
    bool scrollPending_ = false; // the current cell moved and is not scrolled into view yet
    std::pair<int, int> pressed_{-1, -1};
    // Laid-out texts by text and room (header cells) or text alone (other cells).
    mutable QHash<QString, LaidOutText> bodyTexts_;
    mutable QHash<QPair<QString, int>, LaidOutText> headerTexts_;
    mutable double shownFontSize_ = -1; // the size the painter's font has while painting
};

} // namespace kirune
