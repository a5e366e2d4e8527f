// The distribution graph: range, step, labels, counting, colours and both geometries, checked
// on the recording canvas; and the degenerate inputs a file can carry.
#include "output/graph.h"
#include "output/recordingcanvas.h"

#include <QString>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <vector>

using namespace Qt::StringLiterals;

using namespace kirune;

namespace {

constexpr int kSlot = SemesterAggregateSlot(0, 0, 0); // 国語, 一学期, 表現

struct Fixture {
    GradeBook book;
    Fixture() { ResetGradeBook(book); }
    // Pupils 1..n with names and the given totals in kSlot.
    void Pupils(std::initializer_list<float> totals) {
        int n = 0;
        for (float t : totals) {
            book.StudentNames[n] = QStringLiteral("pupil%1").arg(n + 1);
            book.Scores[kSlot][n] = t;
            ++n;
        }
        book.RosterSize = static_cast<int16_t>(n);
    }
};

Fixture WorkedExample() {
    Fixture f;
    f.Pupils({12, 30, 45});
    f.book.Scores[kSlot][kPointsColumn] = 50;
    f.book.Scores[kSlot][kAverageColumn] = 29;
    return f;
}

bool AllFinite(const RecordingCanvas& canvas) {
    for (const auto& op : canvas.ops)
        if (!std::isfinite(op.x1) || !std::isfinite(op.y1) || !std::isfinite(op.x2) ||
            !std::isfinite(op.y2))
            return false;
    return true;
}

std::vector<CanvasOp> DottedLines(const RecordingCanvas& canvas) {
    std::vector<CanvasOp> out;
    for (const auto& op : canvas.Lines())
        if (op.style == DrawStyle::Dot)
            out.push_back(op);
    return out;
}

} // namespace

TEST(DistributionTest, WorkedExampleRangeStepLabelsAndCounts) {
    Fixture f = WorkedExample();
    const Distribution d = ComputeDistribution(f.book, kSlot, 20, 40);
    EXPECT_EQ(d.Low, 11.0f);
    EXPECT_EQ(d.High, 46.0f);
    EXPECT_EQ(d.Step, 2.0);
    EXPECT_EQ(d.Full, 50);
    EXPECT_EQ(d.ABoundary100, 4000); // A from 40 points
    EXPECT_EQ(d.CBoundary100, 2000); // B from 20 points
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(d.BinLabel[i], 11 + 2 * i) << i;
    EXPECT_EQ(d.BinCount[0], 1);  // 0.5 rounds to 0
    EXPECT_EQ(d.BinCount[10], 1); // 9.5 rounds to 10
    EXPECT_EQ(d.BinCount[17], 1);
    int total = 0;
    for (auto c : d.BinCount)
        total += c;
    EXPECT_EQ(total, 3);
    EXPECT_EQ(d.CountA, 1);
    EXPECT_EQ(d.CountB, 1);
    EXPECT_EQ(d.CountC, 1);
}

