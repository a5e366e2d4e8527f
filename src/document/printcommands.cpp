// The page set-up command, the printout of the table on screen and the pupils' records.
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
#include <functional>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// The same words as the graph page's printout.
QString PrintNotStartedMessage() {
    return u"印刷を開始できませんでした。"_s;
}
QString PrintFailedMessage() {
    return u"印刷できませんでした。"_s;
}

// One printed table: its grid, its shown columns, its tree node and the caption above it.
struct PrintedTable {
    const Grid* grid = nullptr;
    int columns = 0;
    QString key;
    QString caption;
};

// Prints the tables that `table` gives for pages 0, 1, ... (false after the last) on A4 in
// `orientation` and in colour, one page each, through the preview: at least 10 mm from the
// paper's edges, a table larger than that shrunk as a whole rather than losing its last rows.
// False when nothing was printed.
bool PrintTables(Platform& platform, QPageLayout::Orientation orientation, const QString& docName,
                 const QString& pdfName, const QString& bookPath,
                 const std::function<bool(int, PrintedTable*)>& table) {
    QPrinter& setup = platform.Printer();
    setup.setPageSize(QPageSize(QPageSize::A4));
    setup.setPageOrientation(orientation);
    setup.setColorMode(QPrinter::Color); // the rating colours
    // A PDF says which class and table it holds, and what made it.
    setup.setDocName(docName);
    setup.setCreator(kProgramTitle);
    const QString date = RegionalLocale().toString(platform.Today(), QLocale::ShortFormat);
    // The pages are shown in a preview first; the teacher prints from there (or saves a PDF).
    const PaintJob paint = [&](QPrinter& printer) {
        QPainter painter;
        if (!painter.begin(&printer)) {
            platform.ShowMessage(PrintNotStartedMessage());
            return false;
        }
        const QRectF area = PrintAreaTwips(printer);
        PrintedTable page;
        for (int n = 0; table(n, &page); ++n) {
            if (n > 0 && !printer.newPage()) {
                platform.ShowMessage(PrintFailedMessage());
                return false;
            }
            painter.save();
            MoveToPrintArea(painter, printer, area);
            PainterCanvas canvas(painter, printer, true, area.width());
            PrintTable(canvas, *page.grid, page.columns, page.key, page.caption, date,
                       area.height());
            painter.restore();
        }
        if (!painter.end()) {
            platform.ShowMessage(PrintFailedMessage());
            return false;
        }
        return true;
    };
    return platform.PrintWithPreview(pdfName, PaintingPdfAside(platform, bookPath, paint));
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
    // On paper the title says everything the tree around the table says on screen.
    const QString title = StandaloneCaption(book, session.SelectedNodeKey, frame1Caption);
    // Landscape, unless the table prints larger upright (a class of 40 in a table of few
    // columns).
    const auto orientation =
        PrintsLargerUpright(grid, session.ShownColumnCount, session.SelectedNodeKey)
            ? QPageLayout::Portrait
            : QPageLayout::Landscape;
    PrintTables(platform, orientation, title, TablePdfName(book, session.SelectedNodeKey),
                session.FileName, [&](int n, PrintedTable* page) {
                    *page = {&grid, session.ShownColumnCount, session.SelectedNodeKey, title};
                    return n == 0;
                });
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
    QList<int> named;
    for (const int n : numbers)
        if (HasName(book, n) && n <= book.RosterSize)
            named << n;
    // Each record is built on a grid and session of its own: the table on screen stays.
    Session scratch = session;
    Grid record(43, 15);
    return PrintTables(platform, QPageLayout::Portrait, HomeRoomHeading(book) + u"　個人票"_s,
                       PupilRecordsPdfName(book), session.FileName, [&](int n, PrintedTable* page) {
                           if (n >= named.size())
                               return false;
                           QString caption;
                           ShowPupilRecordTable(book, scratch, named[n], record, caption,
                                                &recordTables_);
                           *page = {&record, 14, PupilKey(named[n]), u"個人票　"_s + caption};
                           return true;
                       });
}

} // namespace kirune
