// The printout of the table on screen, checked op by op on the recording canvas.
#include "browse/tree.h"
#include "model/numbers.h"
#include "output/printarea.h"
#include "output/recordingcanvas.h"
#include "output/tableprint.h"

#include <QPrinter>
#include <gtest/gtest.h>

#include "support/testutil.h"
#include <algorithm>
#include <set>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

const QChar kCr(13);

// A grid as the tables leave it for a class of `pupils`: header, one row per pupil, an empty row
// and the class-average row.
Grid ClassGrid(int pupils, int cols = 15) {
    Grid grid(pupils + 3, cols);
    grid.SetText(0, 0, QStringLiteral("No."));
    grid.SetText(0, 1, u"生徒氏名"_s);
    for (int r = 1; r <= pupils; ++r) {
        grid.SetText(r, 0, NumberText(r));
        grid.SetText(r, 1, u"生徒"_s + QString::number(r));
    }
    grid.SetText(pupils + 2, 1, u"クラスの平均点"_s);
    return grid;
}

// The semester table's headers: viewpoint or subject name, CR, then the column's word.
Grid SemesterGrid(int pupils) {
    Grid grid = ClassGrid(pupils);
    const QString names[] = {u"表現"_s, u"理解"_s, u"言語"_s};
    for (int v = 0; v < 3; ++v) {
        grid.SetText(0, 2 + 3 * v, names[v] + kCr + u" 合計点"_s);
        grid.SetText(0, 3 + 3 * v, names[v] + kCr + u" 順位"_s);
        grid.SetText(0, 4 + 3 * v, names[v] + kCr + u" 評定"_s);
    }
    grid.SetText(0, 11, u"国語"_s + kCr + u" 合計点"_s);
    grid.SetText(0, 12, u"国語"_s + kCr + u" 順位"_s);
    return grid;
}

// The viewpoint table's headers: test name and date on separate lines, then sum, rank, rating.
Grid ViewpointGrid(int pupils) {
    Grid grid = ClassGrid(pupils);
    for (int k = 0; k < 10; ++k)
        grid.SetText(0, 2 + k, kCr + QString::number(k + 1) + u"回目試験"_s + kCr + u"一学期"_s);
    grid.SetText(0, 12, u"合計点"_s);
    grid.SetText(0, 13, u"順位"_s);
    grid.SetText(0, 14, u"評定"_s);
    return grid;
}

// A4 landscape less 10 mm all round, in twips.
constexpr double kPageWidth = 16838 - 2 * 567;
constexpr double kPageHeight = 11906 - 2 * 567;
// Half the frame's rule, which lies outside the table; the rows of a table that fits its page:
// 12-point text (a line as high as its size here) with its room to the rules.
constexpr double kRuleHalf = 6 * 1440.0 / 300 / 2;
constexpr double kSmallTablePitch = 12 * 20 + 2 * (kInkRoom + kRuleHalf);

RecordingCanvas Print(const Grid& grid, int columns, const QString& key,
                      const QString& caption = u"題名"_s,
                      const QString& date = QStringLiteral("2026/12/07"),
                      double pageWidth = kPageWidth, double pageHeight = kPageHeight) {
    // A line as high as the text's size: its ink lies inside.
    RecordingCanvas canvas(true, pageWidth, 0);
    PrintTable(canvas, grid, columns, key, caption, date, pageHeight);
    return canvas;
}

// Texts printed with their top-left corner at (x, y).
std::vector<CanvasOp> TextsAt(const RecordingCanvas& canvas, double x, double y) {
    std::vector<CanvasOp> out;
    for (const auto& op : canvas.Texts())
        if (op.x1 == x && op.y1 == y)
            out.push_back(op);
    return out;
}

const CanvasOp* OnlyText(const RecordingCanvas& canvas, double x, double y) {
    static std::vector<CanvasOp> found;
    found = TextsAt(canvas, x, y);
    EXPECT_EQ(found.size(), 1u) << "texts at " << x << ", " << y;
    return found.empty() ? nullptr : &found.front();
}

CanvasOp FrameOf(const RecordingCanvas& canvas) {
    const auto boxes = canvas.Boxes();
    EXPECT_EQ(boxes.size(), 1u);
    return boxes.empty() ? CanvasOp{} : boxes.front();
}

std::vector<CanvasOp> VerticalRules(const RecordingCanvas& canvas) {
    std::vector<CanvasOp> out;
    for (const auto& op : canvas.Lines())
        if (op.x1 == op.x2)
            out.push_back(op);
    return out;
}

std::vector<CanvasOp> HorizontalRules(const RecordingCanvas& canvas) {
    std::vector<CanvasOp> out;
    for (const auto& op : canvas.Lines())
        if (op.y1 == op.y2)
            out.push_back(op);
    return out;
}