TEST(DistributionTest, WorkedExampleOnTheWindow) {
    Fixture f = WorkedExample();
    RecordingCanvas canvas(false);
    DrawDistributionGraph(canvas, f.book, kSlot, 3975, 340, 20, 40, 0, 0);

    const auto boxes = canvas.Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    // X0 = 4460, Base = 2340, pitch 150, offset 25, size 100.
    EXPECT_EQ(boxes[0].x1, 4485);
    EXPECT_EQ(boxes[0].y1, 2340);
    EXPECT_EQ(boxes[0].x2, 4585);
    EXPECT_EQ(boxes[0].y2, 2240);
    EXPECT_EQ(boxes[0].fill, kRankCColour);
    EXPECT_EQ(boxes[1].x1, 5985);
    EXPECT_EQ(boxes[1].x2, 6085);
    EXPECT_EQ(boxes[1].y2, 2240);
    EXPECT_EQ(boxes[1].fill, kRankBColour);
    EXPECT_EQ(boxes[2].x1, 7035);
    EXPECT_EQ(boxes[2].x2, 7135);
    EXPECT_EQ(boxes[2].fill, kRankAColour);
    for (const auto& box : boxes) {
        EXPECT_TRUE(box.filled);
        EXPECT_EQ(box.colour, kBlack);
        EXPECT_EQ(box.width, 1);
    }

    const CanvasOp* heading = canvas.FindText(u"国語 表現 集計グラフ (50点満点)"_s);
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->x1, 4775);
    EXPECT_EQ(heading->y1, 640);

    const auto lines = canvas.Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].x1, 4460); // horizontal axis
    EXPECT_EQ(lines[0].y1, 2340);
    EXPECT_EQ(lines[0].x2, 7610);
    EXPECT_EQ(lines[0].y2, 2340);
    EXPECT_EQ(lines[0].width, 2);
    EXPECT_EQ(lines[1].x2, 4460); // vertical axis up to the origin's top
    EXPECT_EQ(lines[1].y2, 340);
    EXPECT_EQ(lines[1].width, 2);

    // Labels 270 wide at a pitch of 150: every third column, in one row.
    const CanvasOp* first = canvas.FindText(QStringLiteral(" 11"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->x1, 4465);
    EXPECT_EQ(first->y1, 2350);
    EXPECT_EQ(canvas.FindText(QStringLiteral(" 13")), nullptr);
    const CanvasOp* third = canvas.FindText(QStringLiteral(" 17"));
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->x1, 4465 + 450);
    EXPECT_EQ(third->y1, 2350);

    const CanvasOp* five = canvas.FindText(u"  5人"_s);
    ASSERT_NE(five, nullptr);
    EXPECT_EQ(five->x1, 3985);
    EXPECT_EQ(five->y1, 1840);
    const CanvasOp* twenty = canvas.FindText(u" 20人"_s);
    ASSERT_NE(twenty, nullptr);
    EXPECT_EQ(twenty->y1, 340);
    EXPECT_NE(canvas.FindText(u" 10人"_s), nullptr);
    EXPECT_NE(canvas.FindText(u" 15人"_s), nullptr);
}

TEST(DistributionTest, WorkedExampleOnThePrinter) {
    Fixture f = WorkedExample();
    RecordingCanvas canvas(true);
    DrawDistributionGraph(canvas, f.book, kSlot, 3000, 2340, 20, 40, 0, 0);

    const auto boxes = canvas.Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    // X0 = 3873, Base = 5940, pitch 270, offset 45, size 180.
    EXPECT_EQ(boxes[0].x1, 3918);
    EXPECT_EQ(boxes[0].y1, 5940);
    EXPECT_EQ(boxes[0].x2, 4098);
    EXPECT_EQ(boxes[0].y2, 5760);
    // On paper the fills differ in lightness too, and the outlines are black and heavier.
    EXPECT_EQ(boxes[0].fill, kRankCPaperFill);
    EXPECT_EQ(boxes[1].x1, 6618);
    EXPECT_EQ(boxes[1].x2, 6798);
    EXPECT_EQ(boxes[1].fill, kRankBPaperFill);
    EXPECT_EQ(boxes[2].x1, 8508);
    EXPECT_EQ(boxes[2].x2, 8688);
    EXPECT_EQ(boxes[2].y2, 5760);
    EXPECT_EQ(boxes[2].fill, kRankAPaperFill);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.colour, kBlack);
        EXPECT_EQ(box.width, 2);
    }
    // Told apart in grey: each fill clearly lighter than the next rank down.
    const auto grey = [](QRgb c) { return qGray(c); };
    EXPECT_GT(grey(kRankAPaperFill), grey(kRankBPaperFill) + 40);
    EXPECT_GT(grey(kRankBPaperFill), grey(kRankCPaperFill) + 40);

    const CanvasOp* heading = canvas.FindText(u"表現  A: 1人  B: 1人  C: 1人"_s);
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->x1, 5160);
    EXPECT_EQ(heading->y1, 2880);
    EXPECT_EQ(heading->fontSize, 12);
    EXPECT_EQ(heading->fontName, u"ＭＳ 明朝"_s);

    const auto lines = canvas.Lines();
    EXPECT_EQ(lines[0].x2, 9543);
    EXPECT_EQ(lines[0].y1, 5940);
    EXPECT_EQ(lines[0].width, 4);
    EXPECT_EQ(lines[1].y2, 2340);

    const CanvasOp* first = canvas.FindText(QStringLiteral(" 11"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->x1, 3882);
    EXPECT_EQ(first->y1, 5958);
    EXPECT_EQ(first->fontSize, 11);
    EXPECT_EQ(first->fontName, u"ＭＳ ゴシック"_s);
    // 330 wide at a pitch of 270: every second column.
    EXPECT_EQ(canvas.FindText(QStringLiteral(" 13")), nullptr);
    const CanvasOp* third = canvas.FindText(QStringLiteral(" 15"));
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->x1, 3882 + 540);
    EXPECT_EQ(third->y1, 5958);

    const CanvasOp* ten = canvas.FindText(u" 10人"_s);
    ASSERT_NE(ten, nullptr);
    EXPECT_EQ(ten->x1, 3072);
    EXPECT_EQ(ten->y1, 4140);

    // The state the graph leaves on the printer.
    EXPECT_EQ(canvas.DrawWidth, 1);
    EXPECT_EQ(canvas.Fill, FillStyle::Transparent);
    EXPECT_EQ(canvas.Style, DrawStyle::Solid);
    EXPECT_EQ(canvas.FontSize, 11);
    EXPECT_EQ(canvas.FontName, u"ＭＳ ゴシック"_s);
}

