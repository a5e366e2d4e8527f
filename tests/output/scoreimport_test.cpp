// Scores read from a table: the columns found, rows matched by number or by name, the boxes'
// texts, absences, cells that are no scores, rows without a pupil and pupils without a row.
#include "output/scoreimport.h"

#include "support/testutil.h"
#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

// Six places: pupil 4 has left; pupils 5 and 6 carry the same name but for a blank.
ScoreImportTarget Target() {
    ScoreImportTarget target;
    target.names = {u"青木 颯太"_s, u"石川 結衣"_s, u"ウエダ レン"_s,
                    QString(),      u"小川 大翔"_s, u"小川大翔"_s};
    target.viewpoints = {u"表現"_s, u"理解"_s, u"言語"_s};
    target.checked = {true, true, true};
    target.points = {20, 30, 0};
    target.current.assign(6, {QString(), QString(), QString()});
    target.current[2] = {u" 4"_s, u" 9"_s, u" 7"_s};
    return target;
}

TableFile Read(const char* file, int sheet = 0) {
    const TableFile table = ReadTableFile(
        QStringLiteral(KIRUNE_TEST_DATA "/scores/") + QString::fromLatin1(file), sheet);
    EXPECT_TRUE(table.ok) << table.message.toStdString();
    return table;
}

// The preview as lines: "3: 12| 9| 7" a matched pupil's boxes, "row 6: why" an unmatched row,
// "C5 31: why" a cell that is no score, "missing 5", "warn ...".
QStringList Lines(const ScorePreview& preview) {
    QStringList lines;
    for (const ImportedPupil& p : preview.matched)
        lines.push_back(QStringLiteral("%1:%2").arg(p.number).arg(
            QStringList(p.boxes.begin(), p.boxes.end()).join(u'|')));
    for (const UnmatchedRow& u : preview.unmatched)
        lines.push_back(QStringLiteral("row %1: ").arg(u.row) + u.reason);
    for (const CellFault& f : preview.faults)
        lines.push_back(ColumnLetters(f.column) + QString::number(f.row) + u' ' + f.text +
                        QStringLiteral(": ") + f.reason);
    for (int n : preview.missing)
        lines.push_back(QStringLiteral("missing %1").arg(n));
    for (const QString& w : preview.warnings)
        lines.push_back(QStringLiteral("warn ") + w);
    return lines;
}

QStringList Preview(const TableFile& table, const ScoreImportTarget& target = Target()) {
    const ScorePreview preview = BuildScorePreview(table, target, GuessScoreColumns(table, target));
    EXPECT_TRUE(preview.ok) << preview.message.toStdString();
    return Lines(preview);
}

TEST(ScoreImport, FixtureFilesGiveTheirPreview) {
    struct Case {
        const char* file;
        std::vector<const char16_t*> lines;
    };
    const Case cases[] = {
        // By number, viewpoints by their headers in another order; a name that differs is a
        // warning; 欠 marks every checked viewpoint; cells over the points or no number are
        // listed and keep the box as it was.
        {"utf8_bom.csv",
         {u"1: 15| 25| 20", u"2:*|*|*", u"3: 12| 9| 7",
          u"row 6: 出席番号 45 の生徒は名簿にいません", u"C5 31: 配点 30 を超えています",
          u"E5 x: 得点ではありません", u"missing 5", u"missing 6",
          u"warn 4 行目: 出席番号 2 は名簿では「石川 結衣」、ファイルでは「石川 \"ゆい\"」です",
          u"warn 5 行目: 出席番号 3 は名簿では「ウエダ レン」、ファイルでは「上田 蓮」です"}},
        // By name: a full-width blank and half-width katakana still match; a name two pupils
        // carry matches none; a full-width asterisk is an absence; no points means 100.
        {"cp932.csv",
         {u"1: 10| 20| 30", u"3:*|*|*", u"row 4: 氏名「小川 大翔」の生徒が名簿に 2 人います",
          u"row 5: 氏名「佐藤 次郎」の生徒は名簿にいません", u"missing 2", u"missing 5",
          u"missing 6"}},
        // Headers that name no viewpoint: the columns after the pupil's, in order; an empty cell
        // empties its box.
        {"tab.txt",
         {u"1: 8||", u"2:| 7|", u"D2 -3: 負の数です", u"E2 9.5: 整数ではありません", u"missing 3",
          u"missing 5", u"missing 6"}},
        {"openpyxl.xlsx",
         {u"1: 15| 28| 20", u"2:*|*|*", u"3: 4| 30| 21", u"5:||", u"C6 12.5: 整数ではありません",
          u"missing 6",
          u"warn 6 行目: 出席番号 3 は名簿では「ウエダ レン」、ファイルでは「上田 蓮」です"}},
    };
    for (const Case& c : cases) {
        QStringList expected;
        for (const char16_t* line : c.lines)
            expected.push_back(QString::fromUtf16(line));
        EXPECT_EQ(Preview(Read(c.file)).join(u'\n'), expected.join(u'\n')) << c.file;
    }
}

