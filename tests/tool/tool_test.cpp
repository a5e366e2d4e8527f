// kirune-tool's check and resave commands, run as the user runs them.
#include "model/cp932.h"
#include "model/gradebook.h"
#include "model/gradebookfile.h"

#include "support/testutil.h"
#include "support/workbookfixture.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;

using namespace kirune;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun RunTool(const QStringList& args) {
    // A runtime folder of its own, so Qt has nothing to warn about on stderr.
    static QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KIRUNE_TOOL_PATH), args);
    ToolRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

std::unique_ptr<GradeBook> ClassBook() {
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    book->HomeRoomYear = u"令和6年度"_s;
    book->HomeRoomGrade = u"5年"_s;
    book->HomeRoomClass = u"2組"_s;
    book->TeacherName = u"髙橋 一郎"_s;
    book->RosterSize = 3;
    book->StudentNames[0] = u"青木 太郎"_s;
    book->StudentNames[2] = u"宇野 ﾊﾅｺ"_s;
    book->Scores[TestSlot(0, 0, 0, 0)][0] = 85;
    return book;
}

QByteArray Content(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "(missing)";
    return file.readAll();
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class CheckAndResaveTool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        good = folder.filePath(QStringLiteral("class3.txt"));
        ASSERT_TRUE(WriteGradeBookFile(good, *ClassBook(), nullptr));
        // Cut off after line 700: a score line is the first one missing.
        bad = folder.filePath(QStringLiteral("broken.txt"));
        const QByteArray bytes = Content(good);
        qsizetype end = 0;
        for (int line = 0; line < 700; ++line)
            end = bytes.indexOf('\n', end) + 1;
        Put(bad, bytes.left(end));
    }
    QTemporaryDir folder;
    QString good, bad;
};

} // namespace

TEST_F(CheckAndResaveTool, CheckGoodFile) {
    const ToolRun run = RunTool({QStringLiteral("check"), good});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    EXPECT_EQ(run.out, good + QStringLiteral(": ") + HomeRoomHeading(*ClassBook()) + u'\n');
    EXPECT_EQ(run.out.count(u'\n'), 1) << "one summary line";
    for (const QString& part : {u"令和6年度"_s, u"5年"_s, u"2組"_s, u"髙橋 一郎"_s, u"2名"_s})
        EXPECT_TRUE(run.out.contains(part)) << part.toStdString();
}

TEST_F(CheckAndResaveTool, CheckBrokenFile) {
    const ToolRun run = RunTool({QStringLiteral("check"), bad});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_EQ(run.err, u"701 行目がありません。ファイルが途中で終わっています"
                       u"（成績ファイルは 1655 行です）。\n"_s);
}

TEST_F(CheckAndResaveTool, CheckMissingFileAndWrongArguments) {
    const QString missing = folder.filePath(QStringLiteral("none.txt"));
    ToolRun run = RunTool({QStringLiteral("check"), missing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(u"見つかりません"_s)) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(missing)) << run.err.toStdString();

    run = RunTool({QStringLiteral("check")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("check FILE"))) << run.err.toStdString();
}

