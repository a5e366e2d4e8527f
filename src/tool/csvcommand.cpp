// kirune-tool csv FILE OUT.csv [KEY ...]: the table the program would show after opening FILE
// and clicking the given tree nodes, saved as its CSV export saves it.
#include "commands.h"
#include "document/mainlogic.h"
#include "toolplatform.h"

#include <memory>

namespace kirune::tool {

namespace {

int RunCsv(const QStringList& args) {
    if (args.size() < 2) {
        PrintError(QStringLiteral("usage: kirune-tool csv FILE OUT.csv [KEY ...]"));
        return 2;
    }
    // The grade book is large: keep it off the stack.
    auto book = std::make_unique<GradeBook>();
    Session session;
    ToolPlatform platform;
    MainLogic logic(*book, session, platform);

    // Start as the program starts: the window loads, the grade book is reset, the window shows.
    logic.Form_Load();
    ResetGradeBook(*book);
    logic.Form_Activate();

    if (!logic.OpenPath(args.at(0)))
        return 1;

    for (const QString& key : args.mid(2)) {
        if (!logic.SelectNodeByKey(key)) {
            PrintError(QString::fromUtf16(u"ツリーにない項目です: \"") + key + u'"');
            return 1;
        }
    }

    const int before = platform.messageCount;
    platform.fileAnswers.push_back(args.at(1));
    logic.mnuCSVSaveAs_Click();
    return platform.messageCount == before ? 0 : 1;
}

const bool registered =
    RegisterCommand({QStringLiteral("csv"),
                     QStringLiteral("csv FILE OUT.csv [KEY ...]   the table shown after "
                                    "selecting each KEY, as CSV"),
                     RunCsv});

} // namespace

} // namespace kirune::tool
