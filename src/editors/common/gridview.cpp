#include "gridview.h"

#include "gridaccessible.h"
#include "output/canvas.h"
#include "twips.h"

#include <QAccessible>
#include <QClipboard>
#include <QEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace kirune {

namespace {
constexpr int kTextPadding = 3;           // pixels between a cell's edge and its text
const QColor kBodyLine(192, 192, 192);    // lines between ordinary cells
const QColor kFixedLine(128, 128, 128);   // lines between header cells
const QColor kFixedFill(236, 233, 216);   // header cells
const QColor kFixedText(0, 0, 0);         // text on a fixed fill (headers, coloured cells)
const QColor kOutside(171, 171, 171);     // the area right of and below the cells
constexpr int kMaxKeptTexts = 20000;      // laid-out texts kept before the store starts afresh
constexpr double kSmallestHeaderSize = 6; // points: a header line is never shrunk below this
constexpr int kSelectionAlpha = 80;       // how strongly the selection tints its cells

// The first index in [first, last) whose far edge lies beyond `pos`; `last` when none does.
int FirstReaching(const std::vector<int>& edges, int first, int last, int pos) {
    if (first >= last)
        return last;
    const auto it = std::upper_bound(edges.begin() + first + 1, edges.begin() + last + 1, pos);
    return static_cast<int>(it - edges.begin()) - 1;
}
} // namespace

GridView::GridView(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    InstallGridAccessibility();
}

void GridView::setGrid(const Grid* grid) {
    grid_ = grid;
    displayWidths_.clear();
    shownCurrentRow_ = shownCurrentCol_ = -1;
    gridCurrent_ = {-1, -1};
    refresh();
}

void GridView::setNavigable(bool on) {
    navigable_ = on;
    if (!on)
        clearSelection();
}

void GridView::setFixedCounts(int rows, int cols) {
    fixedRows_ = std::max(rows, 0);
    fixedCols_ = std::max(cols, 0);
    refresh();
}

void GridView::refresh() {
    const int rows = rowCount();
    const int cols = columnCount();
    updateGeometryCache();
    updateScrollBars();
    if (rows != rowCount() || cols != columnCount()) {
        // Another table: its cells are new to assistive technology, and nothing is selected.
        selecting_ = Selecting::None;
        if (QAccessible::isActive()) {
            QAccessibleTableModelChangeEvent reset(this,
                                                   QAccessibleTableModelChangeEvent::ModelReset);
            QAccessible::updateAccessibility(&reset);
        }
    }
    // The grid's current cell, when the owner moved it, is the view's.
    const std::pair<int, int> current =
        grid_ ? std::pair(grid_->CurrentRow(), grid_->CurrentCol()) : std::pair(-1, -1);
    if (current != gridCurrent_) {
        gridCurrent_ = current;
        if (current != std::pair(shownCurrentRow_, shownCurrentCol_)) {
            std::tie(shownCurrentRow_, shownCurrentCol_) = current;
            anchor_ = current;
            scrollPending_ = grid_ != nullptr;
        }
    }
    scrollToCurrentIfPending();
    viewport()->update();
}

void GridView::scrollToCurrentIfPending() {
    // Before the widget is shown its viewport has no size of its own yet; the scroll waits.
    if (!scrollPending_ || !isVisible())
        return;
    scrollPending_ = false;
    ensureCellVisible(shownCurrentRow_, shownCurrentCol_);
}

void GridView::setDisplayColumnWidth(int col, int pixels) {
    if (col < 0)
        return;
    if (col >= static_cast<int>(displayWidths_.size())) {
        if (pixels < 0)
            return;
        displayWidths_.resize(col + 1, -1);
    }
    if (displayWidths_[col] == std::max(pixels, -1))
        return;
    displayWidths_[col] = std::max(pixels, -1);
    updateGeometryCache();
    updateScrollBars();
    viewport()->update();
}