TEST(DistributionTest, WindowKeepsItsOwnFont) {
    Fixture f = WorkedExample();
    RecordingCanvas canvas(false);
    canvas.FontName = QStringLiteral("WindowFont");
    canvas.FontSize = 9;
    canvas.Style = DrawStyle::Dot;
    canvas.Fill = FillStyle::Solid;
    canvas.DrawWidth = 3;
    DrawDistributionGraph(canvas, f.book, kSlot, 3975, 340, 20, 40, 0, 0);
    for (const auto& text : canvas.Texts()) {
        EXPECT_EQ(text.fontName, QStringLiteral("WindowFont"));
        EXPECT_EQ(text.fontSize, 9);
    }
    EXPECT_EQ(canvas.DrawWidth, 1);
    EXPECT_EQ(canvas.Fill, FillStyle::Transparent);
    EXPECT_EQ(canvas.Style, DrawStyle::Solid);
}

TEST(DistributionTest, ClassAverageIsADottedLine) {
    Fixture f = WorkedExample();
    RecordingCanvas window(false);
    DrawDistributionGraph(window, f.book, kSlot, 3975, 340, 20, 40, 0, 0);
    auto dotted = DottedLines(window);
    ASSERT_EQ(dotted.size(), 1u);
    // (29 - 11) / 2 columns of 150 right of X0 = 4460.
    EXPECT_EQ(dotted[0].x1, 5810);
    EXPECT_EQ(dotted[0].x2, 5810);
    EXPECT_EQ(dotted[0].y1, 2340);
    EXPECT_EQ(dotted[0].y2, 340 + 300 + 240 + 60); // up to just below the heading
    EXPECT_EQ(dotted[0].colour, kBlack);
    EXPECT_EQ(dotted[0].width, 1);
    // It is the last thing drawn, over the boxes.
    EXPECT_EQ(window.ops.back().kind, CanvasOp::Line);
    EXPECT_EQ(window.ops.back().style, DrawStyle::Dot);

    RecordingCanvas printer(true);
    DrawDistributionGraph(printer, f.book, kSlot, 3000, 2340, 20, 40, 0, 0);
    dotted = DottedLines(printer);
    ASSERT_EQ(dotted.size(), 1u);
    EXPECT_EQ(dotted[0].x1, 3873 + 9 * 270);
    EXPECT_EQ(dotted[0].y2, 2340 + 540 + 240 + 60); // never through the printed heading
}

TEST(DistributionTest, AbsenceMarkerIsTakenOff) {
    Fixture f;
    f.Pupils({10013, 30, 45});
    f.book.Scores[kSlot][kPointsColumn] = 50;
    const Distribution d = ComputeDistribution(f.book, kSlot, 20, 40);
    EXPECT_EQ(d.Low, 12.0f); // 13 - 1
    EXPECT_EQ(d.High, 46.0f);
    EXPECT_EQ(d.Step, 2.0);
    EXPECT_EQ(d.BinCount[0], 1); // (13 - 12) / 2 = 0.5 -> 0
    EXPECT_EQ(d.CountC, 1);
    EXPECT_EQ(d.CountB, 1);
    EXPECT_EQ(d.CountA, 1);
}

