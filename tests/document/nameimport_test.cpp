// Edit > 生徒名簿ﾌｧｲﾙの読み込み: the roster read from a file, the grid and the menus it changes,
// and the files it refuses without changing anything.
#include "mainlogicfixture.h"
#include "model/cp932.h"

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

class NameImportTest : public MainLogicTest {
protected:
    // A grade book without pupils, opened and just saved.
    void OpenEmptyClass(const std::function<void(GradeBook&)>& change = {}) {
        const QString path = WriteBook(QStringLiteral("empty.txt"), 0, change);
        Start();
        Open(path);
        ASSERT_EQ(book->RosterSize, 0);
        session.NeedsSave = false;
        platform.dialogTitles.clear();
        platform.dialogFilters.clear();
        logic->changed = [this] { ++notified; };
    }

    QString WriteRoster(const QString& name, const QByteArray& bytes) {
        const QString path = platform.dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    void Import(const QString& path) {
        platform.fileAnswers.push_back(path);
        logic->mnuEditNameBook_Click();
    }

    std::vector<QString> Names() const {
        return std::vector<QString>(book->StudentNames.begin(), book->StudentNames.end() - 1);
    }

    int notified = 0;
};

TEST_F(NameImportTest, OneNamePerLineFillsTheRosterAndTheGrid) {
    OpenEmptyClass();
    Import(WriteRoster(QStringLiteral("roster.csv"),
                       EncodeCp932(u"青木一郎\r\n井上二葉\r\n上田三郎\r\n"_s)));

    EXPECT_EQ(platform.dialogTitles, QStringList{u"開く"_s});
    EXPECT_EQ(platform.dialogFilters, QStringList{MainLogic::RosterFilter()});
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(book->RosterSize, 3);
    EXPECT_EQ(book->StudentNames[0], u"青木一郎"_s);
    EXPECT_EQ(book->StudentNames[1], u"井上二葉"_s);
    EXPECT_EQ(book->StudentNames[2], u"上田三郎"_s);
    EXPECT_EQ(CountEnrolled(*book), 3);

    ASSERT_EQ(logic->grid.Rows(), 6);
    EXPECT_EQ(logic->grid.ColWidth(1), 1600);
    EXPECT_EQ(logic->grid.Text(0, 1), u"生徒氏名"_s);
    EXPECT_EQ(logic->grid.Text(1, 0), QStringLiteral(" 1"));
    EXPECT_EQ(logic->grid.Text(1, 1), u"青木一郎"_s);
    EXPECT_EQ(logic->grid.Text(3, 0), QStringLiteral(" 3"));
    EXPECT_EQ(logic->grid.Text(3, 1), u"上田三郎"_s);
    EXPECT_EQ(logic->grid.Text(4, 0), QString());
    EXPECT_EQ(logic->grid.Text(4, 1), QString());

    EXPECT_FALSE(logic->Item(Menu::EditNameBook).enabled);
    EXPECT_TRUE(logic->Item(Menu::FilePrint).enabled);
    EXPECT_TRUE(logic->Button(u"印刷"_s)->enabled);
    EXPECT_TRUE(session.NeedsSave);
    EXPECT_GE(notified, 1);
    // The file dialog's choice is no grade book file.
    EXPECT_TRUE(session.FileName.endsWith(QStringLiteral("empty.txt")));
}

// A class that gains its first pupils by the import gets the default shares (A 20 %, C 40 %)
// where none was set, as the homeroom registration gives them: without them every pupil is B.
TEST_F(NameImportTest, TheFirstPupilsBringTheDefaultShares) {
    const struct {
        const char* what;
        QByteArray roster;
        bool someSet; // 一学期 国語 表現 A 30 and 通年 体育 C 10 set before
        int a00, c00, a317, c317;
    } cases[] = {
        {"thirty names, no share set", QByteArray(30 * 3, 'x').replace("xxx", "P,\r\n"), false, 20,
         40, 20, 40},
        {"shares already set stay", "A\r\nB\r\n", true, 30, 40, 20, 10},
        {"a file without names sets nothing", ",,\r\n", false, -1, -1, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        logic = std::make_unique<MainLogic>(*book, session, platform);
        OpenEmptyClass([&c](GradeBook& b) {
            if (c.someSet) {
                b.RankAPercent[0][0] = 30;
                b.RankCPercent[3][17] = 10;
            }
        });
        Import(WriteRoster(QStringLiteral("roster.csv"), c.roster));
        EXPECT_EQ(book->RankAPercent[0][0], c.a00);
        EXPECT_EQ(book->RankCPercent[0][0], c.c00);
        EXPECT_EQ(book->RankAPercent[3][17], c.a317);
        EXPECT_EQ(book->RankCPercent[3][17], c.c317);
        EXPECT_EQ(book->RankAPercent[1][9], c.a317 == -1 ? -1 : 20);
    }
}

TEST_F(NameImportTest, SemicolonBeforeCommaAndEmptyFieldsLeaveNoGaps) {
    OpenEmptyClass();
    Import(WriteRoster(QStringLiteral("mixed.csv"), QByteArray("\r\nA;B,C\r\n\r\nD,,E\r\n,\r\n")));
    EXPECT_EQ(book->RosterSize, 4);
    EXPECT_EQ(book->StudentNames[0], QStringLiteral("A"));
    EXPECT_EQ(book->StudentNames[1], QStringLiteral("B,C"));
    EXPECT_EQ(book->StudentNames[2], QStringLiteral("D"));
    EXPECT_EQ(book->StudentNames[3], QStringLiteral("E"));
    EXPECT_EQ(logic->grid.RowString(2).section(u'|', 0, 1), QStringLiteral(" 2|B,C"));
}

TEST_F(NameImportTest, ThirtyTwoNamesGiveThirtyFiveGridRows) {
    OpenEmptyClass();
    // Whatever the table showed before stays outside the roster's cells.
    logic->grid.SetText(33, 0, QStringLiteral("stale"));
    logic->grid.SetText(33, 1, QStringLiteral("stale"));
    logic->grid.SetText(2, 3, QStringLiteral("kept"));
    QByteArray bytes;
    for (int i = 1; i <= 32; ++i)
        bytes += EncodeCp932(u"生徒"_s + QString::number(i)) + "\r\n";
    Import(WriteRoster(QStringLiteral("class32.csv"), bytes));

    EXPECT_EQ(book->RosterSize, 32);
    ASSERT_EQ(logic->grid.Rows(), 35);
    EXPECT_EQ(logic->grid.Text(32, 0), QStringLiteral(" 32"));
    EXPECT_EQ(logic->grid.Text(32, 1), u"生徒32"_s);
    EXPECT_EQ(logic->grid.Text(33, 0), QString());
    EXPECT_EQ(logic->grid.Text(33, 1), QString());
    EXPECT_EQ(logic->grid.Text(2, 3), QStringLiteral("kept"));
}

TEST_F(NameImportTest, CrOnlyLineEnds) {
    OpenEmptyClass();
    Import(WriteRoster(QStringLiteral("mac.csv"), EncodeCp932(u"青木\r井上\r\r上田\r"_s)));
    EXPECT_EQ(book->RosterSize, 3);
    EXPECT_EQ(book->StudentNames[1], u"井上"_s);
    EXPECT_EQ(book->StudentNames[2], u"上田"_s);
}

TEST_F(NameImportTest, FortyOneNamesAreRefusedAndChangeNothing) {
    OpenEmptyClass();
    book->StudentNames[39] = QStringLiteral("old");
    const auto before = Enabling();
    const auto rows = GridRows();
    QByteArray bytes;
    for (int i = 1; i <= 41; ++i)
        bytes += "P" + QByteArray::number(i) + "\r\n";
    Import(WriteRoster(QStringLiteral("class41.csv"), bytes));

    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].contains(QStringLiteral("class41.csv")));
    EXPECT_TRUE(platform.messages[0].contains(u"40 名まで"_s));
    EXPECT_EQ(book->RosterSize, 0);
    EXPECT_EQ(book->StudentNames[0], QString());
    EXPECT_EQ(book->StudentNames[39], QStringLiteral("old"));
    EXPECT_EQ(Enabling(), before);
    EXPECT_EQ(GridRows(), rows);
    EXPECT_FALSE(session.NeedsSave);
}

