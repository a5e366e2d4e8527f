// The test editor without its window: opening, the test definition, the checks of score entries,
// totals, class averages and ranks, moving between pupils, absence, registration and cancel.
#include "editors/exam/testeditor.h"

#include "browse/bookfixture.h"
#include "support/fakeplatform.h"

#include "support/testutil.h"
#include <QLocale>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

using namespace Qt::StringLiterals;

// Readable QStrings in failure messages.
namespace kirune {
namespace {

using kirune::testing::BookWithPupils;
using kirune::testing::SetPupilValues;

class FakeMain : public MainFormHooks {
public:
    void EnableMainWindow() override { calls << QStringLiteral("EnableMainWindow"); }
    void MSFlexGrid1_init() override { calls << QStringLiteral("MSFlexGrid1_init"); }
    void TreeView1_refresh() override { calls << QStringLiteral("TreeView1_refresh"); }
    void RecordStep(const QString& description) override { steps << description; }
    QStringList calls;
    QStringList steps; // undo steps
};

class TestEditorTest : public ::testing::Test {
protected:
    TestEditorTest() { book = BookWithPupils({u"青木", u"伊藤", u"上田", u"江藤"}); }

    TestEditor& Open(int subject = 0, int semester = 0, int test = 0) {
        session.CurrentSubject = static_cast<int16_t>(subject);
        session.CurrentSemester = static_cast<int16_t>(semester);
        session.CurrentTest = static_cast<int16_t>(test);
        editor = std::make_unique<TestEditor>(*book, session, platform, main);
        editor->Form_Load();
        return *editor;
    }

    // Types a pupil's three boxes and presses Enter (the next pupil).
    void Enter(const QString& a, const QString& b, const QString& c) {
        editor->OnScoreChange(0, a);
        editor->OnScoreChange(1, b);
        editor->OnScoreChange(2, c);
        editor->OnNextPupil();
    }

    const Grid& grid() const { return editor->scoreGrid; }

