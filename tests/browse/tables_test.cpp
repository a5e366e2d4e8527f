#include "bookfixture.h"
#include "browse/rules.h"
#include "browse/tables.h"

#include "support/testutil.h"
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace kirune;
using kirune::testing::BookWithPupils;
using kirune::testing::SetPupilValues;

namespace {

const QChar CR(13);

// A whole grid row as Grid::RowString gives it: the listed cells, then empty ones up to 15.
QString Row(std::initializer_list<const char16_t*> cells) {
    QStringList out;
    for (const char16_t* cell : cells)
        out << QString::fromUtf16(cell);
    while (out.size() < 15)
        out << QString();
    return out.join(u'|');
}

// The main grid as the main window holds it after loading and resetting for a table.
Grid MainGrid(const GradeBook& book) {
    Grid grid(2, 2);
    InitMainGrid(book, grid);
    return grid;
}

constexpr int kSubj = 1; // 算数: 思考, 表・処, 知・理

Session Selection(int subject, int semester, int test = 0, int viewpoint = 0) {
    Session session;
    session.CurrentSubject = static_cast<int16_t>(subject);
    session.CurrentSemester = static_cast<int16_t>(semester);
    session.CurrentTest = static_cast<int16_t>(test);
    session.CurrentViewpoint = static_cast<int16_t>(viewpoint);
    return session;
}

const char16_t* const kHeading = u"令和6年度 5年2組 山田花子 生徒数（";

} // namespace

// ---------------------------------------------------------------------------------------------
// Test table

TEST(TestTable, BeforeAnyRegistrationEverythingIsEmpty) {
    auto book = BookWithPupils({u"青木", u"", u"佐藤"});
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 0, 2);
    QString caption;
    ShowTestTable(*book, session, grid, caption);

    EXPECT_EQ(caption, QString::fromUtf16(kHeading) + u" 2名）　算数　一学期  3回目試験"_s);
    EXPECT_EQ(session.ShownColumnCount, 7);
    ASSERT_EQ(grid.Rows(), 6);
    EXPECT_EQ(grid.RowString(0),
              Row({u"No.", u"生徒氏名", u"思考", u"表・処", u"知・理", u"合計点", u"順位"}));
    EXPECT_EQ(grid.RowString(1), Row({u" 1", u"青木"}));
    EXPECT_EQ(grid.RowString(2), Row({u" 2"})) << "a transferred pupil keeps only the number";
    EXPECT_EQ(grid.RowString(3), Row({u" 3", u"佐藤"}));
    EXPECT_EQ(grid.RowString(4), Row({}));
    EXPECT_EQ(grid.RowString(5), Row({u"", u"クラスの平均点"}));
}

TEST(TestTable, WidthsAndAlignment) {
    auto book = BookWithPupils({u"a"});
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 0, 0);
    QString caption;
    ShowTestTable(*book, session, grid, caption);
    EXPECT_EQ(grid.ColWidth(0), 400);
    EXPECT_EQ(grid.ColWidth(1), 1600);
    EXPECT_EQ(grid.ColAlignment(1), kAlignDefault);
    for (int c = 2; c <= 6; ++c) {
        EXPECT_EQ(grid.ColWidth(c), 800) << c;
        EXPECT_EQ(grid.ColAlignment(c), kAlignRightCenter) << c;
    }
    EXPECT_EQ(grid.ColWidth(7), Grid::kDefaultColWidth) << "columns the table does not use";
}

TEST(TestTable, ScoresAbsencesAveragesAndRanks) {
    auto book = BookWithPupils({u"a", u"", u"c", u"d", u"e"});
    const int t = TestSlot(2, kSubj, 9, 0);
    SetPupilValues(*book, t + 0, {30.5f, 99, -2, 35, 50});
    SetPupilValues(*book, t + 1, {39.5f, 99, 20, 35, -1});
    SetPupilValues(*book, t + 2, {-1, 99, 10, 0, -1});
    SetPupilValues(*book, t + 3, {70, 297, -2, 70, 50});
    book->Scores[t + 0][kAverageColumn] = 38.5f;
    book->Scores[t + 1][kAverageColumn] = 1234.0f;
    book->Scores[t + 2][kAverageColumn] = -1.0f;
    book->Scores[t + 3][kAverageColumn] = 63.3333f;
    book->TestInfo[t][0] = QStringLiteral("2024/12/10");
    book->TestInfo[t][1] = u"期末試験"_s;
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 2, 9);
    QString caption;
    ShowTestTable(*book, session, grid, caption);

    EXPECT_EQ(caption, QString::fromUtf16(kHeading) + u" 4名）　算数　2024/12/10 期末試験"_s);
    // 30.5 and 39.5 round halves to even.
    EXPECT_EQ(grid.RowString(1), Row({u" 1", u"a", u" 30", u" 40", u"", u" 70", u" 1"}));
    EXPECT_EQ(grid.RowString(2), Row({u" 2"}));
    EXPECT_EQ(grid.RowString(3), Row({u" 3", u"c", u"*", u" 20", u" 10", u"*", u""}))
        << "an absent total gets no rank";
    EXPECT_EQ(grid.RowString(4), Row({u" 4", u"d", u" 35", u" 35", u" 0", u" 70", u" 1"}));
    EXPECT_EQ(grid.RowString(5), Row({u" 5", u"e", u" 50", u"", u"", u" 50", u" 3"}));
    EXPECT_EQ(grid.RowString(6), Row({}));
    EXPECT_EQ(grid.RowString(7), Row({u"", u"クラスの平均点", u"39", u"1,234", u"", u"63"}));
}

