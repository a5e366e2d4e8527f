// kirune-tool summary OUT.xlsx|OUT.csv|OUT.pdf [--period 1|2|3|year] BOOK...: the grade's
// classes side by side, as File > 学年の集計 shows them, saved as a workbook or a CSV file or
// printed to a PDF file.
#include "commands.h"
#include "output/summaryoutput.h"
#include "toolplatform.h"

#include "model/numbers.h"

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
    int period = kSummaryYear;
    if (!rest.isEmpty() && rest.first() == QLatin1String("--period")) {
        rest.removeFirst();
        const QString choice = rest.isEmpty() ? QString() : rest.takeFirst();
        const QStringList choices = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                     QStringLiteral("year")};
        period = static_cast<int>(choices.indexOf(choice));
        if (period < 0) {
            PrintError(kUsage);
            return 2;
        }
    }

    const GradeSummary summary = SummariseBooks(rest, period);
    if (const QString empty = SummaryEmptyMessage(summary); !empty.isEmpty()) {
        PrintError(empty);
        return 1;
    }
    for (const QString& line : SummaryNoteLines(summary))
        PrintError(line);

    ToolPlatform platform;
    QString error;
    if (suffix == QLatin1String("pdf")) {
        const QString date = RegionalLocale().toString(platform.Today(), QLocale::ShortFormat);
        const bool printed = platform.PrintToPdf(
            out, [&] { return PrintSummary(platform.Printer(), summary, date, &error); });
        if (!error.isEmpty())
            PrintError(error);
        return printed ? 0 : 1;
    }
    if (!SaveSummary(summary, out, QString(), &error)) {
        PrintError(error);
        return 1;
    }
    return 0;
}

const bool registered =
    RegisterCommand({QStringLiteral("summary"),
                     QStringLiteral("summary OUT.xlsx|OUT.csv|OUT.pdf [--period 1|2|3|year] "
                                    "BOOK...  the classes side by side"),
                     RunSummary});

} // namespace

} // namespace kirune::tool
