#include "model/booklock.h"
#include "model/outputplace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace kirune;

// Where an output may go, under every spelling of a book's name: never the open book, its
// backup, a book summarised or a book another program holds; any other file is free, and its
// lock is handed to the writer.
TEST(OutputPlace, NoOutputTakesAKeptBookItsBackupOrAHeldBook) {
    QTemporaryDir dir;
    auto path = [&](const char* name) { return dir.filePath(QLatin1String(name)); };
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("d")));
    for (const char* name : {"d/b.txt", "d/b.bak", "d/s.txt", "d/s.bak", "d/held.txt"}) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::link(path("d/b.txt"), path("d/link.txt")));
    ASSERT_TRUE(QFile::link(path("d/b.bak"), path("d/link.bak")));
    for (const char* ext : {"txt", "bak"}) {
        const QByteArray from = QFile::encodeName(path("d/b.") + QLatin1String(ext));
        const QByteArray to = QFile::encodeName(path("d/hard.") + QLatin1String(ext));
        ASSERT_EQ(::link(from.constData(), to.constData()), 0);
    }
    const BookLockAttempt holder = TryLockBook(path("d/held.txt")); // another program's
    ASSERT_EQ(holder.state, BookLockAttempt::State::Taken);

    KeptBooks books(path("d/b.txt"));
    books.summarised = {path("d/s.txt")};
    KeptBooks throughLink(path("d/link.txt")); // a book opened through its link
    KeptBooks saving = books;
    saving.saving = true;
    const struct {
        const char* path;
        const char16_t* refused; // "" when free; otherwise in the message
        bool savingMay;          // the book saved under its own name may be written
    } cases[] = {
        {"d/b.txt", u"開いている成績ファイル", true},
        {"d/./../d/b.txt", u"開いている成績ファイル", true},
        {"d/link.txt", u"開いている成績ファイル", true},
        {"d/hard.txt", u"開いている成績ファイル", true},
        {"d/b.bak", u"開いている成績ファイル", false},
        {"d//b.bak", u"開いている成績ファイル", false},
        {"d/link.bak", u"開いている成績ファイル", false},
        {"d/hard.bak", u"開いている成績ファイル", false},
        {"d/s.txt", u"集計した成績ファイル", false},
        {"d/../d/s.bak", u"集計した成績ファイル", false},
        {"d/held.txt", u"ほかのKirune", false},
        {"d/other.csv", u"", true},
        {"d/b.txt.pdf", u"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const QString refused = QString::fromUtf16(c.refused);
        QString error;
        std::unique_ptr<QLockFile> lock;
        EXPECT_EQ(CheckOutputPlace(path(c.path), books, &error, &lock), refused.isEmpty());
        EXPECT_TRUE(refused.isEmpty() ? error.isEmpty() : error.contains(refused))
            << error.toStdString();
        EXPECT_EQ(lock != nullptr, refused.isEmpty()) << "the lock goes to the writer";
        lock.reset();
        if (refused.startsWith(u"開いている"_s)) {
            EXPECT_FALSE(CheckOutputPlace(path(c.path), throughLink, nullptr));
        }
        EXPECT_EQ(CheckOutputPlace(path(c.path), saving, nullptr), c.savingMay);
        EXPECT_EQ(CheckOutputPlace(path(c.path), KeptBooks(), nullptr),
                  QString::fromUtf16(c.refused) != u"ほかのKirune"_s);
    }
}
