// The tree and its selection: node texts, what a click shows, the edit command, and what the
// window's activation does after an editor has closed.
#include "mainlogicfixture.h"

#include "browse/tables.h"
#include "model/cp932.h"

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

int IndexOf(const MainLogic& logic, const QString& key) {
    for (size_t i = 0; i < logic.nodes.size(); ++i)
        if (logic.nodes[i].key == key)
            return static_cast<int>(i) + 1;
    return 0;
}

TEST_F(MainLogicTest, TreeHoldsEveryNodeFromHomeroomToTheLastViewpoint) {
    Start();
    logic->mnuFileNew_Click();
    ASSERT_EQ(logic->nodes.size(), 746u); // no pupils yet: the pupils' branch alone
    EXPECT_EQ(logic->nodes.front().key, QStringLiteral("HomeRoom"));
    EXPECT_EQ(logic->nodes.front().image, QStringLiteral("root"));
    EXPECT_EQ(logic->nodes[744].key, QStringLiteral("3 5 2 9 2"));
    EXPECT_EQ(logic->nodes[744].key.size(), 9);
    EXPECT_EQ(logic->nodes[744].text, u"三学期  10回目試験観点3"_s);
    EXPECT_EQ(logic->nodes[1].key, QStringLiteral("0 0"));
    EXPECT_EQ(logic->nodes[1].text, u"国語"_s);
}

// After the 745 class nodes, the branch "児童別" (key "4") under the homeroom, with one node per
// pupil who has a name (key "4" and the number): the earlier nodes keep their places. The tree
// follows a change of names.
TEST_F(MainLogicTest, ThePupilsBranchComesAfterEveryOtherNode) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 12, [](GradeBook& b) {
        b.StudentNames[2].clear(); // pupil 3 transferred out
    });
    Start();
    Open(path);
    ASSERT_EQ(logic->nodes.size(), 745u + 1 + 11);
    const TreeNode& branch = logic->nodes[745];
    EXPECT_EQ(branch.key, QStringLiteral("4"));
    EXPECT_EQ(branch.text, u"児童別"_s);
    EXPECT_EQ(branch.image, QStringLiteral("pupils"));
    EXPECT_EQ(branch.parent, 0);
    const struct {
        size_t index;
        const char* key;
        const char16_t* text;
    } pupils[] = {{746, "4 1", u" 1 生徒1"},
                  {747, "4 2", u" 2 生徒2"},
                  {748, "4 4", u" 4 生徒4"},
                  {756, "412", u"12 生徒12"}};
    for (const auto& p : pupils) {
        EXPECT_EQ(logic->nodes[p.index].key, QLatin1String(p.key));
        EXPECT_EQ(logic->nodes[p.index].text, QString::fromUtf16(p.text));
        EXPECT_EQ(logic->nodes[p.index].parent, 745);
        EXPECT_EQ(PupilNumberOfKey(logic->nodes[p.index].key),
                  QByteArray(p.key).mid(1).trimmed().toInt());
    }
    EXPECT_EQ(PupilNumberOfKey(QStringLiteral("4")), 0);
    EXPECT_EQ(PupilNumberOfKey(QStringLiteral("3 0 0 0 0")), 0);
    // A name given (a step of any editor): the branch follows at once.
    book->StudentNames[2] = u"戻った子"_s;
    session.MarkChanged();
    logic->RecordStep(u"学級の登録"_s);
    EXPECT_EQ(logic->nodes.size(), 745u + 1 + 12);
    EXPECT_EQ(logic->nodes[748].text, u" 3 戻った子"_s);
}

TEST_F(MainLogicTest, EmptySubjectNameAndEmptyTestTextsShowAsSuch) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 3, [](GradeBook& b) {
        b.SubjectTitles[2][0].clear();
        const int slot = TestSlot(1, 4, 6, 0);
        b.TestInfo[slot][0].clear();
        b.TestInfo[slot][1].clear();
    });
    Start();
    Open(path);
    const int subject = IndexOf(*logic, QStringLiteral("0 2"));
    ASSERT_GT(subject, 0);
    EXPECT_TRUE(logic->nodes[subject - 1].text.isEmpty());
    EXPECT_EQ(logic->nodes[subject].key, QStringLiteral("1 2 0"));
    EXPECT_EQ(logic->nodes[subject].text, u"一学期()"_s);
    const int test = IndexOf(*logic, QStringLiteral("2 4 1 6"));
    ASSERT_GT(test, 0);
    EXPECT_EQ(logic->nodes[test - 1].text, QStringLiteral(" "));
    EXPECT_EQ(logic->nodes[test].text, QStringLiteral(" ") + u"観点1"_s);
}