// Each pupil counted in the heading has one box, in the colour of the count it is in.
TEST(DistributionTest, EveryCountedPupilHasOneBox) {
    struct Case {
        std::vector<float> totals;
        int column; // where the last pupil's box goes
    } cases[] = {
        {{12, 30, 45, 0}, 0},  // a total of 0 last
        {{12, 30, 45, -1}, 0}, // no aggregate yet: column 0
        {{2, 40}, 19},         // (40 - 1) / 2 = 19.5 -> the top lands in the last column
        {{12, 45, 1e30f}, 19}, // far beyond the others
        {{12, 30, std::nanf("")}, 0},
    };
    for (const auto& c : cases) {
        Fixture f;
        for (size_t n = 0; n < c.totals.size(); ++n) {
            f.book.StudentNames[n] = QStringLiteral("p");
            f.book.Scores[kSlot][n] = c.totals[n];
        }
        f.book.RosterSize = static_cast<int16_t>(c.totals.size());
        f.book.Scores[kSlot][kPointsColumn] = 50;
        const Distribution d = ComputeDistribution(f.book, kSlot, 20, 40);
        EXPECT_EQ(DistributionColumn(c.totals.back(), d.Low, d.Step), c.column);
        RecordingCanvas canvas(false);
        DrawDistribution(canvas, f.book, d, 0, 0, 0, 0);
        std::map<QRgb, int> boxes;
        for (const auto& box : canvas.Boxes())
            ++boxes[box.fill];
        EXPECT_EQ(boxes[kRankAColour], d.CountA);
        EXPECT_EQ(boxes[kRankBColour], d.CountB);
        EXPECT_EQ(boxes[kRankCColour], d.CountC);
        EXPECT_EQ(d.CountA + d.CountB + d.CountC, static_cast<int>(c.totals.size()));
    }
}

// A generated class of 40 whose range divided by 20 falls just below a whole number.
TEST(DistributionTest, ClassOfFortyWithTheTopInTheLastColumnShowsFortyBoxes) {
    Fixture f;
    f.book.RosterSize = kMaxPupils;
    for (int n = 0; n < kMaxPupils; ++n) {
        f.book.StudentNames[n] = QStringLiteral("p");
        f.book.Scores[kSlot][n] = 20 + 2 * n; // 20..98: Low 19, High 99, Step 4
    }
    f.book.Scores[kSlot][kPointsColumn] = 100;
    const Distribution d = ComputeDistribution(f.book, kSlot, 20, 40);
    EXPECT_EQ(DistributionBinIndex(98, d.Low, d.Step), 20);
    RecordingCanvas canvas(true);
    DrawDistribution(canvas, f.book, d, 3000, 2340, 0, 0);
    EXPECT_EQ(canvas.Boxes().size(), 40u);
    EXPECT_EQ(canvas.Boxes().back().x1, 3000 + 873 + 45 + 270 * 19);
}

TEST(DistributionTest, NoTwoColumnLabelsOverlap) {
    for (const bool printer : {false, true}) {
        for (const float top : {45.0f, 104.0f, 30000.0f}) {
            Fixture f;
            f.Pupils({3, top});
            RecordingCanvas canvas(printer);
            DrawDistributionGraph(canvas, f.book, kSlot, 0, 0, 20, 40, 0, 0);
            std::vector<CanvasOp> labels;
            for (const auto& op : canvas.Texts())
                if (op.y1 > (printer ? 3600 : 2000))
                    labels.push_back(op);
            EXPECT_GE(labels.size(), 4u);
            for (size_t i = 0; i < labels.size(); ++i)
                for (size_t j = i + 1; j < labels.size(); ++j) {
                    const bool apart = canvas.TextRight(labels[i]) <= labels[j].x1 ||
                                       canvas.TextRight(labels[j]) <= labels[i].x1 ||
                                       labels[i].y1 + 240 <= labels[j].y1 ||
                                       labels[j].y1 + 240 <= labels[i].y1;
                    EXPECT_TRUE(apart) << labels[i].text.toStdString() << " / "
                                       << labels[j].text.toStdString() << " top " << top;
                }
        }
    }
}

