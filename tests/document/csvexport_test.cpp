// The CSV export of the table on screen: the file's bytes and the command around it.
#include "mainlogicfixture.h"

#include "browse/tables.h"
#include "model/cp932.h"
#include "model/safefile.h"
#include "output/csvexport.h"
#include "support/faultyops.h"

#include <cerrno>
#include <vector>

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

QList<QByteArray> Lines(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    EXPECT_TRUE(lines.last().isEmpty()); // the last line ends too
    lines.removeLast();
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r'));
        line.chop(1);
    }
    return lines;
}

TEST(CsvExport, StartUpGridGives43LinesOf15Fields) {
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    Grid grid(43, 15);
    InitMainGrid(*book, grid);
    const QByteArray bytes = CsvBytes(grid);
    EXPECT_EQ(bytes.count("\r\n"), 43);
    EXPECT_EQ(bytes.count('\n'), 43);
    const auto lines = Lines(bytes);
    ASSERT_EQ(lines.size(), 43);
    for (const QByteArray& line : lines)
        EXPECT_EQ(line.count(','), 15);
    // ",生徒氏名,,,...": the second field, in code page 932.
    EXPECT_EQ(lines[0], QByteArray(",\x90\xb6\x93\x6b\x8e\x81\x96\xbc,") + QByteArray(13, ','));
    EXPECT_EQ(lines[0].split(',').at(1), EncodeCp932(u"生徒氏名"_s));
    EXPECT_EQ(lines[1], QByteArray(15, ','));
}

TEST(CsvExport, CellsAreWrittenAsShownWithACarriageReturnAsABlank) {
    Grid grid(2, 3);
    grid.SetText(0, 0, u"国語"_s + QChar(13) + u"表現"_s);
    grid.SetText(0, 1, QStringLiteral("*"));
    grid.SetText(0, 2, QStringLiteral("1,234.5"));
    grid.SetText(1, 0, QStringLiteral(" 1"));
    grid.SetText(1, 2, QStringLiteral("* 12"));
    EXPECT_EQ(CsvText(grid), u"国語 表現,*,\"1,234.5\",\r\n 1,,* 12,\r\n"_s);
    EXPECT_EQ(CsvBytes(grid),
              QByteArray("\x8d\x91\x8c\xea \x95\x5c\x8c\xbb,*,\"1,234.5\",\r\n 1,,* 12,\r\n"));
}

TEST(CsvExport, FieldsAreQuotedAndFormulasNeutralised) {
    // The cell's text and the field written for it.
    const std::vector<std::pair<const char16_t*, const char16_t*>> cases = {
        {u"田中", u"田中"},
        {u" 85", u" 85"},
        {u"1,096", u"\"1,096\""},
        {u"-1,096.5", u"\"-1,096.5\""},
        {u"-1", u"-1"},
        {u"+85.5", u"+85.5"},
        {u"=1+1", u"'=1+1"},
        {u"@SUM(A1)", u"'@SUM(A1)"},
        {u"-2+3", u"'-2+3"},
        {u"+", u"'+"},
        {u"\t1", u"'\t1"},
        {u"=A1,B1", u"\"'=A1,B1\""},
        {u"田中,太郎", u"\"田中,太郎\""},
        {u"\"あ\"", u"\"\"\"あ\"\"\""},
        {u"a\nb", u"\"a\nb\""},
        {u"a\rb", u"a b"},
        {u"", u""},
    };
    for (const auto& [cell, field] : cases)
        EXPECT_EQ(CsvField(QString::fromUtf16(cell)), QString::fromUtf16(field));
}

// A pupil's name is always text: in the name column a name that looks like a number is guarded
// as a formula is; the same text in a score column stays a number.
TEST(CsvExport, NamesThatLookLikeNumbersStayText) {
    const std::vector<std::pair<const char16_t*, const char16_t*>> names = {
        {u"-5", u"'-5"},   {u"+81", u"'+81"},  {u"-1,234", u"\"'-1,234\""}, {u"123", u"'123"},
        {u"=A1", u"'=A1"}, {u"田中", u"田中"}, {u"-山田", u"'-山田"},
    };
    for (const auto& [cell, field] : names)
        EXPECT_EQ(CsvField(QString::fromUtf16(cell), true), QString::fromUtf16(field));
    Grid grid(2, 3);
    grid.SetText(0, 1, u"生徒氏名"_s);
    grid.SetText(1, 1, QStringLiteral("-5"));
    grid.SetText(1, 2, QStringLiteral("-5"));
    EXPECT_EQ(CsvText(grid), u",生徒氏名,,\r\n,'-5,-5,\r\n"_s);
}