TEST(TestTable, ClearsWhatAWiderTableLeft) {
    auto book = BookWithPupils({u"a", u"b"});
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 0, 0, 1);
    QString caption;
    ShowViewpointTestTable(*book, session, grid, caption);
    for (int r = 0; r < grid.Rows(); ++r)
        grid.SetText(r, 14, QStringLiteral("old"));
    InitMainGrid(*book, grid);
    ShowTestTable(*book, session, grid, caption);
    EXPECT_EQ(session.ShownColumnCount, 7);
    for (int r = 0; r < grid.Rows(); ++r)
        for (int c = 7; c < grid.Cols(); ++c)
            EXPECT_EQ(grid.Text(r, c), QString()) << r << "," << c;
    EXPECT_EQ(grid.ColWidth(13), 900) << "widths of unused columns stay as they were";
}

// ---------------------------------------------------------------------------------------------
// Semester and whole-year subject tables

namespace {

std::vector<QString> SubjectHeaders() {
    return {u"No."_s,
            u"生徒氏名"_s,
            u"思考"_s + CR + u" 合計点"_s,
            u"思考"_s + CR + u" 順位"_s,
            u"思考"_s + CR + u" 評定"_s,
            u"表・処"_s + CR + u" 合計点"_s,
            u"表・処"_s + CR + u" 順位"_s,
            u"表・処"_s + CR + u" 評定"_s,
            u"知・理"_s + CR + u" 合計点"_s,
            u"知・理"_s + CR + u" 順位"_s,
            u"知・理"_s + CR + u" 評定"_s,
            u"算数"_s + CR + u" 合計点"_s,
            u"算数"_s + CR + u" 順位"_s,
            QString(),
            QString()};
}

void ExpectSubjectLayout(const Grid& grid, const Session& session, int rosterSize) {
    EXPECT_EQ(session.ShownColumnCount, 13);
    EXPECT_EQ(grid.Rows(), rosterSize + 3);
    const auto headers = SubjectHeaders();
    for (int c = 0; c < 15; ++c)
        EXPECT_EQ(grid.Text(0, c), headers[c]) << c;
    EXPECT_EQ(grid.ColWidth(0), 400);
    EXPECT_EQ(grid.ColWidth(1), 1600);
    for (int c = 2; c <= 12; ++c) {
        EXPECT_EQ(grid.ColWidth(c), 800) << c;
        EXPECT_EQ(grid.ColAlignment(c), kAlignRightCenter) << c;
    }
    EXPECT_EQ(grid.Text(rosterSize + 2, 1), u"クラスの平均点"_s);
}

} // namespace

TEST(SemesterTable, BeforeAnyRegistrationEverythingIsEmpty) {
    auto book = BookWithPupils({u"a", u"b"});
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 1);
    QString caption;
    ShowSemesterSubjectTable(*book, session, grid, caption);
    EXPECT_EQ(caption, QString::fromUtf16(kHeading) + u" 2名）　算数　二学期"_s);
    ExpectSubjectLayout(grid, session, 2);
    EXPECT_EQ(grid.RowString(1), Row({u" 1", u"a"}));
    EXPECT_EQ(grid.RowString(2), Row({u" 2", u"b"}));
    EXPECT_EQ(grid.RowString(3), Row({}));
    EXPECT_EQ(grid.RowString(4), Row({u"", u"クラスの平均点"}));
}

TEST(SemesterTable, RatingsAgainstTheSemesterCriteria) {
    auto book = BookWithPupils({u"a", u"b", u"c", u"d"});
    const int g0 = SemesterAggregateSlot(1, kSubj, 0);
    SetPupilValues(*book, g0, {160, 159, 80, 79});
    book->Scores[g0][kPointsColumn] = 200;
    book->Scores[g0][kAverageColumn] = 119.5f;
    book->RankAPercent[1][CriteriaIndex(kSubj, 0)] = 20;
    book->RankCPercent[1][CriteriaIndex(kSubj, 0)] = 40;
    book->RankAPercent[3][CriteriaIndex(kSubj, 0)] = 50; // the whole-year criteria differ
    book->RankCPercent[3][CriteriaIndex(kSubj, 0)] = 45;
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 1);
    QString caption;
    ShowSemesterSubjectTable(*book, session, grid, caption);
    EXPECT_EQ(grid.RowString(1), Row({u" 1", u"a", u"160", u" 1", u"A"}));
    EXPECT_EQ(grid.RowString(2), Row({u" 2", u"b", u"159", u" 2", u"B"}));
    EXPECT_EQ(grid.RowString(3), Row({u" 3", u"c", u"80", u" 3", u"B"}));
    EXPECT_EQ(grid.RowString(4), Row({u" 4", u"d", u"79", u" 4", u"C"}));
    EXPECT_EQ(grid.RowString(6), Row({u"", u"クラスの平均点", u"120"}));
}

