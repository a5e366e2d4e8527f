// The document commands: which commands are offered in each state, the save prompt, and what
// New, Open, Save, Save As and Close leave behind.
#include "mainlogicfixture.h"

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

TEST_F(MainLogicTest, StartOffersOnlyNewOpenAndTheRosterImport) {
    Start();
    EXPECT_EQ(Enabling(), Expected(true, false, false, false, false, false, true, false));
    ASSERT_EQ(logic->nodes.size(), 1u);
    EXPECT_EQ(logic->nodes[0].key, QStringLiteral("ROOTnode"));
    EXPECT_EQ(logic->nodes[0].text, u"ファイルを開いてください"_s);
    EXPECT_EQ(
        logic->statusText,
        u"ﾋﾝﾄ：最初から始めるときはﾌｧｲﾙﾒﾆｭｰの[新規作成]を、利用中のﾌｧｲﾙがあるときは[開く]をｸﾘｯｸ"
        u"してください"_s);
    EXPECT_EQ(logic->grid.Rows(), 43);
    EXPECT_EQ(logic->grid.Cols(), 15);
    EXPECT_EQ(logic->grid.Text(0, 1), u"生徒氏名"_s);
    EXPECT_EQ(logic->frame1Caption, u"   生徒数（ 0名）"_s);
}

TEST_F(MainLogicTest, NewOpensAnUnsavedBookThatMustBeSavedUnderAName) {
    Start();
    logic->mnuFileNew_Click();
    // Save is offered and asks for a name, as Save As does.
    EXPECT_EQ(Enabling(), Expected(false, true, true, true, true, false, true, true));
    EXPECT_EQ(book->HomeRoomYear, u"未登録です"_s);
    EXPECT_EQ(logic->nodes.size(), 746u + CountEnrolled(*book)); // and the pupils' branch
    EXPECT_EQ(logic->nodes[0].text, u"未登録です"_s);
    EXPECT_EQ(session.SelectedNodeKey, QStringLiteral("HomeRoom"));
    EXPECT_EQ(logic->Item(Menu::EditProperty).caption, u"学級の編集(&E)"_s);
    EXPECT_EQ(logic->Button(u"編集"_s)->caption, u" 学 級 の 編 集 "_s);
    EXPECT_EQ(logic->statusText,
              u"ﾋﾝﾄ：最初に学級の設定をします。[学級の編集]をｸﾘｯｸしてください"_s);
}

