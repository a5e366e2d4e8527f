#include "scoreimport.h"

#include "model/numbers.h"

#include <QFileInfo>

#include <QHash>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

constexpr int kViewpointCount = 3;

bool IsAbsenceMark(const QString& key) {
    return key == u"*" || key == u"欠"_s || key == u"欠席"_s;
}

// A whole number 1..n in a pupil's number cell ("5", "5.0", "５"); 0 when it is none.
int PupilNumber(const QString& key) {
    bool ok = false;
    const double value = key.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 1 || value > 1000 || value != std::floor(value))
        return 0;
    return static_cast<int>(value);
}

} // namespace

QString MatchingKey(const QString& text) {
    QString key = text.normalized(QString::NormalizationForm_KC);
    key.removeIf([](QChar c) { return c.isSpace(); });
    return key;
}

bool IsNumberHeader(const QString& text) {
    const QString key = MatchingKey(text).toCaseFolded();
    return key == u"出席番号"_s || key == u"番号"_s || key == u"no." || key == u"no";
}

bool IsNameHeader(const QString& text) {
    const QString key = MatchingKey(text);
    return key == u"氏名"_s || key == u"名前"_s || key == u"生徒氏名"_s;
}

QString ScorePreview::Place(int row, int column) {
    return u"%1 行目 %2 列"_s.arg(row).arg(ColumnLetters(column));
}

QString ScorePreview::Counts() const {
    return u"一致 %1 人、一致しない行 %2、行のない生徒 %3 人、得点でないセル %4、注意 %5"_s
        .arg(matched.size())
        .arg(unmatched.size())
        .arg(missing.size())
        .arg(faults.size())
        .arg(warnings.size());
}

QString NoPupilColumnMessage(const TableFile& table) {
    const QString where =
        table.workbook && table.sheet >= 0 && table.sheet < table.sheetNames.size()
            ? u"シート「%1」"_s.arg(table.sheetNames.at(table.sheet))
            : u"ファイル"_s;
    return where + u"に生徒の列がありません。見出しが「出席番号」「番号」"
                   u"「No.」か「氏名」「名前」「生徒氏名」の列が要ります。"_s;
}

ScoreColumns GuessScoreColumns(const TableFile& table, const ScoreImportTarget& target) {
    ScoreColumns columns;
    const int rowCount = static_cast<int>(table.rows.size());
    for (int r = 0; r < rowCount && columns.headerRow < 0; ++r) {
        const QStringList& row = table.rows[static_cast<size_t>(r)];
        for (int c = 0; c < row.size(); ++c) {
            if (columns.numberColumn < 0 && IsNumberHeader(row.at(c)))
                columns.numberColumn = c;
            else if (columns.nameColumn < 0 && IsNameHeader(row.at(c)))
                columns.nameColumn = c;
        }
        if (columns.numberColumn >= 0 || columns.nameColumn >= 0)
            columns.headerRow = r;
    }
    if (columns.headerRow < 0)
        return columns;

    const QStringList& header = table.rows[static_cast<size_t>(columns.headerRow)];
    auto taken = [&](int c) {
        return c == columns.numberColumn || c == columns.nameColumn ||
               std::find(columns.viewpoint.begin(), columns.viewpoint.end(), c) !=
                   columns.viewpoint.end();
    };
    // First the headers equal to a viewpoint's name, then the columns after the pupil's.
    for (int v = 0; v < kViewpointCount; ++v) {
        if (!target.checked[v] || MatchingKey(target.viewpoints[v]).isEmpty())
            continue;
        for (int c = 0; c < header.size(); ++c)
            if (!taken(c) && MatchingKey(header.at(c)) == MatchingKey(target.viewpoints[v])) {
                columns.viewpoint[v] = c;
                break;
            }
    }
    int next = std::max(columns.numberColumn, columns.nameColumn) + 1;
    const int width = table.ColumnCount();
    for (int v = 0; v < kViewpointCount; ++v) {
        if (!target.checked[v] || columns.viewpoint[v] >= 0)
            continue;
        while (next < width && taken(next))
            ++next;
        if (next < width)
            columns.viewpoint[v] = next++;
    }
    return columns;
}

