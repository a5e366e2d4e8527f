// The printout of the table on screen, checked op by op on the recording canvas.
#include "browse/tree.h"
#include "model/numbers.h"
#include "output/recordingcanvas.h"
#include "output/tableprint.h"

#include <gtest/gtest.h>

#include "support/testutil.h"
#include <algorithm>
#include <set>

namespace kirune {
namespace {

const QChar kCr(13);

// A grid as the tables leave it for a class of `pupils`: header, one row per pupil, an empty row
// and the class-average row.
Grid ClassGrid(int pupils, int cols = 15) {
    Grid grid(pupils + 3, cols);
    grid.SetText(0, 0, QStringLiteral("No."));
    grid.SetText(0, 1, U(u"生徒氏名"));
    for (int r = 1; r <= pupils; ++r) {
        grid.SetText(r, 0, NumberText(r));
        grid.SetText(r, 1, U(u"生徒") + QString::number(r));
    }
    grid.SetText(pupils + 2, 1, U(u"クラスの平均点"));
    return grid;
}

// The semester table's headers: viewpoint or subject name, CR, then the column's word.
Grid SemesterGrid(int pupils) {
    Grid grid = ClassGrid(pupils);
    const QString names[] = {U(u"表現"), U(u"理解"), U(u"言語")};
    for (int v = 0; v < 3; ++v) {
        grid.SetText(0, 2 + 3 * v, names[v] + kCr + U(u" 合計点"));
        grid.SetText(0, 3 + 3 * v, names[v] + kCr + U(u" 順位"));
        grid.SetText(0, 4 + 3 * v, names[v] + kCr + U(u" 評定"));
    }
    grid.SetText(0, 11, U(u"国語") + kCr + U(u" 合計点"));
    grid.SetText(0, 12, U(u"国語") + kCr + U(u" 順位"));
    return grid;
}

// The viewpoint table's headers: test name and date on separate lines, then sum, rank, rating.
Grid ViewpointGrid(int pupils) {
    Grid grid = ClassGrid(pupils);
    for (int k = 0; k < 10; ++k)
        grid.SetText(0, 2 + k, kCr + QString::number(k + 1) + U(u"回目試験") + kCr + U(u"一学期"));
    grid.SetText(0, 12, U(u"合計点"));
    grid.SetText(0, 13, U(u"順位"));
    grid.SetText(0, 14, U(u"評定"));
    return grid;
}

RecordingCanvas Print(const Grid& grid, int columns, const QString& key,
                      const QString& caption = U(u"題名"),
                      const QString& date = QStringLiteral("2026/12/07")) {
    // Lines 230 twips high: a text centred in its 240-twip row starts 5 below the row's top.
    RecordingCanvas canvas(true, 15000, 230);
    PrintTable(canvas, grid, columns, key, caption, date);
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

// Columns whose rule is drawn with width 4.
std::set<int> ThickColumns(const RecordingCanvas& canvas) {
    std::set<int> out;
    for (const auto& op : VerticalRules(canvas)) {
        int col = -1;
        for (int c = 1; c < 15; ++c)
            if (PrintedColumnLeft(c) == op.x1)
                col = c;
        EXPECT_GE(col, 1) << "rule at " << op.x1;
        if (op.width == 4) {
            out.insert(col);
        } else {
            EXPECT_EQ(op.width, 1);
        }
    }
    return out;
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
        {U(u"表現") + kCr + U(u" 合計点"), 12, {U(u"表現"), U(u"合計点")}, 12},
        // A date is printed smaller, never cut or split.
        {U(u"1回目試験") + kCr + QStringLiteral("2002/10/13"),
         9,
         {U(u"1回目試験"), QStringLiteral("2002/10/13")},
         7.5},
        // Four words: as many on a line as fit, three lines at most.
        {U(u"単元") + kCr + U(u"まとめ") + kCr + U(u"テスト") + kCr + QStringLiteral("2024/06/10"),
         9,
         {U(u"単元 まとめ"), U(u"テスト"), QStringLiteral("2024/06/10")},
         6.5},
        // A name with a blank breaks there.
        {U(u"漢字") + kCr + U(u"テスト") + kCr + QStringLiteral("2026/05/10"),
         9,
         {U(u"漢字"), U(u"テスト"), QStringLiteral("2026/05/10")},
         7.5},
        // Without a blank, after punctuation.
        {U(u"たし算,ひき算"), 9, {U(u"たし算,"), U(u"ひき算")}, 9},
        {U(u"たし算,ひき算") + kCr + QStringLiteral("2026/05/10"),
         9,
         {U(u"たし算,"), U(u"ひき算"), QStringLiteral("2026/05/10")},
         7.5},
        // Without either, between characters; the date stays whole.
        {U(u"物語文の読み取り") + kCr + QStringLiteral("2026/06/19"),
         9,
         {U(u"物語文の読"), U(u"み取り"), QStringLiteral("2026/06/19")},
         7.5},
        // A long vowel mark never starts a line; a third line for one word is a smaller size.
        {U(u"あいうーえ"), 16, {U(u"あい"), U(u"うーえ")}, 12.5},
        // Latin text and digits are never split: below 70 % they are cut.
        {QStringLiteral("ABCDEFGHIJKLMNOPQRST"), 12, {U(u"ABCDEFG…")}, 12 * 0.7},
        {QStringLiteral("10") + U(u"回目試験") + kCr + U(u"一学期"),
         9,
         {QStringLiteral("10") + U(u"回目試験"), U(u"一学期")},
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
    const auto canvas = Print(ClassGrid(3), 2, kHomeRoomKey, U(u"令和8年 3年2組"));
    const CanvasOp* date = OnlyText(canvas, 15000 - 1500, 0);
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->text, QStringLiteral("2026/12/07"));
    EXPECT_EQ(date->fontSize, 12);
    const CanvasOp* title = OnlyText(canvas, 1000, 200);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text, U(u"令和8年 3年2組"));
    EXPECT_EQ(title->fontSize, 14);
    EXPECT_EQ(title->colour, kBlack);
}

TEST(TablePrint, EveryTextInMincho) {
    const auto canvas = Print(SemesterGrid(5), 13, SemesterKey(0, 0));
    for (const auto& op : canvas.Texts())
        EXPECT_EQ(op.fontName, U(u"ＭＳ 明朝")) << op.text.toStdString();
}

TEST(TablePrint, HeaderInTwoLines) {
    const auto canvas = Print(SemesterGrid(5), 13, SemesterKey(0, 0));
    const double x2 = PrintedColumnLeft(2) + kTextMargin;
    const auto first = TextsAt(canvas, x2, 605);
    const auto second = TextsAt(canvas, x2, 845);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0].text, U(u"表現"));
    EXPECT_EQ(second[0].text, U(u"合計点"));
    EXPECT_EQ(first[0].fontSize, 12);
    // Every header sits the same room in.
    EXPECT_EQ(OnlyText(canvas, 1000 + kTextMargin, 605)->text, QStringLiteral("No."));
    EXPECT_EQ(OnlyText(canvas, 1900 + kTextMargin, 605)->text, U(u"生徒氏名"));
    // The first pupil follows the two header lines.
    EXPECT_EQ(OnlyText(canvas, 1900 + kTextMargin, 600 + 2 * 240 + 5)->text, U(u"生徒1"));
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
    grid.SetText(2, 1, U(u"山田A"));
    const auto canvas = Print(grid, 13, SemesterKey(0, 0));
    const auto cell = [&](int row, int col) -> CanvasOp {
        for (const auto& op : canvas.Texts())
            if (op.y1 == 600 + 240 * (row + 1) + 5 && op.x1 >= PrintedColumnLeft(col) &&
                (col == 12 || op.x1 < PrintedColumnLeft(col + 1)))
                return op;
        return {};
    };
    const auto rightEdge = [](int col) { return PrintedColumnLeft(col + 1) - kTextMargin; };
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
    EXPECT_EQ(cell(1, 1).x1, PrintedColumnLeft(1) + kTextMargin);
    EXPECT_EQ(cell(2, 1).text, U(u"山田A"));
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

TEST(TablePrint, HomeRoomTableEndsAt3800WithAThickRuleBetweenItsColumns) {
    const auto canvas = Print(ClassGrid(30), 2, kHomeRoomKey);
    const CanvasOp frame = FrameOf(canvas);
    EXPECT_EQ(frame.x1, 1000);
    EXPECT_EQ(frame.y1, 600);
    EXPECT_EQ(frame.x2, 3800);
    EXPECT_EQ(frame.y2, 600 + 240 * 33);
    EXPECT_EQ(frame.width, 6);
    EXPECT_FALSE(frame.filled);
    const auto rules = VerticalRules(canvas);
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].x1, 1900);
    EXPECT_EQ(rules[0].width, 4);
    for (const auto& op : HorizontalRules(canvas))
        EXPECT_EQ(op.x2, 3800);
    // Nothing right of the name column is printed.
    for (const auto& op : canvas.Texts()) {
        if (op.y1 >= 600) {
            EXPECT_LT(op.x1, 1900 + 100);
        }
    }
}

