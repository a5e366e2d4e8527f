// Copied cells land in a spreadsheet one per cell, numbers as numbers.
#include "output/tablecopy.h"

#include "browse/tables.h"
#include "model/gradebookfile.h"
#include "output/csvexport.h"
#include "support/openpyxl.h"
#include "support/testutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

TEST(TableCopyTest, EachCellIsCopiedFromWhatItHolds) {
    const struct {
        QString shown;
        CellValue value;
        QString copied;
    } cells[] = {
        {u" 1,087"_s, CellValue::Number(1087, 0, true), u"1087"_s},
        {u"-1,234.5"_s, CellValue::Number(-1234.5, 1, true), u"-1234.5"_s},
        {u" 5"_s, CellValue::Number(5), u"5"_s},
        {u"*1,087"_s, CellValue::MarkedNumber(1087, 0, true), u"*1,087"_s},
        {u" *"_s, CellValue::Absent(), u"*"_s},
        {u"A"_s, CellValue::Rating(), u"A"_s},
        {u"国語\r表現"_s, CellValue::Text(), u"国語 表現"_s},
        {u"山田\t花子"_s, CellValue::Text(), u"山田 花子"_s},
        {u" 田中"_s, CellValue::Text(), u" 田中"_s},
    };
    Grid grid(2, 2);
    for (const auto& cell : cells) {
        grid.SetCell(1, 1, cell.shown, cell.value);
        EXPECT_EQ(CopiedCellText(grid, 1, 1), cell.copied) << cell.shown.toStdString();
    }
}

TEST(TableCopyTest, ARangeIsTabSeparatedTextAndAnHtmlTableWithHeadersForWholeColumns) {
    Grid grid(4, 3);
    const char16_t* texts[4][3] = {{u"番号", u"氏名", u"合計"},
                                   {u" 1", u"A<B", u" 1,087"},
                                   {u" 2", u"C&D", u"*12"},
                                   {u"", u"平均", u" 5"}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            grid.SetText(r, c, QString::fromUtf16(texts[r][c]));
    grid.SetCell(1, 2, u" 1,087"_s, CellValue::Number(1087, 0, true));

    const CopiedCells part = CopyCells(grid, {1, 1, 2, 2}, 1);
    EXPECT_EQ(part.text, u"A<B\t1087\nC&D\t*12\n"_s);
    EXPECT_TRUE(part.html.contains(u"<tr><td>A&lt;B</td><td>1087</td></tr>"_s))
        << part.html.toStdString();
    EXPECT_TRUE(part.html.contains(u"<meta charset=\"utf-8\">"_s));

    // Every row of a column: its header comes along. A range beyond the grid is cut to it.
    const CopiedCells column = CopyCells(grid, {1, 2, 9, 2}, 1);
    EXPECT_EQ(column.text, u"合計\n1087\n*12\n 5\n"_s);
    EXPECT_EQ(column.html.count(u"<tr>"_s), 4);
    EXPECT_TRUE(CopyCells(grid, {2, 1, 1, 1}, 1).text.isEmpty());
}

// Calc reads `file` (HTML, or the CSV export) and saves it as a workbook; its cells as openpyxl
// reads them, a row a line: a number as a number (41), a text in quotes ('41').
QString CellsAsCalcReadsThem(const QString& soffice, const QTemporaryDir& folder,
                             const QString& file, const char* filter) {
    const QString out = folder.filePath(QStringLiteral("out-") + QFileInfo(file).suffix());
    QProcess calc;
    calc.start(soffice,
               {QStringLiteral("-env:UserInstallation=file://") + folder.filePath("profile"),
                QStringLiteral("--headless"), QStringLiteral("--infilter=") + filter,
                QStringLiteral("--convert-to"), QStringLiteral("xlsx"), QStringLiteral("--outdir"),
                out, file});
    if (!calc.waitForFinished(120000))
        return QStringLiteral("(LibreOffice did not finish)");
    return test::RunOpenpyxl(QStringLiteral("for row in wb.active.iter_rows(values_only=True):\n"
                                            "    print('|'.join(repr(v) for v in row))"),
                             out + QLatin1Char('/') + QFileInfo(file).baseName() +
                                 QStringLiteral(".xlsx"));
}

// The whole table copied and pasted into LibreOffice Calc gives the cells the CSV export gives.
TEST(TableCopyTest, APasteIntoCalcHoldsTheCellsOfTheCsvExport) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP()
            << "LibreOffice (soffice) is not installed: the paste into Calc is not checked";
    auto book = std::make_unique<GradeBook>();
    ASSERT_TRUE(
        ReadGradeBookFile(QStringLiteral(KIRUNE_TEST_DATA "/sample_class.txt"), *book, nullptr));
    Session session;
    Grid grid;
    InitMainGrid(*book, grid);
    QString caption;
    const QString annual = QStringLiteral("0 0"); // a subject's year
    SelectNode(session, annual);
    ShowNodeTable(*book, session, annual, grid, caption);
    // A total over a thousand, and one marked for an absence, as larger classes show them.
    grid.SetCell(1, 2, u" 1,087"_s, CellValue::Number(1087, 0, true));
    grid.SetCell(2, 2, u"*1,012"_s, CellValue::MarkedNumber(1012, 0, true));

    QTemporaryDir folder;
    QFile html(folder.filePath(QStringLiteral("copied.html")));
    QFile csv(folder.filePath(QStringLiteral("exported.csv")));
    ASSERT_TRUE(html.open(QIODevice::WriteOnly) && csv.open(QIODevice::WriteOnly));
    html.write(CopyCells(grid, {0, 0, grid.Rows() - 1, grid.Cols() - 1}, 1).html.toUtf8());
    csv.write(CsvText(grid).toUtf8()); // the export's text (the file holds it in code page 932)
    html.close();
    csv.close();
    const QString pasted =
        CellsAsCalcReadsThem(soffice, folder, html.fileName(), "HTML (StarCalc)");
    const QString exported =
        CellsAsCalcReadsThem(soffice, folder, csv.fileName(), "CSV:44,34,76,1,,1041,false,true");
    // HTML reads a run of blanks as one: a header's padded name and its line break ("表現 " and
    // "合計点") are two blanks in the export, one in the paste. Empty cells at the ends of the
    // rows are no cells.
    const auto cells = [](QString text) {
        text.replace(QRegularExpression(QStringLiteral(" +")), QStringLiteral(" "));
        return text.replace(
            QRegularExpression(QStringLiteral("(\\|None)+$"), QRegularExpression::MultilineOption),
            QString());
    };
    EXPECT_EQ(cells(pasted), cells(exported)) << pasted.toStdString() << "\n"
                                              << exported.toStdString();
    // A pupil's row: the number, the name, then points, a rank and a rating.
    EXPECT_TRUE(pasted.contains(u"\n1|'青木 颯太'|1087|11|'B'|"_s)) << pasted.toStdString();
    EXPECT_TRUE(pasted.contains(u"\n2|'石川 結衣'|'*1,012'|2|'A'|"_s)) << pasted.toStdString();
}

} // namespace
} // namespace kirune
