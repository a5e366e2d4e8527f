#pragma once
// The table on screen as a comma-separated file: every row and column of the main grid as it
// stands, each cell followed by ",", CR LF line ends, code page 932.

#include "browse/grid.h"
#include "model/outputplace.h"

#include <QByteArray>
#include <QString>

namespace kirune {

// One cell as the file holds it: a carriage return becomes a blank; a text that a spreadsheet
// would take for a formula (it starts with "=", "+", "-", "@" or a tab and is not a number as
// shown, such as "-1", "1,096" or "85.5") gets a leading "'"; then a text holding ",", '"' or a
// line feed is put in double quotes with every '"' doubled. Any other text stays as it is. A
// pupil's `name` is always text: one that looks like a number ("-5", "+81", "123") gets the
// leading "'" as well.
QString CsvField(const QString& cell, bool name = false);
// The file's text: one line per grid row, each cell (CsvField) followed by ",".
QString CsvText(const Grid& grid);
// That text in code page 932.
QByteArray CsvBytes(const Grid& grid);
// Writes the CSV file at `path` the safe way every save takes (temporary file, rename), an old
// file becoming the ".bak" copy, except where that name is the backup of the open grade book
// `bookPath` (then no backup is made). Writing over the open grade book or its backup is refused
// (CheckOutputPlace).
// False and a message in *error when the file was not written; an existing file is then left
// as it was.
bool ExportCsv(const Grid& grid, const QString& path, const KeptBooks& books, QString* error);

} // namespace kirune