TEST(DistributionTest, UnnamedPlacesWidenTheRangeButAreNotCounted) {
    Fixture f;
    f.Pupils({12, 30, 99});
    f.book.StudentNames[2].clear(); // transferred out, total still stored
    f.book.Scores[kSlot][kPointsColumn] = 50;
    const Distribution d = ComputeDistribution(f.book, kSlot, 20, 40);
    EXPECT_EQ(d.High, 100.0f);
    EXPECT_EQ(d.CountA + d.CountB + d.CountC, 2);
    int total = 0;
    for (auto c : d.BinCount)
        total += c;
    EXPECT_EQ(total, 2);
}

TEST(DistributionTest, StackedBoxesGrowUpward) {
    Fixture f;
    f.Pupils({12, 12, 12});
    f.book.Scores[kSlot][kPointsColumn] = 50;
    RecordingCanvas canvas(false);
    DrawDistributionGraph(canvas, f.book, kSlot, 0, 0, 20, 40, 0, 0);
    const auto boxes = canvas.Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(boxes[j].x1, boxes[0].x1);
        EXPECT_EQ(boxes[j].y1, 2000 - 100 * j);
        EXPECT_EQ(boxes[j].y2, 2000 - 100 * (j + 1));
    }
}

TEST(DistributionTest, SmallRangeGivesAStepOfOne) {
    Fixture f;
    f.Pupils({1, 2, 3}); // Low 0, High 4, q 0.2 -> Step 1, labels 0..19
    const Distribution d = ComputeDistribution(f.book, kSlot, 20, 40);
    EXPECT_EQ(d.Step, 1.0);
    EXPECT_EQ(d.BinLabel[0], 0);
    EXPECT_EQ(d.BinLabel[19], 19);
}

