#include "pdffile.h"

#include "model/safefile.h"
#include "platform.h"

#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// A PDF file ends with its end-of-file mark (and perhaps a line break): one cut short by a full
// disk does not.
bool WholePdf(const QByteArray& bytes) {
    return bytes.startsWith("%PDF-") && bytes.right(16).contains("%%EOF");
}

} // namespace

PaintJob PaintingPdfAside(Platform& platform, const KeptBooks& books, PaintJob paint) {
    return [&platform, books, paint = std::move(paint)](QPrinter& printer) {
        const QString target = printer.outputFileName();
        if (printer.outputFormat() != QPrinter::PdfFormat || target.isEmpty())
            return paint(printer);
        QTemporaryDir aside;
        if (!aside.isValid()) {
            platform.ShowMessage(u"PDFファイルを作るための一時フォルダーを作れません（%1）。"_s.arg(
                aside.errorString()));
            return false;
        }
        const QString made = aside.filePath(QStringLiteral("printout.pdf"));
        printer.setOutputFileName(made);
        const bool painted = paint(printer);
        printer.setOutputFileName(target);
        if (!painted)
            return false;
        if (!QFileInfo::exists(made))
            return true; // the preview's pages: no file was meant
        QString error;
        if (!CheckOutputPlace(target, books, &error) ||
            !PlaceMadeFile(made, target, &error, WholePdf)) {
            platform.ShowMessage(error);
            return false;
        }
        return true;
    };
}

} // namespace kirune
