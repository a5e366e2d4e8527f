#pragma once
// The table on screen as a comma-separated file: every row and column of the main grid as it
// stands, each cell followed by ",", CR LF line ends, code page 932.

#include "browse/grid.h"

#include <QByteArray>
#include <QString>

namespace kirune {

// The file's text: one line per grid row, each cell's text followed by ","; a carriage return
// inside a cell is written as a blank. Cells are neither quoted nor escaped.
QString CsvText(const Grid& grid);
// That text in code page 932.
QByteArray CsvBytes(const Grid& grid);
// Writes the CSV file at `path` with the program's backup step (an old file becomes the ".bak"
// copy). False and a message in *error when the file could not be written; an existing file is
// then left as it was.
bool ExportCsv(const Grid& grid, const QString& path, QString* error);

} // namespace kirune
