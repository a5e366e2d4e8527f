// The spreadsheet export's rules: how a shown cell is written, and the sheets' names.
#include "output/xlsxexport.h"

#include "browse/bookfixture.h"
#include "browse/rules.h"
#include "browse/tree.h"
#include "support/faultyops.h"
#include "support/openpyxl.h"
#include "support/testutil.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <clocale>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

// A number cell's format shows it as the screen does, whatever the regional settings: grouping
// and the decimal point are the spreadsheet program's own.
TEST(XlsxExport, NumberFormatsShowTheValueAsTheScreenDoes) {
    const std::pair<CellValue, const char*> formats[] = {
        {CellValue::Number(85), "0"},
        {CellValue::Number(1087, 0, true), "#,##0"},
        {CellValue::Number(72.5, 1), "0.0"},
        {CellValue::Number(-1096.25, 2, true), "#,##0.00"},
        {CellValue::MarkedNumber(85), "\"*\"0"},
        {CellValue::MarkedNumber(1698, 0, true), "\"*\"#,##0"},
    };
    for (const auto& [value, format] : formats)
        EXPECT_EQ(NumberFormat(value), QLatin1String(format)) << format;
}

// The workbook read back by a spreadsheet reader (openpyxl) holds the cells' values, the same
// under Japanese, German and no regional settings and under a German C library locale (which
// would have the library write "1,5" into the file): sums of 1,000 and more, a sum with an
// absence as a number with the "*" format and a comment, an absence and a rating as text
// standing right like the numbers.
TEST(XlsxExport, TheWorkbookHoldsTheValuesWhateverTheRegionalSettings) {
    if (!test::HasOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    QTemporaryDir folder;
    // The German C library locale is made for the test where the locale tools are installed.
    const bool german = test::HasLocaledef();
    if (german) {
        ASSERT_TRUE(test::MakeGermanCLocale(folder.filePath(QStringLiteral("locales"))));
    }
    WorkbookSheet sheet{QStringLiteral("t"), QStringLiteral("c"), Grid(5, 6), 6};
    Grid& grid = sheet.grid;
    grid.SetColAlignment(2, kAlignRightCenter);
    grid.SetColAlignment(3, kAlignRightCenter);
    const struct Settings {
        QLocale qt;
        const char* numeric; // the C library's numeric locale
    } settings[] = {
        {QLocale(QLocale::Japanese, QLocale::Japan), "C"},
        {QLocale::c(), "C"},
        {QLocale(QLocale::German, QLocale::Germany), "C"},
        {QLocale(QLocale::German, QLocale::Germany), german ? "de_DE.UTF-8" : nullptr},
    };
    for (const Settings& s : settings) {
        if (!s.numeric)
            continue; // no locale tools on this machine
        SCOPED_TRACE(s.qt.name().toStdString() + " " + s.numeric);
        QLocale::setDefault(s.qt);
        const QByteArray before = std::setlocale(LC_NUMERIC, nullptr);
        ASSERT_NE(std::setlocale(LC_NUMERIC, s.numeric), nullptr);
        SetSumCell(grid, 1, 2, 1087.4f);
        SetSumCell(grid, 2, 2, kAbsentMarker + 1698.5f);
        SetScoreCell(grid, 3, 2, -2);
        grid.SetCell(1, 3, QStringLiteral("A"), CellValue::Rating());
        grid.SetCell(2, 3, QString::number(72.5), CellValue::Number(72.5, 1));
        const QString path = folder.filePath(QStringLiteral("x.xlsx"));
        QString error;
        const bool written = ExportWorkbook({sheet}, QStringLiteral("c"), path, QString(), &error);
        std::setlocale(LC_NUMERIC, before.constData());
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
        ASSERT_TRUE(written) << error.toStdString();
        const QString cells = test::RunOpenpyxl(QStringLiteral(R"(
ws = wb.worksheets[0]
for ref in ('C3', 'C4', 'C5', 'D3', 'D4'):
    c = ws[ref]
    print(ref, repr(c.value), c.data_type, c.number_format, c.alignment.horizontal,
          'comment' if c.comment and '欠席を含む' in c.comment.text else '-')
)"),
                                                path);
        EXPECT_EQ(cells.toStdString(), u"C3 1087 n #,##0 None -\n"
                                       u"C4 1699 n \"*\"#,##0 None comment\n"
                                       u"C5 '*' s General right -\n"
                                       u"D3 'A' s General right -\n"
                                       u"D4 72.5 n 0.0 None -\n"_s.toStdString());
    }
    unsetenv("LOCPATH");
}

TEST(XlsxExport, SheetNamesAreShortUniqueAndWithoutForbiddenCharacters) {
    QSet<QString> used;
    const std::pair<const char16_t*, const char16_t*> names[] = {
        {u"国語", u"国語"},
        {u"国語", u"国語 (2)"},
        {u"2026/05/14 漢字:テスト[1]?*\\", u"2026／05／14 漢字：テスト［1］？＊＼"},
        {u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむ",
         u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほま"},
        {u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむ",
         u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひ (2)"},
    };
    for (const auto& [node, sheet] : names)
        EXPECT_EQ(SheetName(QString::fromUtf16(node), used), QString::fromUtf16(sheet));
}

// A viewpoint table's sheet is named and titled by its subject, semester and viewpoint, whichever
// test's node shows it and whatever the tests are called; other sheets keep their node's text.
TEST(XlsxExport, ViewpointSheetsAreNamedBySubjectSemesterAndViewpoint) {
    auto book = testing::BookWithPupils({u"a", u"b"});
    for (int semester = 0; semester < kSemesters; ++semester) {
        const int slot = TestSlot(semester, 0, 0, 0);
        book->TestInfo[slot][0].clear(); // no date: the node texts alone would all be alike
        book->Scores[slot][kAverageColumn] = 10;
    }
    QStringList names;
    for (const WorkbookSheet& sheet : WholeBookSheets(*book))
        if (sheet.columns == 15)
            names << sheet.nodeText + u'|' + sheet.caption.section(QChar(0x3000), 1);
    QStringList expected;
    for (const QString& semester : {u"一学期"_s, u"二学期"_s, u"三学期"_s})
        for (const QString& viewpoint : {u"表現"_s, u"理解"_s, u"言語"_s})
            expected << u"国語 %1 %2|国語　%1　%2"_s.arg(semester, viewpoint);
    EXPECT_EQ(names, expected);
    const WorkbookSheet semester =
        SheetOfNode(*book, SemesterKey(0, 1), u"二学期(国語)"_s, u"c"_s, Grid(3, 3), 13);
    EXPECT_EQ(semester.nodeText, u"二学期(国語)"_s);
    EXPECT_EQ(semester.caption, u"c"_s);
}

// Printing a sheet: the header row is as tall as its lines, it repeats on every page, and a
// sheet goes onto one page where that keeps 60 % of its size (read back by openpyxl).
TEST(XlsxExport, HeaderRowsAreTallEnoughRepeatAndSheetsFitAPage) {
    if (!test::HasOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    const struct {
        int rows;
        QString header; // of every column from 2 on
        int columns;
        double height; // of the header row, points
        int pagesHigh; // 1: one page; 0: as many as it takes
    } sheets[] = {
        {43, u"表現"_s + QChar(13) + u" 合計点"_s, 13, 30, 1},
        {43, u"物語文のテスト"_s + QChar(13) + QStringLiteral("2026/06/15"), 15, 45, 1},
        {25, u"一学期"_s + QChar(13) + u" 順位"_s, 14, 30, 1},
        {45, u"国語"_s + QChar(13) + u"表現"_s, 20, 30, 1},
        {80, u"合計点"_s, 13, 15, 0},
    };
    std::vector<WorkbookSheet> book;
    for (const auto& sheet : sheets) {
        Grid grid(sheet.rows, sheet.columns);
        grid.SetColWidth(0, 400);
        grid.SetColWidth(1, 1600);
        for (int c = 2; c < sheet.columns; ++c) {
            grid.SetColWidth(c, sheet.columns == 15 ? 1000 : sheet.columns == 20 ? 600 : 800);
            grid.SetText(0, c, sheet.header);
        }
        for (int r = 1; r < sheet.rows; ++r)
            grid.SetCell(r, 2, QString::number(r), CellValue::Number(r));
        book.push_back({QString::number(book.size()), QStringLiteral("c"), grid, sheet.columns});
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("x.xlsx"));
    ASSERT_TRUE(ExportWorkbook(book, QStringLiteral("c"), path, QString(), nullptr));
    const QString read = test::RunOpenpyxl(QStringLiteral(R"(
for ws in wb.worksheets:
    page = ws.page_setup  # a default height and a page count of 1 are left out of the file
    print(ws.row_dimensions[2].height or 15.0, ws.print_title_rows, ws.sheet_properties.pageSetUpPr.fitToPage,
          1 if page.fitToWidth is None else page.fitToWidth,
          1 if page.fitToHeight is None else page.fitToHeight)
)"),
                                           path);
    QString expected;
    for (const auto& sheet : sheets)
        expected += QStringLiteral("%1 $2:$2 True 1 %2\n")
                        .arg(sheet.height, 0, 'f', 1)
                        .arg(sheet.pagesHigh);
    EXPECT_EQ(read.toStdString(), expected.toStdString());
}

// A write that fails at any step up to the rename, reading the made workbook back included,
// leaves the target as it was, says what failed and leaves no temporary file; the open book and
// its backup are never written over.
TEST(XlsxExport, AFailedWriteLeavesTheTargetAsItWas) {
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("x.xlsx"));
    auto content = [&] {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    };
    WorkbookSheet sheet{QStringLiteral("t"), QStringLiteral("c"), Grid(3, 3), 3};
    sheet.grid.SetText(1, 2, QStringLiteral("85"));
    const auto steps =
        test::PlacingMadeFileSteps(QStringLiteral("book.xlsx"), QStringLiteral("x.xlsx"));
    test::FailEachStepInTurn(
        steps,
        [&](QString* error) {
            QFile old(target);
            EXPECT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
            old.write("old workbook");
            old.close();
            return ExportWorkbook({sheet}, QStringLiteral("c"), target, QString(), error);
        },
        [&](const test::FailingStep& step) {
            if (step.outcome == test::FailingStep::kFails) {
                EXPECT_EQ(content(), QByteArray("old workbook"));
            } else {
                EXPECT_TRUE(content().startsWith("PK"));
            }
            EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        });
    const QString book = folder.filePath(QStringLiteral("class.txt"));
    for (const QString& path : {book, folder.filePath(QStringLiteral("class.bak"))}) {
        QString error;
        EXPECT_FALSE(ExportWorkbook({sheet}, QStringLiteral("c"), path, book, &error));
        EXPECT_FALSE(QFile::exists(path));
    }
}

} // namespace
} // namespace kirune

namespace kirune {
namespace {

// The whole book ends with the sheet 所見: every named pupil's comments of every period.
TEST(XlsxExport, TheWholeBookEndsWithTheCommentsSheet) {
    auto book = testing::BookWithPupils({u"a", u"b"});
    book->Comments[1][3] = u"年間の所見"_s;
    const WorkbookSheet last = WholeBookSheets(*book).back();
    EXPECT_EQ(last.nodeText, u"所見"_s);
    EXPECT_EQ(last.columns, 6);
    EXPECT_EQ(last.grid.RowString(2), u" 2|b||||年間の所見"_s);
}

} // namespace
} // namespace kirune