// The version is the build's project version, the one the window title shows.
TEST(ToolTest, VersionIsTheProjectVersion) {
    const ToolRun run = RunTool({QStringLiteral("--version")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QStringLiteral("kirune-tool " KIRUNE_PROJECT_VERSION "\n"));
}

TEST_F(CheckAndResaveTool, ResaveWritesTheSameBytesAndKeepsABackup) {
    const QString out = folder.filePath(QStringLiteral("copy.txt"));
    Put(out, "old content");
    const ToolRun run = RunTool({QStringLiteral("resave"), good, out});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    EXPECT_EQ(Content(out), Content(good));
    EXPECT_EQ(Content(out), GradeBookFileBytes(*ClassBook()));
    EXPECT_EQ(Content(folder.filePath(QStringLiteral("copy.bak"))), QByteArray("old content"));
}

TEST_F(CheckAndResaveTool, ResaveOfABrokenFileWritesNothing) {
    const QString out = folder.filePath(QStringLiteral("copy.txt"));
    Put(out, "old content");
    const ToolRun run = RunTool({QStringLiteral("resave"), bad, out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith(u"701 行目"_s)) << run.err.toStdString();
    EXPECT_EQ(Content(out), QByteArray("old content"));
    EXPECT_EQ(Content(folder.filePath(QStringLiteral("copy.bak"))), QByteArray("(missing)"));
}

TEST_F(CheckAndResaveTool, ResaveIntoAMissingFolderFails) {
    const ToolRun run =
        RunTool({QStringLiteral("resave"), good, folder.filePath(QStringLiteral("gone/a.txt"))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(u"保存できませんでした"_s)) << run.err.toStdString();

    const ToolRun usage = RunTool({QStringLiteral("resave"), good});
    EXPECT_EQ(usage.exitCode, 2);
}

namespace {

// Two real programs on one book: the first holds it (kirune-tool hold, which opens as the
// program's Open does); the second is offered read-only and cannot save over it; once the first
// has ended the lock is gone; after a first program killed, the next takes its lock over without
// a question.
TEST(ToolTest, TwoProgramsOnOneBook) {
    QTemporaryDir dir;
    const QString book = dir.filePath(u"4年2組.txt"_s);
    ASSERT_TRUE(WriteGradeBookFile(book, *ClassBook(), nullptr));
    const QString lock = dir.filePath(u".4年2組.txt.lock"_s);
    const QByteArray original = Content(book);
    auto startHolder = [&](QProcess& holder) {
        holder.start(QStringLiteral(KIRUNE_TOOL_PATH), {QStringLiteral("hold"), book});
        return holder.waitForReadyRead(60000) &&
               holder.readLine().trimmed() == QByteArrayLiteral("opened");
    };

    QProcess first;
    ASSERT_TRUE(startHolder(first));
    EXPECT_TRUE(QFile::exists(lock));
    const ToolRun second = RunTool({QStringLiteral("save"), book});
    EXPECT_TRUE(second.out.startsWith(QStringLiteral("opened read-only")))
        << second.out.toStdString();
    EXPECT_TRUE(second.err.contains(u"ほかのKirune"_s)) << second.err.toStdString();
    EXPECT_TRUE(second.out.contains(QStringLiteral("not saved")));
    EXPECT_EQ(Content(book), original);

    first.closeWriteChannel(); // the first program ends as usual
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(lock));

    QProcess killed;
    ASSERT_TRUE(startHolder(killed));
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(60000));
    EXPECT_TRUE(QFile::exists(lock)); // left behind
    const ToolRun next = RunTool({QStringLiteral("save"), book});
    EXPECT_EQ(next.out, QStringLiteral("opened\nsaved\n"));
    EXPECT_FALSE(next.err.contains(u"ほかのKirune"_s)) << next.err.toStdString();
    EXPECT_EQ(next.exitCode, 0);
}

// resave takes the lock of the book it writes as Open does: while another program holds the
// book it writes nothing; once that program has ended it saves. save's ANSWER answers only the
// question of a held book: a book no one holds is saved with any ANSWER, --overwrite or not.
TEST(ToolTest, ResaveAndSaveRespectTheLock) {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.txt"));
    const QString book = dir.filePath(QStringLiteral("book.txt"));
    ASSERT_TRUE(WriteGradeBookFile(in, *ClassBook(), nullptr));
    ASSERT_TRUE(QFile::copy(in, book));
    QProcess holder;
    holder.start(QStringLiteral(KIRUNE_TOOL_PATH), {QStringLiteral("hold"), book});
    ASSERT_TRUE(holder.waitForReadyRead(60000));
    const QByteArray held = Content(book);
    const ToolRun refused = RunTool({QStringLiteral("resave"), in, book});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(u"ほかのKirune"_s)) << refused.err.toStdString();
    EXPECT_EQ(Content(book), held);
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(60000));
    EXPECT_EQ(RunTool({QStringLiteral("resave"), in, book}).exitCode, 0);

    for (const QStringList& answer :
         {QStringList{QStringLiteral("1")}, QStringList{QStringLiteral("--overwrite")},
          QStringList{QStringLiteral("2"), QStringLiteral("--overwrite")}}) {
        const ToolRun run = RunTool(QStringList{QStringLiteral("save"), book} + answer);
        EXPECT_EQ(run.out, QStringLiteral("opened\nsaved\n")) << run.err.toStdString();
    }
    EXPECT_EQ(RunTool({QStringLiteral("save"), book, QStringLiteral("x")}).exitCode, 2);
}

