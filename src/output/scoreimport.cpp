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

// A whole number 1..1000 in a pupil's number cell ("5", "5.0", "５"); 0 when it is none.
int PupilNumber(const QString& text, CellKind kind) {
    double value = 0;
    if (!CellNumber(text, kind, &value) || value < 1 || value > 1000 || value != std::floor(value))
        return 0;
    return static_cast<int>(value);
}

int DigitValue(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
        return c.unicode() - 0xFF10;
    return -1;
}

QString JoinedNumbers(const std::vector<int>& numbers) {
    QStringList texts;
    for (int n : numbers)
        texts.push_back(QString::number(n));
    return texts.join(u"、"_s);
}

} // namespace

QString MatchingKey(const QString& text) {
    QString key = text.normalized(QString::NormalizationForm_KC);
    key.removeIf([](QChar c) { return c.isSpace(); });
    return key;
}

bool CellNumber(const QString& text, CellKind kind, double* value) {
    if (kind == CellKind::Date)
        return false;
    if (kind == CellKind::Number) {
        bool ok = false;
        *value = text.toDouble(&ok);
        return ok && std::isfinite(*value);
    }
    const QString trimmed = text.trimmed();
    QString plain; // the number in ASCII
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed.at(i) == u'-' || trimmed.at(i) == QChar(0xFF0D))) {
        plain += u'-';
        ++i;
    }
    auto digits = [&]() {
        const qsizetype from = i;
        for (; i < trimmed.size() && DigitValue(trimmed.at(i)) >= 0; ++i)
            plain += QChar(u'0' + DigitValue(trimmed.at(i)));
        return i > from;
    };
    if (!digits())
        return false;
    if (i < trimmed.size() && (trimmed.at(i) == u'.' || trimmed.at(i) == QChar(0xFF0E))) {
        plain += u'.';
        ++i;
        if (!digits())
            return false;
    }
    if (i != trimmed.size())
        return false;
    bool ok = false;
    *value = plain.toDouble(&ok);
    // "-0" is no spelling of a score, nor of a negative number.
    return ok && std::isfinite(*value) && !(plain.startsWith(u'-') && *value == 0);
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

int ScorePreview::Conflicts() const {
    return static_cast<int>(std::count_if(unmatched.begin(), unmatched.end(),
                                          [](const UnmatchedRow& row) { return row.conflict; }));
}

QStringList ScorePreview::Unchosen() const {
    QStringList names;
    for (int v = 0; v < kViewpointCount; ++v)
        if (checked[v] && columns.viewpoint[v] == kUnchosenColumn)
            names.push_back(viewpointNames[v]);
    return names;
}

QString ScorePreview::ByPosition() const {
    QStringList taken;
    for (int v = 0; v < kViewpointCount; ++v)
        if (checked[v] && columns.byPosition[v] && columns.viewpoint[v] >= 0)
            taken.push_back(
                u"%1 は %2 列"_s.arg(viewpointNames[v], ColumnLetters(columns.viewpoint[v])));
    return taken.join(u"、"_s);
}

QString NoPupilColumnMessage(const TableFile& table) {
    return table.Where() + u"に生徒の列がありません。見出しが「出席番号」「番号」"
                           u"「No.」か「氏名」「名前」「生徒氏名」の列が要ります。"_s;
}

