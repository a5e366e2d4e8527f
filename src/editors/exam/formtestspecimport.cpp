// The test editor's 得点の読み込み: a file chosen, its preview shown, the boxes filled.
#include "formtestspec.h"
#include "scoreimportdialog.h"

#include <QCryptographicHash>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// Where the columns chosen for a header row are kept between imports.
QString ColumnsSettingKey(const QString& headerKey) {
    return QStringLiteral("ScoreImport/Columns/") +
           QString::fromLatin1(
               QCryptographicHash::hash(headerKey.toUtf8(), QCryptographicHash::Sha1).toHex());
}

} // namespace

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
    if (!import.Open(*path, *target) && !import.Book().ok) {
        // A file refused as a whole has nothing to preview; a workbook whose sheet is refused
        // may have another sheet to choose.
        logic_.platform.ShowMessage(import.Message());
        return;
    }
    // The same header row as before (the next test's file) gets the columns chosen then.
    const QString remembered = ColumnsSettingKey(import.HeaderKey());
    const QString before = logic_.platform.ReadSetting(remembered, QString()).toString();
    QString unused;
    if (!import.HeaderKey().isEmpty() && !before.isEmpty())
        import.ChooseColumnsText(before, &unused);
    ScoreImportDialog dialog(import, QFileInfo(*path).fileName(), this);
    if (dialog.exec() != QDialog::Accepted || !import.CanImport())
        return;
    if (!import.HeaderKey().isEmpty())
        logic_.platform.WriteSetting(ColumnsSettingKey(import.HeaderKey()), import.ColumnsText());
    logic_.ImportScores(import.Preview());
}

} // namespace kirune
