#pragma once
// What screen readers see of a GridView: a table. Its rows and columns are the ordinary cells;
// the fixed header row gives the column headers and the fixed column (the attendance numbers)
// the row headers, so a cell reads as "表現, 3, 20". The current cell is the focused one while
// the table has the focus, the selection is the selected cells.

#include <QAccessible>

namespace kirune {

class GridView;

// Makes every GridView answer as such a table (once per program; GridView calls it).
void InstallGridAccessibility();
// The index among the table's accessible children of the grid cell (row, col); -1 outside.
// The ordinary cells come first, row by row, then the fixed ones.
int AccessibleCellIndex(const GridView& view, int row, int col);

} // namespace kirune