TEST(CsvExport, CharacterOutsideTheCodePageBecomesAQuestionMark) {
    Grid grid(1, 2);
    grid.SetText(0, 0, u"髙橋①～"_s + u"\U0001F600"_s);
    grid.SetText(0, 1, QStringLiteral("x"));
    EXPECT_EQ(CsvBytes(grid), EncodeCp932(u"髙橋①～"_s) + "?,x,\r\n");
}

TEST_F(MainLogicTest, CsvCommandWritesTheGridAsItStandsAndChangesNothingElse) {
    const QString book_ = WriteBook(QStringLiteral("class.txt"), 3);
    Start();
    Open(book_);
    ASSERT_TRUE(logic->SelectNodeByKey(QStringLiteral("HomeRoom")));
    const auto enabling = Enabling();
    const QString out = platform.dir.filePath(QStringLiteral("table.csv"));
    platform.fileAnswers = {out};
    logic->mnuCSVSaveAs_Click();
    EXPECT_EQ(platform.dialogTitles.last(), u"画面の表をCSVで保存"_s);
    EXPECT_EQ(platform.dialogFilters.last(), u"ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv"_s);
    EXPECT_EQ(ReadAll(out), CsvBytes(logic->grid));
    EXPECT_EQ(Lines(ReadAll(out)).size(), 6); // the homeroom table: 3 pupils + 3 rows
    EXPECT_EQ(session.FileName, book_);
    EXPECT_EQ(Enabling(), enabling);
    EXPECT_TRUE(platform.messages.isEmpty());

    // After an export, Save still writes the grade book to its own file.
    logic->mnuFileSave_Click();
    EXPECT_FALSE(session.NeedsSave);
    EXPECT_TRUE(ReadAll(book_).startsWith(EncodeCp932(u"令和8年度"_s)));
}

TEST_F(MainLogicTest, CsvExportOfANewBookWritesItsClassTable) {
    Start();
    logic->mnuFileNew_Click();
    const QString out = platform.dir.filePath(QStringLiteral("start.csv"));
    platform.fileAnswers = {out};
    logic->mnuCSVSaveAs_Click();
    const auto lines = Lines(ReadAll(out));
    ASSERT_EQ(lines.size(), 3);            // the header, no pupils, the average's row
    EXPECT_TRUE(lines[0].startsWith(',')); // no byte order mark
    EXPECT_EQ(DecodeCp932(lines[0]).split(u',').at(1), u"生徒氏名"_s);
}

TEST_F(MainLogicTest, CancelledCsvDialogWritesNothing) {
    Start();
    logic->mnuFileNew_Click();
    logic->mnuCSVSaveAs_Click();
    EXPECT_EQ(platform.dialogTitles, QStringList{u"画面の表をCSVで保存"_s});
    EXPECT_TRUE(QDir(platform.dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(platform.messages.isEmpty());
}

// The export keeps an older x.csv as x.bak, unless x.bak is another book's backup (it reads as a
// grade book): then the older export is kept as x.csv.bak and the book's backup stays.
TEST_F(MainLogicTest, CsvExportOverAnOldExportKeepsItAsBackup) {
    const QString book = WriteBook(QStringLiteral("book.txt"), 2);
    const struct {
        const char* bak; // what x.bak holds first: nothing, an older export, a grade book
        const char* keptAs;
    } cases[] = {{"", "x.bak"}, {"export", "x.bak"}, {"book", "x.csv.bak"}};
    Start();
    logic->mnuFileNew_Click();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bak);
        const QString out = platform.dir.filePath(QStringLiteral("x.csv"));
        const QString bak = platform.dir.filePath(QStringLiteral("x.bak"));
        QFile::remove(bak);
        QFile::remove(out + QStringLiteral(".bak"));
        if (QByteArray(c.bak) == "export") {
            QFile file(bak);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("an older export\r\n");
        } else if (QByteArray(c.bak) == "book") {
            ASSERT_TRUE(QFile::copy(book, bak));
        }
        const QByteArray bakBefore = ReadAll(bak);
        {
            QFile file(out);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("old export\r\n");
        }
        platform.fileAnswers = {out};
        logic->mnuCSVSaveAs_Click();
        EXPECT_EQ(ReadAll(platform.dir.filePath(QLatin1String(c.keptAs))),
                  QByteArray("old export\r\n"));
        if (QByteArray(c.bak) == "book") {
            EXPECT_EQ(ReadAll(bak), bakBefore);
        }
        EXPECT_EQ(ReadAll(out), CsvBytes(logic->grid));
    }
}