TEST(SemesterTable, AfterRegistrationSumsRanksAndAbsences) {
    auto book = BookWithPupils({u"a", u"b", u"", u"d"});
    // Two tests of viewpoint 0 and their totals; pupil d took neither, b missed the second.
    const int t0 = TestSlot(0, kSubj, 0, 0);
    const int t4 = TestSlot(0, kSubj, 4, 0);
    SetPupilValues(*book, t0, {40, 25, -1, -1});
    SetPupilValues(*book, t4, {38, -2, -1, -1});
    SetPupilValues(*book, t0 + 3, {40, 25, -1, -1});
    SetPupilValues(*book, t4 + 3, {38, -2, -1, -1});
    book->Scores[t0][kPointsColumn] = 50;
    book->Scores[t4][kPointsColumn] = 50;
    book->RankAPercent[0][CriteriaIndex(kSubj, 0)] = 30; // A from 70 points
    book->RankCPercent[0][CriteriaIndex(kSubj, 0)] = 30; // B from 30 points
    AggregateSubject(*book, kSubj, 0);
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 0);
    QString caption;
    ShowSemesterSubjectTable(*book, session, grid, caption);

    // Viewpoints 2 and 3 have no test: the sums are 0 but the average is registered, so everybody
    // is ranked and rated on 0 points (a maximum of 0 rates everybody A).
    EXPECT_EQ(grid.RowString(1), Row({u" 1", u"a", u"78", u" 1", u"A", u"0", u" 1", u"A", u"0",
                                      u" 1", u"A", u"78", u" 1"}));
    EXPECT_EQ(grid.RowString(2), Row({u" 2", u"b", u"*25", u" 2", u"C", u"0", u" 1", u"A", u"0",
                                      u" 1", u"A", u"*25", u" 2"}));
    EXPECT_EQ(grid.RowString(3), Row({u" 3"}));
    EXPECT_EQ(grid.RowString(4), Row({u" 4", u"d", u"0", u" 3", u"C", u"0", u" 1", u"A", u"0",
                                      u" 1", u"A", u"0", u" 3"}));
    EXPECT_EQ(grid.RowString(6), Row({u"", u"クラスの平均点", u"34", u"", u"", u"0", u"", u"", u"0",
                                      u"", u"", u"34"}));
}

TEST(SemesterTable, AverageOfAnAggregateNotRegisteredLeavesItsColumnsUnranked) {
    auto book = BookWithPupils({u"a", u"b"});
    const int g0 = SemesterAggregateSlot(0, kSubj, 0);
    const int g3 = SemesterAggregateSlot(0, kSubj, 3);
    SetPupilValues(*book, g0, {5, 7});
    book->Scores[g0][kAverageColumn] = -1;
    SetPupilValues(*book, g3, {5, 7});
    book->Scores[g3][kAverageColumn] = 6;
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 0);
    QString caption;
    ShowSemesterSubjectTable(*book, session, grid, caption);
    EXPECT_EQ(grid.RowString(1),
              Row({u" 1", u"a", u"5", u"", u"", u"", u"", u"", u"", u"", u"", u"5", u" 2"}));
    EXPECT_EQ(grid.Text(1, 13), QString()) << "the subject total has no rating";
}

TEST(AnnualTable, SameLayoutYearSumsAndWholeYearCriteria) {
    auto book = BookWithPupils({u"a", u"b"});
    const int t = TestSlot(0, kSubj, 0, 1);
    SetPupilValues(*book, t, {60, 45});
    book->Scores[t][kPointsColumn] = 100;
    book->RankAPercent[0][CriteriaIndex(kSubj, 1)] = 40; // semester: A from 60
    book->RankCPercent[0][CriteriaIndex(kSubj, 1)] = 50; //           B from 50
    book->RankAPercent[3][CriteriaIndex(kSubj, 1)] = 30; // year:     A from 70
    book->RankCPercent[3][CriteriaIndex(kSubj, 1)] = 40; //           B from 40
    AggregateSubject(*book, kSubj, 0);
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 0);
    QString caption;

    ShowSemesterSubjectTable(*book, session, grid, caption);
    EXPECT_EQ(grid.Text(1, 7), QStringLiteral("A"));
    EXPECT_EQ(grid.Text(2, 7), QStringLiteral("C"));
    const QString semesterSums = grid.Text(1, 5) + grid.Text(2, 5) + grid.Text(4, 5);

    session.CurrentSemester = 2; // the whole-year table does not look at the semester
    ShowAnnualSubjectTable(*book, session, grid, caption);
    EXPECT_EQ(caption, QString::fromUtf16(kHeading) + u" 2名）　算数"_s);
    ExpectSubjectLayout(grid, session, 2);
    EXPECT_EQ(grid.Text(1, 5) + grid.Text(2, 5) + grid.Text(4, 5), semesterSums);
    EXPECT_EQ(grid.RowString(1), Row({u" 1", u"a", u"0", u" 1", u"A", u"60", u" 1", u"B", u"0",
                                      u" 1", u"A", u"0", u" 1"}));
    EXPECT_EQ(grid.RowString(2), Row({u" 2", u"b", u"0", u" 1", u"A", u"45", u" 2", u"B", u"0",
                                      u" 1", u"A", u"0", u" 1"}));
}

