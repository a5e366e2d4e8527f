// The comment editor: a class's comments written pupil after pupil, refusals, the limit, the
// list of pupils still to write, registration as one step and cancel; then the window once.
#include "editors/comment/commenteditor.h"
#include "editors/comment/formcomment.h"
#include "model/comments.h"

#include "support/fakeplatform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

struct StepRecorder : MainFormHooks {
    void EnableMainWindow() override { calls << u"EnableMainWindow"_s; }
    void MSFlexGrid1_init() override {}
    void TreeView1_refresh() override {}
    void RecordStep(const QString& description) override { calls << description; }
    QStringList calls;
};

class CommentEditorTest : public ::testing::Test {
protected:
    CommentEditorTest() {
        ResetGradeBook(book);
        book.RosterSize = 4;
        book.StudentNames[0] = u"青木"_s;
        book.StudentNames[1] = u"井上"_s;
        book.StudentNames[3] = u"江藤"_s; // 3 transferred out
        book.Comments[3][0] = u"既に書いた所見"_s;
        session.CurrentStudentNo = 2;
    }
    GradeBook book;
    Session session;
    test::FakePlatform platform;
    StepRecorder main;
};

TEST_F(CommentEditorTest, AClassWrittenPupilAfterPupil) {
    CommentEditor editor(book, session, platform, main);
    editor.Form_Load();
    EXPECT_EQ(editor.heading, u"出席番号 2　井上"_s);
    EXPECT_EQ(editor.pendingItems, QStringList({u" 1 青木（未記入）"_s, u" 2 井上（未記入）"_s}));
    // Each step: a move, then what the editor shows.
    const struct {
        void (CommentEditor::*move)();
        int pupil;
        const char16_t* typed; // nullptr: nothing typed
        bool back, on;
    } steps[] = {
        {nullptr, 2, u"よく頑張りました。", true, true},
        {&CommentEditor::Next_Click, 4, nullptr, true, false},
        {&CommentEditor::Next_Click, 4, nullptr, true, false},    // the last named pupil
        {&CommentEditor::Previous_Click, 2, nullptr, true, true}, // 3 has no name
        {&CommentEditor::Previous_Click, 1, u"一\n二", false, true},
    };
    for (const auto& s : steps) {
        if (s.move)
            (editor.*s.move)();
        EXPECT_EQ(editor.pupil, s.pupil);
        if (s.typed) {
            EXPECT_TRUE(editor.Text_Change(QString::fromUtf16(s.typed)));
        }
        EXPECT_EQ(editor.canGoBack, s.back);
        EXPECT_EQ(editor.canGoOn, s.on);
    }
    EXPECT_EQ(editor.text, u"一\n二"_s);
    EXPECT_EQ(editor.count, u"2 / 200 字"_s); // line breaks are not counted
    EXPECT_TRUE(editor.pendingItems.isEmpty());
    EXPECT_EQ(book.Comments[1][0], QString()); // nothing written before 登録
    editor.Register_Click();
    EXPECT_EQ(book.Comments[0][0], u"一\n二"_s);
    EXPECT_EQ(book.Comments[1][0], u"よく頑張りました。"_s);
    EXPECT_EQ(book.Comments[3][0], u"既に書いた所見"_s);
    EXPECT_EQ(main.calls, QStringList({u"一学期の所見の登録"_s, u"EnableMainWindow"_s}));
    EXPECT_TRUE(session.NeedsSave);
    EXPECT_TRUE(editor.Closed());
}

TEST_F(CommentEditorTest, TheLimitThePeriodAndThePendingList) {
    CommentEditor editor(book, session, platform, main);
    editor.Form_Load();
    editor.Next_Click();
    EXPECT_EQ(editor.text, u"既に書いた所見"_s);
    const struct {
        int period, limit;
        const char16_t* count;
        bool over;
        QStringList pending;
    } cases[] = {
        {0, 200, u"7 / 200 字", false, {u" 1 青木（未記入）"_s, u" 2 井上（未記入）"_s}},
        {0,
         6,
         u"7 / 6 字",
         true,
         {u" 1 青木（未記入）"_s, u" 2 井上（未記入）"_s, u" 4 江藤（7 字）"_s}},
        {3,
         1000,
         u"0 / 1000 字",
         false,
         {u" 1 青木（未記入）"_s, u" 2 井上（未記入）"_s, u" 4 江藤（未記入）"_s}},
    };
    for (const auto& c : cases) {
        editor.Period_Change(c.period);
        editor.Limit_Change(c.limit);
        EXPECT_EQ(editor.count, QString::fromUtf16(c.count));
        EXPECT_EQ(editor.overLimit, c.over);
        EXPECT_EQ(editor.pendingItems, c.pending);
        EXPECT_EQ(editor.ratings.Text(0, 2), CommentPeriodName(book, c.period));
    }
    EXPECT_EQ(session.CommentPeriod, 3);
    editor.Pending_Click(1);
    EXPECT_EQ(editor.pupil, 2);

    // ｷｬﾝｾﾙ asks; いいえ stays, はい throws the limits away.
    platform.answers = {false, true};
    EXPECT_FALSE(editor.Cancel_Click());
    EXPECT_TRUE(editor.Cancel_Click());
    EXPECT_EQ(book.CommentLimits[0], kDefaultCommentLimit);
    EXPECT_EQ(platform.questions.size(), 2);
}

TEST_F(CommentEditorTest, TheWindowTypesMovesAndRefusesAPaste) {
    QPointer<FormComment> form = new FormComment(book, session, platform, main);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    QApplication::setActiveWindow(form);
    auto* box = form->findChild<QPlainTextEdit*>(u"Text"_s);
    ASSERT_TRUE(box);
    QKeyEvent type(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, u"元気"_s);
    QApplication::sendEvent(box, &type);
    EXPECT_EQ(form->logic().text, u"元気"_s);
    box->insertPlainText(u"😀"_s); // as a paste arrives
    EXPECT_EQ(box->toPlainText(), u"元気"_s);
    EXPECT_EQ(platform.messages.size(), 1);
    QTest::keyClick(box, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(form->logic().pupil, 4);
    EXPECT_EQ(box->toPlainText(), u"既に書いた所見"_s);
    form->logic().Register_Click();
    EXPECT_EQ(book.Comments[1][0], u"元気"_s);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
}

} // namespace
} // namespace kirune
