// One book, two programs: the lock beside an open book, the book another program holds opened
// read-only or on the teacher's word, and a file changed on disk since it was read never
// overwritten without asking.
#include "document/booklock.h"
#include "mainlogicfixture.h"
#include "support/faultyops.h"
#include "support/ownmounts.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

const QString kHeldQuestionStart = u"「class.txt」は、ほかのKirune（"_s;
const QString kLockAnswers = u"読み取り専用で開く|このまま開く|キャンセル"_s;
const QString kChangedQuestion =
    u"「class.txt」は、読み込んだ後にほかのプログラムで変更されています。上書きしますか？"_s;

// A second program on the same desktop: its own book, session, desktop and logic.
struct SecondProgram {
    SecondProgram() : logic(*book, session, platform) {
        logic.Form_Load();
        ResetGradeBook(*book);
        logic.Form_Activate();
    }
    std::unique_ptr<GradeBook> book = std::make_unique<GradeBook>();
    Session session;
    FakePlatform platform;
    MainLogic logic;
};

class SharedBookTest : public MainLogicTest {
protected:
    void OpenClass() {
        path = WriteBook(QStringLiteral("class.txt"), 3);
        Start();
        ASSERT_TRUE(logic->OpenPath(path));
    }
    // A change as an editor makes one.
    void Change(MainLogic& into, GradeBook& of, Session& in, const QString& name) {
        of.StudentNames[0] = name;
        in.MarkChanged();
        into.RecordStep(u"学級の登録"_s);
    }
    QString path;
};

