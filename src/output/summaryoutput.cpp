#include "summaryoutput.h"

#include "csvexport.h"
#include "model/gradebookfile.h"
#include "model/safefile.h"
#include "paintercanvas.h"
#include "platform.h"
#include "printarea.h"
#include "tableprint.h"
#include "xlsxexport.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace kirune {

Grid SummarySheetGrid(const GradeSummary& summary, QString& caption, int& columns) {
    Grid grid;
    columns = ShowGradeSummaryTable(summary, grid, caption);
    const QStringList notes = SummaryNoteLines(summary);
    if (!notes.isEmpty()) {
        const int first = grid.Rows() + 1;
        grid.SetRows(first + static_cast<int>(notes.size()));
        grid.SetSummaryRows(static_cast<int>(notes.size()) + 2); // 学年全体 and the notes
        for (int i = 0; i < notes.size(); ++i)
            grid.SetText(first + i, 1, notes[i]);
    }
    return grid;
}

bool CheckNotSummarisedBook(const GradeSummary& summary, const QString& path, QString* error) {
    // A summary written over one of its own books would lose that class's marks.
    const QString target = SameFileKey(path);
    for (const ClassSummary& row : summary.classes) {
        if (target == SameFileKey(row.path) ||
            target == SameFileKey(BackupPath(SameFileKey(row.path)))) {
            if (error)
                *error = u"「%1」は集計した成績ファイル（またはその控え）です。"
                         u"集計表は別の名前で保存してください。"_s.arg(QFileInfo(path).fileName());
            return false;
        }
    }
    return true;
}

bool SaveSummary(const GradeSummary& summary, const QString& path, const QString& bookPath,
                 QString* error) {
    if (!CheckNotSummarisedBook(summary, path, error))
        return false;
    QString caption;
    int columns = 0;
    Grid grid = SummarySheetGrid(summary, caption, columns);
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) {
        Grid table;
        QString shown;
        ShowGradeSummaryTable(summary, table, shown);
        WorkbookSheet sheet{u"学年の集計"_s, caption, std::move(grid), columns};
        sheet.pageStarts = SummaryPageStarts(table, columns);
        sheet.repeatedColumns = 3;
        return ExportWorkbook({sheet}, caption, path, bookPath, error);
    }
    return ExportCsv(grid, path, bookPath, error);
}

namespace {

// The room an A4 landscape page leaves between its margins (twips), and the scale at which the
// table's 12-point texts print at 9 points.
constexpr double kA4LandscapeRoom = 297 / 25.4 * 1440 - 2 * kPaperMargin;
constexpr double kSmallestScale = 0.75;
constexpr int kClassColumns = 3;
constexpr int kSubjectColumns = 4 * kViewpoints;

// A text's width at 12 points in the printout's font: half an em for a character of code 1..127,
// an em for any other.
double WidthAt12(const QString& text) {
    double ems = 0;
    for (const QChar ch : text)
        if (!ch.isLowSurrogate())
            ems += ch.unicode() >= 1 && ch.unicode() <= 127 ? 0.5 : 1.0;
    return ems * 240;
}

} // namespace

std::vector<double> SummaryPrintedWidths(const Grid& table, int columns) {
    double label = 1500;
    for (int r = 1; r < table.Rows(); ++r)
        label = std::max(label, WidthAt12(table.Text(r, 1)) + 2 * kTextMargin);
    std::vector<double> widths{500, label, 650};
    for (int c = kClassColumns; c < columns; ++c)
        widths.push_back((c - kClassColumns) % 4 == 0 ? 800 : 550);
    widths.resize(std::max(columns, 0));
    return widths;
}

std::vector<int> SummaryPageStarts(const Grid& table, int columns) {
    const std::vector<double> widths = SummaryPrintedWidths(table, columns);
    double fixed = 0;
    for (int c = 0; c < std::min(columns, kClassColumns); ++c)
        fixed += widths[c];
    std::vector<int> starts{kClassColumns};
    double used = fixed;
    for (int first = kClassColumns; first + kSubjectColumns <= columns; first += kSubjectColumns) {
        double subject = 0;
        for (int c = first; c < first + kSubjectColumns; ++c)
            subject += widths[c];
        if (used > fixed && (used + subject) * kSmallestScale > kA4LandscapeRoom) {
            starts.push_back(first);
            used = fixed;
        }
        used += subject;
    }
    return starts;
}

