// Scores read from a table: the columns found, rows matched by number or by name, the boxes'
// texts, absences, cells that are no scores, rows without a pupil and pupils without a row.
#include "output/scoreimport.h"

#include "support/testutil.h"
#include "support/workbookfixture.h"
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
        // warning; 欠 beside scores enters nothing for its row (nor is it missing); cells over the
        // points or no
        // number are listed and keep the box as it was.
        {"utf8_bom.csv",
         {u"1: 15| 25| 20", u"3: 12| 9| 7", u"row 6: 出席番号 45 の生徒は名簿にいません",
          u"D4 欠: 欠席の印と同じ行に C 列の「24」があります（この行は入力しません）",
          u"C5 31: 配点 30 を超えています", u"E5 x: 得点ではありません", u"missing 5", u"missing 6",
          u"warn 4 行目: 出席番号 2 は名簿では「石川 結衣」、ファイルでは「石川 \"ゆい\"」です",
          u"warn 5 行目: 出席番号 3 は名簿では「ウエダ レン」、ファイルでは「上田 蓮」です"}},
        // By name: a full-width blank and half-width katakana still match; a name two pupils
        // carry matches none; a full-width asterisk is an absence mark; no points means 100.
        {"cp932.csv",
         {u"1: 10| 20| 30", u"row 4: 氏名「小川 大翔」の生徒が名簿に 2 人います",
          u"row 5: 氏名「佐藤 次郎」の生徒は名簿にいません",
          u"C3 ＊: 欠席の印と同じ行に B 列の「5」があります（この行は入力しません）", u"missing 2",
          u"missing 5", u"missing 6"}},
        // Headers that name no viewpoint: the columns after the pupil's, in order; an empty cell
        // empties its box.
        {"tab.txt",
         {u"1: 8||", u"2:| 7|", u"D2 -3: 負の数です", u"E2 9.5: 整数ではありません", u"missing 3",
          u"missing 5", u"missing 6"}},
        {"openpyxl.xlsx",
         {u"1: 15| 28| 20", u"3: 4| 30| 21", u"5:||",
          u"C5 欠: 欠席の印と同じ行に E 列の「19」があります（この行は入力しません）",
          u"C6 12.5: 整数ではありません", u"missing 6",
          u"warn 6 行目: 出席番号 3 は名簿では「ウエダ レン」、ファイルでは「上田 蓮」です"}},
    };
    for (const Case& c : cases) {
        QStringList expected;
        for (const char16_t* line : c.lines)
            expected.push_back(QString::fromUtf16(line));
        EXPECT_EQ(Preview(Read(c.file)).join(u'\n').toStdString(),
                  expected.join(u'\n').toStdString())
            << c.file;
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
        {"absence in one column, numbers in another: nothing entered",
         u"氏名,表現,理解,言語\n青木 颯太,12,欠席,5\n",
         {u"C2 欠席: 欠席の印と同じ行に B 列の「12」があります（この行は入力しません）",
          u"missing 2", u"missing 3", u"missing 5", u"missing 6"}},
        {"an absence alone marks every viewpoint",
         u"氏名,表現,理解,言語\n青木 颯太,,欠,\n",
         {u"1:*|*|*", u"missing 2", u"missing 3", u"missing 5", u"missing 6"}},
        {"odd spellings and long cells are no scores, quoted to 40 characters",
         u"番号,表現,理解,言語\n1,1 "
         u"2,+5,1e1\n3,５.,-0,12点12345678901234567890123456789012345678901234567890\n",
         {u"1:| 9| 7", u"3: 4| 9| 7", u"B2 1 2: 得点ではありません", u"C2 +5: 得点ではありません",
          u"D2 1e1: 得点ではありません", u"B3 ５.: 得点ではありません",
          u"C3 -0: 得点ではありません",
          u"D3 12点1234567890123456789012345678901234567…: 得点ではありません", u"missing 2",
          u"missing 5", u"missing 6"}},
    };
    // Only the rows' pupils matter here; pupil 1's boxes start as pupil 3's.
    ScoreImportTarget target = Target();
    target.current[0] = {QString(), u" 9"_s, u" 7"_s};
    for (const Case& c : cases) {
        const TableFile table = ParseCsv(QString::fromUtf16(c.csv).toUtf8());
        QStringList expected;
        for (const char16_t* line : c.lines)
            expected.push_back(QString::fromUtf16(line));
        EXPECT_EQ(Preview(table, target).join(u'\n').toStdString(),
                  expected.join(u'\n').toStdString())
            << c.name;
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
        {u"Ｎｏ．,言語,生徒 氏名,X\n", 0, 0, 2, {kUnchosenColumn, -1, 1}},
        {u"番号,名前,知識,思考,表現\n", 0, 0, 1, {4, -1, kUnchosenColumn}},
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
        // Only where no header names a viewpoint are columns taken by their place.
        const bool byName = std::find(c.viewpoints.begin(), c.viewpoints.end(), kUnchosenColumn) !=
                            c.viewpoints.end();
        for (int v = 0; v < 3; ++v)
            EXPECT_EQ(columns.byPosition[v], c.viewpoints[v] >= 0 && !byName);
    }
}

