// Nothing the teacher typed is lost: the save question's キャンセル, a Yes that saved nothing,
// the roster import that starts a book, and undo/redo of every step.
#include "mainlogicfixture.h"
#include "model/cp932.h"

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

using Answer = Platform::Answer;

class KeepWorkTest : public MainLogicTest {
protected:
    // A class of three, opened and unchanged.
    void OpenClass() {
        path = WriteBook(QStringLiteral("class.txt"), 3);
        Start();
        Open(path);
        session.NeedsSave = false;
    }
    // A change as an editor makes one: the book, then its step.
    void Change(const QString& name, const QString& step) {
        book->StudentNames[0] = name;
        session.MarkChanged();
        logic->RecordStep(step);
    }
    QString path;
};

TEST_F(KeepWorkTest, TheSaveQuestionsAnswersDecideWhetherTheCommandGoesOn) {
    const struct {
        const char* command;
        Answer answer;
        bool goesOn, saved;
    } cases[] = {
        {"close", Answer::Cancel, false, false}, {"close", Answer::No, true, false},
        {"close", Answer::Yes, true, true},      {"exit", Answer::Cancel, false, false},
        {"exit", Answer::No, true, false},       {"exit", Answer::Yes, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + std::to_string(static_cast<int>(c.answer)));
        OpenClass();
        const QByteArray onDisk = ReadAll(path);
        Change(u"変更"_s, u"学級の登録"_s);
        platform.questions.clear();
        platform.choices = {c.answer};
        bool goesOn = false;
        if (std::string(c.command) == "close") {
            logic->mnuFileClose_Click();
            goesOn = !logic->Item(Menu::FileClose).enabled;
        } else {
            goesOn = logic->Form_Unload({0, 0, 9000, 8000}, false);
        }
        EXPECT_EQ(platform.questions, QStringList{kSavePrompt});
        EXPECT_EQ(goesOn, c.goesOn);
        EXPECT_EQ(ReadAll(path) != onDisk, c.saved);
        if (!c.goesOn) {
            EXPECT_EQ(book->StudentNames[0], u"変更"_s);
        }
        logic->mnuFileClose_Click(); // (answered No by default) for the next case
    }
}

TEST_F(KeepWorkTest, RosterImportWithoutABookStartsOneAndYesWithoutASaveStopsTheExit) {
    Start();
    const QString roster = platform.dir.filePath(QStringLiteral("roster.csv"));
    QFile file(roster);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(EncodeCp932(u"青木一郎\r\n井上二葉\r\n"_s));
    file.close();
    ASSERT_TRUE(logic->Item(Menu::EditNameBook).enabled);
    platform.fileAnswers = {roster};
    logic->mnuEditNameBook_Click();

    // As New: the tree, Save As and the heading follow.
    EXPECT_EQ(logic->nodes.size(), 746u + CountEnrolled(*book)); // and the pupils' branch
    EXPECT_TRUE(logic->Item(Menu::FileSaveAs).enabled);
    EXPECT_TRUE(logic->Item(Menu::FileClose).enabled);
    EXPECT_FALSE(logic->Item(Menu::FileNew).enabled);
    EXPECT_TRUE(logic->frame1Caption.contains(u"生徒数（ 2名）"_s));
    EXPECT_EQ(book->StudentNames[1], u"井上二葉"_s);
    EXPECT_TRUE(session.NeedsSave);

    // Yes, then the save-as dialog cancelled: nothing saved, so the program stays.
    platform.choices = {Answer::Yes};
    EXPECT_FALSE(logic->Form_Unload({0, 0, 9000, 8000}, false));
    EXPECT_EQ(platform.questions, QStringList{kSavePrompt});
    EXPECT_EQ(book->StudentNames[0], u"青木一郎"_s);
}

