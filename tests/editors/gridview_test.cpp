// The table widget shows a Grid as it is: sizes through the twips helper, header line breaks,
// right-aligned columns, background colours, a header row and number column that stay put.
#include "editors/common/gridaccessible.h"
#include "editors/common/gridview.h"
#include "editors/common/twips.h"

#include "support/testutil.h"
#include "support/widgettest.h"
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

using namespace test;

class GridViewTest : public ::testing::Test {
protected:
    GridViewTest() : grid(6, 4) {
        grid.SetColWidth(0, 400);
        grid.SetColWidth(1, 1600);
        grid.SetColWidth(2, 960);
        grid.SetColWidth(3, 960);
        grid.SetRowHeight(0, 600);
        view.setGrid(&grid);
        view.resize(400, 300);
        view.show();
        QApplication::processEvents();
    }

    QImage Picture() {
        view.viewport()->update();
        return view.viewport()->grab().toImage();
    }

    Grid grid;
    GridView view;
};

TEST_F(GridViewTest, SizesInTwipsGoThroughTheTwipsHelper) {
    EXPECT_EQ(view.columnWidth(0), TwipsToPixels(400));
    EXPECT_EQ(view.columnWidth(1), TwipsToPixels(1600));
    EXPECT_EQ(view.rowHeight(0), TwipsToPixels(600));
    EXPECT_EQ(view.rowHeight(1), TwipsToPixels(Grid::kDefaultRowHeight));
    // Cells follow each other without gaps.
    EXPECT_EQ(view.cellRect(1, 2).left(), TwipsToPixels(400) + TwipsToPixels(1600));
    EXPECT_EQ(view.cellRect(2, 0).top(),
              TwipsToPixels(600) + TwipsToPixels(Grid::kDefaultRowHeight));

    grid.SetColWidth(1, 3000);
    view.refresh();
    EXPECT_EQ(view.columnWidth(1), TwipsToPixels(3000));
    EXPECT_EQ(view.cellRect(0, 2).left(), TwipsToPixels(400) + TwipsToPixels(3000));
}

TEST_F(GridViewTest, ACarriageReturnIsALineBreak) {
    EXPECT_EQ(GridView::DisplayText(u"国語\r表現"_s), u"国語\n表現"_s);
    EXPECT_EQ(GridView::DisplayText(QStringLiteral("a\r\nb")), QStringLiteral("a\nb"));
    EXPECT_EQ(GridView::DisplayText(QStringLiteral("plain")), QStringLiteral("plain"));

    // Drawn: the header with a CR has ink in two separate bands, the same words without the
    // CR in one.
    grid.SetText(0, 1, QStringLiteral("AB\rCD"));
    grid.SetText(0, 2, QStringLiteral("ABCD"));
    view.refresh();
    const QImage image = Picture();
    EXPECT_EQ(InkBands(image, view.cellRect(0, 1)), 2);
    EXPECT_EQ(InkBands(image, view.cellRect(0, 2)), 1);
}

