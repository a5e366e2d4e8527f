#pragma once
// The grade's summary on paper and in files: the table with the books not read and the notes
// under it, printed on A4 landscape pages that split the subjects between them, or saved as an
// Excel workbook (which prints the same way) or a CSV file through the same writers as the
// tables of a book.

#include "browse/gradesummary.h"

#include <QString>
#include <vector>

class QPrinter;

namespace kirune {

// The table as saved: the summary's rows, then an empty row and each note line in the 学級
// column. `columns` receives the columns shown.
Grid SummarySheetGrid(const GradeSummary& summary, QString& caption, int& columns);

// The columns of the summary table as printed (twips as designed, text at 12 points): the
// class column holds its longest label.
std::vector<double> SummaryPrintedWidths(const Grid& table, int columns);

// The printed summary's pages, the same on paper and in a workbook: the first table column of
// each page's subjects, whole subjects in order, as many a page as an A4 landscape page within
// its margins holds with every text at 9 points or more beside the class columns (No., 学級,
// 人数), which every page repeats. One page (column 3) when no subject is shown.
std::vector<int> SummaryPageStarts(const Grid& table, int columns);

// False and a Japanese *error when `path` is one of the books summarised or its backup.
bool CheckNotSummarisedBook(const GradeSummary& summary, const QString& path, QString* error);

// Saves the summary at `path`: an Excel workbook for a name ending in ".xlsx", else a CSV file.
// Refused without writing: the open book `bookPath` and its backup, and every book summarised
// and its backup. False and a Japanese *error when nothing was written (an existing file is then
// as it was).
bool SaveSummary(const GradeSummary& summary, const QString& path, const QString& bookPath,
                 QString* error);

// Prints the summary on `printer`, A4 landscape, a page for each of SummaryPageStarts: the class
// columns, the page's subjects (each subject's name over its viewpoints, each viewpoint's name
// over its four columns), `dateText` at the top right, "1 / 3" under the table, and the notes
// under the last page's table. False and a Japanese *error when the printout could not be made.
bool PrintSummary(QPrinter& printer, const GradeSummary& summary, const QString& dateText,
                  QString* error);

} // namespace kirune