TEST_F(MainLogicTest, PlaceholderNodeAsksToCreateOrOpenAFileEveryTime) {
    Start();
    logic->TreeView1_NodeClick(1);
    logic->TreeView1_NodeClick(1);
    const QString message =
        u"最初から始めるときはﾌｧｲﾙﾒﾆｭｰの[新規作成]を、利用中のﾌｧｲﾙがあるときは[開く]"
        u"をｸﾘｯｸしてください。"_s;
    EXPECT_EQ(platform.messages, QStringList({message, message}));
    EXPECT_EQ(session.SelectedNodeKey, QStringLiteral("ROOTnode"));
    // The edit command is enabled by the click but does nothing on the placeholder.
    EXPECT_TRUE(logic->Item(Menu::EditProperty).enabled);
    int opened = 0;
    logic->openEditor = [&](EditorKind) { ++opened; };
    logic->mnuEditProperty_Click();
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(logic->windowEnabled);
}

TEST_F(MainLogicTest, SubjectNodeWithoutPupilsSaysSoAndKeepsTheTableShown) {
    Start();
    logic->mnuFileNew_Click();
    logic->TreeView1_NodeClick(1); // the homeroom table
    const auto rows = GridRows();
    const QString caption = logic->frame1Caption;
    const QString status = logic->statusText;
    const QString menuCaption = logic->Item(Menu::EditProperty).caption;
    const QString buttonCaption = logic->Button(u"編集"_s)->caption;
    platform.messages.clear();

    const int subject = IndexOf(*logic, QStringLiteral("0 3"));
    logic->TreeView1_NodeClick(subject);
    EXPECT_EQ(platform.messages,
              QStringList{
                  u"学級の編集（生徒の登録）がまだです。[編集]－[学級の編集(E)]をしてください"_s});
    EXPECT_EQ(GridRows(), rows);
    EXPECT_EQ(logic->frame1Caption, caption);
    EXPECT_EQ(logic->statusText, status);
    EXPECT_EQ(logic->Item(Menu::EditProperty).caption, menuCaption);
    EXPECT_EQ(logic->Button(u"編集"_s)->caption, buttonCaption);
    EXPECT_EQ(session.SelectedNodeKey, QStringLiteral("0 3"));
    EXPECT_EQ(session.SelectedNodeIndex, subject);
    EXPECT_EQ(session.CurrentSubject, 0); // not decoded

    // The caption is still the homeroom's: the edit command opens the homeroom editor.
    std::vector<EditorKind> opened;
    logic->openEditor = [&](EditorKind kind) { opened.push_back(kind); };
    logic->mnuEditProperty_Click();
    EXPECT_EQ(opened, std::vector<EditorKind>{EditorKind::HomeRoom});
    EXPECT_EQ(session.SelectedNodeIndex, 1);
}

TEST_F(MainLogicTest, HomeroomNodeWorksWithoutPupils) {
    Start();
    logic->mnuFileNew_Click();
    logic->TreeView1_NodeClick(1);
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(logic->grid.Rows(), 3);
    EXPECT_EQ(session.ShownColumnCount, 2);
    EXPECT_EQ(logic->frame1Caption, u"未登録です   生徒数（ 0名）"_s);
}

struct LevelCase {
    const char* key;
    const char16_t* menuCaption;
    const char16_t* buttonCaption;
    const char16_t* hint;
    bool editEnabled;
};

