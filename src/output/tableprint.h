#pragma once
// The printout of the table on screen: the date at the top right, the frame caption as title and
// the grid's rows as a ruled table, laid out in twips on one A4 landscape page.

#include "browse/grid.h"
#include "canvas.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace kirune {

// Geometry of the printed table as designed (twips); a page that cannot hold it shrinks it as a
// whole.
constexpr double kTableLeft = 1000;    // X0 of the design
constexpr double kPrintRowPitch = 300; // a line of the table: room for 10.5-point text
// Room between a text and its cell's borders on paper: 1 mm and half the widest rule.
constexpr double kTextMargin = 57 + 15;
// Room between a text's ink and the rules above and below it: 0.5 mm.
constexpr double kInkRoom = 28.35;
// Between the heading and the date beside it, and between the heading and the table.
constexpr double kHeadingGap = 200;

// Left edge of column `col` of the printed table as designed: column 0 is 900 wide, column 1
// 1900, every further column 900.
double PrintedColumnLeft(int col);
// Right edge of a printed table of `columns` columns as designed.
double PrintedTableRight(int columns);

// A header cell that spans columns `first` .. `first + count - 1`, in a line above the grid's own
// header row.
struct HeaderSpan {
    int first = 0;
    int count = 1;
    QString text;
};

// A table printed with column widths of its own (the grade's summary) instead of the main
// grid's: the width of every column as designed (twips), the columns whose left rule is thick,
// and lines of spanning headers above the grid's header row (the subjects over their columns,
// say), each text centred over its columns; a rule between two columns starts below the spans
// it would cross.
struct PrintedColumns {
    std::vector<double> widths;
    std::vector<int> groupRules;
    std::vector<std::vector<HeaderSpan>> bands{};
};

// A header cell as printed: its lines (at most three) and the font size they are printed in.
struct PrintedHeader {
    QStringList pieces;
    double fontSize = 12;
};

// The words of a header cell: the text between its blanks (a line break counts as a blank).
QStringList HeaderWords(const QString& text);

// Room for a header piece of column `col` (twips): the column less the text's left margin.
double PrintedHeaderRoom(int col);

// Width of a text in twips at a font size, in the font a printout uses.
using TextMeasure = std::function<double(const QString& text, double fontSize)>;

// Lays a header cell out in at most `maxLines` lines, each no wider than `room` twips: one word a
// line when there are three words or fewer, else as many words a line as fit. A word too long
// for its line is broken after punctuation (、，,・／) first, else between two Japanese
// characters, over two lines at most (`maxLines` - 1 where that is more); a run of Latin letters
// and digits (a test's date, say) is never split. When that does not fit at `fontSize`, the size
// goes down half a point at a time, to 70 % of it; below that the lines are cut with "…" where
// the room ends.
PrintedHeader LayOutHeader(const QString& text, double room, double fontSize,
                           const TextMeasure& measure, int maxLines = 3);

// The lines a header cell of column `col` may take in a table of tree level `level`: 3, and 8
// for a test's name and date in the viewpoint table (level 3), which print whole.
int HeaderLineLimit(int level, int col);

// The lines of the printed table: the spanning header lines, the header's tallest cell, and one
// per further row (the header measured as if every character of code 1..127 were half a point
// size wide and every other a whole one, at 12 points).
int PrintedTableLines(const Grid& grid, int shownColumnCount, const PrintedColumns* own = nullptr,
                      int level = 0);

// Whether the table prints larger on an A4 portrait page than on a landscape one (each less
// 10 mm all round): a class of 40 in a table of few columns does.
bool PrintsLargerUpright(const Grid& grid, int shownColumnCount, const QString& selectedNodeKey);

// Prints the table on a page `canvas.PageWidth()` wide and `pageHeight` high (twips, the page's
// margins already left out): the date at the top right, `frameCaption` as the heading beside it
// (smaller, or on two lines, where it is long), then the table, centred where it is narrower than
// the page and narrowed as a whole where it is wider, its rows as tall as 12-point text (narrowed
// with the table) wants where the page's height allows, the name column as wide as the longest
// name where the page has room, every text with 0.5 mm of room to the rules above and below
// it. A pupil's record fills the page's width and more than half its height. `shownColumnCount`
// columns of `grid` are printed; the level of `selectedNodeKey` chooses the group rules and the
// level-3 header size; `own` gives the widths and thick rules of a table that is not one of the
// main grid's. Returns where the table ends on the page (twips from its top).
double PrintTable(Canvas& canvas, const Grid& grid, int shownColumnCount,
                  const QString& selectedNodeKey, const QString& frameCaption,
                  const QString& dateText, double pageHeight, const PrintedColumns* own = nullptr);

} // namespace kirune
