#include "graph.h"

#include "model/numbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// Sizes of the graph on the window and on paper (the printer's are 1.8 times larger).
struct GraphGeometry {
    double plotLeft;                       // X0 - x
    double base;                           // Base - y
    double pitch;                          // one column
    double boxSize;                        // width and height of a pupil's box
    double boxOffset;                      // box left from the column's start
    int axisWidth;                         // pixels
    double axisLength;                     // horizontal axis
    double countStep;                      // y-axis label every 5 pupils
    double labelDx, labelDy, labelStagger; // bin labels under the axis
    double countLabelDx;                   // pupil-count labels left of the axis
};

constexpr double kBelowHeading = 60; // between the heading and the top of the average line

constexpr GraphGeometry kWindowGeometry{485, 2000, 150, 100, 25, 2, 3150, 500, 5, 10, 150, 10};
constexpr GraphGeometry kPrinterGeometry{873, 3600, 270, 180, 45, 4, 5670, 900, 9, 18, 135, 72};

QString SubjectTitle(const GradeBook& book, int subject, int column) {
    if (subject < 0 || subject >= static_cast<int>(book.SubjectTitles.size()) || column < 0 ||
        column >= static_cast<int>(book.SubjectTitles[0].size()))
        return {};
    return book.SubjectTitles[subject][column];
}

// A whole number into a 16-bit label; values beyond the range stay at its ends.
int16_t ClampToInt16(double value) {
    return RoundHalfEvenInt16(value);
}

// How the column labels are set out: every `every`-th column is labelled; alternate labels sit
// `stagger` lower.
struct LabelLayout {
    int every = 1;
    double stagger = 0;
};

LabelLayout LayOutLabels(const Canvas& canvas, const Distribution& d, const GraphGeometry& g) {
    constexpr double kGap = 40; // between two neighbouring labels
    double widest = 0;
    for (const int16_t label : d.BinLabel)
        widest = std::max(widest, canvas.TextWidth(NumberText(label)));
    widest += kGap;
    // Labels that fit their column keep the usual stagger. Wider ones would run into their
    // neighbours (two rows a little apart still overlap in height): one row, every second
    // (third, ...) column labelled.
    if (widest <= g.pitch)
        return {1, g.labelStagger};
    return {std::min(20, static_cast<int>(std::ceil(widest / g.pitch))), 0};
}

} // namespace

int DistributionBinIndex(float total, float low, double step) {
    if (step == 0 || std::isnan(step))
        return -1;
    const double quotient = static_cast<double>(total - low) / step;
    if (!std::isfinite(quotient))
        return -1;
    const double index = std::nearbyint(quotient); // halves to even
    if (index < 0 || index > 20)
        return -1;
    return static_cast<int>(index);
}

int DistributionColumn(float total, float low, double step) {
    if (!(total > 0))
        return 0; // no points yet, or not a number
    const double quotient = static_cast<double>(total - low) / step;
    if (step == 0 || std::isnan(quotient))
        return 0;
    const double index = std::nearbyint(quotient);
    return index <= 0 ? 0 : index >= 19 ? 19 : static_cast<int>(index);
}

