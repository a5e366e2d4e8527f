#include "csvexport.h"

#include "model/cp932.h"
#include "model/gradebookfile.h"
#include "model/safefile.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <memory>

namespace kirune {

namespace {

// A number as the tables show it: an optional sign, digits with or without thousands grouping,
// an optional decimal part; with "," and "." or with the regional separators.
bool IsShownNumber(const QString& text) {
    static const QRegularExpression plain(
        QStringLiteral(R"(^[+-]?(\d+|\d{1,3}(,\d{3})+)(\.\d+)?$)"));
    if (plain.match(text).hasMatch())
        return true;
    const QLocale locale;
    const QString group = QRegularExpression::escape(locale.groupSeparator());
    const QString point = QRegularExpression::escape(locale.decimalPoint());
    const QRegularExpression regional(
        QStringLiteral(R"(^[+-]?(\d+|\d{1,3}(%1\d{3})+)(%2\d+)?$)").arg(group, point));
    return regional.match(text).hasMatch();
}

} // namespace

QString CsvField(const QString& cell, bool name) {
    QString text = cell;
    text.replace(u'\r', u' ');
    if (!text.isEmpty()) {
        const QChar first = text.front();
        const bool formula =
            first == u'=' || first == u'+' || first == u'-' || first == u'@' || first == u'\t';
        // A name is always text: one that looks like a number is guarded as well.
        const bool guard =
            name ? formula || IsShownNumber(text.trimmed()) : formula && !IsShownNumber(text);
        if (guard)
            text.prepend(u'\'');
    }
    if (text.contains(u',') || text.contains(u'"') || text.contains(u'\n')) {
        text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        text = u'"' + text + u'"';
    }
    return text;
}

QString CsvText(const Grid& grid) {
    QString text;
    const int rows = grid.Rows();
    const int cols = grid.Cols();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            text += CsvField(grid.Text(r, c), r > 0 && c == 1); // the name column
            text += u',';
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

QByteArray CsvBytes(const Grid& grid) {
    return EncodeCp932(CsvText(grid));
}

namespace {

// Where an older export is kept: beside it as x.bak, unless x.bak is a grade book's backup (it
// reads as a grade book), which must not be replaced: then as x.csv.bak.
QString ExportBackupPath(const QString& path) {
    const QString usual = BackupPath(SaveTarget(path));
    if (!QFileInfo(usual).isFile())
        return usual;
    auto book = std::make_unique<GradeBook>(); // large: keep it off the stack
    return ReadGradeBookFile(usual, *book, nullptr) ? SaveTarget(path) + QStringLiteral(".bak")
                                                    : usual;
}

} // namespace

bool ExportCsv(const Grid& grid, const QString& path, const KeptBooks& books, QString* error) {
    if (!CheckOutputPlace(path, books, error))
        return false;
    // An older export is kept as its backup, but never where that would replace the open book
    // or its own backup (the only copy of its previous marks): then the export keeps none.
    const QString backup = ExportBackupPath(path);
    if (!CheckOutputPlace(backup, books, nullptr))
        return WriteFileAtomically(path, CsvBytes(grid), error);
    return SaveWithBackup(path, CsvBytes(grid), error, backup);
}

} // namespace kirune