// Columns whose rule is drawn with width 4 (the rules are drawn column by column from 1).
std::set<int> ThickColumns(const RecordingCanvas& canvas) {
    std::set<int> out;
    const auto rules = VerticalRules(canvas);
    for (size_t i = 0; i < rules.size(); ++i) {
        if (rules[i].width == 4) {
            out.insert(static_cast<int>(i) + 1);
        } else {
            EXPECT_EQ(rules[i].width, 1);
        }
    }
    return out;
}

// The printed table's column edges, left to right: the frame's left, each column rule, the
// frame's right.
std::vector<double> ColumnEdges(const RecordingCanvas& canvas) {
    const CanvasOp frame = FrameOf(canvas);
    std::vector<double> edges{frame.x1};
    for (const auto& op : VerticalRules(canvas))
        edges.push_back(op.x1);
    edges.push_back(frame.x2);
    return edges;
}

// The height of a printed line: the frame's height over the lines of the table.
double Pitch(const RecordingCanvas& canvas, const Grid& grid, int columns) {
    const CanvasOp frame = FrameOf(canvas);
    return (frame.y2 - frame.y1) / PrintedTableLines(grid, columns);
}

// The text printed in line `line` (0 the first header line) and column `col`.
CanvasOp TextIn(const RecordingCanvas& canvas, const Grid& grid, int columns, int line, int col) {
    const auto edges = ColumnEdges(canvas);
    const double top = FrameOf(canvas).y1 + Pitch(canvas, grid, columns) * line;
    for (const auto& op : canvas.Texts())
        if (op.y1 >= top && op.y1 < top + Pitch(canvas, grid, columns) && op.x1 >= edges[col] &&
            op.x1 < edges[col + 1])
            return op;
    return {};
}

// --- Header pieces -----------------------------------------------------------------------------

// Headers break at blanks first, then after punctuation, then between characters (a word over
// two lines at most, three lines in all); dates are never split; then smaller, to 70 %; then cut.
TEST(LayOutHeader, BreaksAtBlanksThenPunctuationThenCharacters) {
    struct Case {
        QString text;
        double size;
        QStringList pieces;
        double shownSize;
    } cases[] = {
        {u"表現"_s + kCr + u" 合計点"_s, 12, {u"表現"_s, u"合計点"_s}, 12},
        // A date is printed smaller, never cut or split.
        {u"1回目試験"_s + kCr + QStringLiteral("2002/10/13"),
         9,
         {u"1回目試験"_s, QStringLiteral("2002/10/13")},
         7.5},
        // Four words: as many on a line as fit, three lines at most.
        {u"単元"_s + kCr + u"まとめ"_s + kCr + u"テスト"_s + kCr + QStringLiteral("2024/06/10"),
         9,
         {u"単元 まとめ"_s, u"テスト"_s, QStringLiteral("2024/06/10")},
         6.5},
        // A name with a blank breaks there.
        {u"漢字"_s + kCr + u"テスト"_s + kCr + QStringLiteral("2026/05/10"),
         9,
         {u"漢字"_s, u"テスト"_s, QStringLiteral("2026/05/10")},
         7.5},
        // Without a blank, after punctuation.
        {u"たし算,ひき算"_s, 9, {u"たし算,"_s, u"ひき算"_s}, 9},
        {u"たし算,ひき算"_s + kCr + QStringLiteral("2026/05/10"),
         9,
         {u"たし算,"_s, u"ひき算"_s, QStringLiteral("2026/05/10")},
         7.5},
        // Without either, between characters; the date stays whole.
        {u"物語文の読み取り"_s + kCr + QStringLiteral("2026/06/19"),
         9,
         {u"物語文の読"_s, u"み取り"_s, QStringLiteral("2026/06/19")},
         7.5},
        // A long vowel mark never starts a line; a third line for one word is a smaller size.
        {u"あいうーえ"_s, 16, {u"あい"_s, u"うーえ"_s}, 12.5},
        // Latin text and digits are never split: below 70 % they are cut.
        {QStringLiteral("ABCDEFGHIJKLMNOPQRST"), 12, {u"ABCDEFG…"_s}, 12 * 0.7},
        {QStringLiteral("10") + u"回目試験"_s + kCr + u"一学期"_s,
         9,
         {QStringLiteral("10") + u"回目試験"_s, u"一学期"_s},
         7.5},
        {QStringLiteral("  "), 12, {}, 12},
    };
    for (const auto& c : cases) {
        const auto measure = [](const QString& text, double size) {
            RecordingCanvas canvas(true);
            canvas.FontSize = size;
            return canvas.TextWidth(text);
        };
        const PrintedHeader header = LayOutHeader(c.text, PrintedHeaderRoom(5), c.size, measure);
        EXPECT_EQ(header.pieces, c.pieces) << c.text.toStdString();
        EXPECT_DOUBLE_EQ(header.fontSize, c.shownSize) << c.text.toStdString();
        for (const QString& piece : header.pieces)
            EXPECT_LE(measure(piece, header.fontSize), PrintedHeaderRoom(5)) << piece.toStdString();
    }
}