TEST_F(GridViewTest, Alignment7IsRightAndVerticallyCentred) {
    grid.SetColAlignment(2, kAlignRightCenter);
    grid.SetText(1, 2, QStringLiteral("8"));
    grid.SetText(1, 3, QStringLiteral("8"));
    view.refresh();
    EXPECT_EQ(view.cellAlignment(1, 2), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(view.cellAlignment(1, 3), Qt::AlignLeft | Qt::AlignVCenter);

    const QImage image = Picture();
    const QRect right = view.cellRect(1, 2);
    const QRect left = view.cellRect(1, 3);
    const QRect rightHalf(right.center().x(), right.top(), right.width() / 2, right.height());
    const QRect leftHalf(left.left(), left.top(), left.width() / 2, left.height());
    EXPECT_GT(InkPixels(image, rightHalf.adjusted(0, 0, -2, -2)), 0);
    EXPECT_EQ(
        InkPixels(image, QRect(right.left(), right.top(), right.width() / 2, right.height() - 2)),
        0);
    EXPECT_GT(InkPixels(image, leftHalf.adjusted(0, 0, 0, -2)), 0);
    EXPECT_EQ(InkPixels(image, QRect(left.center().x(), left.top(), left.width() / 2 - 2,
                                     left.height() - 2)),
              0);
}

TEST_F(GridViewTest, CellsTakeTheirBackgroundColour) {
    grid.SetCellBackground(2, 1, qRgb(255, 0, 255));
    grid.SetCellBackground(0, 3, qRgb(0, 255, 0));
    view.refresh();
    const QImage image = Picture();
    EXPECT_EQ(image.pixelColor(view.cellRect(2, 1).center()), QColor(255, 0, 255));
    EXPECT_EQ(image.pixelColor(view.cellRect(0, 3).center()), QColor(0, 255, 0));
    // Others keep the plain colours: ordinary cells white, headers distinct from them.
    EXPECT_EQ(image.pixelColor(view.cellRect(3, 1).center()), QColor(Qt::white));
    EXPECT_NE(image.pixelColor(view.cellRect(0, 1).center()), QColor(Qt::white));
    EXPECT_EQ(view.cellBackground(2, 1), QColor(255, 0, 255));
    // A coloured cell keeps the line on its right edge; right of the cells is the grey outside.
    const QRect coloured = view.cellRect(2, 1);
    EXPECT_EQ(image.pixelColor(coloured.right(), coloured.center().y()), QColor(192, 192, 192));
    const QRect last = view.cellRect(2, 3);
    EXPECT_EQ(image.pixelColor(last.right() + 5, last.center().y()), QColor(171, 171, 171));
}

TEST_F(GridViewTest, KeysMoveTheCurrentCellAmongTheOrdinaryCellsOfANavigableTable) {
    int reported = 0;
    QObject::connect(&view, &GridView::currentCellChanged, [&reported] { ++reported; });
    view.moveCurrentCell(2, 2);
    QTest::keyClick(&view, Qt::Key_Right); // the editors' rosters take no keys
    view.setNavigable(true);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int row, col;
    } steps[] = {
        {Qt::Key_Right, Qt::NoModifier, 2, 3},    {Qt::Key_Right, Qt::NoModifier, 2, 3},
        {Qt::Key_Left, Qt::NoModifier, 2, 2},     {Qt::Key_Down, Qt::NoModifier, 3, 2},
        {Qt::Key_Up, Qt::NoModifier, 2, 2},       {Qt::Key_Home, Qt::NoModifier, 2, 1},
        {Qt::Key_End, Qt::NoModifier, 2, 3},      {Qt::Key_Home, Qt::ControlModifier, 1, 1},
        {Qt::Key_End, Qt::ControlModifier, 5, 3}, {Qt::Key_PageUp, Qt::NoModifier, 1, 3},
        {Qt::Key_PageDown, Qt::NoModifier, 5, 3}, {Qt::Key_Up, Qt::AltModifier, 5, 3},
    };
    for (const auto& step : steps) {
        QTest::keyClick(&view, step.key, step.modifiers);
        EXPECT_EQ(std::pair(view.currentRow(), view.currentCol()), std::pair(step.row, step.col))
            << QKeySequence(step.key | step.modifiers).toString().toStdString();
    }
    EXPECT_EQ(reported, 11);         // every move, none where the cell stayed
    EXPECT_EQ(grid.CurrentRow(), 1); // the owner stores it, when it wants to
}