TEST(TablePrint, SemesterTableOfFortyEndsAt11160) {
    const auto canvas = Print(SemesterGrid(40), 13, SemesterKey(1, 2));
    const CanvasOp frame = FrameOf(canvas);
    EXPECT_EQ(frame.x2, 1000 + 1000 + 900 * 13);
    EXPECT_EQ(frame.y2, 11160);
    EXPECT_EQ(PrintedTableLines(SemesterGrid(40), 13), 44);
}

TEST(TablePrint, ThreeLineHeaderEndsAt11400) {
    Grid grid = SemesterGrid(40);
    grid.SetText(0, 7, U(u"関心") + kCr + U(u"意欲") + kCr + U(u"態度"));
    const auto canvas = Print(grid, 13, SemesterKey(0, 0));
    EXPECT_EQ(FrameOf(canvas).y2, 11400);
    EXPECT_EQ(FrameOf(Print(ViewpointGrid(40), 15, ViewpointKey(0, 0, 0, 0))).x2, 15500);
}

TEST(TablePrint, HorizontalRulesThickUnderHeaderAndAboveLastRowNoneAfterIt) {
    const Grid grid = SemesterGrid(5); // 8 rows, two-line header
    const auto canvas = Print(grid, 13, SemesterKey(0, 0));
    const auto rules = HorizontalRules(canvas);
    ASSERT_EQ(rules.size(), 7u);
    for (size_t i = 0; i < rules.size(); ++i) {
        EXPECT_EQ(rules[i].x1, 1000);
        EXPECT_EQ(rules[i].x2, 1000 + 1000 + 900 * 13);
        EXPECT_EQ(rules[i].y1, 600 + 240 * (i + 2)) << i;
        EXPECT_EQ(rules[i].width, (i == 0 || i == 6) ? 4 : 1) << i;
    }
    // The last rule lies above the class-average row; the frame closes under it.
    EXPECT_EQ(FrameOf(canvas).y2, rules.back().y1 + 240);
    for (const auto& op : VerticalRules(canvas)) {
        EXPECT_EQ(op.y1, 600);
        EXPECT_EQ(op.y2, FrameOf(canvas).y2);
    }
}