TEST(ScoreImport, RowsAndCellsFromCompactText) {
    struct Case {
        const char* name;
        const char16_t* csv;
        std::vector<const char16_t*> lines;
    };
    const Case cases[] = {
        {"a later row of the same pupil",
         u"番号,表現\n1,5\n1,6\n",
         {u"1: 5| 9| 7", u"row 3: 出席番号 1 の生徒の行は 2 行目にもあります", u"missing 2",
          u"missing 3", u"missing 5", u"missing 6"}},
        {"a pupil who has left and a number that is none",
         u"No.,表現\n4,5\nx,1\n,3\n",
         {u"row 2: 出席番号 4 の生徒は名簿にいません", u"row 3: 出席番号「x」は番号ではありません",
          u"row 4: 出席番号も氏名もありません", u"missing 1", u"missing 2", u"missing 3",
          u"missing 5", u"missing 6"}},
        {"no number: the name decides",
         u"出席番号,氏名,表現\n,石川結衣,3\n",
         {u"2: 3||", u"missing 1", u"missing 3", u"missing 5", u"missing 6"}},
        {"absence in one column, numbers in another",
         u"氏名,表現,理解,言語\n青木 颯太,12,欠席,5\n",
         {u"1:*|*|*", u"missing 2", u"missing 3", u"missing 5", u"missing 6"}},
    };
    // Only the rows' pupils matter here; pupil 1's boxes start as pupil 3's.
    ScoreImportTarget target = Target();
    target.current[0] = {QString(), u" 9"_s, u" 7"_s};
    for (const Case& c : cases) {
        const TableFile table = ParseCsv(QString::fromUtf16(c.csv).toUtf8());
        QStringList expected;
        for (const char16_t* line : c.lines)
            expected.push_back(QString::fromUtf16(line));
        EXPECT_EQ(Preview(table, target).join(u'\n'), expected.join(u'\n')) << c.name;
    }
}

TEST(ScoreImport, ColumnsAreGuessedAndAnUncheckedViewpointIsLeftAlone) {
    ScoreImportTarget target = Target();
    target.checked = {true, false, true};
    struct Case {
        const char16_t* csv;
        int header, number, name;
        std::array<int, 3> viewpoints;
    };
    const Case cases[] = {
        {u"title\n番号,氏名,A,B,C\n", 1, 0, 1, {2, -1, 3}},
        {u"Ｎｏ．,言語,生徒 氏名,X\n", 0, 0, 2, {3, -1, 1}},
        {u"名前\n", 0, -1, 0, {-1, -1, -1}},
        {u"a,b\n1,2\n", -1, -1, -1, {-1, -1, -1}},
    };
    for (const Case& c : cases) {
        const TableFile table = ParseCsv(QString::fromUtf16(c.csv).toUtf8());
        const ScoreColumns columns = GuessScoreColumns(table, target);
        EXPECT_EQ(columns.headerRow, c.header) << QString::fromUtf16(c.csv).toStdString();
        EXPECT_EQ(columns.numberColumn, c.number);
        EXPECT_EQ(columns.nameColumn, c.name);
        EXPECT_EQ(columns.viewpoint, c.viewpoints);
    }
}

TEST(ScoreImport, ASheetWithoutAPupilColumnIsRefused) {
    const TableFile table = Read("openpyxl.xlsx", 1);
    const ScorePreview preview =
        BuildScorePreview(table, Target(), GuessScoreColumns(table, Target()));
    EXPECT_FALSE(preview.ok);
    EXPECT_EQ(preview.message, u"シート「集計」に生徒の列がありません。見出しが「出席番号」"
                               u"「番号」「No.」か「氏名」「名前」「生徒氏名」の列が要ります。"_s);
}

} // namespace
} // namespace kirune
