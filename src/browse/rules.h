#pragma once
// The evaluation rules: aggregation at registration, class ranks, A/B/C ratings, the results as
// values, and the texts of score and sum cells.

#include "grid.h"
#include "model/gradebook.h"
#include "model/numbers.h"

#include <QLocale>
#include <QString>
#include <array>
#include <span>

namespace kirune {

// Recomputes the semester aggregate of `subject` in `semester` and the subject's whole-year
// aggregate, with their class averages (divisor CountEnrolled; -1 when nobody has a name).
void AggregateSubject(GradeBook& book, int subject, int semester);

struct RatingCutoffs {
    double a = 0; // a sum at or above this is "A"
    double b = 0; // otherwise at or above this is "B", else "C"
};
// Cut-offs from the shares of (period, subject, viewpoint) and the maximum M; `roundB` rounds the
// B cut-off to a whole number, halves to even (the viewpoint table).
RatingCutoffs CutoffsFor(const GradeBook& book, int period, int subject, int viewpoint,
                         double maximum, bool roundB);
char16_t RatingOf(double value, const RatingCutoffs& cutoffs);
QString Rating(double value, const RatingCutoffs& cutoffs);

// Competition ranks of the candidates (equal values share a rank, the next lower value gets one
// plus the number of candidates above it: 1, 1, 3) into `ranks`; 0 for a pupil who is no
// candidate. The three spans have the same length.
void CompetitionRanks(std::span<const double> values, std::span<const bool> candidates,
                      std::span<int> ranks);

// --- Results as values -------------------------------------------------------------------------
// What the tables show and other features read (the pupils' records, the ratings overview, the
// grade summary, the test editor's registration): computed here from the book, formatted by the
// tables, never read back from a table's text.

// A pupil's result in one aggregate: a viewpoint or the subject total of a semester or the year.
struct PupilResult {
    bool named = false;     // only a pupil with a name is shown, ranked and rated
    float stored = kNoData; // the sum as the book holds it (kNoData, kAbsent, or the points
                            // with kAbsentMarker added when an absence is included)
    float points = kNoData; // the sum without the absence marker: what ranks and ratings compare
    bool absenceIncluded = false; // an absence is among the tests summed
    int rank = 0;                 // 1 is the highest sum; 0 not ranked
    char16_t rating = 0;          // u'A', u'B' or u'C'; 0 not rated
};

// One aggregate of the class: every pupil's result and the class figures.
struct AggregateResult {
    bool registered = false; // a class average is registered (not negative): ranks are given
    float maximum = kNoData; // the points the period's tests give it (the rating's M)
    float average = kNoData; // the class average as the book holds it
    std::array<PupilResult, kMaxPupils> pupils{};
};

// The results of an aggregate slot: sums and ranks, and with `cutoffs` the ratings. A slot
// outside the book gives an empty result.
AggregateResult AggregateResultOf(const GradeBook& book, int slot, const RatingCutoffs* cutoffs);

// A subject in one period (0..2 a semester, 3 the whole year): its three viewpoints ranked and
// rated against the period's criteria, then the subject total, ranked and not rated. As the
// semester and annual subject tables show them.
struct SubjectResults {
    std::array<AggregateResult, kViewpoints + 1> aggregates{};
};
SubjectResults SubjectResultsOf(const GradeBook& book, int subject, int period);

// The ranks of a test's totals (slot `totalSlot`) as the test table shows them: the totals are
// rounded to whole numbers; an absence or no data is not ranked, nor is a pupil without a name.
std::array<int, kMaxPupils> TestTotalRanks(const GradeBook& book, int totalSlot);

// The rating letter as a cell shows it ("" when not rated).
QString RatingText(char16_t rating);

// Header of a test column in the viewpoint table: pairs of blanks in the test name become one
// blank (one pass from the left), every remaining blank a line break (character 13), then a line
// break and the date text. A name of several words shows one word per line above the date.
QString ViewpointTestHeader(const QString& testName, const QString& dateText);

// A rank cell: the rank as number text.
void SetRankCell(Grid& grid, int row, int col, int rank);

// The two writers of score, sum and average cells; each cell carries its number, its absence
// mark or its absence beside the text.
void SetScoreCell(Grid& grid, int row, int col, int16_t value);
void SetSumCell(Grid& grid, int row, int col, float value,
                const QLocale& locale = RegionalLocale());

} // namespace kirune