TEST(TablePrint, ThickColumnRulesPerLevel) {
    const std::set<int> subjectGroups{1, 2, 5, 8, 11};
    EXPECT_EQ(ThickColumns(Print(SemesterGrid(3), 13, SubjectKey(2))), subjectGroups);
    EXPECT_EQ(ThickColumns(Print(SemesterGrid(3), 13, SemesterKey(2, 1))), subjectGroups);
    EXPECT_EQ(ThickColumns(Print(SemesterGrid(3), 7, TestKey(2, 1, 3))), (std::set<int>{1, 2, 5}));
    EXPECT_EQ(ThickColumns(Print(ViewpointGrid(3), 15, ViewpointKey(2, 1, 3, 0))),
              (std::set<int>{1, 2, 12}));
    // The homeroom key reads as level 0.
    EXPECT_EQ(ThickColumns(Print(SemesterGrid(3), 13, kHomeRoomKey)), subjectGroups);
    EXPECT_EQ(VerticalRules(Print(ViewpointGrid(3), 15, ViewpointKey(0, 0, 0, 0))).size(), 14u);
}

TEST(TablePrint, ViewpointTableHeaderAndBodyInNinePoint) {
    Grid grid = ViewpointGrid(3);
    grid.SetText(1, 14, QStringLiteral("A"));
    const auto canvas = Print(grid, 15, ViewpointKey(0, 0, 0, 1));
    const double in = kTextMargin;
    // "1回目試験" is a little wider than its room at 9 points: printed a little smaller.
    EXPECT_EQ(OnlyText(canvas, PrintedColumnLeft(2) + in, 605)->text, U(u"1回目試験"));
    EXPECT_EQ(OnlyText(canvas, PrintedColumnLeft(2) + in, 605)->fontSize, 8);
    EXPECT_EQ(OnlyText(canvas, PrintedColumnLeft(2) + in, 845)->text, U(u"一学期"));
    EXPECT_EQ(OnlyText(canvas, PrintedColumnLeft(12) + in, 605)->fontSize, 12);
    EXPECT_EQ(OnlyText(canvas, PrintedColumnLeft(13) + in, 605)->fontSize, 12);
    EXPECT_EQ(OnlyText(canvas, PrintedColumnLeft(14) + in, 605)->fontSize, 9);
    // Column 0 and 1 headers keep the size in force when they are printed (the title's 12).
    EXPECT_EQ(OnlyText(canvas, 1000 + in, 605)->fontSize, 12);
    int body = 0;
    for (const auto& op : canvas.Texts())
        if (op.y1 >= 600 + 2 * 240) {
            EXPECT_EQ(op.fontSize, 9) << op.text.toStdString();
            ++body;
        }
    EXPECT_EQ(body, 3 * 2 + 1 + 1); // numbers and names, the average's label, one rating
    for (const auto& op : canvas.Texts())
        if (op.text == QStringLiteral("A")) {
            EXPECT_EQ(op.colour, kRankAPaperText);
        }
}

