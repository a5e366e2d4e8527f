#include "xlsxexport.h"

#include "browse/commenttable.h"
#include "browse/tables.h"
#include "browse/tree.h"
#include "model/gradebookfile.h"
#include "model/safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <locale.h>
#include <xlsxwriter.h>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// libxlsxwriter writes its numbers with the C library's printf, which follows the numeric
// locale: under a German one it would write "1,5", which no spreadsheet program reads. While this
// object lives, this thread formats numbers the "C" way; everything else stays as it was.
class CNumericLocale {
public:
    CNumericLocale() {
        locale_t base = duplocale(uselocale(static_cast<locale_t>(nullptr)));
        if (!base)
            return;
        numeric_ = newlocale(LC_NUMERIC_MASK, "C", base);
        if (!numeric_) {
            freelocale(base);
            return;
        }
        previous_ = uselocale(numeric_);
    }
    ~CNumericLocale() {
        if (!numeric_)
            return;
        uselocale(previous_);
        freelocale(numeric_);
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    locale_t numeric_ = static_cast<locale_t>(nullptr);
    locale_t previous_ = static_cast<locale_t>(nullptr);
};

// Excel's column width unit is about one digit of its default font, some 7 pixels.
double ColumnWidthOf(int twips) {
    return twips / 15.0 / 7.0;
}

// One worksheet's formats, made once per look: number format, fill, header.
class Formats {
public:
    explicit Formats(lxw_workbook* book) : book_(book) {}
    // `right`: a text in a column of numbers stands right like them (an absence, a rating).
    lxw_format* Get(const QString& numberFormat, std::optional<QRgb> fill, bool header,
                    bool right = false) {
        const QString key = numberFormat + u'|' + (fill ? QString::number(*fill) : QString()) +
                            (header ? QStringLiteral("|h") : QString()) +
                            (right ? QStringLiteral("|r") : QString());
        auto found = formats_.constFind(key);
        if (found != formats_.constEnd())
            return *found;
        lxw_format* format = workbook_add_format(book_);
        if (!numberFormat.isEmpty())
            format_set_num_format(format, numberFormat.toUtf8().constData());
        if (fill)
            format_set_bg_color(format, static_cast<lxw_color_t>(*fill & 0xffffff));
        if (right)
            format_set_align(format, LXW_ALIGN_RIGHT);
        if (header) {
            format_set_text_wrap(format);
            format_set_align(format, LXW_ALIGN_CENTER);
            format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
            format_set_bg_color(format, 0xece9d8); // the screen's header colour
        }
        formats_.insert(key, format);
        return format;
    }

private:
    lxw_workbook* book_;
    QHash<QString, lxw_format*> formats_;
};

// A header cell as the workbook shows it: its lines broken where the screen breaks them.
QString HeaderText(const QString& shown) {
    QString text = shown;
    text.replace(QStringLiteral("\r "), QStringLiteral("\n"));
    text.replace(QChar(13), QChar(10));
    return text.trimmed();
}

// The lines a header takes in a column of `width` characters (Excel's default font: a digit 7
// pixels, a Japanese character 15, other Latin characters and marks about 5): each of its
// lines, wrapped where it is wider than the column less its padding.
int HeaderLines(const QString& header, double width) {
    const double room = std::max(std::floor(width * 7 + 5) - 5, 1.0);
    int lines = 0;
    for (const QString& line : header.split(u'\n')) {
        double pixels = 0;
        for (const QChar ch : line) {
            if (ch.isLowSurrogate())
                continue;
            pixels += ch.unicode() >= 0x80 ? 15 : ch.isDigit() || ch.isUpper() ? 7 : 5;
        }
        lines += std::max(1, static_cast<int>(std::ceil(pixels / room)));
    }
    return lines;
}

} // namespace

namespace {

// Excel's default font: rows 15 points high, a column of w characters w * 7 + 5 pixels.
constexpr double kRowPoints = 15;
// A4 landscape less the margins the workbook keeps (0.7 inch left and right, 0.75 inch top and
// bottom).
constexpr double kPrintableWidth = (297 / 25.4 - 1.4) * 72;
constexpr double kPrintableHeight = (210 / 25.4 - 1.5) * 72;

// A column's printed width in points.
double ColumnPoints(const Grid& grid, int col) {
    return std::floor(ColumnWidthOf(grid.ColWidth(col)) * 7 + 5) * 0.75;
}

} // namespace

int SheetPrintScale(const Grid& grid, int columns, const std::vector<int>& pageStarts,
                    int repeatedColumns) {
    columns = std::clamp(columns, 0, grid.Cols());
    double repeated = 0;
    for (int c = 0; c < std::min(repeatedColumns, columns); ++c)
        repeated += ColumnPoints(grid, c);
    double widest = 1;
    for (size_t i = 0; i < pageStarts.size(); ++i) {
        const int end = i + 1 < pageStarts.size() ? pageStarts[i + 1] : columns;
        double width = repeated;
        for (int c = std::max(pageStarts[i], 0); c < std::min(end, columns); ++c)
            width += ColumnPoints(grid, c);
        widest = std::max(widest, width);
    }
    return std::clamp(static_cast<int>(std::floor(100 * kPrintableWidth / widest)), 10, 100);
}