void GridView::updateGeometryCache() {
    const int rows = grid_ ? grid_->Rows() : 0;
    const int cols = grid_ ? grid_->Cols() : 0;
    colX_.assign(cols + 1, 0);
    rowY_.assign(rows + 1, 0);
    const int overridden = std::min(cols, static_cast<int>(displayWidths_.size()));
    for (int c = 0; c < cols; ++c) {
        const int shown = c < overridden ? displayWidths_[c] : -1;
        colX_[c + 1] = colX_[c] + (shown >= 0 ? shown : TwipsToPixels(grid_->ColWidth(c)));
    }
    // Header rows are at least as tall as their most lines need.
    const QFontMetrics metrics(font());
    const int fixedRows = std::min(fixedRows_, rows);
    for (int r = 0; r < rows; ++r) {
        int height = TwipsToPixels(grid_->RowHeight(r));
        if (r < fixedRows && height > 0) {
            qsizetype lines = 1;
            for (int c = 0; c < cols; ++c)
                lines = std::max(lines, DisplayText(grid_->Text(r, c)).count(u'\n') + 1);
            height = std::max(height, static_cast<int>(lines) * metrics.lineSpacing() + 3);
        }
        rowY_[r + 1] = rowY_[r] + height;
    }
}

int GridView::fixedWidth() const {
    return colX_[std::min<size_t>(fixedCols_, colX_.size() - 1)];
}

int GridView::fixedHeight() const {
    return rowY_[std::min<size_t>(fixedRows_, rowY_.size() - 1)];
}

void GridView::updateScrollBars() {
    const QSize area = viewport()->size();
    const int scrollWidth = colX_.back() - fixedWidth();
    const int scrollHeight = rowY_.back() - fixedHeight();
    const int visibleWidth = std::max(area.width() - fixedWidth(), 0);
    const int visibleHeight = std::max(area.height() - fixedHeight(), 0);
    horizontalScrollBar()->setRange(0, std::max(scrollWidth - visibleWidth, 0));
    horizontalScrollBar()->setPageStep(std::max(visibleWidth, 1));
    horizontalScrollBar()->setSingleStep(TwipsToPixels(Grid::kDefaultColWidth) / 2);
    verticalScrollBar()->setRange(0, std::max(scrollHeight - visibleHeight, 0));
    verticalScrollBar()->setPageStep(std::max(visibleHeight, 1));
    verticalScrollBar()->setSingleStep(TwipsToPixels(Grid::kDefaultRowHeight));
}

int GridView::columnWidth(int col) const {
    if (col < 0 || col >= columnCount())
        return 0;
    return colX_[col + 1] - colX_[col];
}

int GridView::rowHeight(int row) const {
    if (row < 0 || row >= rowCount())
        return 0;
    return rowY_[row + 1] - rowY_[row];
}

int GridView::viewX(int col) const {
    return col < fixedCols_ ? colStart(col) : colStart(col) - horizontalScrollBar()->value();
}

int GridView::viewY(int row) const {
    return row < fixedRows_ ? rowStart(row) : rowStart(row) - verticalScrollBar()->value();
}

QRect GridView::cellRect(int row, int col) const {
    if (row < 0 || col < 0 || row >= rowCount() || col >= columnCount())
        return {};
    return QRect(viewX(col), viewY(row), columnWidth(col), rowHeight(row));
}

std::pair<int, int> GridView::cellAt(const QPoint& pos) const {
    auto find = [](const std::vector<int>& edges, int fixedCount, int fixedExtent, int scroll,
                   int p) {
        if (p < 0)
            return -1;
        const int count = static_cast<int>(edges.size()) - 1;
        int first = 0, last = std::min(fixedCount, count);
        if (p >= fixedExtent) {
            p += scroll;
            first = std::min(fixedCount, count);
            last = count;
        }
        const int index = FirstReaching(edges, first, last, p);
        return index < last ? index : -1;
    };
    const int col = find(colX_, fixedCols_, fixedWidth(), horizontalScrollBar()->value(), pos.x());
    const int row = find(rowY_, fixedRows_, fixedHeight(), verticalScrollBar()->value(), pos.y());
    if (row < 0 || col < 0)
        return {-1, -1};
    return {row, col};
}