// Every text of every printed table kind lies inside its cell less the room on both sides:
// long katakana and kanji names, sums of 1,000 and more with "*", long test names with and
// without blanks in the headers.
TEST(TablePrint, EveryTextStaysInsideItsCell) {
    const QString names[] = {U(u"グエン・ヴァン・アレクサンダー"), U(u"長谷川　真由美子"),
                             U(u"勅使河原　小百合"), U(u"-山田")};
    const struct {
        Grid grid;
        int columns;
        QString key;
    } tables[] = {
        {ClassGrid(4, 2), 2, kHomeRoomKey},
        {SemesterGrid(4), 13, SemesterKey(0, 0)},
        {SemesterGrid(4), 13, SubjectKey(0)},
        {SemesterGrid(4), 7, TestKey(0, 0, 0)},
        {ViewpointGrid(4), 15, ViewpointKey(0, 0, 0, 0)},
    };
    for (const auto& table : tables) {
        SCOPED_TRACE(table.key.toStdString());
        Grid grid = table.grid;
        for (int r = 1; r <= 4; ++r) {
            grid.SetText(r, 1, names[r - 1]);
            for (int c = 2; c < table.columns; ++c)
                grid.SetText(r, c, r % 2 ? QStringLiteral("*1,698") : QStringLiteral("10,087"));
        }
        if (table.columns == 15) {
            grid.SetText(0, 2, U(u"たし算,ひき算") + kCr + QStringLiteral("2026/05/10"));
            grid.SetText(0, 3,
                         U(u"物語文の読み取りのまとめテスト") + kCr + QStringLiteral("2026/05/11"));
            grid.SetText(0, 4,
                         U(u"かけ算") + kCr + U(u"わり算") + kCr + U(u"まとめ") + kCr +
                             QStringLiteral("2026/05/12"));
        }
        const auto canvas = Print(grid, table.columns, table.key);
        int checked = 0;
        for (const auto& op : canvas.Texts()) {
            if (op.y1 < 600)
                continue; // the date and the title
            int col = table.columns - 1;
            while (col > 0 && PrintedColumnLeft(col) > op.x1)
                --col;
            const double right = col + 1 < table.columns ? PrintedColumnLeft(col + 1)
                                                         : PrintedTableRight(table.columns);
            EXPECT_GE(op.x1, PrintedColumnLeft(col) + kTextMargin - 1e-9) << op.text.toStdString();
            EXPECT_LE(canvas.TextRight(op), right - kTextMargin + 1e-9) << op.text.toStdString();
            EXPECT_GE(op.fontSize, 0.7 * (table.columns == 15 ? 9 : 12) - 1e-9);
            ++checked;
        }
        EXPECT_GT(checked, 4 * table.columns);
        // The longest name is cut, and still shows its start; a test's date is never cut.
        bool cut = false;
        int dates = 0;
        for (const auto& op : canvas.Texts()) {
            cut = cut || (op.text.startsWith(U(u"グエン")) && op.text.endsWith(U(u"…")));
            dates += op.text.startsWith(QStringLiteral("2026/05/1")) && op.text.size() == 10;
        }
        EXPECT_TRUE(cut);
        EXPECT_EQ(dates, table.columns == 15 ? 3 : 0);
    }
}

