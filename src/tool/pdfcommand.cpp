// kirune-tool pdf FILE OUT.pdf [KEY ...]: the table the program would show after opening FILE and
// clicking the given tree nodes, printed by the print command to a PDF file.
// kirune-tool pupils FILE OUT.pdf [NUMBER ...]: every named pupil's record (or those given), one
// page each, as File > 個人票を全員分印刷 prints them.
#include "commands.h"
#include "toolsession.h"

#include <algorithm>

using namespace Qt::StringLiterals;

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
    if (!tool.logic.Item(Menu::FilePrint).enabled) {
        PrintError(u"印刷できる表がありません（名簿に生徒がいません）。"_s);
        return 1;
    }
    return tool.platform.PrintToPdf(args.at(1),
                                    [&] {
                                        tool.logic.mnuFilePrint_Click();
                                        return true;
                                    })
               ? 0
               : 1;
}

int RunPupils(QStringList args) {
    const int period = TakeSemesterOption(args);
    if (args.size() < 2 || period == -2) {
        PrintError(QStringLiteral("usage: kirune-tool pupils FILE OUT.pdf [NUMBER ...] "
                                  "[--semester 1|2|3|year]"));
        return 2;
    }
    ToolSession tool;
    if (!tool.OpenAndSelect(args.at(0), {}))
        return 1;
    tool.session.CommentPeriod = static_cast<int16_t>(std::max(period, 0)); // the comment shown
    QList<int> numbers;
    for (int n = 1; n <= kMaxPupils; ++n)
        if (HasName(*tool.book, n) && n <= tool.book->RosterSize)
            numbers << n;
    if (args.size() > 2) {
        QList<int> chosen;
        for (const QString& arg : args.mid(2)) {
            bool ok = false;
            const int n = arg.toInt(&ok);
            if (!ok || !numbers.contains(n)) {
                PrintError(u"名簿にない出席番号です: "_s + arg);
                return 1;
            }
            chosen << n;
        }
        numbers = chosen;
    }
    if (numbers.isEmpty()) {
        PrintError(u"印刷できる個人票がありません（名簿に生徒がいません）。"_s);
        return 1;
    }
    return tool.platform.PrintToPdf(args.at(1),
                                    [&] { return tool.logic.PrintPupilRecords(numbers); })
               ? 0
               : 1;
}

const bool pupilsRegistered = RegisterCommand(
    {QStringLiteral("pupils"),
     QStringLiteral("pupils FILE OUT.pdf [NUMBER ...] [--semester 1|2|3|year] every "
                    "named pupil's record (or those given), one page each, with "
                    "that period's comment, to a PDF file"),
     RunPupils});

const bool registered =
    RegisterCommand({QStringLiteral("pdf"),
                     QStringLiteral("pdf FILE OUT.pdf [KEY ...]   the table shown after "
                                    "selecting each KEY, printed to a PDF file"),
                     RunPdf});

} // namespace

} // namespace kirune::tool