TEST(AnnualTable, BeforeTheFirstRegistrationOfTheSubject) {
    auto book = BookWithPupils({u"a"});
    AggregateSubject(*book, 0, 0); // another subject registered
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 0);
    QString caption;
    ShowAnnualSubjectTable(*book, session, grid, caption);
    EXPECT_EQ(grid.RowString(1), Row({u" 1", u"a"}));
    EXPECT_EQ(grid.RowString(3), Row({u"", u"クラスの平均点"}));
}

// ---------------------------------------------------------------------------------------------
// Viewpoint test table

TEST(ViewpointTable, TestHeaders) {
    EXPECT_EQ(ViewpointTestHeader(u"漢字  小テスト"_s, u"5/1"_s),
              u"漢字"_s + CR + u"小テスト"_s + CR + u"5/1"_s)
        << "a double blank is one line break";
    EXPECT_EQ(ViewpointTestHeader(u"a   b"_s, u"d"_s), u"a"_s + CR + CR + u"b"_s + CR + u"d"_s);
    EXPECT_EQ(ViewpointTestHeader(u"a    b"_s, u"d"_s), u"a"_s + CR + CR + u"b"_s + CR + u"d"_s)
        << "one pass: four blanks become two";
    EXPECT_EQ(ViewpointTestHeader(u" 1回目試験"_s, u"一学期"_s),
              CR + u"1回目試験"_s + CR + u"一学期"_s);
    EXPECT_EQ(ViewpointTestHeader(QString(), QString()), QString(CR));
}

TEST(ViewpointTable, LayoutBeforeAnyRegistration) {
    auto book = BookWithPupils({u"a", u""});
    book->TestInfo[TestSlot(1, kSubj, 3, 0)][1] = u"単元  テスト"_s;
    book->TestInfo[TestSlot(1, kSubj, 3, 0)][0] = QStringLiteral("10/2");
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 1, 7, 2);
    QString caption;
    ShowViewpointTestTable(*book, session, grid, caption);
    EXPECT_EQ(caption, QString::fromUtf16(kHeading) + u" 1名）　算数　知・理"_s);
    EXPECT_EQ(session.ShownColumnCount, 15);
    ASSERT_EQ(grid.Rows(), 5);
    EXPECT_EQ(grid.Text(0, 0), QStringLiteral("No."));
    EXPECT_EQ(grid.Text(0, 2), CR + u"1回目試験"_s + CR + u"二学期"_s);
    EXPECT_EQ(grid.Text(0, 5), u"単元"_s + CR + u"テスト"_s + CR + u"10/2"_s);
    EXPECT_EQ(grid.Text(0, 11), CR + u"10回目試験"_s + CR + u"二学期"_s);
    EXPECT_EQ(grid.Text(0, 12), u"合計点"_s);
    EXPECT_EQ(grid.Text(0, 13), u"順位"_s);
    EXPECT_EQ(grid.Text(0, 14), u"評定"_s);
    for (int c = 2; c <= 14; ++c) {
        EXPECT_EQ(grid.ColWidth(c), c <= 12 ? 1000 : 900) << c;
        EXPECT_EQ(grid.ColAlignment(c), kAlignRightCenter) << c;
    }
    EXPECT_EQ(grid.RowString(1), Row({u" 1", u"a"}));
    EXPECT_EQ(grid.RowString(2), Row({u" 2"}));
    EXPECT_EQ(grid.RowString(4), Row({u"", u"クラスの平均点"}));
}