// --- Page ------------------------------------------------------------------------------------

TEST(TablePrint, DateTopRightAndTitle) {
    const auto canvas = Print(ClassGrid(3), 2, kHomeRoomKey, u"令和8年 3年2組"_s);
    const CanvasOp* date = canvas.FindText(QStringLiteral("2026/12/07"));
    ASSERT_NE(date, nullptr);
    EXPECT_DOUBLE_EQ(canvas.TextRight(*date), kPageWidth);
    EXPECT_EQ(date->y1, 0);
    EXPECT_EQ(date->fontSize, 12);
    const CanvasOp* title = OnlyText(canvas, 0, 0);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text, u"令和8年 3年2組"_s);
    EXPECT_EQ(title->fontSize, 14);
    EXPECT_EQ(title->colour, kBlack);
}

TEST(TablePrint, EveryTextInMincho) {
    const auto canvas = Print(SemesterGrid(5), 13, SemesterKey(0, 0));
    for (const auto& op : canvas.Texts())
        EXPECT_EQ(op.fontName, u"ＭＳ 明朝"_s) << op.text.toStdString();
}

TEST(TablePrint, HeaderInTwoLines) {
    const Grid grid = SemesterGrid(5);
    const auto canvas = Print(grid, 13, SemesterKey(0, 0));
    const auto at = [&](int line, int col) { return TextIn(canvas, grid, 13, line, col); };
    EXPECT_EQ(at(0, 2).text, u"表現"_s);
    EXPECT_EQ(at(1, 2).text, u"合計点"_s);
    EXPECT_EQ(at(0, 2).x1, at(1, 2).x1);
    EXPECT_EQ(at(0, 0).text, QStringLiteral("No."));
    EXPECT_EQ(at(0, 1).text, u"生徒氏名"_s);
    // The first pupil follows the two header lines; a small table's rows are as tall as its
    // 12-point texts want (here a line as high as the text's size).
    EXPECT_EQ(at(2, 1).text, u"生徒1"_s);
    EXPECT_DOUBLE_EQ(Pitch(canvas, grid, 13), kSmallTablePitch);
    EXPECT_EQ(at(2, 1).fontSize, 12);
}

// The body on paper: numbers and ratings right-aligned and names left-aligned inside their
// cell's room; ratings in their dark paper colours, names always black; an empty cell prints
// nothing.
TEST(TablePrint, CellsAlignedInsideTheirRoomAndColouredForPaper) {
    Grid grid = SemesterGrid(4);
    grid.SetText(1, 2, QStringLiteral(" 85"));
    grid.SetText(1, 4, QStringLiteral("A"));
    grid.SetText(2, 4, QStringLiteral("B"));
    grid.SetText(3, 4, QStringLiteral("C"));
    grid.SetText(4, 2, QStringLiteral("*"));
    grid.SetText(1, 0, QStringLiteral("C"));
    grid.SetText(2, 1, u"山田A"_s);
    const auto canvas = Print(grid, 13, SemesterKey(0, 0));
    const auto edges = ColumnEdges(canvas);
    const auto cell = [&](int row, int col) { return TextIn(canvas, grid, 13, row + 1, col); };
    const auto rightEdge = [&](int col) { return edges[col + 1] - kTextMargin; };
    EXPECT_EQ(cell(1, 2).text, QStringLiteral("85"));
    EXPECT_DOUBLE_EQ(canvas.TextRight(cell(1, 2)), rightEdge(2));
    EXPECT_EQ(cell(1, 2).colour, kBlack);
    EXPECT_EQ(cell(1, 4).text, QStringLiteral("A"));
    EXPECT_DOUBLE_EQ(canvas.TextRight(cell(1, 4)), rightEdge(4));
    EXPECT_EQ(cell(1, 4).colour, kRankAPaperText);
    EXPECT_EQ(cell(2, 4).colour, kRankBPaperText);
    EXPECT_EQ(cell(3, 4).colour, kRankCPaperText);
    EXPECT_EQ(cell(4, 2).text, QStringLiteral("*"));
    EXPECT_EQ(cell(1, 5).text, QString()); // nothing for an empty cell
    EXPECT_EQ(cell(1, 0).colour, kRankCPaperText);
    EXPECT_EQ(cell(1, 1).x1, edges[1] + kTextMargin);
    EXPECT_EQ(cell(2, 1).text, u"山田A"_s);
    EXPECT_EQ(cell(1, 1).colour, kBlack);
    EXPECT_EQ(cell(2, 1).colour, kBlack);
}