SheetPageLayout LayOutSheetPage(const Grid& grid, int columns) {
    columns = std::clamp(columns, 0, grid.Cols());
    SheetPageLayout layout;
    double width = 0;
    int lines = 1;
    for (int c = 0; c < columns; ++c) {
        const double chars = ColumnWidthOf(grid.ColWidth(c));
        width += ColumnPoints(grid, c);
        lines = std::max(lines, HeaderLines(HeaderText(grid.Text(0, c)), chars));
    }
    layout.headerHeight = std::min(409.0, kRowPoints * lines);
    const double height = kRowPoints * grid.Rows() + layout.headerHeight; // the title row too
    const double scale = std::min(
        {1.0, kPrintableWidth / std::max(width, 1.0), kPrintableHeight / std::max(height, 1.0)});
    layout.onePage = scale >= 0.6;
    return layout;
}

namespace {

void WriteSheet(lxw_workbook* book, lxw_worksheet* sheet, const WorkbookSheet& table) {
    Formats formats(book);
    lxw_format* title = workbook_add_format(book);
    format_set_bold(title);
    worksheet_write_string(sheet, 0, 0, table.caption.toUtf8().constData(), title);
    const Grid& grid = table.grid;
    const int columns = std::min(table.columns, grid.Cols());
    for (int c = 0; c < columns; ++c)
        worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                             ColumnWidthOf(grid.ColWidth(c)), nullptr);
    for (int r = 0; r < grid.Rows(); ++r) {
        const auto row = static_cast<lxw_row_t>(r + 1);
        for (int c = 0; c < columns; ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            const std::optional<QRgb> fill = grid.CellBackground(r, c);
            QString shown = grid.Text(r, c);
            if (r == 0) {
                worksheet_write_string(sheet, row, col, HeaderText(shown).toUtf8().constData(),
                                       formats.Get(QString(), fill, true));
                continue;
            }
            // Written from what the cell holds, never from its shown text.
            const CellValue& value = grid.Value(r, c);
            const bool right = grid.ColAlignment(c) == kAlignRightCenter;
            switch (value.kind) {
            case CellValue::Kind::Number:
                worksheet_write_number(sheet, row, col, value.number,
                                       formats.Get(NumberFormat(value), fill, false));
                if (value.absenceMarked)
                    worksheet_write_comment(sheet, row, col, "欠席を含む");
                break;
            case CellValue::Kind::Absent:
            case CellValue::Kind::Rating:
            case CellValue::Kind::Text:
                if (!shown.isEmpty())
                    worksheet_write_string(sheet, row, col, shown.toUtf8().constData(),
                                           formats.Get(QString(), fill, false, right));
                else if (fill)
                    worksheet_write_blank(sheet, row, col, formats.Get(QString(), fill, false));
                break;
            }
        }
    }
    // The header row is as tall as its lines, and it and the name column stay in view. A4
    // landscape: on one page where that keeps 60 % of the size, else one page wide with the
    // header row on every page.
    const SheetPageLayout layout = LayOutSheetPage(grid, columns);
    worksheet_set_row(sheet, 1, layout.headerHeight, nullptr);
    worksheet_freeze_panes(sheet, 2, 2);
    worksheet_set_landscape(sheet);
    worksheet_set_paper(sheet, 9); // A4
    worksheet_repeat_rows(sheet, 1, 1);
    if (table.pageStarts.size() > 1) {
        // Pages side by side, broken where the table's own pages are: a page fitted to the
        // paper would ignore the breaks, so the sheet prints at the scale of its widest page.
        std::vector<lxw_col_t> breaks;
        for (size_t i = 1; i < table.pageStarts.size(); ++i)
            breaks.push_back(static_cast<lxw_col_t>(table.pageStarts[i]));
        breaks.push_back(0);
        worksheet_set_v_pagebreaks(sheet, breaks.data());
        if (table.repeatedColumns > 0)
            worksheet_repeat_columns(sheet, 0, static_cast<lxw_col_t>(table.repeatedColumns - 1));
        worksheet_set_print_scale(
            sheet, static_cast<uint16_t>(
                       SheetPrintScale(grid, columns, table.pageStarts, table.repeatedColumns)));
    } else {
        worksheet_fit_to_pages(sheet, 1, layout.onePage ? 1 : 0);
    }
    const QString header =
        QStringLiteral("&C") + QString(table.caption).replace(u'&', QStringLiteral("&&"));
    worksheet_set_header(sheet, header.left(250).toUtf8().constData());
}

// A table as the main window shows it after a click on its node, on a grid of its own.
WorkbookSheet BuildSheet(const GradeBook& book, const TreeNode& node, SubjectTableCache& cache) {
    Grid grid(43, 15);
    InitMainGrid(book, grid);
    Session session;
    SelectNode(session, node.key);
    QString caption;
    ShowNodeTable(book, session, node.key, grid, caption, &cache);
    return SheetOfNode(book, node.key, node.text, caption, grid, session.ShownColumnCount);
}

