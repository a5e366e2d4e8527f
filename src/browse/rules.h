#pragma once
// The evaluation rules: aggregation at registration, class ranks, A/B/C ratings and the texts of
// score and sum cells.

#include "grid.h"
#include "model/gradebook.h"
#include "model/numbers.h"
#include "model/session.h"

#include <QLocale>
#include <QString>

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
QString Rating(double value, const RatingCutoffs& cutoffs);

// Numeric ranking of one aggregate slot: ranks into `rankCol`, ratings into `ratingCol` when
// `cutoffs` is given. Call ResetNumericRanking once per table build before the first column.
void ResetNumericRanking(Session& session);
void RankNumeric(const GradeBook& book, Session& session, Grid& grid, int slot, int rankCol,
                 int ratingCol, const RatingCutoffs* cutoffs);

// Text ranking of the test table: candidates are the texts of `totalCol`, ranks into `rankCol`.
void RankText(const GradeBook& book, Session& session, Grid& grid, int totalCol, int rankCol);

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