// On paper every rating colour reads on a printer that prints in greys.
TEST(TablePrint, PaperColoursHaveTheContrastOfReadableText) {
    for (const QRgb colour : {kRankAPaperText, kRankBPaperText, kRankCPaperText})
        EXPECT_GE(ContrastWithWhite(colour), 4.5) << std::hex << colour;
    EXPECT_NEAR(ContrastWithWhite(kBlack), 21, 1e-9);
    EXPECT_LT(ContrastWithWhite(kRankAColour), 4.5); // the screen's green would not
}

TEST(TablePrint, HomeRoomTableHasAThickRuleBetweenItsTwoColumns) {
    const auto canvas = Print(ClassGrid(30), 2, kHomeRoomKey);
    const CanvasOp frame = FrameOf(canvas);
    EXPECT_EQ(frame.width, 6);
    EXPECT_FALSE(frame.filled);
    const auto rules = VerticalRules(canvas);
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].width, 4);
    for (const auto& op : HorizontalRules(canvas))
        EXPECT_EQ(op.x2, frame.x2);
    // Nothing right of the name column is printed.
    for (const auto& op : canvas.Texts())
        if (op.y1 >= frame.y1) {
            EXPECT_LT(canvas.TextRight(op), frame.x2);
        }
}

// Every table kind, a class of 40 with a three-line header included, lies on its page: inside
// the page's width and height, centred across it.
TEST(TablePrint, EveryTableLiesOnThePageCentred) {
    Grid threeLines = SemesterGrid(40);
    threeLines.SetText(0, 7, u"関心"_s + kCr + u"意欲"_s + kCr + u"態度"_s);
    EXPECT_EQ(PrintedTableLines(SemesterGrid(40), 13), 44);
    const struct {
        Grid grid;
        int columns;
        QString key;
    } tables[] = {
        {ClassGrid(40, 2), 2, kHomeRoomKey},
        {threeLines, 13, SemesterKey(0, 0)},
        {ViewpointGrid(40), 15, ViewpointKey(0, 0, 0, 0)},
        {ClassGrid(40, 20), 20, PupilsKey()},
    };
    for (const auto& table : tables) {
        SCOPED_TRACE(table.key.toStdString());
        const auto canvas = Print(table.grid, table.columns, table.key);
        const CanvasOp frame = FrameOf(canvas);
        EXPECT_GE(frame.x1, 0);
        EXPECT_LE(frame.x2, kPageWidth + 1e-6);
        EXPECT_LE(frame.y2, kPageHeight + 1e-6);
        EXPECT_NEAR(frame.x1, kPageWidth - frame.x2, 1e-6);
    }
}

TEST(TablePrint, HorizontalRulesThickUnderHeaderAndAboveTheSummaryRows) {
    Grid grid = SemesterGrid(5); // 8 rows, two-line header
    for (const int summary : {1, 3}) {
        SCOPED_TRACE(summary);
        grid.SetSummaryRows(summary);
        const auto canvas = Print(grid, 13, SemesterKey(0, 0));
        const auto rules = HorizontalRules(canvas);
        const CanvasOp frame = FrameOf(canvas);
        const double pitch = Pitch(canvas, grid, 13);
        ASSERT_EQ(rules.size(), 7u);
        for (size_t i = 0; i < rules.size(); ++i) {
            EXPECT_EQ(rules[i].x1, frame.x1);
            EXPECT_EQ(rules[i].x2, frame.x2);
            EXPECT_DOUBLE_EQ(rules[i].y1, frame.y1 + pitch * (i + 2)) << i;
            EXPECT_EQ(rules[i].width, (i == 0 || i == 7u - summary) ? 4 : 1) << i;
        }
        EXPECT_DOUBLE_EQ(frame.y2, rules.back().y1 + pitch);
        for (const auto& op : VerticalRules(canvas)) {
            EXPECT_EQ(op.y1, frame.y1);
            EXPECT_EQ(op.y2, frame.y2);
        }
    }
}

TEST(TablePrint, ThickColumnRulesPerLevel) {
    const std::set<int> subjectGroups{1, 2, 5, 8, 11};
    EXPECT_EQ(ThickColumns(Print(SemesterGrid(3), 13, SubjectKey(2))), subjectGroups);
    EXPECT_EQ(ThickColumns(Print(SemesterGrid(3), 13, SemesterKey(2, 1))), subjectGroups);
    EXPECT_EQ(ThickColumns(Print(SemesterGrid(3), 7, TestKey(2, 1, 3))), (std::set<int>{1, 2, 5}));
    Grid viewpoint = ViewpointGrid(3);
    for (int c = 2; c < 12; ++c)
        viewpoint.SetText(1, c, QStringLiteral(" 7"));
    EXPECT_EQ(ThickColumns(Print(viewpoint, 15, ViewpointKey(2, 1, 3, 0))),
              (std::set<int>{1, 2, 12}));
    // The homeroom key reads as level 0.
    EXPECT_EQ(ThickColumns(Print(SemesterGrid(3), 13, kHomeRoomKey)), subjectGroups);
    EXPECT_EQ(VerticalRules(Print(viewpoint, 15, ViewpointKey(0, 0, 0, 0))).size(), 14u);
    // The ratings at a glance: a thick rule before each subject.
    EXPECT_EQ(ThickColumns(Print(ClassGrid(3, 20), 20, PupilsKey())),
              (std::set<int>{1, 2, 5, 8, 11, 14, 17}));
}

