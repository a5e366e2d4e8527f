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

KeptBooks SummaryKeptBooks(const GradeSummary& summary, const QString& bookPath) {
    // A summary written over one of its own books would lose that class's marks.
    KeptBooks books(bookPath);
    for (const ClassSummary& row : summary.classes)
        books.summarised << row.path;
    return books;
}

bool SaveSummary(const GradeSummary& summary, const QString& path, const QString& bookPath,
                 QString* error) {
    const KeptBooks books = SummaryKeptBooks(summary, bookPath);
    QString caption;
    int columns = 0;
    Grid grid = SummarySheetGrid(summary, caption, columns);
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) {
        WorkbookSheet sheet{u"学年の集計"_s, caption, std::move(grid), columns};
        return ExportWorkbook({sheet}, caption, path, books, error);
    }
    return ExportCsv(grid, path, books, error);
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
    Grid grid;
    const int columns = ShowGradeSummaryTable(summary, grid, caption);
    printer.setDocName(caption);
    printer.setCreator(kProgramTitle);

    // The caption names the year when every class shares it; the rows need not repeat it.
    if (caption.startsWith(summary.classes.front().year.trimmed() + u' '))
        for (int i = 0; i < static_cast<int>(summary.classes.size()); ++i) {
            const ClassSummary& row = summary.classes[i];
            const QString label = SummaryClassLabel(row);
            if (label.startsWith(row.year + u' '))
                grid.SetText(i + 1, 1, label.mid(row.year.size() + 1));
        }
    // Narrow columns, so that the 72 columns of numbers stay readable on one page: the subject and
    // viewpoint above the average only, the counts headed by their letter, a thick rule before
    // every viewpoint.
    PrintedColumns own;
    own.widths = {500, 2800, 600};
    own.groupRules = {1, 2};
    for (int k = 0; k < kSummaryViewpoints; ++k) {
        const int first = 3 + 4 * k;
        own.groupRules.push_back(first);
        own.widths.insert(own.widths.end(), {750, 450, 450, 450});
        grid.SetText(0, first,
                     summary.titles[k / kViewpoints][0] + QChar(13) +
                         summary.titles[k / kViewpoints][k % kViewpoints + 1] + QChar(13) +
                         u"平均%"_s);
        for (int j = 0; j < 3; ++j)
            grid.SetText(0, first + 1 + j, QString(QChar(u'A' + j)));
    }

    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = u"印刷を開始できませんでした。"_s;
        return false;
    }
    // The table above the notes, both inside the page's margins. The whole page is drawn at the
    // scale that puts the table's width as designed on the paper's, so that its narrow columns
    // keep their room and their texts their proportions (a table this wide would otherwise lose
    // its numbers to the fixed room around each text).
    const QRectF area = PrintAreaTwips(printer);
    MoveToPrintArea(painter, printer, area);
    double designed = 0;
    for (const double width : own.widths)
        designed += width;
    const double scale = std::min(1.0, area.width() / designed);
    painter.scale(scale, scale);
    PainterCanvas canvas(painter, printer, true, area.width() / scale);
    const QStringList notes = SummaryNoteLines(summary);
    const double noteSize = 9 / scale; // 9 points on paper
    const double notePitch = noteSize * 20 * 1.5;
    const double notesHeight = notes.isEmpty() ? 0 : notePitch * (notes.size() + 0.5);
    const double bottom = PrintTable(canvas, grid, columns, QString(), caption, dateText,
                                     area.height() / scale - notesHeight, &own);
    canvas.FontSize = noteSize;
    for (int i = 0; i < notes.size(); ++i) {
        canvas.CurrentX = 0;
        canvas.CurrentY = bottom + notePitch * (i + 0.5);
        canvas.Print(CutToWidth(notes[i], area.width() / scale,
                                [&canvas](const QString& text) { return canvas.TextWidth(text); }));
    }
    if (!painter.end()) {
        if (error)
            *error = u"印刷できませんでした。"_s;
        return false;
    }
    return true;
}

} // namespace kirune
