// kirune-tool summary: the classes side by side as a workbook (read back with openpyxl: numbers
// as numbers), a CSV file and A4 landscape PDF pages; the period choice and refused input.
#include "browse/bookfixture.h"
#include "model/cp932.h"
#include "model/gradebookfile.h"

#include "support/openpyxl.h"
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
        int columns; // 国語's 12 beside the class columns; none when nothing is registered
    } cases[] = {
        {{}, u"1,令和6年度 5年1組 山田花子,3,56.7,1,1,1,", 15},
        {{QStringLiteral("--period"), QStringLiteral("year")},
         u"1,令和6年度 5年1組 山田花子,3,56.7,1,1,1,",
         15},
        {{QStringLiteral("--period"), QStringLiteral("2")},
         u"1,令和6年度 5年1組 山田花子,3,66.7,1,1,1,",
         15},
        {{QStringLiteral("--period"), QStringLiteral("1")}, u"1,令和6年度 5年1組 山田花子,3,", 3},
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
        EXPECT_EQ(lines[1].count(u','), c.columns);
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

// Six classes with every subject registered: the PDF splits the subjects over pages of whole
// subjects, every text at 8 points or more and 10 mm inside the paper (read from the PDF), and
// the workbook breaks its pages at the same subjects, repeating the class columns.
TEST_F(SummaryToolTest, SixClassesPrintOnReadablePages) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QStringList six;
    for (int k = 1; k <= 6; ++k) {
        auto book = testing::BookWithPupils({u"青木", u"伊藤", u"上田", u"江藤", u"小野"});
        book->HomeRoomClass = QStringLiteral("%1組").arg(k);
        for (int s = 0; s < kSubjects; ++s)
            for (int c = 0; c < kViewpoints; ++c) {
                auto& sums = book->Scores[YearAggregateSlot(s, c)];
                for (int n = 0; n < 5; ++n)
                    sums[n] = static_cast<float>((n * 23 + s * 7 + c + k) % 101);
                sums[kAverageColumn] = 1;
                sums[kPointsColumn] = 100;
            }
        six << dir.filePath(QStringLiteral("class%1.txt").arg(k));
        ASSERT_TRUE(WriteGradeBookFile(six.back(), *book, nullptr));
    }
    const QString pdf = dir.filePath(QStringLiteral("six.pdf"));
    ASSERT_EQ(Run(QStringList{pdf} + six), 0) << errors.toStdString();
    const QStringList pages =
        Output(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")})
            .split(QStringLiteral("<page "))
            .mid(1);
    ASSERT_EQ(pages.size(), 3);
    static const QRegularExpression word(QStringLiteral(
        R"RE(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*))RE"));
    for (int p = 0; p < pages.size(); ++p) {
        QString text;
        for (auto it = word.globalMatch(pages[p]); it.hasNext();) {
            const auto m = it.next();
            const double x1 = m.captured(1).toDouble(), y1 = m.captured(2).toDouble();
            const double x2 = m.captured(3).toDouble(), y2 = m.captured(4).toDouble();
            text += m.captured(5) + u' ';
            // A word's box is as high as its type; 10 mm is 28.35 points (A4 landscape: 842 x 595).
            EXPECT_GE(y2 - y1, 7.95) << p << " " << m.captured(5).toStdString();
            EXPECT_GE(std::min({x1, y1, 842 - x2, 595 - y2}), 28.3) << m.captured(5).toStdString();
        }
        // Every page numbered and repeating the class columns.
        EXPECT_TRUE(text.contains(QStringLiteral("%1 / 3").arg(p + 1)) && text.contains(u"6組"_s) &&
                    text.contains(u"人数"_s))
            << p;
    }

    if (!test::HasOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    const QString xlsx = dir.filePath(QStringLiteral("six.xlsx"));
    ASSERT_EQ(Run(QStringList{xlsx} + six), 0) << errors.toStdString();
    EXPECT_EQ(test::RunOpenpyxl(u"ws = wb.worksheets[0]\nprint([b.id for b in ws.col_breaks.brk], "
                                u"ws.print_title_cols, ws.print_title_rows, "
                                u"ws.page_setup.scale >= 60)"_s,
                                xlsx)
                  .trimmed(),
              QStringLiteral("[27, 51] $A:$C $2:$2 True"));
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
