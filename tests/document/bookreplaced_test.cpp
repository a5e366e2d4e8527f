// Every command that replaces or clears the book, from every kind of selected node: afterwards
// the tree's selection, the table, its heading, the edit command and the exports all follow one
// state, the class node (nothing after 閉じる).
#include "mainlogicfixture.h"

#include "browse/tables.h"
#include "output/csvexport.h"
#include "output/pdfname.h"

namespace kirune::test {
namespace {

enum class Command { Open, Close, New, History, Recovery };

class BookReplacedTest : public MainLogicTest {
protected:
    // A program started afresh; the one before ended, or `crashed` without its unload handler
    // (its recovery copy stays behind).
    void Restart(bool crashed = false) {
        if (!crashed)
            logic->recovery.Remove();
        logic.reset();
        book = std::make_unique<GradeBook>();
        session = Session();
        logic = std::make_unique<MainLogic>(*book, session, platform);
        Start();
    }

    void Run(Command command) {
        switch (command) {
        case Command::Open:
            Open(second);
            break;
        case Command::Close:
            logic->mnuFileClose_Click();
            break;
        case Command::New:
            logic->mnuFileClose_Click();
            logic->mnuFileNew_Click();
            break;
        case Command::History:
            platform.listAnswers = {0};
            logic->mnuFileHistory_Click();
            break;
        case Command::Recovery: // a change, the program ends unexpectedly, the copy comes back
            book->StudentNames[0] = u"変更"_s;
            session.MarkChanged();
            logic->RecordStep(u"学級の登録"_s);
            Restart(true);
            platform.answers = {true};
            ASSERT_TRUE(logic->OfferRecovery());
            break;
        }
    }

    // What is shown is what the selected node shows when built afresh; everything else agrees.
    void ExpectOneState(bool open) {
        const QString key = open ? kHomeRoomKey : QString();
        EXPECT_EQ(session.SelectedNodeKey, key);
        ASSERT_EQ(session.SelectedNodeIndex, open ? 1 : 0);
        EXPECT_EQ(logic->nodes.front().key, open ? kHomeRoomKey : kRootNodeKey);

        Grid fresh(43, 15);
        Session scratch = session;
        QString heading = HomeRoomHeading(*book);
        InitMainGrid(*book, fresh);
        if (open)
            ShowNodeTable(*book, scratch, key, fresh, heading);
        std::vector<QString> freshRows;
        for (int r = 0; r < fresh.Rows(); ++r)
            freshRows.push_back(fresh.RowString(r));
        EXPECT_EQ(GridRows(), freshRows);
        EXPECT_EQ(session.ShownColumnCount, scratch.ShownColumnCount);
        EXPECT_EQ(logic->frame1Caption, heading);

        const MenuItemState& edit = logic->Item(Menu::EditProperty);
        EXPECT_EQ(edit.caption, open ? u"学級の編集(&E)"_s : u"学級・科目・試験・得点の編集(&E)"_s);
        EXPECT_EQ(edit.enabled, open);
        EXPECT_EQ(logic->Button(u"編集"_s)->caption,
                  open ? u" 学 級 の 編 集 "_s : u"データの　編集　　　"_s);
        EXPECT_EQ(logic->Button(u"編集"_s)->enabled, open);
        EXPECT_EQ(logic->Item(Menu::CSVSaveAs).enabled, open);
        EXPECT_EQ(logic->Item(Menu::XlsxSaveAs).enabled, open);

        // The CSV export offers the class's name and writes the table just built.
        const QString csv = platform.dir.filePath(QStringLiteral("shown.csv"));
        QFile::remove(csv);
        platform.saveStarts.clear();
        platform.fileAnswers = {csv};
        logic->mnuCSVSaveAs_Click();
        EXPECT_EQ(ReadAll(csv), open ? CsvBytes(fresh) : QByteArray());
        EXPECT_EQ(platform.fileAnswers.empty(), open); // no dialog without a book
        platform.fileAnswers.clear();
        EXPECT_TRUE(!open ||
                    platform.saveStarts.value(0).endsWith(TableFileName(*book, key, u"csv"_s)));

        std::vector<EditorKind> opened;
        logic->openEditor = [&](EditorKind kind) { opened.push_back(kind); };
        logic->mnuEditProperty_Click();
        EXPECT_EQ(opened, open ? std::vector{EditorKind::HomeRoom} : std::vector<EditorKind>{});
    }

    QString second;
};

TEST_F(BookReplacedTest, EveryCommandThatReplacesTheBookShowsItsClassNodeFromEveryNode) {
    // 4組 has a second-semester test with scores; 2組 has fewer pupils and no test.
    const QString fourth = WriteBook(u"5年4組.txt"_s, 6, [](GradeBook& b) {
        b.HomeRoomClass = u"4組"_s;
        for (int v = 0; v < kViewpoints; ++v) {
            auto& scores = b.Scores[TestSlot(1, 0, 0, v)];
            for (int p = 0; p < 6; ++p)
                scores[p] = static_cast<float>(10 + 3 * p + v);
            scores[kAverageColumn] = 17.5F + static_cast<float>(v);
            scores[kPointsColumn] = 40;
        }
    });
    second = WriteBook(u"5年2組.txt"_s, 4);

    const struct {
        Command command;
        const char* name;
        bool open; // a book is open afterwards
    } commands[] = {
        {Command::Open, "開く", true},
        {Command::Close, "閉じる", false},
        {Command::New, "新規作成", true},
        {Command::History, "以前の版を開く", true},
        {Command::Recovery, "自動保存の復元", true},
    };
    // The class, a subject, a semester, the test with scores, its viewpoint, 児童別, a pupil.
    const char* const nodes[] = {"HomeRoom", "0 0", "1 0 1", "2 0 1 0", "3 0 1 0 2", "4", "4 3"};
    for (const auto& c : commands)
        for (const char* node : nodes) {
            SCOPED_TRACE(std::string(c.name) + " from " + node);
            Restart();
            Open(fourth);
            if (c.command == Command::History)
                logic->mnuFileSave_Click(); // a version to open
            ASSERT_TRUE(logic->SelectNodeByKey(QLatin1String(node)));
            ASSERT_EQ(session.SelectedNodeKey, QLatin1String(node));
            Run(c.command);
            ExpectOneState(c.open);
        }
}

} // namespace
} // namespace kirune::test
