#include "tablecopy.h"

#include "model/numbers.h"

#include <algorithm>

namespace kirune {

namespace {

QString OneLine(QString text) {
    for (const QChar mark : {u'\r', u'\n', u'\t'})
        text.replace(mark, u' ');
    return text;
}

} // namespace

QString CopiedCellText(const Grid& grid, int row, int col) {
    const CellValue& value = grid.Value(row, col);
    switch (value.kind) {
    case CellValue::Kind::Number:
        if (!value.absenceMarked) {
            QLocale locale = RegionalLocale();
            locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
            return locale.toString(value.number, 'f', value.decimals);
        }
        [[fallthrough]];
    case CellValue::Kind::Absent:
    case CellValue::Kind::Rating:
        return OneLine(grid.Text(row, col)).trimmed();
    case CellValue::Kind::Text:
        break;
    }
    return OneLine(grid.Text(row, col));
}

CopiedCells CopyCells(const Grid& grid, CellRange range, int headerRows) {
    range.top = std::max(range.top, 0);
    range.left = std::max(range.left, 0);
    range.bottom = std::min(range.bottom, grid.Rows() - 1);
    range.right = std::min(range.right, grid.Cols() - 1);
    if (range.top <= headerRows && range.bottom == grid.Rows() - 1)
        range.top = 0;
    CopiedCells copied;
    if (range.isEmpty())
        return copied;
    copied.html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><table>\n");
    for (int r = range.top; r <= range.bottom; ++r) {
        copied.html += QStringLiteral("<tr>");
        for (int c = range.left; c <= range.right; ++c) {
            const QString cell = CopiedCellText(grid, r, c);
            if (c > range.left)
                copied.text += u'\t';
            copied.text += cell;
            copied.html += QStringLiteral("<td>") + cell.toHtmlEscaped() + QStringLiteral("</td>");
        }
        copied.text += u'\n';
        copied.html += QStringLiteral("</tr>\n");
    }
    copied.html += QStringLiteral("</table></body></html>\n");
    return copied;
}

} // namespace kirune