bool PrintSummary(QPrinter& printer, const GradeSummary& summary, const QString& dateText,
                  QString* error) {
    if (summary.classes.empty()) {
        if (error)
            *error = SummaryEmptyMessage(summary);
        return false;
    }
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setColorMode(QPrinter::Color);
    QString caption;
    Grid table;
    const int columns = ShowGradeSummaryTable(summary, table, caption);
    printer.setDocName(caption);
    printer.setCreator(kProgramTitle);

    // The pages as the workbook prints them, from the labels as the workbook shows them.
    const std::vector<int> starts = SummaryPageStarts(table, columns);
    const std::vector<int> subjects = SummarySubjects(summary);
    // The caption names the year when every class shares it; the rows need not repeat it.
    if (caption.startsWith(summary.classes.front().year.trimmed() + u' '))
        for (int i = 0; i < static_cast<int>(summary.classes.size()); ++i) {
            const ClassSummary& row = summary.classes[i];
            const QString label = SummaryClassLabel(row);
            if (label.startsWith(row.year + u' '))
                table.SetText(i + 1, 1, label.mid(row.year.size() + 1));
        }
    const std::vector<double> widths = SummaryPrintedWidths(table, columns);

    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = u"印刷を開始できませんでした。"_s;
        return false;
    }
    const QRectF area = PrintAreaTwips(printer);
    const QStringList notes = SummaryNoteLines(summary);
    const int pages = static_cast<int>(starts.size());
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer.newPage()) {
            painter.end();
            if (error)
                *error = u"印刷できませんでした。"_s;
            return false;
        }
        // The class columns, then the page's subjects: the subject's name over its columns, each
        // viewpoint's name over its average and counts.
        const int first = starts[page];
        const int end = page + 1 < pages ? starts[page + 1] : columns;
        Grid grid(table.Rows(), kClassColumns + end - first);
        PrintedColumns own;
        own.groupRules = {1, 2};
        own.bands.resize(2);
        for (int c = 0; c < grid.Cols(); ++c) {
            const int from = c < kClassColumns ? c : first + c - kClassColumns;
            own.widths.push_back(widths[from]);
            for (int r = 0; r < table.Rows(); ++r)
                grid.SetCell(r, c, table.Text(r, from), table.Value(r, from));
            if (c < kClassColumns)
                continue;
            const int k = (from - kClassColumns) % 4;
            grid.SetText(0, c, k == 0 ? u"平均%"_s : QString(QChar(u'A' + k - 1)));
            if (k != 0)
                continue;
            own.groupRules.push_back(c);
            const int viewpoint = (from - kClassColumns) / 4;
            const QString* titles = summary.titles[subjects[viewpoint / kViewpoints]].data();
            if (viewpoint % kViewpoints == 0)
                own.bands[0].push_back({c, kSubjectColumns, titles[0]});
            own.bands[1].push_back({c, 4, titles[viewpoint % kViewpoints + 1]});
        }
        painter.save();
        MoveToPrintArea(painter, printer, area);
        PainterCanvas canvas(painter, printer, true, area.width());
        const bool last = page + 1 == pages;
        const double notePitch = 9 * 20 * 1.5; // 9 points
        const double footer = notePitch * 1.5;
        const double notesHeight = last && !notes.isEmpty() ? notePitch * (notes.size() + 0.5) : 0;
        const double bottom = PrintTable(canvas, grid, grid.Cols(), QString(), caption, dateText,
                                         area.height() - notesHeight - footer, &own);
        canvas.FontSize = 9;
        if (last)
            for (int i = 0; i < notes.size(); ++i) {
                canvas.CurrentX = 0;
                canvas.CurrentY = bottom + notePitch * (i + 0.5);
                canvas.Print(CutToWidth(notes[i], area.width(), [&canvas](const QString& text) {
                    return canvas.TextWidth(text);
                }));
            }
        // The page's number, in the middle under everything else.
        const QString number = u"%1 / %2"_s.arg(page + 1).arg(pages);
        canvas.FontSize = 10;
        canvas.CurrentX = (area.width() - canvas.TextWidth(number)) / 2;
        canvas.CurrentY = area.height() - canvas.TextHeight();
        canvas.Print(number);
        painter.restore();
    }
    if (!painter.end()) {
        if (error)
            *error = u"印刷できませんでした。"_s;
        return false;
    }
    return true;
}

} // namespace kirune
