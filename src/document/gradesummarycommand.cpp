// File > 学年の集計: the class books of a grade chosen at once, then their summary.
#include "gradesummarylogic.h"
#include "mainlogic.h"

namespace kirune {

void MainLogic::mnuFileGradeSummary_Click() {
    if (!windowEnabled)
        return;
    const auto chosen =
        platform.OpenFileNames(QString::fromUtf16(u"学年の集計：成績ファイルを選ぶ"),
                               QString::fromUtf16(u"ﾃｷｽﾄﾌｧｲﾙ (*.txt)|*.txt"));
    if (!chosen)
        return;
    auto summary =
        std::make_unique<GradeSummaryLogic>(platform, BookOpen() ? session.FileName : QString());
    if (summary->Load(*chosen) && openSummary)
        openSummary(std::move(summary));
}

} // namespace kirune
