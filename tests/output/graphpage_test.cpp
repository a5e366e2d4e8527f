// The graph page: its texts and their places, the graphs from the stored shares, and printing
// through the platform's printer.
#include "output/graph.h"
#include "output/graphpage.h"
#include "output/recordingcanvas.h"
#include "support/fakeplatform.h"
#include "support/testutil.h"

#include <QFile>
#include <QPrinter>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace kirune;

namespace {

GradeBook ClassOf32() {
    GradeBook book;
    ResetGradeBook(book);
    book.HomeRoomYear = u"令和8年度"_s;
    book.HomeRoomGrade = u"5年"_s;
    book.HomeRoomClass = u"2組"_s;
    book.TeacherName = u"山田花子"_s;
    book.RosterSize = 32;
    for (int n = 0; n < 32; ++n)
        book.StudentNames[n] = QStringLiteral("p%1").arg(n + 1);
    return book;
}

// Totals 12, 30, 45 of 50 in `slot` for pupils 1..3; the rest of the class has no total.
void Totals(GradeBook& book, int slot) {
    book.Scores[slot][0] = 12;
    book.Scores[slot][1] = 30;
    book.Scores[slot][2] = 45;
    book.Scores[slot][kPointsColumn] = 50;
}

constexpr double kPageWidth = 11906; // A4 portrait

} // namespace

TEST(GraphPageTest, TextsAndTheirPlaces) {
    GradeBook book = ClassOf32();
    RecordingCanvas canvas(true, kPageWidth, 300);
    DrawGraphPage(canvas, book, QDate(2026, 12, 7), 0, 1, qRgb(1, 2, 3));

    const auto texts = canvas.Texts();
    ASSERT_GE(texts.size(), 5u);
    EXPECT_EQ(texts[0].text, QStringLiteral("2026/12/07"));
    EXPECT_EQ(canvas.TextRight(texts[0]), kPageWidth); // inside the page, its right edge there
    EXPECT_EQ(texts[0].y1, 400);
    EXPECT_EQ(texts[0].fontName, u"ＭＳ 明朝"_s);
    EXPECT_EQ(texts[0].fontSize, 10.5);

    EXPECT_EQ(texts[1].text, kProjectTitle);
    EXPECT_EQ(texts[1].x1, 2000);
    EXPECT_EQ(texts[1].y1, 440);
    EXPECT_EQ(texts[1].fontSize, 12);
    EXPECT_EQ(texts[1].colour, qRgb(0, 0, 255));

    EXPECT_EQ(texts[2].text, QString()); // the empty line
    EXPECT_EQ(texts[2].y1, 740);
    EXPECT_EQ(texts[2].fontSize, 16);
    EXPECT_EQ(texts[2].colour, qRgb(1, 2, 3));

    EXPECT_EQ(texts[3].text, u"令和8年度 5年2組 山田花子 生徒数（ 32名）"_s);
    EXPECT_EQ(texts[3].x1, 2000);
    EXPECT_EQ(texts[3].y1, 1040);
    EXPECT_EQ(texts[4].text, u"国語 二学期の集計グラフ"_s);
    EXPECT_EQ(texts[4].x1, 2000);
    EXPECT_EQ(texts[4].y1, 1340);
    EXPECT_EQ(texts[4].colour, qRgb(1, 2, 3));
}

