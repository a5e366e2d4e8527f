// kirune-tool csv FILE OUT.csv [KEY ...]: the table the program would show after opening FILE
// and clicking the given tree nodes, saved as its CSV export saves it.
#include "commands.h"
#include "toolsession.h"

namespace kirune::tool {

namespace {

int RunCsv(const QStringList& args) {
    if (args.size() < 2) {
        PrintError(QStringLiteral("usage: kirune-tool csv FILE OUT.csv [KEY ...]"));
        return 2;
    }
    ToolSession tool;
    if (!tool.OpenAndSelect(args.at(0), args.mid(2)))
        return 1;
    const int before = tool.platform.messageCount;
    tool.platform.fileAnswers.push_back(args.at(1));
    tool.logic.mnuCSVSaveAs_Click();
    return tool.platform.messageCount == before ? 0 : 1;
}

const bool registered =
    RegisterCommand({QStringLiteral("csv"),
                     QStringLiteral("csv FILE OUT.csv [KEY ...]   the table shown after "
                                    "selecting each KEY, as CSV"),
                     RunCsv});

} // namespace

} // namespace kirune::tool
