#pragma once
// The tables as a real spreadsheet workbook (.xlsx, written by libxlsxwriter): one worksheet per
// table laid out as the grid shows it, with numbers as numbers in the format the screen shows
// them, an absence mark as a number format with a comment, the grid's colours and widths, the
// header row and the name column frozen, and each sheet set up to print A4 landscape.

#include "browse/grid.h"
#include "model/gradebook.h"

#include <QSet>
#include <QString>
#include <vector>

namespace kirune {

// One table of the workbook.
struct WorkbookSheet {
    QString nodeText; // the tree node's text: the sheet's name
    QString caption;  // the frame caption: the title row and the page header
    Grid grid;        // as the main grid holds it
    int columns = 0;  // the columns shown
    // Printed in pages side by side that start at these columns (the first page at the
    // first), each repeating the first `repeatedColumns` columns and the header row, at the
    // scale that fits the widest page; empty: on one page, or one page wide.
    std::vector<int> pageStarts{};
    int repeatedColumns = 0;
};

// The number format that shows a number cell's value as the screen shows it ("#,##0", "0.0",
// "\"*\"#,##0" for a sum with an absence).
QString NumberFormat(const CellValue& value);

// How a sheet prints: the height of its header row for its lines (points), and whether it
// fits on one page at 60 % of its size or more.
struct SheetPageLayout {
    double headerHeight = 15;
    bool onePage = true;
};
SheetPageLayout LayOutSheetPage(const Grid& grid, int columns);

// The print scale (percent, 10..100) at which each page of a sheet printed in pages side by side
// fits A4 landscape: the repeated columns and the columns from each start to the next.
int SheetPrintScale(const Grid& grid, int columns, const std::vector<int>& pageStarts,
                    int repeatedColumns);

// The sheet of the table that node `key` shows. A viewpoint table, shown by each test's node of
// its semester, is named and titled by its subject, semester and viewpoint ("国語 一学期 表現").
WorkbookSheet SheetOfNode(const GradeBook& book, const QString& key, const QString& nodeText,
                          const QString& caption, const Grid& grid, int columns);

// A sheet name from a node's text: at most 31 characters, []:*?/\ made full-width, and " (2)",
// " (3)"… for a name already in `used` (which takes the new name).
QString SheetName(const QString& nodeText, QSet<QString>& used);

// Every table of the book in the tree's order: the homeroom table; each subject's annual and
// semester tables; the viewpoint tables of each subject and semester with results; the ratings
// at a glance and each pupil's record, where there are pupils.
std::vector<WorkbookSheet> WholeBookSheets(const GradeBook& book);

// Writes `sheets` as one workbook to `path`: made aside, then put in place atomically (a failure
// leaves the target as it was). Never over the open book's own file (`bookPath`) or its backup.
// False and a Japanese *error on failure.
bool ExportWorkbook(const std::vector<WorkbookSheet>& sheets, const QString& title,
                    const QString& path, const QString& bookPath, QString* error);

} // namespace kirune
