// kirune-tool xlsx read back with a real spreadsheet reader (openpyxl): every body cell of every
// table kind has the value and type the screen shows (as the CSV export writes it), sums of
// 1,000 and more included; an absence is a number with the "*" format and a comment; names that
// look like formulas are strings; the header row and the name column are frozen and each sheet
// prints A4 landscape.
#include "browse/bookfixture.h"
#include "browse/rules.h"
#include "model/gradebookfile.h"

#include "support/testutil.h"
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kirune {
namespace {

const char* const kCompare = R"PY(
import sys, csv, re, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
number = re.compile(r'^\*? ?([+-]?)(\d+|\d{1,3}(?:,\d{3})+)(?:\.(\d+))?$')
errors, big, absent = [], 0, 0
if len(wb.worksheets) != len(sys.argv) - 2:
    errors.append('sheets: %d' % len(wb.worksheets))
for ws, path in zip(wb.worksheets, sys.argv[2:]):
    if ws.freeze_panes != 'C3' or ws.page_setup.orientation != 'landscape' or str(ws.page_setup.paperSize) != '9':
        errors.append('%s: panes %s, page %s %s' % (ws.title, ws.freeze_panes, ws.page_setup.orientation, ws.page_setup.paperSize))
    rows = list(csv.reader(open(path, encoding='cp932', newline='')))
    for r, row in enumerate(rows[1:], start=1):
        for c in range(ws.max_column):
            shown = row[c] if c < len(row) else ''
            if shown.startswith("'"):
                shown = shown[1:]
            cell = ws.cell(row=r + 2, column=c + 1)
            text = shown.strip()
            where = '%s %s' % (ws.title, cell.coordinate)
            if not text:
                if cell.value not in (None, ''):
                    errors.append('%s: %r for nothing' % (where, cell.value))
                continue
            m = number.match(text)
            if c != 1 and m:
                value = float(m.group(1) + m.group(2).replace(',', '') + ('.' + m.group(3) if m.group(3) else ''))
                if cell.data_type != 'n' or abs(cell.value - value) > 1e-9:
                    errors.append('%s: %r (%s) for %r' % (where, cell.value, cell.data_type, shown))
                big += value >= 1000
                if text.startswith('*'):
                    absent += 1
                    if not cell.number_format.startswith('"*"') or not cell.comment or '欠席を含む' not in cell.comment.text:
                        errors.append('%s: absence %s %s' % (where, cell.number_format, cell.comment))
            elif cell.data_type != 's' or cell.value != shown:
                errors.append('%s: %r (%s) for %r' % (where, cell.value, cell.data_type, shown))
print('\n'.join(errors[:20]))
print('big %d absent %d' % (big, absent))
sys.exit(1 if errors or not big or not absent else 0)
)PY";

int RunProgram(const QString& program, const QStringList& args, QString* output = nullptr) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(120000))
        return -1;
    if (output)
        *output =
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

TEST(XlsxToolTest, EveryTableKindReadsBackAsTheScreenShowsIt) {
    if (RunProgram(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral("-c"), QStringLiteral("import openpyxl")}) != 0)
        GTEST_SKIP() << "python3-openpyxl is not installed";
    auto book = testing::BookWithPupils({u"=1+1", u"+81 90", u"-5", u"@SUM(A1)"});
    // Ten tests of 100 points in the first semester: sums of 1,000 and more, one absence.
    for (int t = 0; t < kTestsPerSemester; ++t) {
        const int slot = TestSlot(0, 0, t, 0);
        book->TestInfo[slot][1] = QStringLiteral("test %1").arg(t + 1);
        for (int v = 0; v < kViewpoints; ++v) {
            testing::SetPupilValues(*book, slot + v, {100, t == 3 ? kAbsent : 95, 50.0f + t, 12});
            book->Scores[slot + v][kPointsColumn] = 100;
            book->Scores[slot + v][kAverageColumn] = 60;
        }
        testing::SetPupilValues(*book, slot + 3, {300, t == 3 ? kAbsent : 285, 150.0f + 3 * t, 36});
        book->Scores[slot + 3][kAverageColumn] = 180;
    }
    AggregateSubject(*book, 0, 0);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("class.txt"));
    ASSERT_TRUE(WriteGradeBookFile(file, *book, nullptr));
    const QStringList keys = {QStringLiteral("HomeRoom"),  QStringLiteral("0 0"),
                              QStringLiteral("1 0 0"),     QStringLiteral("2 0 0 3"),
                              QStringLiteral("3 0 0 0 0"), QStringLiteral("4"),
                              QStringLiteral("4 2")};
    const QString tool = QStringLiteral(KIRUNE_TOOL_PATH);
    const QString xlsx = dir.filePath(QStringLiteral("tables.xlsx"));
    ASSERT_EQ(RunProgram(tool, QStringList{QStringLiteral("xlsx"), file, xlsx} + keys), 0);
    QStringList compare{QStringLiteral("-c"), QString::fromUtf8(kCompare), xlsx};
    for (const QString& key : keys) {
        const QString csv = dir.filePath(QStringLiteral("%1.csv").arg(compare.size()));
        ASSERT_EQ(RunProgram(tool, {QStringLiteral("csv"), file, csv, key}), 0)
            << key.toStdString();
        compare << csv;
    }
    QString report;
    EXPECT_EQ(RunProgram(QStringLiteral("/usr/bin/python3"), compare, &report), 0)
        << report.toStdString();

    // The whole book: every table in the tree's order, well under 1 MB.
    const QString whole = dir.filePath(QStringLiteral("book.xlsx"));
    ASSERT_EQ(RunProgram(tool, {QStringLiteral("xlsx"), file, whole}), 0);
    EXPECT_LT(QFile(whole).size(), 1024 * 1024);
}

} // namespace
} // namespace kirune
