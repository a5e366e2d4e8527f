// kirune-tool csv end to end: a grade book file in, the table the program would show after the
// given clicks out, as the program's CSV export writes it.
#include "browse/tables.h"
#include "model/cp932.h"
#include "model/gradebook.h"
#include "model/gradebookfile.h"
#include "output/csvexport.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

struct ToolRun {
    int exitCode = -1;
    QString stderrText;
};

class CsvTool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // A class of `pupils` with one registered test of subject 1 in semester 0, whose class
    // averages are large enough to be written with digit grouping.
    QString WriteBook(const QString& name, int pupils) {
        auto book = std::make_unique<GradeBook>();
        ResetGradeBook(*book);
        book->HomeRoomYear = u"令和8年度"_s;
        book->HomeRoomGrade = u"4年"_s;
        book->HomeRoomClass = u"1組"_s;
        book->TeacherName = u"田中"_s;
        book->RosterSize = static_cast<int16_t>(pupils);
        for (int n = 0; n < pupils; ++n)
            book->StudentNames[n] = u"児童"_s + QString::number(n + 1);
        const int t = TestSlot(0, 1, 0, 0);
        for (int v = 0; v <= 3; ++v) {
            for (int n = 0; n < pupils; ++n)
                book->Scores[t + v][n] = float(10 * (n + 1) + v);
            book->Scores[t + v][kAverageColumn] = 1234.25f + float(v);
            book->Scores[t + v][kCountColumn] = float(pupils);
            book->Scores[t + v][kPointsColumn] = 100;
        }
        book->Scores[t + 1][1] = kAbsent;
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(WriteGradeBookFile(path, *book, &error)) << error.toStdString();
        return path;
    }

    static std::unique_ptr<GradeBook> Read(const QString& path) {
        auto book = std::make_unique<GradeBook>();
        QString error;
        EXPECT_TRUE(ReadGradeBookFile(path, *book, &error)) << error.toStdString();
        return book;
    }

    ToolRun Run(const QStringList& args, const QString& lang = QStringLiteral("C.UTF-8")) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LC_NUMERIC"));
        env.remove(QStringLiteral("LANGUAGE"));
        env.insert(QStringLiteral("LANG"), lang);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(KIRUNE_TOOL_PATH), QStringList{QStringLiteral("csv")} + args);
        EXPECT_TRUE(process.waitForFinished(60000));
        ToolRun run;
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.stderrText = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    static QByteArray ReadAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

TEST_F(CsvTool, WithoutKeysWritesTheGridAsOpenLeavesIt) {
    const QString file = WriteBook(QStringLiteral("class.txt"), 3);
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const ToolRun run = Run({file, out});
    ASSERT_EQ(run.exitCode, 0) << run.stderrText.toStdString();
    const QByteArray bytes = ReadAll(out);
    const QList<QByteArray> lines = bytes.split('\n');
    EXPECT_EQ(lines.size(), 7); // the class table's 6 lines and the empty rest after the last
    EXPECT_EQ(bytes.count("\r\n"), 6);
    EXPECT_EQ(lines[0], QByteArray(",") + EncodeCp932(u"生徒氏名"_s) + QByteArray(14, ',') + '\r');
    EXPECT_EQ(lines[2], QByteArray(" 2,") + EncodeCp932(u"児童2"_s) + QByteArray(14, ',') + '\r');
    EXPECT_EQ(lines[4], QByteArray(15, ',') + '\r');
}

TEST_F(CsvTool, NamesAreQuotedAndNeutralisedForSpreadsheets) {
    const QString file = WriteBook(QStringLiteral("class.txt"), 5);
    auto book = Read(file);
    const char16_t* names[] = {u"=1+1", u"@SUM(A1)", u"-2+3", u"田中,太郎", u"\"あ\""};
    for (int n = 0; n < 5; ++n)
        book->StudentNames[n] = QString::fromUtf16(names[n]);
    QString error;
    ASSERT_TRUE(WriteGradeBookFile(file, *book, &error)) << error.toStdString();
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const ToolRun run = Run({file, out});
    ASSERT_EQ(run.exitCode, 0) << run.stderrText.toStdString();
    const QList<QByteArray> lines = ReadAll(out).split('\n');
    const char16_t* fields[] = {u"'=1+1", u"'@SUM(A1)", u"'-2+3", u"\"田中,太郎\"",
                                u"\"\"\"あ\"\"\""};
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(lines[n + 1], QByteArray(" ") + QByteArray::number(n + 1) + ',' +
                                    EncodeCp932(QString::fromUtf16(fields[n])) +
                                    QByteArray(14, ',') + '\r');
}

