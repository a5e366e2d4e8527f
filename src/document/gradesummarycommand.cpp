// File > 学年の集計: the class books of a grade chosen at once, then their summary.
#include "gradesummarylogic.h"
#include "mainlogic.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kirune {

void MainLogic::mnuFileGradeSummary_Click() {
    if (!windowEnabled)
        return;
    // The books of a grade lie beside each other: the chooser starts in the open book's folder.
    const auto chosen = platform.OpenFileNames(
        u"学年の集計：成績ファイルを選ぶ"_s, u"ﾃｷｽﾄﾌｧｲﾙ (*.txt)|*.txt"_s,
        HasOwnFile() ? QFileInfo(session.FileName).absolutePath() : QString());
    if (!chosen)
        return;
    auto summary =
        std::make_unique<GradeSummaryLogic>(platform, BookOpen() ? session.FileName : QString());
    if (summary->Load(*chosen) && openSummary)
        openSummary(std::move(summary));
}

} // namespace kirune
