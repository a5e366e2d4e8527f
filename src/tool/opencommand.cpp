// kirune-tool hold FILE: opens FILE as the program's Open does (taking its lock) and keeps it
// open until standard input ends, as a second program on the desktop would.
// kirune-tool save FILE [ANSWER] [--overwrite]: opens FILE as Open does, answering the question a
// book held by another program asks with ANSWER (0 read-only, 1 as it is, 2 cancel; its default
// when left out), then runs Save, over a file another program changed since it was read only
// with --overwrite; says what happened.
#include "commands.h"
#include "document/bookfile.h"
#include "toolsession.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace kirune::tool {

namespace {

// Opens `file`; prints "opened" or "opened read-only".
bool Open(ToolSession& tool, const QString& file) {
    tool.logic.Form_Load();
    ResetGradeBook(*tool.book);
    tool.logic.Form_Activate();
    if (!tool.logic.OpenPath(file))
        return false;
    PrintLine(tool.logic.ReadOnly() ? QStringLiteral("opened read-only")
                                    : QStringLiteral("opened"));
    std::fflush(stdout);
    return true;
}

int RunHold(const QStringList& args) {
    if (args.size() != 1) {
        PrintError(QStringLiteral("usage: kirune-tool hold FILE"));
        return 2;
    }
    ToolSession tool;
    if (!Open(tool, args.at(0)))
        return 1;
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
    }
    return 0; // the book is closed as the program ends: its lock goes
}

int RunSave(const QStringList& args) {
    QStringList rest = args;
    const bool overwrite = rest.removeAll(QStringLiteral("--overwrite")) > 0;
    bool numeric = rest.size() < 2;
    const int answer = rest.size() == 2 ? rest.at(1).toInt(&numeric) : -1;
    if (rest.isEmpty() || rest.size() > 2 || !numeric) {
        PrintError(QStringLiteral("usage: kirune-tool save FILE [ANSWER] [--overwrite]"));
        return 2;
    }
    ToolSession tool;
    // ANSWER answers only the question of a book held by another program; the question of a
    // book changed on disk is answered 上書き only with --overwrite, else the save stops.
    tool.platform.chooser = [&](const QString&, const QList<Choice>& answers, int defaultIndex) {
        if (answers == HeldBookAnswers())
            return answer >= 0 ? answer : defaultIndex;
        if (answers == ChangedOnDiskAnswers()) {
            if (overwrite)
                return 1;
            PrintError(u"ほかのプログラムで変更されたファイルには保存しません"
                       u"（上書きするには --overwrite を付けてください）。"_s);
            return 2;
        }
        return defaultIndex;
    };
    if (!Open(tool, rest.at(0)))
        return 3;
    const bool saved = tool.logic.SaveCommand();
    PrintLine(saved ? QStringLiteral("saved") : QStringLiteral("not saved"));
    return saved ? 0 : 1;
}

const bool holdRegistered = RegisterCommand(
    {QStringLiteral("hold"),
     QStringLiteral("hold FILE                    open FILE as Open does and keep it open (and "
                    "locked) until standard input ends"),
     RunHold});

const bool saveRegistered = RegisterCommand(
    {QStringLiteral("save"),
     QStringLiteral("save FILE [ANSWER] [--overwrite]  open FILE as Open does (ANSWER to the "
                    "question a book held elsewhere asks: 0 read-only, 1 as it is, 2 cancel), "
                    "then Save (over a file changed on disk only with --overwrite)"),
     RunSave});

} // namespace

} // namespace kirune::tool