    std::unique_ptr<GradeBook> book;
    Session session;
    test::FakePlatform platform;
    FakeMain main;
    std::unique_ptr<TestEditor> editor;
};

// --- Opening -------------------------------------------------------------------------------------

TEST_F(TestEditorTest, OpeningANewTestShowsDefaultsAndToday) {
    TestEditor& e = Open();
    EXPECT_EQ(e.nameBox, u" 1回目試験"_s);
    EXPECT_EQ(e.calendar, platform.today);
    EXPECT_EQ(e.dateBox, QStringLiteral("2026/12/07"));
    EXPECT_TRUE(e.viewpointChecks[0] && e.viewpointChecks[1] && e.viewpointChecks[2]);
    EXPECT_TRUE(e.pointsBoxes[0].isEmpty() && e.pointsBoxes[1].isEmpty() &&
                e.pointsBoxes[2].isEmpty());
    EXPECT_EQ(e.gridTitle, u"一学期 国語 第 1回 試験  "_s);
    EXPECT_EQ(e.viewpointLabels[0], u"表現"_s);
    EXPECT_EQ(e.viewpointLabels[2], u"言語"_s);
    EXPECT_EQ(e.pupilName, u"青木"_s);
    EXPECT_EQ(e.pupilBox, QStringLiteral("1"));
    EXPECT_EQ(e.pupilChoices, QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(session.CurrentStudentNo, 1);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox1"));
    EXPECT_FALSE(e.NameTouched);
    EXPECT_TRUE(platform.messages.isEmpty());
    for (int r = 1; r <= 6; ++r)
        for (int c = 2; c <= 6; ++c)
            EXPECT_TRUE(grid().Text(r, c).isEmpty()) << r << "," << c;
    EXPECT_EQ(grid().Text(6, 1), u"クラスの平均点"_s);
}

TEST_F(TestEditorTest, GridLayoutWidthsHeadersAndBands) {
    book = BookWithPupils({});
    for (int n = 0; n < 35; ++n)
        book->StudentNames[n] = QStringLiteral("P%1").arg(n + 1);
    book->RosterSize = 35;
    Open(1, 2, 4);
    EXPECT_EQ(editor->gridTitle, u"三学期 算数 第 5回 試験  "_s);
    EXPECT_EQ(grid().Rows(), 43);
    EXPECT_EQ(grid().Cols(), 7);
    const int widths[] = {400, 1600, 875, 875, 875, 875, 515};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(grid().ColWidth(c), widths[c]) << c;
    EXPECT_EQ(grid().RowString(0), u"No.|生徒氏名|思考|表・処|知・理|合計点|順位"_s);
    for (int c = 2; c <= 6; ++c)
        EXPECT_EQ(grid().ColAlignment(c), kAlignRightCenter);
    EXPECT_EQ(grid().Text(37, 0), QStringLiteral(" 37"));
    EXPECT_EQ(grid().Text(37, 1), u"クラスの平均点"_s);
    EXPECT_EQ(grid().Text(40, 0), QStringLiteral(" 40"));
    EXPECT_TRUE(grid().RowString(41).remove(u'|').isEmpty());
    for (int r = 1; r <= 42; ++r)
        for (int c = 0; c < 7; ++c) {
            const bool tinted = r % 2 == 1 && r <= 37;
            EXPECT_EQ(grid().CellBackground(r, c).has_value(), tinted) << r << "," << c;
            if (tinted) {
                EXPECT_EQ(*grid().CellBackground(r, c), qRgb(255, 255, 224));
            }
        }
}

TEST_F(TestEditorTest, OpeningARegisteredTestShowsItsScoresTotalsAveragesAndRanks) {
    const int S = TestSlot(0, 0, 0, 0);
    SetPupilValues(*book, S + 0, {80, 60, -2, -1});
    SetPupilValues(*book, S + 1, {70, 65, 50, -1});
    SetPupilValues(*book, S + 2, {90, 60, 40, -1});
    SetPupilValues(*book, S + 3, {240, 185, -2, -1});
    for (int k = 0; k < 3; ++k) {
        book->Scores[S + k][kAverageColumn] = 50;
        book->Scores[S + k][kPointsColumn] = 100;
    }
    book->Scores[S + 1][kPointsColumn] = 25;
    book->TestInfo[S][1] = u"漢字テスト"_s;
    book->TestInfo[S][0] = QStringLiteral("2026/4/5");
    TestEditor& e = Open();
    EXPECT_EQ(e.nameBox, u"漢字テスト"_s);
    EXPECT_EQ(e.calendar, QDate(2026, 4, 5));
    EXPECT_EQ(e.dateBox, QStringLiteral("2026/04/05"));
    EXPECT_EQ(e.pointsBoxes[0], QStringLiteral(" 100"));
    EXPECT_EQ(e.pointsBoxes[1], QStringLiteral(" 25"));
    EXPECT_EQ(e.scoreBoxes[0], QStringLiteral(" 80"));
    EXPECT_EQ(grid().RowString(1), u" 1|青木| 80| 70| 90| 240| 1"_s);
    EXPECT_EQ(grid().RowString(2), u" 2|伊藤| 60| 65| 60| 185| 2"_s);
    EXPECT_EQ(grid().RowString(3), u" 3|上田|*| 50| 40|*|"_s);
    EXPECT_EQ(grid().RowString(4), u" 4|江藤|||||"_s);
    EXPECT_EQ(grid().RowString(6), u" 6|クラスの平均点|70.0|61.7|63.3|212.5|"_s);
    EXPECT_EQ(session.AverageCount, 2);
}

TEST_F(TestEditorTest, UnreadableStoredDateStaysInTheBoxAndLeavesTheCalendar) {
    book->TestInfo[TestSlot(0, 0, 0, 0)][0] = u"4月の第2週"_s;
    TestEditor& e = Open();
    EXPECT_EQ(e.dateBox, u"4月の第2週"_s);
    EXPECT_EQ(e.calendar, platform.today);
}

TEST_F(TestEditorTest, EmptyStoredDateShowsTheCalendarsDate) {
    book->TestInfo[TestSlot(0, 0, 0, 0)][0].clear();
    TestEditor& e = Open();
    EXPECT_EQ(e.dateBox, QStringLiteral("2026/12/07"));
}

TEST_F(TestEditorTest, ViewpointsWithoutStoredAverageOpenUnchecked) {
    const int S = TestSlot(0, 0, 0, 0);
    SetPupilValues(*book, S + 0, {80, 60});
    SetPupilValues(*book, S + 1, {70, 65});
    book->Scores[S + 0][kAverageColumn] = 70;
    book->Scores[S + 1][kAverageColumn] = 67.5f;
    book->Scores[S + 2][kPointsColumn] = 30;
    TestEditor& e = Open();
    EXPECT_TRUE(e.viewpointChecks[0]);
    EXPECT_TRUE(e.viewpointChecks[1]);
    EXPECT_FALSE(e.viewpointChecks[2]);
    EXPECT_EQ(e.pointsBoxes[2], QStringLiteral(" 30"))
        << "the stored points are shown all the same";
    for (int r = 1; r <= 6; ++r)
        EXPECT_TRUE(grid().Text(r, 4).isEmpty());
    // The focus skips the unused box and stays among the score boxes (the name box would take
    // the next digit typed).
    e.OnScoreBoxKey(1, Qt::Key_Right);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox1"));
    e.GotFocus(QStringLiteral("scoreBox3"));
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox1"));
    e.OnScoreBoxKey(0, Qt::Key_Left);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox2"));
}

TEST_F(TestEditorTest, AllAveragesUnsetOpensWithAllViewpointsChecked) {
    book->Scores[TestSlot(0, 0, 0, 0)][kPointsColumn] = 10;
    TestEditor& e = Open();
    EXPECT_TRUE(e.viewpointChecks[0] && e.viewpointChecks[1] && e.viewpointChecks[2]);
    EXPECT_EQ(e.pointsBoxes[0], QStringLiteral(" 10"));
}

TEST_F(TestEditorTest, StartsAtTheFirstPupilWithANameWhenNumberOneTransferredOut) {
    book->StudentNames[0].clear();
    TestEditor& e = Open();
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_EQ(e.pupilName, u"伊藤"_s);
    EXPECT_EQ(e.pupilChoices, QStringList({"2", "3", "4"}));
}

TEST_F(TestEditorTest, AClassWithoutPupilsHasNoEntryRow) {
    book = BookWithPupils({});
    TestEditor& e = Open();
    EXPECT_EQ(session.CurrentStudentNo, 0);
    Enter(QStringLiteral("50"), QString(), QString());
    EXPECT_EQ(session.CurrentStudentNo, 0);
    EXPECT_TRUE(grid().Text(1, 2).isEmpty());
    ASSERT_TRUE(e.OnRegister());
    EXPECT_EQ(book->Scores[TestSlot(0, 0, 0, 0)][kAverageColumn], kNoData);
    EXPECT_EQ(book->Scores[SemesterAggregateSlot(0, 0, 0)][kAverageColumn], kNoData);
}

// --- Test definition ---------------------------------------------------------------------------

TEST_F(TestEditorTest, UncheckingEmptiesTheViewpointsColumnAndBoxes) {
    TestEditor& e = Open();
    e.pointsBoxes[1] = QStringLiteral("20");
    Enter(QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"));
    e.OnScoreChange(1, QStringLiteral("15"));
    e.OnViewpointCheck(1, false);
    EXPECT_FALSE(e.viewpointChecks[1]);
    EXPECT_TRUE(e.scoreBoxes[1].isEmpty());
    EXPECT_TRUE(e.pointsBoxes[1].isEmpty());
    EXPECT_TRUE(grid().Text(1, 3).isEmpty());
    EXPECT_TRUE(grid().Text(6, 3).isEmpty());
    // The totals no longer count the dropped viewpoint.
    EXPECT_EQ(grid().Text(1, 5), QStringLiteral(" 40"));
    EXPECT_EQ(grid().Text(6, 5), QStringLiteral("40.0"));
    e.OnViewpointCheck(1, true);
    EXPECT_TRUE(e.viewpointChecks[1]);
}

TEST_F(TestEditorTest, TheLastCheckedViewpointStaysChecked) {
    TestEditor& e = Open();
    Enter(QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"));
    e.OnViewpointCheck(0, false);
    e.OnViewpointCheck(1, false);
    e.OnViewpointCheck(2, false);
    EXPECT_FALSE(e.viewpointChecks[0]);
    EXPECT_FALSE(e.viewpointChecks[1]);
    EXPECT_TRUE(e.viewpointChecks[2]);
    EXPECT_EQ(grid().Text(1, 4), QStringLiteral(" 30"));
}

TEST_F(TestEditorTest, PointsBoxesKeepOnlyAPositiveLeadingNumber) {
    TestEditor& e = Open();
    e.OnPointsChange(0, QStringLiteral("0"));
    EXPECT_TRUE(e.pointsBoxes[0].isEmpty());
    e.OnPointsChange(0, QStringLiteral("a"));
    EXPECT_TRUE(e.pointsBoxes[0].isEmpty());
    e.OnPointsChange(0, QStringLiteral("-5"));
    EXPECT_TRUE(e.pointsBoxes[0].isEmpty());
    e.OnPointsChange(1, QStringLiteral(" 20"));
    EXPECT_EQ(e.pointsBoxes[1], QStringLiteral(" 20"));
    e.OnPointsChange(2, QStringLiteral("2"));
    EXPECT_EQ(e.pointsBoxes[2], QStringLiteral("2"));
}

TEST_F(TestEditorTest, NameClickOrEditTouchesTheName) {
    TestEditor& e = Open();
    e.OnNameClick();
    EXPECT_TRUE(e.NameTouched);
    TestEditor& f = Open();
    EXPECT_FALSE(f.NameTouched);
    f.OnNameChange(u"小テスト"_s);
    EXPECT_TRUE(f.NameTouched);
}

TEST_F(TestEditorTest, DateBoxAndCalendarFollowEachOther) {
    TestEditor& e = Open();
    e.OnDateChange(QStringLiteral("2026/11/03"));
    EXPECT_EQ(e.calendar, QDate(2026, 11, 3));
    e.OnDateChange(QStringLiteral("2026/11/"));
    EXPECT_EQ(e.calendar, QDate(2026, 11, 3));
    EXPECT_EQ(e.dateBox, QStringLiteral("2026/11/"));
    e.OnCalendarDatePicked(QDate(2027, 1, 15));
    EXPECT_EQ(e.dateBox, QStringLiteral("2027/01/15"));
    e.OnDateChange(QStringLiteral("xx"));
    e.OnCalendarClick();
    EXPECT_EQ(e.dateBox, QStringLiteral("2027/01/15"));
}

// --- Checks of score entries ---------------------------------------------------------------------

TEST_F(TestEditorTest, ScoreWithLeadingBlankPasses) {
    TestEditor& e = Open();
    Enter(QStringLiteral(" 85"), QString(), QString());
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(session.ScoreEntryError, 0);
    EXPECT_EQ(grid().Text(1, 2), QStringLiteral(" 85"));
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_EQ(e.pupilName, u"伊藤"_s);
    EXPECT_EQ(e.pupilBox, QStringLiteral(" 2"));
    EXPECT_EQ(grid().CurrentRow(), 2);
}

TEST_F(TestEditorTest, NonDigitsAreRefusedWithTheFirstMessage) {
    const QString texts[] = {u"８５"_s, u"8.5"_s, u"-5"_s, u"+5"_s, u"85a"_s, u"　85"_s};
    for (const QString& text : texts) {
        platform.messages.clear();
        TestEditor& e = Open();
        e.OnScoreChange(0, QStringLiteral("10"));
        e.OnScoreChange(1, text);
        e.OnNextPupil();
        EXPECT_EQ(platform.messages, QStringList{u"得点に数字以外の文字があります。"_s})
            << text.toStdString();
        EXPECT_EQ(session.ScoreEntryError, -1);
        EXPECT_EQ(session.CurrentStudentNo, 1);
        EXPECT_EQ(e.focus, QStringLiteral("scoreBox2"));
        EXPECT_TRUE(grid().Text(1, 2).isEmpty()) << "the grid stays untouched";
    }
}

TEST_F(TestEditorTest, ScoreAboveThePointsGivesTheSecondMessage) {
    TestEditor& e = Open();
    e.OnPointsChange(2, QStringLiteral("20"));
    e.OnScoreChange(2, QStringLiteral("21"));
    e.OnNextPupil();
    // The message names the box and its maximum.
    EXPECT_EQ(platform.messages, QStringList{u"言語の得点 21 が配点 20 を超えています。"_s});
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox3"));
    platform.messages.clear();
    e.OnScoreChange(2, QStringLiteral("20"));
    e.OnNextPupil();
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(session.CurrentStudentNo, 2);
}

TEST_F(TestEditorTest, ScoreAbove100GivesTheThirdMessage) {
    TestEditor& e = Open();
    e.OnScoreChange(0, QStringLiteral("100"));
    e.OnNextPupil();
    EXPECT_TRUE(platform.messages.isEmpty());
    e.OnScoreChange(0, QStringLiteral("101"));
    e.OnNextPupil();
    EXPECT_EQ(platform.messages, QStringList{u"表現の得点 101 が100点を超えています。"_s});
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox1"));
}

TEST_F(TestEditorTest, ChecksStopAtTheFirstFailingBox) {
    TestEditor& e = Open();
    e.OnPointsChange(0, QStringLiteral("10"));
    e.OnScoreChange(0, QStringLiteral("11"));
    e.OnScoreChange(1, QStringLiteral("x"));
    e.OnNextPupil();
    EXPECT_EQ(platform.messages, QStringList{u"表現の得点 11 が配点 10 を超えています。"_s});
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox1"));
}

// Enter in the name and the date moves on to the next field and never changes the pupil; in the
// score table Up and Down choose the pupil (the focus stays there) and Enter starts typing.
TEST_F(TestEditorTest, EnterInTheFieldsAndKeysInTheTable) {
    TestEditor& e = Open();
    e.OnViewpointCheck(0, false);
    const struct {
        const char* where; // "nameBox", "dateBox" or "grid"
        int key;
        int pupil;
        const char* focus;
    } steps[] = {
        {"nameBox", Qt::Key_Return, 1, "dateBox"}, {"dateBox", Qt::Key_Enter, 1, "scoreBox2"},
        {"grid", Qt::Key_Down, 2, "scoreGrid"},    {"grid", Qt::Key_Down, 3, "scoreGrid"},
        {"grid", Qt::Key_Up, 2, "scoreGrid"},      {"grid", Qt::Key_Return, 2, "scoreBox2"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.where) + " " + std::to_string(step.key));
        if (QLatin1String(step.where) == QLatin1String("grid"))
            EXPECT_TRUE(e.OnGridKey(step.key));
        else
            e.Field_Enter(QLatin1String(step.where));
        EXPECT_EQ(session.CurrentStudentNo, step.pupil);
        EXPECT_EQ(e.focus, QLatin1String(step.focus));
    }
    EXPECT_EQ(grid().CurrentRow(), 2);
    EXPECT_FALSE(e.OnGridKey(Qt::Key_Left)); // left to the table itself
    // A refused entry keeps the pupil, and the focus goes to the box refused.
    e.OnScoreChange(1, QStringLiteral("x"));
    EXPECT_TRUE(e.OnGridKey(Qt::Key_Down));
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox2"));
}

TEST_F(TestEditorTest, NextAndPreviousStayAfterAFailedCheck) {
    TestEditor& e = Open();
    Enter(QStringLiteral("50"), QString(), QString());
    e.OnScoreChange(0, QStringLiteral("abc"));
    e.OnPreviousPupil();
    EXPECT_EQ(session.CurrentStudentNo, 2);
    e.OnNextPupil();
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_EQ(platform.messages.size(), 2);
    EXPECT_EQ(e.scoreBoxes[0], QStringLiteral("abc"));
}

TEST_F(TestEditorTest, GridClickMovesOnAfterAFailedCheckAndDropsTheEntry) {
    TestEditor& e = Open();
    Enter(QStringLiteral("50"), QStringLiteral("40"), QString()); // pupil 1
    Enter(QStringLiteral("30"), QString(), QString());            // pupil 2
    e.OnScoreChange(0, QStringLiteral("5x"));                     // pupil 3
    e.OnNextPupil();
    ASSERT_EQ(session.CurrentStudentNo, 3);
    e.OnGridClick(2, 3);
    EXPECT_EQ(platform.messages.size(), 2);
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_EQ(e.scoreBoxes[0], QStringLiteral(" 30"));
    EXPECT_EQ(e.pupilName, u"伊藤"_s);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox2"));
    EXPECT_TRUE(grid().Text(3, 2).isEmpty()) << "the rejected entry is dropped";
    EXPECT_EQ(grid().CurrentRow(), 2);
    EXPECT_EQ(grid().CurrentCol(), 3);
}

TEST_F(TestEditorTest, GridClickFocusFollowsTheClickedViewpoint) {
    TestEditor& e = Open();
    e.OnGridClick(3, 4);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox3"));
    e.OnViewpointCheck(2, false);
    e.OnGridClick(2, 4);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox1"));
    e.OnViewpointCheck(0, false);
    e.OnGridClick(2, 4);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox2"));
    e.OnGridClick(2, 1);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox2"));
}

TEST_F(TestEditorTest, GridClickOutsideThePupilsDoesNothing) {
    TestEditor& e = Open();
    e.OnScoreChange(0, QStringLiteral("12"));
    e.OnGridClick(6, 2); // the class-average row
    e.OnGridClick(0, 2);
    e.OnGridClick(41, 2);
    EXPECT_EQ(session.CurrentStudentNo, 1);
    EXPECT_EQ(e.scoreBoxes[0], QStringLiteral("12"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

// --- Totals, averages and ranks ------------------------------------------------------------------

TEST_F(TestEditorTest, AbsentBoxGivesAbsentTotalAndNoRankButCountsInItsViewpoint) {
    Open();
    Enter(QStringLiteral("*"), QStringLiteral("80"), QStringLiteral("70"));
    Enter(QStringLiteral("60"), QStringLiteral("40"), QStringLiteral("50"));
    EXPECT_EQ(grid().RowString(1), u" 1|青木|*| 80| 70|*|*"_s);
    EXPECT_EQ(grid().RowString(2), u" 2|伊藤| 60| 40| 50| 150| 1"_s);
    EXPECT_EQ(grid().RowString(6), u" 6|クラスの平均点|60.0|60.0|60.0|150.0|"_s);
    EXPECT_EQ(session.AverageCount, 1);
}

TEST_F(TestEditorTest, EqualTotalsShareARank) {
    Open();
    Enter(QStringLiteral("80"), QStringLiteral("80"), QStringLiteral("80"));   // 240
    Enter(QStringLiteral("100"), QStringLiteral("100"), QStringLiteral("50")); // 250
    Enter(QStringLiteral("50"), QStringLiteral("50"), QStringLiteral("100"));  // 200
    Enter(QStringLiteral("90"), QStringLiteral("90"), QStringLiteral("60"));   // 240
    EXPECT_EQ(grid().Text(1, 5), QStringLiteral(" 240"));
    EXPECT_EQ(grid().Text(2, 6), QStringLiteral(" 1"));
    EXPECT_EQ(grid().Text(1, 6), QStringLiteral(" 2"));
    EXPECT_EQ(grid().Text(4, 6), QStringLiteral(" 2"));
    EXPECT_EQ(grid().Text(3, 6), QStringLiteral(" 4"));
    EXPECT_EQ(session.WorkValues[0], QString()) << "candidates are used up";
}

TEST_F(TestEditorTest, AllEmptyRowEmptiesItsTotalAndRank) {
    TestEditor& e = Open();
    Enter(QStringLiteral("80"), QString(), QString());
    e.OnPreviousPupil();
    ASSERT_EQ(grid().Text(1, 6), QStringLiteral(" 1"));
    Enter(QString(), QString(), QString());
    EXPECT_EQ(grid().RowString(1), u" 1|青木|||||"_s);
}

TEST_F(TestEditorTest, ABoxOfBlanksHoldsNoScore) {
    TestEditor& e = Open();
    Enter(QStringLiteral("80"), QStringLiteral("20"), QString());
    e.OnPreviousPupil();
    Enter(QStringLiteral(" "), QStringLiteral("  "), QString());
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(grid().RowString(1), u" 1|青木|||||"_s);
    EXPECT_EQ(grid().Text(6, 2), QStringLiteral("80.0")) << "a column nobody has keeps its text";
}

TEST_F(TestEditorTest, AveragesShowOneDecimal) {
    Open();
    Enter(QStringLiteral("70"), QStringLiteral("70"), QString());
    Enter(QStringLiteral("75"), QStringLiteral("70"), QString());
    EXPECT_EQ(grid().Text(6, 2), QStringLiteral("72.5"));
    EXPECT_EQ(grid().Text(6, 3), QStringLiteral("70.0"));
    EXPECT_TRUE(grid().Text(6, 4).isEmpty()) << "a column nobody has keeps its text";
    EXPECT_EQ(session.AverageCount, 2);
}

TEST_F(TestEditorTest, HugeStoredScoresDoNotOverflowTheAverage) {
    const int S = TestSlot(0, 0, 0, 0);
    SetPupilValues(*book, S + 0, {-1, 30000, 30000, 30000});
    Open();
    EXPECT_EQ(grid().Text(6, 2), QStringLiteral("30,000.0"));
}

// --- Moving between pupils -----------------------------------------------------------------------

TEST_F(TestEditorTest, NextAndPreviousSkipPupilsWithoutNameAndStopAtTheEnds) {
    book->StudentNames[1].clear(); // pupil 2 transferred out
    TestEditor& e = Open();
    e.OnPreviousPupil();
    EXPECT_EQ(session.CurrentStudentNo, 1);
    e.OnNextPupil();
    EXPECT_EQ(session.CurrentStudentNo, 3);
    e.OnNextPupil();
    e.OnNextPupil();
    EXPECT_EQ(session.CurrentStudentNo, 4);
    e.OnPreviousPupil();
    e.OnPreviousPupil();
    EXPECT_EQ(session.CurrentStudentNo, 1);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox1"));
}

TEST_F(TestEditorTest, PupilBoxAcceptsOnlyPupilsOfTheRoster) {
    book->StudentNames[2].clear(); // pupil 3 transferred out
    TestEditor& e = Open();
    e.OnScoreChange(0, QStringLiteral("40"));
    const QString refused[] = {QStringLiteral("3"),
                               QStringLiteral("5"),
                               QStringLiteral("6"),
                               QStringLiteral("41"),
                               QStringLiteral("0"),
                               QStringLiteral("abc"),
                               QString()};
    for (const QString& choice : refused) {
        e.OnPupilChosen(choice);
        EXPECT_EQ(session.CurrentStudentNo, 1) << choice.toStdString();
        EXPECT_EQ(e.scoreBoxes[0], QStringLiteral("40")) << "the entry stays";
    }
    EXPECT_EQ(platform.messages.size(), static_cast<qsizetype>(std::size(refused)));
    EXPECT_EQ(platform.messages.front(), TestEditor::MessageNoSuchPupil());
    EXPECT_EQ(e.pupilBox, QStringLiteral(" 1"));
    e.OnPupilChosen(QStringLiteral("4"));
    EXPECT_EQ(session.CurrentStudentNo, 4);
    EXPECT_EQ(grid().Text(1, 2), QStringLiteral(" 40"));
    EXPECT_EQ(e.pupilName, u"江藤"_s);
}

TEST_F(TestEditorTest, PupilBoxMovesOnAfterAFailedCheck) {
    TestEditor& e = Open();
    e.OnScoreChange(0, QStringLiteral("x"));
    e.OnPupilChosen(QStringLiteral("3"));
    EXPECT_EQ(platform.messages, QStringList{TestEditor::MessageNotDigits()});
    EXPECT_EQ(session.CurrentStudentNo, 3);
    EXPECT_TRUE(e.scoreBoxes[0].isEmpty());
}

TEST_F(TestEditorTest, GridClickOnAPupilWithoutNameIsRefused) {
    book->StudentNames[1].clear();
    TestEditor& e = Open();
    e.OnGridClick(2, 2);
    EXPECT_EQ(session.CurrentStudentNo, 1);
    EXPECT_EQ(platform.messages, QStringList{TestEditor::MessageNoSuchPupil()});
}

TEST_F(TestEditorTest, ArrowKeysMoveBetweenBoxesAndPupils) {
    TestEditor& e = Open();
    EXPECT_TRUE(e.OnScoreBoxKey(0, Qt::Key_Right));
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox2"));
    e.OnScoreBoxKey(2, Qt::Key_Right);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox1"));
    e.OnScoreBoxKey(0, Qt::Key_Left);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox3"));
    e.OnScoreBoxKey(1, Qt::Key_Left);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox1"));

    e.OnScoreChange(1, QStringLiteral("33"));
    e.OnScoreBoxKey(1, Qt::Key_Down);
    EXPECT_EQ(session.CurrentStudentNo, 2);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox2"));
    EXPECT_EQ(grid().Text(1, 3), QStringLiteral(" 33"));
    e.OnScoreBoxKey(2, Qt::Key_Up);
    EXPECT_EQ(session.CurrentStudentNo, 1);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox3"));
    EXPECT_EQ(e.scoreBoxes[1], QStringLiteral(" 33"));

    // A refused entry keeps the focus on the refused box.
    e.OnScoreChange(0, QStringLiteral("x"));
    e.OnScoreBoxKey(2, Qt::Key_Down);
    EXPECT_EQ(session.CurrentStudentNo, 1);
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox1"));
    EXPECT_FALSE(e.OnScoreBoxKey(0, Qt::Key_5));
}

TEST_F(TestEditorTest, AbsenceMarksTheCheckedViewpoints) {
    TestEditor& e = Open();
    e.OnViewpointCheck(0, false);
    e.OnScoreChange(1, QStringLiteral("20"));
    e.OnAbsent();
    EXPECT_TRUE(e.scoreBoxes[0].isEmpty());
    EXPECT_EQ(e.scoreBoxes[1], QStringLiteral("*"));
    EXPECT_EQ(e.scoreBoxes[2], QStringLiteral("*"));
    EXPECT_EQ(e.focus, QStringLiteral("scoreBox2"));
    EXPECT_TRUE(grid().Text(1, 3).isEmpty()) << "nothing reaches the grid before the commit";
    e.OnNextPupil();
    EXPECT_EQ(grid().RowString(1), u" 1|青木||*|*|*|*"_s);
}

// --- Registration and cancel ---------------------------------------------------------------------

TEST_F(TestEditorTest, RegistrationStoresTheTestAndAggregates) {
    TestEditor& e = Open(2, 1, 3);
    e.OnNameClick();
    e.OnNameChange(u"天気の単元"_s);
    e.OnDateChange(QStringLiteral("2026/10/20"));
    e.OnPointsChange(0, QStringLiteral("50"));
    e.OnPointsChange(1, QStringLiteral("30"));
    e.OnPointsChange(2, QStringLiteral("20"));
    Enter(QStringLiteral("45"), QStringLiteral("25"), QStringLiteral("15"));
    Enter(QStringLiteral("40"), QStringLiteral("30"), QStringLiteral("20"));
    Enter(QStringLiteral("*"), QStringLiteral("*"), QStringLiteral("*"));
    e.OnScoreChange(0, QStringLiteral("35"));
    platform.choiceAnswers = {kAnswerYes}; // register without pupil 4's other two scores
    ASSERT_TRUE(e.OnRegister());           // pupil 4 committed by the registration itself
    EXPECT_EQ(main.steps, QStringList{u"理科 二学期 天気の単元の登録"_s});

    const int S = TestSlot(1, 2, 3, 0);
    EXPECT_EQ(book->TestInfo[S][1], u"天気の単元"_s);
    EXPECT_EQ(book->TestInfo[S][0], QStringLiteral("2026/10/20"));
    EXPECT_EQ(book->Scores[S + 0][kPointsColumn], 50);
    EXPECT_EQ(book->Scores[S + 1][kPointsColumn], 30);
    EXPECT_EQ(book->Scores[S + 2][kPointsColumn], 20);
    const float expected[4][4] = {
        {45, 40, -2, 35}, {25, 30, -2, -1}, {15, 20, -2, -1}, {85, 90, -2, 35}};
    for (int k = 0; k < 4; ++k)
        for (int n = 0; n < 4; ++n)
            EXPECT_EQ(book->Scores[S + k][n], expected[k][n]) << k << "," << n;
    EXPECT_FLOAT_EQ(book->Scores[S + 0][kAverageColumn], 40.0f);
    EXPECT_FLOAT_EQ(book->Scores[S + 1][kAverageColumn], 27.5f);
    EXPECT_FLOAT_EQ(book->Scores[S + 3][kAverageColumn], 70.0f);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(book->Scores[S + k][kCountColumn], 3) << k;
    // The subject's sums were recomputed.
    EXPECT_EQ(book->Scores[SemesterAggregateSlot(1, 2, 0)][0], 45);
    EXPECT_EQ(book->Scores[SemesterAggregateSlot(1, 2, 3)][3], 35);
    EXPECT_EQ(book->Scores[SemesterAggregateSlot(1, 2, 0)][kPointsColumn], 50);
    EXPECT_EQ(book->Scores[YearAggregateSlot(2, 3)][1], 90);

    EXPECT_TRUE(session.CautionAnswer);
    EXPECT_TRUE(session.NeedsSave);
    EXPECT_EQ(main.calls, QStringList({"EnableMainWindow", "TreeView1_refresh"}));
    EXPECT_TRUE(e.Closed());
    EXPECT_FALSE(e.NameTouched);
}

TEST_F(TestEditorTest, RegistrationWithoutTouchingTheNameKeepsTheTree) {
    TestEditor& e = Open();
    e.OnPointsChange(0, QStringLiteral("10"));
    Enter(QStringLiteral("5"), QString(), QString());
    platform.choiceAnswers = {kAnswerYes}; // the other pupils have no scores
    ASSERT_TRUE(e.OnRegister());
    EXPECT_EQ(main.calls, QStringList{"EnableMainWindow"});
    EXPECT_EQ(book->TestInfo[TestSlot(0, 0, 0, 0)][0], QStringLiteral("2026/12/07"));
}

// A checked viewpoint with scores must have its points: the ratings are measured against them.
// Registration refuses it, names the viewpoint, goes to its points box and writes nothing.
TEST_F(TestEditorTest, RegistrationRefusesScoresWithoutPoints) {
    const struct {
        const char* score;  // pupil 1's score in viewpoint 1 (表現)
        const char* points; // its points box
        bool checked;       // 表現 assessed
        bool refused;
    } cases[] = {
        {"50", "", true, true}, {"50", "0", true, true}, {"50", "60", true, false},
        {"*", "", true, false}, {"", "", true, false},   {"50", "", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.score) + "/" + c.points + "/" + std::to_string(c.checked));
        platform.messages.clear();
        const GradeBook before = *book;
        TestEditor& e = Open();
        e.OnPointsChange(1, QStringLiteral("60")); // 言語 has points and a score
        e.OnPointsChange(0, QLatin1String(c.points));
        Enter(QLatin1String(c.score), QStringLiteral("50"), QString());
        if (!c.checked)
            e.OnViewpointCheck(0, false);
        platform.choiceAnswers = {kAnswerYes}; // pupils 2 to 4 have no scores
        EXPECT_EQ(e.OnRegister(), !c.refused);
        if (c.refused) {
            EXPECT_EQ(platform.messages, QStringList{u"観点「表現」の配点を入力してください。"_s});
            EXPECT_EQ(e.focus, QStringLiteral("pointsBox1"));
            EXPECT_TRUE(book->Scores == before.Scores);
            EXPECT_FALSE(e.Closed());
        } else {
            EXPECT_EQ(platform.messages, platform.questions); // nothing but the question
        }
        platform.questions.clear();
        *book = before;
    }
}

// The messages name up to ten attendance numbers, then how many more (the messages themselves:
// RegistrationRefusesPointsBelowAScoreAndAsksAboutMissingScores).
TEST(TestEditorMessages, NameUpToTenPupilsThenHowManyMore) {
    EXPECT_EQ(TestEditor::PupilNumbersText({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 40}),
              u"1、2、3、4、5、6、7、8、9、10 ほか 2 名"_s);
}

// Registration refuses points below a score already entered and asks before it stores a test
// in which named pupils have no score; nothing is stored until it goes through. A class of six,
// number 5 transferred out; the stored test's points are 40, 50, 50.
TEST_F(TestEditorTest, RegistrationRefusesPointsBelowAScoreAndAsksAboutMissingScores) {
    const auto missing = [](const char16_t* count, const char16_t* numbers) {
        return u"得点が入っていない児童が "_s + QString::fromUtf16(count) +
               u" 名います（出席番号 "_s + QString::fromUtf16(numbers) +
               u"）。この試験のクラスの平均点には数えませんが、学期と学年の合計点では 0 点として"
               u"扱い、順位と評定もその合計で決まります。このまま登録しますか？"_s;
    };
    const auto over = [](const char16_t* numbers) {
        return u"出席番号 "_s + QString::fromUtf16(numbers) +
               u" の表現の得点が配点 35 を超えています。"_s;
    };
    const char* kAll = "36 50 50|35 50 50|38 50 50|40 50 50|- - -|37 50 50";
    const char* kOnlyFirst = "36 50 50|- - -|- - -|- - -|- - -|- - -";
    // scores: pupils 1..6, three viewpoints each ("-" none, "*" absent); act: a number is typed
    // into the points box of 表現, "uncheck2" unchecks the second viewpoint, "yes" answers the
    // missing-scores question (else Enter, its default); kept: "focus pupil" when the editor
    // stays open, "" when the test is registered.
    const struct {
        const char* what;
        const char* scores;
        const char* act;
        QString message;
        const char* kept;
    } cases[] = {
        {"points lowered below scores: every pupil named",
         "30 50 50|35 50 50|38 50 50|40 50 50|- - -|37 50 50", "35", over(u"3、4、6"),
         "pointsBox1 1"},
        {"the current pupil's own score counts too", kAll, "35", over(u"1、3、4、6"),
         "pointsBox1 1"},
        {"points equal to the top score", kAll, "40", QString(), ""},
        {"missing scores, Enter keeps the editor", "36 50 50|35 50 50|- - -|- - -|- - -|- - -", "",
         missing(u"3", u"3、4、6"), "scoreBox1 3"},
        {"more than three missing", kOnlyFirst, "", missing(u"4", u"2、3、4、6"), "scoreBox1 2"},
        {"missing scores registered on はい", kOnlyFirst, "yes", missing(u"4", u"2、3、4、6"), ""},
        {"one viewpoint missing counts; its box gets the focus",
         "36 50 50|35 - 50|38 50 50|40 50 50|- - -|37 50 50", "", missing(u"1", u"2"),
         "scoreBox2 2"},
        {"absences and an unchecked viewpoint count as entered",
         "36 50 50|* * *|38 - 50|40 50 50|- - -|37 - 50", "uncheck2", QString(), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        book = BookWithPupils({u"青木", u"伊藤", u"上田", u"江藤", u"", u"加藤"});
        const int S = TestSlot(0, 0, 0, 0);
        const QStringList pupils = QString::fromLatin1(c.scores).split(u'|');
        for (int n = 0; n < pupils.size(); ++n) {
            const QStringList values = pupils[n].split(u' ');
            for (int k = 0; k < 3; ++k)
                book->Scores[S + k][n] = values[k] == u"-"   ? kNoData
                                         : values[k] == u"*" ? kAbsent
                                                             : values[k].toFloat();
        }
        for (int k = 0; k < 3; ++k) {
            book->Scores[S + k][kPointsColumn] = k == 0 ? 40 : 50;
            book->Scores[S + k][kAverageColumn] = 1; // a registered test: every viewpoint checked
        }
        const GradeBook before = *book;
        platform.messages.clear();
        platform.choiceLists.clear();
        const QString act = QString::fromLatin1(c.act);
        if (act == u"yes")
            platform.choiceAnswers = {kAnswerYes};
        TestEditor& e = Open();
        if (act == u"uncheck2")
            e.OnViewpointCheck(1, false);
        else if (!act.isEmpty() && act != u"yes")
            e.OnPointsChange(0, act);

        const bool registered = !*c.kept;
        EXPECT_EQ(e.OnRegister(), registered);
        EXPECT_EQ(platform.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_EQ(e.Closed(), registered);
        if (c.message.startsWith(u"得点が"_s)) {
            EXPECT_EQ(platform.choiceLists, QStringList{u"はい(&Y)|いいえ(&N)"_s});
        }
        if (!registered) {
            const QStringList kept = QString::fromLatin1(c.kept).split(u' ');
            const int pupil = kept[1].toInt();
            EXPECT_TRUE(book->Scores == before.Scores);
            EXPECT_EQ(e.focus, kept[0]);
            EXPECT_EQ(session.CurrentStudentNo, pupil);
            EXPECT_EQ(e.pupilName, book->StudentNames[pupil - 1]);
        }
    }
}

TEST_F(TestEditorTest, RegistrationStopsOnAFailedCheck) {
    TestEditor& e = Open();
    const GradeBook before = *book;
    e.OnScoreChange(0, QStringLiteral("101"));
    EXPECT_FALSE(e.OnRegister());
    EXPECT_FALSE(e.Closed());
    EXPECT_TRUE(book->Scores == before.Scores);
    EXPECT_TRUE(main.calls.isEmpty());
    EXPECT_FALSE(session.NeedsSave);
}

TEST_F(TestEditorTest, AbsenceMakesTheSumsCarryTheMarker) {
    // Test 2 of the semester was registered earlier: pupil 1 scored 30, 20, 10.
    const int earlier = TestSlot(0, 0, 1, 0);
    SetPupilValues(*book, earlier + 0, {30, 50, 40, 20});
    SetPupilValues(*book, earlier + 1, {20, 30, 30, 20});
    SetPupilValues(*book, earlier + 2, {10, 20, 30, 20});
    SetPupilValues(*book, earlier + 3, {60, 100, 100, 60});
    // A test of another semester counts in the whole year.
    SetPupilValues(*book, TestSlot(2, 0, 0, 0), {5, 5, 5, 5});
    TestEditor& e = Open();
    for (int k = 0; k < kViewpoints; ++k)
        e.OnPointsChange(k, QStringLiteral("50"));
    e.OnAbsent();
    e.OnNextPupil();
    Enter(QStringLiteral("40"), QStringLiteral("40"), QStringLiteral("40"));
    Enter(QStringLiteral("30"), QStringLiteral("30"), QStringLiteral("30"));
    Enter(QStringLiteral("20"), QStringLiteral("20"), QStringLiteral("20"));
    ASSERT_TRUE(e.OnRegister());

    const int A = SemesterAggregateSlot(0, 0, 0);
    EXPECT_EQ(book->Scores[A + 0][0], 10000 + 30);
    EXPECT_EQ(book->Scores[A + 3][0], 10000 + 60);
    EXPECT_EQ(book->Scores[A + 0][1], 90);
    const int Y = YearAggregateSlot(0, 0);
    EXPECT_EQ(book->Scores[Y + 0][0], 10000 + 35);
    EXPECT_EQ(book->Scores[Y + 3][0], 10000 + 60);
    // The class averages leave the marker out: (30 + 90 + 70 + 40) / 4.
    EXPECT_FLOAT_EQ(book->Scores[A + 0][kAverageColumn], 57.5f);
    EXPECT_FLOAT_EQ(book->Scores[Y + 0][kAverageColumn], 62.5f);
    EXPECT_LT(book->Scores[A + 3][kAverageColumn], 10000);
}

TEST_F(TestEditorTest, UncheckedViewpointKeepsItsStoredPoints) {
    const int S = TestSlot(0, 0, 0, 0);
    SetPupilValues(*book, S + 2, {15, 18, 12, 10});
    for (int k = 0; k < 3; ++k) {
        book->Scores[S + k][kPointsColumn] = 20;
        book->Scores[S + k][kAverageColumn] = 10;
    }
    TestEditor& e = Open();
    ASSERT_EQ(e.pointsBoxes[2], QStringLiteral(" 20"));
    e.OnViewpointCheck(2, false);
    EXPECT_TRUE(e.pointsBoxes[2].isEmpty());
    platform.choiceAnswers = {kAnswerYes}; // the other viewpoints have no scores
    ASSERT_TRUE(e.OnRegister());
    EXPECT_EQ(book->Scores[S + 2][kPointsColumn], 20);
    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(book->Scores[S + 2][n], kNoData);
    EXPECT_EQ(book->Scores[S + 2][kAverageColumn], kNoData);
    EXPECT_EQ(book->Scores[S + 3][0], kNoData) << "the total left with the viewpoint";
}

TEST_F(TestEditorTest, CancelAsksBeforeThrowingAwayWhatWasTyped) {
    const int S = TestSlot(0, 0, 0, 0);
    SetPupilValues(*book, S + 0, {10, 20, 30, 40});
    book->Scores[S][kAverageColumn] = 25;
    const GradeBook before = *book;
    const std::function<void(TestEditor&)> changes[] = {
        [](TestEditor& e) { e.OnNameChange(QStringLiteral("X")); },
        [](TestEditor& e) { e.OnDateChange(QStringLiteral("2026/01/01")); },
        [](TestEditor& e) { e.OnPointsChange(0, QStringLiteral("90")); },
        [](TestEditor& e) { e.OnScoreChange(1, QStringLiteral("7")); }, // not yet in the grid
        [](TestEditor& e) { e.OnViewpointCheck(1, true); }, // unchecked at opening: no average
        [this](TestEditor&) {
            for (int i = 0; i < 4; ++i)
                Enter(QStringLiteral("50"), QStringLiteral("*"), QStringLiteral("7"));
        },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        SCOPED_TRACE(i);
        platform.questions.clear();
        main.calls.clear();
        TestEditor& e = Open();
        changes[i](e);
        const QString name = e.nameBox;
        platform.answers = {false}; // No: back to the editor, nothing changed
        EXPECT_FALSE(e.OnCancel());
        EXPECT_FALSE(e.Closed());
        EXPECT_EQ(e.nameBox, name);
        EXPECT_TRUE(main.calls.isEmpty());
        platform.answers = {true};
        EXPECT_TRUE(e.Form_Unload());
        EXPECT_EQ(platform.questions, QStringList({DiscardQuestion(), DiscardQuestion()}));
        EXPECT_TRUE(e.Closed());
        EXPECT_TRUE(book->Scores == before.Scores);
        EXPECT_TRUE(book->TestInfo == before.TestInfo);
        EXPECT_FALSE(session.NeedsSave);
        EXPECT_EQ(main.calls, QStringList{"EnableMainWindow"});
    }
    // Without changes the editor closes at once.
    platform.questions.clear();
    TestEditor& e = Open();
    EXPECT_TRUE(e.OnCancel());
    EXPECT_TRUE(platform.questions.isEmpty());
}

TEST_F(TestEditorTest, CloseBoxActsAsCancel) {
    session.CautionAnswer = true;
    TestEditor& e = Open();
    Enter(QStringLiteral("50"), QString(), QString());
    platform.answers = {true}; // throw away what was typed
    e.Form_Unload();
    EXPECT_FALSE(session.CautionAnswer);
    EXPECT_EQ(main.calls, QStringList{"EnableMainWindow"});
    EXPECT_EQ(book->Scores[TestSlot(0, 0, 0, 0)][0], kNoData);
}

TEST_F(TestEditorTest, SemicolonOrLineBreakInNameOrDateIsRefused) {
    const struct {
        QString name, date, field;
    } cases[] = {
        {QStringLiteral("a;b"), QStringLiteral("2026/12/07"), u"試験の名称"_s},
        {QStringLiteral("a\nb"), QStringLiteral("2026/12/07"), u"試験の名称"_s},
        {QStringLiteral("ab"), QStringLiteral("7;12"), u"試験の実施日"_s},
        {QStringLiteral("ab"), QStringLiteral("7\r\n12"), u"試験の実施日"_s},
    };
    for (const auto& c : cases) {
        platform.messages.clear();
        main.calls.clear();
        const GradeBook before = *book;
        TestEditor& e = Open();
        e.OnNameChange(c.name);
        e.OnDateChange(c.date);
        Enter(QStringLiteral("50"), QString(), QString());
        EXPECT_FALSE(e.OnRegister());
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_TRUE(platform.messages[0].startsWith(c.field)) << platform.messages[0].toStdString();
        EXPECT_FALSE(e.Closed());
        EXPECT_TRUE(book->Scores == before.Scores);
        EXPECT_TRUE(book->TestInfo == before.TestInfo);
        EXPECT_TRUE(main.calls.isEmpty());
        EXPECT_FALSE(session.NeedsSave);
        EXPECT_EQ(e.focus, QString::fromLatin1(c.field == u"試験の名称"_s ? "nameBox" : "dateBox"));
    }
}

TEST_F(TestEditorTest, StoreGridScoreReadsEmptyAbsentAndNumbers) {
    TestEditor& e = Open();
    const int slot = TestSlot(0, 0, 0, 0);
    e.scoreGrid.SetText(1, 2, QString());
    e.StoreGridScore(slot, 0, 1, 2);
    EXPECT_EQ(book->Scores[slot][0], kNoData);
    e.scoreGrid.SetText(1, 2, QStringLiteral("*"));
    e.StoreGridScore(slot, 0, 1, 2);
    EXPECT_EQ(book->Scores[slot][0], kAbsent);
    e.scoreGrid.SetText(1, 2, QStringLiteral(" 85"));
    e.StoreGridScore(slot, 0, 1, 2);
    EXPECT_EQ(book->Scores[slot][0], 85);
    e.scoreGrid.SetText(6, 2, QStringLiteral("72.5"));
    e.StoreGridScore(slot, kAverageColumn, 6, 2);
    EXPECT_EQ(book->Scores[slot][kAverageColumn], 72.5f);
}

TEST_F(TestEditorTest, AveragesWithADecimalCommaAreStoredWithTheirDecimals) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Open().OnPointsChange(0, QStringLiteral("100"));
    Enter(QStringLiteral("70"), QString(), QString());
    Enter(QStringLiteral("75"), QString(), QString());
    const QString shown = grid().Text(6, 2);
    platform.choiceAnswers = {kAnswerYes}; // pupils 3 and 4 have no scores
    const bool registered = editor->OnRegister();
    QLocale::setDefault(saved);
    EXPECT_EQ(shown, QStringLiteral("72,5"));
    ASSERT_TRUE(registered);
    EXPECT_EQ(book->Scores[TestSlot(0, 0, 0, 0)][kAverageColumn], 72.5f);
}

TEST_F(TestEditorTest, WriteGridScoreWritesOnlyWhenTheTextDiffers) {
    TestEditor& e = Open();
    e.WriteGridScore(1, 2, -1);
    EXPECT_EQ(grid().Text(1, 2), QString());
    e.WriteGridScore(1, 2, -2);
    EXPECT_EQ(grid().Text(1, 2), QStringLiteral("*"));
    e.WriteGridScore(1, 2, 7);
    EXPECT_EQ(grid().Text(1, 2), QStringLiteral(" 7"));
    e.WriteGridScore(1, 2, -3);
    EXPECT_EQ(grid().Text(1, 2), QStringLiteral("-3"));
}

} // namespace
} // namespace kirune