// A counted total below the lowest positive one less 1 (0 points, or no score yet) starts the
// axis at 0, so that every box stands above a label that is true for it; a place without a
// pupil is not counted.
TEST(DistributionTest, ATotalBelowTheAxisStartsItAtZero) {
    const struct {
        std::vector<float> totals;
        bool lastUnnamed;
        float low;
    } cases[] = {
        {{17, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false, 0}, // nine pupils at 0 points
        {{17, 30}, false, 16},
        {{17, 30, -1}, false, 0}, // no score yet
        {{17, 30, 0}, true, 16},  // a pupil who transferred out
        {{-1, -1, 0}, false, 0},  // no positive total at all
    };
    for (const auto& c : cases) {
        Fixture f;
        for (size_t n = 0; n < c.totals.size(); ++n) {
            f.book.StudentNames[n] = QStringLiteral("pupil%1").arg(n + 1);
            f.book.Scores[kSlot][n] = c.totals[n];
        }
        f.book.RosterSize = static_cast<int16_t>(c.totals.size());
        if (c.lastUnnamed)
            f.book.StudentNames[c.totals.size() - 1].clear();
        f.book.Scores[kSlot][kPointsColumn] = 50;
        const Distribution d = ComputeDistribution(f.book, kSlot, 20, 40);
        EXPECT_EQ(d.Low, c.low) << c.totals.size();
        EXPECT_EQ(d.BinLabel[0], static_cast<int16_t>(c.low));
        EXPECT_GT(d.Step, 0);
        // Each box's column label is at most its total, the next column's label above it.
        for (size_t n = 0; n < c.totals.size(); ++n) {
            if (f.book.StudentNames[n].isEmpty())
                continue;
            const int column = DistributionColumn(c.totals[n], d.Low, d.Step);
            EXPECT_LE(d.BinLabel[column], std::max(c.totals[n], 0.0f)) << n;
        }
        RecordingCanvas canvas(false);
        DrawDistribution(canvas, f.book, d, 3975, 340, 0, 0);
        EXPECT_TRUE(AllFinite(canvas));
    }
}

TEST(DistributionTest, EmptyRosterStillDrawsAxesLabelsAndHeading) {
    Fixture f;
    f.book.RosterSize = 0;
    f.book.Scores[kSlot][0] = 50; // a stale total outside the roster is not looked at
    RecordingCanvas canvas(true);
    DrawDistributionGraph(canvas, f.book, kSlot, 3000, 2340, 20, 40, 0, 0);
    EXPECT_TRUE(canvas.Boxes().empty());
    EXPECT_NE(canvas.FindText(u"表現  A: 0人  B: 0人  C: 0人"_s), nullptr);
    EXPECT_EQ(canvas.Lines().size(), 3u); // two axes and the average
    // Labels " 999" 440 wide at a pitch of 270: every second column.
    EXPECT_EQ(canvas.Texts().size(), 1u + 10u + 4u);
}

TEST(DistributionTest, RosterSizeOutOfBoundsIsClamped) {
    Fixture f;
    f.book.RosterSize = 32767;
    for (int n = 0; n < kMaxPupils; ++n) {
        f.book.StudentNames[n] = QStringLiteral("p");
        f.book.Scores[kSlot][n] = 20;
    }
    const Distribution d = ComputeDistribution(f.book, kSlot, 20, 40);
    EXPECT_EQ(d.CountA + d.CountB + d.CountC, kMaxPupils);
    f.book.RosterSize = -5;
    const Distribution none = ComputeDistribution(f.book, kSlot, 20, 40);
    EXPECT_EQ(none.CountA + none.CountB + none.CountC, 0);
}

TEST(DistributionTest, HugeAndNonNumberTotalsNeverCrash) {
    Fixture f;
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    f.Pupils({1e30f, 12, nan, -1e30f, 3e38f});
    f.book.Scores[kSlot][kPointsColumn] = 1e30f;
    f.book.Scores[kSlot][kAverageColumn] = nan;
    Distribution d = ComputeDistribution(f.book, kSlot, 20, 40);
    EXPECT_EQ(d.Full, 32767); // full marks beyond a 16-bit value stay at its end
    EXPECT_EQ(d.Low, 0.0f);   // -1e30 lies below the lowest positive total
    EXPECT_EQ(d.BinLabel[0], 0);
    EXPECT_EQ(d.BinLabel[19], 32767);
    EXPECT_EQ(d.BinCount[0], 4);  // 12, 1e30 (near the bottom of so wide a range), NaN, -1e30
    EXPECT_EQ(d.BinCount[19], 1); // 3e38
    EXPECT_EQ(d.CountA + d.CountB + d.CountC, 5);
    RecordingCanvas canvas(true);
    DrawDistribution(canvas, f.book, d, 3000, 2340, 0, 0);
    EXPECT_TRUE(AllFinite(canvas));
    EXPECT_TRUE(DottedLines(canvas).empty()); // no average to place

    f.book.Scores[kSlot][0] = inf;
    f.book.Scores[kSlot][kAverageColumn] = 20;
    d = ComputeDistribution(f.book, kSlot, 20, 40);
    EXPECT_TRUE(std::isinf(d.Step));
    EXPECT_EQ(d.BinLabel[0], 0);
    RecordingCanvas canvas2(false);
    DrawDistribution(canvas2, f.book, d, 3975, 340, 0, 0);
    EXPECT_TRUE(AllFinite(canvas2));
}

TEST(DistributionTest, ExtremeSharesDoNotOverflow) {
    Fixture f = WorkedExample();
    f.book.Scores[kSlot][kPointsColumn] = 32767;
    const Distribution d = ComputeDistribution(f.book, kSlot, -32768, -32768);
    // B = 100 + 32768 + 32768; A boundary (B + C) * Full.
    EXPECT_EQ(d.ABoundary100, (100LL + 32768) * 32767);
    EXPECT_EQ(d.CBoundary100, -32768LL * 32767);
    EXPECT_EQ(d.CountB, 3);
}

TEST(DistributionTest, StepZeroAndNegativeStepsPlaceNothing) {
    EXPECT_EQ(DistributionBinIndex(13, 11, 0), -1);
    EXPECT_EQ(DistributionBinIndex(13, 11, -2), -1);
    EXPECT_EQ(DistributionBinIndex(13, 11, std::nan("")), -1);
    EXPECT_EQ(DistributionBinIndex(std::numeric_limits<float>::quiet_NaN(), 11, 2), -1);
    EXPECT_EQ(DistributionBinIndex(100, 11, 2), -1); // 44.5 is beyond the columns
    EXPECT_EQ(DistributionBinIndex(12, 11, 2), 0);
    EXPECT_EQ(DistributionBinIndex(30, 11, 2), 10);
    EXPECT_EQ(DistributionBinIndex(51, 11, 2), 20);

    Fixture f = WorkedExample();
    Distribution d = ComputeDistribution(f.book, kSlot, 20, 40);
    d.Step = 0;
    RecordingCanvas canvas(false);
    DrawDistribution(canvas, f.book, d, 3975, 340, 0, 0);
    EXPECT_TRUE(AllFinite(canvas));
    EXPECT_TRUE(DottedLines(canvas).empty());
}

TEST(DistributionTest, SlotOutsideTheGradeBookDrawsAnEmptyGraph) {
    Fixture f = WorkedExample();
    RecordingCanvas canvas(false);
    DrawDistributionGraph(canvas, f.book, 5000, 0, 0, 20, 40, 0, 0);
    DrawDistributionGraph(canvas, f.book, -1, 0, 0, 20, 40, 9, 7);
    EXPECT_TRUE(canvas.Boxes().empty());
    EXPECT_TRUE(AllFinite(canvas));
}

TEST(DistributionTest, PrintedHeadingCountsAreTakenBeforeTheBoxesUseThemUp) {
    Fixture f;
    f.Pupils({5, 12, 25, 30, 41, 45, 48});
    f.book.Scores[kSlot][kPointsColumn] = 50;
    RecordingCanvas canvas(true);
    DrawDistributionGraph(canvas, f.book, kSlot, 3000, 2340, 20, 40, 0, 0);
    // C below 20: 5, 12; B 20..39: 25, 30; A from 40: 41, 45, 48.
    EXPECT_NE(canvas.FindText(u"表現  A: 3人  B: 2人  C: 2人"_s), nullptr);
    const auto boxes = canvas.Boxes();
    ASSERT_EQ(boxes.size(), 7u);
    const QRgb expected[] = {kRankCPaperFill, kRankCPaperFill, kRankBPaperFill, kRankBPaperFill,
                             kRankAPaperFill, kRankAPaperFill, kRankAPaperFill};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(boxes[i].fill, expected[i]) << i;
}

// A column of more than 20 pupils scales the axis to it: labelled every 5 pupils up to the next
// five, the boxes lower, the column never above the axis's top.
TEST(DistributionTest, BarsAboveTwentyPupilsScaleTheAxis) {
    for (const bool printer : {false, true}) {
        Fixture f;
        f.book.RosterSize = 38;
        for (int n = 0; n < 38; ++n) {
            f.book.StudentNames[n] = QStringLiteral("p");
            f.book.Scores[kSlot][n] = 30;
        }
        RecordingCanvas canvas(printer);
        DrawDistributionGraph(canvas, f.book, kSlot, 0, 0, 20, 40, 0, 0);
        const auto boxes = canvas.Boxes();
        ASSERT_EQ(boxes.size(), 38u);
        const double base = printer ? 3600 : 2000;
        EXPECT_DOUBLE_EQ(boxes.back().y2, base - base * 38 / 40) << printer;
        ASSERT_NE(canvas.FindText(u" 40人"_s), nullptr);
        EXPECT_DOUBLE_EQ(canvas.FindText(u" 40人"_s)->y1, 0) << printer; // the axis's top
        EXPECT_EQ(canvas.FindText(u" 45人"_s), nullptr);
    }
}

namespace kirune {
namespace {

// On paper a heading with a long viewpoint name stays within the graph's width: smaller, or
// cut with "…" where the graph ends.
TEST(DistributionTest, APrintedHeadingStaysWithinItsGraph) {
    for (const char16_t* name :
         {u"表現", u"読むことの能力と書くことの能力",
          u"話すこと・聞くことの能力についての観点とその評価の方法について"}) {
        Fixture f;
        f.Pupils({12, 30, 45});
        f.book.SubjectTitles[0][1] = QString::fromUtf16(name);
        RecordingCanvas canvas(true);
        DrawDistributionGraph(canvas, f.book, kSlot, 3000, 2340, 20, 40, 0, 0);
        const auto texts = canvas.Texts();
        const auto heading = std::find_if(texts.begin(), texts.end(), [](const CanvasOp& op) {
            return op.text.contains(QStringLiteral("A:")) || op.text.endsWith(QChar(0x2026));
        });
        ASSERT_NE(heading, texts.end());
        EXPECT_LE(canvas.TextRight(*heading), 3000 + 873 + 5670) << heading->text.toStdString();
        EXPECT_GE(heading->fontSize, 12 * 0.7 - 1e-9);
        EXPECT_TRUE(heading->text.startsWith(QString::fromUtf16(name).left(2)));
    }
}

} // namespace
} // namespace kirune