void GridView::ensureCellVisible(int row, int col) {
    if (row < 0 || col < 0 || row >= rowCount() || col >= columnCount())
        return;
    const QSize area = viewport()->size();
    if (row >= fixedRows_) {
        const int top = rowStart(row) - fixedHeight();
        const int bottom = rowStart(row + 1) - fixedHeight();
        const int visible = area.height() - fixedHeight();
        QScrollBar* bar = verticalScrollBar();
        if (visible > 0 && (top < bar->value() || bottom - top > visible))
            bar->setValue(top);
        else if (visible > 0 && bottom > bar->value() + visible)
            bar->setValue(bottom - visible);
    }
    if (col >= fixedCols_) {
        const int left = colStart(col) - fixedWidth();
        const int right = colStart(col + 1) - fixedWidth();
        const int visible = area.width() - fixedWidth();
        QScrollBar* bar = horizontalScrollBar();
        if (visible > 0 && (left < bar->value() || right - left > visible))
            bar->setValue(left);
        else if (visible > 0 && right > bar->value() + visible)
            bar->setValue(right - visible);
    }
}

void GridView::scrollToTopLeft() {
    scrollPending_ = false;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

QString GridView::cellText(int row, int col) const {
    return grid_ ? DisplayText(grid_->Text(row, col)) : QString();
}

QString GridView::DisplayText(const QString& text) {
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

Qt::Alignment GridView::cellAlignment(int row, int col) const {
    if (isFixed(row, col))
        return Qt::AlignCenter;
    if (grid_ && grid_->ColAlignment(col) == kAlignRightCenter)
        return Qt::AlignRight | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

GridView::CellColours GridView::usualColours(bool fixed) const {
    if (fixed)
        return {kFixedFill, kFixedText};
    return {palette().color(QPalette::Base), palette().color(QPalette::Text)};
}

GridView::CellColours GridView::OwnColours(QRgb fill) {
    return {QColor::fromRgb(fill), kFixedText};
}

GridView::CellColours GridView::cellColours(int row, int col) const {
    if (grid_) {
        if (auto colour = grid_->CellBackground(row, col))
            return OwnColours(*colour);
    }
    return usualColours(isFixed(row, col));
}

QFont GridView::cellFont(int row, int col) const {
    const QRect rect = cellRect(row, col);
    if (!grid_ || rect.isNull())
        return font();
    const QRect room = rect.adjusted(kTextPadding, 1, -kTextPadding - 1, -2);
    return laidOut(grid_->Text(row, col), isFixed(row, col) ? room.width() : -1, isFixed(row, col))
        .font;
}

const GridView::LaidOutText& GridView::laidOut(const QString& text, int width, bool fixed) const {
    if (bodyTexts_.size() + headerTexts_.size() > kMaxKeptTexts) {
        bodyTexts_.clear();
        headerTexts_.clear();
    }
    LaidOutText* kept = fixed ? &headerTexts_[{text, width}] : &bodyTexts_[text];
    if (!kept->widths.empty())
        return *kept;
    const QStringList lines = DisplayText(text).split(u'\n');
    QFont shown = font();
    QFontMetricsF metrics(shown);
    // Each line is laid out once and kept: its layout gives its width too (a line's trailing
    // blanks, left out of the layout's width, take their room in the cell).
    auto layOut = [&] {
        kept->font = shown;
        kept->lineHeight = metrics.lineSpacing();
        kept->lines.clear();
        kept->widths.clear();
        for (const QString& line : lines) {
            QStaticText laid(line);
            laid.setTextFormat(Qt::PlainText);
            laid.prepare(QTransform(), shown);
            const bool trailingBlank = !line.isEmpty() && line.back().isSpace();
            kept->widths.push_back(trailingBlank ? metrics.horizontalAdvance(line)
                                                 : laid.size().width());
            kept->lines.push_back(std::move(laid));
        }
    };
    layOut();
    auto widest = [&] { return *std::max_element(kept->widths.begin(), kept->widths.end()); };
    if (fixed && width > 0 && widest() > width) {
        // A header line that does not fit: a smaller size of the same font, so that no word or
        // date is cut.
        const auto layOutAt = [&](double size) {
            shown.setPointSizeF(size);
            metrics = QFontMetricsF(shown);
            layOut();
        };
        const double base = shown.pointSizeF() > 0 ? shown.pointSizeF() : 9;
        const double size = ShrunkSize(base, widest(), width, kSmallestHeaderSize, [&](double s) {
            layOutAt(s);
            return widest() <= width;
        });
        if (shown.pointSizeF() != size)
            layOutAt(size);
    }
    return *kept;
}

void GridView::drawCellText(QPainter& painter, const QRect& rect, Qt::Alignment alignment,
                            const LaidOutText& text) const {
    const double height = text.lineHeight * static_cast<double>(text.lines.size());
    const double widest = *std::max_element(text.widths.begin(), text.widths.end());
    // Text that does not fit is cut at the cell's edge.
    const bool overflows = widest > rect.width() || height > rect.height() + 1;
    if (overflows) {
        painter.save();
        painter.setClipRect(rect, Qt::IntersectClip);
    }
    // The cells' fonts differ only in size (a shrunk header line): the font is set only when
    // the size changes.
    if (shownFontSize_ != text.font.pointSizeF()) {
        painter.setFont(text.font);
        shownFontSize_ = text.font.pointSizeF();
    }
    // Each line on whole pixels.
    double y =
        alignment & Qt::AlignVCenter ? rect.top() + (rect.height() - height) / 2 : rect.top();
    for (size_t i = 0; i < text.lines.size(); ++i) {
        const double w = text.widths[i];
        double x = rect.left();
        if (alignment & Qt::AlignRight)
            x = rect.right() + 1 - w;
        else if (alignment & Qt::AlignHCenter)
            x = rect.left() + (rect.width() - w) / 2;
        painter.drawStaticText(
            QPoint(static_cast<int>(std::round(x)), static_cast<int>(std::round(y))),
            text.lines[i]);
        y += text.lineHeight;
    }
    if (overflows)
        painter.restore();
}

void GridView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        bodyTexts_.clear();
        headerTexts_.clear();
        refresh();
    }
}

void GridView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = viewport()->rect();
    if (!grid_) {
        painter.fillRect(event->rect(), kOutside);
        return;
    }
    // The cache may be older than the grid (a refresh still to come): paint only what both
    // know.
    const int rows = std::min(rowCount(), grid_->Rows());
    const int cols = std::min(columnCount(), grid_->Cols());
    const int noteRow = std::clamp(grid_->Rows() - grid_->NoteRows(), 0, rows);
    const int fixedW = fixedWidth();
    const int fixedH = fixedHeight();
    const int scrollX = horizontalScrollBar()->value();
    const int scrollY = verticalScrollBar()->value();
    // Every pixel is filled once: the cells' extent with each region's usual colour, the rest
    // (right of and below the cells) with the outside colour.
    const int cellsRight = cols > std::min(fixedCols_, cols) ? colX_[cols] - scrollX : colX_[cols];
    const int cellsBottom = rows > std::min(fixedRows_, rows) ? rowY_[rows] - scrollY : rowY_[rows];
    const QRect cells(0, 0, std::max(cellsRight, 0), std::max(cellsBottom, 0));
    for (const QRect& outside : QRegion(event->rect()).subtracted(cells))
        painter.fillRect(outside, kOutside);
    // Grid lines are one pixel wide and straight: filled as rectangles, which costs far less
    // than drawing them with a pen.
    std::vector<QRect> edges;      // right edges of the painted columns, bottom edges of rows
    std::vector<QRect> highlights; // top and left edge of header cells
    const CellRange chosen = selection();
    QColor tint = palette().color(QPalette::Highlight);
    tint.setAlpha(kSelectionAlpha);
    auto fillAll = [&painter](const std::vector<QRect>& rects, const QColor& colour) {
        for (const QRect& rect : rects)
            painter.fillRect(rect, colour);
    };

    // Paints the cells of one region that meet the area to paint, found by their edges, not by
    // walking every row and column. Lines are gathered and drawn together at the end.
    auto paintRegion = [&](int rowFirst, int rowLast, int colFirst, int colLast, int offsetX,
                           int offsetY, const QRect& region, bool fixed) {
        const QRect clip = region.intersected(event->rect()).intersected(cells);
        if (clip.isEmpty() || rowFirst >= rowLast || colFirst >= colLast)
            return;
        painter.save();
        painter.setClipRect(clip);
        shownFontSize_ = -1; // the painter's font is not a cell's yet
        const QColor line = fixed ? kFixedLine : kBodyLine;
        const int r0 = FirstReaching(rowY_, rowFirst, rowLast, clip.top() + offsetY);
        const int c0 = FirstReaching(colX_, colFirst, colLast, clip.left() + offsetX);
        // One fill for the region's usual colour; cells with a colour of their own on top.
        const CellColours usual = usualColours(fixed);
        painter.fillRect(clip, usual.fill);
        painter.setPen(usual.text);
        QColor penColour = usual.text;
        highlights.clear();
        QRect current;
        int lastRight = -1, lastBottom = -1; // far edges of the last column and row painted
        for (int r = r0; r < rowLast; ++r) {
            const int y = rowY_[r] - offsetY;
            if (y > clip.bottom())
                break;
            const int h = rowY_[r + 1] - rowY_[r];
            if (h <= 0)
                continue;
            for (int c = c0; c < colLast; ++c) {
                const int x = colX_[c] - offsetX;
                if (x > clip.right())
                    break;
                const int w = colX_[c + 1] - colX_[c];
                if (w <= 0)
                    continue;
                const QRect rect(x, y, w, h);
                QColor textColour = usual.text;
                if (const auto own = grid_->CellBackground(r, c)) {
                    const CellColours colours = OwnColours(*own);
                    painter.fillRect(rect, colours.fill);
                    textColour = colours.text;
                }
                if (textColour != penColour) {
                    painter.setPen(textColour);
                    penColour = textColour;
                }
                lastRight = std::max(lastRight, rect.right());
                lastBottom = std::max(lastBottom, rect.bottom());
                if (fixed) {
                    highlights.emplace_back(rect.left(), rect.top(), rect.width() - 1, 1);
                    highlights.emplace_back(rect.left(), rect.top(), 1, rect.height() - 1);
                }
                const QString& text = grid_->Text(r, c);
                if (!text.isEmpty()) {
                    QRect textRect = rect.adjusted(kTextPadding, 1, -kTextPadding - 1, -2);
                    Qt::Alignment alignment = cellAlignment(r, c);
                    if (r >= noteRow) {
                        // A note reads across the rest of its row.
                        textRect.setRight(colX_[cols] - offsetX - kTextPadding - 1);
                        alignment = Qt::AlignLeft | Qt::AlignVCenter;
                    }
                    drawCellText(painter, textRect, alignment,
                                 laidOut(text, fixed ? textRect.width() : -1, fixed));
                }
                if (!fixed && r == shownCurrentRow_ && c == shownCurrentCol_)
                    current = rect;
            }
        }
        // grid lines: dark between header cells with a light inner edge, light between
        // ordinary cells. The right edges of a column's cells make one line, as do the bottom
        // edges of a row's, so a line per painted column and row draws them all.
        edges.clear();
        if (lastRight >= 0) {
            const int top = rowY_[r0] - offsetY;
            const int left = colX_[c0] - offsetX;
            // The column lines stop above the notes.
            const int linesBottom = std::min(lastBottom, rowY_[noteRow] - offsetY - 1);
            for (int c = c0; c < colLast && colX_[c] - offsetX <= lastRight; ++c)
                if (colX_[c + 1] > colX_[c] && linesBottom >= top)
                    edges.emplace_back(colX_[c + 1] - offsetX - 1, top, 1, linesBottom - top + 1);
            for (int r = r0; r < rowLast && rowY_[r] - offsetY <= lastBottom; ++r)
                if (rowY_[r + 1] > rowY_[r])
                    edges.emplace_back(left, rowY_[r + 1] - offsetY - 1, lastRight - left + 1, 1);
        }
        if (!chosen.isEmpty()) {
            // The selected cells of the region: tinted, their own colours showing through.
            const int top = std::max(chosen.top, rowFirst);
            const int bottom = std::min(chosen.bottom, rowLast - 1);
            const int left = std::max(chosen.left, colFirst);
            const int right = std::min(chosen.right, colLast - 1);
            if (top <= bottom && left <= right)
                painter.fillRect(
                    QRect(QPoint(colX_[left] - offsetX, rowY_[top] - offsetY),
                          QPoint(colX_[right + 1] - offsetX - 1, rowY_[bottom + 1] - offsetY - 1)),
                    tint);
        }
        fillAll(edges, line);
        fillAll(highlights, Qt::white);
        if (!current.isNull()) {
            // the current cell: a clear frame, so the pupil being edited is easy to find
            painter.setPen(QPen(currentFrameColour(), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(current.adjusted(1, 1, -2, -2));
        }
        painter.restore();
    };
    const int fr = std::min(fixedRows_, rows);
    const int fc = std::min(fixedCols_, cols);
    // The scrolling body first, then the header strips over it, then the corner.
    paintRegion(fr, rows, fc, cols, scrollX, scrollY,
                QRect(fixedW, fixedH, area.width() - fixedW, area.height() - fixedH), false);
    paintRegion(0, fr, fc, cols, scrollX, 0, QRect(fixedW, 0, area.width() - fixedW, fixedH), true);
    paintRegion(fr, rows, 0, fc, 0, scrollY, QRect(0, fixedH, fixedW, area.height() - fixedH),
                true);
    paintRegion(0, fr, 0, fc, 0, 0, QRect(0, 0, fixedW, fixedH), true);
}

void GridView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    scrollToCurrentIfPending();
}

void GridView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    updateScrollBars();
    scrollToCurrentIfPending();
}