Distribution ComputeDistribution(const GradeBook& book, int slot, int16_t aShare, int16_t cShare) {
    Distribution d;
    const bool validSlot = slot >= 0 && slot < static_cast<int>(book.Scores.size());
    const int roster = validSlot ? std::clamp<int>(book.RosterSize, 0, kMaxPupils) : 0;

    // Range over every place of the roster, named or not.
    for (int n = 1; n <= roster; ++n) {
        const float s = WithoutAbsentMarker(book.Scores[slot][n - 1]);
        if (s > d.High)
            d.High = s;
        if (s > 0 && s < d.Low)
            d.Low = s;
    }
    d.High = d.High + 1.0f;
    if (d.Low > 0)
        d.Low = d.Low - 1.0f;
    // A counted total below the axis' start (no points yet, or 0): the axis starts at 0 and
    // the columns are spread from there, so that every box stands above a label true for it.
    for (int n = 1; n <= roster; ++n)
        if (!book.StudentNames[n - 1].isEmpty() &&
            WithoutAbsentMarker(book.Scores[slot][n - 1]) < d.Low)
            d.Low = 0;

    // Full marks and the rank boundaries (kept as hundredfold whole numbers, so exact).
    const long long bShare = 100LL - aShare - cShare;
    d.Full = validSlot ? RoundHalfEvenInt16(book.Scores[slot][kPointsColumn]) : int16_t{0};
    d.ABoundary100 = (bShare + cShare) * d.Full;
    d.CBoundary100 = static_cast<long long>(cShare) * d.Full;

    // The step: (High - Low) / 20 in single precision, rounded up to a whole number.
    const float q = (d.High - d.Low) / 20.0f;
    double step = std::nearbyint(static_cast<double>(q));
    if (step < q)
        step += 1;
    d.Step = step;

    // Labels of the 20 columns.
    const double lowRounded = RoundHalfAwayFromZero(d.Low);
    for (int i = 0; i < 20; ++i)
        d.BinLabel[i] = ClampToInt16(i == 0 ? lowRounded : lowRounded + i * d.Step);
    if (d.BinLabel[19] < d.High)
        d.BinLabel[19] = ClampToInt16(d.High);

    // Counting: named pupils only, each in exactly one column, so that the boxes add up to the
    // rank counts of the heading.
    for (int n = 1; n <= roster; ++n) {
        if (book.StudentNames[n - 1].isEmpty())
            continue;
        const float s = WithoutAbsentMarker(book.Scores[slot][n - 1]);
        ++d.BinCount[DistributionColumn(s, d.Low, d.Step)];
        const double hundredfold = static_cast<double>(s) * 100.0; // exact for a float
        if (hundredfold >= static_cast<double>(d.ABoundary100))
            ++d.CountA;
        else if (hundredfold >= static_cast<double>(d.CBoundary100))
            ++d.CountB;
        else
            ++d.CountC;
    }

    d.Average =
        validSlot ? book.Scores[slot][kAverageColumn] : std::numeric_limits<float>::quiet_NaN();
    return d;
}

