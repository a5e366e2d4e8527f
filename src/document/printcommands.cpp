// The page set-up command and the printout of the table on screen.
#include "mainlogic.h"
#include "model/numbers.h"
#include "output/paintercanvas.h"
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
    // The dialog works on the program's one printer object, so what the teacher chooses stays in
    // force for later printouts; a cancel simply changes nothing.
    platform.ShowPrinterDialog(QString::fromUtf16(u"ﾍﾟｰｼﾞ設定"));
}

void MainLogic::mnuFilePrint_Click() {
    if (!Allowed(QStringLiteral("mnuFilePrint")))
        return;
    // Cancelling the printer dialog means "do not print".
    if (!platform.ShowPrinterDialog(QString::fromUtf16(u"印刷")))
        return;

    QPrinter& printer = platform.Printer();
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setColorMode(QPrinter::Color); // the rating colours
    if (!platform.PrepareOutput())
        return;

    QPainter painter;
    if (!painter.begin(&printer)) {
        platform.ShowMessage(PrintNotStartedMessage());
        return;
    }
    const double twipsPerPixelX = 1440.0 / printer.logicalDpiX();
    const double twipsPerPixelY = 1440.0 / printer.logicalDpiY();
    const double pageWidth = printer.width() * twipsPerPixelX;
    const double pageHeight = printer.height() * twipsPerPixelY;
    const int columns = session.ShownColumnCount;

    // A table taller or wider than the printable area (large margins chosen in the page set-up)
    // is shrunk as a whole rather than losing its last rows.
    const double scale = PrintFitScale(grid, columns, pageWidth, pageHeight);
    painter.scale(scale, scale);
    PainterCanvas canvas(painter, printer, true, pageWidth / scale);
    const QString date = RegionalLocale().toString(platform.Today(), QLocale::ShortFormat);
    PrintTable(canvas, grid, columns, session.SelectedNodeKey, frame1Caption, date);
    if (!painter.end()) {
        platform.ShowMessage(PrintFailedMessage());
        return;
    }
    platform.ReportPrinted();
}

} // namespace kirune