ScorePreview BuildScorePreview(const TableFile& table, const ScoreImportTarget& target,
                               const ScoreColumns& columns) {
    ScorePreview preview;
    preview.columns = columns;
    if (columns.headerRow < 0 || (columns.numberColumn < 0 && columns.nameColumn < 0)) {
        preview.message = NoPupilColumnMessage(table);
        return preview;
    }

    const int rosterSize = static_cast<int>(target.names.size());
    // Names as they are compared, and which pupils carry each.
    QHash<QString, std::vector<int>> pupilsByName;
    for (int n = 1; n <= rosterSize; ++n) {
        const QString key = MatchingKey(target.names.at(n - 1));
        if (!key.isEmpty())
            pupilsByName[key].push_back(n);
    }
    auto named = [&](int n) {
        return n >= 1 && n <= rosterSize && !MatchingKey(target.names.at(n - 1)).isEmpty();
    };
    auto currentBox = [&](int n, int v) {
        return n - 1 < static_cast<int>(target.current.size())
                   ? target.current[static_cast<size_t>(n - 1)][static_cast<size_t>(v)]
                   : QString();
    };

    std::vector<int> rowOfPupil(static_cast<size_t>(rosterSize) + 1, 0);
    const int rowCount = static_cast<int>(table.rows.size());
    for (int r = columns.headerRow + 1; r < rowCount; ++r) {
        const QStringList& cells = table.rows[static_cast<size_t>(r)];
        if (std::all_of(cells.begin(), cells.end(),
                        [](const QString& c) { return MatchingKey(c).isEmpty(); }))
            continue; // an empty row is no row of the table
        const int fileRow = r + 1;
        const QString numberCell = MatchingKey(table.Cell(r, columns.numberColumn));
        const QString nameCell = table.Cell(r, columns.nameColumn).trimmed();
        const QString nameKey = MatchingKey(nameCell);

        // The number decides; the name serves when there is no number.
        int pupil = 0;
        QString reason;
        if (!numberCell.isEmpty()) {
            const int n = PupilNumber(numberCell);
            if (n == 0)
                reason = u"出席番号「%1」は番号ではありません"_s.arg(
                    table.Cell(r, columns.numberColumn));
            else if (!named(n))
                reason = u"出席番号 %1 の生徒は名簿にいません"_s.arg(n);
            else
                pupil = n;
            if (pupil > 0 && !nameKey.isEmpty() &&
                nameKey != MatchingKey(target.names.at(pupil - 1)))
                preview.warnings.push_back(
                    u"%1 行目: 出席番号 %2 は名簿では「%3」、ファイルでは「%4」です"_s.arg(fileRow)
                        .arg(pupil)
                        .arg(target.names.at(pupil - 1), nameCell));
        } else if (!nameKey.isEmpty()) {
            const auto found = pupilsByName.constFind(nameKey);
            if (found == pupilsByName.constEnd())
                reason = u"氏名「%1」の生徒は名簿にいません"_s.arg(nameCell);
            else if (found->size() > 1)
                reason = u"氏名「%1」の生徒が名簿に %2 人います"_s.arg(nameCell).arg(found->size());
            else
                pupil = found->front();
        } else {
            reason = u"出席番号も氏名もありません"_s;
        }
        if (pupil > 0 && rowOfPupil[static_cast<size_t>(pupil)] > 0) {
            reason = u"出席番号 %1 の生徒の行は %2 行目にもあります"_s.arg(pupil).arg(
                rowOfPupil[static_cast<size_t>(pupil)]);
            pupil = 0;
        }
        if (pupil == 0) {
            preview.unmatched.push_back({fileRow, reason});
            continue;
        }
        rowOfPupil[static_cast<size_t>(pupil)] = fileRow;

        ImportedPupil imported;
        imported.number = pupil;
        imported.row = fileRow;
        for (int v = 0; v < kViewpointCount; ++v) {
            imported.boxes[v] = currentBox(pupil, v);
            const int c = columns.viewpoint[v];
            if (!target.checked[v] || c < 0)
                continue;
            const QString shown = table.Cell(r, c);
            const QString key = MatchingKey(shown);
            auto fault = [&](const QString& why) {
                preview.faults.push_back({fileRow, c, shown, why});
            };
            if (key.isEmpty()) {
                imported.boxes[v].clear();
                imported.fromFile[v] = true;
                continue;
            }
            if (IsAbsenceMark(key)) {
                imported.absent = true;
                continue;
            }
            bool number = false;
            const double value = key.toDouble(&number);
            const int points = target.points[v] > 0 ? target.points[v] : 100;
            if (!number || !std::isfinite(value))
                fault(u"得点ではありません"_s);
            else if (value < 0)
                fault(u"負の数です"_s);
            else if (value != std::floor(value))
                fault(u"整数ではありません"_s);
            else if (value > points)
                fault(target.points[v] > 0 ? u"配点 %1 を超えています"_s.arg(points)
                                           : u"100点を超えています"_s);
            else {
                imported.boxes[v] = NumberText(static_cast<long long>(value));
                imported.fromFile[v] = true;
            }
        }
        if (imported.absent) {
            // As the 欠席 button marks a pupil: "*" in every checked viewpoint.
            for (int v = 0; v < kViewpointCount; ++v) {
                imported.boxes[v] = target.checked[v] ? QStringLiteral("*") : QString();
                imported.fromFile[v] = true;
            }
        }
        preview.matched.push_back(imported);
    }
    std::sort(preview.matched.begin(), preview.matched.end(),
              [](const ImportedPupil& a, const ImportedPupil& b) { return a.number < b.number; });
    for (int n = 1; n <= rosterSize; ++n)
        if (named(n) && rowOfPupil[static_cast<size_t>(n)] == 0)
            preview.missing.push_back(n);
    preview.ok = true;
    return preview;
}

