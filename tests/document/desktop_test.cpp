// The commands as a desktop program has them: Open over an open book, the recent files, names
// without an extension, the confirmations, the title's file name and the PDF names offered.
#include "mainlogicfixture.h"
#include "output/pdfname.h"

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

TEST_F(MainLogicTest, OpenOverAnOpenBookAsksFirstAndKeepsTheBookWhenTheNewFileIsUnreadable) {
    const QString first = WriteBook(QStringLiteral("first.txt"), 2);
    const QString second = WriteBook(QStringLiteral("second.txt"), 5);
    const QString broken = platform.dir.filePath(QStringLiteral("broken.txt"));
    QFile(broken).open(QIODevice::WriteOnly);
    Start();
    Open(first);
    logic->SelectNodeByKey(SubjectKey(0));
    session.MarkChanged(); // a change: Open asks the save question first

    platform.answers = {false}; // do not save
    Open(broken);
    EXPECT_EQ(platform.questions, QStringList{kSavePrompt});
    EXPECT_EQ(platform.messages.size(), 2); // the question and the reader's message
    EXPECT_EQ(session.FileName, first);
    EXPECT_EQ(CountEnrolled(*book), 2);

    platform.answers = {false};
    Open(second);
    EXPECT_EQ(platform.questions.size(), 2);
    EXPECT_EQ(session.FileName, second);
    EXPECT_EQ(CountEnrolled(*book), 5);
    EXPECT_EQ(session.SelectedNodeKey, QStringLiteral("HomeRoom"));
    EXPECT_EQ(session.SelectedNodeIndex, 1); // the class node, whatever was selected before
    EXPECT_EQ(logic->frame1Caption, u"令和8年度 5年2組 山田花子 生徒数（ 5名）"_s);

    // The teacher wants to save a new book and cancels the Save As dialog: nothing is opened.
    logic->mnuFileClose_Click();
    logic->mnuFileNew_Click();
    platform.answers = {true};
    platform.fileAnswers = {second, std::nullopt};
    logic->mnuFileOpen_Click();
    EXPECT_TRUE(logic->Item(Menu::FileSaveAs).enabled);
    EXPECT_EQ(book->HomeRoomYear, u"未登録です"_s);
}

TEST_F(MainLogicTest, RecentFilesKeepTheLastEightOpenedOrSavedAndDropMissingOnes) {
    QStringList paths;
    for (int i = 1; i <= 9; ++i)
        paths << WriteBook(QStringLiteral("c%1.txt").arg(i), 1);
    Start();
    for (const QString& path : paths) {
        platform.answers = {false};
        Open(path);
    }
    ASSERT_EQ(logic->recentFiles.size(), 8);
    EXPECT_EQ(logic->recentFiles.front(), paths[8]);
    EXPECT_EQ(logic->recentFiles.back(), paths[1]);
    EXPECT_EQ(logic->RecentMenuCaptions().front(),
              QStringLiteral("&1 ") + QDir::toNativeSeparators(paths[8]));
    EXPECT_TRUE(logic->RecentMenuCaptions().back().startsWith(QStringLiteral("&8 ")));

    // Saving under a new name puts that name first; the list survives a restart.
    const QString saved = platform.dir.filePath(QStringLiteral("saved.txt"));
    platform.fileAnswers = {saved};
    logic->mnuFileSaveAs_Click();
    EXPECT_EQ(logic->recentFiles.front(), saved);
    MainLogic again(*book, session, platform);
    again.Form_Load();
    EXPECT_EQ(again.recentFiles, logic->recentFiles);

    // Choosing an entry opens it; one that is gone is taken off the list with a message.
    platform.answers = {false};
    logic->mnuFileRecent_Click(3);
    EXPECT_EQ(session.FileName, paths[6]);
    EXPECT_EQ(logic->recentFiles.front(), paths[6]);
    QFile::remove(paths[5]);
    const int before = static_cast<int>(platform.messages.size());
    logic->mnuFileRecent_Click(logic->recentFiles.indexOf(paths[5]));
    EXPECT_EQ(session.FileName, paths[6]);
    EXPECT_FALSE(logic->recentFiles.contains(paths[5]));
    EXPECT_EQ(platform.settings[QStringLiteral("RecentFiles")].toStringList(), logic->recentFiles);
    ASSERT_EQ(platform.messages.size(), before + 1);
    EXPECT_TRUE(platform.messages.back().startsWith(u"ﾌｧｲﾙが見つかりません。"_s));
}

