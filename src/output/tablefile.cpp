#include "tablefile.h"

#include "model/safefile.h"
#include "model/textfile.h"
#include "xlsxreader.h"

#include <QFileInfo>
#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

QString NotATable() {
    return u"CSV ファイル（UTF-8 または Shift-JIS）としても Excel "
           u"ブック（.xlsx）としても読めません。"_s;
}

// A compound document (D0 CF 11 E0) is an old .xls workbook or a workbook protected by a
// password: both hold no zip.
bool LooksLikeCompoundDocument(const QByteArray& bytes) {
    return bytes.startsWith(QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"));
}

// The separator the file uses: in the first line that holds a comma, a tab or a semicolon
// (outside quotes), the one it holds most of; a tab wins a tie, then a comma. A comma when no
// line holds any (a single column).
QChar DetectSeparator(const QString& text) {
    const std::array<QChar, 3> candidates{u'\t', u',', u';'};
    std::array<int, 3> counts{};
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && (c == u'\n' || c == u'\r')) {
            if (std::any_of(counts.begin(), counts.end(), [](int n) { return n > 0; }))
                break;
        } else if (!quoted) {
            for (size_t i = 0; i < candidates.size(); ++i)
                if (c == candidates[i])
                    ++counts[i];
        }
    }
    const auto best = std::max_element(counts.begin(), counts.end());
    return *best == 0 ? QChar(u',') : candidates[static_cast<size_t>(best - counts.begin())];
}

// Drops the empty fields at the end of a row, so that "a,b,," and "a,b" are the same row.
void TrimRow(QStringList& row) {
    while (!row.isEmpty() && row.constLast().isEmpty())
        row.removeLast();
}

} // namespace

int TableFile::ColumnCount() const {
    qsizetype columns = 0;
    for (const QStringList& row : rows)
        columns = std::max(columns, row.size());
    return static_cast<int>(columns);
}

QString ColumnLetters(int column) {
    QString letters;
    for (int n = std::max(column, 0) + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

QString QuotedCell(const QString& text) {
    constexpr qsizetype kQuoted = 40;
    if (text.size() <= kQuoted)
        return text;
    qsizetype cut = kQuoted;
    if (text.at(cut - 1).isHighSurrogate())
        --cut; // never half a character
    return text.left(cut) + u'…';
}

void Farthest::Note(int row, int column) {
    if (row > lastRow) {
        lastRow = row;
        lastRowColumn = column;
    }
    if (column > lastColumn) {
        lastColumn = column;
        lastColumnRow = row;
    }
}

bool Farthest::Beyond() const {
    return lastRow >= kMaxTableRows || lastColumn >= kMaxTableColumns;
}

QString Farthest::Message() const {
    QStringList parts;
    if (lastRow >= kMaxTableRows)
        parts.push_back(
            u"行が %1 行を超えています（いちばん下の値は %2 行目 %3 列）。"_s.arg(kMaxTableRows)
                .arg(lastRow + 1)
                .arg(ColumnLetters(lastRowColumn)));
    if (lastColumn >= kMaxTableColumns)
        parts.push_back(
            u"列が %1 列（%2 列まで）を超えています（いちばん右の値は %3 行目 %4 列）。"_s
                .arg(kMaxTableColumns)
                .arg(ColumnLetters(kMaxTableColumns - 1))
                .arg(lastColumnRow + 1)
                .arg(ColumnLetters(lastColumn)));
    return parts.join(QString());
}

TableFile ParseCsv(const QByteArray& bytes) {
    TableFile table;
    const DecodedText decoded = DecodeTextFile(bytes);
    if (!decoded.ok || decoded.text.contains(QChar(0))) {
        // A NUL is in no text file: the file is something else.
        table.message =
            decoded.ok || decoded.badLine <= 1 ? NotATable() : UndecodableTextMessage(decoded);
        return table;
    }
    const QString& text = decoded.text;
    const QChar separator = DetectSeparator(text);
    QStringList row;
    QString field;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the field being read began with a quote
    int quoteStartRow = 0;  // where an open quote began (for the message)
    // Where the file goes on: the row being read, and the farthest cell holding something (the
    // cells beyond the bounds are only counted, never kept).
    int rowIndex = 0;
    Farthest farthest;
    int columnIndex = 0;
    auto endField = [&]() {
        if (!field.isEmpty())
            farthest.Note(rowIndex, columnIndex);
        if (rowIndex < kMaxTableRows && columnIndex < kMaxTableColumns)
            row.push_back(field);
        ++columnIndex;
        field.clear();
        wasQuoted = false;
    };
    auto endRow = [&]() {
        endField();
        TrimRow(row);
        if (rowIndex < kMaxTableRows)
            table.rows.push_back(row);
        row.clear();
        columnIndex = 0;
        ++rowIndex;
    };
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < size && text.at(i + 1) == u'"') {
                    field.append(u'"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field.append(c);
            }
        } else if (c == u'"' && field.isEmpty() && !wasQuoted) {
            quoted = true;
            wasQuoted = true;
            quoteStartRow = rowIndex + 1;
        } else if (c == separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
                ++i;
            endRow();
        } else if (c == QChar(0x1A) && i + 1 == size) {
            // A DOS end-of-file mark closes the text.
        } else {
            // A quote inside an unquoted field (or after a closing quote) is kept as it is.
            field.append(c);
        }
    }
    if (quoted) {
        table.rows.clear();
        table.message = u"%1 行目で始まる「\"」が閉じていません。"_s.arg(quoteStartRow);
        return table;
    }
    if (!field.isEmpty() || columnIndex > 0 || wasQuoted)
        endRow();
    // Empty lines at the end of the file are not rows of the table.
    while (!table.rows.empty() && table.rows.back().isEmpty())
        table.rows.pop_back();
    if (farthest.Beyond()) {
        table.rows.clear();
        table.message = farthest.Message();
        return table;
    }
    table.ok = true;
    return table;
}