namespace {

// The checked viewpoints without a column take the columns after `from` that nothing else took,
// in order.
void TakeByPosition(ScoreColumns& columns, const ScoreImportTarget& target, int from, int width) {
    auto taken = [&](int c) {
        return c == columns.numberColumn || c == columns.nameColumn ||
               std::find(columns.viewpoint.begin(), columns.viewpoint.end(), c) !=
                   columns.viewpoint.end();
    };
    for (int v = 0; v < kViewpointCount; ++v) {
        if (!target.checked[v] || columns.viewpoint[v] >= 0)
            continue;
        while (from < width && taken(from))
            ++from;
        if (from < width) {
            columns.viewpoint[v] = from++;
            columns.byPosition[v] = true;
        }
    }
}

} // namespace

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
    bool anyByName = false;
    for (int v = 0; v < kViewpointCount; ++v) {
        const QString key = MatchingKey(target.viewpoints[v]);
        if (!target.checked[v] || key.isEmpty())
            continue;
        for (int c = 0; c < header.size(); ++c)
            if (c != columns.numberColumn && c != columns.nameColumn &&
                MatchingKey(header.at(c)) == key &&
                std::find(columns.viewpoint.begin(), columns.viewpoint.end(), c) ==
                    columns.viewpoint.end()) {
                columns.viewpoint[v] = c;
                anyByName = true;
                break;
            }
    }
    if (anyByName) {
        // A header that names one viewpoint says the file names its columns: the others are
        // the teacher's to choose, never guessed by their place.
        for (int v = 0; v < kViewpointCount; ++v)
            if (target.checked[v] && columns.viewpoint[v] < 0)
                columns.viewpoint[v] = kUnchosenColumn;
        return columns;
    }
    TakeByPosition(columns, target, std::max(columns.numberColumn, columns.nameColumn) + 1,
                   table.ColumnCount());
    return columns;
}

ScoreColumns HeaderlessColumns(const TableFile& table, const ScoreImportTarget& target) {
    ScoreColumns columns;
    columns.numberColumn = 0;
    TakeByPosition(columns, target, 1, table.ColumnCount());
    return columns;
}