TEST_F(GridViewTest, ShiftADragOrAFixedCellSelectsAndCopyTakesTheSelection) {
    view.setNavigable(true);
    grid.SetText(0, 2, u"国語\r表現"_s);
    grid.SetCell(3, 2, u" 1,087"_s, CellValue::Number(1087, 0, true));
    QWidget* cells = view.viewport();
    const auto at = [this](int row, int col) { return view.cellRect(row, col).center(); };
    const struct {
        std::function<void()> act;
        CellRange selected;
    } cases[] = {
        {[&] { QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier); }, {1, 1, 1, 2}},
        {[&] { QTest::keyClick(&view, Qt::Key_Left); }, {}},
        {[&] {
             QTest::mousePress(cells, Qt::LeftButton, {}, at(1, 1));
             QTest::mouseMove(cells, at(2, 3));
             QTest::mouseRelease(cells, Qt::LeftButton, {}, at(2, 3));
         },
         {1, 1, 2, 3}},
        {[&] { Click(cells, at(0, 2)); }, {0, 2, 5, 2}}, // a header cell: its column
        {[&] { QTest::mouseClick(cells, Qt::LeftButton, Qt::ShiftModifier, at(0, 3)); },
         {0, 2, 5, 3}},
        {[&] { Click(cells, at(3, 0)); }, {3, 0, 3, 3}}, // a number cell: its row
        {[&] { Click(cells, at(0, 0)); }, {0, 0, 5, 3}}, // the corner: all
        {[&] { QTest::keyClick(&view, Qt::Key_Down); }, {}},
        {[&] { QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier); }, {0, 0, 5, 3}},
    };
    for (const auto& c : cases) {
        c.act();
        EXPECT_EQ(view.selection(), c.selected) << &c - cases;
    }
    Click(cells, at(0, 2)); // the column, with its header, as text and HTML
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"国語 表現\n\n\n1087\n\n\n"_s);
    view.moveCurrentCell(3, 2); // nothing selected: the current cell alone
    EXPECT_EQ(view.copiedCells().text, u"1087\n"_s);
}

// Assistive technology sees a table: the ordinary cells in rows and columns, the header row and
// the number column their headers, the current cell focused (as heard through the desktop's
// bus: MainWindowTest.AScreenReaderReadsTheTableThroughTheDesktopsBus).
TEST_F(GridViewTest, AssistiveTechnologySeesATable) {
    view.setNavigable(true);
    grid.SetText(0, 3, u"関心 \r表現"_s);
    grid.SetText(3, 0, u" 3"_s);
    grid.SetText(3, 3, u" 20"_s);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&view);
    QAccessibleTableInterface* cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    EXPECT_EQ(std::pair(cells->rowCount(), cells->columnCount()), std::pair(5, 3)); // 24 in all
    EXPECT_EQ(cells->columnDescription(2), u"関心 表現"_s);
    QAccessibleInterface* score = cells->cellAt(2, 2);
    QAccessibleTableCellInterface* place = score->tableCellInterface();
    ASSERT_EQ(place->columnHeaderCells().size(), 1);
    ASSERT_EQ(place->rowHeaderCells().size(), 1);
    const QStringList read = {place->columnHeaderCells()[0]->text(QAccessible::Name),
                              place->rowHeaderCells()[0]->text(QAccessible::Name),
                              score->text(QAccessible::Name)};
    EXPECT_EQ(read, QStringList({u"関心 表現"_s, u"3"_s, u"20"_s}));
    for (int i = 0; i < table->childCount(); ++i) // headers too; a cell stays the same
        EXPECT_EQ(table->indexOfChild(table->child(i)), i);
    EXPECT_EQ(table->childAt(score->rect().center().x(), score->rect().center().y()), score);
    view.setFocus();
    view.moveCurrentCell(3, 3);
    EXPECT_TRUE(score->state().focused);
    EXPECT_EQ(table->focusChild(), score);
    EXPECT_TRUE(cells->selectColumn(2)); // selecting through the interface selects in the view
    EXPECT_TRUE(score->state().selected);
    EXPECT_TRUE(cells->unselectColumn(2) && cells->selectRow(1));
    EXPECT_EQ(cells->selectedRows(), QList<int>{1});
    grid.SetRows(8); // another table
    view.refresh();
    EXPECT_EQ(std::pair(cells->rowCount(), cells->selectedCellCount()), std::pair(7, 0));
}