TEST(GraphPageTest, ThreeGraphsAtTheirPlacesFromTheStoredShares) {
    GradeBook book = ClassOf32();
    for (int k = 0; k < 3; ++k)
        Totals(book, SemesterAggregateSlot(1, 2, k));
    // Viewpoint 0: A 20 C 40; viewpoint 1: A 0 C 0 (all B); viewpoint 2: not set (-1, -1).
    book.RankAPercent[1][CriteriaIndex(2, 0)] = 20;
    book.RankCPercent[1][CriteriaIndex(2, 0)] = 40;
    book.RankAPercent[1][CriteriaIndex(2, 1)] = 0;
    book.RankCPercent[1][CriteriaIndex(2, 1)] = 0;
    // Other periods must not be used.
    book.RankAPercent[0][CriteriaIndex(2, 0)] = 90;
    book.RankAPercent[3][CriteriaIndex(2, 0)] = 90;

    RecordingCanvas canvas(true, kPageWidth);
    DrawGraphPage(canvas, book, QDate(2026, 12, 7), 2, 1, kBlack);

    // 29 pupils without a total are rated C (their -1 is below every boundary).
    const CanvasOp* g0 = canvas.FindText(u"思考  A: 1人  B: 1人  C: 30人"_s);
    ASSERT_NE(g0, nullptr);
    EXPECT_EQ(g0->x1, 3000 + 2160);
    EXPECT_EQ(g0->y1, 2340 + 540);
    const CanvasOp* g1 = canvas.FindText(u"観・実  A: 0人  B: 3人  C: 29人"_s);
    ASSERT_NE(g1, nullptr);
    EXPECT_EQ(g1->y1, 6860 + 540);
    // A -1 and C -1: B 102 %, A from 50.5 points, C below -0.5 points.
    const CanvasOp* g2 = canvas.FindText(u"知・理  A: 0人  B: 3人  C: 29人"_s);
    ASSERT_NE(g2, nullptr);
    EXPECT_EQ(g2->y1, 11280 + 540);
    const auto boxes = canvas.Boxes();
    // Each of the 32 counted pupils has a box in each graph.
    ASSERT_EQ(boxes.size(), 96u);
    EXPECT_EQ(boxes[0].y1, 5940);   // base line of the first graph
    EXPECT_EQ(boxes[32].y1, 10460); // second
    EXPECT_EQ(boxes[64].y1, 14880); // third
    EXPECT_EQ(boxes[0].x1, 3918);
}

TEST(GraphPageTest, WholeYearPageUsesTheYearTotalsAndShares) {
    GradeBook book = ClassOf32();
    for (int k = 0; k < 3; ++k)
        Totals(book, YearAggregateSlot(4, k));
    for (int k = 0; k < 3; ++k) {
        book.RankAPercent[3][CriteriaIndex(4, k)] = 20;
        book.RankCPercent[3][CriteriaIndex(4, k)] = 40;
    }
    RecordingCanvas canvas(true, kPageWidth);
    DrawGraphPage(canvas, book, QDate(2026, 12, 7), 4, kWholeYear, kBlack);
    EXPECT_NE(canvas.FindText(u"家庭 通年の集計グラフ"_s), nullptr);
    EXPECT_NE(canvas.FindText(u"観点1  A: 1人  B: 1人  C: 30人"_s), nullptr);
    EXPECT_NE(canvas.FindText(u"観点3  A: 1人  B: 1人  C: 30人"_s), nullptr);
    EXPECT_EQ(canvas.Boxes().size(), 96u);
}

TEST(GraphPageTest, PrintsOnePortraitColourPage) {
    test::FakePlatform platform;
    platform.printer->setPageOrientation(QPageLayout::Landscape);
    platform.printer->setColorMode(QPrinter::GrayScale);
    GradeBook book = ClassOf32();
    Totals(book, SemesterAggregateSlot(0, 0, 0));
    ASSERT_TRUE(PrintGraphPage(platform, book, 0, 0, QString()));
    EXPECT_EQ(platform.printed, 1);
    EXPECT_EQ(platform.printer->pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_EQ(platform.printer->colorMode(), QPrinter::Color);
    QFile pdf(platform.pdfPath);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST(GraphPageTest, HeadingsOfBothPages) {
    GradeBook book;
    ResetGradeBook(book);
    EXPECT_EQ(GraphPageHeading(book, 0, 0), u"国語 一学期の集計グラフ"_s);
    EXPECT_EQ(GraphPageHeading(book, 5, 2), u"体育 三学期の集計グラフ"_s);
    EXPECT_EQ(GraphPageHeading(book, 1, kWholeYear), u"算数 通年の集計グラフ"_s);
}
