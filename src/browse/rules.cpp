#include "rules.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kirune {

namespace {

int ClampedRosterSize(const GradeBook& book) {
    return std::clamp<int>(book.RosterSize, 0, kMaxPupils);
}

// Sum of one column over the given slots: points are added, "no data" adds nothing, and an
// absence anywhere marks the sum with kAbsentMarker. Float arithmetic, as the scores are held:
// huge or odd values from a file become inf or NaN, never undefined behaviour.
template <typename Slots>
float SumWithAbsence(const GradeBook& book, const Slots& sourceSlots, int column) {
    float sum = 0.0f;
    bool absent = false;
    for (int slot : sourceSlots) {
        const float v = book.Scores[slot][column];
        if (v == kAbsent)
            absent = true;
        else if (v != kNoData)
            sum += v;
    }
    return absent ? sum + kAbsentMarker : sum;
}

// Class average of an aggregate slot over the named pupils; -1 (not registered) when nobody in
// the class has a name, rather than dividing by zero.
float AggregateAverage(const GradeBook& book, int slot) {
    const int enrolled = CountEnrolled(book);
    if (enrolled == 0)
        return kNoData;
    float total = 0.0f;
    const int n = ClampedRosterSize(book);
    for (int r = 1; r <= n; ++r)
        if (HasName(book, r))
            total += WithoutAbsentMarker(book.Scores[slot][r - 1]);
    return total / static_cast<float>(enrolled);
}

} // namespace

void AggregateSubject(GradeBook& book, int subject, int semester) {
    if (subject < 0 || subject >= kSubjects || semester < 0 || semester >= kSemesters)
        return;

    std::array<int, kTestsPerSemester> semesterSlots{};
    std::array<int, kTestsPerSemester * kSemesters> yearSlots{};
    for (int c = 0; c <= kViewpoints; ++c) {
        for (int t = 0; t < kTestsPerSemester; ++t)
            semesterSlots[t] = TestSlot(semester, subject, t, c);
        for (int j = 0; j < kSemesters; ++j)
            for (int t = 0; t < kTestsPerSemester; ++t)
                yearSlots[j * kTestsPerSemester + t] = TestSlot(j, subject, t, c);

        const int semesterAggregate = SemesterAggregateSlot(semester, subject, c);
        const int yearAggregate = YearAggregateSlot(subject, c);
        // Every column, the pupils and the special columns alike: the points column becomes the
        // aggregate's maximum; the average column is replaced below.
        for (int r = 0; r < kScoreColumns; ++r) {
            book.Scores[semesterAggregate][r] = SumWithAbsence(book, semesterSlots, r);
            book.Scores[yearAggregate][r] = SumWithAbsence(book, yearSlots, r);
        }
    }
    // The class averages come after all sums, the semester ones first.
    for (int c = 0; c <= kViewpoints; ++c) {
        const int slot = SemesterAggregateSlot(semester, subject, c);
        book.Scores[slot][kAverageColumn] = AggregateAverage(book, slot);
    }
    for (int c = 0; c <= kViewpoints; ++c) {
        const int slot = YearAggregateSlot(subject, c);
        book.Scores[slot][kAverageColumn] = AggregateAverage(book, slot);
    }
}

RatingCutoffs CutoffsFor(const GradeBook& book, int period, int subject, int viewpoint,
                         double maximum, bool roundB) {
    RatingCutoffs cutoffs;
    if (period < 0 || period >= kCriteriaPeriods || subject < 0 || subject >= kSubjects ||
        viewpoint < 0 || viewpoint >= kViewpoints)
        return cutoffs;
    const int entry = CriteriaIndex(subject, viewpoint);
    const int a = book.RankAPercent[period][entry];
    const int c = book.RankCPercent[period][entry];
    // Computed in single precision like the sums they are compared with, so that a sum typed
    // as exactly the cut-off (35 % of 93 = 32.55) compares equal to it.
    const float m = static_cast<float>(maximum);
    const float aCut = static_cast<float>(100 - a) * m / 100.0f;
    const float bCut = static_cast<float>(c) * m / 100.0f;
    cutoffs.a = aCut;
    cutoffs.b = roundB ? static_cast<double>(RoundHalfEvenInt16(bCut)) : static_cast<double>(bCut);
    return cutoffs;
}

char16_t RatingOf(double value, const RatingCutoffs& cutoffs) {
    if (value >= cutoffs.a)
        return u'A';
    if (value >= cutoffs.b)
        return u'B';
    return u'C';
}

QString RatingText(char16_t rating) {
    return rating == 0 ? QString() : QString(QChar(rating));
}

QString Rating(double value, const RatingCutoffs& cutoffs) {
    return RatingText(RatingOf(value, cutoffs));
}

void SetRankCell(Grid& grid, int row, int col, int rank) {
    grid.SetCell(row, col, NumberText(rank), CellValue::Number(rank));
}

void CompetitionRanks(std::span<const double> values, std::span<const bool> candidates,
                      std::span<int> ranks) {
    const size_t n = std::min({values.size(), candidates.size(), ranks.size()});
    for (size_t i = 0; i < n; ++i) {
        ranks[i] = 0;
        if (!candidates[i])
            continue;
        int above = 0;
        for (size_t j = 0; j < n; ++j)
            if (candidates[j] && values[j] > values[i])
                ++above;
        ranks[i] = above + 1;
    }
}

