// Recovery copies of an unsaved book and earlier versions of saved files, kept in the user's
// data folder: written at every step, offered after a crash, never another program's, never the
// teacher's own file; and File > 以前の版を開く...
#include "mainlogicfixture.h"
#include "model/safefile.h"

#include <QDir>
#include <cerrno>

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

const QString kRestore = u"前回は保存せずに終了しました。自動保存したデータを復元しますか？"_s;
const QString kDelete = u"自動保存したデータを削除しますか？"_s;

// Fails the `failAt`-th file operation (0-based) with a full disk.
class FailingOps : public FileOps {
public:
    explicit FailingOps(int failAt) : failAt_(failAt) {}
    int Open(const char* path, int flags, mode_t mode) override {
        return Fail() ? -1 : FileOps::Open(path, flags, mode);
    }
    ssize_t Write(int fd, const void* data, size_t size) override {
        return Fail() ? -1 : FileOps::Write(fd, data, size);
    }
    int Stat(int fd, struct stat* info) override { return Fail() ? -1 : FileOps::Stat(fd, info); }
    int Sync(int fd, bool folder) override { return Fail() ? -1 : FileOps::Sync(fd, folder); }
    int Close(int fd) override {
        const int result = FileOps::Close(fd);
        return Fail() ? -1 : result;
    }
    int Rename(const char* from, const char* to) override {
        return Fail() ? -1 : FileOps::Rename(from, to);
    }
    int calls = 0;

private:
    bool Fail() {
        if (calls++ != failAt_)
            return false;
        errno = ENOSPC;
        return true;
    }
    int failAt_;
};

class RecoveryTest : public MainLogicTest {
protected:
    void OpenClass() {
        path = WriteBook(QStringLiteral("class.txt"), 3);
        Start();
        Open(path);
        onDisk = ReadAll(path);
    }
    void Change(const QString& name) {
        book->StudentNames[0] = name;
        session.MarkChanged();
        logic->RecordStep(u"学級の登録"_s);
    }
    // The program ends without its unload handler (a crash) and starts again.
    void CrashAndStart() {
        logic.reset();
        book = std::make_unique<GradeBook>();
        session = Session();
        logic = std::make_unique<MainLogic>(*book, session, platform);
        Start();
    }
    QStringList Files(const char* folder) const {
        return QDir(platform.dataDir.path() + u'/' + QLatin1String(folder))
            .entryList({QStringLiteral("*.txt")}, QDir::Files);
    }
    QString path;
    QByteArray onDisk;
};

TEST_F(RecoveryTest, ACrashedProgramsCopyIsRestoredByteForByteUnderItsFileName) {
    OpenClass();
    EXPECT_TRUE(Files("recovery").isEmpty()) << "an unchanged book needs no copy";
    Change(u"変更"_s);
    ASSERT_EQ(Files("recovery").size(), 1);
    const QByteArray typed = GradeBookFileBytes(*book);

    CrashAndStart();
    platform.answers = {true};
    EXPECT_TRUE(logic->OfferRecovery());
    EXPECT_EQ(platform.questions, QStringList{kRestore});
    EXPECT_EQ(GradeBookFileBytes(*book), typed);
    EXPECT_EQ(session.FileName, path);
    EXPECT_TRUE(session.NeedsSave);
    EXPECT_TRUE(logic->Item(Menu::FileSave).enabled);
    EXPECT_EQ(ReadAll(path), onDisk) << "the teacher's own file is untouched";
    EXPECT_FALSE(QFile::exists(BackupPath(path)));
    // The restored book has this program's copy; the old one is gone.
    ASSERT_EQ(Files("recovery").size(), 1);
    EXPECT_TRUE(logic->recovery.HasCopy());

    // Saving writes the file (its backup as usual) and the copy goes.
    logic->mnuFileSave_Click();
    EXPECT_EQ(ReadAll(path), typed);
    EXPECT_TRUE(Files("recovery").isEmpty());
}

TEST_F(RecoveryTest, ABookWithoutANameComesBackForSaveAs) {
    Start();
    logic->mnuFileNew_Click();
    Change(u"新しい子"_s);
    CrashAndStart();
    platform.answers = {true};
    ASSERT_TRUE(logic->OfferRecovery());
    EXPECT_TRUE(session.FileName.isEmpty());
    EXPECT_TRUE(session.NeedsSave);
    EXPECT_FALSE(logic->HasOwnFile()); // Save asks for a name
    EXPECT_TRUE(logic->Item(Menu::FileSaveAs).enabled);
    EXPECT_EQ(book->StudentNames[0], u"新しい子"_s);
}

TEST_F(RecoveryTest, NoThenNoKeepsTheCopyForTheNextStartAndNoThenYesDeletesIt) {
    OpenClass();
    Change(u"変更"_s);
    CrashAndStart();
    platform.answers = {false, false};
    EXPECT_FALSE(logic->OfferRecovery());
    EXPECT_EQ(platform.questions, QStringList({kRestore, kDelete}));
    EXPECT_EQ(Files("recovery").size(), 1);

    CrashAndStart();
    platform.questions.clear();
    platform.answers = {false, true};
    EXPECT_FALSE(logic->OfferRecovery());
    EXPECT_EQ(platform.questions, QStringList({kRestore, kDelete}));
    EXPECT_TRUE(Files("recovery").isEmpty());
}