TEST_F(MainLogicTest, OpenOfAClassOffersPrintingAndNoRosterImport) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 32);
    Start();
    Open(path);
    // Just read, the book is what its file holds: nothing to save.
    EXPECT_EQ(Enabling(), Expected(false, true, true, true, true, true, false, false));
    EXPECT_EQ(platform.dialogTitles, QStringList{u"開く"_s});
    EXPECT_EQ(platform.dialogFilters, QStringList{u"ﾃｷｽﾄﾌｧｲﾙ (*.txt)|*.txt"_s});
    EXPECT_EQ(session.FileName, path);
    EXPECT_EQ(logic->nodes.size(), 746u + CountEnrolled(*book));     // and the pupils' branch
    EXPECT_EQ(logic->nodes[0].text, u"令和8年度 5年2組 山田花子"_s); // as after an edit
    EXPECT_EQ(logic->frame1Caption, u"令和8年度 5年2組 山田花子 生徒数（ 32名）"_s);
    EXPECT_EQ(logic->statusText, u"ﾋﾝﾄ：学級のデータです。[学級の編集]で編集をします。"
                                 u"[画面の表を印刷]で印刷します。"_s);
    EXPECT_EQ(logic->grid.Text(32, 1), u"生徒32"_s);
    EXPECT_EQ(logic->grid.Text(32, 0), QStringLiteral(" 32"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(MainLogicTest, OpenOfABookWithoutPupilsOffersTheRosterImportAndNoPrinting) {
    const QString path = WriteBook(QStringLiteral("empty.txt"), 0);
    Start();
    Open(path);
    EXPECT_EQ(Enabling(), Expected(false, true, true, true, true, false, true, false));
}

TEST_F(MainLogicTest, CancellingTheOpenDialogChangesNothing) {
    Start();
    const auto before = Enabling();
    logic->mnuFileOpen_Click(); // no answer queued: cancelled
    EXPECT_EQ(Enabling(), before);
    EXPECT_EQ(logic->nodes.size(), 1u);
    EXPECT_TRUE(session.FileName.isEmpty());
}

TEST_F(MainLogicTest, OpenOfAnUnreadableFileShowsTheReadersMessageAndChangesNothing) {
    const QString good = WriteBook(QStringLiteral("good.txt"), 5);
    const QString bad = platform.dir.filePath(QStringLiteral("bad.txt"));
    {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a grade book\r\n");
    }
    Start();
    logic->SelectNodeByKey(QStringLiteral("ROOTnode"));
    platform.messages.clear();
    const auto enabling = Enabling();
    const auto rows = GridRows();
    const QString status = logic->statusText;
    const QString caption = logic->frame1Caption;

    Open(bad);
    ASSERT_EQ(platform.messages.size(), 1);
    QString expected;
    auto scratch = std::make_unique<GradeBook>();
    ASSERT_FALSE(ReadGradeBookFile(bad, *scratch, &expected));
    EXPECT_EQ(platform.messages[0], expected);
    EXPECT_EQ(Enabling(), enabling);
    EXPECT_EQ(GridRows(), rows);
    EXPECT_EQ(logic->statusText, status);
    EXPECT_EQ(logic->frame1Caption, caption);
    EXPECT_TRUE(session.FileName.isEmpty());
    EXPECT_EQ(logic->nodes.size(), 1u);
    EXPECT_EQ(session.SelectedNodeKey, QStringLiteral("ROOTnode"));
    EXPECT_TRUE(book->HomeRoomYear.isEmpty());
    EXPECT_EQ(book->SubjectTitles[0][0], u"国語"_s);

    // The program goes on: a good file opens afterwards.
    Open(good);
    EXPECT_EQ(session.FileName, good);
    EXPECT_EQ(CountEnrolled(*book), 5);
}

TEST_F(MainLogicTest, SaveWritesTheFileAndClearsTheUnsavedFlag) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 3);
    Start();
    Open(path);
    book->StudentNames[1] = u"改名"_s;
    logic->mnuFileSave_Click();
    EXPECT_EQ(Enabling(), Expected(false, true, true, true, true, true, false, false));
    auto reread = std::make_unique<GradeBook>();
    QString error;
    ASSERT_TRUE(ReadGradeBookFile(path, *reread, &error));
    EXPECT_EQ(reread->StudentNames[1], u"改名"_s);
    EXPECT_TRUE(QFile::exists(platform.dir.filePath(QStringLiteral("class.bak"))));
}

TEST_F(MainLogicTest, CloseReturnsToTheStartState) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 3);
    Start();
    Open(path);
    logic->mnuFileSave_Click();
    logic->mnuFileClose_Click();
    EXPECT_TRUE(platform.questions.isEmpty()); // saved: no prompt
    EXPECT_EQ(Enabling(), Expected(true, false, false, false, false, false, false, false));
    ASSERT_EQ(logic->nodes.size(), 1u);
    EXPECT_EQ(logic->nodes[0].key, QStringLiteral("ROOTnode"));
    EXPECT_EQ(logic->grid.Rows(), 43);
    EXPECT_EQ(logic->grid.Cols(), 15);
    EXPECT_EQ(logic->grid.Text(0, 1), u"生徒氏名"_s);
    EXPECT_TRUE(logic->grid.Text(1, 1).isEmpty()); // the pupils' names are gone
    EXPECT_EQ(logic->frame1Caption, u"   生徒数（ 0名）"_s);
    EXPECT_EQ(CountEnrolled(*book), 0);
    EXPECT_TRUE(book->HomeRoomYear.isEmpty());
}

TEST_F(MainLogicTest, CloseAfterNewAsksAndYesWithACancelledDialogKeepsTheBookOpen) {
    Start();
    logic->mnuFileNew_Click();
    platform.answers = {true};
    logic->mnuFileClose_Click();
    EXPECT_EQ(platform.questions, QStringList{kSavePrompt});
    EXPECT_EQ(platform.dialogTitles, QStringList{u"名前をつけて保存する"_s});
    EXPECT_EQ(platform.dialogFilters, QStringList{u"ﾃｷｽﾄﾌｧｲﾙ (*.txt)|*.txt"_s});
    EXPECT_EQ(Enabling(), Expected(false, true, true, true, true, false, true, true));
    EXPECT_EQ(logic->nodes.size(), 746u + CountEnrolled(*book)); // and the pupils' branch
    EXPECT_EQ(book->HomeRoomYear, u"未登録です"_s);
}