QString TableFile::Where() const {
    QString where = fileName.isEmpty() ? u"ファイル"_s : u"ファイル「%1」"_s.arg(fileName);
    if (workbook && sheet >= 0 && sheet < sheetNames.size())
        where += u"のシート「%1」"_s.arg(QuotedCell(sheetNames.at(sheet)));
    return where;
}

TableFile TableBook::Sheet(int sheet) const {
    if (sheet < 0)
        sheet = activeSheet;
    if (ok && sheet < static_cast<int>(sheets.size()))
        return sheets[static_cast<size_t>(sheet)];
    TableFile table;
    table.workbook = workbook;
    if (!sheets.empty()) {
        table = sheets.front();
        table.ok = false;
        table.rows.clear();
        table.kinds.clear();
    }
    table.sheet = sheet;
    table.message =
        ok ? u"ファイル「%1」: %2 番目のシートはありません。"_s.arg(table.fileName).arg(sheet + 1)
           : message;
    return table;
}

TableBook ParseTableBook(const QByteArray& bytes, const QString& shownName) {
    TableBook book;
    if (bytes.size() > kMaxTableFileBytes) {
        book.message = u"大きすぎます（%1 MB まで）。"_s.arg(kMaxTableFileBytes / (1024 * 1024));
    } else if (LooksLikeZip(bytes)) {
        book = ReadXlsx(bytes);
    } else if (LooksLikeCompoundDocument(bytes)) {
        book.workbook = true;
        book.message =
            u"パスワードで保護されたブックか、古い形式（.xls）のブックです。パスワードを外して "
            u"Excel ブック（.xlsx）か CSV で保存し直してください。"_s;
    } else {
        book.sheets.push_back(ParseCsv(bytes));
        book.ok = book.sheets.front().ok;
        book.message = book.sheets.front().message;
    }
    const QString prefix = u"ファイル「%1」: "_s.arg(shownName);
    if (!book.ok) {
        book.sheets.clear();
        book.message = prefix + book.message;
    }
    for (TableFile& sheet : book.sheets) {
        sheet.fileName = shownName;
        if (!sheet.ok) {
            sheet.rows.clear();
            sheet.kinds.clear();
            sheet.message = prefix + sheet.message;
        }
    }
    return book;
}

TableFile ParseTableFile(const QByteArray& bytes, const QString& shownName, int sheet) {
    TableFile table = ParseTableBook(bytes, shownName).Sheet(sheet);
    table.fileName = shownName;
    return table;
}

bool ReadTableBytes(const QString& path, QByteArray* bytes, QString* message) {
    bool tooBig = false;
    if (ReadRegularFile(path, kMaxTableFileBytes, bytes, message, &tooBig))
        return true;
    if (tooBig)
        *message = u"ファイル「%1」: 大きすぎます（%2 MB まで）。"_s.arg(QFileInfo(path).fileName())
                       .arg(kMaxTableFileBytes / (1024 * 1024));
    return false;
}

TableFile ReadTableFile(const QString& path, int sheet) {
    TableFile table;
    QByteArray bytes;
    if (!ReadTableBytes(path, &bytes, &table.message))
        return table;
    return ParseTableFile(bytes, QFileInfo(path).fileName(), sheet);
}

} // namespace kirune
