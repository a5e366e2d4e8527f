// kirune-tool xlsx FILE OUT.xlsx [KEY ...]: the given tree nodes' tables as a workbook, a sheet
// each, or every table of the book when no key is given, as the program's Excel commands write
// them.
#include "commands.h"
#include "toolsession.h"

#include <QFileInfo>

namespace kirune::tool {

namespace {

int RunXlsx(const QStringList& args) {
    if (args.size() < 2) {
        PrintError(QStringLiteral("usage: kirune-tool xlsx FILE OUT.xlsx [KEY ...]"));
        return 2;
    }
    ToolSession tool;
    if (!tool.OpenAndSelect(args.at(0), {}))
        return 1;
    return tool.logic.ExportWorkbookTo(QFileInfo(args.at(1)).absoluteFilePath(), args.mid(2)) ? 0
                                                                                              : 1;
}

const bool registered =
    RegisterCommand({QStringLiteral("xlsx"),
                     QStringLiteral("xlsx FILE OUT.xlsx [KEY ...]  the tables of the given "
                                    "nodes (or of the whole book) as an Excel workbook"),
                     RunXlsx});

} // namespace

} // namespace kirune::tool
