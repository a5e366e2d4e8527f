#pragma once
// The printout of the table on screen: the date at the top right, the frame caption as title and
// the grid's rows as a ruled table, laid out in twips on one A4 landscape page.

#include "browse/grid.h"
#include "canvas.h"

#include <QString>
#include <QStringList>

namespace kirune {

// Geometry of the printed table (twips).
constexpr double kTableLeft = 1000; // X0
constexpr double kTableTop = 600;   // Y0
constexpr double kTableLineHeight = 240;

// Left edge of column `col` of the printed table: column 0 is 900 wide, column 1 1900, every
// further column 900.
double PrintedColumnLeft(int col);
// Right edge of a printed table of `columns` columns.
double PrintedTableRight(int columns);

// The pieces a header cell is printed in, one per line (at most three): line breaks become
// blanks, each piece starts after the leading blanks and ends where the width reaches ten
// (double-width characters count two) or just after the first blank.
QStringList HeaderPieces(const QString& text);

// The lines of the printed table: the header's tallest cell plus one per further row.
int PrintedTableLines(const Grid& grid, int shownColumnCount);

// The factor by which a page must shrink so that the printed table fits a printable area of the
// given size (twips); 1 when it fits as laid out.
double PrintFitScale(const Grid& grid, int shownColumnCount, double printableWidth,
                     double printableHeight);

// Prints the table on the canvas. `shownColumnCount` columns of `grid` are printed; the level of
// `selectedNodeKey` chooses the group rules and the level-3 header size; `dateText` goes to the
// top right and `frameCaption` is the title.
void PrintTable(Canvas& canvas, const Grid& grid, int shownColumnCount,
                const QString& selectedNodeKey, const QString& frameCaption,
                const QString& dateText);

} // namespace kirune