// The viewpoint table on paper: the columns of tests not registered left out, a long test name
// printed whole (broken over lines, never cut) above its date, the body at 12 points.
TEST(TablePrint, ViewpointTableShowsItsTestsWhole) {
    Grid grid = ViewpointGrid(3);
    const QString name = u"物語文の読み取りのまとめテスト"_s;
    grid.SetText(0, 4, name + kCr + QStringLiteral("2026/05/11"));
    for (int r = 1; r <= 3; ++r)
        for (const int c : {2, 4, 12})
            grid.SetText(r, c, QStringLiteral(" 9"));
    grid.SetText(1, 14, QStringLiteral("A"));
    const auto canvas = Print(grid, 15, ViewpointKey(0, 0, 0, 1));
    EXPECT_EQ(VerticalRules(canvas).size(), 6u); // No., names, two tests, sum, rank, rating
    for (const auto& op : canvas.Texts())
        EXPECT_FALSE(op.text.startsWith(u"2回"_s));
    const CanvasOp frame = FrameOf(canvas);
    const double left = ColumnEdges(canvas)[3];
    QString printed;
    for (const auto& op : canvas.Texts())
        if (op.y1 > frame.y1 && op.x1 > left && op.x1 < ColumnEdges(canvas)[4] &&
            !op.text.startsWith(QStringLiteral("2026")) && op.text != QStringLiteral("9"))
            printed += op.text;
    EXPECT_EQ(printed, name);
    EXPECT_NE(canvas.FindText(QStringLiteral("2026/05/11")), nullptr);
    EXPECT_EQ(canvas.FindText(QStringLiteral("A"))->fontSize, 12);
    EXPECT_EQ(canvas.FindText(QStringLiteral("A"))->colour, kRankAPaperText);
    EXPECT_FALSE(PrintsLargerUpright(grid, 15, ViewpointKey(0, 0, 0, 1))); // a small class
}