bool SemesterHasResults(const GradeBook& book, int subject, int semester) {
    for (int t = 0; t < kTestsPerSemester; ++t)
        if (TestImageKey(book, subject, semester, t) == QLatin1String("lighton"))
            return true;
    return false;
}

} // namespace

QString NumberFormat(const CellValue& value) {
    QString format = value.grouped ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (value.decimals > 0)
        format += u'.' + QString(value.decimals, u'0');
    if (value.absenceMarked)
        format.prepend(QStringLiteral("\"*\""));
    return format;
}

WorkbookSheet SheetOfNode(const GradeBook& book, const QString& key, const QString& nodeText,
                          const QString& caption, const Grid& grid, int columns) {
    WorkbookSheet sheet{nodeText, caption, grid, columns};
    if (key != kHomeRoomKey && KeyLevel(key) == 3) {
        const int subject = std::clamp(KeyIndex(key, 3), 0, kSubjects - 1);
        const int semester = std::clamp(KeyIndex(key, 5), 0, kSemesters - 1);
        const int viewpoint = std::clamp(KeyIndex(key, 9), 0, kViewpoints - 1);
        const QString& subjectName = book.SubjectTitles[subject][0];
        const QString& semesterName = book.SemesterNames[semester];
        const QString& viewpointName = book.SubjectTitles[subject][viewpoint + 1];
        sheet.nodeText = subjectName + u' ' + semesterName + u' ' + viewpointName;
        sheet.caption = StandaloneCaption(book, key, caption);
    }
    return sheet;
}

QString SheetName(const QString& nodeText, QSet<QString>& used) {
    QString base = nodeText.trimmed();
    static const QString ascii = QStringLiteral("[]:*?/\\");
    static const QString wide = u"［］：＊？／＼"_s;
    for (qsizetype i = 0; i < base.size(); ++i)
        if (const qsizetype k = ascii.indexOf(base[i]); k >= 0)
            base[i] = wide[k];
    if (base.isEmpty())
        base = u"表"_s;
    base = base.left(31);
    QString name = base;
    for (int n = 2; used.contains(name.toLower()); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        name = base.left(31 - suffix.size()) + suffix;
    }
    used.insert(name.toLower());
    return name;
}

std::vector<WorkbookSheet> WholeBookSheets(const GradeBook& book) {
    std::vector<WorkbookSheet> sheets;
    SubjectTableCache cache;
    const bool pupils = CountEnrolled(book) > 0;
    for (const TreeNode& node : BuildTreeNodes(book)) {
        const int level = KeyLevel(node.key);
        bool wanted = node.key == kHomeRoomKey || level == 0 || level == 1;
        if (level == 3 && node.key != kHomeRoomKey) {
            // A viewpoint table shows every test of its semester: the first test's nodes stand
            // for it, where the semester has results.
            wanted = KeyIndex(node.key, 7) == 0 &&
                     SemesterHasResults(book, KeyIndex(node.key, 3), KeyIndex(node.key, 5));
        }
        if (level == 4)
            wanted = pupils;
        if (wanted)
            sheets.push_back(BuildSheet(book, node, cache));
    }
    if (pupils) { // the comments of every period, after the records
        WorkbookSheet comments{u"所見"_s, QString(), Grid(), 0};
        ShowCommentsTable(book, -1, comments.grid, comments.caption);
        comments.columns = comments.grid.Cols();
        sheets.push_back(std::move(comments));
    }
    return sheets;
}

bool ExportWorkbook(const std::vector<WorkbookSheet>& sheets, const QString& title,
                    const QString& path, const KeptBooks& books, QString* error) {
    if (!CheckOutputPlace(path, books, error))
        return false;
    // The workbook is made in a folder of its own, then put in place as every save is.
    QTemporaryDir aside;
    const QString made = aside.filePath(QStringLiteral("book.xlsx"));
    lxw_error closed = LXW_NO_ERROR;
    {
        const CNumericLocale numbers;
        lxw_workbook* book =
            aside.isValid() ? workbook_new(QFile::encodeName(made).constData()) : nullptr;
        if (!book) {
            if (error)
                *error = u"Excel ファイルを作れませんでした。"_s;
            return false;
        }
        const QByteArray titleBytes = title.toUtf8();
        lxw_doc_properties properties{};
        properties.title = const_cast<char*>(titleBytes.constData());
        properties.author = const_cast<char*>("Kirune");
        workbook_set_properties(book, &properties);
        QSet<QString> used;
        for (const WorkbookSheet& sheet : sheets) {
            lxw_worksheet* worksheet =
                workbook_add_worksheet(book, SheetName(sheet.nodeText, used).toUtf8().constData());
            if (worksheet)
                WriteSheet(book, worksheet, sheet);
        }
        closed = workbook_close(book);
    }
    if (closed != LXW_NO_ERROR) {
        if (error)
            *error = u"Excel ファイルを作れませんでした（%1）。"_s.arg(
                QString::fromUtf8(lxw_strerror(closed)));
        return false;
    }
    return PlaceMadeFile(made, path, error);
}

} // namespace kirune
