// kirune-tool pdf end to end: a grade book file in, a printed table out, read back as text.
#include "model/cp932.h"
#include "model/gradebook.h"
#include "model/gradebookfile.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/testutil.h"
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

// A class of 40 with three registered tests of 国語 in the first semester, their semester sums and
// the semester's criteria, as the test editor and the criteria editor would have stored them.
void FillSample(GradeBook& book) {
    ResetGradeBook(book);
    book.HomeRoomYear = u"令和8年度"_s;
    book.HomeRoomGrade = u"5年"_s;
    book.HomeRoomClass = u"2組"_s;
    book.TeacherName = u"山田花子"_s;
    book.RosterSize = kMaxPupils;
    for (int p = 0; p < kMaxPupils; ++p)
        book.StudentNames[p] = u"生徒"_s + QString::number(p + 1);

    const int points[3][3] = {{30, 30, 40}, {30, 30, 40}, {50, 25, 25}};
    float sums[4][kMaxPupils] = {};
    bool absent[4][kMaxPupils] = {};
    for (int k = 0; k < 3; ++k) {
        const int first = TestSlot(0, 0, k, 0);
        for (int v = 0; v < 3; ++v)
            book.TestInfo[first + v] = {QStringLiteral("2026/05/1") + QString::number(k),
                                        u"漢字 テスト"_s + QString::number(k + 1), QString()};
        float totalPoints = 0;
        for (int v = 0; v <= 3; ++v) {
            const int slot = first + v;
            const float full = v < 3 ? float(points[k][v]) : totalPoints;
            double sum = 0;
            for (int p = 0; p < kMaxPupils; ++p) {
                float score = 0;
                if (v < 3) {
                    score = std::round(full * float((p * 37 + v * 13 + k * 29) % 100) / 100.0f);
                } else {
                    score = 0;
                    for (int w = 0; w < 3; ++w)
                        score += std::max(0.0f, book.Scores[first + w][p]);
                }
                if (p == 4 && k == 1 && v != 2) // absent for part of the second test
                    score = v == 3 ? score : kAbsent;
                book.Scores[slot][p] = score;
                if (score == kAbsent)
                    absent[v][p] = true;
                else
                    sums[v][p] += score;
                sum += std::max(0.0f, score);
            }
            book.Scores[slot][kAverageColumn] = float(sum / kMaxPupils);
            book.Scores[slot][kCountColumn] = kMaxPupils;
            book.Scores[slot][kPointsColumn] = full;
            if (v < 3)
                totalPoints += full;
        }
    }
    for (int v = 0; v <= 3; ++v) {
        const int slot = SemesterAggregateSlot(0, 0, v);
        double sum = 0;
        for (int p = 0; p < kMaxPupils; ++p) {
            book.Scores[slot][p] = sums[v][p] + (absent[v][p] ? kAbsentMarker : 0);
            sum += sums[v][p];
        }
        book.Scores[slot][kAverageColumn] = float(sum / kMaxPupils);
        book.Scores[slot][kCountColumn] = kMaxPupils;
        book.Scores[slot][kPointsColumn] = v < 3 ? 110 : 330;
    }
    for (int v = 0; v < 3; ++v) {
        book.RankAPercent[0][CriteriaIndex(0, v)] = 30;
        book.RankCPercent[0][CriteriaIndex(0, v)] = 20;
    }
}

class PdfToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        auto book = std::make_unique<GradeBook>();
        FillSample(*book);
        bookPath = dir.filePath(QStringLiteral("class.txt"));
        QString error;
        ASSERT_TRUE(WriteGradeBookFile(bookPath, *book, &error)) << error.toStdString();
    }

    // Runs the tool; returns its exit code and keeps its error output.
    int Run(const QStringList& args) {
        QProcess tool;
        tool.start(QStringLiteral(KIRUNE_TOOL_PATH), args);
        if (!tool.waitForFinished(120000))
            return -1;
        errors = QString::fromUtf8(tool.readAllStandardError());
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }

    // The text of a PDF as pdftotext reads it (layout kept, so cells stay on their lines).
    static QString PdfText(const QString& pdf) {
        QProcess convert;
        convert.start(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                       pdf, QStringLiteral("-")});
        if (!convert.waitForFinished(60000))
            return QString();
        return QString::fromUtf8(convert.readAllStandardOutput());
    }

    // What pdfinfo says of a PDF: its title, creator, pages and page size.
    static QString PdfInfo(const QString& pdf) {
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        if (!info.waitForFinished(60000))
            return QString();
        return QString::fromUtf8(info.readAllStandardOutput());
    }

    QTemporaryDir dir;
    QString bookPath;
    QString errors;
};