TEST_F(KeepWorkTest, UndoAndRedoPutBackTheWholeBookStepByStep) {
    OpenClass();
    const QString first = book->StudentNames[0];
    EXPECT_FALSE(logic->Item(Menu::EditUndo).enabled);
    Change(u"一"_s, u"国語 一学期 2回目試験の登録"_s);
    Change(u"二"_s, u"学級の登録"_s);
    EXPECT_EQ(logic->Item(Menu::EditUndo).caption, u"元に戻す: 学級の登録(&U)"_s);
    EXPECT_EQ(logic->Item(Menu::EditUndo).shortcut, QStringLiteral("Ctrl+Z"));
    EXPECT_EQ(logic->Item(Menu::EditRedo).shortcut, QStringLiteral("Ctrl+Y"));

    session.NeedsSave = false;
    logic->mnuEditUndo_Click();
    EXPECT_EQ(book->StudentNames[0], u"一"_s);
    EXPECT_TRUE(session.NeedsSave);
    EXPECT_EQ(logic->Item(Menu::EditUndo).caption, u"元に戻す: 国語 一学期 2回目試験の登録(&U)"_s);
    EXPECT_EQ(logic->Item(Menu::EditRedo).caption, u"やり直し: 学級の登録(&R)"_s);
    logic->mnuEditUndo_Click();
    EXPECT_EQ(book->StudentNames[0], first);
    EXPECT_EQ(logic->grid.Text(1, 1), first) << "the table shows the restored book";
    EXPECT_FALSE(logic->Item(Menu::EditUndo).enabled);
    // Back at what the file holds: nothing to save, no recovery copy to keep.
    EXPECT_FALSE(session.NeedsSave);
    EXPECT_FALSE(logic->recovery.HasCopy());
    logic->mnuEditRedo_Click();
    logic->mnuEditRedo_Click();
    EXPECT_EQ(book->StudentNames[0], u"二"_s);

    // Disabled while an editor is open.
    logic->SelectNodeByKey(kHomeRoomKey);
    logic->openEditor = [](EditorKind) {};
    logic->mnuEditProperty_Click();
    EXPECT_FALSE(logic->Item(Menu::EditUndo).enabled);
    logic->mnuEditUndo_Click();
    EXPECT_EQ(book->StudentNames[0], u"二"_s);
    logic->EnableMainWindow();
    EXPECT_TRUE(logic->Item(Menu::EditUndo).enabled);
}

TEST_F(KeepWorkTest, TheRenameCarriedAtActivationIsPartOfTheSubjectsRegistration) {
    OpenClass();
    const int first = TestSlot(0, 0, 0, 1);
    book->TestInfo[first][1] = u"国語の漢字"_s;
    logic->RecordStep(QStringLiteral("setup"));
    ASSERT_TRUE(logic->SelectNodeByKey(SubjectKey(0)));
    book->SubjectTitles[0][0] = u"こくご"_s; // the annual criteria editor registers a new name
    logic->RecordStep(u"こくごの通年の評定基準の登録"_s);
    logic->Form_Activate();
    EXPECT_EQ(book->TestInfo[first][1], u"こくごの漢字"_s);
    EXPECT_EQ(logic->Item(Menu::EditUndo).caption, u"元に戻す: こくごの通年の評定基準の登録(&U)"_s);
    logic->mnuEditUndo_Click();
    EXPECT_EQ(book->SubjectTitles[0][0], u"国語"_s);
    EXPECT_EQ(book->TestInfo[first][1], u"国語の漢字"_s);
}

TEST_F(KeepWorkTest, UndoKeepsAtLeastFiftyStepsAndCloseClearsThem) {
    OpenClass();
    const QString first = book->StudentNames[0];
    for (int i = 0; i < 60; ++i)
        Change(QString::number(i), QStringLiteral("step %1").arg(i));
    for (int i = 0; i < 60; ++i)
        logic->mnuEditUndo_Click();
    EXPECT_EQ(book->StudentNames[0], first);

    platform.answers = {false};
    logic->mnuFileClose_Click();
    EXPECT_FALSE(logic->undoStack.canUndo() || logic->undoStack.canRedo());
    EXPECT_FALSE(logic->Item(Menu::EditRedo).enabled);
}

} // namespace
} // namespace kirune::test
