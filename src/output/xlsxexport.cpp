#include "xlsxexport.h"

#include "browse/tables.h"
#include "browse/tree.h"
#include "model/gradebookfile.h"
#include "model/safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <xlsxwriter.h>

namespace kirune {

namespace {

QString Ja(const char16_t* text) {
    return QString::fromUtf16(text);
}

// Excel's column width unit is about one digit of its default font, some 7 pixels.
double ColumnWidthOf(int twips) {
    return twips / 15.0 / 7.0;
}

// One worksheet's formats, made once per look: number format, fill, header.
class Formats {
public:
    explicit Formats(lxw_workbook* book) : book_(book) {}
    lxw_format* Get(const QString& numberFormat, std::optional<QRgb> fill, bool header) {
        const QString key = numberFormat + u'|' + (fill ? QString::number(*fill) : QString()) +
                            (header ? QStringLiteral("|h") : QString());
        auto found = formats_.constFind(key);
        if (found != formats_.constEnd())
            return *found;
        lxw_format* format = workbook_add_format(book_);
        if (!numberFormat.isEmpty())
            format_set_num_format(format, numberFormat.toUtf8().constData());
        if (fill)
            format_set_bg_color(format, static_cast<lxw_color_t>(*fill & 0xffffff));
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
                shown.replace(QStringLiteral("\r "), QStringLiteral("\n"));
                shown.replace(QChar(13), QChar(10));
                worksheet_write_string(sheet, row, col, shown.trimmed().toUtf8().constData(),
                                       formats.Get(QString(), fill, true));
                continue;
            }
            const SheetCell cell = ClassifyCell(shown, c == 1);
            switch (cell.kind) {
            case SheetCell::Kind::Empty:
                if (fill)
                    worksheet_write_blank(sheet, row, col, formats.Get(QString(), fill, false));
                break;
            case SheetCell::Kind::Number:
                worksheet_write_number(sheet, row, col, cell.number,
                                       formats.Get(cell.format, fill, false));
                if (cell.absent)
                    worksheet_write_comment(sheet, row, col, "欠席を含む");
                break;
            case SheetCell::Kind::Text:
                worksheet_write_string(sheet, row, col, cell.text.toUtf8().constData(),
                                       formats.Get(QString(), fill, false));
                break;
            }
        }
    }
    // The header row and the name column stay in view; one page wide, A4 landscape.
    worksheet_freeze_panes(sheet, 2, 2);
    worksheet_set_landscape(sheet);
    worksheet_set_paper(sheet, 9); // A4
    worksheet_fit_to_pages(sheet, 1, 0);
    const QString header =
        QStringLiteral("&C") + QString(table.caption).replace(u'&', QStringLiteral("&&"));
    worksheet_set_header(sheet, header.left(250).toUtf8().constData());
}

// A table as the main window shows it after a click on its node, on a grid of its own.
WorkbookSheet BuildSheet(const GradeBook& book, const TreeNode& node, SubjectTableCache& cache) {
    WorkbookSheet sheet;
    sheet.nodeText = node.text;
    sheet.grid = Grid(43, 15);
    InitMainGrid(book, sheet.grid);
    Session session;
    SelectNode(session, node.key);
    ShowNodeTable(book, session, node.key, sheet.grid, sheet.caption, &cache);
    sheet.columns = session.ShownColumnCount;
    return sheet;
}

bool SemesterHasResults(const GradeBook& book, int subject, int semester) {
    for (int t = 0; t < kTestsPerSemester; ++t)
        if (TestImageKey(book, subject, semester, t) == QLatin1String("lighton"))
            return true;
    return false;
}

} // namespace

SheetCell ClassifyCell(const QString& shown, bool name) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\*?([+-]?)(\d+|\d{1,3}(?:,\d{3})+)(?:\.(\d+))?$)"));
    SheetCell cell;
    const QString trimmed = shown.trimmed();
    if (trimmed.isEmpty())
        return cell;
    const QRegularExpressionMatch match = number.match(trimmed);
    if (name || !match.hasMatch()) {
        cell.kind = SheetCell::Kind::Text;
        cell.text = shown;
        return cell;
    }
    cell.kind = SheetCell::Kind::Number;
    cell.absent = trimmed.startsWith(u'*');
    const QString digits = match.captured(2);
    const QString decimals = match.captured(3);
    cell.number = (match.captured(1) + QString(digits).remove(u',') +
                   (decimals.isEmpty() ? QString() : u'.' + decimals))
                      .toDouble();
    cell.format = digits.contains(u',') ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (!decimals.isEmpty())
        cell.format += u'.' + QString(decimals.size(), u'0');
    if (cell.absent)
        cell.format.prepend(QStringLiteral("\"*\""));
    return cell;
}

QString SheetName(const QString& nodeText, QSet<QString>& used) {
    QString base = nodeText.trimmed();
    static const QString ascii = QStringLiteral("[]:*?/\\");
    static const QString wide = QString::fromUtf16(u"［］：＊？／＼");
    for (qsizetype i = 0; i < base.size(); ++i)
        if (const qsizetype k = ascii.indexOf(base[i]); k >= 0)
            base[i] = wide[k];
    if (base.isEmpty())
        base = Ja(u"表");
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
    return sheets;
}

bool ExportWorkbook(const std::vector<WorkbookSheet>& sheets, const QString& title,
                    const QString& path, const QString& bookPath, QString* error) {
    if (!CheckNotBookFile(path, bookPath, error))
        return false;
    // The workbook is made in a folder of its own, then put in place as every save is.
    QTemporaryDir aside;
    const QString made = aside.filePath(QStringLiteral("book.xlsx"));
    lxw_workbook* book =
        aside.isValid() ? workbook_new(QFile::encodeName(made).constData()) : nullptr;
    if (!book) {
        if (error)
            *error = Ja(u"Excel ファイルを作れませんでした。");
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
    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR) {
        if (error)
            *error = Ja(u"Excel ファイルを作れませんでした（%1）。")
                         .arg(QString::fromUtf8(lxw_strerror(closed)));
        return false;
    }
    return PlaceMadeFile(made, path, error);
}

} // namespace kirune
