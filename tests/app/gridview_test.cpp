// The table widget shows a Grid as it is: sizes through the twips helper, header line breaks,
// right-aligned columns, background colours, a header row and number column that stay put.
#include "app/gridview.h"
#include "appwidgettest.h"
#include "editors/common/twips.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace kirune::test {
namespace {

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
    FixedGridView view;
};

TEST_F(GridViewTest, SizesInTwipsGoThroughTheTwipsHelper) {
    EXPECT_EQ(view.columnWidthPixels(0), TwipsToPixels(400));
    EXPECT_EQ(view.columnWidthPixels(1), TwipsToPixels(1600));
    EXPECT_EQ(view.rowHeightPixels(0), TwipsToPixels(600));
    EXPECT_EQ(view.rowHeightPixels(1), TwipsToPixels(Grid::kDefaultRowHeight));
    // Cells follow each other without gaps.
    EXPECT_EQ(view.cellRect(1, 2).left(), TwipsToPixels(400) + TwipsToPixels(1600));
    EXPECT_EQ(view.cellRect(2, 0).top(),
              TwipsToPixels(600) + TwipsToPixels(Grid::kDefaultRowHeight));

    grid.SetColWidth(1, 3000);
    view.refresh();
    EXPECT_EQ(view.columnWidthPixels(1), TwipsToPixels(3000));
    EXPECT_EQ(view.cellRect(0, 2).left(), TwipsToPixels(400) + TwipsToPixels(3000));
}

TEST_F(GridViewTest, ACarriageReturnIsALineBreak) {
    EXPECT_EQ(FixedGridView::DisplayText(U(u"国語\r表現")), U(u"国語\n表現"));
    EXPECT_EQ(FixedGridView::DisplayText(QStringLiteral("a\r\nb")), QStringLiteral("a\nb"));
    EXPECT_EQ(FixedGridView::DisplayText(QStringLiteral("plain")), QStringLiteral("plain"));

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
    EXPECT_GE(cell.top(), view.rowHeightPixels(0));
    EXPECT_LE(cell.bottom(), view.viewport()->height());
}

TEST_F(GridViewTest, AClickReportsTheCell) {
    std::vector<std::pair<int, int>> clicks;
    QObject::connect(&view, &FixedGridView::cellClicked,
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

TEST_F(GridViewTest, NoGridShowsNothingAndFindsNoCell) {
    FixedGridView empty;
    empty.resize(100, 100);
    EXPECT_EQ(empty.cellAt(QPoint(5, 5)).first, -1);
    EXPECT_TRUE(empty.cellRect(0, 0).isNull());
    EXPECT_FALSE(empty.grab().isNull()); // painting without a grid is fine
}

} // namespace
} // namespace kirune::test