TEST(ScoreImport, ASheetWithoutAPupilColumnIsRefused) {
    const TableFile table = Read("openpyxl.xlsx", 1);
    const ScorePreview preview =
        BuildScorePreview(table, Target(), GuessScoreColumns(table, Target()));
    EXPECT_FALSE(preview.ok);
    EXPECT_EQ(
        preview.message,
        u"ファイル「openpyxl.xlsx」のシート「集計」に生徒の列がありません。見出しが「出席番号」"
        u"「番号」「No.」か「氏名」「名前」「生徒氏名」の列が要ります。"_s);
}

TEST(ScoreImport, ACellIsANumberOnlyAsDigitsOrANumberCell) {
    struct Case {
        const char16_t* text;
        CellKind kind;
        bool number;
        double value;
    };
    const Case cases[] = {
        {u"12", CellKind::Text, true, 12},     {u"１２", CellKind::Text, true, 12},
        {u" 12.0 ", CellKind::Text, true, 12}, {u"１２．００", CellKind::Text, true, 12},
        {u"-3", CellKind::Text, true, -3},     {u"9.5", CellKind::Text, true, 9.5},
        {u"1 2", CellKind::Text, false, 0},    {u"１　２", CellKind::Text, false, 0},
        {u"1e1", CellKind::Text, false, 0},    {u".5e1", CellKind::Text, false, 0},
        {u"５.", CellKind::Text, false, 0},    {u"+5", CellKind::Text, false, 0},
        {u"-0", CellKind::Text, false, 0},     {u"12点", CellKind::Text, false, 0},
        {u"1E1", CellKind::Number, true, 10},  {u"5/12", CellKind::Date, false, 0},
    };
    for (const Case& c : cases) {
        double value = 0;
        EXPECT_EQ(CellNumber(QString::fromUtf16(c.text), c.kind, &value), c.number)
            << QString::fromUtf16(c.text).toStdString();
        if (c.number) {
            EXPECT_EQ(value, c.value) << QString::fromUtf16(c.text).toStdString();
        }
    }
}

