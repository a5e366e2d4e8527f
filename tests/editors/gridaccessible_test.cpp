// Assistive technology sees the table widget as a table: ordinary cells in rows and columns,
// the header row and the number column as their headers, the current cell focused.
#include "editors/common/gridaccessible.h"
#include "editors/common/gridview.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

TEST(GridAccessibleTest, TheTableHasCellsHeadersAndAFocusedCurrentCell) {
    Grid grid(4, 3); // a header row, two pupils and the average; number, name, a viewpoint
    const char16_t* texts[4][3] = {{u"番号", u"氏名", u"関心\r表現"},
                                   {u" 1", u"青木", u" 18"},
                                   {u" 2", u"伊藤", u" 20"},
                                   {u"", u"平均", u" 19"}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            grid.SetText(r, c, QString::fromUtf16(texts[r][c]));
    GridView view;
    view.setNavigable(true);
    view.setGrid(&grid);
    view.resize(400, 300);
    view.show();
    QApplication::processEvents();

    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(table, nullptr);
    QAccessibleTableInterface* cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    EXPECT_EQ(cells->rowCount(), 3);
    EXPECT_EQ(cells->columnCount(), 2);
    EXPECT_EQ(table->childCount(), 12);
    EXPECT_EQ(cells->columnDescription(1), u"関心 表現"_s);
    EXPECT_EQ(cells->rowDescription(1), u"2"_s);

    QAccessibleInterface* score = cells->cellAt(1, 1);
    ASSERT_NE(score, nullptr);
    EXPECT_EQ(score->text(QAccessible::Name), u"20"_s);
    EXPECT_EQ(score->role(), QAccessible::Cell);
    QAccessibleTableCellInterface* place = score->tableCellInterface();
    ASSERT_NE(place, nullptr);
    EXPECT_EQ(place->rowIndex(), 1);
    EXPECT_EQ(place->columnIndex(), 1);
    ASSERT_EQ(place->columnHeaderCells().size(), 1);
    EXPECT_EQ(place->columnHeaderCells()[0]->text(QAccessible::Name), u"関心 表現"_s);
    EXPECT_EQ(place->columnHeaderCells()[0]->role(), QAccessible::ColumnHeader);
    ASSERT_EQ(place->rowHeaderCells().size(), 1);
    EXPECT_EQ(place->rowHeaderCells()[0]->role(), QAccessible::RowHeader);
    EXPECT_EQ(place->rowHeaderCells()[0]->text(QAccessible::Name), u"2"_s);
    // Every child, headers too, is found where it is, and the same cell stays the same.
    for (int i = 0; i < table->childCount(); ++i)
        EXPECT_EQ(table->indexOfChild(table->child(i)), i);
    EXPECT_EQ(table->child(AccessibleCellIndex(view, 2, 2)), score);
    EXPECT_EQ(table->childAt(score->rect().center().x(), score->rect().center().y()), score);

    // The current cell is the focused one while the table has the focus (a screen reader's
    // hearing of its moves is checked through the desktop's bus: accessibilitybus_test).
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_TRUE(score->state().focused);
    EXPECT_EQ(table->focusChild(), score);

    // Selecting through the interface selects in the view.
    EXPECT_TRUE(cells->selectColumn(1));
    EXPECT_EQ(cells->selectedColumns(), QList<int>{1});
    EXPECT_EQ(cells->selectedCellCount(), 3);
    EXPECT_TRUE(score->state().selected);
    EXPECT_TRUE(cells->unselectColumn(1));
    EXPECT_EQ(cells->selectedCellCount(), 0);
    EXPECT_TRUE(cells->selectRow(2));
    EXPECT_TRUE(cells->isRowSelected(2));
    EXPECT_FALSE(cells->isRowSelected(1));

    // A table of another size: its cells are new.
    grid.SetRows(6);
    view.refresh();
    EXPECT_EQ(cells->rowCount(), 5);
    EXPECT_EQ(cells->selectedCellCount(), 0);
}

} // namespace
} // namespace kirune
