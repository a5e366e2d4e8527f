#include "tableprint.h"

#include "browse/tables.h"
#include "browse/tree.h"

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

const QString& PrintFont() {
    static const QString font = u"ＭＳ 明朝"_s;
    return font;
}

// Texts without a rating are printed in the button-text colour of the usual desktop theme. Black
// is used whatever the theme, so a dark theme never prints white text on white paper.
constexpr QRgb kDefaultTextColour = kBlack;

// A rating's colour on paper, by the text's last character (before the absence mark of "C＊").
QRgb RatingColour(QString text) {
    if (text.endsWith(kAbsenceMark))
        text.chop(1);
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

// A column's width in a table's own layout (the usual 900 beyond the widths it gives).
double OwnWidth(const PrintedColumns& own, int col) {
    return col < static_cast<int>(own.widths.size()) ? own.widths[col] : 900;
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
    static const QString noLineStart =
        u"ー・、。，．）」』】〕！？ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ々ｰﾞﾟｧｨｩｪｫｯｬｭｮ"_s;
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
    static const QString breakAfter = u"、，,・／"_s; // a date's "/" is no break
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
// broken as `breaks` allows over `wordLines` lines at most. Empty when that does not do.
std::optional<QStringList> BreakLines(const QStringList& words, double room, double size,
                                      Breaks breaks, const TextMeasure& measure, int wordLines) {
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
        if (lines.size() - first > wordLines)
            return std::nullopt; // one line too many for one word: a smaller size instead
    }
    return lines;
}

} // namespace

PrintedHeader LayOutHeader(const QString& text, double room, double fontSize,
                           const TextMeasure& measure, int maxLines) {
    const QStringList words = HeaderWords(text);
    // Broken at blanks at any size from the usual one down to 70 % of it, else also after
    // punctuation, else also between characters; `maxLines` lines at most.
    const double smallest = fontSize * 0.7;
    const int wordLines = std::max(2, maxLines - 1);
    for (const Breaks breaks : {Breaks::Blanks, Breaks::Punctuation, Breaks::Characters})
        for (double size = fontSize; size >= smallest - 1e-9; size -= 0.5)
            if (const auto lines = BreakLines(words, room, size, breaks, measure, wordLines);
                lines && lines->size() <= maxLines)
                return {*lines, size};
    // Still too long at 70 %: the first line, then the rest of the name cut with "…", and the
    // last word (the test's date) on a line of its own.
    QStringList lines;
    for (const QString& word : words)
        lines += BreakLines({word}, room, smallest, Breaks::Characters, measure, 2)
                     .value_or(QStringList{word});
    if (lines.size() > 3)
        lines = QStringList{lines.front(), lines.mid(1, lines.size() - 2).join(QString()),
                            lines.back()};
    for (QString& line : lines)
        line = CutToWidth(line, room, [&](const QString& text) { return measure(text, smallest); });
    return {lines, smallest};
}

int HeaderLineLimit(int level, int col) {
    // A test's name and date in the viewpoint table print whole, however long the name.
    return level == 3 && col >= 2 && col < 2 + kTestsPerSemester ? 8 : 3;
}

int PrintedTableLines(const Grid& grid, int shownColumnCount, const PrintedColumns* own,
                      int level) {
    const int columns = UsedColumns(grid, shownColumnCount);
    qsizetype header = 0;
    for (int c = 0; c < columns; ++c) {
        const double room = own ? OwnWidth(*own, c) - 2 * kTextMargin : PrintedHeaderRoom(c);
        header = std::max(header, LayOutHeader(grid.Text(0, c), room, 12, EstimatedWidth,
                                               HeaderLineLimit(level, c))
                                      .pieces.size());
    }
    const int bands = own ? static_cast<int>(own->bands.size()) : 0;
    return bands + static_cast<int>(header) + grid.Rows() - 1;
}