// Every text of every printed table kind lies inside its cell less the room on both sides, and
// keeps 0.5 mm between its ink (at most its size high) and the rules above and below it, on a
// page that holds the table and on one that shrinks it: long katakana and kanji names, sums of
// 1,000 and more with "*", long test names with and without blanks in the headers. The name
// column is as wide as the longest name where the page has room, the other columns giving up to
// a fifth of their size for it: only where that does not do is a name made smaller or cut.
TEST(TablePrint, EveryTextStaysInsideItsCellWithRoomToTheRules) {
    const QString names[] = {u"グエン・ヴァン・アレクサンダー"_s, u"長谷川　真由美子"_s,
                             u"勅使河原　小百合"_s, u"-山田"_s};
    Grid record(25, 14);
    for (int r = 0; r < 25; ++r)
        for (int c = 0; c < 14; ++c)
            record.SetText(r, c, r == 0 ? u"一学期"_s + kCr + u" 合計点"_s : u"国語"_s);
    const double w = kPageWidth, h = kPageHeight;
    const struct {
        Grid grid;
        int columns;
        QString key;
        double pageWidth, pageHeight;
        int whole; // the longest name printed whole at the body's size (1), cut (0), either (-1)
    } tables[] = {
        {ClassGrid(4, 2), 2, kHomeRoomKey, w, h, 1},
        {SemesterGrid(4), 13, SemesterKey(0, 0), w, h, 1},
        {SemesterGrid(4), 13, SubjectKey(0), w, h, 1},
        {SemesterGrid(4), 7, TestKey(0, 0, 0), w, h, 1},
        {ViewpointGrid(4), 15, ViewpointKey(0, 0, 0, 0), w, h, 1},
        {ViewpointGrid(4), 15, ViewpointKey(0, 0, 0, 0), 15000, h, 1},
        {SemesterGrid(40), 13, SemesterKey(0, 0), h, w, -1},
        {ViewpointGrid(40), 15, ViewpointKey(0, 0, 0, 0), h, w, -1},
        {ClassGrid(40, 2), 2, kHomeRoomKey, h, w, -1},
        {ClassGrid(40, 20), 20, PupilsKey(), h, w, -1},
        {SemesterGrid(40), 13, SemesterKey(0, 0), 13000, 9500, -1},
        {record, 14, PupilKey(2), h, w, -1},
    };
    for (const auto& table : tables) {
        SCOPED_TRACE(table.key.toStdString() + " " + std::to_string(table.pageWidth) + " " +
                     std::to_string(table.grid.Rows()));
        Grid grid = table.grid;
        for (int r = 1; r <= 4; ++r) {
            grid.SetText(r, 1, names[r - 1]);
            for (int c = 2; c < table.columns; ++c)
                grid.SetText(r, c, r % 2 ? QStringLiteral("*1,698") : QStringLiteral("10,087"));
        }
        if (table.columns == 15) {
            grid.SetText(0, 2, u"たし算,ひき算"_s + kCr + QStringLiteral("2026/05/10"));
            grid.SetText(0, 3,
                         u"物語文の読み取りのまとめテスト"_s + kCr + QStringLiteral("2026/05/11"));
            grid.SetText(0, 4,
                         u"かけ算"_s + kCr + u"わり算"_s + kCr + u"まとめ"_s + kCr +
                             QStringLiteral("2026/05/12"));
        }
        const auto canvas = Print(grid, table.columns, table.key, u"題名"_s,
                                  QStringLiteral("2026/12/07"), table.pageWidth, table.pageHeight);
        const auto edges = ColumnEdges(canvas);
        const CanvasOp frame = FrameOf(canvas);
        std::vector<std::pair<double, double>> rules{{frame.y1, frame.width},
                                                     {frame.y2, frame.width}};
        for (const auto& op : HorizontalRules(canvas))
            rules.emplace_back(op.y1, op.width);
        int checked = 0;
        double bodySize = 0;
        for (const auto& op : canvas.Texts()) {
            if (op.y1 < frame.y1)
                continue; // the date and the title
            int col = table.columns - 1;
            while (col > 0 && edges[col] > op.x1)
                --col;
            EXPECT_GE(op.x1, edges[col] + kTextMargin - 1e-9) << op.text.toStdString();
            EXPECT_LE(canvas.TextRight(op), edges[col + 1] - kTextMargin + 1e-9)
                << op.text.toStdString();
            const double top = op.y1;
            const double bottom = op.y1 + op.fontSize * 20;
            double above = -1e9, below = 1e9;
            for (const auto& [y, width] : rules) {
                const double half = width * 1440.0 / 300 / 2; // a printer pixel: 1/300 inch
                if (y <= top)
                    above = std::max(above, y + half);
                else
                    below = std::min(below, y - half);
            }
            EXPECT_GE(top - above, kInkRoom - 1e-6) << op.text.toStdString();
            EXPECT_GE(below - bottom, kInkRoom - 1e-6) << op.text.toStdString();
            if (op.text == NumberText(1).trimmed())
                bodySize = op.fontSize;
            ++checked;
        }
        EXPECT_GT(checked, 4 * table.columns);
        // A class of 40 prints upright, which prints it larger, at 8 points or more.
        if (table.grid.Rows() > 40 && table.pageWidth == h) {
            EXPECT_TRUE(PrintsLargerUpright(table.grid, table.columns, table.key));
            EXPECT_GE(bodySize, 8);
        }
        // The longest name whole, or cut where the page has no room; a test's date never cut.
        const CanvasOp* whole = canvas.FindText(names[0]);
        if (table.whole >= 0) {
            EXPECT_EQ(whole != nullptr && whole->fontSize == bodySize, table.whole == 1);
        }
        int dates = 0;
        for (const auto& op : canvas.Texts())
            dates += op.text.startsWith(QStringLiteral("2026/05/1")) && op.text.size() == 10;
        EXPECT_EQ(dates, table.columns == 15 ? 3 : 0);
    }
}

// A long heading is printed smaller, then on two lines, never over the date; a short one at 14
// points on one line.
TEST(TablePrint, TheHeadingFitsBesideTheDate) {
    const QString heading =
        u"個人票　2026年（令和8年） 4年2組 佐藤 美咲 生徒数（ 40名）　出席番号 2　"_s;
    const std::pair<QString, int> cases[] = {
        // The caption, and the lines it takes on a portrait page.
        {u"国語　一学期"_s, 1},
        {heading + u"アレクサンドラ"_s, 1},
        {heading + u"アレクサンドラ・ヴィクトリア・ヴァンデンバーグ"_s, 2},
        {heading + heading + heading, 2},
    };
    for (const auto& [caption, count] : cases) {
        SCOPED_TRACE(caption.toStdString());
        const auto canvas = Print(ClassGrid(3), 2, PupilKey(2), caption,
                                  QStringLiteral("2026/12/07"), kPageHeight, 15000);
        const CanvasOp* date = canvas.FindText(QStringLiteral("2026/12/07"));
        ASSERT_NE(date, nullptr);
        std::vector<CanvasOp> lines;
        for (const auto& op : canvas.Texts())
            if (op.x1 == 0 && op.y1 < FrameOf(canvas).y1)
                lines.push_back(op);
        ASSERT_EQ(static_cast<int>(lines.size()), count);
        for (const auto& line : lines) {
            EXPECT_LE(canvas.TextRight(line), date->x1);
            EXPECT_GE(line.fontSize, 14 * 0.7 - 1e-9);
            EXPECT_EQ(line.fontSize, lines.front().fontSize);
        }
        if (count == 1) {
            EXPECT_EQ(lines.front().text, caption);
        }
        EXPECT_GE(FrameOf(canvas).y1, lines.back().y1 + lines.back().fontSize * 20);
    }
}