// The first program holds the book; the second is asked, and opens it read-only (the default),
// as it is, or not at all. Read-only, Save asks for another name and never writes over the book.
TEST_F(SharedBookTest, ABookHeldElsewhereOpensOnTheTeachersWord) {
    OpenClass();
    EXPECT_TRUE(logic->HoldsLock());
    EXPECT_TRUE(QFileInfo::exists(platform.dir.filePath(QStringLiteral(".class.txt.lock"))));
    const QByteArray original = ReadAll(path);
    const struct {
        int answer; // 0 read-only, 1 as it is, 2 cancel
        bool opened, readOnly;
        const char16_t* title;
    } cases[] = {
        {0, true, true, u"class.txt（読み取り専用）"},
        {1, true, false, u"class.txt"},
        {2, false, false, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        SecondProgram second;
        second.platform.choiceAnswers = {c.answer};
        EXPECT_EQ(second.logic.OpenPath(path), c.opened);
        ASSERT_EQ(second.platform.questions.size(), 1);
        EXPECT_TRUE(second.platform.questions[0].startsWith(kHeldQuestionStart))
            << second.platform.questions[0].toStdString();
        EXPECT_EQ(second.platform.choiceLists, QStringList{kLockAnswers});
        EXPECT_EQ(second.logic.BookOpen(), c.opened);
        EXPECT_EQ(second.logic.ReadOnly(), c.readOnly);
        EXPECT_FALSE(second.logic.HoldsLock());
        EXPECT_EQ(second.logic.TitleFileName(), QString::fromUtf16(c.title));
        EXPECT_TRUE(second.platform.messages.size() == 1); // nothing but the question
        if (!c.readOnly)
            continue;
        // Editing and undo work; Save goes to Save As, and its dialog cancelled writes nothing.
        Change(second.logic, *second.book, second.session, u"読み取り専用の変更"_s);
        second.logic.mnuFileSave_Click();
        EXPECT_EQ(second.platform.dialogTitles.size(), 1);
        // Save As onto the book itself is refused too.
        second.platform.fileAnswers = {path};
        second.logic.mnuFileSaveAs_Click();
        EXPECT_TRUE(second.platform.messages.last().contains(u"読み取り専用"_s));
        EXPECT_EQ(ReadAll(path), original);
        // Another name takes the book there, with its own lock.
        const QString mine = platform.dir.filePath(QStringLiteral("mine.txt"));
        second.platform.fileAnswers = {mine};
        second.logic.mnuFileSaveAs_Click();
        EXPECT_TRUE(QFileInfo::exists(mine));
        EXPECT_FALSE(second.logic.ReadOnly());
        EXPECT_TRUE(second.logic.HoldsLock());
        EXPECT_EQ(ReadAll(path), original);
    }
    // Close gives the lock up: the next program opens the book without a question.
    logic->mnuFileClose_Click();
    EXPECT_FALSE(QFileInfo::exists(platform.dir.filePath(QStringLiteral(".class.txt.lock"))));
    SecondProgram next;
    EXPECT_TRUE(next.logic.OpenPath(path));
    EXPECT_TRUE(next.platform.questions.isEmpty());
    EXPECT_TRUE(next.logic.HoldsLock());
}

// Another program wrote the file after it was read: Save asks first, and writes nothing before
// the answer. キャンセル leaves the other program's file byte for byte, 名前を付けて保存 writes
// elsewhere, 上書き writes over it. A file only written again with the same bytes asks nothing.
TEST_F(SharedBookTest, AFileChangedOnDiskIsNotOverwrittenWithoutAsking) {
    const struct {
        int answer; // 0 save as, 1 overwrite, 2 cancel
        bool sameBytes;
    } cases[] = {{2, false}, {0, false}, {1, false}, {-1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        OpenClass();
        const QByteArray theirs =
            c.sameBytes ? ReadAll(path) : ReadAll(WriteBook(QStringLiteral("other.txt"), 5));
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(theirs);
        }
        Change(*logic, *book, session, u"こちらの変更"_s);
        platform.questions.clear();
        const QString elsewhere = platform.dir.filePath(QStringLiteral("elsewhere.txt"));
        QFile::remove(elsewhere);
        platform.fileAnswers = {elsewhere};
        if (c.answer >= 0)
            platform.choiceAnswers = {c.answer};
        // Save says whether it wrote the book (the tool's save reports that).
        EXPECT_EQ(logic->SaveCommand(), c.answer != 2);
        if (c.sameBytes) {
            EXPECT_TRUE(platform.questions.isEmpty());
            EXPECT_FALSE(session.NeedsSave);
            continue;
        }
        EXPECT_EQ(platform.questions, QStringList{kChangedQuestion});
        EXPECT_EQ(platform.choiceLists.last(), u"名前を付けて保存|上書き|キャンセル"_s);
        EXPECT_EQ(ReadAll(path) == theirs, c.answer != 1);
        EXPECT_EQ(QFileInfo::exists(elsewhere), c.answer == 0);
        EXPECT_EQ(session.NeedsSave, c.answer == 2);
        EXPECT_EQ(session.FileName, c.answer == 0 ? elsewhere : path);
        // Once written, the file is what this program wrote: the next save asks nothing.
        if (c.answer == 1) {
            Change(*logic, *book, session, u"もう一度"_s);
            logic->mnuFileSave_Click();
            EXPECT_EQ(platform.questions.size(), 1);
        }
        logic->mnuFileClose_Click();
    }
}

// Another program writes the book after Save's check, while the new file is being written: the
// check right before the rename sees it, nothing is saved, its version stays whole with the
// backup untouched, and the next Save asks about it. So after the teacher answered 上書き too:
// the answer covered the file as it was then.
TEST_F(SharedBookTest, AChangeJustAfterTheCheckIsNeverLost) {
    for (const bool answeredOverwrite : {false, true}) {
        SCOPED_TRACE(answeredOverwrite);
        OpenClass();
        logic->mnuFileSave_Click(); // the book now has a backup
        const QString bak = platform.dir.filePath(QStringLiteral("class.bak"));
        const QByteArray backup = ReadAll(bak);
        if (answeredOverwrite) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::Append));
            file.write("\r\n");
            platform.choiceAnswers = {1};
        }
        const QByteArray theirs = ReadAll(WriteBook(QStringLiteral("other.txt"), 5));
        Change(*logic, *book, session, u"こちらの変更"_s);
        platform.messages.clear();
        platform.questions.clear();
        FaultyOps ops;
        ops.meddle = [&] {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(theirs);
        };
        // The call that makes the new file aside: after the check, before the rename.
        ops.meddleBefore = "open .class.txt";
        {
            ScopedFileOps scope(ops);
            logic->mnuFileSave_Click();
        }
        EXPECT_FALSE(ops.meddle) << "the other program has written";
        EXPECT_EQ(platform.questions.size(), answeredOverwrite ? 1 : 0);
        ASSERT_EQ(platform.messages.size() - platform.questions.size(), 1);
        EXPECT_TRUE(platform.messages.last().contains(u"ほかのプログラム"_s));
        EXPECT_EQ(ReadAll(path), theirs);
        EXPECT_EQ(ReadAll(bak), backup);
        EXPECT_TRUE(session.NeedsSave);
        platform.questions.clear();
        platform.choiceAnswers = {2};
        logic->mnuFileSave_Click();
        EXPECT_EQ(platform.questions, QStringList{kChangedQuestion});
        logic->undoStack.setClean();
        logic->mnuFileClose_Click();
    }
}

