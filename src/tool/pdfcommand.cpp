// kirune-tool pdf FILE OUT.pdf [KEY ...]: the table the program would show after opening FILE and
// clicking the given tree nodes, printed by the print command to a PDF file.
#include "commands.h"
#include "toolsession.h"

#include <QFileInfo>

namespace kirune::tool {

namespace {

int RunPdf(const QStringList& args) {
    if (args.size() < 2) {
        PrintError(QStringLiteral("usage: kirune-tool pdf FILE OUT.pdf [KEY ...]"));
        return 2;
    }
    ToolSession tool;
    if (!tool.OpenAndSelect(args.at(0), args.mid(2)))
        return 1;

    // The print command is offered only while a class with pupils is open.
    if (!tool.logic.Menu(QStringLiteral("mnuFilePrint")).enabled) {
        PrintError(QString::fromUtf16(u"印刷できる表がありません（名簿に生徒がいません）。"));
        return 1;
    }
    const QString out = QFileInfo(args.at(1)).absoluteFilePath();
    tool.platform.SetPdfOutput(out);
    const int before = tool.platform.messageCount;
    tool.logic.mnuFilePrint_Click();
    if (tool.platform.messageCount != before)
        return 1;
    if (!QFileInfo(out).isFile()) {
        PrintError(QString::fromUtf16(u"PDFファイルを書き込めませんでした: ") + out);
        return 1;
    }
    return 0;
}

const bool registered =
    RegisterCommand({QStringLiteral("pdf"),
                     QStringLiteral("pdf FILE OUT.pdf [KEY ...]   the table shown after "
                                    "selecting each KEY, printed to a PDF file"),
                     RunPdf});

} // namespace

} // namespace kirune::tool
