#include "gridview.h"

#include "editors/common/twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace kirune {

namespace {
constexpr int kTextPadding = 3;         // pixels between a cell's edge and its text
const QColor kBodyLine(192, 192, 192);  // lines between ordinary cells
const QColor kFixedLine(128, 128, 128); // lines between header cells
const QColor kFixedFill(236, 233, 216); // header cells
const QColor kOutside(171, 171, 171);   // the area right of and below the cells
} // namespace

FixedGridView::FixedGridView(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    updateGeometryCache();
}

void FixedGridView::setGrid(const Grid* grid) {
    grid_ = grid;
    lastCurrentRow_ = lastCurrentCol_ = -1;
    refresh();
}

void FixedGridView::setFixedCounts(int rows, int cols) {
    fixedRows_ = std::max(rows, 0);
    fixedCols_ = std::max(cols, 0);
    refresh();
}

void FixedGridView::refresh() {
    updateGeometryCache();
    updateScrollBars();
    if (grid_ &&
        (grid_->CurrentRow() != lastCurrentRow_ || grid_->CurrentCol() != lastCurrentCol_)) {
        lastCurrentRow_ = grid_->CurrentRow();
        lastCurrentCol_ = grid_->CurrentCol();
        ensureCellVisible(lastCurrentRow_, lastCurrentCol_);
    }
    viewport()->update();
}

void FixedGridView::updateGeometryCache() {
    const int rows = grid_ ? grid_->Rows() : 0;
    const int cols = grid_ ? grid_->Cols() : 0;
    colX_.assign(cols + 1, 0);
    rowY_.assign(rows + 1, 0);
    for (int c = 0; c < cols; ++c)
        colX_[c + 1] = colX_[c] + TwipsToPixels(grid_->ColWidth(c));
    for (int r = 0; r < rows; ++r)
        rowY_[r + 1] = rowY_[r] + TwipsToPixels(grid_->RowHeight(r));
}

int FixedGridView::fixedWidth() const {
    return colX_[std::min<size_t>(fixedCols_, colX_.size() - 1)];
}

int FixedGridView::fixedHeight() const {
    return rowY_[std::min<size_t>(fixedRows_, rowY_.size() - 1)];
}

void FixedGridView::updateScrollBars() {
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

int FixedGridView::columnWidthPixels(int col) const {
    if (col < 0 || col + 1 >= static_cast<int>(colX_.size()))
        return 0;
    return colX_[col + 1] - colX_[col];
}

int FixedGridView::rowHeightPixels(int row) const {
    if (row < 0 || row + 1 >= static_cast<int>(rowY_.size()))
        return 0;
    return rowY_[row + 1] - rowY_[row];
}

int FixedGridView::viewX(int col) const {
    return col < fixedCols_ ? colStart(col) : colStart(col) - horizontalScrollBar()->value();
}

int FixedGridView::viewY(int row) const {
    return row < fixedRows_ ? rowStart(row) : rowStart(row) - verticalScrollBar()->value();
}

QRect FixedGridView::cellRect(int row, int col) const {
    if (!grid_ || row < 0 || col < 0 || row >= grid_->Rows() || col >= grid_->Cols())
        return {};
    return QRect(viewX(col), viewY(row), columnWidthPixels(col), rowHeightPixels(row));
}

std::pair<int, int> FixedGridView::cellAt(const QPoint& pos) const {
    if (!grid_)
        return {-1, -1};
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
        // the last edge not greater than p
        auto it = std::upper_bound(edges.begin() + first, edges.begin() + last + 1, p);
        const int index = static_cast<int>(it - edges.begin()) - 1;
        return index >= first && index < last ? index : -1;
    };
    const int col = find(colX_, fixedCols_, fixedWidth(), horizontalScrollBar()->value(), pos.x());
    const int row = find(rowY_, fixedRows_, fixedHeight(), verticalScrollBar()->value(), pos.y());
    if (row < 0 || col < 0)
        return {-1, -1};
    return {row, col};
}

