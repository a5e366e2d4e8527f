// Copied cells land in a spreadsheet one per cell, numbers as numbers.
#include "output/tablecopy.h"

#include "browse/tables.h"
#include "model/gradebookfile.h"
#include "output/csvexport.h"
#include "support/openpyxl.h"
#include "support/testutil.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

TEST(TableCopyTest, CellsAreCopiedFromWhatTheyHoldAsTextAndAnHtmlTable) {
    const struct {
        QString shown;
        CellValue value;
        QString copied;
    } cells[] = {
        {u" 1,087"_s, CellValue::Number(1087, 0, true), u"1087"_s},
        {u"-1,234.5"_s, CellValue::Number(-1234.5, 1, true), u"-1234.5"_s},
        {u"*1,087"_s, CellValue::MarkedNumber(1087, 0, true), u"*1,087"_s},
        {u" *"_s, CellValue::Absent(), u"*"_s},
        {u"A"_s, CellValue::Rating(), u"A"_s},
        {u"国語\r表現"_s, CellValue::Text(), u"国語 表現"_s},
        {u" 田中\t<b>"_s, CellValue::Text(), u" 田中 <b>"_s},
    };
    Grid grid(3, 2);
    grid.SetText(0, 1, u"合計"_s);
    for (const auto& cell : cells) {
        grid.SetCell(1, 1, cell.shown, cell.value);
        EXPECT_EQ(CopyCells(grid, {1, 1, 1, 1}, 1).text, cell.copied + u'\n');
        EXPECT_TRUE(CopyCells(grid, {1, 1, 1, 1}, 1)
                        .html.contains(u"<tr><td>"_s + cell.copied.toHtmlEscaped() + u"</td></tr>"_s))
            << cell.shown.toStdString();
    }
    // Every row of a column brings its header; a range beyond the grid is cut to it.
    EXPECT_EQ(CopyCells(grid, {1, 0, 9, 1}, 1).text, u"\t合計\n\t 田中 <b>\n\t\n"_s);
    EXPECT_TRUE(CopyCells(grid, {2, 1, 1, 1}, 1).text.isEmpty());
}

// Calc's reading of `file` (the copied HTML, or the CSV export), saved as a workbook and read by
// openpyxl, a row a line: a number as a number (41), a text in quotes ('41').
QString CalcCells(const QString& soffice, const QTemporaryDir& folder, const QString& name,
                  const QString& text, const char* filter) {
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        return QStringLiteral("(not written)");
    file.close();
    QProcess calc;
    calc.start(soffice, {u"-env:UserInstallation=file://"_s + folder.filePath(u"profile"_s),
                         u"--headless"_s, u"--infilter="_s + filter, u"--convert-to"_s, u"xlsx"_s,
                         u"--outdir"_s, folder.path(), file.fileName()});
    calc.waitForFinished(120000);
    return test::RunOpenpyxl(u"for row in wb.active.iter_rows(values_only=True):\n"
                             u"    print('|'.join(repr(v) for v in row))"_s,
                             folder.filePath(QFileInfo(name).baseName() + u".xlsx"_s));
}

// The whole table copied and pasted into LibreOffice Calc gives the cells the CSV export gives.
TEST(TableCopyTest, APasteIntoCalcHoldsTheCellsOfTheCsvExport) {
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (soffice.isEmpty() || !test::HasOpenpyxl())
        GTEST_SKIP() << "LibreOffice or openpyxl is missing: the paste into Calc is not checked";
    auto book = std::make_unique<GradeBook>();
    ASSERT_TRUE(ReadGradeBookFile(KIRUNE_TEST_DATA "/sample_class.txt"_L1, *book, nullptr));
    Session session;
    Grid grid;
    QString caption;
    InitMainGrid(*book, grid);
    SelectNode(session, u"0 0"_s); // a subject's year
    ShowNodeTable(*book, session, u"0 0"_s, grid, caption);
    // A total over a thousand, and one marked for an absence, as larger classes show them.
    grid.SetCell(1, 2, u" 1,087"_s, CellValue::Number(1087, 0, true));
    grid.SetCell(2, 2, u"*1,012"_s, CellValue::MarkedNumber(1012, 0, true));
    QTemporaryDir folder;
    const QString pasted = CalcCells(soffice, folder, u"copied.html"_s,
                                     CopyCells(grid, {0, 0, 99, 99}, 1).html, "HTML (StarCalc)");
    // The export's text (its file holds it in code page 932).
    const QString exported = CalcCells(soffice, folder, u"exported.csv"_s, CsvText(grid),
                                       "CSV:44,34,76,1,,1041,false,true");
    // HTML reads a run of blanks as one (a header's padded name before its line break); empty
    // cells at the ends of the rows are no cells.
    const auto cells = [](QString text) {
        text.replace(QRegularExpression(u" +"_s), u" "_s);
        return text.replace(
            QRegularExpression(u"(\\|None)+$"_s, QRegularExpression::MultilineOption), QString());
    };
    EXPECT_EQ(cells(pasted), cells(exported)) << pasted.toStdString() << exported.toStdString();
    EXPECT_TRUE(pasted.contains(u"\n1|'青木 颯太'|1087|11|'B'|"_s)); // numbers as numbers
    EXPECT_TRUE(pasted.contains(u"\n2|'石川 結衣'|'*1,012'|2|'A'|"_s));
}

} // namespace
} // namespace kirune
