#pragma once
// The distribution graph (集計グラフ) of one viewpoint: the pupils' totals of a period spread over
// 20 columns, one stacked box per pupil coloured by the rank the shown shares give, and the class
// average as a dotted line. Drawn on an editor's window layer or on the printer.

#include "canvas.h"
#include "model/gradebook.h"

#include <array>
#include <cstdint>

namespace kirune {

// What one graph shows, worked out from the grade book before anything is drawn.
struct Distribution {
    float Low = 1000; // lowest positive total less 1, or 0 when a counted total lies below that
    float High = 0;   // highest total plus 1
    double Step = 0;  // width of a column in points: a whole number, may be negative
    int16_t Full = 0; // full marks of the aggregate, rounded
    // The rank boundaries as exact fractions: a total t reaches A when t * 100 >= ABoundary100.
    long long ABoundary100 = 0;
    long long CBoundary100 = 0;
    std::array<int16_t, 20> BinLabel{};
    std::array<int16_t, 20> BinCount{}; // every named pupil in exactly one column
    int CountA = 0, CountB = 0, CountC = 0;
    float Average = 0; // the class average of the aggregate
};

// The column a total falls into: (total - low) / step rounded halves to even; -1 when that is not
// a column 0..20 (or the step is 0, or a value is not a number).
int DistributionBinIndex(float total, float low, double step);

// The column a named pupil's box goes in: the column of DistributionBinIndex, with the highest
// totals (index 20) in the last column 19 and a total that is not above 0 (or not a number, or
// off the columns below) in column 0.
int DistributionColumn(float total, float low, double step);

// Range, full marks, boundaries, step, labels and counts for `slot` with the given shares.
// `slot` outside 0..816 gives the distribution of an empty roster.
Distribution ComputeDistribution(const GradeBook& book, int slot, int16_t aShare, int16_t cShare);

// Draws a computed distribution at origin (x, y): the left edge of the label column and the top
// of the plot. `subject` and `viewpoint` only name the graph.
void DrawDistribution(Canvas& canvas, const GradeBook& book, const Distribution& d, double x,
                      double y, int subject, int viewpoint);

// Wipes the area the graph at origin (x, y) draws on (labels included), so that a graph drawn
// again leaves nothing of the earlier one.
void EraseDistributionGraph(Canvas& canvas, double x, double y);

// Both in one: what the criteria editors and the graph page call. On the printer
// (canvas.IsPrinter()) the graph is 1.8 times the window's size and its heading lists the rank
// counts. It leaves DrawWidth 1, FillStyle transparent and DrawStyle solid; on the printer also
// FontSize 11 and the font "ＭＳ ゴシック". It does not clear the area it draws on.
void DrawDistributionGraph(Canvas& canvas, const GradeBook& book, int slot, double x, double y,
                           int16_t aShare, int16_t cShare, int subject, int viewpoint);

} // namespace kirune