TEST_F(PdfToolTest, SemesterTablePrintsToAPdfWithCaptionAndCells) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const QString pdf = dir.filePath(QStringLiteral("semester.pdf"));
    ASSERT_EQ(
        Run({QStringLiteral("pdf"), bookPath, pdf, QStringLiteral("0 0"), QStringLiteral("1 0 0")}),
        0)
        << errors.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF-"));

    const QString text = PdfText(pdf);
    // The frame caption as title.
    EXPECT_TRUE(text.contains(u"山田花子"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"一学期"_s));
    EXPECT_TRUE(text.contains(u"国語"_s));
    // Header pieces, names and the class-average row.
    EXPECT_TRUE(text.contains(u"合計点"_s));
    EXPECT_TRUE(text.contains(u"評定"_s));
    EXPECT_TRUE(text.contains(u"生徒1 "_s));
    EXPECT_TRUE(text.contains(u"生徒40"_s));
    EXPECT_TRUE(text.contains(u"クラスの平均点"_s));
    // Pupil 40's first viewpoint: (39*37)%100 = 43 -> 13; 43+29=72 -> 22; 43+58=101%100=1 -> 1.
    const QStringList lines = text.split(u'\n');
    const auto pupil40 = std::find_if(
        lines.begin(), lines.end(), [](const QString& line) { return line.contains(u"生徒40"_s); });
    ASSERT_NE(pupil40, lines.end());
    EXPECT_TRUE(pupil40->simplified().startsWith(u"40 生徒40 36 "_s)) << pupil40->toStdString();

    // The PDF says which class and table it holds, and what made it.
    const QString properties = PdfInfo(pdf);
    EXPECT_TRUE(properties.contains(QRegularExpression(u"Title: +令和8年度 5年2組 山田花子"_s)))
        << properties.toStdString();
    EXPECT_TRUE(properties.contains(QRegularExpression(QStringLiteral("Creator: +Kirune"))))
        << properties.toStdString();
}

TEST_F(PdfToolTest, UnknownKeyWritesNothing) {
    const QString pdf = dir.filePath(QStringLiteral("none.pdf"));
    EXPECT_EQ(Run({QStringLiteral("pdf"), bookPath, pdf, QStringLiteral("9 9")}), 1);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(Run({QStringLiteral("pdf"), bookPath}), 2);
}

TEST_F(PdfToolTest, UnwritableOutputFails) {
    const QString pdf = dir.filePath(QStringLiteral("no/such/folder/out.pdf"));
    EXPECT_NE(Run({QStringLiteral("pdf"), bookPath, pdf, QStringLiteral("1 0 0")}), 0);
    EXPECT_FALSE(errors.isEmpty());
}

} // namespace
} // namespace kirune

namespace kirune {
namespace {

// kirune-tool pupils: one A4 portrait page per pupil asked for (every named pupil without
// numbers), each with its heading and the pupil's name as text; csv and pdf take the new keys.
TEST_F(PdfToolTest, PupilRecordsPrintOnePortraitPageEach) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    const QString pdf = dir.filePath(QStringLiteral("records.pdf"));
    ASSERT_EQ(
        Run({QStringLiteral("pupils"), bookPath, pdf, QStringLiteral("2"), QStringLiteral("40")}),
        0)
        << errors.toStdString();
    const QString properties = PdfInfo(pdf);
    EXPECT_TRUE(properties.contains(QRegularExpression(QStringLiteral("Pages: +2\\n"))))
        << properties.toStdString();
    EXPECT_TRUE(properties.contains(
        QRegularExpression(QStringLiteral("Page size: +595[.0-9]* x 84[12][.0-9]* pts"))))
        << properties.toStdString(); // A4 portrait
    const QString text = PdfText(pdf);
    EXPECT_EQ(text.count(u"個人票"_s), 2);
    EXPECT_TRUE(text.contains(u"生徒2"_s));
    EXPECT_TRUE(text.contains(u"生徒40"_s));
    EXPECT_FALSE(text.contains(u"生徒3 "_s));
    EXPECT_EQ(Run({QStringLiteral("pupils"), bookPath, pdf, QStringLiteral("41")}), 1);

    for (const QString& key : {QStringLiteral("4"), QStringLiteral("4 1")}) {
        const QString out = dir.filePath(QStringLiteral("table.pdf"));
        QFile::remove(out);
        EXPECT_EQ(Run({QStringLiteral("pdf"), bookPath, out, key}), 0) << errors.toStdString();
        EXPECT_TRUE(QFile::exists(out));
        const QString csv = dir.filePath(QStringLiteral("table.csv"));
        EXPECT_EQ(Run({QStringLiteral("csv"), bookPath, csv, key}), 0) << errors.toStdString();
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().contains(key == QStringLiteral("4") ? EncodeCp932(u"C の人数"_s)
                                                                       : QByteArray("1")));
    }
}

} // namespace
} // namespace kirune