void GridView::scrollContentsBy(int, int) {
    viewport()->update();
}

void GridView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = cellAt(event->position().toPoint());
        const auto [row, col] = pressed_;
        if (navigable_ && row >= 0) {
            dragging_ = true;
            const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
            const int firstRow = fixedRows_;
            const int firstCol = fixedCols_;
            if (row < fixedRows_ && col < fixedCols_)
                selectAll();
            else if (row < fixedRows_) // a header cell: its column
                setSelecting(Selecting::Columns,
                             extend && selecting_ == Selecting::Columns ? anchor_
                                                                        : std::pair(firstRow, col),
                             firstRow, col);
            else if (col < fixedCols_) // a number cell: its row
                setSelecting(Selecting::Rows,
                             extend && selecting_ == Selecting::Rows ? anchor_
                                                                     : std::pair(row, firstCol),
                             row, firstCol);
            else
                moveCurrentCell(row, col, extend);
        }
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void GridView::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton) && selecting_ != Selecting::All) {
        const auto [row, col] = cellNear(event->position().toPoint());
        if (selecting_ == Selecting::Columns)
            setSelecting(selecting_, anchor_, shownCurrentRow_, col);
        else if (selecting_ == Selecting::Rows)
            setSelecting(selecting_, anchor_, row, shownCurrentCol_);
        else if (std::pair(row, col) != std::pair(shownCurrentRow_, shownCurrentCol_))
            moveCurrentCell(row, col, true);
    }
    QAbstractScrollArea::mouseMoveEvent(event);
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
        const auto released = cellAt(event->position().toPoint());
        const auto pressed = pressed_;
        pressed_ = {-1, -1};
        if (released.first >= 0 && released == pressed)
            emit cellClicked(released.first, released.second);
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const auto cell = cellAt(event->position().toPoint());
        pressed_ = {-1, -1}; // the second release is no click of its own
        if (cell.first >= 0)
            emit cellDoubleClicked(cell.first, cell.second);
    }
    event->accept();
}