TEST_F(MainLogicTest, CloseAfterNewAnsweredYesSavesUnderTheChosenNameThenCloses) {
    Start();
    logic->mnuFileNew_Click();
    book->TeacherName = u"佐藤"_s;
    const QString path = platform.dir.filePath(QStringLiteral("new.txt"));
    platform.answers = {true};
    platform.fileAnswers = {path};
    logic->mnuFileClose_Click();
    EXPECT_EQ(Enabling(), Expected(true, false, false, false, false, false, false, false));
    auto reread = std::make_unique<GradeBook>();
    QString error;
    ASSERT_TRUE(ReadGradeBookFile(path, *reread, &error)) << error.toStdString();
    EXPECT_EQ(reread->TeacherName, u"佐藤"_s);
    EXPECT_EQ(reread->HomeRoomYear, u"未登録です"_s);
}

TEST_F(MainLogicTest, CloseAfterNewAnsweredNoClosesWithoutSaving) {
    Start();
    logic->mnuFileNew_Click();
    platform.answers = {false};
    logic->mnuFileClose_Click();
    EXPECT_EQ(platform.questions.size(), 1);
    EXPECT_TRUE(platform.dialogTitles.isEmpty());
    EXPECT_EQ(Enabling(), Expected(true, false, false, false, false, false, false, false));
}

TEST_F(MainLogicTest, ExitRightAfterOpenAsksNothing) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 3);
    Start();
    Open(path);
    EXPECT_TRUE(logic->Form_Unload({0, 0, 9000, 8000}, false));
    EXPECT_TRUE(platform.questions.isEmpty());
}

TEST_F(MainLogicTest, ExitAnsweredYesWhenTheWriteFailsStaysOpen) {
    Start();
    logic->mnuFileNew_Click();
    platform.answers = {true};
    platform.fileAnswers = {platform.dir.filePath(QStringLiteral("missing/folder/new.txt"))};
    int othersAsked = 0;
    logic->closeOtherWindows = [&] { return ++othersAsked > 0; };
    EXPECT_FALSE(logic->Form_Unload({100, 100, 9000, 8000}, false));
    EXPECT_EQ(othersAsked, 1); // the editors go first: what they hold is not in the book
    EXPECT_TRUE(platform.settings.empty()); // nothing stored: the window stays
    ASSERT_EQ(platform.messages.size(), 2); // the question, then the writer's message
    EXPECT_TRUE(session.NeedsSave);
    EXPECT_TRUE(session.FileName.isEmpty());
    EXPECT_EQ(logic->nodes.size(), 746u + CountEnrolled(*book)); // and the pupils' branch
}

TEST_F(MainLogicTest, ExitWithoutChangesClosesTheOtherWindowsAndStoresThePlacement) {
    Start();
    bool othersClosed = false;
    logic->closeOtherWindows = [&] { return othersClosed = true; };
    EXPECT_TRUE(logic->Form_Unload({1500, 1200, 9000, 7000}, false));
    EXPECT_TRUE(platform.questions.isEmpty());
    EXPECT_TRUE(othersClosed);
    EXPECT_EQ(platform.settings[QStringLiteral("MainLeft")].toString(), QStringLiteral("1500"));
    EXPECT_EQ(platform.settings[QStringLiteral("MainTop")].toString(), QStringLiteral("1200"));
    EXPECT_EQ(platform.settings[QStringLiteral("MainWidth")].toString(), QStringLiteral("9000"));
    EXPECT_EQ(platform.settings[QStringLiteral("MainHeight")].toString(), QStringLiteral("7000"));
}

TEST_F(MainLogicTest, ExitCommandUnloadsThroughTheWindow) {
    Start();
    int closed = 0;
    logic->closeWindow = [&] { ++closed; };
    logic->mnuFileExit_Click();
    EXPECT_EQ(closed, 1);
}

TEST_F(MainLogicTest, SaveAsMovesTheBookToTheNewPathForLaterSaves) {
    const QString first = WriteBook(QStringLiteral("first.txt"), 2);
    const QString second = platform.dir.filePath(QStringLiteral("second.txt"));
    Start();
    Open(first);
    const QByteArray firstBytes = ReadAll(first);
    platform.fileAnswers = {second};
    logic->mnuFileSaveAs_Click();
    EXPECT_EQ(session.FileName, second);
    EXPECT_FALSE(session.NeedsSave);
    book->StudentNames[0] = u"新しい名前"_s;
    logic->mnuFileSave_Click();
    EXPECT_EQ(ReadAll(first), firstBytes);
    auto reread = std::make_unique<GradeBook>();
    QString error;
    ASSERT_TRUE(ReadGradeBookFile(second, *reread, &error));
    EXPECT_EQ(reread->StudentNames[0], u"新しい名前"_s);
}