TEST(ViewpointTable, ScoresAbsencesAndTheRoundedBCutoff) {
    auto book = BookWithPupils({u"a", u"b", u"c"});
    const int v = 1;
    const int b = TestSlot(0, kSubj, 0, 0);
    // Test 0 and test 2 use the viewpoint, test 1 does not.
    SetPupilValues(*book, b + 0 + v, {20, -2, 30});
    SetPupilValues(*book, b + 8 + v, {11.5f, 12, 14});
    book->Scores[b + 0 + v][kPointsColumn] = 45;
    book->Scores[b + 8 + v][kPointsColumn] = 45;
    book->Scores[b + 0 + v][kAverageColumn] = 25;
    book->Scores[b + 8 + v][kAverageColumn] = 12.5f;
    book->RankAPercent[0][CriteriaIndex(kSubj, v)] = 20;
    book->RankCPercent[0][CriteriaIndex(kSubj, v)] = 35;
    AggregateSubject(*book, kSubj, 0);
    const int g = SemesterAggregateSlot(0, kSubj, v);
    ASSERT_EQ(book->Scores[g][0], 31.5f);
    ASSERT_EQ(book->Scores[g][1], 10012.0f);
    ASSERT_EQ(book->Scores[g][kPointsColumn], 90.0f);

    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 0, 0, v);
    QString caption;
    ShowViewpointTestTable(*book, session, grid, caption);
    // 31.5 shows rounded to 32 but rates C against the whole-number cut-off 32 (35 % of 90).
    EXPECT_EQ(grid.RowString(1), Row({u" 1", u"a", u" 20", u"", u" 12", u"", u"", u"", u"", u"",
                                      u"", u"", u" 32", u" 2", u"C"}));
    EXPECT_EQ(grid.RowString(2), Row({u" 2", u"b", u"*", u"", u" 12", u"", u"", u"", u"", u"", u"",
                                      u"", u"* 12", u" 3", u"C"}));
    EXPECT_EQ(grid.RowString(3), Row({u" 3", u"c", u" 30", u"", u" 14", u"", u"", u"", u"", u"",
                                      u"", u"", u" 44", u" 1", u"B"}));
    EXPECT_EQ(grid.RowString(5), Row({u"", u"クラスの平均点", u"25", u"", u"13", u"", u"", u"", u"",
                                      u"", u"", u"", u"29"}));

    // The semester table compares with the unrounded 31.5 and rates the same sum B.
    ShowSemesterSubjectTable(*book, session, grid, caption);
    EXPECT_EQ(grid.Text(1, 5), QStringLiteral("32"));
    EXPECT_EQ(grid.Text(1, 7), QStringLiteral("B"));
    EXPECT_EQ(grid.Text(2, 5), QStringLiteral("*12"));
}

// ---------------------------------------------------------------------------------------------
// One table after another

TEST(TableSequence, HomeRoomTableAfterViewpointTableKeepsColumnsZeroAndOne) {
    auto book = BookWithPupils({u"a", u"b"});
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 0, 0, 0);
    QString caption;
    ShowViewpointTestTable(*book, session, grid, caption);
    InitMainGrid(*book, grid);
    ShowHomeRoomTable(*book, session, grid, caption);
    EXPECT_EQ(session.ShownColumnCount, 2);
    EXPECT_EQ(grid.RowString(0), Row({u"No.", u"生徒氏名"}));
    EXPECT_EQ(grid.RowString(4), Row({u"", u"クラスの平均点"}));
    EXPECT_EQ(grid.ColWidth(2), 1000) << "widths stay as the viewpoint table set them";
}

TEST(TableSequence, SemesterTableAfterTestTableEmptiesTheOldScores) {
    auto book = BookWithPupils({u"a"});
    const int t = TestSlot(0, kSubj, 0, 0);
    SetPupilValues(*book, t + 3, {42});
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 0, 0);
    QString caption;
    ShowTestTable(*book, session, grid, caption);
    ASSERT_EQ(grid.Text(1, 5), QStringLiteral(" 42"));
    ASSERT_EQ(grid.Text(1, 6), QStringLiteral(" 1"));
    ShowSemesterSubjectTable(*book, session, grid, caption);
    EXPECT_EQ(grid.RowString(1), Row({u" 1", u"a"}));
}

TEST(TableSequence, ShorterRosterKeepsTheOldNumberBesideTheAverageLabel) {
    auto book = BookWithPupils({u"a", u"b", u"c"});
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 0, 0);
    QString caption;
    ShowTestTable(*book, session, grid, caption);
    book->RosterSize = 1;
    InitMainGrid(*book, grid);
    ShowTestTable(*book, session, grid, caption);
    ASSERT_EQ(grid.Rows(), 4);
    EXPECT_EQ(grid.RowString(2), Row({}));
    EXPECT_EQ(grid.RowString(3), Row({u" 3", u"クラスの平均点"}))
        << "the number column is only rewritten by the grid reset, up to the roster";
}

TEST(TableSequence, NoPupilsGivesThreeRows) {
    auto book = BookWithPupils({});
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 0, 0);
    QString caption;
    ShowSemesterSubjectTable(*book, session, grid, caption);
    EXPECT_EQ(grid.Rows(), 3);
    EXPECT_EQ(caption, QString::fromUtf16(kHeading) + u" 0名）　算数　一学期"_s);
    EXPECT_EQ(grid.RowString(2), Row({u"", u"クラスの平均点"}));
}

