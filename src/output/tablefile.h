#pragma once
// Reading a table of cells from a file the teacher brings: a CSV or text file (UTF-8 with or
// without a byte order mark, UTF-16 with one, or code page 932; comma, tab or semicolon between
// the fields; quotes as RFC 4180 has them) or an Excel workbook (.xlsx). Only Qt Core: the fuzz
// build reads files through this too.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace kirune {

// Bounds of what is read: anything larger cannot be one class's list. A file is read or refused
// within about a second and 150 MB, whatever it holds.
constexpr qint64 kMaxTableFileBytes = 10 * 1024 * 1024;     // the file itself
constexpr qint64 kMaxTableExpandedBytes = 50 * 1024 * 1024; // a workbook's parts, unpacked
constexpr int kMaxTableRows = 1000;
constexpr int kMaxTableColumns = 200;
// A workbook's cells that hold a value, and its shared strings, over all its sheets.
constexpr int kMaxWorkbookCells = 2 * kMaxTableRows * kMaxTableColumns;
// The characters of a workbook's shared strings, together (as many as the largest CSV file).
constexpr qint64 kMaxWorkbookTextChars = kMaxTableFileBytes;
// The XML elements of a workbook's parts, together: a cell takes two (c, v) or three (c, is, t).
constexpr qint64 kMaxWorkbookElements = 3 * kMaxWorkbookCells;

// What a workbook's cell held; a CSV file's cells are all text.
enum class CellKind : quint8 {
    Text,
    Number, // written as a number: the text is the number as stored ("12", "12.5")
    Date,   // a number shown as a date or a time: the text is as the sheet shows it ("5/12")
};

// One table: a CSV file, or one sheet of a workbook.
struct TableFile {
    bool ok = false;
    QString message;  // why the file (or this sheet) was refused, naming it (when !ok)
    QString fileName; // the file's name as messages show it
    bool workbook = false;
    QStringList sheetNames;        // a workbook's sheets, in order (empty for CSV)
    std::vector<bool> hiddenSheet; // beside sheetNames: hidden in the workbook
    int activeSheet = 0;           // the sheet the workbook opens on (a visible one)
    int sheet = 0;                 // the sheet read
    // The cells as text, rows and columns from 0 (A1 is rows[0][0]); a row is as long as its
    // last cell that holds something, empty rows are kept (so the row numbers stay those the
    // teacher sees).
    std::vector<QStringList> rows;
    // The cells that are not text, by row * kMaxTableColumns + column.
    QHash<int, CellKind> kinds;

    QString Cell(int row, int column) const {
        if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0 ||
            column >= rows[static_cast<size_t>(row)].size())
            return QString();
        return rows[static_cast<size_t>(row)].at(column);
    }
    CellKind Kind(int row, int column) const {
        return kinds.value(row * kMaxTableColumns + column, CellKind::Text);
    }
    int ColumnCount() const;
    // "ファイル「a.csv」" or "ファイル「a.xlsx」のシート「今回」": where the table is, for
    // messages.
    QString Where() const;
};

// A file read once: a CSV file's one table, or every sheet of a workbook (a sheet beyond the
// bounds is refused alone, with its message; the others stay readable).
struct TableBook {
    bool ok = false;
    QString message; // why the whole file was refused, naming it (when !ok)
    bool workbook = false;
    std::vector<TableFile> sheets;
    int activeSheet = 0;
    // Sheet `sheet` (-1: the active one), or a refusal naming the file.
    TableFile Sheet(int sheet) const;
};

TableBook ParseTableBook(const QByteArray& bytes, const QString& shownName);

// Reads `bytes` as a workbook (a zip) or as CSV text; `shownName` names the file in messages.
// `sheet` chooses a workbook's sheet (0 is the first, -1 the sheet the workbook opens on).
TableFile ParseTableFile(const QByteArray& bytes, const QString& shownName, int sheet = -1);

// Reads the bytes of the regular file at `path` (at most kMaxTableFileBytes); false with a
// message naming the file when it cannot be read or is too large.
bool ReadTableBytes(const QString& path, QByteArray* bytes, QString* message);

// Reads the regular file at `path` and parses it.
TableFile ReadTableFile(const QString& path, int sheet = -1);

// CSV text alone, without the file's name in a refusal.
TableFile ParseCsv(const QByteArray& bytes);

// "A", "B", ... "Z", "AA": a column as spreadsheets name it (column 0 is "A").
QString ColumnLetters(int column);

// The farthest cells holding a value, as a reader meets them; beyond the bounds, the message
// says which bound and where the farthest value is.
struct Farthest {
    int lastRow = -1;
    int lastRowColumn = -1; // the column of the value farthest down
    int lastColumn = -1;
    int lastColumnRow = -1; // the row of the value farthest to the right
    void Note(int row, int column);
    bool Beyond() const;
    QString Message() const;
};

// A cell's text as messages quote it: at most 40 characters, then "…".
QString QuotedCell(const QString& text);

} // namespace kirune