// Every output command refuses the book it reads and the book's backup, under any name of
// theirs, and a book another program holds, and leaves each as it was.
TEST(ToolTest, NoOutputCommandWritesOverTheBookItsBackupOrAHeldBook) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("d")));
    const QString book = dir.filePath(QStringLiteral("d/b.txt"));
    const QString backup = dir.filePath(QStringLiteral("d/b.bak"));
    const QString held = dir.filePath(QStringLiteral("d/held.txt"));
    ASSERT_TRUE(WriteGradeBookFile(book, *ClassBook(), nullptr));
    ASSERT_TRUE(WriteGradeBookFile(book, *ClassBook(), nullptr)); // now with its backup
    ASSERT_TRUE(WriteGradeBookFile(held, *ClassBook(), nullptr));
    ASSERT_TRUE(QFile::link(book, dir.filePath(QStringLiteral("d/link.txt"))));
    ASSERT_TRUE(QFile::link(backup, dir.filePath(QStringLiteral("d/link.bak"))));
    for (const QString& file : {book, backup}) {
        const QString hard = dir.filePath(QStringLiteral("d/hard.") + file.right(3));
        ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(hard).constData()),
                  0);
    }
    QProcess holder;
    holder.start(QStringLiteral(KIRUNE_TOOL_PATH), {QStringLiteral("hold"), held});
    ASSERT_TRUE(holder.waitForReadyRead(60000));
    const QByteArray marks = Content(book);
    const QByteArray before = Content(backup);
    const QByteArray heldMarks = Content(held);
    // Each command with BOOK and OUT in their places, "|" between the arguments.
    const char* commands[] = {"pdf|BOOK|OUT",
                              "pupils|BOOK|OUT",
                              "graphs|BOOK|OUT|0",
                              "csv|BOOK|OUT",
                              "xlsx|BOOK|OUT",
                              "resave|BOOK|OUT",
                              "import-scores|BOOK|2 0 0 0|none.csv|OUT"};
    const char* spellings[] = {"d/b.txt", "d/./../d/b.txt", "d/link.txt", "d/hard.txt",
                               "d/b.bak", "d/link.bak",     "d/hard.bak", "d/held.txt"};
    for (const char* commandLine : commands) {
        for (const char* spelling : spellings) {
            SCOPED_TRACE(std::string(commandLine) + " " + spelling);
            QStringList args = QString::fromLatin1(commandLine).split(u'|');
            args.replaceInStrings(QStringLiteral("BOOK"), book);
            args.replaceInStrings(QStringLiteral("OUT"), dir.filePath(QLatin1String(spelling)));
            const ToolRun run = RunTool(args);
            EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
            const QString said = QLatin1String(spelling) == QLatin1String("d/held.txt")
                                     ? u"ほかのKirune"_s
                                     : u"開いている成績ファイル"_s;
            EXPECT_TRUE(run.err.contains(said)) << run.err.toStdString();
            EXPECT_EQ(Content(book), marks);
            EXPECT_EQ(Content(backup), before);
            EXPECT_EQ(Content(held), heldMarks);
        }
    }
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(60000));
}

