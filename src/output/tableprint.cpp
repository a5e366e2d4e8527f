#include "tableprint.h"

#include "browse/tree.h"

#include <algorithm>
#include <optional>

namespace kirune {

namespace {

const QString& PrintFont() {
    static const QString font = QString::fromUtf16(u"ＭＳ 明朝");
    return font;
}

// Texts without a rating are printed in the button-text colour of the usual desktop theme. Black
// is used whatever the theme, so a dark theme never prints white text on white paper.
constexpr QRgb kDefaultTextColour = kBlack;

// A rating's colour on paper, by the text's last character.
QRgb RatingColour(const QString& text) {
    if (text.isEmpty())
        return kDefaultTextColour;
    switch (text.back().unicode()) {
    case u'A':
        return kRankAPaperText;
    case u'B':
        return kRankBPaperText;
    case u'C':
        return kRankCPaperText;
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

// A text's top within its line, so that it sits in the middle of the 240-twip row.
double LineOffset(const Canvas& canvas) {
    return (kTableLineHeight - canvas.TextHeight()) / 2;
}

double EstimatedWidth(const QString& text, double size) {
    double ems = 0;
    for (const QChar ch : text)
        if (!ch.isLowSurrogate())
            ems += (ch.unicode() >= 1 && ch.unicode() <= 127) ? 0.5 : 1.0;
    return ems * size * 20;
}

int UsedColumns(const Grid& grid, int shownColumnCount) {
    return std::clamp(shownColumnCount, 0, grid.Cols());
}

// Where the columns of a printed table lie: the main grid's widths, or a table's own.
class ColumnLayout {
public:
    explicit ColumnLayout(const PrintedColumns* own) : own_(own) {}
    double Left(int col) const {
        if (!own_)
            return PrintedColumnLeft(col);
        double x = kTableLeft;
        for (int c = 0; c < col && c < static_cast<int>(own_->widths.size()); ++c)
            x += own_->widths[c];
        return x;
    }
    double TableRight(int columns) const {
        return own_ ? Left(columns) : PrintedTableRight(columns);
    }
    double Right(int col, int columns) const {
        return col + 1 < columns ? Left(col + 1) : TableRight(columns);
    }
    double HeaderRoom(int col) const {
        return own_ ? Right(col, col + 1) - Left(col) - 2 * kTextMargin : PrintedHeaderRoom(col);
    }
    bool GroupRule(int level, int col) const {
        if (!own_)
            return IsGroupRule(level, col);
        return std::find(own_->groupRules.begin(), own_->groupRules.end(), col) !=
               own_->groupRules.end();
    }

private:
    const PrintedColumns* own_;
};

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

QStringList HeaderWords(const QString& text) {
    QString t = text;
    t.replace(QChar(13), QChar(u' '));
    t.replace(QChar(10), QChar(u' '));
    return t.split(u' ', Qt::SkipEmptyParts);
}

double PrintedHeaderRoom(int col) {
    const double width = col == 1 ? 1900 : 900;
    return width - 2 * kTextMargin;
}

namespace {

// The pieces of a word that a line may end between: each run of characters of code 1..127 (a
// date, a number, a Latin word) is one piece; every other character is a piece of its own, but
// a mark that may not start a line (a long vowel mark, a small kana, closing punctuation) stays
// with the character before it.
QStringList Unbreakables(const QString& word) {
    static const QString noLineStart = QString::fromUtf16(
        u"ー・、。，．）」』】〕！？ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ々ｰﾞﾟｧｨｩｪｫｯｬｭｮ");
    QStringList pieces;
    bool lastAscii = false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar ch = word[i];
        const bool ascii = ch.unicode() >= 1 && ch.unicode() <= 127;
        const bool joins = !pieces.isEmpty() && ((ascii && lastAscii) || ch.isLowSurrogate() ||
                                                 noLineStart.contains(ch));
        if (joins)
            pieces.back() += ch;
        else
            pieces.push_back(QString(ch));
        lastAscii = ascii;
    }
    return pieces;
}

// A word's pieces that end after punctuation ("たし算," "ひき算").
QStringList PunctuationPieces(const QString& word) {
    static const QString breakAfter = QString::fromUtf16(u"、，,・／"); // a date's "/" is no break
    QStringList pieces{QString()};
    for (const QChar ch : word) {
        pieces.back() += ch;
        if (breakAfter.contains(ch))
            pieces.push_back(QString());
    }
    if (pieces.back().isEmpty())
        pieces.removeLast();
    return pieces;
}

// How far a header may go to fit its lines: between words only, also after punctuation, also
// between characters.
enum class Breaks { Blanks, Punctuation, Characters };

// The lines of `words` at one size, each no wider than `room`: one word a line when there are
// three words or fewer, else as many words a line as fit; a word too long for its line is
// broken as `breaks` allows over two lines at most. Empty when that does not do.
std::optional<QStringList> BreakLines(const QStringList& words, double room, double size,
                                      Breaks breaks, const TextMeasure& measure) {
    QStringList lines;
    for (const QString& word : words) {
        if (measure(word, size) <= room) {
            const QString joined = lines.isEmpty() ? QString() : lines.back() + u' ' + word;
            if (words.size() > 3 && !lines.isEmpty() && measure(joined, size) <= room)
                lines.back() = joined;
            else
                lines.push_back(word);
            continue;
        }
        if (breaks == Breaks::Blanks)
            return std::nullopt;
        QStringList pieces;
        for (const QString& piece : PunctuationPieces(word)) {
            if (breaks == Breaks::Characters && measure(piece, size) > room)
                pieces += Unbreakables(piece);
            else
                pieces += piece;
        }
        const qsizetype first = lines.size();
        lines.push_back(QString());
        for (const QString& piece : pieces) {
            if (measure(piece, size) > room)
                return std::nullopt;
            if (!lines.back().isEmpty() && measure(lines.back() + piece, size) > room)
                lines.push_back(QString());
            lines.back() += piece;
        }
        if (lines.size() - first > 2)
            return std::nullopt; // a third line for one word: a smaller size instead
    }
    return lines;
}

} // namespace

PrintedHeader LayOutHeader(const QString& text, double room, double fontSize,
                           const TextMeasure& measure) {
    const QStringList words = HeaderWords(text);
    // Broken at blanks at any size from the usual one down to 70 % of it, else also after
    // punctuation, else also between characters; three lines at most.
    const double smallest = fontSize * 0.7;
    for (const Breaks breaks : {Breaks::Blanks, Breaks::Punctuation, Breaks::Characters})
        for (double size = fontSize; size >= smallest - 1e-9; size -= 0.5)
            if (const auto lines = BreakLines(words, room, size, breaks, measure);
                lines && lines->size() <= 3)
                return {*lines, size};
    // Still too long at 70 %: the first line, then the rest of the name cut with "…", and the
    // last word (the test's date) on a line of its own.
    QStringList lines;
    for (const QString& word : words)
        lines += BreakLines({word}, room, smallest, Breaks::Characters, measure)
                     .value_or(QStringList{word});
    if (lines.size() > 3)
        lines = QStringList{lines.front(), lines.mid(1, lines.size() - 2).join(QString()),
                            lines.back()};
    for (QString& line : lines)
        line = CutToWidth(line, room, [&](const QString& text) { return measure(text, smallest); });
    return {lines, smallest};
}

int PrintedTableLines(const Grid& grid, int shownColumnCount, const PrintedColumns* own) {
    const int columns = UsedColumns(grid, shownColumnCount);
    const ColumnLayout layout(own);
    qsizetype header = 0;
    for (int c = 0; c < columns; ++c)
        header = std::max(
            header,
            LayOutHeader(grid.Text(0, c), layout.HeaderRoom(c), 12, EstimatedWidth).pieces.size());
    return static_cast<int>(header) + grid.Rows() - 1;
}

double PrintFitScale(const Grid& grid, int shownColumnCount, double printableWidth,
                     double printableHeight, const PrintedColumns* own) {
    // Room for half of the frame's line beyond the table's edges.
    constexpr double kOverhang = 30;
    const int columns = UsedColumns(grid, shownColumnCount);
    if (columns == 0 || printableWidth <= 0 || printableHeight <= 0)
        return 1;
    const double right = ColumnLayout(own).TableRight(columns) + kOverhang;
    const double bottom =
        kTableTop + kTableLineHeight * PrintedTableLines(grid, shownColumnCount, own) + kOverhang;
    return std::min({1.0, printableWidth / right, printableHeight / bottom});
}

void PrintTable(Canvas& canvas, const Grid& grid, int shownColumnCount,
                const QString& selectedNodeKey, const QString& frameCaption,
                const QString& dateText, const PrintedColumns* own) {
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
    const ColumnLayout layout(own);
    const TextMeasure measure = [&canvas](const QString& text, double size) {
        const double shown = canvas.FontSize;
        canvas.FontSize = size;
        const double width = canvas.TextWidth(text);
        canvas.FontSize = shown;
        return width;
    };
    const double right = layout.TableRight(columns);
    const int lastRow = grid.Rows() - 1;
    int m = 0; // lines used so far

    for (int r = 0; r <= lastRow; ++r) {
        int rowLines = 1;
        if (r == 0) {
            rowLines = 0;
            for (int c = 0; c < columns; ++c) {
                const double size = (c >= 2 && level == 3 && c != 12 && c != 13) ? 9 : 12;
                const PrintedHeader header =
                    LayOutHeader(grid.Text(0, c), layout.HeaderRoom(c), size, measure);
                canvas.FontSize = header.fontSize;
                for (qsizetype k = 0; k < header.pieces.size(); ++k) {
                    canvas.CurrentX = layout.Left(c) + kTextMargin;
                    canvas.CurrentY = kTableTop + kTableLineHeight * (m + k) + LineOffset(canvas);
                    canvas.Print(header.pieces[k]);
                }
                rowLines = std::max(rowLines, static_cast<int>(header.pieces.size()));
            }
            // The body keeps the size the header cells of the table's level leave behind: 9
            // points in a viewpoint table, 12 in every other.
            canvas.FontSize = level == 3 && columns > 2 ? 9 : 12;
        } else {
            const double bodySize = canvas.FontSize;
            for (int c = 0; c < columns; ++c) {
                // Inside its cell with room to both borders, smaller or cut when it is too
                // long; names left-aligned, numbers and ratings right-aligned.
                const QString text = c == 1 ? grid.Text(r, c) : grid.Text(r, c).trimmed();
                if (text.isEmpty())
                    continue;
                const double left = layout.Left(c) + kTextMargin;
                const double room = layout.Right(c, columns) - kTextMargin - left;
                const FittedText fitted = FitText(canvas, text, room, bodySize);
                canvas.FontSize = fitted.size;
                canvas.ForeColor = c == 1 ? kDefaultTextColour : RatingColour(text);
                canvas.CurrentX = c == 1 ? left : left + room - canvas.TextWidth(fitted.text);
                canvas.CurrentY = kTableTop + kTableLineHeight * m + LineOffset(canvas);
                canvas.Print(fitted.text);
                canvas.FontSize = bodySize;
            }
            canvas.ForeColor = kDefaultTextColour;
        }
        m += rowLines;
        if (r != lastRow) {
            // Thick under the header and above the rows that sum the table up.
            canvas.DrawWidth = (r == 0 || r == lastRow - grid.SummaryRows()) ? 4 : 1;
            const double y = kTableTop + kTableLineHeight * m;
            canvas.Line(kTableLeft, y, right, y, kDefaultTextColour);
        }
    }

    const double bottom = kTableTop + kTableLineHeight * m;
    canvas.DrawWidth = 6;
    canvas.Box(kTableLeft, kTableTop, right, bottom, kDefaultTextColour);

    for (int c = 1; c < columns; ++c) {
        canvas.DrawWidth = layout.GroupRule(level, c) ? 4 : 1;
        const double x = layout.Left(c);
        canvas.Line(x, kTableTop, x, bottom, kDefaultTextColour);
    }
    canvas.DrawWidth = 1;
}

} // namespace kirune
