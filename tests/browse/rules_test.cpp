#include "bookfixture.h"
#include "browse/rules.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace kirune;
using kirune::testing::BookWithPupils;
using kirune::testing::SetPupilValues;

namespace {

const QLocale kJapanese(QLocale::Japanese, QLocale::Japan);

QString ScoreCell(int16_t value) {
    Grid grid(2, 2);
    SetScoreCell(grid, 1, 1, value);
    return grid.Text(1, 1);
}

QString SumCell(float value, const QLocale& locale = kJapanese) {
    Grid grid(2, 2);
    SetSumCell(grid, 1, 1, value, locale);
    return grid.Text(1, 1);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Cell texts

TEST(SetScoreCell, NoDataAbsentAndPoints) {
    EXPECT_EQ(ScoreCell(-1), QString());
    EXPECT_EQ(ScoreCell(-2), QStringLiteral("*"));
    EXPECT_EQ(ScoreCell(0), QStringLiteral(" 0"));
    EXPECT_EQ(ScoreCell(85), QStringLiteral(" 85"));
    EXPECT_EQ(ScoreCell(9999), QStringLiteral(" 9999"));
    EXPECT_EQ(ScoreCell(-5), QStringLiteral("-5")) << "other negatives are plain number text";
}

TEST(SetScoreCell, SumWithAbsenceShowsAsteriskBlankPoints) {
    EXPECT_EQ(ScoreCell(10012), QStringLiteral("* 12"));
    EXPECT_EQ(ScoreCell(10000), QStringLiteral("* 0"));
    EXPECT_EQ(ScoreCell(32767), QStringLiteral("* 22767"));
}

TEST(SetScoreCell, OverwritesWhatTheCellHeld) {
    Grid grid(2, 2);
    grid.SetText(1, 1, QStringLiteral("old"));
    SetScoreCell(grid, 1, 1, -1);
    EXPECT_EQ(grid.Text(1, 1), QString());
    grid.SetText(1, 1, QStringLiteral(" 7"));
    SetScoreCell(grid, 1, 1, 7);
    EXPECT_EQ(grid.Text(1, 1), QStringLiteral(" 7"));
    SetScoreCell(grid, 5, 5, 7); // outside the grid: ignored
}

TEST(SetSumCell, NoDataAndAbsentAreComparedExactly) {
    EXPECT_EQ(SumCell(-1.0f), QString());
    EXPECT_EQ(SumCell(-2.0f), QStringLiteral("*"));
    EXPECT_EQ(SumCell(-1.0001f), QStringLiteral("-1")) << "only exactly -1 means no data";
    EXPECT_EQ(SumCell(-1.9f), QStringLiteral("-2")) << "only exactly -2 means absent";
}

TEST(SetSumCell, NoDecimalsWithRegionalGrouping) {
    EXPECT_EQ(SumCell(1234.0f), QStringLiteral("1,234"));
    EXPECT_EQ(SumCell(0.0f), QStringLiteral("0"));
    EXPECT_EQ(SumCell(72.0f), QStringLiteral("72"));
    EXPECT_EQ(SumCell(1234.0f, QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("1.234"));
}

TEST(SetSumCell, DefaultLocaleIsTheRegionalOne) {
    // The test program pins Japanese regional settings.
    Grid grid(2, 2);
    SetSumCell(grid, 1, 1, 1234.0f);
    EXPECT_EQ(grid.Text(1, 1), QStringLiteral("1,234"));
}

TEST(SetSumCell, HalvesRoundAwayFromZeroOnTheExactValue) {
    EXPECT_EQ(SumCell(72.5f), QStringLiteral("73"));
    EXPECT_EQ(SumCell(2.5f), QStringLiteral("3")) << "not halves to even";
    EXPECT_EQ(SumCell(0.5f), QStringLiteral("1"));
    EXPECT_EQ(SumCell(72.49f), QStringLiteral("72"));
    EXPECT_EQ(SumCell(-3.5f), QStringLiteral("-4"));
}

TEST(SetSumCell, MarkedSumShowsAsteriskAndPointsWithoutBlank) {
    EXPECT_EQ(SumCell(10012.0f), QStringLiteral("*12"));
    EXPECT_EQ(SumCell(10000.0f), QStringLiteral("*0"));
    EXPECT_EQ(SumCell(10012.5f), QStringLiteral("*13"));
    EXPECT_EQ(SumCell(11234.0f), QStringLiteral("*1,234"));
}

TEST(SetSumCell, OddValuesFromAFileDoNotCrash) {
    EXPECT_FALSE(SumCell(std::numeric_limits<float>::quiet_NaN()).isEmpty());
    EXPECT_FALSE(SumCell(std::numeric_limits<float>::infinity()).isEmpty());
    EXPECT_FALSE(SumCell(-std::numeric_limits<float>::infinity()).isEmpty());
    EXPECT_FALSE(SumCell(3.0e38f).isEmpty());
}

// ---------------------------------------------------------------------------------------------
// Ratings

TEST(Ratings, CutoffsFromTheShares) {
    auto book = BookWithPupils({u"a"});
    book->RankAPercent[0][CriteriaIndex(1, 2)] = 20;
    book->RankCPercent[0][CriteriaIndex(1, 2)] = 40;
    const RatingCutoffs cut = CutoffsFor(*book, 0, 1, 2, 200.0, false);
    EXPECT_EQ(cut.a, 160.0);
    EXPECT_EQ(cut.b, 80.0);
    EXPECT_EQ(Rating(160, cut), QStringLiteral("A"));
    EXPECT_EQ(Rating(159, cut), QStringLiteral("B"));
    EXPECT_EQ(Rating(159.9, cut), QStringLiteral("B"));
    EXPECT_EQ(Rating(80, cut), QStringLiteral("B"));
    EXPECT_EQ(Rating(79, cut), QStringLiteral("C"));
    EXPECT_EQ(Rating(79.99, cut), QStringLiteral("C"));
}

TEST(Ratings, CriteriaOfTheRightPeriodAndEntry) {
    auto book = BookWithPupils({u"a"});
    book->RankAPercent[3][CriteriaIndex(2, 0)] = 10;
    book->RankCPercent[3][CriteriaIndex(2, 0)] = 30;
    book->RankAPercent[2][CriteriaIndex(2, 0)] = 50;
    book->RankCPercent[2][CriteriaIndex(2, 0)] = 10;
    const RatingCutoffs year = CutoffsFor(*book, 3, 2, 0, 100.0, false);
    EXPECT_EQ(year.a, 90.0);
    EXPECT_EQ(year.b, 30.0);
    const RatingCutoffs third = CutoffsFor(*book, 2, 2, 0, 100.0, false);
    EXPECT_EQ(third.a, 50.0);
    EXPECT_EQ(third.b, 10.0);
}

TEST(Ratings, ViewpointTableRoundsTheBCutoffHalvesToEven) {
    auto book = BookWithPupils({u"a"});
    book->RankAPercent[1][CriteriaIndex(0, 1)] = 20;
    book->RankCPercent[1][CriteriaIndex(0, 1)] = 35;
    const RatingCutoffs exact = CutoffsFor(*book, 1, 0, 1, 90.0, false);
    const RatingCutoffs rounded = CutoffsFor(*book, 1, 0, 1, 90.0, true);
    EXPECT_EQ(exact.b, 31.5);
    EXPECT_EQ(rounded.b, 32.0);
    EXPECT_EQ(rounded.a, 72.0) << "the A cut-off is never rounded";
    EXPECT_EQ(Rating(31.5, exact), QStringLiteral("B"));
    EXPECT_EQ(Rating(31.5, rounded), QStringLiteral("C"));

    book->RankCPercent[1][CriteriaIndex(0, 1)] = 25; // 22.5 -> 22, the even neighbour
    EXPECT_EQ(CutoffsFor(*book, 1, 0, 1, 90.0, true).b, 22.0);
    book->RankCPercent[1][CriteriaIndex(0, 1)] = 15; // 13.5 -> 14
    EXPECT_EQ(CutoffsFor(*book, 1, 0, 1, 90.0, true).b, 14.0);
}

TEST(Ratings, SumTypedExactlyAtTheCutoffReachesIt) {
    // 35 % of 93 points is 32.55, which a single-precision sum holds as 32.5499992.
    auto book = BookWithPupils({u"a"});
    book->RankAPercent[0][0] = 20;
    book->RankCPercent[0][0] = 35;
    const RatingCutoffs cut = CutoffsFor(*book, 0, 0, 0, 93.0f, false);
    EXPECT_EQ(Rating(32.55f, cut), QStringLiteral("B"));
    // 80 % of 93.5 is 74.8.
    const RatingCutoffs cut2 = CutoffsFor(*book, 0, 0, 0, 93.5f, false);
    EXPECT_EQ(Rating(74.8f, cut2), QStringLiteral("A"));
}

TEST(Ratings, UnsetCriteriaAndZeroMaximum) {
    auto book = BookWithPupils({u"a"});
    const RatingCutoffs unset = CutoffsFor(*book, 0, 0, 0, 100.0, false);
    EXPECT_EQ(unset.a, 101.0);
    EXPECT_EQ(Rating(100, unset), QStringLiteral("B"));
    EXPECT_EQ(Rating(0, unset), QStringLiteral("B"));
    const RatingCutoffs none = CutoffsFor(*book, 0, 0, 0, 0.0, false);
    EXPECT_EQ(Rating(0, none), QStringLiteral("A"));
}

TEST(Ratings, HugeValuesSaturateInsteadOfOverflowing) {
    auto book = BookWithPupils({u"a"});
    book->RankAPercent[0][0] = 32767;
    book->RankCPercent[0][0] = 32767;
    const RatingCutoffs huge = CutoffsFor(*book, 0, 0, 0, 3.0e38, true);
    EXPECT_EQ(huge.b, 32767.0);
    const RatingCutoffs nan =
        CutoffsFor(*book, 0, 0, 0, std::numeric_limits<double>::quiet_NaN(), true);
    EXPECT_EQ(Rating(5, nan), QStringLiteral("B")) << "NaN cut-off rounds to 0 for B";
    const RatingCutoffs outside = CutoffsFor(*book, 7, 9, 5, 100.0, false);
    EXPECT_EQ(Rating(0, outside), QStringLiteral("A")) << "out-of-range criteria are ignored";
}

// ---------------------------------------------------------------------------------------------
// Numeric ranking and rating of an aggregate

namespace {

// The ranks (as number text, "" when not ranked) of the first `n` pupils joined with "|".
template <typename Ranks> QString RankColumn(const Ranks& ranks, int n) {
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << (ranks[i] > 0 ? NumberText(ranks[i]) : QString());
    return out.join(u'|');
}

struct NumericRanking {
    explicit NumericRanking(std::unique_ptr<GradeBook> b) : book(std::move(b)) {}
    std::unique_ptr<GradeBook> book;
    int slot = SemesterAggregateSlot(0, 0, 0);
    AggregateResult result;

    // Ranks one aggregate whose pupils have `values` and whose class average is `average`.
    void Rank(std::initializer_list<float> values, float average = 50.0f,
              const RatingCutoffs* cutoffs = nullptr) {
        SetPupilValues(*book, slot, values);
        book->Scores[slot][kAverageColumn] = average;
        result = AggregateResultOf(*book, slot, cutoffs);
    }
    QString Ranks(int n) const {
        std::array<int, kMaxPupils> ranks{};
        for (int i = 0; i < n; ++i)
            ranks[i] = result.pupils[i].rank;
        return RankColumn(ranks, n);
    }
    QString Ratings(int n) const {
        QStringList out;
        for (int i = 0; i < n; ++i)
            out << RatingText(result.pupils[i].rating);
        return out.join(u'|');
    }
};

} // namespace

TEST(NumericRanking, TiesShareTheRankAndTheNextTakesItsPosition) {
    NumericRanking t(BookWithPupils({u"a", u"b", u"c"}));
    t.Rank({80, 80, 70});
    EXPECT_EQ(t.Ranks(3), QStringLiteral(" 1| 1| 3"));
    t.Rank({80, 70, 70});
    EXPECT_EQ(t.Ranks(3), QStringLiteral(" 1| 2| 2"));
    t.Rank({70, 70, 80});
    EXPECT_EQ(t.Ranks(3), QStringLiteral(" 2| 2| 1"));
}

TEST(NumericRanking, RatesEveryRankedPupil) {
    NumericRanking t(BookWithPupils({u"a", u"b", u"c", u"d"}));
    const RatingCutoffs cut{160, 80};
    t.Rank({160, 159, 80, 79}, 100, &cut);
    EXPECT_EQ(t.Ranks(4), QStringLiteral(" 1| 2| 3| 4"));
    EXPECT_EQ(t.Ratings(4), QStringLiteral("A|B|B|C"));
}

// The sums keep the marker as stored; ranks and ratings compare the points, and the result says
// that an absence is included.
TEST(NumericRanking, AbsentMarkerIsRemovedBeforeRankingAndRating) {
    NumericRanking t(BookWithPupils({u"a", u"b", u"c", u"d"}));
    const RatingCutoffs cut{160, 80};
    t.Rank({10090, 100, 95, kAbsent}, 100, &cut);
    EXPECT_EQ(t.Ranks(3), QStringLiteral(" 3| 1| 2"));
    EXPECT_EQ(t.Ratings(3), QStringLiteral("B|B|B"));
    const PupilResult& marked = t.result.pupils[0];
    EXPECT_EQ(marked.stored, 10090.0f);
    EXPECT_EQ(marked.points, 90.0f);
    EXPECT_TRUE(marked.absenceIncluded);
    EXPECT_FALSE(t.result.pupils[1].absenceIncluded);
    EXPECT_TRUE(t.result.pupils[3].absenceIncluded) << "an absence without points";
    EXPECT_EQ(t.result.average, 100.0f);
}

TEST(NumericRanking, NegativeClassAverageLeavesEveryoneUnrankedAndUnrated) {
    NumericRanking t(BookWithPupils({u"a", u"b"}));
    const RatingCutoffs cut{10, 5};
    t.Rank({80, 70}, -1.0f, &cut);
    EXPECT_FALSE(t.result.registered);
    EXPECT_EQ(t.Ranks(2), QStringLiteral("|"));
    EXPECT_EQ(t.Ratings(2), QStringLiteral("|"));
}

TEST(NumericRanking, WithoutCutoffsNobodyIsRated) {
    NumericRanking t(BookWithPupils({u"a", u"b"}));
    t.Rank({80, 70});
    EXPECT_EQ(t.Ratings(2), QStringLiteral("|"));
}

TEST(NumericRanking, PupilWithoutNameUsesUpNoRankNumber) {
    // Pupil 3 transferred out; a ranking that let his 0 take a pass would give pupil 2 rank 4.
    NumericRanking t(BookWithPupils({u"a", u"b", u"", u"d"}));
    t.Rank({10, 0, -1, 5});
    EXPECT_EQ(t.Ranks(4), QStringLiteral(" 1| 3|| 2"));
}

TEST(NumericRanking, PupilWithoutNameIsNeverRankedEvenWithOldScores) {
    NumericRanking t(BookWithPupils({u"a", u"", u"c"}));
    const RatingCutoffs cut{50, 20};
    t.Rank({40, 90, 30}, 50, &cut);
    EXPECT_EQ(t.Ranks(3), QStringLiteral(" 1|| 2"));
    EXPECT_EQ(t.Ratings(3), QStringLiteral("B||B"));
    EXPECT_FALSE(t.result.pupils[1].named);
}

TEST(NumericRanking, SecondColumnOfABuildRanksTheSame) {
    NumericRanking t(BookWithPupils({u"a", u"", u"c"}));
    t.Rank({5, -1, 3}, 4);
    const QString first = t.Ranks(3);
    t.slot = SemesterAggregateSlot(0, 0, 1);
    t.Rank({5, -1, 3}, 4);
    EXPECT_EQ(t.Ranks(3), first);
}

TEST(NumericRanking, ZeroSumsAreRankedLast) {
    NumericRanking t(BookWithPupils({u"a", u"b", u"c"}));
    t.Rank({0, 12, 0});
    EXPECT_EQ(t.Ranks(3), QStringLiteral(" 2| 1| 2"));
}

TEST(NumericRanking, OddValuesAndBoundsAreSafe) {
    NumericRanking t(BookWithPupils({u"a", u"b", u"c", u"d"}));
    t.Rank({std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 30000,
            -1});
    EXPECT_EQ(t.Ranks(4), QStringLiteral("| 1| 2|"));
    t.book->RosterSize = 200; // never indexes past the 40 places
    t.Rank({1, 2});
    t.book->RosterSize = -3;
    t.Rank({1, 2});
    EXPECT_EQ(t.Ranks(2), QStringLiteral("|"));
    EXPECT_FALSE(AggregateResultOf(*t.book, 5000, nullptr).registered);
    EXPECT_FALSE(AggregateResultOf(*t.book, -1, nullptr).registered);
}

// A subject's results of a period read that period's aggregates and criteria; the subject total
// is ranked, never rated.
TEST(SubjectResults, ThePeriodChoosesTheSumsAndTheCriteria) {
    auto book = BookWithPupils({u"a", u"b"});
    for (const int period : {1, 3}) {
        for (int c = 0; c <= kViewpoints; ++c) {
            const int slot = period == 3 ? YearAggregateSlot(2, c) : SemesterAggregateSlot(1, 2, c);
            SetPupilValues(*book, slot, {60, 40});
            book->Scores[slot][kPointsColumn] = 100;
            book->Scores[slot][kAverageColumn] = 50;
        }
        book->RankAPercent[period][CriteriaIndex(2, 0)] = period == 3 ? 50 : 30;
    }
    EXPECT_EQ(SubjectResultsOf(*book, 2, 1).aggregates[0].pupils[0].rating, u'B');
    EXPECT_EQ(SubjectResultsOf(*book, 2, 3).aggregates[0].pupils[0].rating, u'A');
    const AggregateResult total = SubjectResultsOf(*book, 2, 3).aggregates[kViewpoints];
    EXPECT_EQ(total.pupils[1].rank, 2);
    EXPECT_EQ(total.pupils[1].rating, 0);
    EXPECT_EQ(total.maximum, 100.0f);
    EXPECT_FALSE(SubjectResultsOf(*book, 2, 0).aggregates[0].registered);
    EXPECT_FALSE(SubjectResultsOf(*book, 9, 4).aggregates[0].registered);
}

// ---------------------------------------------------------------------------------------------
// Ranking of a test's totals (test table)

namespace {

// The ranks of pupils whose test totals are `totals` (kAbsent: absent, kNoData: nothing).
QString TestRanks(GradeBook& book, std::initializer_list<float> totals) {
    const int slot = TestSlot(0, 0, 0, kViewpoints);
    SetPupilValues(book, slot, totals);
    return RankColumn(TestTotalRanks(book, slot), static_cast<int>(totals.size()));
}

} // namespace

TEST(TestTotalRanking, TiesShareTheRank) {
    auto book = BookWithPupils({u"a", u"b", u"c"});
    EXPECT_EQ(TestRanks(*book, {80, 80, 70}), QStringLiteral(" 1| 1| 3"));
    EXPECT_EQ(TestRanks(*book, {80, 70, 70}), QStringLiteral(" 1| 2| 2"));
    EXPECT_EQ(TestRanks(*book, {9, 10, 100}), QStringLiteral(" 3| 2| 1"));
    EXPECT_EQ(TestRanks(*book, {80.4f, 79.6f, 80}), QStringLiteral(" 1| 1| 1"))
        << "the totals are ranked as shown, in whole numbers";
}

TEST(TestTotalRanking, AbsentAndEmptyTotalsAreNotRankedAndDoNotCount) {
    auto book = BookWithPupils({u"a", u"b", u"c", u"d"});
    EXPECT_EQ(TestRanks(*book, {80, kAbsent, 70, kNoData}), QStringLiteral(" 1|| 2|"));
    EXPECT_EQ(TestRanks(*book, {kAbsent, 80, 70, 0}), QStringLiteral("| 1| 2| 3"));
    EXPECT_EQ(TestRanks(*book, {kNoData, kNoData, kNoData, kNoData}), QStringLiteral("|||"));
}

TEST(TestTotalRanking, PupilWithoutNameIsNotRanked) {
    auto book = BookWithPupils({u"a", u"", u"c"});
    EXPECT_EQ(TestRanks(*book, {50, 90, 60}), QStringLiteral(" 2|| 1"));
}

TEST(TestTotalRanking, NegativeTotalsRankBelowTheOthersAndAbsentStaysUnranked) {
    auto book = BookWithPupils({u"a", u"b", u"c"});
    EXPECT_EQ(TestRanks(*book, {kAbsent, 80, -5}), QStringLiteral("| 1| 2"));
    EXPECT_EQ(TestRanks(*book, {kAbsentMarker + 5, 80, -5}), QStringLiteral(" 2| 1| 3"))
        << "a total shown with \"*\" counts as 0";
}

// ---------------------------------------------------------------------------------------------
// Aggregation at registration

namespace {

constexpr int kSubj = 1;

void SetTest(GradeBook& book, int semester, int test, int c, std::initializer_list<float> values,
             float points) {
    const int slot = TestSlot(semester, kSubj, test, c);
    SetPupilValues(book, slot, values);
    book.Scores[slot][kPointsColumn] = points;
    book.Scores[slot][kCountColumn] = static_cast<float>(values.size());
}

} // namespace

TEST(Aggregation, SemesterSumsWithAbsenceMarker) {
    auto book = BookWithPupils({u"a", u"b", u"c"});
    SetTest(*book, 0, 0, 0, {30, -2, 20}, 50);
    SetTest(*book, 0, 3, 0, {40, 50, -1}, 60);
    AggregateSubject(*book, kSubj, 0);
    const int g = SemesterAggregateSlot(0, kSubj, 0);
    EXPECT_EQ(book->Scores[g][0], 70.0f);
    EXPECT_EQ(book->Scores[g][1], 10050.0f) << "an absence adds the marker, not points";
    EXPECT_EQ(book->Scores[g][2], 20.0f);
    EXPECT_EQ(book->Scores[g][3], 0.0f) << "a place without data sums to 0";
    EXPECT_EQ(book->Scores[g][kPointsColumn], 110.0f) << "the maximum of the semester";
    EXPECT_EQ(book->Scores[g][kCountColumn], 6.0f);
    EXPECT_FLOAT_EQ(book->Scores[g][kAverageColumn], (70.0f + 50.0f + 20.0f) / 3.0f)
        << "the class average leaves the marker out";
}

TEST(Aggregation, OnlyAbsencesGiveTheBareMarker) {
    auto book = BookWithPupils({u"a"});
    SetTest(*book, 1, 2, 3, {-2}, 0);
    SetTest(*book, 1, 5, 3, {-2}, 0);
    AggregateSubject(*book, kSubj, 1);
    const int g = SemesterAggregateSlot(1, kSubj, 3);
    EXPECT_EQ(book->Scores[g][0], 10000.0f);
    EXPECT_EQ(book->Scores[g][kAverageColumn], 0.0f);
}

TEST(Aggregation, WholeYearSumsAllTestsOfTheThreeSemesters) {
    auto book = BookWithPupils({u"a", u"b"});
    SetTest(*book, 0, 0, 2, {10, 20}, 25);
    SetTest(*book, 1, 9, 2, {5, -2}, 10);
    SetTest(*book, 2, 4, 2, {1, 2}, 5);
    // A stale semester aggregate of another semester is not summed again.
    book->Scores[SemesterAggregateSlot(2, kSubj, 2)][0] = 999;
    AggregateSubject(*book, kSubj, 1);
    const int y = YearAggregateSlot(kSubj, 2);
    EXPECT_EQ(book->Scores[y][0], 16.0f);
    EXPECT_EQ(book->Scores[y][1], 10022.0f);
    EXPECT_EQ(book->Scores[y][kPointsColumn], 40.0f);
    EXPECT_EQ(book->Scores[y][kAverageColumn], 19.0f);
    const int semester = SemesterAggregateSlot(1, kSubj, 2);
    EXPECT_EQ(book->Scores[semester][0], 5.0f);
    EXPECT_EQ(book->Scores[semester][1], 10000.0f);
    EXPECT_EQ(book->Scores[SemesterAggregateSlot(0, kSubj, 2)][0], -1.0f)
        << "other semesters' aggregates are not recomputed";
}

TEST(Aggregation, AverageDividesByThePupilsWithAName) {
    auto book = BookWithPupils({u"a", u"", u"c", u"d"});
    SetTest(*book, 0, 0, 0, {30, -1, 20, 10}, 50);
    AggregateSubject(*book, kSubj, 0);
    EXPECT_EQ(book->Scores[SemesterAggregateSlot(0, kSubj, 0)][kAverageColumn], 20.0f);
    EXPECT_EQ(book->Scores[YearAggregateSlot(kSubj, 0)][kAverageColumn], 20.0f);
}

TEST(Aggregation, OldScoresOfAPupilWithoutNameDoNotEnterTheAverage) {
    auto book = BookWithPupils({u"a", u"", u"c"});
    SetTest(*book, 0, 0, 0, {30, 90, 20}, 100);
    AggregateSubject(*book, kSubj, 0);
    EXPECT_EQ(book->Scores[SemesterAggregateSlot(0, kSubj, 0)][kAverageColumn], 25.0f);
}

TEST(Aggregation, AverageIsNotRegisteredWhenNobodyHasAName) {
    auto book = BookWithPupils({u"", u""});
    SetTest(*book, 0, 0, 0, {30, 20}, 50);
    AggregateSubject(*book, kSubj, 0);
    for (int c = 0; c <= 3; ++c) {
        EXPECT_EQ(book->Scores[SemesterAggregateSlot(0, kSubj, c)][kAverageColumn], -1.0f);
        EXPECT_EQ(book->Scores[YearAggregateSlot(kSubj, c)][kAverageColumn], -1.0f);
    }
    book->RosterSize = 0;
    AggregateSubject(*book, kSubj, 0);
    EXPECT_EQ(book->Scores[SemesterAggregateSlot(0, kSubj, 0)][kAverageColumn], -1.0f);
}

TEST(Aggregation, TouchesOnlyTheSubjectsAggregates) {
    auto book = BookWithPupils({u"a"});
    SetTest(*book, 0, 0, 0, {30}, 50);
    const auto before = std::make_unique<GradeBook>(*book);
    AggregateSubject(*book, kSubj, 0);
    for (int slot = 0; slot < kUsedSlots; ++slot) {
        const bool aggregate =
            (slot >= SemesterAggregateSlot(0, kSubj, 0) &&
             slot <= SemesterAggregateSlot(0, kSubj, 3)) ||
            (slot >= YearAggregateSlot(kSubj, 0) && slot <= YearAggregateSlot(kSubj, 3));
        if (aggregate)
            continue;
        for (int col = 0; col < kScoreColumns; ++col)
            ASSERT_EQ(book->Scores[slot][col], before->Scores[slot][col]) << slot << "," << col;
    }
}

TEST(Aggregation, HugeAndNaNScoresFromAFileDoNotCrash) {
    auto book = BookWithPupils({u"a", u"b"});
    SetTest(*book, 0, 0, 0, {3.0e38f, std::numeric_limits<float>::quiet_NaN()}, 3.0e38f);
    SetTest(*book, 0, 1, 0, {3.0e38f, 1}, 3.0e38f);
    AggregateSubject(*book, kSubj, 0);
    EXPECT_TRUE(std::isinf(book->Scores[SemesterAggregateSlot(0, kSubj, 0)][0]));
    AggregateSubject(*book, 6, 0); // out of range: nothing happens
    AggregateSubject(*book, 0, 3);
    AggregateSubject(*book, -1, -1);
}