TEST(TableSequence, IndicesOutsideTheBookChangeNothing) {
    auto book = BookWithPupils({u"a"});
    Grid grid = MainGrid(*book);
    const QString row0 = grid.RowString(0);
    QString caption = QStringLiteral("kept");
    Session session = Selection(6, 0, 0);
    session.ShownColumnCount = 99;
    ShowTestTable(*book, session, grid, caption);
    ShowSemesterSubjectTable(*book, session, grid, caption);
    ShowAnnualSubjectTable(*book, session, grid, caption);
    ShowViewpointTestTable(*book, session, grid, caption);
    session = Selection(0, 3, 10, 3);
    session.ShownColumnCount = 99;
    ShowTestTable(*book, session, grid, caption);
    ShowSemesterSubjectTable(*book, session, grid, caption);
    ShowViewpointTestTable(*book, session, grid, caption);
    EXPECT_EQ(caption, QStringLiteral("kept"));
    EXPECT_EQ(session.ShownColumnCount, 99);
    EXPECT_EQ(grid.RowString(0), row0);
    EXPECT_EQ(grid.Rows(), 43);
}

TEST(TableSequence, RosterSizeBeyondFortyStaysInsideTheGrid) {
    auto book = BookWithPupils({u"a"});
    for (int n = 0; n < kMaxPupils; ++n)
        book->StudentNames[n] = QStringLiteral("p");
    book->RosterSize = 300;
    Grid grid = MainGrid(*book);
    Session session = Selection(kSubj, 0, 0, 0);
    QString caption;
    ShowTestTable(*book, session, grid, caption);
    ShowSemesterSubjectTable(*book, session, grid, caption);
    ShowAnnualSubjectTable(*book, session, grid, caption);
    ShowViewpointTestTable(*book, session, grid, caption);
    EXPECT_EQ(grid.Rows(), 43);
}

// ---------------------------------------------------------------------------------------------
// A pupil's record and the ratings overview

namespace {

// A class of four: pupil b absent in one test, pupil c transferred out; two subjects registered
// in the first and second semesters, the third semester never registered.
std::unique_ptr<GradeBook> RecordBook() {
    auto book = BookWithPupils({u"a", u"b", u"", u"d"});
    for (const int subject : {0, kSubj})
        for (const int semester : {0, 1}) {
            const int t = TestSlot(semester, subject, 0, 0);
            SetPupilValues(*book, t, {40, 25, -1, 10});
            SetPupilValues(*book, t + 1, {20, -2, -1, 30});
            SetPupilValues(*book, t + 2, {15, 12, -1, 5});
            SetPupilValues(*book, t + 3, {75, -2, -1, 45});
            for (int v = 0; v < 3; ++v)
                book->Scores[t + v][kPointsColumn] = 50;
            for (int k = 0; k < 4; ++k)
                book->Scores[t + k][kAverageColumn] = 20;
            AggregateSubject(*book, subject, semester);
        }
    for (int period = 0; period < kCriteriaPeriods; ++period)
        for (int c = 0; c < kCriteriaColumns; ++c) {
            book->RankAPercent[period][c] = 30;
            book->RankCPercent[period][c] = 30;
        }
    return book;
}

} // namespace

