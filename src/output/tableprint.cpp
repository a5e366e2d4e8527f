#include "tableprint.h"

#include "browse/tree.h"

#include <algorithm>

namespace kirune {

namespace {

const QString& PrintFont() {
    static const QString font = QString::fromUtf16(u"ＭＳ 明朝");
    return font;
}

// Texts without a rating are printed in the button-text colour of the usual desktop theme. Black
// is used whatever the theme, so a dark theme never prints white text on white paper.
constexpr QRgb kDefaultTextColour = kBlack;

// The header width rule counts a character of code 1..127 as one and any other as two.
int CharWidth(char32_t ch) {
    return (ch >= 1 && ch <= 127) ? 1 : 2;
}

// Length in UTF-16 units of the character starting at `i` (a surrogate pair is one character,
// so a piece never ends in the middle of it).
qsizetype CharLength(const QString& t, qsizetype i) {
    if (i + 1 < t.size() && t[i].isHighSurrogate() && t[i + 1].isLowSurrogate())
        return 2;
    return 1;
}

QRgb RatingColour(const QString& padded) {
    if (padded.isEmpty())
        return kDefaultTextColour;
    switch (padded.back().unicode()) {
    case u'A':
        return kRankAColour;
    case u'B':
        return kRankBPrintColour;
    case u'C':
        return kRankCColour;
    default:
        return kDefaultTextColour;
    }
}

bool IsGroupRule(int level, int col) {
    if (col == 1 || col == 2)
        return true;
    switch (level) {
    case 0:
    case 1:
        return col == 5 || col == 8 || col == 11;
    case 2:
        return col == 5;
    case 3:
        return col == 12;
    default:
        return false;
    }
}

int UsedColumns(const Grid& grid, int shownColumnCount) {
    return std::clamp(shownColumnCount, 0, grid.Cols());
}

} // namespace

double PrintedColumnLeft(int col) {
    if (col <= 0)
        return kTableLeft;
    if (col == 1)
        return kTableLeft + 900;
    return kTableLeft + 1000 + 900.0 * col;
}

double PrintedTableRight(int columns) {
    return kTableLeft + 1000 + 900.0 * columns;
}

QStringList HeaderPieces(const QString& text) {
    QString t = text;
    t.replace(QChar(13), QChar(u' '));
    QStringList pieces;
    while (!t.isEmpty() && pieces.size() < 3) {
        qsizetype start = 0;
        while (start < t.size() && t[start] == u' ')
            ++start;
        t.remove(0, start);
        // End (exclusive) of the first blank, or the whole text when there is none.
        const qsizetype blank = t.indexOf(u' ');
        const qsizetype p = blank < 0 ? t.size() : blank + 1;
        qsizetype end = -1;
        int width = 0;
        for (qsizetype i = 0; i < p;) {
            const qsizetype len = CharLength(t, i);
            const char32_t ch = len == 2 ? QChar::surrogateToUcs4(t[i], t[i + 1]) : t[i].unicode();
            width += CharWidth(ch);
            i += len;
            if (width >= 10) {
                end = i;
                break;
            }
        }
        if (end < 0) // the walk reached p: the piece takes one more character
            end = p < t.size() ? p + CharLength(t, p) : t.size();
        pieces.push_back(t.left(end));
        t.remove(0, end);
    }
    return pieces;
}

int PrintedTableLines(const Grid& grid, int shownColumnCount) {
    const int columns = UsedColumns(grid, shownColumnCount);
    qsizetype header = 0;
    for (int c = 0; c < columns; ++c)
        header = std::max(header, HeaderPieces(grid.Text(0, c)).size());
    return static_cast<int>(header) + grid.Rows() - 1;
}

double PrintFitScale(const Grid& grid, int shownColumnCount, double printableWidth,
                     double printableHeight) {
    // Room for half of the frame's line beyond the table's edges.
    constexpr double kOverhang = 30;
    const int columns = UsedColumns(grid, shownColumnCount);
    if (columns == 0 || printableWidth <= 0 || printableHeight <= 0)
        return 1;
    const double right = PrintedTableRight(columns) + kOverhang;
    const double bottom =
        kTableTop + kTableLineHeight * PrintedTableLines(grid, shownColumnCount) + kOverhang;
    return std::min({1.0, printableWidth / right, printableHeight / bottom});
}

void PrintTable(Canvas& canvas, const Grid& grid, int shownColumnCount,
                const QString& selectedNodeKey, const QString& frameCaption,
                const QString& dateText) {
    canvas.FontName = PrintFont();
    canvas.ForeColor = kDefaultTextColour;
    canvas.Style = DrawStyle::Solid;
    canvas.Fill = FillStyle::Transparent;

    canvas.CurrentY = 0;
    canvas.CurrentX = canvas.PageWidth() - 1500;
    canvas.FontSize = 12;
    canvas.Print(dateText);

    canvas.CurrentX = kTableLeft;
    canvas.CurrentY = 200;
    canvas.FontSize = 14;
    canvas.ForeColor = kDefaultTextColour;
    canvas.Print(frameCaption);
    canvas.FontSize = 12;

    const int columns = UsedColumns(grid, shownColumnCount);
    if (columns == 0) // nothing on screen to print but the title
        return;
    const int level = KeyLevel(selectedNodeKey);
    const double right = PrintedTableRight(columns);
    const int lastRow = grid.Rows() - 1;
    int m = 0; // lines used so far

    for (int r = 0; r <= lastRow; ++r) {
        int rowLines = 1;
        if (r == 0) {
            rowLines = 0;
            for (int c = 0; c < columns; ++c) {
                const QStringList pieces = HeaderPieces(grid.Text(0, c));
                for (qsizetype k = 0; k < pieces.size(); ++k) {
                    if (c >= 2) {
                        canvas.FontSize = (level == 3 && c != 12 && c != 13) ? 9 : 12;
                        canvas.CurrentX = PrintedColumnLeft(c) + 5;
                    } else {
                        canvas.CurrentX = PrintedColumnLeft(c) + 25;
                    }
                    canvas.CurrentY = kTableTop + kTableLineHeight * (m + k) + 5;
                    // A cell ending in blanks leaves an empty last piece: it takes its line
                    // but has nothing to draw.
                    if (!pieces[k].isEmpty())
                        canvas.Print(pieces[k]);
                }
                rowLines = std::max(rowLines, static_cast<int>(pieces.size()));
            }
        } else {
            const double y = kTableTop + kTableLineHeight * m + 5;
            for (int c = 0; c < columns; ++c) {
                const QString& text = grid.Text(r, c);
                if (c == 1) {
                    canvas.CurrentX = PrintedColumnLeft(1) + 25;
                    canvas.CurrentY = y;
                    canvas.Print(text); // in the colour chosen for column 0
                    continue;
                }
                const QString padded = text.size() < 6 ? text.rightJustified(6, u' ') : text;
                canvas.ForeColor = RatingColour(padded);
                canvas.CurrentX = PrintedColumnLeft(c) + 5;
                canvas.CurrentY = y;
                canvas.Print(padded);
            }
        }
        m += rowLines;
        if (r != lastRow) {
            canvas.DrawWidth = (r == 0 || r == lastRow - 1) ? 4 : 1;
            const double y = kTableTop + kTableLineHeight * m;
            canvas.Line(kTableLeft, y, right, y, kDefaultTextColour);
        }
    }

    const double bottom = kTableTop + kTableLineHeight * m;
    canvas.DrawWidth = 6;
    canvas.Box(kTableLeft, kTableTop, right, bottom, kDefaultTextColour);

    for (int c = 1; c < columns; ++c) {
        canvas.DrawWidth = IsGroupRule(level, c) ? 4 : 1;
        const double x = PrintedColumnLeft(c);
        canvas.Line(x, kTableTop, x, bottom, kDefaultTextColour);
    }
    canvas.DrawWidth = 1;
}

} // namespace kirune