namespace {

// Half the widest rule (the frame: 6 printer pixels of 1/300 inch), which a text keeps its ink
// room from as from any rule.
constexpr double kRuleHalf = 6 * 1440.0 / 300 / 2;

// The largest half-point size up to `wanted` whose line fits a row `pitch` high with the ink
// room above and below it (4 points at the least, on a page far too small for its table).
double SizeForPitch(Canvas& canvas, double pitch, double wanted) {
    const double shown = canvas.FontSize;
    double size = std::floor(wanted * 2) / 2;
    for (; size > 4; size -= 0.5) {
        canvas.FontSize = size;
        if (canvas.TextHeight() <= pitch - 2 * (kInkRoom + kRuleHalf))
            break;
    }
    canvas.FontSize = shown;
    return std::max(size, 4.0);
}

// The heading's lines and size: on one line beside the date at `size`, else smaller to 70 %,
// else on two lines (broken at a blank where one is), else the second line cut with "…".
struct Heading {
    QStringList lines;
    double size = 14;
};
Heading FitHeading(Canvas& canvas, const QString& text, double room, double size) {
    const double shown = canvas.FontSize;
    const auto width = [&canvas](const QString& t, double s) {
        canvas.FontSize = s;
        return canvas.TextWidth(t);
    };
    const FittedText oneLine = FitText(canvas, text, room, size);
    Heading heading{{text}, oneLine.size};
    const double smallest = size * 0.7;
    if (oneLine.text != text) {
        // Two lines at the largest size where the first holds as much as fits, breaking after
        // the last blank that fits (an ideographic space between the class and the table, say).
        heading.size = smallest;
        for (double t = size; t >= smallest; t -= 0.5) {
            qsizetype cut = text.size();
            while (cut > 0 && width(text.left(cut), t) > room)
                --cut;
            qsizetype blank = cut;
            while (blank > 0 && text[blank - 1] != u' ' && text[blank - 1] != QChar(0x3000))
                --blank;
            if (blank > 0)
                cut = blank;
            const QString second = text.mid(cut).trimmed();
            if (cut > 0 && width(second, t) <= room) {
                heading = {{text.left(cut).trimmed(), second}, t};
                break;
            }
            heading = {{text.left(cut).trimmed(), second}, t};
        }
        heading.lines[1] = CutToWidth(heading.lines[1], room,
                                      [&](const QString& t) { return width(t, heading.size); });
    }
    canvas.FontSize = shown;
    return heading;
}

bool IsPupilRecord(const QString& key) {
    return KeyLevel(key) == 4 && PupilNumberOfKey(key) > 0;
}

// A table of the main grid printed with columns of its own: the viewpoint table without the
// columns of tests not registered (nothing under their headers), each test's column wide enough
// for its name on two lines; the ratings at a glance with columns as narrow as a rating.
struct OwnLayout {
    Grid grid;
    int columns = 0;
    PrintedColumns own;
};
std::optional<OwnLayout> PrintedLayoutOf(const Grid& grid, int columns, const QString& key) {
    const int level = key == kHomeRoomKey ? 0 : KeyLevel(key);
    OwnLayout out;
    out.own.widths = {900, 1900};
    out.own.groupRules = {1, 2};
    if (level == 4 && !IsPupilRecord(key) && columns > 2) {
        out.grid = grid;
        out.columns = columns;
        for (int c = 2; c < columns; ++c) {
            out.own.widths.push_back(600);
            if ((c - 2) % kViewpoints == 0)
                out.own.groupRules.push_back(c); // each subject's first viewpoint
        }
        return out;
    }
    if (level != 3 || columns != 15)
        return std::nullopt;
    std::vector<int> kept{0, 1};
    for (int c = 2; c < 2 + kTestsPerSemester; ++c) {
        bool used = false;
        for (int r = 1; r < grid.Rows() && !used; ++r)
            used = !grid.Text(r, c).trimmed().isEmpty();
        if (used)
            kept.push_back(c);
    }
    for (int c = 2 + kTestsPerSemester; c < columns; ++c)
        kept.push_back(c);
    out.columns = static_cast<int>(kept.size());
    out.grid = Grid(grid.Rows(), out.columns);
    out.grid.SetSummaryRows(grid.SummaryRows());
    for (int i = 0; i < out.columns; ++i) {
        for (int r = 0; r < grid.Rows(); ++r)
            out.grid.SetCell(r, i, grid.Text(r, kept[i]), grid.Value(r, kept[i]));
        if (i < 2)
            continue;
        // A test's column: the name's longest word over two lines, the date on its own line at
        // 10 points.
        if (kept[i] >= 2 + kTestsPerSemester) {
            out.own.widths.push_back(900);
        } else {
            QStringList words = HeaderWords(grid.Text(0, kept[i]));
            const QString date = words.isEmpty() ? QString() : words.takeLast();
            double longest = EstimatedWidth(date, 10);
            for (const QString& word : words)
                longest = std::max(longest, EstimatedWidth(word, 12) / 2);
            out.own.widths.push_back(std::clamp(longest + 2 * kTextMargin + 20, 900.0, 2400.0));
        }
        if (kept[i] == 2 + kTestsPerSemester)
            out.own.groupRules.push_back(i); // the semester's sum, rank and rating
    }
    // The tests' columns wider than 900 only as far as the table stays as wide as an A4
    // landscape page: ten long names must not make every text small.
    constexpr double kRoom = 297 / 25.4 * 1440 - 2 * 567;
    std::vector<double>& widths = out.own.widths;
    double base = widths[0] + widths[1], extra = 0;
    for (size_t i = 2; i < widths.size(); ++i) {
        base += std::min(widths[i], 900.0);
        extra += std::max(widths[i] - 900, 0.0);
    }
    if (extra > 0 && base + extra > kRoom)
        for (size_t i = 2; i < widths.size(); ++i)
            widths[i] = std::min(widths[i], 900.0) +
                        std::max(widths[i] - 900, 0.0) * std::max(kRoom - base, 0.0) / extra;
    return out;
}

} // namespace