TEST(TablePrint, OtherLevelsPrintTheBodyInTwelvePoint) {
    for (const QString& key : {SemesterKey(0, 0), TestKey(0, 0, 0), SubjectKey(0)}) {
        const auto canvas = Print(SemesterGrid(2), 13, key);
        for (const auto& op : canvas.Texts()) {
            if (op.y1 >= 600) {
                EXPECT_EQ(op.fontSize, 12) << key.toStdString();
            }
        }
    }
}

TEST(TablePrint, BlankEndOfAHeaderTakesALine) {
    Grid grid = ClassGrid(1);
    grid.SetText(0, 3, QStringLiteral("ab c "));
    EXPECT_EQ(PrintedTableLines(grid, 13), 2 + 3);
    EXPECT_EQ(FrameOf(Print(grid, 13, SemesterKey(0, 0))).y2, 600 + 240 * 5);
}

TEST(TablePrint, EmptyHeaderTakesNoLine) {
    Grid grid(3, 15);
    grid.SetText(1, 1, U(u"名前"));
    const auto canvas = Print(grid, 13, SemesterKey(0, 0));
    EXPECT_EQ(OnlyText(canvas, 1900 + kTextMargin, 605)->text, U(u"名前"));
    EXPECT_EQ(FrameOf(canvas).y2, 600 + 2 * 240);
}

TEST(TablePrint, ColumnCountBeyondTheGridIsLimitedToIt) {
    Grid grid = ClassGrid(2, 4);
    const auto canvas = Print(grid, 15, SemesterKey(0, 0));
    EXPECT_EQ(FrameOf(canvas).x2, 1000 + 1000 + 900 * 4);
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
    grid.SetText(0, 1, U(u"生徒氏名"));
    const auto canvas = Print(grid, 2, kHomeRoomKey);
    EXPECT_TRUE(HorizontalRules(canvas).empty());
    EXPECT_EQ(FrameOf(canvas).y2, 840);
}

TEST(TablePrint, FitScaleShrinksOnlyWhatDoesNotFit) {
    const Grid grid = ViewpointGrid(40); // 15500 wide, 11160 tall plus the frame's line
    EXPECT_EQ(PrintFitScale(grid, 15, 16000, 11500), 1.0);
    const double tall = PrintFitScale(grid, 15, 16000, 10000);
    EXPECT_LT(tall, 1.0);
    EXPECT_LE((600 + 240 * PrintedTableLines(grid, 15)) * tall, 10000);
    const double wide = PrintFitScale(grid, 15, 14000, 20000);
    EXPECT_LE(15500 * wide, 14000);
    EXPECT_GT(15500 * wide, 13900);
    EXPECT_EQ(PrintFitScale(grid, 0, 100, 100), 1.0);
}

// A table with widths of its own: its rules where its widths put them, thick where it says, and
// the page fitted to its own width.
TEST(TablePrint, OwnColumnWidthsPlaceTheRulesAndTheFit) {
    Grid grid(3, 4);
    grid.SetText(0, 1, U(u"学級"));
    grid.SetText(1, 3, QStringLiteral("12"));
    const PrintedColumns own{{500, 2800, 600, 450}, {1, 3}};
    RecordingCanvas canvas(true, 15000, 230);
    PrintTable(canvas, grid, 4, QString(), QStringLiteral("c"), QStringLiteral("d"), &own);
    std::vector<std::pair<double, int>> rules;
    for (const auto& op : VerticalRules(canvas))
        rules.emplace_back(op.x1, op.width);
    const std::vector<std::pair<double, int>> expected = {{1500, 4}, {4300, 1}, {4900, 4}};
    EXPECT_EQ(rules, expected);
    EXPECT_EQ(FrameOf(canvas).x2, 5350);
    EXPECT_NEAR(canvas.TextRight(*canvas.FindText(QStringLiteral("12"))), 5350 - kTextMargin, 1);
    EXPECT_DOUBLE_EQ(PrintFitScale(grid, 4, 5350 / 2.0, 100000, &own), 5350 / 2.0 / (5350 + 30));
}

} // namespace
} // namespace kirune
