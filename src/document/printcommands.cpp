// The page set-up command and the printout of the table on screen.
#include "browse/tables.h"
#include "mainlogic.h"
#include "model/numbers.h"
#include "output/paintercanvas.h"
#include "output/pdffile.h"
#include "output/pdfname.h"
#include "output/printarea.h"
#include "output/tableprint.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

namespace kirune {

namespace {

// The same words as the graph page's printout.
QString PrintNotStartedMessage() {
    return QString::fromUtf16(u"印刷を開始できませんでした。");
}
QString PrintFailedMessage() {
    return QString::fromUtf16(u"印刷できませんでした。");
}

} // namespace

void MainLogic::mnuFilePageSetup_Click() {
    if (!Allowed(Menu::FilePageSetup))
        return;
    // Paper, orientation and margins of the program's one printer object, so what the teacher
    // chooses stays in force for later printouts; a cancel simply changes nothing.
    platform.ShowPageSetup();
}

void MainLogic::mnuFilePrint_Click() {
    if (!Allowed(Menu::FilePrint))
        return;

    QPrinter& setup = platform.Printer();
    setup.setPageSize(QPageSize(QPageSize::A4));
    setup.setPageOrientation(QPageLayout::Landscape);
    setup.setColorMode(QPrinter::Color); // the rating colours
    // A PDF says which class and table it holds (the frame caption), and what made it.
    setup.setDocName(frame1Caption);
    setup.setCreator(kProgramTitle);

    const QString date = RegionalLocale().toString(platform.Today(), QLocale::ShortFormat);
    const int columns = session.ShownColumnCount;
    // The page is shown in a preview first; the teacher prints it from there (or saves a PDF).
    const PaintJob paint = [&](QPrinter& printer) {
        QPainter painter;
        if (!painter.begin(&printer)) {
            platform.ShowMessage(PrintNotStartedMessage());
            return false;
        }
        // At least 10 mm from the paper's edges; a table larger than that is shrunk as a whole
        // rather than losing its last rows.
        const QRectF area = PrintAreaTwips(printer);
        MoveToPrintArea(painter, printer, area);
        PainterCanvas canvas(painter, printer, true, area.width());
        PrintTable(canvas, grid, columns, session.SelectedNodeKey, frame1Caption, date,
                   area.height());
        if (!painter.end()) {
            platform.ShowMessage(PrintFailedMessage());
            return false;
        }
        return true;
    };
    platform.PrintWithPreview(TablePdfName(book, session.SelectedNodeKey),
                              PaintingPdfAside(platform, session.FileName, paint));
}

void MainLogic::mnuFilePupilRecords_Click() {
    if (!Allowed(Menu::FilePupilRecords))
        return;
    QList<int> everyone;
    for (int n = 1; n <= std::clamp<int>(book.RosterSize, 0, kMaxPupils); ++n)
        if (HasName(book, n))
            everyone << n;
    PrintPupilRecords(everyone);
}

bool MainLogic::PrintPupilRecords(const QList<int>& numbers) {
    QPrinter& setup = platform.Printer();
    setup.setPageSize(QPageSize(QPageSize::A4));
    setup.setPageOrientation(QPageLayout::Portrait);
    setup.setColorMode(QPrinter::Color);
    setup.setDocName(HomeRoomHeading(book) + QString::fromUtf16(u"　個人票"));
    setup.setCreator(kProgramTitle);
    const QString date = RegionalLocale().toString(platform.Today(), QLocale::ShortFormat);
    const PaintJob paint = [&](QPrinter& printer) {
        QPainter painter;
        if (!painter.begin(&printer)) {
            platform.ShowMessage(PrintNotStartedMessage());
            return false;
        }
        const QRectF area = PrintAreaTwips(printer);
        // Each record is built on a grid and session of its own: the table on screen stays.
        Session scratch = session;
        Grid record(43, 15);
        bool first = true;
        for (const int n : numbers) {
            if (!HasName(book, n) || n > book.RosterSize)
                continue;
            if (!first && !printer.newPage()) {
                platform.ShowMessage(PrintFailedMessage());
                return false;
            }
            first = false;
            QString caption;
            ShowPupilRecordTable(book, scratch, n, record, caption, &recordTables_);
            painter.save();
            MoveToPrintArea(painter, printer, area);
            PainterCanvas canvas(painter, printer, true, area.width());
            PrintTable(canvas, record, 14, PupilKey(n), QString::fromUtf16(u"個人票　") + caption,
                       date, area.height());
            painter.restore();
        }
        if (!painter.end()) {
            platform.ShowMessage(PrintFailedMessage());
            return false;
        }
        return true;
    };
    return platform.PrintWithPreview(PupilRecordsPdfName(book),
                                     PaintingPdfAside(platform, session.FileName, paint));
}

} // namespace kirune