TEST_F(MainLogicTest, EachLevelSetsItsCaptionsHintAndIndices) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 4);
    Start();
    Open(path);
    const LevelCase cases[] = {
        {"0 4", u"通年の評定基準の編集(&E)", u"通年の評定基準の編集 ",
         u"ﾋﾝﾄ：通年の科目データです。[通年の評定基準の編集]"
         u"で観点の名称と通年の評価基準の編集をしま"
         u"す。[画面の表を印刷]で印刷します。",
         true},
        {"1 4 2", u"学期毎の評定基準の編集(&E)", u"学期毎の評定基準の編集",
         u"ﾋﾝﾄ：学期の科目データです。[学期毎の評定基準の編集]で学期毎年の評価基準の編集をします。["
         u"画"
         u"面の表を印刷]で印刷します。",
         true},
        {"2 4 2 7", u"試験結果の編集(&E)", u"試 験 結 果 の 編 集",
         u"ﾋﾝﾄ：試験のデータです。[試験結果の編集]"
         u"で試験の名称・日付・観点の配点・生徒の得点を編集しま"
         u"す。[画面の表を印刷]で印刷します。",
         true},
        // A viewpoint node keeps the menu caption of the test before it and disables the command.
        {"3 4 2 7 1", u"試験結果の編集(&E)", u"デ ー タ の 編 集",
         u"ﾋﾝﾄ：観点毎の試験のデータです。[画面の表を印刷]で印刷します。", false},
        {"HomeRoom", u"学級の編集(&E)", u" 学 級 の 編 集 ",
         u"ﾋﾝﾄ：学級のデータです。[学級の編集]で編集をします。[画面の表を印刷]で印刷します。",
         true},
    };
    for (const auto& c : cases) {
        const QString key = QString::fromLatin1(c.key);
        SCOPED_TRACE(c.key);
        ASSERT_TRUE(logic->SelectNodeByKey(key));
        EXPECT_EQ(session.SelectedNodeKey, key);
        EXPECT_EQ(logic->nodes[session.SelectedNodeIndex - 1].key, key);
        EXPECT_EQ(logic->Item(Menu::EditProperty).caption, QString::fromUtf16(c.menuCaption));
        EXPECT_EQ(logic->Item(Menu::EditProperty).enabled, c.editEnabled);
        EXPECT_EQ(logic->Button(u"編集"_s)->caption, QString::fromUtf16(c.buttonCaption));
        EXPECT_EQ(logic->Button(u"編集"_s)->enabled, c.editEnabled);
        EXPECT_EQ(logic->statusText, QString::fromUtf16(c.hint));
    }
    EXPECT_EQ(session.CurrentSubject, 4);
    EXPECT_EQ(session.CurrentSemester, 2);
    EXPECT_EQ(session.CurrentTest, 7);
    EXPECT_EQ(session.CurrentViewpoint, 1);
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_FALSE(logic->SelectNodeByKey(QStringLiteral("2 9 9 9")));
}

TEST_F(MainLogicTest, SelectionShowsTheSameTableAsItsBuilder) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 6);
    Start();
    Open(path);
    ASSERT_TRUE(logic->SelectNodeByKey(QStringLiteral("2 1 0 3")));
    // The same start grid, then the test table of subject 1, semester 0, test 3.
    Grid expected(43, 15);
    InitMainGrid(*book, expected);
    Session s;
    s.CurrentSubject = 1;
    s.CurrentSemester = 0;
    s.CurrentTest = 3;
    QString caption;
    ShowTestTable(*book, s, expected, caption);
    ASSERT_EQ(logic->grid.Rows(), expected.Rows());
    for (int r = 0; r < expected.Rows(); ++r)
        EXPECT_EQ(logic->grid.RowString(r), expected.RowString(r)) << r;
    EXPECT_EQ(logic->frame1Caption, caption);
    EXPECT_EQ(session.ShownColumnCount, s.ShownColumnCount);
}