AggregateResult AggregateResultOf(const GradeBook& book, int slot, const RatingCutoffs* cutoffs) {
    AggregateResult result;
    if (slot < 0 || slot >= kUsedSlots)
        return result;
    const auto& scores = book.Scores[slot];
    result.maximum = scores[kPointsColumn];
    result.average = scores[kAverageColumn];
    // Nothing registered for this aggregate yet: no ranks, no ratings.
    result.registered = !(result.average < 0);
    const int n = ClampedRosterSize(book);
    std::array<double, kMaxPupils> values{};
    std::array<bool, kMaxPupils> candidates{};
    for (int i = 0; i < n; ++i) {
        PupilResult& pupil = result.pupils[i];
        pupil.named = HasName(book, i + 1);
        pupil.stored = scores[i];
        pupil.points = WithoutAbsentMarker(pupil.stored);
        pupil.absenceIncluded = pupil.stored == kAbsent || pupil.stored >= kAbsentMarker;
        // Candidates are the named pupils only: a pupil without a name never takes a rank
        // number from anybody. A value of exactly -1 (no data) or NaN is not ranked.
        values[i] = pupil.points;
        candidates[i] = result.registered && pupil.named && pupil.points != kNoData &&
                        !std::isnan(pupil.points);
    }
    std::array<int, kMaxPupils> ranks{};
    CompetitionRanks(values, candidates, ranks);
    for (int i = 0; i < n; ++i) {
        PupilResult& pupil = result.pupils[i];
        pupil.rank = ranks[i];
        if (cutoffs && candidates[i])
            pupil.rating = RatingOf(pupil.points, *cutoffs);
    }
    return result;
}

SubjectResults SubjectResultsOf(const GradeBook& book, int subject, int period) {
    SubjectResults results;
    if (subject < 0 || subject >= kSubjects || period < 0 || period > kSemesters)
        return results;
    for (int c = 0; c <= kViewpoints; ++c) {
        const int slot = period == kSemesters ? YearAggregateSlot(subject, c)
                                              : SemesterAggregateSlot(period, subject, c);
        if (c < kViewpoints) {
            const RatingCutoffs cutoffs =
                CutoffsFor(book, period, subject, c, book.Scores[slot][kPointsColumn], false);
            results.aggregates[c] = AggregateResultOf(book, slot, &cutoffs);
        } else {
            results.aggregates[c] = AggregateResultOf(book, slot, nullptr);
        }
    }
    return results;
}

std::array<int, kMaxPupils> TestTotalRanks(const GradeBook& book, int totalSlot) {
    std::array<int, kMaxPupils> ranks{};
    if (totalSlot < 0 || totalSlot >= kUsedSlots)
        return ranks;
    const int n = ClampedRosterSize(book);
    std::array<double, kMaxPupils> values{};
    std::array<bool, kMaxPupils> candidates{};
    for (int i = 0; i < n; ++i) {
        // The total as the table shows it: a whole number; one carrying the absence marker
        // shows with "*" and counts as 0.
        const int16_t total = RoundHalfEvenInt16(book.Scores[totalSlot][i]);
        candidates[i] = HasName(book, i + 1) && total != -1 && total != -2;
        values[i] = total >= 10000 ? 0.0 : total;
    }
    CompetitionRanks(std::span<const double>(values.data(), n),
                     std::span<const bool>(candidates.data(), n), std::span<int>(ranks.data(), n));
    return ranks;
}

namespace {

// The cell is written only when it differs from what it holds.
void WriteUnlessSame(Grid& grid, int row, int col, const QString& text, const CellValue& value) {
    if (grid.Text(row, col) != text || grid.Value(row, col) != value)
        grid.SetCell(row, col, text, value);
}

} // namespace

void SetScoreCell(Grid& grid, int row, int col, int16_t value) {
    if (value == -1) {
        WriteUnlessSame(grid, row, col, QString(), CellValue::Text());
    } else if (value == -2) {
        WriteUnlessSame(grid, row, col, QStringLiteral("*"), CellValue::Absent());
    } else if (value >= 10000) {
        grid.SetCell(row, col, u'*' + NumberText(value - 10000),
                     CellValue::MarkedNumber(value - 10000));
    } else {
        WriteUnlessSame(grid, row, col, NumberText(value), CellValue::Number(value));
    }
}

void SetSumCell(Grid& grid, int row, int col, float value, const QLocale& locale) {
    const bool grouped = GroupsDigits(locale);
    if (value == kNoData) {
        WriteUnlessSame(grid, row, col, QString(), CellValue::Text());
    } else if (value == kAbsent) {
        WriteUnlessSame(grid, row, col, QStringLiteral("*"), CellValue::Absent());
    } else if (value >= kAbsentMarker) {
        // Subtracted in double: exact for every float, so the rounding sees the true points.
        const double points = static_cast<double>(value) - static_cast<double>(kAbsentMarker);
        grid.SetCell(row, col, u'*' + FormatFixed(points, 0, locale),
                     CellValue::MarkedNumber(RoundFixed(points, 0), 0, grouped));
    } else {
        const double points = static_cast<double>(value);
        WriteUnlessSame(grid, row, col, FormatFixed(points, 0, locale),
                        CellValue::Number(RoundFixed(points, 0), 0, grouped));
    }
}

} // namespace kirune
