#include "commenttable.h"

#include "model/comments.h"
#include "model/numbers.h"

using namespace Qt::StringLiterals;

namespace kirune {

void ShowCommentsTable(const GradeBook& book, int period, Grid& grid, QString& caption) {
    const int first = period < 0 ? 0 : period;
    const int last = period < 0 ? kCommentPeriods - 1 : period;
    caption = HomeRoomHeading(book) + u"　所見"_s;
    if (period >= 0)
        caption += u"（%1）"_s.arg(CommentPeriodName(book, period));
    int pupils = 0;
    for (int n = 1; n <= kMaxPupils; ++n)
        pupils += HasName(book, n) ? 1 : 0;
    grid.SetRows(1 + pupils);
    grid.SetCols(2 + last - first + 1);
    grid.SetSummaryRows(0);
    grid.SetText(0, 0, u"番号"_s);
    grid.SetText(0, 1, u"氏名"_s);
    grid.SetColWidth(0, 500);
    grid.SetColWidth(1, 1600);
    for (int p = first; p <= last; ++p) {
        grid.SetText(0, 2 + p - first, CommentPeriodName(book, p));
        grid.SetColWidth(2 + p - first, 6000);
    }
    int row = 1;
    for (int n = 1; n <= kMaxPupils; ++n) {
        if (!HasName(book, n))
            continue;
        grid.SetCell(row, 0, NumberText(n), CellValue::Number(n));
        grid.SetText(row, 1, book.StudentNames[n - 1]);
        for (int p = first; p <= last; ++p)
            grid.SetText(row, 2 + p - first, book.Comments[n - 1][p]);
        ++row;
    }
}

} // namespace kirune