TEST_F(MainLogicTest, NamesWithoutAnExtensionGetOneAndEverySaveIsConfirmed) {
    struct Case {
        const char16_t* chosen;
        const char16_t* written;
        bool csv;
        const char16_t* confirmation;
    } cases[] = {
        {u"4年2組", u"4年2組.txt", false, u"保存しました: 4年2組.txt"},
        {u"4年2組.v2", u"4年2組.v2", false, u"保存しました: 4年2組.v2"},
        {u"kokugo", u"kokugo.csv", true, u"画面の表をCSVで保存しました: kokugo.csv"},
        {u"kokugo.CSV", u"kokugo.CSV", true, u"画面の表をCSVで保存しました: kokugo.CSV"},
    };
    Start();
    logic->mnuFileNew_Click();
    for (const Case& c : cases) {
        const int count = logic->statusMessageCount;
        platform.fileAnswers = {platform.dir.filePath(QString::fromUtf16(c.chosen))};
        if (c.csv)
            logic->mnuCSVSaveAs_Click();
        else
            logic->mnuFileSaveAs_Click();
        const QString written = platform.dir.filePath(QString::fromUtf16(c.written));
        EXPECT_TRUE(QFile::exists(written)) << written.toStdString();
        EXPECT_EQ(logic->statusMessage, QString::fromUtf16(c.confirmation));
        EXPECT_EQ(logic->statusMessageCount, count + 1);
        if (!c.csv) {
            EXPECT_EQ(session.FileName, written);
        }
    }
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(MainLogicTest, TheTitleNamesTheOpenFile) {
    const QString path = WriteBook(QStringLiteral("4年2組.txt"), 2);
    Start();
    EXPECT_EQ(logic->TitleFileName(), QString());
    logic->mnuFileNew_Click();
    EXPECT_EQ(logic->TitleFileName(), u"無題"_s);
    platform.answers = {false};
    Open(path);
    EXPECT_EQ(logic->TitleFileName(), u"4年2組.txt"_s);
    platform.answers = {false};
    logic->mnuFileClose_Click();
    EXPECT_EQ(logic->TitleFileName(), QString());
}

TEST_F(MainLogicTest, AMaximizedWindowIsStoredSoAndRestoredSo) {
    Start();
    logic->placementMaximized = true;
    ASSERT_TRUE(logic->Form_Unload({1, 2, 3000, 4000}, false));
    EXPECT_EQ(platform.settings[QStringLiteral("MainMaximized")].toString(), QStringLiteral("1"));
    MainLogic again(*book, session, platform);
    again.Form_Load();
    EXPECT_TRUE(again.placementMaximized);
    EXPECT_EQ(again.placement.width, 3000);
}

TEST(PdfName, ClassAndTableMakeTheName) {
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    book->HomeRoomGrade = u"3年"_s;
    book->HomeRoomClass = u"1組"_s;
    book->TestInfo[TestSlot(1, 0, 2, 0)][1] = u"漢字/テスト"_s;
    const std::pair<QString, const char16_t*> cases[] = {
        {kHomeRoomKey, u"3年1組_学級.pdf"},
        {SubjectKey(0), u"3年1組_国語_通年.pdf"},
        {SemesterKey(0, 0), u"3年1組_国語_一学期.pdf"},
        {TestKey(0, 1, 2), u"3年1組_国語_二学期_漢字_テスト.pdf"},
        {ViewpointKey(1, 0, 0, 0), u"3年1組_算数_一学期_1回目試験_思考.pdf"},
    };
    for (const auto& [key, name] : cases)
        EXPECT_EQ(TablePdfName(*book, key), QString::fromUtf16(name)) << key.toStdString();
    EXPECT_EQ(GraphPdfName(*book, 0, 3), u"3年1組_国語_通年_グラフ.pdf"_s);
    book->HomeRoomGrade.clear();
    book->HomeRoomClass.clear();
    EXPECT_EQ(TablePdfName(*book, kHomeRoomKey), u"学級.pdf"_s);
}

} // namespace
} // namespace kirune::test
