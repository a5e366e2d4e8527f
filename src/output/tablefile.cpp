#include "tablefile.h"

#include "model/cp932.h"
#include "model/safefile.h"
#include "xlsxreader.h"

#include <QFileInfo>
#include <QStringDecoder>
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

// The file's text: UTF-16 or UTF-8 after a byte order mark, UTF-8 when the bytes are valid
// UTF-8, code page 932 otherwise. False when the bytes are neither (or hold a NUL, which no text
// file does).
bool DecodeText(const QByteArray& bytes, QString* text) {
    const TextEncoding bom = DetectTextEncoding(bytes);
    const qsizetype skip = ByteOrderMarkSize(bytes, bom);
    const QByteArrayView body = QByteArrayView(bytes).sliced(skip);
    if (skip > 0 && (bom == TextEncoding::Utf16LE || bom == TextEncoding::Utf16BE)) {
        QStringDecoder decoder(bom == TextEncoding::Utf16LE ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        *text = decoder(body);
        return !decoder.hasError() && body.size() % 2 == 0 && !text->contains(QChar(0));
    }
    if (body.contains('\0'))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *text = utf8(body);
    if (!utf8.hasError())
        return true;
    if (skip > 0)
        return false; // a UTF-8 byte order mark before bytes that are no UTF-8
    bool invalid = false;
    *text = DecodeCp932(body.data(), body.size(), &invalid);
    return !invalid;
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

TableFile ParseCsv(const QByteArray& bytes) {
    TableFile table;
    QString text;
    if (!DecodeText(bytes, &text)) {
        table.message = NotATable();
        return table;
    }
    const QChar separator = DetectSeparator(text);
    QStringList row;
    QString field;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the field being read began with a quote
    int quoteStartRow = 0;  // where an open quote began (for the message)
    auto endRow = [&]() {
        row.push_back(field);
        field.clear();
        wasQuoted = false;
        TrimRow(row);
        table.rows.push_back(row);
        row.clear();
    };
    auto tooLarge = [&]() {
        return static_cast<int>(table.rows.size()) > kMaxTableRows || row.size() > kMaxTableColumns;
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
            quoteStartRow = static_cast<int>(table.rows.size()) + 1;
        } else if (c == separator) {
            row.push_back(field);
            field.clear();
            wasQuoted = false;
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
        if (tooLarge())
            break;
    }
    if (quoted) {
        table.rows.clear();
        table.message = u"%1 行目で始まる「\"」が閉じていません。"_s.arg(quoteStartRow);
        return table;
    }
    if (!field.isEmpty() || !row.isEmpty() || wasQuoted)
        endRow();
    // Empty lines at the end of the file are not rows of the table.
    while (!table.rows.empty() && table.rows.back().isEmpty())
        table.rows.pop_back();
    if (static_cast<int>(table.rows.size()) > kMaxTableRows ||
        table.ColumnCount() > kMaxTableColumns) {
        table.rows.clear();
        table.message =
            u"行が %1 行か列が %2 列を超えています。"_s.arg(kMaxTableRows).arg(kMaxTableColumns);
        return table;
    }
    table.ok = true;
    return table;
}

TableFile ParseTableFile(const QByteArray& bytes, const QString& shownName, int sheet) {
    TableFile table;
    if (bytes.size() > kMaxTableFileBytes) {
        table.message = u"大きすぎます（%1 MB まで）。"_s.arg(kMaxTableFileBytes / (1024 * 1024));
    } else if (LooksLikeZip(bytes)) {
        XlsxContent book = ReadXlsx(bytes, sheet);
        table.workbook = true;
        table.sheetNames = std::move(book.sheetNames);
        table.sheet = sheet;
        table.rows = std::move(book.rows);
        table.ok = book.ok;
        table.message = std::move(book.message);
    } else if (LooksLikeCompoundDocument(bytes)) {
        table.workbook = true;
        table.message =
            u"パスワードで保護されたブックか、古い形式（.xls）のブックです。パスワードを外して "
            u"Excel ブック（.xlsx）か CSV で保存し直してください。"_s;
    } else {
        table = ParseCsv(bytes);
    }
    if (!table.ok) {
        table.rows.clear();
        table.message = u"ファイル「%1」: "_s.arg(shownName) + table.message;
    }
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