TEST_F(MainLogicTest, FailedSaveAsKeepsTheFileTheBookCameFrom) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 2);
    Start();
    Open(path);
    session.MarkChanged();
    platform.fileAnswers = {platform.dir.filePath(QStringLiteral("no/such/dir.txt"))};
    logic->mnuFileSaveAs_Click();
    EXPECT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(session.FileName, path);
    EXPECT_TRUE(session.NeedsSave);
}

TEST_F(MainLogicTest, FailedSaveShowsTheMessageAndKeepsTheUnsavedFlag) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 2);
    Start();
    Open(path);
    session.MarkChanged();
    session.FileName = platform.dir.filePath(QStringLiteral("gone/class.txt"));
    logic->mnuFileSave_Click();
    EXPECT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(session.NeedsSave);
    EXPECT_TRUE(logic->Item(Menu::FileSave).enabled);
}

TEST_F(MainLogicTest, SaveButtonRunsSaveAsOnANewBookAndSaveAfterwards) {
    Start();
    logic->mnuFileNew_Click();
    const QString path = platform.dir.filePath(QStringLiteral("made.txt"));
    platform.fileAnswers = {path};
    logic->tbToolBar_ButtonClick(u"上書き保存"_s);
    EXPECT_EQ(platform.dialogTitles, QStringList{u"名前をつけて保存する"_s});
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_FALSE(session.NeedsSave);
    EXPECT_TRUE(logic->Item(Menu::FileSave).enabled);

    book->TeacherName = u"後から"_s;
    session.MarkChanged();
    logic->tbToolBar_ButtonClick(u"上書き保存"_s);
    EXPECT_EQ(platform.dialogTitles.size(), 1); // no second dialog
    EXPECT_FALSE(session.NeedsSave);
    auto reread = std::make_unique<GradeBook>();
    QString error;
    ASSERT_TRUE(ReadGradeBookFile(path, *reread, &error));
    EXPECT_EQ(reread->TeacherName, u"後から"_s);
}

TEST_F(MainLogicTest, AChangeAfterSavingMakesCloseAskAgain) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 2);
    Start();
    Open(path);
    logic->mnuFileSave_Click();
    session.MarkChanged(); // what every editor does when it writes into the book
    platform.answers = {false};
    logic->mnuFileClose_Click();
    EXPECT_EQ(platform.questions, QStringList{kSavePrompt});
}

TEST_F(MainLogicTest, ToolbarButtonsDispatchByKeyAndOnlyWhileEnabled) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 2);
    Start();
    logic->tbToolBar_ButtonClick(u"上書き保存"_s); // disabled at start
    EXPECT_TRUE(platform.dialogTitles.isEmpty());
    logic->tbToolBar_ButtonClick(QStringLiteral("nothing"));
    platform.fileAnswers = {path};
    logic->tbToolBar_ButtonClick(u"開く"_s);
    EXPECT_EQ(session.FileName, path);
    logic->tbToolBar_ButtonClick(u"新規作成"_s); // disabled while a book is open
    EXPECT_EQ(book->HomeRoomYear, u"令和8年度"_s);

    std::vector<EditorKind> opened;
    logic->openEditor = [&](EditorKind kind) { opened.push_back(kind); };
    logic->tbToolBar_ButtonClick(u"編集"_s);
    EXPECT_EQ(opened, std::vector<EditorKind>{EditorKind::HomeRoom});
}

TEST_F(MainLogicTest, CloseThenOpenCancelledOpensNothing) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 2);
    Start();
    Open(path);
    platform.answers = {false};
    logic->mnuFileClose_Click();
    logic->mnuFileOpen_Click();
    EXPECT_EQ(logic->nodes.size(), 1u);
    EXPECT_EQ(Enabling(), Expected(true, false, false, false, false, false, false, false));
}

TEST_F(MainLogicTest, NothingButTheExitReactsWhileAnEditorIsOpen) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 2);
    Start();
    Open(path);
    int opened = 0;
    logic->openEditor = [&](EditorKind) { ++opened; };
    logic->mnuEditProperty_Click();
    ASSERT_FALSE(logic->windowEnabled);
    logic->mnuFileClose_Click();
    logic->mnuEditProperty_Click();
    logic->TreeView1_NodeClick(3);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(logic->nodes.size(), 746u + CountEnrolled(*book)); // and the pupils' branch
    EXPECT_TRUE(platform.questions.isEmpty());
    EXPECT_EQ(session.SelectedNodeIndex, 1);
    logic->EnableMainWindow();
    EXPECT_TRUE(logic->windowEnabled);
}

} // namespace
} // namespace kirune::test