std::pair<int, int> GridView::cellNear(const QPoint& pos) const {
    // A point beyond the viewport or the cells counts as the nearest cell (a drag out of view).
    const QRect area = viewport()->rect();
    const QPoint inside(std::clamp(pos.x(), 0, std::max(area.width() - 1, 0)),
                        std::clamp(pos.y(), 0, std::max(area.height() - 1, 0)));
    auto [row, col] = cellAt(inside);
    if (row < 0)
        row = inside.y() >= fixedHeight() ? rowCount() - 1 : 0;
    if (col < 0)
        col = inside.x() >= fixedWidth() ? columnCount() - 1 : 0;
    return {row, col};
}

void GridView::moveCurrentCell(int row, int col, bool extend) {
    if (!grid_ || rowCount() <= fixedRows_ || columnCount() <= fixedCols_)
        return;
    row = std::clamp(row, fixedRows_, rowCount() - 1);
    col = std::clamp(col, fixedCols_, columnCount() - 1);
    if (!extend)
        setSelecting(Selecting::None, {row, col}, row, col);
    else if (selecting_ == Selecting::None || selecting_ == Selecting::All)
        setSelecting(Selecting::Cells,
                     anchor_.first >= fixedRows_ && anchor_.second >= fixedCols_
                         ? anchor_
                         : std::pair(shownCurrentRow_, shownCurrentCol_),
                     row, col);
    else
        setSelecting(selecting_, anchor_, row, col);
}