// A pupil's record fills its page's width and more than half its height.
TEST(TablePrint, ThePupilRecordFillsItsPage) {
    Grid record(25, 14);
    record.SetText(0, 2, u"一学期"_s + kCr + u" 合計点"_s);
    const auto canvas = Print(record, 14, PupilKey(7), u"個人票"_s, QStringLiteral("2026/12/07"),
                              kPageHeight, kPageWidth);
    const CanvasOp frame = FrameOf(canvas);
    EXPECT_NEAR(frame.x1, kRuleHalf, 1e-6);
    EXPECT_NEAR(frame.x2, kPageHeight - kRuleHalf, 1e-6);
    EXPECT_GE(frame.y2 - frame.y1, 0.5 * kPageWidth);
    EXPECT_LE(frame.y2, kPageWidth);

    // A comment in note rows: printed under the frame, line after line, within the page.
    for (int r = 25; r < 28; ++r)
        record.AddNoteRow(QString(60, u'字'));
    const auto commented = Print(record, 14, PupilKey(7), u"個人票"_s, QStringLiteral("2026/12/07"),
                                 kPageHeight, kPageWidth);
    const CanvasOp box = FrameOf(commented);
    double y = box.y2;
    for (const CanvasOp& text : commented.Texts())
        if (text.text == QString(60, u'字')) {
            EXPECT_EQ(text.x1, box.x1);
            EXPECT_LE(commented.TextRight(text), box.x2);
            EXPECT_GT(text.y1, y);
            y = text.y1;
        }
    EXPECT_LE(y + kPrintRowPitch, kPageWidth);
    // The ratings keep their thick rule above the last row.
    EXPECT_EQ(commented.Lines().size(), canvas.Lines().size());
}

TEST(TablePrint, BlankEndOfAHeaderTakesALine) {
    Grid grid = ClassGrid(1);
    grid.SetText(0, 3, QStringLiteral("ab c "));
    EXPECT_EQ(PrintedTableLines(grid, 13), 2 + 3);
    const CanvasOp frame = FrameOf(Print(grid, 13, SemesterKey(0, 0)));
    EXPECT_DOUBLE_EQ(frame.y2 - frame.y1, kSmallTablePitch * 5);
}

TEST(TablePrint, EmptyHeaderTakesNoLine) {
    Grid grid(3, 15);
    grid.SetText(1, 1, u"名前"_s);
    const auto canvas = Print(grid, 13, SemesterKey(0, 0));
    EXPECT_EQ(TextIn(canvas, grid, 13, 0, 1).text, u"名前"_s);
    EXPECT_DOUBLE_EQ(FrameOf(canvas).y2 - FrameOf(canvas).y1, kSmallTablePitch * 2);
}

TEST(TablePrint, ColumnCountBeyondTheGridIsLimitedToIt) {
    Grid grid = ClassGrid(2, 4);
    const auto canvas = Print(grid, 15, SemesterKey(0, 0));
    EXPECT_DOUBLE_EQ(FrameOf(canvas).x2 - FrameOf(canvas).x1, 900 + 1900 + 900 * 2);
    EXPECT_EQ(VerticalRules(canvas).size(), 3u);
    EXPECT_EQ(PrintedTableLines(grid, 15), PrintedTableLines(grid, 4));
}

TEST(TablePrint, NothingToPrintGivesDateAndTitleOnly) {
    const auto canvas = Print(ClassGrid(2), 0, QString());
    EXPECT_EQ(canvas.Texts().size(), 2u);
    EXPECT_TRUE(canvas.Lines().empty());
    EXPECT_TRUE(canvas.Boxes().empty());
    const auto negative = Print(ClassGrid(2), -3, QString());
    EXPECT_TRUE(negative.Boxes().empty());
}

TEST(TablePrint, HeaderOnlyGridHasAFrameButNoRowRules) {
    Grid grid(1, 15);
    grid.SetText(0, 1, u"生徒氏名"_s);
    const auto canvas = Print(grid, 2, kHomeRoomKey);
    EXPECT_TRUE(HorizontalRules(canvas).empty());
    EXPECT_DOUBLE_EQ(FrameOf(canvas).y2 - FrameOf(canvas).y1, kSmallTablePitch);
}