TEST_F(CsvTool, HomeroomKeyGivesTheHomeroomTable) {
    const QString file = WriteBook(QStringLiteral("class.txt"), 3);
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const ToolRun run = Run({file, out, QStringLiteral("HomeRoom")});
    ASSERT_EQ(run.exitCode, 0) << run.stderrText.toStdString();
    EXPECT_EQ(ReadAll(out).count("\r\n"), 6); // three pupils and three more rows
}

TEST_F(CsvTool, KeysAreClickedInOrderAsTheWindowWould) {
    const QString file = WriteBook(QStringLiteral("class.txt"), 5);
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const ToolRun run = Run({file, out, QStringLiteral("3 1 0 0 2"), QStringLiteral("2 1 0 0")});
    ASSERT_EQ(run.exitCode, 0) << run.stderrText.toStdString();

    // The same steps by hand: the grid after Open, the viewpoint table, then the test table over
    // it (cells the test table leaves alone keep the viewpoint table's texts).
    auto book = Read(file);
    Grid grid(43, 15);
    InitMainGrid(*book, grid);
    Session session;
    QString caption;
    session.CurrentSubject = 1;
    session.CurrentSemester = 0;
    session.CurrentTest = 0;
    session.CurrentViewpoint = 2;
    ShowViewpointTestTable(*book, session, grid, caption);
    ShowTestTable(*book, session, grid, caption);
    EXPECT_EQ(ReadAll(out), CsvBytes(grid));
    // A sum with digit grouping arrives as one field.
    EXPECT_TRUE(ReadAll(out).contains(QByteArray(",\"1,234\",")));
}

TEST_F(CsvTool, RegionalFormattingFollowsLang) {
    const QString file = WriteBook(QStringLiteral("class.txt"), 5);
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const ToolRun run = Run({file, out, QStringLiteral("2 1 0 0")}, QStringLiteral("de_DE.UTF-8"));
    ASSERT_EQ(run.exitCode, 0) << run.stderrText.toStdString();

    auto book = Read(file);
    Grid grid(43, 15);
    InitMainGrid(*book, grid);
    Session session;
    session.CurrentSubject = 1;
    QString caption;
    const QLocale pinned;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ShowTestTable(*book, session, grid, caption);
    QLocale::setDefault(pinned);
    EXPECT_EQ(ReadAll(out), CsvBytes(grid));
    EXPECT_TRUE(ReadAll(out).contains(QByteArray(",1.234,")));
}

TEST_F(CsvTool, SelectionMessagesGoToStandardErrorWithoutStopping) {
    const QString file = WriteBook(QStringLiteral("empty.txt"), 0);
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const ToolRun run = Run({file, out, QStringLiteral("0 1")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.stderrText.contains(u"学級の編集（生徒の登録）がまだです。"_s));
    EXPECT_EQ(ReadAll(out).count("\r\n"), 3); // the class table, still shown
}

TEST_F(CsvTool, UnknownKeyFailsAndWritesNothing) {
    const QString file = WriteBook(QStringLiteral("class.txt"), 3);
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const ToolRun run = Run({file, out, QStringLiteral("2 1 0")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.stderrText.contains(QStringLiteral("2 1 0")));
    EXPECT_FALSE(QFile::exists(out));
}

TEST_F(CsvTool, UnreadableFileFailsWithTheReadersMessage) {
    const QString file = dir.filePath(QStringLiteral("broken.txt"));
    {
        QFile broken(file);
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("1;\r\n");
    }
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    const ToolRun run = Run({file, out});
    EXPECT_EQ(run.exitCode, 1);
    auto scratch = std::make_unique<GradeBook>();
    QString expected;
    ASSERT_FALSE(ReadGradeBookFile(file, *scratch, &expected));
    EXPECT_TRUE(run.stderrText.contains(expected)) << run.stderrText.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

TEST_F(CsvTool, UnwritableOutputFails) {
    const QString file = WriteBook(QStringLiteral("class.txt"), 3);
    const ToolRun run = Run({file, dir.filePath(QStringLiteral("missing/out.csv"))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.stderrText.isEmpty());
}

TEST_F(CsvTool, MissingArgumentsShowTheUsage) {
    const ToolRun run = Run({QStringLiteral("only-one")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.stderrText.contains(QStringLiteral("csv FILE OUT.csv")));
}

} // namespace
} // namespace kirune
