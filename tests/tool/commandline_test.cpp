// Start-up with a file named on the command line (a double-click on a class file), through the
// same function the program's main uses, without a window.
#include "document/commandline.h"
#include "model/gradebookfile.h"
#include "support/fakeplatform.h"
#include "support/testutil.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

TEST(CommandLine, TheFirstArgumentThatIsNoOptionNamesTheFile) {
    const QString cwd = QDir::currentPath();
    const std::pair<QStringList, QString> cases[] = {
        {{QStringLiteral("kirune")}, QString()},
        {{QStringLiteral("kirune"), QStringLiteral("/a/4年2組.txt")},
         QStringLiteral("/a/4年2組.txt")},
        {{QStringLiteral("kirune"), QStringLiteral("-x"), QStringLiteral("c.txt")},
         cwd + QStringLiteral("/c.txt")},
        {{QStringLiteral("kirune"), QStringLiteral("--"), QStringLiteral("-c.txt")},
         cwd + QStringLiteral("/-c.txt")},
        {{QStringLiteral("kirune"), QStringLiteral("file:///b/%E7%B5%84.txt")},
         QStringLiteral("/b/組.txt")},
    };
    for (const auto& [arguments, file] : cases)
        EXPECT_EQ(CommandLineFile(arguments), file) << arguments.join(u' ').toStdString();
}

TEST(CommandLine, ANamedFileOpensAtStartAndAnUnreadableOneLeavesTheEmptyStart) {
    FakePlatform platform;
    auto written = std::make_unique<GradeBook>();
    ResetGradeBook(*written);
    written->HomeRoomGrade = u"4年"_s;
    written->HomeRoomClass = u"2組"_s;
    written->RosterSize = 2;
    written->StudentNames[1] = u"宇野 花子"_s;
    const QString good = platform.dir.filePath(u"4年2組.txt"_s);
    ASSERT_TRUE(WriteGradeBookFile(good, *written, nullptr));
    const QString bad = platform.dir.filePath(QStringLiteral("bad.txt"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a grade book\r\n");
    file.close();

    for (const bool readable : {true, false}) {
        auto book = std::make_unique<GradeBook>();
        Session session;
        MainLogic logic(*book, session, platform);
        // As main starts: load, reset, the first activation, then the file.
        logic.Form_Load();
        ResetGradeBook(*book);
        logic.Form_Activate();
        platform.messages.clear();
        const bool opened =
            OpenCommandLineFile(logic, {QStringLiteral("kirune"), readable ? good : bad});
        EXPECT_EQ(opened, readable);
        if (readable) {
            EXPECT_TRUE(platform.messages.isEmpty());
            EXPECT_EQ(session.FileName, good);
            EXPECT_EQ(logic.grid.Text(2, 1), u"宇野 花子"_s); // the homeroom table
            EXPECT_TRUE(logic.frame1Caption.contains(u"4年2組"_s));
        } else {
            EXPECT_EQ(platform.messages.size(), 1); // the reader's message
            EXPECT_EQ(logic.nodes.size(), 1u);      // the placeholder of the empty start
            EXPECT_FALSE(logic.BookOpen());
        }
    }
}

TEST(CommandLine, BeforeTheWindowIsShownOnlyAReadableFileWithNothingToRecoverOpens) {
    FakePlatform platform;
    auto written = std::make_unique<GradeBook>();
    ResetGradeBook(*written);
    written->RosterSize = 1;
    written->StudentNames[0] = u"青木 一郎"_s;
    const QString good = platform.dir.filePath(u"4年2組.txt"_s);
    ASSERT_TRUE(WriteGradeBookFile(good, *written, nullptr));
    const QString bad = platform.dir.filePath(QStringLiteral("missing.txt"));
    const QString recovery = platform.DataFolder() + QStringLiteral("/recovery");

    struct Case {
        const char* what;
        QString file;
        bool leftCopy; // a program that ended without saving left a recovery copy
        bool openedBeforeShow;
    };
    const Case cases[] = {
        {"a readable file", good, false, true},
        {"a file that cannot be read", bad, false, false},
        {"a copy to offer first", good, true, false},
    };
    for (const Case& c : cases) {
        QDir(recovery).removeRecursively();
        if (c.leftCopy) {
            ASSERT_TRUE(QDir().mkpath(recovery));
            QFile copy(recovery + QStringLiteral("/left.txt"));
            ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
        }
        auto book = std::make_unique<GradeBook>();
        Session session;
        MainLogic logic(*book, session, platform);
        logic.Form_Load();
        ResetGradeBook(*book);
        platform.messages.clear();
        const QStringList arguments{QStringLiteral("kirune"), c.file};
        EXPECT_EQ(OpenCommandLineFileBeforeShow(logic, arguments), c.openedBeforeShow) << c.what;
        EXPECT_TRUE(platform.messages.isEmpty()) << c.what; // any message waits for the window
        EXPECT_EQ(logic.BookOpen(), c.openedBeforeShow) << c.what;
        if (c.openedBeforeShow) {
            logic.Form_Activate(); // the window shown: the homeroom table
            EXPECT_EQ(logic.grid.Text(1, 1), u"青木 一郎"_s) << c.what;
        }
    }
}

} // namespace
} // namespace kirune::test