// Text and fill of a cell come from one source: headers and coloured cells are dark text on a
// light fill in any theme, ordinary cells take both from the palette. So every cell stays
// readable in a dark theme, on screen as in the colours reported.
TEST_F(GridViewTest, EveryCellIsReadableInALightAndADarkTheme) {
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(50, 50, 50));
    dark.setColor(QPalette::ButtonText, QColor(240, 240, 240));
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::WindowText, QColor(240, 240, 240));
    const struct {
        const char* what;
        QPalette palette;
    } themes[] = {{"light", view.palette()}, {"dark", dark}};
    grid.SetText(0, 1, u"生徒氏名"_s);
    grid.SetText(1, 1, u"青木"_s);
    grid.SetCellBackground(1, 1, qRgb(255, 255, 224));
    grid.SetText(2, 1, u"伊藤"_s);
    const struct {
        const char* what;
        int row;
        QColor fill; // invalid: the palette's base
    } cells[] = {{"header", 0, QColor(236, 233, 216)},
                 {"coloured cell", 1, QColor(255, 255, 224)},
                 {"ordinary cell", 2, QColor()}};
    for (const auto& theme : themes) {
        view.setPalette(theme.palette);
        view.refresh();
        const QImage image = Picture();
        for (const auto& cell : cells) {
            SCOPED_TRACE(std::string(theme.what) + " " + cell.what);
            const GridView::CellColours colours = view.cellColours(cell.row, 1);
            EXPECT_EQ(colours.fill,
                      cell.fill.isValid() ? cell.fill : theme.palette.color(QPalette::Base));
            EXPECT_GT(std::abs(colours.fill.lightness() - colours.text.lightness()), 150);
            // On screen: the text's darkest or lightest pixel stands out from the fill.
            const QRect inside = view.cellRect(cell.row, 1).adjusted(3, 3, -4, -4);
            int contrast = 0;
            for (int y = inside.top(); y <= inside.bottom(); ++y)
                for (int x = inside.left(); x <= inside.right(); ++x)
                    contrast = std::max(contrast, std::abs(image.pixelColor(x, y).lightness() -
                                                           colours.fill.lightness()));
            EXPECT_GT(contrast, 150);
            // The current cell's frame stands out from the cell it frames.
            grid.SetCurrentCell(std::max(cell.row, 1), 1);
            view.refresh();
            EXPECT_GT(std::abs(view.currentFrameColour().lightness() - colours.fill.lightness()),
                      100);
        }
    }
}

TEST_F(GridViewTest, TheHeaderRowAndNumberColumnStayWhileTheTableScrolls) {
    grid.SetRows(43);
    grid.SetCols(15);
    view.refresh();
    QApplication::processEvents();
    ASSERT_GT(view.verticalScrollBar()->maximum(), 0);
    ASSERT_GT(view.horizontalScrollBar()->maximum(), 0);
    const QRect header = view.cellRect(0, 5);
    const QRect number = view.cellRect(20, 0);
    const QRect body = view.cellRect(20, 5);
    view.verticalScrollBar()->setValue(100);
    view.horizontalScrollBar()->setValue(50);
    EXPECT_EQ(view.cellRect(0, 5).top(), header.top());      // header row stays on top
    EXPECT_EQ(view.cellRect(20, 0).left(), number.left());   // number column stays left
    EXPECT_EQ(view.cellRect(20, 5).top(), body.top() - 100); // the rest moves
    EXPECT_EQ(view.cellRect(20, 5).left(), body.left() - 50);
    // A point on the header row still finds the header cell.
    const auto hit = view.cellAt(QPoint(view.cellRect(0, 5).center().x(), 2));
    EXPECT_EQ(hit.first, 0);
    EXPECT_EQ(hit.second, 5);
}

TEST_F(GridViewTest, TheCurrentCellIsScrolledIntoView) {
    grid.SetRows(43);
    view.refresh();
    grid.SetCurrentCell(40, 1);
    view.refresh();
    const QRect cell = view.cellRect(40, 1);
    EXPECT_GE(cell.top(), view.rowHeight(0));
    EXPECT_LE(cell.bottom(), view.viewport()->height());
}

TEST_F(GridViewTest, AClickReportsTheCell) {
    std::vector<std::pair<int, int>> clicks;
    QObject::connect(&view, &GridView::cellClicked,
                     [&clicks](int row, int col) { clicks.emplace_back(row, col); });
    Click(view.viewport(), view.cellRect(3, 1).center());
    Click(view.viewport(), view.cellRect(0, 2).center());
    Click(view.viewport(), QPoint(390, 290)); // right of and below the cells: nothing
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0], std::make_pair(3, 1));
    EXPECT_EQ(clicks[1], std::make_pair(0, 2));
    // The widget only reports: the grid's current cell is the owner's business.
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_EQ(grid.CurrentCol(), 1);
}