TEST(ScoreImport, RowsWhoseNumberAndNameDisagreeFollowOnlyTheTeachersChoice) {
    const TableFile table =
        ParseCsv(u"番号,氏名,表現\n1,石川 結衣,5\n2,青木 颯太,6\n3,上田 蓮,7\n"_s.toUtf8());
    const ScoreColumns columns = GuessScoreColumns(table, Target());
    struct Case {
        RowFollows follows;
        std::vector<const char16_t*> lines;
    };
    const Case cases[] = {
        {RowFollows::Neither,
         {u"3: 7| 9| 7",
          u"row 2: 出席番号 1 は名簿では「青木 颯太」、氏名「石川 結衣」は出席番号 2 です",
          u"row 3: 出席番号 2 は名簿では「石川 結衣」、氏名「青木 颯太」は出席番号 1 です",
          u"missing 1", u"missing 2", u"missing 5", u"missing 6",
          u"warn 4 行目: 出席番号 3 は名簿では「ウエダ レン」、ファイルでは「上田 蓮」です"}},
        {RowFollows::Number,
         {u"1: 5||", u"2: 6||", u"3: 7| 9| 7", u"missing 5", u"missing 6",
          u"warn 2 行目: 出席番号 1 は名簿では「青木 颯太」、ファイルでは「石川 結衣」です",
          u"warn 3 行目: 出席番号 2 は名簿では「石川 結衣」、ファイルでは「青木 颯太」です",
          u"warn 4 行目: 出席番号 3 は名簿では「ウエダ レン」、ファイルでは「上田 蓮」です"}},
        {RowFollows::Name,
         {u"1: 6||", u"2: 5||", u"3: 7| 9| 7", u"missing 5", u"missing 6",
          u"warn 2 行目: 氏名「石川 結衣」に従い出席番号 2 としました（ファイルの出席番号は 1）",
          u"warn 3 行目: 氏名「青木 颯太」に従い出席番号 1 としました（ファイルの出席番号は 2）",
          u"warn 4 行目: 出席番号 3 は名簿では「ウエダ レン」、ファイルでは「上田 蓮」です"}},
    };
    for (const Case& c : cases) {
        const ScorePreview preview = BuildScorePreview(table, Target(), columns, c.follows);
        QStringList expected;
        for (const char16_t* line : c.lines)
            expected.push_back(QString::fromUtf16(line));
        EXPECT_EQ(Lines(preview).join(u'\n').toStdString(), expected.join(u'\n').toStdString());
        EXPECT_EQ(preview.Conflicts(), c.follows == RowFollows::Neither ? 2 : 0);
    }
}

TEST(ScoreImport, AWorkbookOpensOnItsVisibleActiveSheetAndReportsDatesAsShown) {
    using test::SheetXml;
    const QString header = u"A1=番号|B1=名前|C1=表現|D1=理解|E1=言語|"_s;
    const QByteArray book = test::Workbook(
        {{u"前回の試験"_s, SheetXml(header + u"A2=#1|C2=#7|D2=#11|E2=#5"_s), "hidden"},
         {u"今回"_s, SheetXml(header + u"A2=#1|C2=#8|D2=#12|E2=#6|A3=#2|C3=#46154@1"_s)},
         {u"名簿"_s, SheetXml(u"A1=氏名|A2=青木"_s)}},
        1, {u"m/d"_s});
    ScoreImport import;
    ASSERT_TRUE(import.OpenBytes(book, u"b.xlsx"_s, Target())) << import.Message().toStdString();
    EXPECT_EQ(import.PupilSheets(), (std::vector<int>{1, 2}));
    const QStringList lines = Lines(import.Preview());
    EXPECT_EQ(lines.mid(0, 3).join(u'\n').toStdString(),
              u"1: 8| 12| 6\n2:||\nC3 5/12: 日付です（得点ではありません）"_s.toStdString());
}

TEST(ScoreImport, ATableWithoutHeadersIsReadOnceTheFirstRowIsData) {
    ScoreImport import;
    ASSERT_TRUE(import.OpenBytes("1,15,25\n2,4,8\n", u"bare.csv"_s, Target()));
    EXPECT_FALSE(import.Preview().ok);
    EXPECT_EQ(import.Message().toStdString(),
              u"ファイル「bare.csv」に生徒の列がありません。見出しが「出席番号」「番号」「No.」"
              u"か「氏名」「名前」「生徒氏名」の列が要ります。"_s.toStdString());
    import.SetHeaderless(true);
    ASSERT_TRUE(import.CanImport());
    EXPECT_EQ(Lines(import.Preview()).mid(0, 2).join(u'|'), u"1: 15| 25||2: 4| 8|"_s);
    EXPECT_EQ(import.Preview().ByPosition(), u"表現 は B 列、理解 は C 列"_s);
}

} // namespace
} // namespace kirune
