// kirune-tool summary OUT.xlsx|OUT.csv|OUT.pdf [--period 1|2|3|year] BOOK...: the grade's
// classes side by side, as File > 学年の集計 shows them, saved as a workbook or a CSV file or
// printed to a PDF file.
#include "commands.h"
#include "document/gradesummarylogic.h"
#include "toolplatform.h"
#include <QFileInfo>

namespace kirune::tool {

namespace {

const QString kUsage =
    QStringLiteral("usage: kirune-tool summary OUT.xlsx|OUT.csv|OUT.pdf [--period 1|2|3|year] "
                   "BOOK...");

int RunSummary(const QStringList& args) {
    QStringList rest = args;
    if (rest.isEmpty()) {
        PrintError(kUsage);
        return 2;
    }
    const QString out = QFileInfo(rest.takeFirst()).absoluteFilePath();
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix != QLatin1String("xlsx") && suffix != QLatin1String("csv") &&
        suffix != QLatin1String("pdf")) {
        PrintError(kUsage);
        return 2;
    }
    int choice = 0; // the whole year
    if (!rest.isEmpty() && rest.first() == QLatin1String("--period")) {
        rest.removeFirst();
        const QString given = rest.isEmpty() ? QString() : rest.takeFirst();
        // The window's choices in its order: 学年, 一学期, 二学期, 三学期.
        const QStringList choices = {QStringLiteral("year"), QStringLiteral("1"),
                                     QStringLiteral("2"), QStringLiteral("3")};
        choice = static_cast<int>(choices.indexOf(given));
        if (choice < 0) {
            PrintError(kUsage);
            return 2;
        }
    }

    // The window's own logic: a summary without a table, or a file not written, says why on
    // stderr.
    ToolPlatform platform;
    GradeSummaryLogic summary(platform, QString());
    if (!summary.Load(rest, choice))
        return 1;
    for (const QString& line : summary.notes)
        PrintError(line);
    if (suffix == QLatin1String("pdf"))
        return platform.PrintToPdf(out, [&] { return summary.Print(); }) ? 0 : 1;
    return summary.SaveTo(out) ? 0 : 1;
}

const bool registered =
    RegisterCommand({QStringLiteral("summary"),
                     QStringLiteral("summary OUT.xlsx|OUT.csv|OUT.pdf [--period 1|2|3|year] "
                                    "BOOK...  the classes side by side"),
                     RunSummary});

} // namespace

} // namespace kirune::tool