TEST_F(GridViewTest, TheViewShowsTheGridsSizeAsOfTheLastRefresh) {
    EXPECT_EQ(view.rowCount(), 6);
    EXPECT_EQ(view.columnCount(), 4);
    grid.SetRows(43);
    grid.SetCols(15);
    EXPECT_EQ(view.rowCount(), 6);      // not told yet
    EXPECT_FALSE(view.grab().isNull()); // painting in between reads no cell twice as far
    view.refresh();
    EXPECT_EQ(view.rowCount(), 43);
    EXPECT_EQ(view.columnCount(), 15);
    EXPECT_EQ(view.rowHeight(42), TwipsToPixels(Grid::kDefaultRowHeight));
    grid.SetRows(2);
    grid.SetCols(2);
    view.refresh();
    EXPECT_EQ(view.rowCount(), 2);
    EXPECT_EQ(view.columnCount(), 2);
    EXPECT_TRUE(view.cellRect(3, 1).isNull());
    EXPECT_EQ(view.columnWidth(2), 0);
    EXPECT_EQ(view.rowHeight(-1), 0);
}

TEST_F(GridViewTest, ADisplayWidthChangesTheScreenOnlyAndLastsUntilAnotherGrid) {
    view.setDisplayColumnWidth(1, 50);
    EXPECT_EQ(view.columnWidth(1), 50);
    EXPECT_EQ(view.cellRect(0, 2).left(), TwipsToPixels(400) + 50);
    EXPECT_EQ(grid.ColWidth(1), 1600); // the grid keeps its twips

    grid.SetColWidth(1, 3000); // a refresh keeps the display width
    view.refresh();
    EXPECT_EQ(view.columnWidth(1), 50);

    view.setDisplayColumnWidth(1, -1); // back to the grid's width
    EXPECT_EQ(view.columnWidth(1), TwipsToPixels(3000));

    // A column the grid does not have yet takes its display width once it is there.
    view.setDisplayColumnWidth(6, 30);
    EXPECT_EQ(view.columnCount(), 4);
    grid.SetCols(8);
    view.refresh();
    EXPECT_EQ(view.columnWidth(6), 30);
    view.setDisplayColumnWidth(-3, 30); // nothing to change
    EXPECT_EQ(view.columnWidth(0), TwipsToPixels(400));

    Grid other(6, 8);
    view.setGrid(&other);
    EXPECT_EQ(view.columnWidth(6), TwipsToPixels(Grid::kDefaultColWidth));
}

TEST_F(GridViewTest, TheCurrentCellAndTextsAreThoseOfTheGrid) {
    EXPECT_EQ(view.currentRow(), 1);
    EXPECT_EQ(view.currentCol(), 1);
    grid.SetCurrentCell(4, 2);
    grid.SetText(3, 2, u"国語\r表現"_s);
    EXPECT_EQ(view.currentRow(), 1); // not told yet
    view.refresh();
    EXPECT_EQ(view.currentRow(), 4);
    EXPECT_EQ(view.currentCol(), 2);
    EXPECT_EQ(view.cellText(3, 2), u"国語\n表現"_s);
    EXPECT_EQ(view.cellText(40, 2), QString());

    // The current cell carries a blue frame that no other cell has.
    const QImage image = Picture();
    const QRect current = view.cellRect(4, 2);
    const QRect plain = view.cellRect(4, 3);
    const auto bluePixels = [&image](const QRect& rect) {
        int count = 0;
        const QRect inside = rect.intersected(image.rect());
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.blue() > 150 && c.red() < 100 ? 1 : 0;
            }
        return count;
    };
    EXPECT_GT(bluePixels(QRect(current.left(), current.top(), current.width(), 3)), 0);
    EXPECT_EQ(bluePixels(QRect(plain.left(), plain.top(), plain.width(), 3)), 0);

    GridView empty;
    EXPECT_EQ(empty.currentRow(), -1);
    EXPECT_EQ(empty.rowCount(), 0);
    EXPECT_EQ(empty.cellText(0, 0), QString());
}

