#pragma once
// A small reader of Excel workbooks (.xlsx): the zip through libzip, its XML parts through
// QXmlStreamReader. It reads one sheet's cell values as text: numbers as written, shared and
// inline strings (without their phonetic guides), booleans as TRUE/FALSE, and the value a
// formula last had (never the formula). Styles, dates' formats and everything else are ignored.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace kirune {

struct XlsxContent {
    bool ok = false;
    QString message; // why the workbook was refused (when !ok), without the file's name
    QStringList sheetNames;
    std::vector<QStringList> rows; // as TableFile::rows
};

// Reads sheet `sheet` (0 is the first) of the workbook held in `bytes`. Refused: no zip, a
// damaged or encrypted zip, no workbook inside, parts that unpack beyond kMaxTableExpandedBytes,
// a cell beyond kMaxTableRows rows or kMaxTableColumns columns, a sheet that does not exist.
XlsxContent ReadXlsx(const QByteArray& bytes, int sheet);

// Whether `bytes` start as a zip archive does.
bool LooksLikeZip(const QByteArray& bytes);

} // namespace kirune