TEST_F(MainLogicTest, EditCommandOpensTheEditorOfTheSelectedLevel) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 4);
    Start();
    Open(path);
    std::vector<EditorKind> opened;
    logic->openEditor = [&](EditorKind kind) {
        EXPECT_FALSE(logic->windowEnabled); // disabled before the editor shows
        opened.push_back(kind);
    };
    const std::pair<const char*, EditorKind> cases[] = {
        {"0 2", EditorKind::Subject},
        {"1 2 1", EditorKind::Semester},
        {"2 2 1 5", EditorKind::Test},
        {"HomeRoom", EditorKind::HomeRoom},
    };
    for (const auto& [key, kind] : cases) {
        SCOPED_TRACE(key);
        session.CautionAnswer = false;
        ASSERT_TRUE(logic->SelectNodeByKey(QString::fromLatin1(key)));
        logic->mnuEditProperty_Click();
        ASSERT_FALSE(opened.empty());
        EXPECT_EQ(opened.back(), kind);
        EXPECT_FALSE(logic->windowEnabled);
        EXPECT_TRUE(logic->Item(Menu::EditProperty).enabled);
        EXPECT_EQ(session.CautionAnswer, kind == EditorKind::Subject);
        logic->EnableMainWindow();
        logic->Form_Activate();
    }
    EXPECT_EQ(opened.size(), 4u);

    // A viewpoint node: the command is disabled and nothing opens.
    ASSERT_TRUE(logic->SelectNodeByKey(QStringLiteral("3 2 1 5 0")));
    logic->mnuEditProperty_Click();
    logic->tbToolBar_ButtonClick(u"編集"_s);
    EXPECT_EQ(opened.size(), 4u);
    EXPECT_TRUE(logic->windowEnabled);
}

TEST_F(MainLogicTest, HomeroomEditorUpdatesTheCaptionAndTheFirstNode) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 4);
    Start();
    Open(path);
    logic->openEditor = [](EditorKind) {};
    logic->mnuEditProperty_Click(); // no click yet: the homeroom editor
    EXPECT_EQ(session.SelectedNodeIndex, 1);
    EXPECT_EQ(logic->frame1Caption, u"令和8年度 5年2組 山田花子 生徒数（ 4名）"_s);
    EXPECT_EQ(logic->nodes[0].text, u"令和8年度 5年2組 山田花子"_s);

    // The editor registers a fifth pupil and closes.
    book->RosterSize = 5;
    book->StudentNames[4] = u"転入生"_s;
    book->TeacherName = u"鈴木"_s;
    session.MarkChanged();
    logic->EnableMainWindow();
    logic->Form_Activate();
    EXPECT_EQ(logic->nodes[0].text, u"令和8年度 5年2組 鈴木"_s);
    EXPECT_EQ(logic->frame1Caption, u"令和8年度 5年2組 鈴木 生徒数（ 5名）"_s);
    EXPECT_EQ(logic->statusText,
              u"ﾂﾘｰﾋﾞｭｰの項目を選択して参照します。[データの編集]で編集をします。"
              u"[画面の表を印刷]で印刷します。"_s);
    EXPECT_EQ(logic->grid.Rows(), 8); // the homeroom table: RosterSize + 3
    EXPECT_EQ(logic->grid.Text(5, 1), u"転入生"_s);
}

TEST_F(MainLogicTest, ActivationFollowsTheRosterForPrintingAndTheRosterImport) {
    Start();
    logic->mnuFileNew_Click();
    logic->openEditor = [](EditorKind) {};
    logic->mnuEditProperty_Click();
    FillClass(*book, 3);
    logic->EnableMainWindow();
    logic->Form_Activate();
    EXPECT_TRUE(logic->Item(Menu::FilePrint).enabled);
    EXPECT_TRUE(logic->Button(u"印刷"_s)->enabled);
    EXPECT_FALSE(logic->Item(Menu::EditNameBook).enabled);
}