void FixedGridView::ensureCellVisible(int row, int col) {
    if (!grid_ || row < 0 || col < 0 || row >= grid_->Rows() || col >= grid_->Cols())
        return;
    const QSize area = viewport()->size();
    if (row >= fixedRows_) {
        const int top = rowStart(row) - fixedHeight();
        const int bottom = rowStart(row + 1) - fixedHeight();
        const int visible = area.height() - fixedHeight();
        QScrollBar* bar = verticalScrollBar();
        // (not laid out yet when nothing is visible: then nothing can be shown)
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

QString FixedGridView::DisplayText(const QString& text) {
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

Qt::Alignment FixedGridView::cellAlignment(int row, int col) const {
    if (isFixed(row, col))
        return Qt::AlignCenter;
    if (grid_ && grid_->ColAlignment(col) == kAlignRightCenter)
        return Qt::AlignRight | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QColor FixedGridView::cellBackground(int row, int col) const {
    if (grid_) {
        if (auto colour = grid_->CellBackground(row, col))
            return QColor::fromRgb(*colour);
    }
    return isFixed(row, col) ? kFixedFill : palette().color(QPalette::Base);
}

void FixedGridView::paintCell(QPainter& painter, int row, int col, const QRect& rect) const {
    const bool fixed = isFixed(row, col);
    painter.fillRect(rect, cellBackground(row, col));
    // right and bottom edge lines, like the grids of the old program
    painter.setPen(fixed ? kFixedLine : kBodyLine);
    painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    if (fixed) {
        painter.setPen(Qt::white);
        painter.drawLine(rect.left(), rect.top(), rect.right() - 1, rect.top());
        painter.drawLine(rect.left(), rect.top(), rect.left(), rect.bottom() - 1);
    }
    const QString& text = grid_->Text(row, col);
    if (!text.isEmpty()) {
        const QRect textRect = rect.adjusted(kTextPadding, 1, -kTextPadding - 1, -2);
        painter.setPen(palette().color(fixed ? QPalette::ButtonText : QPalette::Text));
        painter.save();
        painter.setClipRect(rect.adjusted(0, 0, -1, -1), Qt::IntersectClip);
        painter.drawText(textRect, static_cast<int>(cellAlignment(row, col)), DisplayText(text));
        painter.restore();
    }
    if (!fixed && row == grid_->CurrentRow() && col == grid_->CurrentCol()) {
        QPen pen(palette().color(QPalette::Text), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(1, 1, -3, -3));
    }
}

void FixedGridView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QRect area = viewport()->rect();
    painter.fillRect(area, kOutside);
    if (!grid_)
        return;
    const int rows = grid_->Rows();
    const int cols = grid_->Cols();
    const int fixedW = fixedWidth();
    const int fixedH = fixedHeight();

    // Paint the scrolling body first, then the header strips over it, then the corner.
    auto paintRegion = [&](int rowFirst, int rowLast, int colFirst, int colLast,
                           const QRect& clip) {
        if (clip.isEmpty())
            return;
        painter.save();
        painter.setClipRect(clip);
        for (int r = rowFirst; r < rowLast; ++r) {
            const int y = viewY(r);
            const int h = rowHeightPixels(r);
            if (h <= 0 || y + h <= clip.top())
                continue;
            if (y > clip.bottom())
                break;
            for (int c = colFirst; c < colLast; ++c) {
                const int x = viewX(c);
                const int w = columnWidthPixels(c);
                if (w <= 0 || x + w <= clip.left())
                    continue;
                if (x > clip.right())
                    break;
                paintCell(painter, r, c, QRect(x, y, w, h));
            }
        }
        painter.restore();
    };
    const int fr = std::min(fixedRows_, rows);
    const int fc = std::min(fixedCols_, cols);
    paintRegion(fr, rows, fc, cols,
                QRect(fixedW, fixedH, area.width() - fixedW, area.height() - fixedH));
    paintRegion(0, fr, fc, cols, QRect(fixedW, 0, area.width() - fixedW, fixedH));
    paintRegion(fr, rows, 0, fc, QRect(0, fixedH, fixedW, area.height() - fixedH));
    paintRegion(0, fr, 0, fc, QRect(0, 0, fixedW, fixedH));
}

void FixedGridView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void FixedGridView::scrollContentsBy(int, int) {
    viewport()->update();
}

void FixedGridView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        pressed_ = cellAt(event->position().toPoint());
    QAbstractScrollArea::mousePressEvent(event);
}

void FixedGridView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const auto released = cellAt(event->position().toPoint());
        const auto pressed = pressed_;
        pressed_ = {-1, -1};
        if (released.first >= 0 && released == pressed)
            emit cellClicked(released.first, released.second);
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void FixedGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const auto cell = cellAt(event->position().toPoint());
        pressed_ = {-1, -1}; // the second release is no click of its own
        if (cell.first >= 0)
            emit cellDoubleClicked(cell.first, cell.second);
    }
    event->accept();
}

QSize FixedGridView::sizeHint() const {
    const int frame = 2 * frameWidth();
    return QSize(std::min(colX_.back(), 1000) + frame, std::min(rowY_.back(), 800) + frame);
}

} // namespace kirune