// Save As and the exports: each save dialog starts beside the open book (a read-only one too),
// offering the book's name or the table's, and gives a name typed without an extension its
// own, so that the dialog's question about replacing a file is asked of the name written.
// A target that would be refused (a book another program holds open, naming who holds it; for
// an export the open book's backup) is refused in the dialog at once, before any question about
// replacing it, and the dialog stays open: the next name chosen is written.
TEST_F(SharedBookTest, SaveDialogsStartBesideTheBookAndRefuseAHeldBookAtOnce) {
    using L = MainLogic;
    const struct {
        const char* what;
        void (L::*command)();
        const char* other;       // the book a second program holds: class.txt opens read-only
        const char* typed;       // the name typed in the dialog
        const char16_t* offered; // the file name the dialog offers in the book's folder
        const char* written;     // the file written
        const char16_t* refused; // how the message refusing `typed` starts; "" for none
    } cases[] = {
        {"Save As", &L::mnuFileSaveAs_Click, "", "other", u"class.txt", "other.txt", u""},
        {"Save As of a read-only book", &L::mnuFileSaveAs_Click, "class.txt", "copy", u"class.txt",
         "copy.txt", u""},
        {"Save As onto a held book", &L::mnuFileSaveAs_Click, "held.txt", "held", u"class.txt",
         "again.txt", u"「held.txt」は、ほかのKirune（"},
        {"CSV", &L::mnuCSVSaveAs_Click, "", "t", u"5年2組_学級.csv", "t.csv", u""},
        {"CSV onto the book's backup", &L::mnuCSVSaveAs_Click, "", "class.bak", u"5年2組_学級.csv",
         "again.csv", u"「class.bak」は開いている成績ファイル"},
        {"Excel, the table", &L::mnuXlsxSaveAs_Click, "", "u", u"5年2組_学級.xlsx", "u.xlsx", u""},
        {"Excel onto a held book", &L::mnuXlsxSaveAs_Click, "held.txt", "held.txt",
         u"5年2組_学級.xlsx", "again.xlsx", u"「held.txt」は、ほかのKirune（"},
        {"Excel, the whole book", &L::mnuXlsxBookSaveAs_Click, "", "w", u"5年2組_成績簿.xlsx",
         "w.xlsx", u""},
    };
    path = WriteBook(QStringLiteral("class.txt"), 3);
    const QString held = WriteBook(QStringLiteral("held.txt"), 2);
    const QByteArray heldBytes = ReadAll(held);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SecondProgram second;
        const QString other = QLatin1String(c.other);
        if (!other.isEmpty()) {
            ASSERT_TRUE(second.logic.OpenPath(platform.dir.filePath(other)));
        }
        logic = std::make_unique<MainLogic>(*book, session, platform);
        Start();
        platform.choiceAnswers = {0}; // read-only, when asked
        ASSERT_TRUE(logic->OpenPath(path));
        ASSERT_EQ(logic->ReadOnly(), other == u"class.txt"_s);
        platform.messages.clear();
        platform.saveStarts.clear();
        platform.fileAnswers = {platform.dir.filePath(QLatin1String(c.typed)),
                                platform.dir.filePath(QStringLiteral("again"))};
        ((*logic).*c.command)();
        EXPECT_EQ(platform.saveStarts,
                  QStringList{QDir(platform.dir.path()).filePath(QString::fromUtf16(c.offered))});
        EXPECT_TRUE(QFileInfo::exists(platform.dir.filePath(QLatin1String(c.written))));
        EXPECT_EQ(ReadAll(held), heldBytes);
        const QString refused = QString::fromUtf16(c.refused);
        if (refused.isEmpty()) {
            EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages.join(u'/').toStdString();
            continue;
        }
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_TRUE(platform.messages[0].startsWith(refused)) << platform.messages[0].toStdString();
        EXPECT_TRUE(platform.messages[0].endsWith(u"別の名前で保存してください。"_s));
        EXPECT_TRUE(logic->HoldsLock());
        QFile::remove(platform.dir.filePath(QLatin1String(c.written)));
    }
}

// Looking at the file before Save writes over it fails (open, stat or read): a message says so,
// nothing is written, and the book still needs saving.
TEST_F(SharedBookTest, AFailedCheckBeforeSavingLosesNothing) {
    OpenClass();
    Change(*logic, *book, session, u"こちらの変更"_s);
    const QByteArray before = ReadAll(path);
    for (const int step : {0, 1, 2}) {
        SCOPED_TRACE(step);
        platform.messages.clear();
        FaultyOps ops;
        ops.failAt = step;
        ops.err = EIO;
        {
            ScopedFileOps scope(ops);
            logic->mnuFileSave_Click();
        }
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_TRUE(platform.messages[0].contains(u"確かめられません"_s)) << step;
        EXPECT_EQ(ReadAll(path), before);
        EXPECT_TRUE(session.NeedsSave);
    }
    logic->mnuFileSave_Click(); // and without a fault it saves
    EXPECT_FALSE(session.NeedsSave);
}