ScorePreview BuildScorePreview(const TableFile& table, const ScoreImportTarget& target,
                               const ScoreColumns& columns, RowFollows follows) {
    ScorePreview preview;
    preview.columns = columns;
    preview.viewpointNames = target.viewpoints;
    preview.checked = target.checked;
    if (columns.numberColumn < 0 && columns.nameColumn < 0) {
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
        const QString numberText = table.Cell(r, columns.numberColumn);
        const QString nameCell = QuotedCell(table.Cell(r, columns.nameColumn).trimmed());
        const QString nameKey = MatchingKey(table.Cell(r, columns.nameColumn));
        const auto byName =
            nameKey.isEmpty() ? pupilsByName.constEnd() : pupilsByName.constFind(nameKey);

        // The number decides; the name serves when there is no number, and a name that is
        // another pupil's stops the row until the teacher says which to follow.
        int pupil = 0;
        bool conflict = false;
        QString reason;
        if (!MatchingKey(numberText).isEmpty()) {
            const int n = PupilNumber(numberText, table.Kind(r, columns.numberColumn));
            if (n == 0)
                reason = u"出席番号「%1」は番号ではありません"_s.arg(QuotedCell(numberText));
            else if (!named(n))
                reason = u"出席番号 %1 の生徒は名簿にいません"_s.arg(n);
            else
                pupil = n;
            const bool differs = pupil > 0 && !nameKey.isEmpty() &&
                                 nameKey != MatchingKey(target.names.at(pupil - 1));
            if (differs && byName != pupilsByName.constEnd() && follows == RowFollows::Neither) {
                reason =
                    u"出席番号 %1 は名簿では「%2」、氏名「%3」は出席番号 %4 です"_s.arg(pupil).arg(
                        target.names.at(pupil - 1), nameCell, JoinedNumbers(*byName));
                pupil = 0;
                conflict = true;
            } else if (differs && byName != pupilsByName.constEnd() &&
                       follows == RowFollows::Name) {
                if (byName->size() == 1) {
                    preview.warnings.push_back(
                        u"%1 行目: 氏名「%2」に従い出席番号 %3 としました（ファイルの出席番号は %4）"_s
                            .arg(fileRow)
                            .arg(nameCell)
                            .arg(byName->front())
                            .arg(pupil));
                    pupil = byName->front();
                } else {
                    reason =
                        u"氏名「%1」の生徒が名簿に %2 人います"_s.arg(nameCell).arg(byName->size());
                    pupil = 0;
                }
            } else if (differs) {
                preview.warnings.push_back(
                    u"%1 行目: 出席番号 %2 は名簿では「%3」、ファイルでは「%4」です"_s.arg(fileRow)
                        .arg(pupil)
                        .arg(target.names.at(pupil - 1), nameCell));
            }
        } else if (!nameKey.isEmpty()) {
            if (byName == pupilsByName.constEnd())
                reason = u"氏名「%1」の生徒は名簿にいません"_s.arg(nameCell);
            else if (byName->size() > 1)
                reason =
                    u"氏名「%1」の生徒が名簿に %2 人います"_s.arg(nameCell).arg(byName->size());
            else
                pupil = byName->front();
        } else {
            reason = u"出席番号も氏名もありません"_s;
        }
        if (pupil > 0 && rowOfPupil[static_cast<size_t>(pupil)] > 0) {
            reason = u"出席番号 %1 の生徒の行は %2 行目にもあります"_s.arg(pupil).arg(
                rowOfPupil[static_cast<size_t>(pupil)]);
            pupil = 0;
        }
        if (pupil == 0) {
            preview.unmatched.push_back({fileRow, reason, conflict});
            continue;
        }
        rowOfPupil[static_cast<size_t>(pupil)] = fileRow;

        ImportedPupil imported;
        imported.number = pupil;
        imported.row = fileRow;
        int absenceColumn = -1, scoreColumn = -1;
        for (int v = 0; v < kViewpointCount; ++v) {
            imported.boxes[v] = currentBox(pupil, v);
            const int c = columns.viewpoint[v];
            if (!target.checked[v] || c < 0)
                continue;
            const QString shown = table.Cell(r, c);
            const QString key = MatchingKey(shown);
            auto fault = [&](const QString& why) {
                preview.faults.push_back({fileRow, c, QuotedCell(shown.trimmed()), why});
            };
            if (key.isEmpty()) {
                imported.boxes[v].clear();
                imported.fromFile[v] = true;
                continue;
            }
            if (IsAbsenceMark(key)) {
                imported.absent = true;
                absenceColumn = absenceColumn < 0 ? c : absenceColumn;
                continue;
            }
            scoreColumn = scoreColumn < 0 ? c : scoreColumn;
            double value = 0;
            const int points = target.points[v] > 0 ? target.points[v] : 100;
            if (table.Kind(r, c) == CellKind::Date)
                fault(u"日付です（得点ではありません）"_s);
            else if (!CellNumber(shown, table.Kind(r, c), &value))
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
        if (imported.absent && scoreColumn >= 0) {
            // 欠 beside a score: which one the teacher meant is not for us to guess.
            preview.faults.push_back(
                {fileRow, absenceColumn, QuotedCell(table.Cell(r, absenceColumn).trimmed()),
                 u"欠席の印と同じ行に %1 列の「%2」があります（この行は入力しません）"_s.arg(
                     ColumnLetters(scoreColumn),
                     QuotedCell(table.Cell(r, scoreColumn).trimmed()))});
            continue;
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
    book_ = TableBook{};
    table_ = TableFile{};
    preview_ = ScorePreview{};
    QByteArray bytes;
    if (!ReadTableBytes(path, &bytes, &table_.message))
        return false;
    return OpenBytes(bytes, QFileInfo(path).fileName(), target);
}

bool ScoreImport::OpenBytes(const QByteArray& bytes, const QString& shownName,
                            const ScoreImportTarget& target) {
    target_ = target;
    book_ = ParseTableBook(bytes, shownName);
    headerless_ = false;
    follows_ = RowFollows::Neither;
    return ChooseSheet(-1);
}

bool ScoreImport::ChooseSheet(int sheet) {
    table_ = book_.Sheet(sheet);
    Guess();
    return table_.ok;
}

std::vector<int> ScoreImport::PupilSheets() const {
    std::vector<int> sheets;
    if (!book_.ok)
        return sheets;
    for (const TableFile& sheet : book_.sheets)
        if (sheet.ok && !sheet.hiddenSheet.empty() &&
            !sheet.hiddenSheet[static_cast<size_t>(sheet.sheet)] &&
            GuessScoreColumns(sheet, target_).headerRow >= 0)
            sheets.push_back(sheet.sheet);
    return sheets;
}

void ScoreImport::Guess() {
    preview_ = ScorePreview{};
    if (!table_.ok)
        return;
    const ScoreColumns columns =
        headerless_ ? HeaderlessColumns(table_, target_) : GuessScoreColumns(table_, target_);
    preview_ = BuildScorePreview(table_, target_, columns, follows_);
}

void ScoreImport::SetHeaderless(bool headerless) {
    headerless_ = headerless;
    Guess();
}

void ScoreImport::ChooseFollows(RowFollows follows) {
    follows_ = follows;
    if (table_.ok)
        preview_ = BuildScorePreview(table_, target_, preview_.columns, follows_);
}

void ScoreImport::ChooseColumns(const ScoreColumns& columns) {
    if (!table_.ok)
        return;
    ScoreColumns chosen = columns;
    // The header row stays where it was found; without one the table starts at its top.
    chosen.headerRow = headerless_ ? -1 : preview_.columns.headerRow;
    for (int v = 0; v < kViewpointCount; ++v)
        chosen.byPosition[v] =
            chosen.viewpoint[v] == preview_.columns.viewpoint[v] && preview_.columns.byPosition[v];
    preview_ = BuildScorePreview(table_, target_, chosen, follows_);
}

namespace {

// The column (from 0) that spreadsheet letters name ("A" 0, "AA" 26); -1 for "-", -2 for none.
int ColumnFromLetters(const QString& letters) {
    if (letters == u"-")
        return -1;
    int column = 0;
    for (const QChar c : letters) {
        const QChar upper = c.toUpper();
        if (upper < u'A' || upper > u'Z' || column > kMaxTableColumns)
            return -2;
        column = column * 26 + (upper.unicode() - u'A' + 1);
    }
    return letters.isEmpty() || column > kMaxTableColumns ? -2 : column - 1;
}

QString LettersOf(int column) {
    return column >= 0 ? ColumnLetters(column) : QStringLiteral("-");
}

} // namespace

QString ScoreImport::ColumnsText() const {
    const ScoreColumns& columns = preview_.columns;
    QStringList entries{u"番号="_s + LettersOf(columns.numberColumn),
                        u"氏名="_s + LettersOf(columns.nameColumn)};
    for (int v = 0; v < kViewpointCount; ++v)
        if (target_.checked[v])
            entries.push_back(target_.viewpoints[v] + u'=' + LettersOf(columns.viewpoint[v]));
    return entries.join(u',');
}

bool ScoreImport::ChooseColumnsText(const QString& text, QString* error) {
    ScoreColumns columns = preview_.columns;
    for (const QString& entry : text.split(u',', Qt::SkipEmptyParts)) {
        const QString name = entry.section(u'=', 0, 0).trimmed();
        const int column = ColumnFromLetters(entry.section(u'=', 1).trimmed());
        int* slot = nullptr;
        if (IsNumberHeader(name))
            slot = &columns.numberColumn;
        else if (IsNameHeader(name))
            slot = &columns.nameColumn;
        for (int v = 0; v < kViewpointCount && !slot; ++v)
            if (target_.checked[v] && MatchingKey(name) == MatchingKey(target_.viewpoints[v]))
                slot = &columns.viewpoint[v];
        if (!slot || column < -1 || !entry.contains(u'=')) {
            *error =
                u"列の指定「%1」が読めません。「観点の名前=列の文字」（例: 理解=D、読まない列は "
                u"理解=-）で指定してください。"_s.arg(QuotedCell(entry));
            return false;
        }
        *slot = column;
    }
    ChooseColumns(columns);
    return true;
}

QString ScoreImport::HeaderKey() const {
    const int header = preview_.columns.headerRow;
    if (!table_.ok || header < 0)
        return QString();
    QStringList keys;
    for (const QString& text : table_.rows[static_cast<size_t>(header)])
        keys.push_back(MatchingKey(text));
    for (int v = 0; v < kViewpointCount; ++v)
        keys.push_back(target_.checked[v] ? MatchingKey(target_.viewpoints[v]) : QString());
    return keys.join(u'\t');
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