double PrintTable(Canvas& canvas, const Grid& grid, int shownColumnCount,
                  const QString& selectedNodeKey, const QString& frameCaption,
                  const QString& dateText, double pageHeight, const PrintedColumns* own) {
    if (!own)
        if (const auto layout =
                PrintedLayoutOf(grid, UsedColumns(grid, shownColumnCount), selectedNodeKey))
            return PrintTable(canvas, layout->grid, layout->columns, selectedNodeKey, frameCaption,
                              dateText, pageHeight, &layout->own);
    canvas.FontName = PrintFont();
    canvas.ForeColor = kDefaultTextColour;
    canvas.Style = DrawStyle::Solid;
    canvas.Fill = FillStyle::Transparent;
    const double pageWidth = canvas.PageWidth();

    // The date at the top right, the heading beside it and never over it.
    canvas.FontSize = 12;
    const double dateWidth = canvas.TextWidth(dateText);
    const double dateHeight = canvas.TextHeight();
    canvas.CurrentX = pageWidth - dateWidth;
    canvas.CurrentY = 0;
    canvas.Print(dateText);
    const Heading heading =
        FitHeading(canvas, frameCaption, std::max(pageWidth - dateWidth - kHeadingGap, 0.0), 14);
    canvas.FontSize = heading.size;
    canvas.CurrentX = 0;
    canvas.CurrentY = 0;
    for (const QString& line : heading.lines) {
        canvas.CurrentX = 0;
        canvas.Print(line);
    }
    const double tableTop =
        std::max(canvas.TextHeight() * static_cast<double>(heading.lines.size()), dateHeight) +
        kHeadingGap;
    canvas.FontSize = 12;

    const int columns = UsedColumns(grid, shownColumnCount);
    if (columns == 0) // nothing on screen to print but the title
        return tableTop;
    const int level = KeyLevel(selectedNodeKey);
    const bool record = IsPupilRecord(selectedNodeKey);

    // The table as designed (900-twip columns, the names 1900, 300-twip rows), shrunk as a whole
    // to the page where it does not fit; a pupil's record fills the page's width and more than
    // half its height, as it is handed out.
    std::vector<double> widths;
    double designed = 0;
    for (int c = 0; c < columns; ++c) {
        widths.push_back(own ? OwnWidth(*own, c) : PrintedColumnLeft(c + 1) - PrintedColumnLeft(c));
        designed += widths.back();
    }
    const int lines = std::max(PrintedTableLines(grid, columns, own, level), 1);
    // The frame's rules stay on the page too: half of each lies outside the table.
    const double room = std::max(pageHeight - tableTop - kRuleHalf, 1.0);
    const double tableRoom = pageWidth - 2 * kRuleHalf;
    // Narrowed as a whole to the page's width where it is wider; the rows as tall as its texts
    // at 12 points (narrowed with the table) want, as far as the page's height allows.
    double scale = std::min(tableRoom / designed, 1.0);
    double pitch = 0;
    if (record) {
        scale = tableRoom / designed;
        pitch = room * 0.6 / lines;
    } else {
        canvas.FontSize = 12 * scale;
        const double wanted =
            std::max(kPrintRowPitch * scale, canvas.TextHeight() + 2 * (kInkRoom + kRuleHalf));
        pitch = std::min(wanted, room / lines);
    }
    for (double& w : widths)
        w *= scale;
    const double textScale = record ? 1.0 : scale;
    double bodySize = SizeForPitch(canvas, pitch, 12 * textScale);

    // The name column as wide as its longest name where the page has room for it; where it has
    // not, the other columns and the texts give up to a fifth of their size for it.
    if (columns > 1 && !record) {
        double longest = 0;
        canvas.FontSize = bodySize;
        for (int r = 1; r < grid.Rows(); ++r)
            longest = std::max(longest, canvas.TextWidth(grid.Text(r, 1)));
        double others = 0;
        for (int c = 0; c < columns; ++c)
            others += c == 1 ? 0 : widths[c];
        const double needed = longest + 2 * kTextMargin;
        if (needed > widths[1] && others + needed > tableRoom) {
            // Never below 8 points for it.
            const double lowest = bodySize > 8 ? std::max(0.8, 8 / bodySize) : 1.0;
            const double f =
                std::clamp((tableRoom - 2 * kTextMargin) / (longest + others), lowest, 1.0);
            for (int c = 0; c < columns; ++c)
                widths[c] *= c == 1 ? 1 : f;
            others *= f;
            scale *= f;
            bodySize = SizeForPitch(canvas, pitch, bodySize * f);
            canvas.FontSize = bodySize;
            longest = 0;
            for (int r = 1; r < grid.Rows(); ++r)
                longest = std::max(longest, canvas.TextWidth(grid.Text(r, 1)));
        }
        widths[1] = std::max(widths[1], std::min(longest + 2 * kTextMargin, tableRoom - others));
    }
    std::vector<double> left{0};
    for (const double w : widths)
        left.push_back(left.back() + w);
    // A table narrower than the page stands in its middle.
    const double offset = std::max((pageWidth - left.back()) / 2, kRuleHalf);
    for (double& x : left)
        x += offset;
    const double tableLeft = left.front();
    const double right = left.back();

    const TextMeasure measure = [&canvas](const QString& text, double size) {
        const double shown = canvas.FontSize;
        canvas.FontSize = size;
        const double width = canvas.TextWidth(text);
        canvas.FontSize = shown;
        return width;
    };
    // A text's top within its line, so that it sits in the middle of the row.
    const auto lineOffset = [&canvas, pitch] { return (pitch - canvas.TextHeight()) / 2; };
    const int lastRow = grid.Rows() - 1 - grid.NoteRows();
    int m = 0; // lines used so far

    // The spanning headers, a line each, ruled off below each span; where a column's left rule
    // starts: below the lines in which it lies inside a span.
    std::vector<int> ruleStart(columns + 1, 0);
    if (own) {
        const double wanted = SizeForPitch(canvas, pitch, 12 * scale);
        for (const std::vector<HeaderSpan>& band : own->bands) {
            for (const HeaderSpan& span : band) {
                const int first = std::clamp(span.first, 0, columns);
                const int end = std::clamp(span.first + span.count, first, columns);
                if (end == first)
                    continue;
                const double room = left[end] - left[first] - 2 * kTextMargin;
                const FittedText fitted = FitText(canvas, span.text, room, wanted);
                canvas.FontSize = fitted.size;
                canvas.CurrentX = left[first] + kTextMargin +
                                  std::max((room - canvas.TextWidth(fitted.text)) / 2, 0.0);
                canvas.CurrentY = tableTop + pitch * m + lineOffset();
                canvas.Print(fitted.text);
                canvas.DrawWidth = 1;
                const double y = tableTop + pitch * (m + 1);
                canvas.Line(left[first], y, left[end], y, kDefaultTextColour);
                for (int c = first + 1; c < end; ++c)
                    ruleStart[c] = m + 1;
            }
            ++m;
        }
    }

    for (int r = 0; r <= lastRow; ++r) {
        int rowLines = 1;
        if (r == 0) {
            rowLines = 0;
            for (int c = 0; c < columns; ++c) {
                const PrintedHeader header = LayOutHeader(
                    grid.Text(0, c), widths[c] - 2 * kTextMargin,
                    SizeForPitch(canvas, pitch, 12 * scale), measure, HeaderLineLimit(level, c));
                canvas.FontSize = header.fontSize;
                for (qsizetype k = 0; k < header.pieces.size(); ++k) {
                    canvas.CurrentX = left[c] + kTextMargin;
                    canvas.CurrentY = tableTop + pitch * (m + k) + lineOffset();
                    canvas.Print(header.pieces[k]);
                }
                rowLines = std::max(rowLines, static_cast<int>(header.pieces.size()));
            }
        } else {
            for (int c = 0; c < columns; ++c) {
                // Inside its cell with room to both borders, smaller or cut when it is too
                // long; names left-aligned, numbers and ratings right-aligned.
                const QString text = c == 1 ? grid.Text(r, c) : grid.Text(r, c).trimmed();
                if (text.isEmpty())
                    continue;
                const double textLeft = left[c] + kTextMargin;
                const double textRoom = left[c + 1] - kTextMargin - textLeft;
                const FittedText fitted = FitText(canvas, text, textRoom, bodySize);
                canvas.FontSize = fitted.size;
                canvas.ForeColor = c == 1 ? kDefaultTextColour : RatingColour(text);
                canvas.CurrentX =
                    c == 1 ? textLeft : textLeft + textRoom - canvas.TextWidth(fitted.text);
                canvas.CurrentY = tableTop + pitch * m + lineOffset();
                canvas.Print(fitted.text);
            }
            canvas.ForeColor = kDefaultTextColour;
        }
        m += rowLines;
        if (r != lastRow) {
            // Thick under the header and above the rows that sum the table up.
            canvas.DrawWidth = (r == 0 || r == lastRow - grid.SummaryRows()) ? 4 : 1;
            const double y = tableTop + pitch * m;
            canvas.Line(tableLeft, y, right, y, kDefaultTextColour);
        }
    }
    canvas.FontSize = bodySize;

    const double bottom = tableTop + pitch * m;
    canvas.DrawWidth = 6;
    canvas.Box(tableLeft, tableTop, right, bottom, kDefaultTextColour);

    for (int c = 1; c < columns; ++c) {
        const bool group = own ? std::find(own->groupRules.begin(), own->groupRules.end(), c) !=
                                     own->groupRules.end()
                               : IsGroupRule(level, c);
        canvas.DrawWidth = group ? 4 : 1;
        canvas.Line(left[c], tableTop + pitch * ruleStart[c], left[c], bottom, kDefaultTextColour);
    }
    canvas.DrawWidth = 1;

    // What a mark means, under the table, a line each.
    for (int k = 0; k < grid.NoteRows(); ++k) {
        const FittedText note = FitText(canvas, grid.Text(lastRow + 1 + k, Grid::kNoteColumn),
                                        pageWidth - tableLeft, bodySize);
        canvas.FontSize = note.size;
        canvas.CurrentX = tableLeft;
        canvas.CurrentY = bottom + pitch * k + lineOffset();
        canvas.Print(note.text);
    }
    canvas.FontSize = bodySize;
    return bottom + pitch * grid.NoteRows();
}