TEST_F(NameImportTest, UnreadableFileIsReportedAndChangesNothing) {
    OpenEmptyClass();
    const auto before = Enabling();
    const auto names = Names();
    Import(platform.dir.filePath(QStringLiteral("missing.csv")));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].contains(QStringLiteral("missing.csv")));

    QByteArray broken = EncodeCp932(u"青木\r\n"_s);
    broken += QByteArray("\x82\x0d", 2);
    Import(WriteRoster(QStringLiteral("broken.csv"), broken));
    EXPECT_EQ(platform.messages.size(), 2);
    EXPECT_EQ(Names(), names);
    EXPECT_EQ(book->RosterSize, 0);
    EXPECT_EQ(Enabling(), before);
}

TEST_F(NameImportTest, CancelledDialogChangesNothing) {
    OpenEmptyClass();
    const auto before = Enabling();
    const auto rows = GridRows();
    platform.fileAnswers.push_back(std::nullopt);
    logic->mnuEditNameBook_Click();
    EXPECT_EQ(platform.dialogTitles.size(), 1);
    EXPECT_EQ(Enabling(), before);
    EXPECT_EQ(GridRows(), rows);
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(NameImportTest, FileWithoutNamesCutsTheGridAndKeepsTheMenus) {
    OpenEmptyClass();
    book->RosterSize = 4; // numbers whose pupils all transferred out
    const auto before = Enabling();
    Import(WriteRoster(QStringLiteral("blank.csv"), QByteArray("\r\n,,\r\n")));
    EXPECT_EQ(book->RosterSize, 0);
    EXPECT_EQ(logic->grid.Rows(), 3);
    EXPECT_EQ(logic->grid.Text(0, 1), u"生徒氏名"_s);
    auto after = Enabling();
    EXPECT_TRUE(after[QStringLiteral("NeedsSave")]); // RosterSize changed
    after[QStringLiteral("NeedsSave")] = false;
    EXPECT_EQ(after, before);
}

TEST_F(NameImportTest, NamesBeyondTheNewRosterAreLeftAlone) {
    OpenEmptyClass();
    book->StudentNames[5] = QStringLiteral("earlier");
    Import(WriteRoster(QStringLiteral("two.csv"), QByteArray("A,B")));
    EXPECT_EQ(book->RosterSize, 2);
    EXPECT_EQ(book->StudentNames[5], QStringLiteral("earlier"));
    EXPECT_EQ(CountEnrolled(*book), 2);
}

TEST_F(NameImportTest, NotOfferedWhileTheClassHasPupils) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 3);
    Start();
    Open(path);
    ASSERT_FALSE(logic->Item(Menu::EditNameBook).enabled);
    platform.dialogTitles.clear();
    Import(WriteRoster(QStringLiteral("roster.csv"), QByteArray("X\r\n")));
    EXPECT_TRUE(platform.dialogTitles.isEmpty());
    EXPECT_EQ(book->StudentNames[0], u"生徒1"_s);
}

} // namespace
} // namespace kirune::test