// A pupil's record holds, for each subject's viewpoints and total, the sum, rank and rating of
// each semester and of the year as the subject tables show them in the pupil's row: the sums
// keep their "*", a rating of a sum with an absence is marked "＊" and the mark explained under
// the table, a period never registered stays empty, and a pupil who transferred out has an
// empty record.
TEST(PupilRecord, EveryCellIsTheSubjectTablesCell) {
    const auto book = RecordBook();
    for (const int pupil : {1, 2, 3, 4}) {
        SCOPED_TRACE(pupil);
        Grid record = MainGrid(*book);
        Session session;
        QString caption;
        ShowPupilRecordTable(*book, session, pupil, record, caption);
        EXPECT_EQ(session.ShownColumnCount, 14);
        ASSERT_EQ(record.Rows(), pupil == 2 ? 26 : 25); // pupil 2's note under the table
        EXPECT_EQ(record.NoteRows(), pupil == 2 ? 1 : 0);
        EXPECT_EQ(caption, QString::fromUtf16(kHeading) + QStringLiteral(" 3名）") + QChar(0x3000) +
                               u"出席番号"_s + NumberText(pupil) + QChar(0x3000) +
                               book->StudentNames[pupil - 1]);
        EXPECT_EQ(record.Text(0, 0), u"教科"_s);
        EXPECT_EQ(record.Text(0, 2), book->SemesterNames[0] + CR + u" 合計点"_s);
        EXPECT_EQ(record.Text(0, 13), u"学年"_s + CR + u" 評定"_s);
    }
    // Each subject's viewpoints and total: the sum, rank and rating of each semester and of the
    // year, as the semester and annual subject tables show them in the pupil's row.
    const struct {
        int pupil;
        int row;
        const char16_t* cells;
    } rows[] = {
        {1, 1, u"国語|表現|40| 1|A|40| 1|A||||80| 1|A|"},
        {1, 2, u"国語|理解|20| 2|B|20| 2|B||||40| 2|B|"},
        {1, 3, u"国語|言語|15| 1|B|15| 1|B||||30| 1|B|"},
        {1, 4, u"国語|合計|75| 1||75| 1|||||150| 1||"},
        {1, 8, u"算数|合計|75| 1||75| 1|||||150| 1||"},
        {2, 1, u"国語|表現|25| 2|B|25| 2|B||||50| 2|B|"},
        {2, 2, u"国語|理解|*0| 3|C＊|*0| 3|C＊||||*0| 3|C＊|"},
        {2, 3, u"国語|言語|12| 2|C|12| 2|C||||24| 2|C|"},
        {2, 4, u"国語|合計|*0| 3||*0| 3|||||*0| 3||"},
        {2, 6, u"算数|表・処|*0| 3|C＊|*0| 3|C＊||||*0| 3|C＊|"},
        {2, 25, u"||＊ 欠席した試験を含む評定||||||||||||"},
        {4, 1, u"国語|表現|10| 3|C|10| 3|C||||20| 3|C|"},
        {4, 2, u"国語|理解|30| 1|B|30| 1|B||||60| 1|B|"},
        {4, 4, u"国語|合計|45| 2||45| 2|||||90| 2||"},
        {4, 7, u"算数|知・理|5| 3|C|5| 3|C||||10| 3|C|"},
        {4, 9, u"理科|思考|||||||||||||"},
        {4, 12, u"理科|合計|||||||||||||"},
    };
    for (const auto& r : rows) {
        Grid record = MainGrid(*book);
        Session session;
        QString caption;
        ShowPupilRecordTable(*book, session, r.pupil, record, caption);
        EXPECT_EQ(record.RowString(r.row), QString::fromUtf16(r.cells))
            << "pupil " << r.pupil << " row " << r.row;
    }
    // What the fixture is meant to hold: an absence, an empty period, an empty record.
    Grid record = MainGrid(*book);
    Session session;
    QString caption;
    ShowPupilRecordTable(*book, session, 2, record, caption);
    EXPECT_TRUE(record.Text(2, 2).startsWith(u'*')) << record.Text(2, 2).toStdString();
    EXPECT_TRUE(record.Text(4, 2).startsWith(u'*')) << record.Text(4, 2).toStdString();
    EXPECT_TRUE(record.Text(1, 8).isEmpty()); // 三学期 never registered
    ShowPupilRecordTable(*book, session, 3, record, caption);
    EXPECT_TRUE(record.Text(1, 2).isEmpty());
}

// The overview holds the annual tables' ratings (marked where the sum includes an absence, and
// the mark explained under the table), and under every column the count of each.
TEST(RatingsOverview, TheCountsMatchTheirColumns) {
    const auto book = RecordBook();
    Grid grid = MainGrid(*book);
    Session session;
    QString caption;
    ShowRatingsOverviewTable(*book, session, grid, caption);
    EXPECT_EQ(session.ShownColumnCount, 20);
    EXPECT_EQ(grid.Cols(), 20);
    EXPECT_TRUE(caption.endsWith(u"名）　評定一覧（学年）"_s));
    EXPECT_EQ(grid.Text(0, 2), book->SubjectTitles[0][0] + CR + book->SubjectTitles[0][1]);
    EXPECT_EQ(grid.Rows(), 10); // and the note of pupil b's marked ratings
    EXPECT_EQ(grid.SummaryRows(), 3);
    EXPECT_EQ(grid.Text(9, 2), u"＊ 欠席した試験を含む評定"_s);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(grid.Text(6 + k, 1), QChar(u'A' + k) + u" の人数"_s);
    int rated = 0;
    for (int s = 0; s < kSubjects; ++s) {
        Grid annual = MainGrid(*book);
        Session selection = Selection(s, 0);
        ShowAnnualSubjectTable(*book, selection, annual, caption);
        for (int c = 0; c < 3; ++c) {
            const int col = 2 + 3 * s + c;
            int count[3] = {0, 0, 0};
            for (int r = 1; r <= 4; ++r) {
                const QString mark = annual.Value(r, 2 + 3 * c).absenceMarked ? u"＊"_s : QString();
                EXPECT_EQ(grid.Text(r, col), annual.Text(r, 4 + 3 * c) + mark) << r << " " << col;
                const QString& rating = grid.Text(r, col);
                if (!rating.isEmpty())
                    ++count[rating[0].unicode() - u'A'];
            }
            rated += count[0] + count[1] + count[2];
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(grid.Text(6 + k, col), QString::number(count[k]));
                EXPECT_EQ(grid.Value(6 + k, col), CellValue::Number(count[k]));
            }
        }
    }
    EXPECT_GT(rated, 0);
}