// The area a printout uses keeps 10 mm from the paper's edges, and stays inside what the
// printer prints where its margins are wider.
TEST(PrintArea, TenMillimetresFromThePapersEdgesAndInsideThePrintableArea) {
    const struct {
        double margin; // the printer's own, mm
        QPageLayout::Orientation orientation;
        QRectF area; // twips from the printable area's corner
    } cases[] = {
        {0, QPageLayout::Landscape, {567, 567, 16838 - 2 * 567, 11906 - 2 * 567}},
        {4,
         QPageLayout::Portrait,
         {567 - 4 * 56.69, 567 - 4 * 56.69, 11906 - 2 * 567, 16838 - 2 * 567}},
        {20, QPageLayout::Portrait, {0, 0, 11906 - 40 * 56.69, 16838 - 40 * 56.69}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.margin);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(c.orientation);
        printer.setPageMargins(QMarginsF(c.margin, c.margin, c.margin, c.margin),
                               QPageLayout::Millimeter);
        const QRectF area = PrintAreaTwips(printer);
        EXPECT_NEAR(area.x(), c.area.x(), 25);
        EXPECT_NEAR(area.y(), c.area.y(), 25);
        EXPECT_NEAR(area.width(), c.area.width(), 50);
        EXPECT_NEAR(area.height(), c.area.height(), 50);
        // The page set-up shows the margins the printouts keep: 10 mm, or wider as chosen.
        KeepPaperMargins(printer);
        const QMarginsF shown = printer.pageLayout().margins(QPageLayout::Millimeter);
        EXPECT_NEAR(shown.left(), std::max(c.margin, 10.0), 0.01);
        EXPECT_NEAR(shown.bottom(), std::max(c.margin, 10.0), 0.01);
        EXPECT_NEAR(PrintAreaTwips(printer).width(), area.width(), 1);
    }
}

// A table with widths of its own: its rules where its widths put them, thick where it says, the
// table centred on a page with room for it, and shrunk as a whole on a page without.
TEST(TablePrint, OwnColumnWidthsPlaceTheRules) {
    Grid grid(3, 4);
    grid.SetText(0, 1, u"学級"_s);
    grid.SetText(1, 3, QStringLiteral("12"));
    const PrintedColumns own{{500, 2800, 600, 450}, {1, 3}};
    const double half = kRuleHalf;
    for (const double pageWidth : {15000.0, 4350.0 / 2}) {
        RecordingCanvas canvas(true, pageWidth, 230);
        const double bottom = PrintTable(canvas, grid, 4, QString(), QStringLiteral("c"),
                                         QStringLiteral("d"), 100000, &own);
        const double scale = std::min(1.0, (pageWidth - 2 * half) / 4350);
        const CanvasOp frame = FrameOf(canvas);
        EXPECT_NEAR(frame.x2 - frame.x1, 4350 * scale, 1e-6);
        EXPECT_NEAR(frame.x1, std::max(half, (pageWidth - 4350) / 2), 1e-6);
        EXPECT_DOUBLE_EQ(bottom, frame.y2);
        std::vector<std::pair<double, int>> rules; // at the table's own size
        for (const auto& op : VerticalRules(canvas))
            rules.emplace_back(std::round((op.x1 - frame.x1) / scale), op.width);
        EXPECT_EQ(rules, (std::vector<std::pair<double, int>>{{500, 4}, {3300, 1}, {3900, 4}}));
    }
}

// Spanning headers: each text centred over its columns, a rule under each span, and a column's
// rule starting below the spans it lies inside.
TEST(TablePrint, SpanningHeadersStandOverTheirColumns) {
    Grid grid(3, 5);
    grid.SetText(0, 3, QStringLiteral("A"));
    PrintedColumns own{{500, 2000, 600, 600, 600}, {1, 2}};
    own.bands = {{{2, 3, u"国語"_s}}, {{2, 2, u"表現"_s}, {4, 1, u"理解"_s}}};
    RecordingCanvas canvas(true, 15000, 0);
    PrintTable(canvas, grid, 5, QString(), QStringLiteral("c"), QStringLiteral("d"), 100000, &own);
    EXPECT_EQ(PrintedTableLines(grid, 5, &own), 2 + 1 + 2);
    const CanvasOp frame = FrameOf(canvas);
    const auto edges = ColumnEdges(canvas);
    const double pitch = (frame.y2 - frame.y1) / 5;
    const CanvasOp* subject = canvas.FindText(u"国語"_s);
    ASSERT_NE(subject, nullptr);
    EXPECT_NEAR(subject->x1 + canvas.TextRight(*subject), edges[2] + edges[5], 1);
    EXPECT_LT(canvas.FindText(u"国語"_s)->y1, canvas.FindText(u"表現"_s)->y1);
    std::vector<double> starts; // each column rule's top, in lines
    for (const auto& op : VerticalRules(canvas))
        starts.push_back((op.y1 - frame.y1) / pitch);
    EXPECT_EQ(starts, (std::vector<double>{0, 0, 2, 1}));
    int spanRules = 0;
    for (const auto& op : HorizontalRules(canvas))
        spanRules += op.x1 >= edges[2] && op.y1 < frame.y1 + 2.5 * pitch;
    EXPECT_EQ(spanRules, 3);
}

} // namespace
} // namespace kirune
