// kirune-tool graphs FILE OUT.pdf SUBJECT [SEMESTER]: the graph page of a subject printed to a
// PDF file: the semester page for SEMESTER 0-2, the whole-year page without it.
#include "commands.h"
#include "model/gradebookfile.h"
#include "output/graphpage.h"
#include "toolplatform.h"

#include <memory>

namespace kirune::tool {

namespace {

const QString kUsage = QStringLiteral("usage: kirune-tool graphs FILE OUT.pdf SUBJECT(0-5) "
                                      "[SEMESTER(0-2)]");

// A whole number in [low, high] written in plain digits; -1 otherwise.
int Index(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= low && value <= high ? value : -1;
}

int RunGraphs(const QStringList& args) {
    if (args.size() < 3 || args.size() > 4) {
        PrintError(kUsage);
        return 2;
    }
    const int subject = Index(args.at(2), 0, kSubjects - 1);
    const int semester = args.size() == 4 ? Index(args.at(3), 0, kSemesters - 1) : kWholeYear;
    if (subject < 0 || (args.size() == 4 && semester < 0)) {
        PrintError(kUsage);
        return 2;
    }

    // The grade book is large: keep it off the stack.
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    QString error;
    if (!ReadGradeBookFile(args.at(0), *book, &error)) {
        PrintError(error);
        return 1;
    }

    ToolPlatform platform;
    return platform.PrintToPdf(
               args.at(1),
               [&] { return PrintGraphPage(platform, *book, subject, semester, args.at(0)); })
               ? 0
               : 1;
}

const bool registered =
    RegisterCommand({QStringLiteral("graphs"),
                     QStringLiteral("graphs FILE OUT.pdf SUBJECT [SEMESTER]   the distribution "
                                    "graphs of a subject printed to a PDF file"),
                     RunGraphs});

} // namespace

} // namespace kirune::tool
