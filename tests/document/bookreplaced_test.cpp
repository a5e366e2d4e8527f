// Every command that replaces or clears the book, from every kind of selected node: afterwards
// the tree's selection, the table, its heading, the edit command and the exports follow one
// state, the class node (nothing after 閉じる).
#include "mainlogicfixture.h"

#include "browse/tables.h"
#include "output/csvexport.h"
#include "output/pdfname.h"

namespace kirune::test {
namespace {

TEST_F(MainLogicTest, EveryCommandThatReplacesTheBookShowsItsClassNodeFromEveryNode) {
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
    const QString second = WriteBook(u"5年2組.txt"_s, 4);
    // A program started afresh; one that `crashed` leaves its recovery copy behind.
    const auto restart = [&](bool crashed) {
        if (!crashed)
            logic->recovery.Remove();
        logic.reset();
        book = std::make_unique<GradeBook>();
        session = Session();
        logic = std::make_unique<MainLogic>(*book, session, platform);
        Start();
    };
    const std::function<void()> commands[] = {
        [&] { Open(second); },
        [&] { logic->mnuFileClose_Click(); },
        [&] { logic->mnuFileClose_Click(), logic->mnuFileNew_Click(); },
        [&] { platform.listAnswers = {0}, logic->mnuFileHistory_Click(); }, // 以前の版を開く
        [&] { // a change, then the program ends unexpectedly and its copy is taken over
            book->StudentNames[0] = u"変更"_s;
            session.MarkChanged();
            logic->RecordStep(u"学級の登録"_s);
            restart(true);
            platform.answers = {true};
            ASSERT_TRUE(logic->OfferRecovery());
        },
    };
    // The class, a subject, a semester, the test with scores, its viewpoint, 児童別, a pupil.
    const char* const nodes[] = {"HomeRoom", "0 0", "1 0 1", "2 0 1 0", "3 0 1 0 2", "4", "4 3"};
    for (size_t c = 0; c < std::size(commands); ++c)
        for (const char* node : nodes) {
            SCOPED_TRACE(std::to_string(c) + " from " + node);
            restart(false);
            Open(fourth);
            logic->mnuFileSave_Click(); // a version to go back to
            ASSERT_TRUE(logic->SelectNodeByKey(QLatin1String(node)));
            commands[c]();
            const bool open = c != 1;
            const QString key = open ? kHomeRoomKey : QString();
            EXPECT_EQ(session.SelectedNodeKey, key);
            EXPECT_EQ(session.SelectedNodeIndex, open ? 1 : 0);

            // The table and heading are those the node shows when built afresh.
            Grid fresh(43, 15);
            Session scratch = session;
            QString heading = HomeRoomHeading(*book);
            InitMainGrid(*book, fresh);
            if (open)
                ShowNodeTable(*book, scratch, key, fresh, heading);
            EXPECT_EQ(CsvText(logic->grid), CsvText(fresh));
            EXPECT_EQ(session.ShownColumnCount, scratch.ShownColumnCount);
            EXPECT_EQ(logic->frame1Caption, heading);
            EXPECT_EQ(logic->Item(Menu::EditProperty).caption,
                      open ? u"学級の編集(&E)"_s : u"学級・科目・試験・得点の編集(&E)"_s);
            EXPECT_EQ(logic->Button(u"編集"_s)->caption,
                      open ? u" 学 級 の 編 集 "_s : u"データの　編集　　　"_s);
            EXPECT_EQ(logic->Item(Menu::XlsxSaveAs).enabled, open);

            // The export offers the class's name and writes that table; Ctrl+E edits the class.
            const QString csv = platform.dir.filePath(QStringLiteral("shown.csv"));
            QFile::remove(csv);
            platform.saveStarts.clear();
            platform.fileAnswers = {csv};
            logic->mnuCSVSaveAs_Click();
            platform.fileAnswers.clear();
            EXPECT_EQ(ReadAll(csv), open ? CsvBytes(fresh) : QByteArray());
            EXPECT_EQ(platform.saveStarts.value(0).section(u'/', -1),
                      open ? TableFileName(*book, key, u"csv"_s) : QString());
            std::vector<EditorKind> opened;
            logic->openEditor = [&](EditorKind kind) { opened.push_back(kind); };
            logic->mnuEditProperty_Click();
            EXPECT_EQ(opened, open ? std::vector{EditorKind::HomeRoom} : std::vector<EditorKind>{});
        }
}

} // namespace
} // namespace kirune::test