// kirune-tool import-scores: a good file registered into OUT (BOOK untouched), and every way it
// stops without writing anything.
TEST(ToolTest, ImportScoresRegistersIntoOutOrWritesNothing) {
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("class.txt"));
    auto classBook = ClassBook();
    for (int j = 0; j < 3; ++j)
        classBook->Scores[TestSlot(0, 0, 0, j)][kPointsColumn] = 50;
    classBook->Scores[TestSlot(0, 0, 0, 0)][0] = 45; // within the points
    ASSERT_TRUE(WriteGradeBookFile(book, *classBook, nullptr));
    const QByteArray original = Content(book);
    const QString scores = dir.filePath(QStringLiteral("scores.csv"));
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    const struct {
        const char* name;
        const char* key; // of the test the scores go to
        bool outIsBook;
        QByteArray file;
        int exitCode;
        const char16_t* said; // in stdout or stderr
        QStringList options = {};
    } cases[] = {
        {"cells that are no scores", "2 0 0 0", false, "No.,X\n1,51\n", 1,
         u"得点でないセル: 2 行目 B 列「51」配点 50 を超えています"},
        {"a refused file", "2 0 0 0", false, QByteArray("\0\1\2", 3), 1,
         u"ファイル「scores.csv」: CSV ファイル"},
        {"no pupil column", "2 0 0 0", false, "a,b\n1,2\n", 1, u"生徒の列がありません"},
        {"not a test", "0 0", false, "No.\n", 2, u"試験の項目ではありません"},
        {"number and name of different pupils", "2 0 0 0", false,
         u"番号,氏名,X\n1,宇野 ハナコ,5\n"_s.toUtf8(), 1,
         u"一致しない行: 2 行目 出席番号 1 は名簿では「青木 太郎」、氏名「宇野 ハナコ」は出席番号 "
         u"3 "
         u"です\n"},
        {"viewpoints some headers name and others not", "2 0 0 0", false,
         u"番号,表現,X,Y\n1,5,6,7\n"_s.toUtf8(), 1,
         u"ファイル「scores.csv」: 観点「理解」「言語」の列が見出しにありません。--columns"},
        {"two visible sheets with pupils", "2 0 0 0", false,
         test::Workbook({{u"今回"_s, test::SheetXml(u"A1=番号|A2=#1"_s)},
                         {u"名簿"_s, test::SheetXml(u"A1=氏名"_s)},
                         {u"前回"_s, test::SheetXml(u"A1=番号"_s), "hidden"}}),
         1,
         u"ファイル「scores.csv」には生徒の列のある表示中のシートが 2 "
         u"枚あります（「今回」「名簿」）"},
        {"no such sheet",
         "2 0 0 0",
         false,
         test::Workbook({{u"S"_s, test::SheetXml(u"A1=x"_s)}}),
         1,
         u"ファイル「scores.csv」にシート「T」はありません（シート: 「S」）",
         {u"--sheet"_s, u"T"_s}},
        // Last: those that write OUT. A pupil without a row is reported only.
        {"a pupil without a row", "2 0 0 0", false, "No.,X\n1,40\n", 0,
         u"行のない生徒: 出席番号 3"},
        {"by name, as asked",
         "2 0 0 0",
         false,
         u"番号,氏名,X\n1,宇野 ハナコ,5\n"_s.toUtf8(),
         0,
         u"注意: 2 行目: 氏名「宇野 ハナコ」に従い出席番号 3 としました（ファイルの出席番号は 1）",
         {u"--by-name"_s}},
        {"columns named on the command line",
         "2 0 0 0",
         false,
         u"番号,表現,X,Y\n1,5,6,7\n"_s.toUtf8(),
         0,
         u"一致 1 人",
         {u"--columns"_s, u"理解=C,言語=-"_s}},
        {"columns by position, said", "2 0 0 0", false, "No.,Q1,Q2,Q3\n1,5,6,7\n", 0,
         u"位置で選んだ列: 表現 は B 列、理解 は C 列、言語 は D 列"},
        {"the visible sheet the workbook opens on", "2 0 0 0", false,
         test::Workbook({{u"前回"_s, test::SheetXml(u"A1=番号|A2=#1|B2=#7"_s), "hidden"},
                         {u"今回"_s, test::SheetXml(u"A1=番号|A2=#1|B2=#8"_s)}},
                        1),
         0, u"一致 1 人"},
        {"no header row", "2 0 0 0", false, "1,8,9\n", 0, u"一致 1 人", {u"--no-header"_s}},
        {"good", "2 0 0 0", false,
         u"番号,氏名,表現,理解,言語\n1,青木 太郎,40,30,20\n"
         u"3,宇野 ハナコ,欠,,\n9,誰,1,1,1\n"_s.toUtf8(),
         0, u"一致 2 人、一致しない行 1、行のない生徒 0 人、得点でないセル 0、注意 0"},
    };
    for (const auto& c : cases) {
        QFile::remove(out);
        Put(scores, c.file);
        const ToolRun run =
            RunTool(QStringList{QStringLiteral("import-scores"), book, QLatin1String(c.key), scores,
                                c.outIsBook ? book : out} +
                    c.options);
        // The answer to a question is printed as its word alone.
        EXPECT_FALSE(run.err.contains(u"(&"_s)) << c.name << ": " << run.err.toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name << ": " << run.err.toStdString();
        EXPECT_TRUE((run.out + run.err).contains(QString::fromUtf16(c.said)))
            << c.name << ": " << (run.out + run.err).toStdString();
        EXPECT_EQ(Content(book), original) << c.name;
        if (c.exitCode != 0) {
            EXPECT_FALSE(QFile::exists(out)) << c.name;
        }
    }
    auto result = std::make_unique<GradeBook>();
    ResetGradeBook(*result);
    ASSERT_TRUE(ReadGradeBookFile(out, *result, nullptr));
    const int S = TestSlot(0, 0, 0, 0);
    EXPECT_EQ(result->Scores[S][0], 40);
    EXPECT_EQ(result->Scores[S + 3][0], 90);
    EXPECT_EQ(result->Scores[S][2], -2);
}