void GridView::setSelecting(Selecting mode, std::pair<int, int> anchor, int row, int col) {
    selecting_ = mode;
    anchor_ = anchor;
    const bool moved = std::pair(row, col) != std::pair(shownCurrentRow_, shownCurrentCol_);
    shownCurrentRow_ = row;
    shownCurrentCol_ = col;
    scrollPending_ = false;
    ensureCellVisible(row, col);
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::SelectionWithin);
        QAccessible::updateAccessibility(&changed);
    }
    if (moved) {
        tellCurrentCell();
        emit currentCellChanged(row, col);
    }
}

CellRange GridView::selection() const {
    const int rows = rowCount();
    const int cols = columnCount();
    const auto [anchorRow, anchorCol] = anchor_;
    const int row = shownCurrentRow_;
    const int col = shownCurrentCol_;
    switch (selecting_) {
    case Selecting::None:
        break;
    case Selecting::All:
        return {0, 0, rows - 1, cols - 1};
    case Selecting::Columns:
        return {0, std::min(anchorCol, col), rows - 1, std::max(anchorCol, col)};
    case Selecting::Rows:
        return {std::min(anchorRow, row), 0, std::max(anchorRow, row), cols - 1};
    case Selecting::Cells:
        if (anchor_ != std::pair(row, col))
            return {std::min(anchorRow, row), std::min(anchorCol, col), std::max(anchorRow, row),
                    std::max(anchorCol, col)};
        break;
    }
    return {};
}