bool PrintsLargerUpright(const Grid& grid, int shownColumnCount, const QString& selectedNodeKey) {
    if (IsPupilRecord(selectedNodeKey))
        return true; // as the pupils' records print
    int columns = UsedColumns(grid, shownColumnCount);
    const auto layout = PrintedLayoutOf(grid, columns, selectedNodeKey);
    const Grid& printed = layout ? layout->grid : grid;
    columns = layout ? layout->columns : columns;
    const PrintedColumns* own = layout ? &layout->own : nullptr;
    const int lines =
        std::max(PrintedTableLines(printed, columns, own, KeyLevel(selectedNodeKey)), 1);
    double designed = 0;
    for (int c = 0; c < columns; ++c)
        designed += own ? OwnWidth(*own, c) : PrintedColumnLeft(c + 1) - PrintedColumnLeft(c);
    // The body's size on either page, by the rule of PrintTable: 12 points narrowed with the
    // table, no taller than a row the page's height leaves (a line of text some 1.1 points high
    // a point, and the heading some 600 twips).
    const auto size = [&](double width, double height) {
        const double scale = std::min(width / std::max(designed, 1.0), 1.0);
        const double pitch = (height - 600) / lines;
        return std::min(12 * scale, (pitch - 2 * (kInkRoom + kRuleHalf)) / 22);
    };
    constexpr double kLong = 297 / 25.4 * 1440 - 2 * 567, kShort = 210 / 25.4 * 1440 - 2 * 567;
    return size(kShort, kLong) > size(kLong, kShort) + 0.25;
}

} // namespace kirune
