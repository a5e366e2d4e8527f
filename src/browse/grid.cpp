#include "grid.h"

#include <algorithm>

namespace kirune {

namespace {
const QString kEmpty;
const CellValue kTextValue;
} // namespace

Grid::Grid(int rows, int cols) : cols_(std::max(cols, 1)) {
    SetRows(rows);
    colWidths_.assign(cols_, kDefaultColWidth);
    colAlign_.assign(cols_, kAlignDefault);
}

void Grid::SetRows(int rows) {
    rows = std::max(rows, 1);
    cells_.resize(rows);
    for (auto& row : cells_)
        row.resize(cols_);
    rowHeights_.resize(rows, kDefaultRowHeight);
    wideRows_.assign(rows, false); // a new row count starts without wide rows
    currentRow_ = std::min(currentRow_, rows - 1);
    summaryRows_ = 1;
}

void Grid::SetWideRow(int row, bool wide) {
    if (row >= 0 && row < Rows())
        wideRows_[row] = wide;
}

void Grid::SetSummaryRows(int rows) {
    summaryRows_ = std::clamp(rows, 0, Rows() - 1);
}

void Grid::SetCols(int cols) {
    cols_ = std::max(cols, 1);
    for (auto& row : cells_)
        row.resize(cols_);
    colWidths_.resize(cols_, kDefaultColWidth);
    colAlign_.resize(cols_, kAlignDefault);
    currentCol_ = std::min(currentCol_, cols_ - 1);
}

const QString& Grid::Text(int row, int col) const {
    return Inside(row, col) ? cells_[row][col].text : kEmpty;
}

const CellValue& Grid::Value(int row, int col) const {
    return Inside(row, col) ? cells_[row][col].value : kTextValue;
}

void Grid::SetText(int row, int col, const QString& text) {
    SetCell(row, col, text, CellValue::Text());
}

void Grid::SetCell(int row, int col, const QString& text, const CellValue& value) {
    if (Inside(row, col)) {
        cells_[row][col].text = text;
        cells_[row][col].value = value;
    }
}

void Grid::ClearAllText() {
    for (auto& row : cells_)
        for (auto& cell : row) {
            cell.text.clear();
            cell.value = CellValue::Text();
        }
}

int Grid::ColWidth(int col) const {
    return col >= 0 && col < cols_ ? colWidths_[col] : 0;
}

void Grid::SetColWidth(int col, int twips) {
    if (col >= 0 && col < cols_)
        colWidths_[col] = std::max(twips, 0);
}

int Grid::RowHeight(int row) const {
    return row >= 0 && row < Rows() ? rowHeights_[row] : 0;
}

void Grid::SetRowHeight(int row, int twips) {
    if (row >= 0 && row < Rows())
        rowHeights_[row] = std::max(twips, 0);
}

int Grid::ColAlignment(int col) const {
    return col >= 0 && col < cols_ ? colAlign_[col] : kAlignDefault;
}

void Grid::SetColAlignment(int col, int alignment) {
    if (col >= 0 && col < cols_)
        colAlign_[col] = alignment;
}

std::optional<QRgb> Grid::CellBackground(int row, int col) const {
    return Inside(row, col) ? cells_[row][col].background : std::nullopt;
}

void Grid::SetCellBackground(int row, int col, QRgb colour) {
    if (Inside(row, col))
        cells_[row][col].background = colour;
}

void Grid::SetCurrentCell(int row, int col) {
    if (Inside(row, col)) {
        currentRow_ = row;
        currentCol_ = col;
    }
}

QString Grid::RowString(int row) const {
    QString out;
    for (int c = 0; c < cols_; ++c) {
        if (c)
            out += u'|';
        out += Text(row, c);
    }
    return out;
}

} // namespace kirune