void GridView::selectRows(int first, int last) {
    if (grid_ && columnCount() > fixedCols_)
        setSelecting(Selecting::Rows, {first, fixedCols_}, last, fixedCols_);
}

void GridView::selectColumns(int first, int last) {
    if (grid_ && rowCount() > fixedRows_)
        setSelecting(Selecting::Columns, {fixedRows_, first}, fixedRows_, last);
}

void GridView::selectAll() {
    if (grid_)
        setSelecting(Selecting::All, anchor_, shownCurrentRow_, shownCurrentCol_);
}

void GridView::clearSelection() {
    if (selecting_ != Selecting::None)
        setSelecting(Selecting::None, {shownCurrentRow_, shownCurrentCol_}, shownCurrentRow_,
                     shownCurrentCol_);
}

CopiedCells GridView::copiedCells() const {
    if (!grid_)
        return {};
    CellRange range = selection();
    if (range.isEmpty())
        range = {shownCurrentRow_, shownCurrentCol_, shownCurrentRow_, shownCurrentCol_};
    return CopyCells(*grid_, range, fixedRows_);
}

void GridView::copy() const {
    const CopiedCells cells = copiedCells();
    if (cells.text.isEmpty())
        return;
    auto* data = new QMimeData;
    data->setText(cells.text);
    data->setHtml(cells.html);
    QGuiApplication::clipboard()->setMimeData(data);
}

QColor GridView::currentFrameColour() const {
    const QColor fill = cellColours(shownCurrentRow_, shownCurrentCol_).fill;
    return fill.lightnessF() < 0.5 ? QColor(130, 185, 255) : QColor(30, 100, 220);
}

int GridView::pageRows() const {
    const int visible = viewport()->height() - fixedHeight();
    return std::max(visible / std::max(rowHeight(fixedRows_), 1), 1);
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if (!navigable_ || !grid_ || (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier))) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool toCorner = event->modifiers().testFlag(Qt::ControlModifier);
    int row = shownCurrentRow_;
    int col = shownCurrentCol_;
    switch (event->key()) {
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_PageUp:
        row -= pageRows();
        break;
    case Qt::Key_PageDown:
        row += pageRows();
        break;
    case Qt::Key_Home:
        col = 0;
        row = toCorner ? 0 : row;
        break;
    case Qt::Key_End:
        col = columnCount();
        row = toCorner ? rowCount() : row;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    moveCurrentCell(row, col, extend);
    event->accept();
}

void GridView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    tellCurrentCell();
}

void GridView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void GridView::tellCurrentCell() {
    if (!QAccessible::isActive() || !hasFocus())
        return;
    const int index = AccessibleCellIndex(*this, shownCurrentRow_, shownCurrentCol_);
    if (index < 0)
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(index);
    QAccessible::updateAccessibility(&focus);
}

QSize GridView::sizeHint() const {
    const int frame = 2 * frameWidth();
    return QSize(std::min(colX_.back(), 1000) + frame, std::min(rowY_.back(), 800) + frame);
}

} // namespace kirune
