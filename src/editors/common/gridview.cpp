#include "gridview.h"

#include "output/canvas.h"
#include "twips.h"

#include <QEvent>
#include <QFontMetricsF>
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
}

void GridView::setGrid(const Grid* grid) {
    grid_ = grid;
    displayWidths_.clear();
    shownCurrentRow_ = shownCurrentCol_ = -1;
    refresh();
}

void GridView::setFixedCounts(int rows, int cols) {
    fixedRows_ = std::max(rows, 0);
    fixedCols_ = std::max(cols, 0);
    refresh();
}

void GridView::refresh() {
    updateGeometryCache();
    updateScrollBars();
    const int row = grid_ ? grid_->CurrentRow() : -1;
    const int col = grid_ ? grid_->CurrentCol() : -1;
    if (row != shownCurrentRow_ || col != shownCurrentCol_) {
        shownCurrentRow_ = row;
        shownCurrentCol_ = col;
        scrollPending_ = grid_ != nullptr;
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
                if (!text.isEmpty() && !grid_->WideRow(r)) {
                    const QRect textRect = rect.adjusted(kTextPadding, 1, -kTextPadding - 1, -2);
                    drawCellText(painter, textRect, cellAlignment(r, c),
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
            for (int c = c0; c < colLast && colX_[c] - offsetX <= lastRight; ++c)
                if (colX_[c + 1] > colX_[c])
                    edges.emplace_back(colX_[c + 1] - offsetX - 1, top, 1, lastBottom - top + 1);
            for (int r = r0; r < rowLast && rowY_[r] - offsetY <= lastBottom; ++r)
                if (rowY_[r + 1] > rowY_[r])
                    edges.emplace_back(left, rowY_[r + 1] - offsetY - 1, lastRight - left + 1, 1);
        }
        fillAll(edges, line);
        fillAll(highlights, Qt::white);
        // A wide row's text runs over the body's columns, without their lines.
        for (int r = r0; !fixed && r < rowLast && rowY_[r] - offsetY <= clip.bottom(); ++r) {
            const int h = rowY_[r + 1] - rowY_[r];
            if (!grid_->WideRow(r) || h <= 1)
                continue;
            const QRect rect(colX_[colFirst] - offsetX, rowY_[r] - offsetY,
                             colX_[colLast] - colX_[colFirst] - 1, h - 1);
            painter.fillRect(rect, usual.fill);
            painter.setPen(usual.text);
            penColour = usual.text;
            const QRect textRect = rect.adjusted(kTextPadding, 1, -kTextPadding, -1);
            drawCellText(painter, textRect, Qt::AlignLeft | Qt::AlignVCenter,
                         laidOut(grid_->Text(r, 0), -1, false));
        }
        if (!current.isNull()) {
            // the current cell: a clear blue frame, so the pupil being edited is easy to find
            painter.setPen(QPen(QColor(30, 100, 220), 2));
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
    if (event->button() == Qt::LeftButton)
        pressed_ = cellAt(event->position().toPoint());
    QAbstractScrollArea::mousePressEvent(event);
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
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

QSize GridView::sizeHint() const {
    const int frame = 2 * frameWidth();
    return QSize(std::min(colX_.back(), 1000) + frame, std::min(rowY_.back(), 800) + frame);
}

} // namespace kirune
