#pragma once
// The grade's summary on paper and in files: the table with the books not read and the notes
// under it, printed on one A4 landscape page (one page wide), or saved as an Excel workbook or a
// CSV file through the same writers as the tables of a book.

#include "browse/gradesummary.h"
#include "model/outputplace.h"

#include <QString>

class QPrinter;

namespace kirune {

// The table as saved: the summary's rows, then an empty row and each note line in the 学級
// column. `columns` receives the columns shown.
Grid SummarySheetGrid(const GradeSummary& summary, QString& caption, int& columns);

// What a summary's outputs leave as they are: the open book `bookPath` and every book summarised.
KeptBooks SummaryKeptBooks(const GradeSummary& summary, const QString& bookPath);

// Saves the summary at `path`: an Excel workbook for a name ending in ".xlsx", else a CSV file.
// Refused without writing: the open book `bookPath` and its backup, and every book summarised
// and its backup. False and a Japanese *error when nothing was written (an existing file is then
// as it was).
bool SaveSummary(const GradeSummary& summary, const QString& path, const QString& bookPath,
                 QString* error);

// Prints the summary on `printer` (A4 landscape, one page, shrunk to the page's width), with
// `dateText` at the top right. False and a Japanese *error when the printout could not be made.
bool PrintSummary(QPrinter& printer, const GradeSummary& summary, const QString& dateText,
                  QString* error);

} // namespace kirune