// The options and the limits are in --help, on stdout.
TEST(ToolTest, HelpListsTheImportOptionsAndLimits) {
    for (const QStringList& args :
         {QStringList{u"--help"_s}, QStringList{u"import-scores"_s, u"--help"_s}}) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.exitCode, 0);
        for (const char* said :
             {"--sheet NAME", "--by-number", "--by-name", "--columns", "--no-header", "10 MB",
              "1,000 rows and 200 columns", "40 characters"})
            EXPECT_TRUE(run.out.contains(QLatin1String(said))) << said << run.out.toStdString();
    }
}

} // namespace

// Without the C library's conversion modules (hidden under an empty folder in a private mount
// namespace) a code page 932 book is not read and no book is saved: each says why, and nothing
// is written with a character replaced.
TEST(ToolTest, WithoutTheCp932ConverterNothingIsReadOrSaved) {
    QString gconv;
    for (const QString& folder : QDir(QStringLiteral("/usr/lib")).entryList(QDir::Dirs))
        if (QFileInfo::exists(QStringLiteral("/usr/lib/%1/gconv").arg(folder)))
            gconv = QStringLiteral("/usr/lib/%1/gconv").arg(folder);
    QTemporaryDir dir;
    const QString sjis = dir.filePath(QStringLiteral("sjis.txt"));
    const QString utf8 = dir.filePath(QStringLiteral("utf8.txt"));
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    ASSERT_TRUE(WriteGradeBookFile(sjis, *ClassBook(), nullptr));
    Put(utf8, DecodeCp932(Content(sjis)).toUtf8());
    auto hidden = [&](const QStringList& args) {
        QProcess process;
        const QStringList shell = {
            QStringLiteral("-m"),
            QStringLiteral("sh"),
            QStringLiteral("-c"),
            QStringLiteral("mount -t tmpfs none \"$0\" || exit 99; exec \"$@\""),
            gconv,
            QStringLiteral(KIRUNE_TOOL_PATH)};
        process.start(QStringLiteral("unshare"), shell + args);
        process.waitForFinished(60000);
        return ToolRun{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                       QString::fromUtf8(process.readAllStandardError())};
    };
    const ToolRun probe = hidden({QStringLiteral("check"), utf8});
    if (gconv.isEmpty() || probe.exitCode == 99 || probe.exitCode == -1 ||
        probe.err.contains(QStringLiteral("unshare")))
        GTEST_SKIP() << "mount namespaces are not allowed here: " << probe.err.toStdString();
    EXPECT_EQ(probe.exitCode, 0) << "a UTF-8 book reads without the converter";
    for (const QStringList& args : {QStringList{QStringLiteral("check"), sjis},
                                    QStringList{QStringLiteral("resave"), utf8, out}}) {
        const ToolRun run = hidden(args);
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(u"変換機能を開けません"_s)) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
}

// kirune-tool comments: one row per pupil, for pasting into the school's system.
TEST(ToolTest, CommentsWritesOneRowPerPupilOfOnePeriodOrOfEvery) {
    QTemporaryDir dir;
    auto book = ClassBook();
    book->StudentNames[2] = u"=上田"_s;
    book->Comments[0] = {u"一学期, よく\n頑張った"_s, u"二学期の所見"_s, QString(), u"年間"_s};
    book->Comments[2][1] = u"\"引用\";も"_s;
    const QString path = dir.filePath(u"class.txt"_s), csv = dir.filePath(u"out.csv"_s);
    ASSERT_TRUE(WriteGradeBookFile(path, *book, nullptr));
    const struct {
        QStringList options;
        int exitCode;
        QString text; // the CSV file's, "" when none is written
    } cases[] = {
        {{u"--semester"_s, u"2"_s},
         0,
         u"番号,氏名,二学期,\r\n 1,青木 太郎,二学期の所見,\r\n 3,'=上田,\"\"\"引用\"\";も\",\r\n"_s},
        {{u"--semester"_s, u"5"_s}, 2, QString()},
    };
    for (const auto& c : cases) {
        QFile::remove(csv);
        const ToolRun run = RunTool(QStringList{u"comments"_s, path, csv} + c.options);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_EQ(QFile::exists(csv) ? DecodeCp932(Content(csv)) : QString(), c.text);
    }
}
