// File > 学年の集計 without a window: books chosen at once, the window's table and period,
// printing and saving, with the open book left alone.
#include "document/gradesummarylogic.h"
#include "mainlogicfixture.h"
#include "support/faultyops.h"

#include <QPageLayout>

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

class GradeSummaryLogicTest : public MainLogicTest {
protected:
    void SetUp() override {
        Start();
        logic->openSummary = [this](std::unique_ptr<GradeSummaryLogic> summary) {
            shown = std::move(summary);
        };
        // Two classes whose marks are in the second semester: 10, 20, 30 of 40 points.
        for (const QString& klass : {u"1組"_s, u"2組"_s})
            books << WriteBook(klass + u".txt"_s, 3, [&](GradeBook& b) {
                b.HomeRoomClass = klass;
                auto& scores = b.Scores[SemesterAggregateSlot(1, 0, 0)];
                for (int n = 0; n < 3; ++n)
                    scores[n] = static_cast<float>(10 * (n + 1));
                scores[kAverageColumn] = 20;
                scores[kPointsColumn] = 40;
            });
    }

    // File > 学年の集計 with `paths` chosen in its dialog.
    void Choose(const QStringList& paths) {
        platform.fileListAnswers.push_back(paths);
        logic->mnuFileGradeSummary_Click();
    }

    QStringList books;
    std::unique_ptr<GradeSummaryLogic> shown;
};

TEST_F(GradeSummaryLogicTest, TheChosenBooksOpenTheirWindowAndTheOpenBookStaysAsItWas) {
    Open(books[0]);
    const QString table = logic->grid.RowString(1);
    Choose(books);
    ASSERT_TRUE(shown);
    EXPECT_EQ(platform.dialogTitles.back(), u"学年の集計：成績ファイルを選ぶ"_s);
    EXPECT_EQ(platform.openStarts.back(), QFileInfo(books[0]).absolutePath()); // the book's folder
    EXPECT_EQ(shown->grid.Rows(), 4);
    EXPECT_EQ(shown->grid.Text(3, 1), u"学年全体"_s);
    EXPECT_EQ(shown->PeriodChoice(), 0); // 学年, no marks
    EXPECT_EQ(shown->grid.Text(1, 3), QString());
    shown->ChoosePeriod(2);
    EXPECT_EQ(shown->grid.Text(3, 3), QStringLiteral("50.0"));
    // The open book is the one it was, unchanged, still locked by this program.
    EXPECT_EQ(session.FileName, books[0]);
    EXPECT_FALSE(session.NeedsSave);
    EXPECT_TRUE(logic->HoldsLock());
    EXPECT_EQ(logic->grid.RowString(1), table);
}

TEST_F(GradeSummaryLogicTest, CancelledOrNothingReadableOpensNoWindow) {
    logic->mnuFileGradeSummary_Click();                     // the dialog cancelled
    EXPECT_EQ(platform.openStarts, QStringList{QString()}); // no book: the folder last chosen
    EXPECT_FALSE(shown);
    EXPECT_TRUE(platform.messages.isEmpty());
    Choose({platform.dir.filePath(QStringLiteral("gone.txt"))});
    EXPECT_FALSE(shown);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].startsWith(u"読み込める成績ファイルがありませんでした。"_s));
}

TEST_F(GradeSummaryLogicTest, SavesAWorkbookOrACsvAndPrintsOneLandscapePage) {
    Choose(books);
    ASSERT_TRUE(shown);
    const struct {
        const char* answer;
        const char* written;
        QByteArray start; // a zip, or the CSV's first bytes
    } cases[] = {
        {"grade", "grade.xlsx", "PK"},
        {"grade.csv", "grade.csv", "No.,"},
    };
    for (const auto& c : cases) {
        platform.fileAnswers.push_back(platform.dir.filePath(QString::fromUtf8(c.answer)));
        shown->SaveAs();
        EXPECT_TRUE(
            ReadAll(platform.dir.filePath(QString::fromUtf8(c.written))).startsWith(c.start))
            << c.written;
        EXPECT_TRUE(shown->statusText.endsWith(QString::fromUtf8(c.written)));
    }
    shown->Print();
    EXPECT_EQ(platform.printed, 1);
    EXPECT_EQ(platform.previewNames.back(), u"学年の集計_学年.pdf"_s);
    EXPECT_EQ(platform.printer->pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_TRUE(QFileInfo(platform.pdfPath).size() > 0);
}

// Never over the open book, one of the books summarised, or their backups; a write failing at
// any step leaves the file on disk as it was.
TEST_F(GradeSummaryLogicTest, ASaveThatFailsChangesNothingOnDisk) {
    Open(books[0]);
    Choose(books);
    ASSERT_TRUE(shown);
    for (const QString& path : {books[0], books[1], BackupPath(books[1])}) {
        const QByteArray before = ReadAll(path);
        platform.messages.clear();
        EXPECT_FALSE(shown->SaveTo(path));
        EXPECT_EQ(platform.messages.size(), 1);
        EXPECT_EQ(ReadAll(path), before);
        // Nor is a printout's PDF file put there.
        platform.printer->setOutputFileName(path);
        EXPECT_FALSE(shown->Print());
        EXPECT_EQ(ReadAll(path), before);
    }
    for (const char* name : {"old.csv", "old.xlsx"}) {
        const QString target = platform.dir.filePath(QString::fromUtf8(name));
        int refused = 0;
        for (int step = 0;; ++step) {
            SCOPED_TRACE(std::string(name) + " step " + std::to_string(step));
            {
                QFile old(target);
                ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
                old.write("old");
            }
            const QStringList listing =
                QDir(platform.dir.path()).entryList(QDir::Files | QDir::Hidden);
            FaultyOps ops;
            ops.failAt = step;
            bool saved = false;
            {
                ScopedFileOps scope(ops);
                saved = shown->SaveTo(target);
            }
            if (step >= static_cast<int>(ops.calls.size()))
                break; // every step has failed once
            // A failed sync of the folder comes after the rename: the new file is in place, the
            // save is reported as failed since its name may not survive a power cut.
            if (ops.calls[step].kind == "syncfolder")
                continue;
            if (saved) {
                // Only the keeping of the older file may fail without stopping the save.
                EXPECT_NE(ReadAll(target), QByteArray("old")) << ops.calls[step].kind;
                continue;
            }
            ++refused;
            EXPECT_EQ(ReadAll(target), QByteArray("old"));
            EXPECT_EQ(QDir(platform.dir.path()).entryList(QDir::Files | QDir::Hidden), listing);
        }
        EXPECT_GE(refused, 4) << name; // open, write, sync, rename of the new file at least
    }
}

} // namespace
} // namespace kirune::test
