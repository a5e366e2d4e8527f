#pragma once
// Reading a table of cells from a file the teacher brings: a CSV or text file (UTF-8 with or
// without a byte order mark, UTF-16 with one, or code page 932; comma, tab or semicolon between
// the fields; quotes as RFC 4180 has them) or an Excel workbook (.xlsx). Only Qt Core: the fuzz
// build reads files through this too.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace kirune {

// Bounds of what is read: anything larger cannot be one class's list.
constexpr qint64 kMaxTableFileBytes = 10 * 1024 * 1024;     // the file itself
constexpr qint64 kMaxTableExpandedBytes = 50 * 1024 * 1024; // a workbook's parts, unpacked
constexpr int kMaxTableRows = 1000;
constexpr int kMaxTableColumns = 200;

struct TableFile {
    bool ok = false;
    QString message; // why the file was refused, naming it (when !ok)
    bool workbook = false;
    QStringList sheetNames; // a workbook's sheets, in order (empty for CSV)
    int sheet = 0;          // the sheet read
    // The cells as text, rows and columns from 0 (A1 is rows[0][0]); a row is as long as its
    // last cell that holds something, empty rows are kept (so the row numbers stay those the
    // teacher sees).
    std::vector<QStringList> rows;

    QString Cell(int row, int column) const {
        if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0 ||
            column >= rows[static_cast<size_t>(row)].size())
            return QString();
        return rows[static_cast<size_t>(row)].at(column);
    }
    int ColumnCount() const;
};

// Reads `bytes` as a workbook (a zip) or as CSV text; `shownName` names the file in messages.
// `sheet` chooses a workbook's sheet (0 is the first).
TableFile ParseTableFile(const QByteArray& bytes, const QString& shownName, int sheet = 0);

// Reads the bytes of the regular file at `path` (at most kMaxTableFileBytes); false with a
// message naming the file when it cannot be read or is too large.
bool ReadTableBytes(const QString& path, QByteArray* bytes, QString* message);

// Reads the regular file at `path` and parses it.
TableFile ReadTableFile(const QString& path, int sheet = 0);

// CSV text alone, without the file's name in a refusal.
TableFile ParseCsv(const QByteArray& bytes);

// "A", "B", ... "Z", "AA": a column as spreadsheets name it (column 0 is "A").
QString ColumnLetters(int column);

} // namespace kirune