bool ScoreImport::Open(const QString& path, const ScoreImportTarget& target) {
    target_ = target;
    shownName_ = QFileInfo(path).fileName();
    table_ = TableFile{};
    preview_ = ScorePreview{};
    if (!ReadTableBytes(path, &bytes_, &table_.message))
        return false;
    return OpenBytes(bytes_, shownName_, target);
}

bool ScoreImport::OpenBytes(const QByteArray& bytes, const QString& shownName,
                            const ScoreImportTarget& target) {
    bytes_ = bytes;
    shownName_ = shownName;
    target_ = target;
    return ChooseSheet(0);
}

bool ScoreImport::ChooseSheet(int sheet) {
    const QStringList sheets = table_.sheetNames;
    table_ = ParseTableFile(bytes_, shownName_, sheet);
    if (table_.sheetNames.isEmpty() && table_.workbook)
        table_.sheetNames = sheets;
    Guess();
    return table_.ok;
}

void ScoreImport::Guess() {
    preview_ = ScorePreview{};
    if (!table_.ok)
        return;
    preview_ = BuildScorePreview(table_, target_, GuessScoreColumns(table_, target_));
}

void ScoreImport::ChooseColumns(const ScoreColumns& columns) {
    if (!table_.ok)
        return;
    ScoreColumns chosen = columns;
    // The header row stays where it was found; without one the table starts at its top.
    chosen.headerRow = preview_.columns.headerRow;
    preview_ = BuildScorePreview(table_, target_, chosen);
}

QStringList ScoreImport::ColumnLabels() const {
    QStringList labels;
    const int header = preview_.columns.headerRow;
    for (int c = 0; c < table_.ColumnCount(); ++c) {
        const QString text = table_.Cell(header, c).simplified();
        labels.push_back(text.isEmpty() ? ColumnLetters(c)
                                        : ColumnLetters(c) + QStringLiteral(": ") + text);
    }
    return labels;
}

} // namespace kirune
