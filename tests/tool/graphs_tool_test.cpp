// kirune-tool graphs end to end: a grade book file in, the graph page out as a PDF file, read
// back as text; and the command's refusals of bad arguments and unreadable files.
#include "model/gradebook.h"
#include "model/gradebookfile.h"

#include "support/testutil.h"
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

struct ToolRun {
    int exitCode = -1;
    QString out, err;
};

ToolRun Tool(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(KIRUNE_TOOL_PATH), args);
    process.waitForFinished(60000);
    ToolRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString PdfText(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess process;
    process.start(tool,
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    // pdftotext breaks a line where the gaps between words are wide: compare without blanks.
    QString text = QString::fromUtf8(process.readAllStandardOutput());
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

class GraphsToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        auto book = std::make_unique<GradeBook>();
        ResetGradeBook(*book);
        book->HomeRoomYear = u"令和8年度"_s;
        book->HomeRoomGrade = u"5年"_s;
        book->HomeRoomClass = u"2組"_s;
        book->TeacherName = u"山田花子"_s;
        book->RosterSize = 3;
        for (int n = 0; n < 3; ++n)
            book->StudentNames[n] = u"生徒"_s + QString::number(n + 1);
        const float totals[3] = {12, 30, 45};
        for (int k = 0; k < 3; ++k) {
            for (int slot : {SemesterAggregateSlot(1, 2, k), YearAggregateSlot(2, k)}) {
                for (int n = 0; n < 3; ++n)
                    book->Scores[slot][n] = totals[n];
                book->Scores[slot][kPointsColumn] = 50;
                book->Scores[slot][kAverageColumn] = 29;
            }
            book->RankAPercent[1][CriteriaIndex(2, k)] = 20;
            book->RankCPercent[1][CriteriaIndex(2, k)] = 40;
            book->RankAPercent[3][CriteriaIndex(2, k)] = 0;
            book->RankCPercent[3][CriteriaIndex(2, k)] = 0;
        }
        file = dir.filePath(QStringLiteral("class.txt"));
        QString error;
        ASSERT_TRUE(WriteGradeBookFile(file, *book, &error)) << error.toStdString();
    }

    QTemporaryDir dir;
    QString file;
};

TEST_F(GraphsToolTest, SemesterPage) {
    const QString out = dir.filePath(QStringLiteral("graphs.pdf"));
    const ToolRun run =
        Tool({QStringLiteral("graphs"), file, out, QStringLiteral("2"), QStringLiteral("1")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_TRUE(QFile::exists(out));
    const QString text = PdfText(out);
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(text.contains(QString(kProjectTitle).remove(u' ')));
    EXPECT_TRUE(text.contains(u"令和8年度5年2組山田花子生徒数（3名）"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"理科二学期の集計グラフ"_s));
    EXPECT_TRUE(text.contains(u"思考A:1人B:1人C:1人"_s)) << text.toStdString();
}

TEST_F(GraphsToolTest, WholeYearPage) {
    const QString out = dir.filePath(QStringLiteral("year.pdf"));
    const ToolRun run = Tool({QStringLiteral("graphs"), file, out, QStringLiteral("2")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString text = PdfText(out);
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(text.contains(u"理科通年の集計グラフ"_s));
    EXPECT_TRUE(text.contains(u"知・理A:0人B:3人C:0人"_s)) << text.toStdString();
}

TEST_F(GraphsToolTest, BadArgumentsShowTheUsage) {
    const QString out = dir.filePath(QStringLiteral("x.pdf"));
    for (const QStringList& args :
         {QStringList{QStringLiteral("graphs"), file, out},
          QStringList{QStringLiteral("graphs"), file, out, QStringLiteral("6")},
          QStringList{QStringLiteral("graphs"), file, out, QStringLiteral("-1")},
          QStringList{QStringLiteral("graphs"), file, out, QStringLiteral("a")},
          QStringList{QStringLiteral("graphs"), file, out, QStringLiteral("0"),
                      QStringLiteral("3")},
          QStringList{QStringLiteral("graphs"), file, out, QStringLiteral("0"), QStringLiteral("0"),
                      QStringLiteral("0")}}) {
        const ToolRun run = Tool(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("usage"))) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
}

TEST_F(GraphsToolTest, UnreadableFileIsReported) {
    const QString out = dir.filePath(QStringLiteral("x.pdf"));
    const ToolRun missing =
        Tool({QStringLiteral("graphs"), dir.filePath(QStringLiteral("none.txt")), out,
              QStringLiteral("0")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(missing.err.trimmed().isEmpty());

    const QString garbled = dir.filePath(QStringLiteral("garbled.txt"));
    QFile f(garbled);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a grade book;\r\n");
    f.close();
    const ToolRun bad = Tool({QStringLiteral("graphs"), garbled, out, QStringLiteral("0")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_FALSE(bad.err.trimmed().isEmpty());
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
} // namespace kirune
