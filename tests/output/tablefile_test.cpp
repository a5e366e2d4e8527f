// Reading a table from a CSV file or a workbook: encodings, separators, quotes, the workbook's
// cell kinds and sheets, and every refusal.
#include "output/tablefile.h"

#include "model/cp932.h"

#include "support/testutil.h"
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

QByteArray Fixture(const QString& name) {
    QFile file(QStringLiteral(KIRUNE_TEST_DATA "/scores/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

// The table as one string: rows joined by "/", cells by "|".
QString Joined(const TableFile& table) {
    QStringList rows;
    for (const QStringList& row : table.rows)
        rows.push_back(row.join(u'|'));
    return rows.join(u'/');
}

TEST(TableFile, CsvTextIsCutIntoCells) {
    struct Case {
        const char* name;
        QByteArray bytes;
        const char16_t* cells;
    };
    const Case cases[] = {
        {"comma", "a,b,c\r\n1,2,3\r\n", u"a|b|c/1|2|3"},
        {"tab", "a\tb,c\n1\t2\n", u"a|b,c/1|2"},
        {"semicolon", "a;b;c\n1,5;2\n", u"a|b|c/1,5|2"},
        // The first line that holds a separator decides; a title line before it holds none.
        {"title line first", "Title\n\na,b\n", u"Title//a|b"},
        {"most used wins", "a;b;c,d\n", u"a|b|c,d"},
        {"quotes", "\"a,b\",\"say \"\"hi\"\"\",c\n", u"a,b|say \"hi\"|c"},
        {"line break in quotes", "\"a\r\nb\",c\nd\n", u"a\r\nb|c/d"},
        {"quote inside a field", "a\"b,c\n", u"a\"b|c"},
        {"empty quoted field ends a row", "a,\"\"\n", u"a"},
        {"line ends", "a\rb\nc\r\nd", u"a/b/c/d"},
        {"trailing empty cells and lines", "a,b,,\n,,\n\n\n", u"a|b"},
        {"an empty row between", "a\n,,\nb\n", u"a//b"},
        {"utf-8 without mark", "\xE9\x9D\x92\xE6\x9C\xA8,1\n", u"青木|1"},
        {"utf-8 with mark", "\xEF\xBB\xBF\xE9\x9D\x92,1\n", u"青|1"},
        {"utf-16 with mark",
         QByteArray("\xFF\xFE"
                    "a\0,\0b\0",
                    8),
         u"a|b"},
        {"code page 932", EncodeCp932(u"ｿ表,髙①\r\n"_s), u"ｿ表|髙①"},
    };
    for (const Case& c : cases) {
        const TableFile table = ParseCsv(c.bytes);
        EXPECT_TRUE(table.ok) << c.name << ": " << table.message.toStdString();
        EXPECT_EQ(Joined(table), QString::fromUtf16(c.cells)) << c.name;
        EXPECT_FALSE(table.workbook);
    }
}

TEST(TableFile, FixtureFilesAreRead) {
    struct Case {
        const char* file;
        int sheet;
        int row;
        const char16_t* cells;
    };
    const Case cases[] = {
        {"utf8_bom.csv", 0, 3, u"2|石川 \"ゆい\"|24|欠|18"},
        {"cp932.csv", 0, 2, u"ｳｴﾀﾞ ﾚﾝ|5|＊|5"},
        {"tab.txt", 0, 1, u"1|青木 颯太|8|-3|9.5"},
        // openpyxl writes shared strings and numbers; booleans read as TRUE/FALSE; the empty
        // second row stays, so row numbers are those the teacher sees.
        {"openpyxl.xlsx", 0, 3, u"1|青木 颯太|15|28|20|TRUE"},
        {"openpyxl.xlsx", 0, 4, u"2|石川 結衣|欠||19|FALSE"},
        {"openpyxl.xlsx", 0, 1, u""},
        {"openpyxl.xlsx", 1, 0, u"平均|14"},
    };
    for (const Case& c : cases) {
        const TableFile table = ParseTableFile(Fixture(QString::fromLatin1(c.file)),
                                               QString::fromLatin1(c.file), c.sheet);
        ASSERT_TRUE(table.ok) << c.file << ": " << table.message.toStdString();
        ASSERT_LT(c.row, static_cast<int>(table.rows.size())) << c.file;
        EXPECT_EQ(table.rows[static_cast<size_t>(c.row)].join(u'|'), QString::fromUtf16(c.cells))
            << c.file;
    }
    const TableFile book = ParseTableFile(Fixture(QStringLiteral("openpyxl.xlsx")), "x.xlsx");
    EXPECT_TRUE(book.workbook);
    EXPECT_EQ(book.sheetNames, QStringList({u"1組"_s, u"集計"_s}));
}

TEST(TableFile, BadFilesAreRefusedNamingTheFileAndTheFault) {
    QByteArray damaged = Fixture(QStringLiteral("openpyxl.xlsx"));
    damaged.truncate(damaged.size() / 2);
    QByteArray tall, wide;
    for (int i = 0; i <= kMaxTableRows; ++i)
        tall += "1,2\n";
    wide = QByteArray("a,").repeated(kMaxTableColumns) + "b\n";
    struct Case {
        const char* name;
        QByteArray bytes;
        int sheet;
        const char16_t* fault;
    };
    const Case cases[] = {
        {"binary", QByteArray("\x89PNG\r\n\x1A\n\0\0", 10), 0, u"としても読めません"},
        {"neither utf-8 nor cp932", "\x82\xA0\xFF\xFF\n", 0, u"としても読めません"},
        {"old workbook", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8), 0, u"パスワード"},
        {"encrypted zip", Fixture(QStringLiteral("encrypted.xlsx")), 0, u"暗号化"},
        {"damaged zip", damaged, 0, u"壊れています"},
        {"zip without workbook", Fixture(QStringLiteral("plain.zip")), 0, u"ではありません"},
        {"zip bomb", Fixture(QStringLiteral("bomb.xlsx")), 0, u"50 MB を超えます"},
        {"no such sheet", Fixture(QStringLiteral("openpyxl.xlsx")), 2,
         u"3 番目のシートはありません"},
        {"too many rows", tall, 0,
         u"行が 1000 行を超えています（いちばん下の値は 1001 行目 A 列）"},
        {"too many columns", wide, 0,
         u"列が 200 列（GR 列まで）を超えています（いちばん右の値は 1 行目 GS 列）"},
        {"open quote", "a,\"b\nc\n", 0, u"1 行目で始まる「\"」が閉じていません"},
    };
    for (const Case& c : cases) {
        const TableFile table = ParseTableFile(c.bytes, QStringLiteral("score.xlsx"), c.sheet);
        EXPECT_FALSE(table.ok) << c.name;
        EXPECT_TRUE(table.rows.empty()) << c.name;
        EXPECT_TRUE(table.message.startsWith(u"ファイル「score.xlsx」: "_s)) << c.name;
        EXPECT_TRUE(table.message.contains(QString::fromUtf16(c.fault)))
            << c.name << ": " << table.message.toStdString();
    }
}

TEST(TableFile, AWorkbookCellBeyondTheBoundsIsRefused) {
    // A value in row 1001 (or column GS, the 201st) of the sheet.
    const std::pair<const char*, const char16_t*> refs[] = {
        {"A1001", u"行が 1000 行を超えています（いちばん下の値は 1001 行目 A 列）"},
        {"GS1", u"列が 200 列（GR 列まで）を超えています（いちばん右の値は 1 行目 GS 列）"}};
    for (const auto& [ref, said] : refs) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.xlsx"));
        const QByteArray script =
            QByteArray("import openpyxl\nwb=openpyxl.Workbook()\nwb.active['") + ref +
            "']=1\nwb.save('" + path.toUtf8() + "')\n";
        QFile py(dir.filePath(QStringLiteral("make.py")));
        ASSERT_TRUE(py.open(QIODevice::WriteOnly));
        py.write(script);
        py.close();
        ASSERT_EQ(std::system(("/usr/bin/python3 " + py.fileName().toStdString()).c_str()), 0);
        const TableFile table = ReadTableFile(path);
        EXPECT_FALSE(table.ok) << ref;
        EXPECT_TRUE(table.message.contains(QString::fromUtf16(said))) << ref;
    }
}

TEST(TableFile, AFileOverTenMegabytesIsRefusedUnread) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("big.csv")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(kMaxTableFileBytes + 1));
    file.close();
    const TableFile table = ReadTableFile(file.fileName());
    EXPECT_FALSE(table.ok);
    EXPECT_EQ(table.message, u"ファイル「big.csv」: 大きすぎます（10 MB まで）。"_s);
}

TEST(TableFile, ColumnLettersAsSpreadsheetsShowThem) {
    EXPECT_EQ(ColumnLetters(0), "A");
    EXPECT_EQ(ColumnLetters(25), "Z");
    EXPECT_EQ(ColumnLetters(26), "AA");
    EXPECT_EQ(ColumnLetters(199), "GR");
}

} // namespace
} // namespace kirune
