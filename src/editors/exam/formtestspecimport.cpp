// The test editor's 得点の読み込み: a file chosen, its preview shown, the boxes filled.
#include "formtestspec.h"
#include "scoreimportdialog.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kirune {

QString ScoreFileFilter() {
    return u"得点ファイル (*.csv *.txt *.xlsx)|*.csv;*.txt;*.xlsx|すべてのファイル (*)|*"_s;
}

void FormTestSpec::ImportScoresFromFile() {
    // The entry being typed is checked first, as a change of pupil would.
    const std::optional<ScoreImportTarget> target = logic_.BeginScoreImport();
    Refresh(); // the committed entry shows in the table even when the teacher stops here
    if (!target)
        return;
    const std::optional<QString> path =
        logic_.platform.OpenFileName(u"得点の読み込み"_s, ScoreFileFilter());
    if (!path)
        return;
    ScoreImport import;
    if (!import.Open(*path, *target) && import.Table().sheetNames.isEmpty()) {
        // A file refused as a whole has nothing to preview; a workbook whose first sheet is
        // refused may have another sheet to choose.
        logic_.platform.ShowMessage(import.Message());
        return;
    }
    ScoreImportDialog dialog(import, QFileInfo(*path).fileName(), this);
    if (dialog.exec() == QDialog::Accepted && import.CanImport())
        logic_.ImportScores(import.Preview());
}

} // namespace kirune