// The kept subject tables follow the book: after a change of marks, names or criteria the record
// is the one a fresh build gives.
TEST(PupilRecord, KeptTablesFollowTheBook) {
    auto book = RecordBook();
    SubjectTableCache cache;
    const auto record = [&](SubjectTableCache* kept) {
        Grid grid = MainGrid(*book);
        Session session;
        QString caption;
        ShowPupilRecordTable(*book, session, 1, grid, caption, kept);
        QStringList rows;
        for (int r = 0; r < grid.Rows(); ++r)
            rows << grid.RowString(r);
        return rows;
    };
    const QStringList before = record(&cache);
    const std::function<void()> changes[] = {
        [&] { book->Scores[SemesterAggregateSlot(0, 0, 0)][0] += 7; },
        [&] { book->StudentNames[1].clear(); },
        [&] { book->RankAPercent[3][CriteriaIndex(0, 0)] = 90; },
    };
    for (const auto& change : changes) {
        change();
        EXPECT_EQ(record(&cache), record(nullptr));
    }
    EXPECT_NE(record(&cache), before);
}

namespace {

// A class of two in 国語, first semester: pupil 1 scores 600 and 487 points in viewpoint 1 of two
// tests (a sum of 1,087), pupil 2 scores 600 and is absent from the second test.
std::unique_ptr<GradeBook> ThousandsBook() {
    auto book = BookWithPupils({u"a", u"b"});
    const int first = TestSlot(0, 0, 0, 0);
    const int second = TestSlot(0, 0, 1, 0);
    SetPupilValues(*book, first, {600, 600});
    SetPupilValues(*book, second, {487, kAbsent});
    SetPupilValues(*book, first + 3, {600, 600});
    SetPupilValues(*book, second + 3, {487, kAbsent});
    for (const int slot : {first, second}) {
        book->Scores[slot][kPointsColumn] = 600;
        book->Scores[slot][kAverageColumn] = 1087.4f;
    }
    AggregateSubject(*book, 0, 0);
    return book;
}

} // namespace

// Every table kind's cells carry what they show: the number with its grouping, a sum with its
// absence mark, an absence, a rank, a rating; the shown texts follow the regional settings
// (German groups with "."; without regional settings the Japanese ones are used), what the
// cells hold does not.
TEST(CellValues, EveryTableKindCarriesItsNumbersWhateverTheRegionalSettings) {
    using V = CellValue;
    const struct {
        const char* key;
        int row, col;
        const char16_t* japanese;
        const char16_t* german; // nullptr: as the Japanese
        CellValue value;
    } cells[] = {
        {"HomeRoom", 2, 0, u" 2", nullptr, V::Number(2)},
        {"2 0 0 1", 1, 2, u" 487", nullptr, V::Number(487)},
        {"2 0 0 1", 2, 2, u"*", nullptr, V::Absent()},
        {"2 0 0 1", 4, 2, u"1,087", u"1.087", V::Number(1087, 0, true)},
        {"2 0 0 1", 1, 6, u" 1", nullptr, V::Number(1)},
        {"1 0 0", 1, 2, u"1,087", u"1.087", V::Number(1087, 0, true)},
        {"1 0 0", 2, 2, u"*600", nullptr, V::MarkedNumber(600, 0, true)},
        {"1 0 0", 4, 2, u"844", nullptr, V::Number(844, 0, true)},
        {"1 0 0", 2, 3, u" 2", nullptr, V::Number(2)},
        {"1 0 0", 1, 4, u"B", nullptr, V::Rating()},
        {"0 0", 1, 2, u"1,087", u"1.087", V::Number(1087, 0, true)},
        {"3 0 0 0 0", 1, 12, u" 1087", nullptr, V::Number(1087)},
        {"3 0 0 0 0", 2, 12, u"* 600", nullptr, V::MarkedNumber(600)},
        {"3 0 0 0 0", 2, 3, u"*", nullptr, V::Absent()},
        {"3 0 0 0 0", 1, 14, u"B", nullptr, V::Rating()},
        {"4 1", 1, 2, u"1,087", u"1.087", V::Number(1087, 0, true)},
        {"4 2", 1, 2, u"*600", nullptr, V::MarkedNumber(600, 0, true)},
        {"4", 1, 2, u"B", nullptr, V::Rating()},
        {"4", 1, 1, u"a", nullptr, V::Text()},
    };
    const auto book = ThousandsBook();
    const QLocale locales[] = {QLocale(QLocale::Japanese, QLocale::Japan), QLocale::c(),
                               QLocale(QLocale::German, QLocale::Germany)};
    for (const QLocale& locale : locales) {
        QLocale::setDefault(locale);
        for (const auto& cell : cells) {
            const QString key = QString::fromLatin1(cell.key);
            SCOPED_TRACE(locale.name().toStdString() + " " + key.toStdString() + " " +
                         std::to_string(cell.row) + "," + std::to_string(cell.col));
            Grid grid = MainGrid(*book);
            Session session;
            QString caption;
            SelectNode(session, key);
            ShowNodeTable(*book, session, key, grid, caption);
            const bool german = locale.language() == QLocale::German;
            EXPECT_EQ(grid.Text(cell.row, cell.col),
                      QString::fromUtf16(german && cell.german ? cell.german : cell.japanese));
            EXPECT_TRUE(grid.Value(cell.row, cell.col) == cell.value);
        }
    }
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
}