TEST_F(MainLogicTest, CsvExportNextToTheGradeBookKeepsTheGradeBooksBackup) {
    const QString path = WriteBook(QStringLiteral("x.txt"), 2);
    Start();
    Open(path);
    logic->mnuFileSave_Click(); // x.bak is now the grade book's backup
    const QString bak = platform.dir.filePath(QStringLiteral("x.bak"));
    ASSERT_TRUE(QFile::exists(bak));
    const QString out = platform.dir.filePath(QStringLiteral("x.csv"));
    platform.fileAnswers = {out};
    logic->mnuCSVSaveAs_Click(); // first export: nothing to back up
    const QByteArray firstExport = ReadAll(out);
    logic->SelectNodeByKey(QStringLiteral("4")); // another table
    platform.fileAnswers = {out};
    const QByteArray bookBackup = ReadAll(bak);
    logic->mnuCSVSaveAs_Click();
    EXPECT_EQ(ReadAll(bak), bookBackup);
    EXPECT_NE(ReadAll(out), firstExport);
    EXPECT_TRUE(platform.messages.isEmpty());

    // Exporting over the grade book's own file is refused: the marks stay in it.
    const QByteArray saved = ReadAll(path);
    platform.fileAnswers = {path};
    logic->mnuCSVSaveAs_Click();
    EXPECT_EQ(ReadAll(path), saved);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].contains(u"開いている成績ファイル"_s));
}

TEST_F(MainLogicTest, FailedCsvWriteIsReportedAndChangesNothing) {
    Start();
    logic->mnuFileNew_Click();
    const QString out = platform.dir.filePath(QStringLiteral("no/such/folder/x.csv"));
    platform.fileAnswers = {out};
    const auto enabling = Enabling();
    logic->mnuCSVSaveAs_Click();
    EXPECT_EQ(platform.messages.size(), 1);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(Enabling(), enabling);
    EXPECT_TRUE(session.FileName.isEmpty());

    QString error;
    EXPECT_FALSE(ExportCsv(logic->grid, out, QString(), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(MainLogicTest, FailedCsvWriteOverAnOldFileLeavesItAlone) {
    Start();
    logic->mnuFileNew_Click();
    // A folder where the file should be: it cannot be replaced.
    const QString out = platform.dir.filePath(QStringLiteral("taken.csv"));
    ASSERT_TRUE(QDir(platform.dir.path()).mkdir(QStringLiteral("taken.csv")));
    platform.fileAnswers = {out};
    logic->mnuCSVSaveAs_Click();
    EXPECT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(QFileInfo(out).isDir());
}

} // namespace
} // namespace kirune::test

namespace kirune::test {
namespace {

// Every step of the export failing in turn, over an older export: up to the rename the older
// export stays and no backup is made; a failing backup copy lets the export go on without one.
TEST_F(MainLogicTest, CsvExportFailingAtEachStepIsReportedAndKeepsTheOldFile) {
    Start();
    logic->mnuFileNew_Click();
    const QString out = platform.dir.filePath(QStringLiteral("x.csv"));
    const QString bak = platform.dir.filePath(QStringLiteral("x.bak"));
    const QStringList before = QDir(platform.dir.path()).entryList(QDir::Files | QDir::Hidden);
    const auto steps = FailingSteps(QString::fromUtf16(uR"(
        open -        fails    保存先のフォルダーを開けません
        open .x.csv   fails    一時ファイルを作れません
        write .x.csv  fails    書き込みに失敗しました
        stat .x.csv   fails    大きさを確かめられません
        sync .x.csv   fails    ディスクへの書き込みに失敗しました
        close .x.csv  fails    閉じるときに書き込みに失敗しました
        open x.csv    written  -
        open .x.bak   written  -
        read x.csv    written  -
        write .x.bak  written  -
        stat .x.bak   written  -
        sync .x.bak   written  -
        close .x.bak  written  -
        close x.csv   written  -
        stat x.csv    written  -
        rename x.csv  fails    置き換えられません
        rename x.bak  written  -
        syncfolder -  in-place もう一度保存してください
        close -       written  -)"));
    FailEachStepInTurn(
        steps,
        [&](QString* error) {
            QFile::remove(bak);
            QFile file(out);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("old export\r\n");
            file.close();
            platform.messages.clear();
            platform.fileAnswers = {out};
            logic->mnuCSVSaveAs_Click();
            *error = platform.messages.join(u'\n');
            return platform.messages.isEmpty();
        },
        [&](const FailingStep& step) {
            const bool fails = step.outcome == FailingStep::kFails;
            EXPECT_EQ(ReadAll(out), fails ? QByteArray("old export\r\n") : CsvBytes(logic->grid));
            if (fails || step.file.ends_with(".bak")) {
                EXPECT_FALSE(QFile::exists(bak));
            }
            const qsizetype entries =
                QDir(platform.dir.path()).entryList(QDir::Files | QDir::Hidden).size();
            EXPECT_TRUE(entries == before.size() + 1 || entries == before.size() + 2);
        });
}

} // namespace
} // namespace kirune::test
