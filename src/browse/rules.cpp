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

QString Rating(double value, const RatingCutoffs& cutoffs) {
    if (value >= cutoffs.a)
        return QStringLiteral("A");
    if (value >= cutoffs.b)
        return QStringLiteral("B");
    return QStringLiteral("C");
}

void SetRankCell(Grid& grid, int row, int col, int rank) {
    grid.SetCell(row, col, NumberText(rank), CellValue::Number(rank));
}

void ResetNumericRanking(Session& session) {
    for (int i = 0; i < kMaxPupils; ++i)
        session.WorkTotals[i] = 0.0f;
}

void RankNumeric(const GradeBook& book, Session& session, Grid& grid, int slot, int rankCol,
                 int ratingCol, const RatingCutoffs* cutoffs) {
    if (slot < 0 || slot >= kUsedSlots)
        return;
    const int n = ClampedRosterSize(book);
    const bool rated = cutoffs != nullptr;

    if (book.Scores[slot][kAverageColumn] < 0) {
        // Nothing registered for this aggregate yet.
        for (int r = 1; r <= n; ++r) {
            grid.SetText(r, rankCol, QString());
            if (rated)
                grid.SetText(r, ratingCol, QString());
        }
        return;
    }

    // Candidates are the named pupils only: a pupil without a name never takes a rank number
    // from anybody. A value of exactly -1 (no data) or NaN is not ranked.
    std::array<bool, kMaxPupils> candidate{};
    for (int r = 1; r <= n; ++r) {
        if (!HasName(book, r)) {
            grid.SetText(r, rankCol, QString());
            if (rated)
                grid.SetText(r, ratingCol, QString());
            continue;
        }
        const float v = WithoutAbsentMarker(book.Scores[slot][r - 1]);
        session.WorkTotals[r - 1] = v;
        candidate[r - 1] = v != kNoData && !std::isnan(v);
    }

    // Competition ranking: equal sums share a rank, the next lower sum gets one plus the number
    // of pupils above it (1, 1, 3).
    for (int i = 0; i < n; ++i) {
        if (!candidate[i])
            continue;
        const float v = session.WorkTotals[i];
        int above = 0;
        for (int j = 0; j < n; ++j)
            if (candidate[j] && session.WorkTotals[j] > v)
                ++above;
        SetRankCell(grid, i + 1, rankCol, above + 1);
        if (rated)
            grid.SetCell(i + 1, ratingCol, Rating(v, *cutoffs), CellValue::Rating());
    }
}

void RankText(const GradeBook& book, Session& session, Grid& grid, int totalCol, int rankCol) {
    const int n = ClampedRosterSize(book);
    const QString absent = QStringLiteral("*");
    std::array<double, kMaxPupils> value{};
    std::array<bool, kMaxPupils> candidate{};
    for (int r = 1; r <= n; ++r) {
        session.WorkValues[r - 1] = grid.Text(r, totalCol);
        grid.SetText(r, rankCol, QString());
        const QString& text = session.WorkValues[r - 1];
        // No data ("") and absent ("*") are never ranked, nor is a pupil without a name.
        candidate[r - 1] = HasName(book, r) && !text.isEmpty() && text != absent;
        value[r - 1] = candidate[r - 1] ? LeadingNumber(text) : 0.0;
    }
    for (int i = 0; i < n; ++i) {
        if (!candidate[i])
            continue;
        int above = 0;
        for (int j = 0; j < n; ++j)
            if (candidate[j] && value[j] > value[i])
                ++above;
        SetRankCell(grid, i + 1, rankCol, above + 1);
    }
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