TEST_F(RecoveryTest, ARunningProgramsCopyIsNeverOffered) {
    OpenClass();
    Change(u"変更"_s);
    Session otherSession;
    auto otherBook = std::make_unique<GradeBook>();
    MainLogic other(*otherBook, otherSession, platform); // a second program at the same time
    other.Form_Load();
    EXPECT_FALSE(other.OfferRecovery());
    EXPECT_TRUE(platform.questions.isEmpty());
    EXPECT_EQ(Files("recovery").size(), 1);
}

TEST_F(RecoveryTest, TheCopyGoesWhenTheTeacherClosesOrExitsWithoutSaving) {
    for (const bool exit : {false, true}) {
        SCOPED_TRACE(exit);
        OpenClass();
        Change(u"変更"_s);
        book->StudentNames[1] = u"時間で"_s; // a change outside a step: the timer's copy
        logic->RecoveryTick();
        ASSERT_EQ(Files("recovery").size(), 1);
        platform.answers = {false};
        if (exit)
            EXPECT_TRUE(logic->Form_Unload({0, 0, 9000, 8000}, false));
        else
            logic->mnuFileClose_Click();
        EXPECT_TRUE(Files("recovery").isEmpty());
    }
}

TEST_F(RecoveryTest, AFailingCopyIsReportedOnceAndLeavesThePreviousCopyWhole) {
    OpenClass();
    Change(u"一"_s);
    ASSERT_EQ(Files("recovery").size(), 1);
    const QString copy = logic->recovery.CopyPath();
    const QByteArray before = ReadAll(copy);
    FailingOps counter(-1);
    {
        ScopedFileOps scope(counter);
        Change(u"数える"_s);
    }
    ASSERT_GT(counter.calls, 3);
    for (int failAt = 0; failAt < counter.calls; ++failAt) {
        SCOPED_TRACE(failAt);
        Change(u"一"_s);
        const QByteArray good = ReadAll(copy);
        logic->statusText.clear();
        FailingOps ops(failAt);
        ScopedFileOps scope(ops);
        Change(QStringLiteral("x%1").arg(failAt));
        // Whole, old or new; when not the new one, the teacher is told, once.
        const QByteArray now = ReadAll(copy);
        const bool isNew = now == GradeBookFileBytes(*book);
        EXPECT_TRUE(isNew || now == good);
        if (!isNew) {
            EXPECT_TRUE(logic->statusText.startsWith(u"自動保存できませんでした"_s));
            logic->statusText.clear();
            Change(QStringLiteral("y%1").arg(failAt));
            EXPECT_TRUE(logic->statusText.isEmpty()) << "reported once";
        }
        EXPECT_EQ(QDir(QFileInfo(copy).path()).entryList(QDir::Files).size(), 3)
            << "copy, name and lock only: no temporary file left";
    }
    EXPECT_FALSE(before.isEmpty());
}

TEST_F(RecoveryTest, EverySaveKeepsAVersionAndOpeningOneIsAStepUnderTheSameName) {
    OpenClass();
    logic->mnuFileSave_Click();
    const QDateTime firstSave = platform.now;
    Change(QStringLiteral("v1"));
    platform.now = platform.now.addSecs(60);
    logic->mnuFileSave_Click();
    Change(QStringLiteral("v2"));

    platform.listAnswers = {1}; // the older of the two
    logic->mnuFileHistory_Click();
    ASSERT_EQ(platform.lists.size(), 1);
    const QString time = QStringLiteral("yyyy/MM/dd HH:mm:ss");
    EXPECT_EQ(platform.lists[0], platform.now.toString(time) + u"　生徒3名　登録済みの試験0|"_s +
                                     firstSave.toString(time) + u"　生徒3名　登録済みの試験0"_s);
    EXPECT_EQ(book->StudentNames[0], u"生徒1"_s);
    EXPECT_EQ(session.FileName, path);
    EXPECT_TRUE(session.NeedsSave);
    logic->mnuEditUndo_Click();
    EXPECT_EQ(book->StudentNames[0], QStringLiteral("v2"));
}

TEST_F(RecoveryTest, TheNewestThirtyVersionsOfAFileAreKept) {
    VersionHistory history(platform.dataDir.filePath(QStringLiteral("history")));
    const QString bookPath = platform.dir.filePath(QStringLiteral("a.txt"));
    QDateTime when = platform.now;
    for (int i = 0; i < VersionHistory::kKept + 2; ++i) {
        ASSERT_TRUE(history.Keep(bookPath, QByteArray::number(i), when, nullptr));
        if (i % 2)
            when = when.addSecs(1); // two saves within one second keep both
    }
    const auto versions = history.Versions(bookPath);
    ASSERT_EQ(static_cast<int>(versions.size()), VersionHistory::kKept);
    EXPECT_EQ(ReadAll(versions.front().path), QByteArray::number(VersionHistory::kKept + 1));
    EXPECT_EQ(ReadAll(versions.back().path), QByteArray::number(2));
    EXPECT_TRUE(history.Versions(platform.dir.filePath(QStringLiteral("b.txt"))).empty());
}

TEST_F(RecoveryTest, AVersionThatCannotBeKeptNeverFailsTheSave) {
    OpenClass();
    Change(u"変更"_s);
    // The history folder cannot be made: a file stands where it would be.
    QFile blocker(platform.dataDir.path() + QStringLiteral("/history"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    logic->mnuFileSave_Click();
    EXPECT_FALSE(session.NeedsSave);
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_TRUE(logic->statusText.startsWith(u"以前の版を残せませんでした"_s));
}

} // namespace
} // namespace kirune::test