TEST_F(MainLogicTest, RenamedSubjectIsCarriedIntoItsSubtreeOnly) {
    const QString tested = u"体育の記録"_s;
    const QString path = WriteBook(QStringLiteral("class.txt"), 4, [&](GradeBook& b) {
        b.TestInfo[TestSlot(1, 5, 3, 0)][1] = tested; // semester 1 of the subject
        b.TestInfo[TestSlot(0, 5, 2, 0)][1] = tested; // semester 0 of the subject
        b.TestInfo[TestSlot(1, 4, 3, 0)][1] = tested; // another subject
    });
    Start();
    Open(path);
    ASSERT_TRUE(logic->SelectNodeByKey(QStringLiteral("1 5 1"))); // CurrentSemester := 1
    ASSERT_TRUE(logic->SelectNodeByKey(QStringLiteral("0 5")));
    const int subject = session.SelectedNodeIndex;
    ASSERT_EQ(subject, 622);
    const std::vector<TreeNode> before = logic->nodes;

    // The annual criteria editor renames the subject and closes.
    logic->openEditor = [](EditorKind) {};
    logic->mnuEditProperty_Click();
    book->SubjectTitles[5][0] = u"保健"_s;
    logic->EnableMainWindow();
    logic->Form_Activate();

    const QString oldName = u"体育"_s;
    const QString newName = u"保健"_s;
    ASSERT_EQ(logic->nodes.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        QString expected = before[i].text;
        if (index == subject)
            expected = newName;
        else if (index > subject && index <= subject + 123)
            expected.replace(oldName, newName);
        EXPECT_EQ(logic->nodes[i].text, expected) << index;
        EXPECT_EQ(logic->nodes[i].image, before[i].image) << index;
    }
    EXPECT_EQ(logic->nodes[subject].text, u"一学期(保健)"_s);
    EXPECT_EQ(logic->nodes[IndexOf(*logic, QStringLiteral("2 5 0 2")) - 1].text,
              u"一学期 保健の記録"_s);
    EXPECT_EQ(logic->nodes[IndexOf(*logic, QStringLiteral("2 4 1 3")) - 1].text,
              u"二学期 体育の記録"_s);
    // Test names: only those of the current semester.
    EXPECT_EQ(book->TestInfo[TestSlot(1, 5, 3, 0)][1], u"保健の記録"_s);
    EXPECT_EQ(book->TestInfo[TestSlot(0, 5, 2, 0)][1], tested);
    EXPECT_EQ(book->TestInfo[TestSlot(1, 4, 3, 0)][1], tested);

    // A second activation finds nothing to rename.
    const std::vector<TreeNode> after = logic->nodes;
    logic->Form_Activate();
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(logic->nodes[i].text, after[i].text);
}

TEST_F(MainLogicTest, RegisteredTestLightsItsNodeWithoutARebuild) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 4);
    Start();
    Open(path);
    ASSERT_TRUE(logic->SelectNodeByKey(QStringLiteral("2 0 1 4")));
    const int test = session.SelectedNodeIndex;
    EXPECT_EQ(logic->nodes[test - 1].image, QStringLiteral("lightoff"));
    logic->openEditor = [](EditorKind) {};
    logic->mnuEditProperty_Click();

    // Cancelled: the node stays dark.
    session.CautionAnswer = false;
    logic->EnableMainWindow();
    logic->Form_Activate();
    EXPECT_EQ(logic->nodes[test - 1].image, QStringLiteral("lightoff"));

    // Registered.
    logic->mnuEditProperty_Click();
    session.CautionAnswer = true;
    logic->EnableMainWindow();
    logic->Form_Activate();
    EXPECT_EQ(logic->nodes[test - 1].image, QStringLiteral("lighton"));
    EXPECT_FALSE(session.CautionAnswer);
    int lit = 0;
    for (const auto& node : logic->nodes)
        lit += node.image == QStringLiteral("lighton");
    EXPECT_EQ(lit, 1);
}

TEST_F(MainLogicTest, ActivationWithoutPupilsShowsNoTable) {
    Start();
    logic->mnuFileNew_Click();
    const int subject = IndexOf(*logic, QStringLiteral("0 1"));
    logic->TreeView1_NodeClick(subject);
    logic->grid.SetText(1, 5, QStringLiteral("stale"));
    logic->Form_Activate();
    EXPECT_EQ(logic->grid.Text(1, 5), QStringLiteral("stale"));
    EXPECT_EQ(logic->nodes[subject - 1].text, u"算数"_s);
}

