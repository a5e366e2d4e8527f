#include "model/numbers.h"
#include "tables.h"

using namespace Qt::StringLiterals;

namespace kirune {

void InitMainGrid(const GradeBook& book, Grid& grid) {
    grid.SetColWidth(0, 400);
    grid.SetRowHeight(0, 600);
    grid.SetRows(43);
    grid.SetCols(15);
    grid.SetColWidth(1, 1600);
    grid.SetText(0, 1, u"生徒氏名"_s);
    const int n = book.RosterSize;
    if (n > 0) {
        for (int r = 1; r <= n && r <= kMaxPupils; ++r) {
            grid.SetCell(r, 0, NumberText(r), CellValue::Number(r));
            grid.SetText(r, 1, book.StudentNames[r - 1]);
        }
        grid.SetText(n + 1, 0, QString());
        grid.SetText(n + 1, 1, QString());
    }
}

void ShowHomeRoomTable(const GradeBook& book, Session& session, Grid& grid, QString& caption) {
    caption = HomeRoomHeading(book);
    const int rows = book.RosterSize + 3;
    grid.SetRows(rows);
    session.ShownColumnCount = 2;
    grid.SetColWidth(0, 400);
    grid.SetColWidth(1, 1600);
    for (int r = 0; r < rows; ++r)
        for (int c = 2; c < grid.Cols(); ++c)
            grid.SetText(r, c, QString());
}

} // namespace kirune
