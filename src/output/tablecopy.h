#pragma once
// Cells of a table as the clipboard carries them to a spreadsheet or a word processor: tab-
// separated text and an HTML table, one cell of the sheet for each cell of the table.

#include "browse/grid.h"

#include <QString>

namespace kirune {

// A rectangle of grid cells, both ends included; empty when top > bottom or left > right.
struct CellRange {
    int top = 0;
    int left = 0;
    int bottom = -1;
    int right = -1;

    bool isEmpty() const { return top > bottom || left > right; }
    bool contains(int row, int col) const {
        return row >= top && row <= bottom && col >= left && col <= right;
    }
    bool operator==(const CellRange&) const = default;
};

// One cell as it is copied: a number from its value, in the regional notation without digit
// grouping ("1087", "72.5"), so that a spreadsheet takes it for a number; a total marked for an
// absence, an absence, a rating and a text as the cell shows them. Line breaks and tabs become
// blanks; blanks around a number or a mark are dropped.
QString CopiedCellText(const Grid& grid, int row, int col);

struct CopiedCells {
    QString text; // tab-separated, one line per row
    QString html; // a table, one <td> per cell
};
// The cells of `range` (cut to the grid). A range that holds every row below the `headerRows`
// (whole columns) brings the header rows with it.
CopiedCells CopyCells(const Grid& grid, CellRange range, int headerRows);

} // namespace kirune