TEST_F(MainLogicTest, RebuildKeepsTheSelectionAndResetsTheGrid) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 4);
    Start();
    Open(path);
    ASSERT_TRUE(logic->SelectNodeByKey(QStringLiteral("1 0 0")));
    const auto first = logic->nodes;
    logic->TreeView1_refresh();
    EXPECT_EQ(session.SelectedNodeKey, QStringLiteral("1 0 0"));
    ASSERT_EQ(logic->nodes.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(logic->nodes[i].key, first[i].key);
        EXPECT_EQ(logic->nodes[i].text, first[i].text);
    }
    EXPECT_EQ(logic->grid.Rows(), 43);
    EXPECT_EQ(logic->grid.Text(0, 1), u"生徒氏名"_s);
}

} // namespace
} // namespace kirune::test

namespace kirune::test {
namespace {

// The pupils' branch selected: the overview, then a pupil's record, each with its hint; the
// edit command opens the homeroom editor at that pupil; printing and the CSV export take these
// tables as any other; a class table shown afterwards is exactly as it is shown directly.
TEST_F(MainLogicTest, ThePupilsTablesBehaveAsTheOtherTables) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 5);
    Start();
    Open(path);
    ASSERT_TRUE(logic->SelectNodeByKey(SemesterKey(1, 0)));
    std::vector<QString> direct;
    for (int r = 0; r < logic->grid.Rows(); ++r)
        direct.push_back(logic->grid.RowString(r));

    ASSERT_TRUE(logic->SelectNodeByKey(PupilsKey()));
    EXPECT_EQ(session.ShownColumnCount, 20);
    EXPECT_TRUE(logic->frame1Caption.endsWith(u"評定一覧（学年）"_s));
    EXPECT_TRUE(logic->statusText.startsWith(u"ﾋﾝﾄ："_s));
    ASSERT_TRUE(logic->SelectNodeByKey(PupilKey(3)));
    EXPECT_EQ(session.ShownColumnCount, 14);
    EXPECT_TRUE(logic->frame1Caption.endsWith(u"出席番号 3　生徒3"_s));
    EXPECT_TRUE(logic->Item(Menu::FilePrint).enabled);
    EXPECT_TRUE(logic->Item(Menu::FilePupilRecords).enabled);
    const QString csv = platform.dir.filePath(QStringLiteral("record.csv"));
    platform.fileAnswers = {csv};
    logic->mnuCSVSaveAs_Click();
    EXPECT_TRUE(ReadAll(csv).contains(EncodeCp932(u"教科"_s)));

    // A pupil's node edits the pupil's comments.
    EXPECT_EQ(logic->Item(Menu::EditProperty).caption, u"所見の編集(&E)"_s);
    EXPECT_EQ(logic->Button(u"編集"_s)->caption, u" 所 見 の 編 集 "_s);
    std::vector<EditorKind> opened;
    logic->openEditor = [&](EditorKind kind) { opened.push_back(kind); };
    logic->mnuEditProperty_Click();
    EXPECT_EQ(opened, std::vector<EditorKind>{EditorKind::Comment});
    EXPECT_EQ(session.CurrentStudentNo, 3);
    logic->EnableMainWindow();

    ASSERT_TRUE(logic->SelectNodeByKey(SemesterKey(1, 0)));
    std::vector<QString> after;
    for (int r = 0; r < logic->grid.Rows(); ++r)
        after.push_back(logic->grid.RowString(r));
    EXPECT_EQ(after, direct);
}

} // namespace
} // namespace kirune::test

namespace kirune::test {
namespace {

// A comments' section with a bad line: the book opens with the good lines and a message; a step
// that erases a pupil's comments (a transfer out) is undone with them.
TEST_F(MainLogicTest, ADamagedCommentSectionOpensWithAMessageAndUndoBringsCommentsBack) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 3,
                                   [](GradeBook& b) { b.Comments[0][0] = u"良い"_s; });
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("41; 1;x;\r\n");
    }
    Start();
    Open(path);
    EXPECT_EQ(session.FileName, path);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].contains(u"1658 行目: 出席番号「41」"_s));
    EXPECT_EQ(book->Comments[0][0], u"良い"_s);
    book->Comments[0][0].clear();
    logic->RecordStep(u"出席番号1 生徒1の転出"_s);
    logic->mnuEditUndo_Click();
    EXPECT_EQ(book->Comments[0][0], u"良い"_s);
}

} // namespace
} // namespace kirune::test
