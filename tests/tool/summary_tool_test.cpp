// kirune-tool summary: the classes side by side as a workbook (read back with openpyxl: numbers
// as numbers), a CSV file and a one-page A4 landscape PDF; the period choice and refused input.
#include "browse/bookfixture.h"
#include "model/cp932.h"
#include "model/gradebookfile.h"

#include "support/testutil.h"
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

class SummaryToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Two classes: 国語's first viewpoint of 100 points in the year and of 40 in the second
        // semester.
        const struct {
            const char16_t* klass;
            std::initializer_list<float> year, second;
        } classes[] = {{u"1組", {80, 60, 10030}, {10, 30, 40}}, {u"2組", {90, 40, 70}, {}}};
        for (const auto& c : classes) {
            auto book = testing::BookWithPupils({u"青木", u"伊藤", u"上田"});
            book->HomeRoomClass = QString::fromUtf16(c.klass);
            for (auto& row : book->RankAPercent)
                row.fill(20);
            for (auto& row : book->RankCPercent)
                row.fill(40);
            const std::pair<int, std::initializer_list<float>> sums[] = {
                {YearAggregateSlot(0, 0), c.year}, {SemesterAggregateSlot(1, 0, 0), c.second}};
            for (const auto& [slot, totals] : sums) {
                if (totals.size() == 0)
                    continue;
                testing::SetPupilValues(*book, slot, totals);
                book->Scores[slot][kAverageColumn] = 1;
                book->Scores[slot][kPointsColumn] = slot == YearAggregateSlot(0, 0) ? 100 : 40;
            }
            books << dir.filePath(QString::fromUtf16(c.klass) + QStringLiteral(".txt"));
            ASSERT_TRUE(WriteGradeBookFile(books.back(), *book, nullptr));
        }
        bad = dir.filePath(QStringLiteral("memo.txt"));
        QFile memo(bad);
        ASSERT_TRUE(memo.open(QIODevice::WriteOnly));
        memo.write("not a class\r\n");
    }

    int Run(const QStringList& args) {
        QProcess tool;
        tool.start(QStringLiteral(KIRUNE_TOOL_PATH), QStringList{QStringLiteral("summary")} + args);
        if (!tool.waitForFinished(120000))
            return -1;
        errors = QString::fromUtf8(tool.readAllStandardError());
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }

    static QString Output(const QString& program, const QStringList& args) {
        QProcess process;
        process.start(program, args);
        if (!process.waitForFinished(60000) || process.exitCode() != 0)
            return QString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    QTemporaryDir dir;
    QStringList books;
    QString bad;
    QString errors;
};

TEST_F(SummaryToolTest, TheWorkbookHoldsNumbersAsNumbers) {
    if (!Output(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-c"), QStringLiteral("import openpyxl; print('ok')")})
             .startsWith(QStringLiteral("ok")))
        GTEST_SKIP() << "python3-openpyxl is not installed";
    const QString xlsx = dir.filePath(QStringLiteral("grade.xlsx"));
    ASSERT_EQ(Run(QStringList{xlsx} + books + QStringList{bad}), 0) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("memo.txt"))); // said on stderr too
    // Row 1 is the title, row 2 the header; each cell as type:value.
    const QString script = QStringLiteral(R"PY(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
for r in range(3, ws.max_row + 1):
    print('|'.join('' if ws.cell(r, c).value is None else '%s:%s' % (ws.cell(r, c).data_type, ws.cell(r, c).value) for c in range(1, 8)))
)PY");
    const QStringList rows =
        Output(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, xlsx})
            .split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 5) << rows.join(u'\n').toStdString();
    EXPECT_EQ(rows[0], u"n:1|s:令和6年度 5年1組 山田花子|n:3|n:56.7|n:1|n:1|n:1"_s);
    EXPECT_EQ(rows[1], u"n:2|s:令和6年度 5年2組 山田花子|n:3|n:66.7|n:1|n:2|n:0"_s);
    EXPECT_EQ(rows[2], u"|s:学年全体|n:6|n:61.7|n:2|n:3|n:1"_s);
    EXPECT_TRUE(rows[4].startsWith(u"|s:読み込めなかったファイル「memo.txt」"_s))
        << rows[4].toStdString();
}

TEST_F(SummaryToolTest, TheCsvFollowsThePeriod) {
    const struct {
        QStringList period;
        const char16_t* firstClass;
    } cases[] = {
        {{}, u"1,令和6年度 5年1組 山田花子,3,56.7,1,1,1,"},
        {{QStringLiteral("--period"), QStringLiteral("year")},
         u"1,令和6年度 5年1組 山田花子,3,56.7,1,1,1,"},
        {{QStringLiteral("--period"), QStringLiteral("2")},
         u"1,令和6年度 5年1組 山田花子,3,66.7,1,1,1,"},
        {{QStringLiteral("--period"), QStringLiteral("1")}, u"1,令和6年度 5年1組 山田花子,3,,,,,"},
    };
    for (const auto& c : cases) {
        const QString csv = dir.filePath(QStringLiteral("grade.csv"));
        QFile::remove(csv);
        ASSERT_EQ(Run(QStringList{csv} + c.period + books), 0) << errors.toStdString();
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QStringList lines = DecodeCp932(file.readAll()).split(QStringLiteral("\r\n"));
        ASSERT_GE(lines.size(), 3);
        EXPECT_TRUE(lines[1].startsWith(QString::fromUtf16(c.firstClass)))
            << lines[1].toStdString();
    }
}

TEST_F(SummaryToolTest, ThePdfIsOneA4LandscapePage) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    const QString pdf = dir.filePath(QStringLiteral("grade.pdf"));
    ASSERT_EQ(Run(QStringList{pdf} + books + QStringList{bad}), 0) << errors.toStdString();
    const QString info = Output(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages: +1\\n"))))
        << info.toStdString();
    EXPECT_TRUE(
        info.contains(QRegularExpression(QStringLiteral("Page size: +84[12][.0-9]* x 595"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(u"Title: +令和6年度 5年　学年の集計　学年"_s)))
        << info.toStdString();
    const QString text =
        Output(QStringLiteral("pdftotext"),
               {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(u"5年2組"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"学年全体"_s));
    EXPECT_TRUE(text.contains(u"memo.txt"_s));
}

TEST_F(SummaryToolTest, NothingReadableOrAWrongCallWritesNothing) {
    const QString csv = dir.filePath(QStringLiteral("none.csv"));
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{csv, bad}, 1},
        {{csv}, 1},
        {{csv, QStringLiteral("--period"), QStringLiteral("4"), books[0]}, 2},
        {{dir.filePath(QStringLiteral("none.txt")), books[0]}, 2},
        {{books[1], books[0], books[1]}, 2},
        {{}, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.args), c.exitCode) << c.args.join(u' ').toStdString();
        EXPECT_FALSE(QFile::exists(csv));
    }
    // Saved over one of its own books: refused, the book as it was.
    QFile book(books[0]);
    ASSERT_TRUE(book.open(QIODevice::ReadOnly));
    const QByteArray before = book.readAll();
    book.close();
    const QString asCsv = dir.filePath(QStringLiteral("1組.csv"));
    ASSERT_TRUE(QFile::rename(books[0], asCsv));
    EXPECT_EQ(Run({asCsv, asCsv, books[1]}), 1);
    QFile kept(asCsv);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), before);
}

} // namespace
} // namespace kirune