// On a read-only folder no lock can be made: the book opens without one, and the status bar
// says so.
TEST_F(SharedBookTest, ABookOnAReadOnlyFolderStillOpens) {
    path = WriteBook(QStringLiteral("class.txt"), 3);
    const std::string report = InChild([&]() -> std::string {
        if (!MakeFolderReadOnly(platform.dir.path()))
            return "skip";
        Start();
        if (!logic->OpenPath(path))
            return "not opened: " + platform.messages.join(u'/').toStdString();
        if (logic->HoldsLock() || logic->ReadOnly() || !platform.questions.isEmpty())
            return "a lock, read-only or a question";
        if (!logic->statusMessage.contains(u"ロックファイルを作れない"_s))
            return "status: " + logic->statusMessage.toStdString();
        return "";
    });
    if (report == "skip")
        GTEST_SKIP() << "this machine allows no mount namespace of the test's own";
    EXPECT_EQ(report, "");
}

// Whatever is at the lock's place, Open never waits on it. Anything but a regular file opens the
// book without a lock and says so; a lock file naming no program is taken over once it has stood
// a minute, saying so, and held before; so is one of a program gone from this computer, while a
// lock of another computer is held at any age. An alarm ends the test should Open ever wait.
TEST_F(SharedBookTest, EveryKindOfLockFileOpensWithoutWaiting) {
    path = WriteBook(QStringLiteral("class.txt"), 3);
    const QString lock = platform.dir.filePath(QStringLiteral(".class.txt.lock"));
    const QString elsewhere = platform.dir.filePath(QStringLiteral("elsewhere"));
    const QByteArray here = QSysInfo::machineHostName().toUtf8();
    enum Outcome { kLocked, kNoLock, kTakenOver, kHeld };
    const struct {
        const char* kind;
        Outcome outcome;
        const char* content; // of a lock file written there; %h is this computer's name
        bool old;            // the lock file has stood for two minutes
    } cases[] = {
        {"none", kLocked, nullptr, false},
        {"pipe", kNoLock, nullptr, false},
        {"device", kNoLock, nullptr, false},
        {"folder", kNoLock, nullptr, false},
        {"link-to-pipe", kNoLock, nullptr, false},
        {"link-to-folder", kNoLock, nullptr, false},
        {"link-to-nothing", kNoLock, nullptr, false},
        {"empty-old", kTakenOver, "", true},
        {"garbage-old", kTakenOver, "\x01garbage\n", true},
        {"empty-new", kHeld, "", false},
        {"program-gone", kTakenOver, "99999999\nkirune\n%h\n", false},
        {"other-computer-old", kHeld, "4242\nkirune\nanother-computer\n", true},
    };
    auto make = [&](const auto& c) {
        const std::string kind = c.kind;
        QFile::remove(lock);
        QDir(lock).removeRecursively();
        QFile::remove(elsewhere);
        QDir(elsewhere).removeRecursively();
        const QByteArray native = QFile::encodeName(lock);
        const QByteArray away = QFile::encodeName(elsewhere);
        if (kind == "pipe") {
            ASSERT_EQ(mkfifo(native.constData(), 0600), 0);
        }
        if (kind == "device") {
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), lock));
        }
        if (kind == "folder") {
            ASSERT_TRUE(QDir().mkdir(lock));
        }
        if (kind.starts_with("link-to-")) {
            ASSERT_TRUE(QFile::link(elsewhere, lock));
        }
        if (kind == "link-to-pipe") {
            ASSERT_EQ(mkfifo(away.constData(), 0600), 0);
        }
        if (kind == "link-to-folder") {
            ASSERT_TRUE(QDir().mkdir(elsewhere));
        }
        if (c.content) {
            QFile file(lock);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(c.content).replace("%h", here));
            file.flush();
            if (c.old) {
                ASSERT_TRUE(file.setFileTime(QFileInfo(lock).lastModified().addSecs(-120),
                                             QFileDevice::FileModificationTime));
            }
        }
    };
    alarm(60);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        make(c);
        Start();
        platform.questions.clear();
        ASSERT_TRUE(logic->OpenPath(path)) << platform.messages.join(u'/').toStdString();
        EXPECT_EQ(logic->HoldsLock(), c.outcome == kLocked || c.outcome == kTakenOver);
        EXPECT_EQ(logic->ReadOnly(), c.outcome == kHeld); // the question's default answer
        EXPECT_EQ(platform.questions.size(), c.outcome == kHeld ? 1 : 0);
        EXPECT_EQ(logic->statusMessage.contains(u"ロックファイルを作れない"_s),
                  c.outcome == kNoLock)
            << logic->statusMessage.toStdString();
        EXPECT_EQ(logic->statusMessage.contains(u"引き継いで"_s), c.outcome == kTakenOver)
            << logic->statusMessage.toStdString();
        logic->mnuFileClose_Click();
        logic->statusMessage.clear();
    }
    alarm(0);
}

} // namespace
} // namespace kirune::test
