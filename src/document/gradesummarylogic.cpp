#include "gradesummarylogic.h"

#include "model/numbers.h"
#include "model/safefile.h"
#include "output/pdffile.h"
#include "output/summaryoutput.h"

#include <QPrinter>
#include <algorithm>

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

int PeriodOfChoice(int choice) {
    return choice <= 0 || choice > kSemesters ? kSummaryYear : choice - 1;
}

} // namespace

GradeSummaryLogic::GradeSummaryLogic(Platform& platform, const QString& openBookPath)
    : platform_(platform), openBookPath_(openBookPath) {}

QStringList GradeSummaryLogic::PeriodChoices() {
    QStringList choices;
    for (int choice = 0; choice <= kSemesters; ++choice)
        choices << SummaryPeriodLabel(PeriodOfChoice(choice));
    return choices;
}

bool GradeSummaryLogic::Load(const QStringList& paths, int choice) {
    paths_ = paths;
    choice_ = std::clamp(choice, 0, kSemesters);
    summary_ = SummariseBooks(paths_, PeriodOfChoice(choice_));
    if (const QString empty = SummaryEmptyMessage(summary_); !empty.isEmpty()) {
        platform_.ShowMessage(empty);
        return false;
    }
    Show();
    return true;
}

void GradeSummaryLogic::ChoosePeriod(int choice) {
    if (choice < 0 || choice > kSemesters || choice == choice_)
        return;
    choice_ = choice;
    summary_ = SummariseBooks(paths_, PeriodOfChoice(choice_));
    Show();
}

void GradeSummaryLogic::Show() {
    ShowGradeSummaryTable(summary_, grid, caption);
    notes = SummaryNoteLines(summary_);
    if (changed)
        changed();
}

bool GradeSummaryLogic::Print() {
    if (summary_.classes.empty())
        return false;
    const QString date = RegionalLocale().toString(platform_.Today(), QLocale::ShortFormat);
    const PaintJob aside = PaintingPdfAside(platform_, openBookPath_, [&](QPrinter& printer) {
        QString error;
        if (PrintSummary(printer, summary_, date, &error))
            return true;
        platform_.ShowMessage(error);
        return false;
    });
    return platform_.PrintWithPreview(
        u"学年の集計_"_s + SummaryPeriodLabel(summary_.period) + QStringLiteral(".pdf"),
        [&](QPrinter& printer) {
            QString error;
            if (printer.outputFormat() == QPrinter::PdfFormat &&
                !CheckNotSummarisedBook(summary_, printer.outputFileName(), &error)) {
                platform_.ShowMessage(error);
                return false;
            }
            return aside(printer);
        });
}

void GradeSummaryLogic::SaveAs() {
    if (summary_.classes.empty())
        return;
    // A name without an extension (or with another) is a workbook.
    const auto written = [](QString path) {
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix != QLatin1String("csv") && suffix != QLatin1String("xlsx"))
            path += QStringLiteral(".xlsx");
        return path;
    };
    // The dialog refuses the open book and the books summarised at once, and asks before
    // another existing file is chosen.
    const auto chosen = platform_.SaveFileName(
        u"学年の集計を保存"_s, u"Excel ブック (*.xlsx)|*.xlsx|CSV ファイル (*.csv)|*.csv"_s,
        {u"学年の集計_"_s + SummaryPeriodLabel(summary_.period) + QStringLiteral(".xlsx"),
         QStringLiteral("xlsx"), [this, written](const QString& path) {
             QString refused;
             if (!CheckNotBookFile(written(path), openBookPath_, &refused))
                 return refused;
             CheckNotSummarisedBook(summary_, written(path), &refused);
             return refused;
         }});
    if (chosen)
        SaveTo(written(*chosen));
}

bool GradeSummaryLogic::SaveTo(const QString& path) {
    QString error;
    if (!SaveSummary(summary_, path, openBookPath_, &error)) {
        platform_.ShowMessage(error.isEmpty() ? u"集計表を書き込めませんでした。"_s : error);
        return false;
    }
    statusText = u"学年の集計を保存しました: "_s + QFileInfo(path).fileName();
    if (changed)
        changed();
    return true;
}

} // namespace kirune
