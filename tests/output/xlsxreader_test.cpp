// Reading workbooks: which sheet opens, hidden sheets, dates as the sheet shows them, and the
// bounds (each refusal says which bound, and where).
#include "output/xlsxreader.h"

#include "support/workbookfixture.h"
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

using test::FixtureSheet;
using test::SheetXml;
using test::Workbook;

TEST(XlsxReader, TheSheetTheWorkbookOpensOnIsReadAndHiddenSheetsAreMarked) {
    struct Case {
        const char* name;
        std::vector<QByteArray> states;
        int activeTab;
        int opened;
    };
    const Case cases[] = {
        {"the active sheet", {"", "", ""}, 1, 1},
        {"no view: the first", {"", ""}, -1, 0},
        {"a hidden first sheet", {"hidden", ""}, 1, 1},
        {"an active sheet that is hidden: the first visible", {"veryHidden", "", "hidden"}, 0, 1},
    };
    for (const Case& c : cases) {
        std::vector<FixtureSheet> sheets;
        for (size_t i = 0; i < c.states.size(); ++i)
            sheets.push_back({u"S%1"_s.arg(i), SheetXml(u"A1=%1"_s.arg(i)), c.states[i]});
        const TableFile table = ParseTableFile(Workbook(sheets, c.activeTab), u"b.xlsx"_s);
        ASSERT_TRUE(table.ok) << c.name << table.message.toStdString();
        EXPECT_EQ(table.sheet, c.opened) << c.name;
        EXPECT_EQ(table.Cell(0, 0), QString::number(c.opened)) << c.name;
        for (size_t i = 0; i < c.states.size(); ++i)
            EXPECT_EQ(table.hiddenSheet[i], !c.states[i].isEmpty()) << c.name;
    }
}

TEST(XlsxReader, NumbersAndDatesReadAsTheSheetShowsThem) {
    struct Case {
        QString format; // the cell's number format
        const char* value;
        QString shown;
        CellKind kind;
    };
    const Case cases[] = {
        {u"General"_s, "46154", u"46154"_s, CellKind::Number},
        {u"#,##0\"点\""_s, "12", u"12"_s, CellKind::Number},
        {u"m/d"_s, "46154", u"5/12"_s, CellKind::Date},
        {u"MM/DD/YY"_s, "46154", u"05/12/26"_s, CellKind::Date},
        {u"14"_s, "46154", u"2026/5/12"_s, CellKind::Date},
        {u"yyyy\"年\"m\"月\"d\"日\"(aaa)"_s, "46154", u"2026年5月12日(火)"_s, CellKind::Date},
        {u"h:mm"_s, "0.75", u"18:00"_s, CellKind::Date},
        {u"[$-411]h:mm AM/PM"_s, "0.75", u"6:00 PM"_s, CellKind::Date},
        {u"mm:ss"_s, "0.00125", u"01:48"_s, CellKind::Date},
        {u"d-mmm"_s, "1", u"1-Jan"_s, CellKind::Date},
    };
    QStringList formats;
    QString cells;
    for (size_t i = 0; i < std::size(cases); ++i) {
        formats.push_back(cases[i].format);
        cells += u"A%1=#%2@%3|"_s.arg(i + 1).arg(QLatin1String(cases[i].value)).arg(i + 1);
    }
    const TableFile table =
        ParseTableFile(Workbook({{u"S"_s, SheetXml(cells)}}, 0, formats), u"b.xlsx"_s);
    ASSERT_TRUE(table.ok) << table.message.toStdString();
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(table.Cell(static_cast<int>(i), 0), cases[i].shown)
            << cases[i].format.toStdString();
        EXPECT_EQ(table.Kind(static_cast<int>(i), 0), cases[i].kind)
            << cases[i].format.toStdString();
    }
    // A workbook counting from 1904.
    const TableFile from1904 =
        ParseTableFile(Workbook({{u"S"_s, SheetXml(u"A1=#0@1"_s)}}, 0, {u"yyyy/m/d"_s}, {},
                                "<workbookPr date1904=\"1\"/>"),
                       u"b.xlsx"_s);
    EXPECT_EQ(from1904.Cell(0, 0), u"1904/1/1"_s);
}

TEST(XlsxReader, ASheetBeyondTheBoundsIsRefusedSayingWhichAndWhere) {
    struct Case {
        const char* cells;
        const char16_t* message;
    };
    const Case cases[] = {
        {"A1=x|A1048576=#1",
         u"シート「今回」の行が 1000 行を超えています（いちばん下の値は 1048576 行目 A 列）。"},
        {"A1=x|GS3=#1|B4=y", u"シート「今回」の列が 200 列（GR "
                             u"列まで）を超えています（いちばん右の値は 3 行目 GS 列）。"},
    };
    for (const Case& c : cases) {
        const TableBook book =
            ParseTableBook(Workbook({{u"前回"_s, SheetXml(u"A1=no"_s), "hidden"},
                                     {u"今回"_s, SheetXml(QString::fromLatin1(c.cells))}},
                                    1),
                           u"b.xlsx"_s);
        ASSERT_TRUE(book.ok);
        EXPECT_TRUE(book.sheets[0].ok); // the other sheet stays readable
        EXPECT_FALSE(book.sheets[1].ok);
        EXPECT_EQ(book.sheets[1].message,
                  u"ファイル「b.xlsx」: "_s + QString::fromUtf16(c.message));
    }
}

TEST(XlsxReader, AWorkbookBeyondItsBudgetsIsRefusedEarly) {
    const QByteArray manyStrings =
        "<sst>" + QByteArray("<si/>").repeated(kMaxWorkbookCells + 1) + "</sst>";
    const QByteArray longText =
        "<sst><si><t>" + QByteArray(kMaxWorkbookTextChars + 1, 'x') + "</t></si></sst>";
    const QByteArray manyElements =
        "<sst><si>" + QByteArray("<r/>").repeated(kMaxWorkbookElements) + "</si></sst>";
    struct Case {
        const char* name;
        QByteArray sharedStrings;
        const char16_t* message;
    };
    const Case cases[] = {
        {"shared strings", manyStrings, u"共有文字列が 400000 個を超えています"},
        {"text", longText, u"文字が 10485760 字を超えています"},
        {"elements", manyElements, u"要素が 1200000 を超えています"},
    };
    for (const Case& c : cases) {
        const TableBook book =
            ParseTableBook(Workbook({{u"S"_s, SheetXml(u"A1=x"_s)}}, 0, {},
                                    {{u"xl/sharedStrings.xml"_s, c.sharedStrings}}),
                           u"b.xlsx"_s);
        EXPECT_FALSE(book.ok) << c.name;
        EXPECT_TRUE(book.message.contains(QString::fromUtf16(c.message)))
            << c.name << ": " << book.message.toStdString();
    }
}

} // namespace
} // namespace kirune