TEST_F(GridViewTest, ACurrentCellChosenBeforeShowingIsInViewOnceShown) {
    Grid tall(43, 4);
    tall.SetCurrentCell(40, 1);
    GridView hidden;
    hidden.setGrid(&tall);
    hidden.resize(300, 200);
    hidden.show();
    QApplication::processEvents();
    const QRect cell = hidden.cellRect(40, 1);
    EXPECT_GE(cell.top(), hidden.rowHeight(0));
    EXPECT_LE(cell.bottom(), hidden.viewport()->height());
}

TEST_F(GridViewTest, AScrolledTableIsDrawnWithItsHeadersInPlace) {
    grid.SetRows(43);
    grid.SetCols(15);
    grid.SetCellBackground(20, 5, qRgb(255, 0, 255));
    grid.SetCellBackground(1, 5, qRgb(0, 255, 0));
    grid.SetText(20, 0, QStringLiteral("20"));
    view.refresh();
    view.verticalScrollBar()->setValue(view.rowHeight(1) * 10);
    view.horizontalScrollBar()->setValue(view.columnWidth(2));
    const QImage image = Picture();
    // Row 1 went under the header row: the header row is drawn there, not the green cell.
    const QRect header = view.cellRect(0, 5);
    EXPECT_EQ(image.pixelColor(header.center()), view.cellBackground(0, 5));
    EXPECT_EQ(image.pixelColor(view.cellRect(20, 5).center()), QColor(255, 0, 255));
    EXPECT_GT(InkPixels(image, view.cellRect(20, 0).adjusted(2, 2, -3, -3)), 0);
    // Clicks find the moved cells.
    std::vector<std::pair<int, int>> clicks;
    QObject::connect(&view, &GridView::cellClicked,
                     [&clicks](int row, int col) { clicks.emplace_back(row, col); });
    Click(view.viewport(), view.cellRect(20, 5).center());
    Click(view.viewport(), view.cellRect(20, 0).center());
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0], std::make_pair(20, 5));
    EXPECT_EQ(clicks[1], std::make_pair(20, 0));
}

// A test's header on screen: name words and the date one a line, the row tall enough for all of
// them and no line wider than its cell (a smaller size of the font when it must).
TEST_F(GridViewTest, HeaderLinesAllShowAndNoneIsCut) {
    grid.SetRowHeight(0, 300);
    grid.SetText(0, 2,
                 u"単元"_s + QChar(13) + u"まとめ"_s + QChar(13) + QStringLiteral("2002/10/13"));
    grid.SetText(0, 3,
                 QStringLiteral("10") + u"回目試験"_s + QChar(13) + QStringLiteral("2002/10/13"));
    view.refresh();
    const QFontMetrics metrics(view.font());
    EXPECT_GE(view.rowHeight(0), 3 * metrics.lineSpacing());
    for (int col : {2, 3}) {
        const QFontMetrics shown(view.cellFont(0, col));
        int widest = 0;
        for (const QString& line : view.cellText(0, col).split(u'\n'))
            widest = std::max(widest, shown.horizontalAdvance(line));
        EXPECT_LE(widest, view.cellRect(0, col).width() - 6) << col;
        EXPECT_LE(view.cellFont(0, col).pointSizeF(), view.font().pointSizeF());
    }
    EXPECT_LT(view.cellFont(0, 3).pointSizeF(), view.font().pointSizeF()); // shrunk to fit
}

TEST_F(GridViewTest, ScrollingBackToTheTopLeft) {
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    view.scrollToTopLeft();
    EXPECT_EQ(view.horizontalScrollBar()->value(), 0);
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);
}

TEST_F(GridViewTest, NoGridShowsNothingAndFindsNoCell) {
    GridView empty;
    empty.resize(100, 100);
    EXPECT_EQ(empty.cellAt(QPoint(5, 5)).first, -1);
    EXPECT_TRUE(empty.cellRect(0, 0).isNull());
    EXPECT_FALSE(empty.grab().isNull()); // painting without a grid is fine
}

} // namespace
} // namespace kirune
