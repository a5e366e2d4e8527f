#include "csvexport.h"

#include "model/cp932.h"
#include "model/gradebookfile.h"

namespace kirune {

QString CsvText(const Grid& grid) {
    QString text;
    const int rows = grid.Rows();
    const int cols = grid.Cols();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            QString cell = grid.Text(r, c);
            cell.replace(u'\r', u' ');
            text += cell;
            text += u',';
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

QByteArray CsvBytes(const Grid& grid) {
    return EncodeCp932(CsvText(grid));
}

bool ExportCsv(const Grid& grid, const QString& path, QString* error) {
    return SaveWithBackup(path, CsvBytes(grid), error);
}

} // namespace kirune