void DrawDistribution(Canvas& canvas, const GradeBook& book, const Distribution& d, double x,
                      double y, int subject, int viewpoint) {
    const bool printer = canvas.IsPrinter();
    const GraphGeometry& g = printer ? kPrinterGeometry : kWindowGeometry;
    const double x0 = x + g.plotLeft;
    const double base = y + g.base;
    const QString viewpointName = SubjectTitle(book, subject, viewpoint + 1);

    // Heading.
    double headingBottom = y;
    if (printer) {
        canvas.FontSize = 12;
        canvas.FontName = u"ＭＳ 明朝"_s;
        canvas.CurrentX = x + 2160;
        canvas.CurrentY = y + 540;
        // Within the graph's width on paper, however long the viewpoint's name.
        const FittedText heading =
            FitText(canvas,
                    viewpointName + QStringLiteral("  A:") + NumberText(d.CountA) + u"人  B:"_s +
                        NumberText(d.CountB) + u"人  C:"_s + NumberText(d.CountC) + u"人"_s,
                    g.plotLeft + g.axisLength - 2160, 12);
        canvas.FontSize = heading.size;
        canvas.Print(heading.text);
        canvas.FontSize = 12;
        headingBottom = canvas.CurrentY;
    } else {
        canvas.CurrentX = x + 800;
        canvas.CurrentY = y + 300;
        canvas.Print(SubjectTitle(book, subject, 0) + u' ' + viewpointName + u" 集計グラフ ("_s +
                     QString::number(d.Full) + u"点満点)"_s);
        headingBottom = canvas.CurrentY;
    }

    // Axes.
    canvas.DrawWidth = g.axisWidth;
    canvas.Line(x0, base, x0 + g.axisLength, base, kBlack);
    canvas.Line(x0, base, x0, y, kBlack);

    // Column labels, each readable: alternate ones lower, or only every few columns when wide.
    if (printer) {
        canvas.FontSize = 11;
        canvas.FontName = u"ＭＳ ゴシック"_s;
    }
    const LabelLayout labels = LayOutLabels(canvas, d, g);
    for (int i = 0; i < 20; i += labels.every) {
        canvas.CurrentX = x0 + g.labelDx + g.pitch * i;
        canvas.CurrentY = base + g.labelDy + labels.stagger * (i % 2);
        canvas.Print(NumberText(d.BinLabel[i]));
    }

    // Pupil counts up the vertical axis, every 5 pupils up to 20, or up to the tallest column
    // where that is taller: its boxes then get lower, so that they stay under the axis's top.
    const int tallest = *std::max_element(d.BinCount.begin(), d.BinCount.end());
    const int top = std::max(20, (std::min<int>(tallest, kMaxPupils) + 4) / 5 * 5);
    const double perPupil = g.countStep * 4 / top; // g.boxSize for the usual 20
    for (int i = 1; i <= top / 5; ++i) {
        canvas.CurrentX = x + g.countLabelDx;
        canvas.CurrentY = base - perPupil * 5 * i;
        canvas.Print(i == 1 ? u"  5人"_s : NumberText(i * 5) + u"人"_s);
    }

    // One box per pupil, stacked; colours handed out from the lowest column upward. On paper the
    // outline is drawn heavier, so the boxes stand apart in grey.
    canvas.DrawWidth = printer ? 2 : 1;
    canvas.Fill = FillStyle::Solid;
    int countB = d.CountB, countC = d.CountC; // the rest are A
    for (int i = 0; i < 20; ++i) {
        const int count = std::clamp<int>(d.BinCount[i], 0, kMaxPupils);
        const double left = x0 + g.boxOffset + g.pitch * i;
        for (int j = 0; j < count; ++j) {
            // On paper the fills differ in lightness too, for a printer that prints in greys.
            if (countC > 0) {
                canvas.FillColor = printer ? kRankCPaperFill : kRankCColour;
                --countC;
            } else if (countB > 0) {
                canvas.FillColor = printer ? kRankBPaperFill : kRankBColour;
                --countB;
            } else {
                canvas.FillColor = printer ? kRankAPaperFill : kRankAColour;
            }
            canvas.Box(left, base - perPupil * j, left + g.boxSize, base - perPupil * (j + 1),
                       kBlack);
        }
    }

    // The class average as a dotted line (none when it cannot be placed), from the axis up to
    // the heading, never through it.
    canvas.DrawWidth = 1;
    canvas.Fill = FillStyle::Transparent;
    canvas.Style = DrawStyle::Dot;
    if (d.Step != 0 && !std::isnan(d.Step)) {
        const double xa = x0 + (static_cast<double>(d.Average) - d.Low) / d.Step * g.pitch;
        if (std::isfinite(xa))
            canvas.Line(xa, base, xa, headingBottom + kBelowHeading, kBlack);
    }
    canvas.Style = DrawStyle::Solid;
}

void EraseDistributionGraph(Canvas& canvas, double x, double y) {
    const GraphGeometry& g = canvas.IsPrinter() ? kPrinterGeometry : kWindowGeometry;
    canvas.Erase(x, y, x + g.plotLeft + g.axisLength + 2 * g.pitch,
                 y + g.base + g.labelDy + g.labelStagger + canvas.TextHeight());
}

void DrawDistributionGraph(Canvas& canvas, const GradeBook& book, int slot, double x, double y,
                           int16_t aShare, int16_t cShare, int subject, int viewpoint) {
    DrawDistribution(canvas, book, ComputeDistribution(book, slot, aShare, cShare), x, y, subject,
                     viewpoint);
}

} // namespace kirune
