// The page set-up command and the printout of the table on screen.
#include "mainlogic.h"
#include "model/numbers.h"
#include "output/paintercanvas.h"
#include "output/pdfname.h"
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
    if (!Allowed(QStringLiteral("mnuFilePageSetup")))
        return;
    // Paper, orientation and margins of the program's one printer object, so what the teacher
    // chooses stays in force for later printouts; a cancel simply changes nothing.
    platform.ShowPageSetup();
}

void MainLogic::mnuFilePrint_Click() {
    if (!Allowed(QStringLiteral("mnuFilePrint")))
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
    platform.PrintWithPreview(TablePdfName(book, session.SelectedNodeKey), [&](QPrinter& printer) {
        QPainter painter;
        if (!painter.begin(&printer)) {
            platform.ShowMessage(PrintNotStartedMessage());
            return false;
        }
        const double twipsPerPixelX = 1440.0 / printer.logicalDpiX();
        const double twipsPerPixelY = 1440.0 / printer.logicalDpiY();
        const double pageWidth = printer.width() * twipsPerPixelX;
        const double pageHeight = printer.height() * twipsPerPixelY;

        // A table taller or wider than the printable area (large margins chosen in the page
        // set-up) is shrunk as a whole rather than losing its last rows.
        const double scale = PrintFitScale(grid, columns, pageWidth, pageHeight);
        painter.scale(scale, scale);
        PainterCanvas canvas(painter, printer, true, pageWidth / scale);
        PrintTable(canvas, grid, columns, session.SelectedNodeKey, frame1Caption, date);
        if (!painter.end()) {
            platform.ShowMessage(PrintFailedMessage());
            return false;
        }
        return true;
    });
}

} // namespace kirune
