// kirune-tool import-scores BOOK KEY FILE OUT: reads FILE's scores into the test at KEY of BOOK
// through the test editor, as 得点の読み込み and 登録 do, and saves the result to OUT (never to
// BOOK). Cells that are no scores or a refused file stop it before anything is written; rows
// that match no pupil and pupils without a row are reported only.
#include "commands.h"
#include "editors/exam/testeditor.h"
#include "model/gradebookfile.h"
#include "model/safefile.h"
#include "toolsession.h"

#include "browse/tree.h"

#include <QFileInfo>
#include <memory>

using namespace Qt::StringLiterals;

namespace kirune::tool {

namespace {

void PrintPreview(const ScorePreview& preview) {
    PrintLine(preview.Counts());
    for (const UnmatchedRow& row : preview.unmatched)
        PrintLine(u"一致しない行: %1 行目 %2"_s.arg(row.row).arg(row.reason));
    for (int n : preview.missing)
        PrintLine(u"行のない生徒: 出席番号 %1"_s.arg(n));
    for (const QString& warning : preview.warnings)
        PrintLine(u"注意: "_s + warning);
    for (const CellFault& fault : preview.faults)
        PrintError(u"得点でないセル: %1「%2」%3"_s.arg(ScorePreview::Place(fault.row, fault.column),
                                                       fault.text, fault.reason));
}

int RunImportScores(const QStringList& args) {
    if (args.size() != 4) {
        PrintError(QStringLiteral("usage: kirune-tool import-scores BOOK KEY FILE OUT"));
        return 2;
    }
    const QString bookPath = args.at(0), key = args.at(1), file = args.at(2), out = args.at(3);
    if (SameFileKey(out) == SameFileKey(bookPath)) {
        PrintError(u"OUT は BOOK と別のファイルにしてください。"_s);
        return 2;
    }
    if (KeyLevel(key) != 2) {
        PrintError(u"試験の項目ではありません: \""_s + key + u'"');
        return 2;
    }
    ToolSession tool;
    if (!tool.OpenAndSelect(bookPath, {key}))
        return 1;

    // The edit command opens the test editor on the selected test, as in the program.
    std::unique_ptr<TestEditor> editor;
    tool.logic.openEditor = [&](EditorKind kind) {
        if (kind == EditorKind::Test)
            editor =
                std::make_unique<TestEditor>(*tool.book, tool.session, tool.platform, tool.logic);
    };
    tool.logic.mnuEditProperty_Click();
    if (!editor) {
        PrintError(u"試験を開けません: \""_s + key + u'"');
        return 1;
    }
    editor->Form_Load();
    const std::optional<ScoreImportTarget> target = editor->BeginScoreImport();
    if (!target)
        return 1;
    ScoreImport import;
    if (!import.Open(file, *target)) {
        PrintError(import.Message());
        return 1;
    }
    const ScorePreview& preview = import.Preview();
    if (!preview.ok) {
        PrintError(import.Message());
        return 1;
    }
    PrintPreview(preview);
    if (!preview.faults.empty())
        return 1;
    editor->ImportScores(preview);
    // Pupils without a score are reported above and do not stop the command: the editor's
    // question about them is answered Yes.
    tool.platform.choiceAnswers.push_back(kAnswerYes);
    if (!editor->OnRegister())
        return 1;

    QString error;
    if (!WriteGradeBookFile(QFileInfo(out).absoluteFilePath(), *tool.book, &error)) {
        PrintError(error);
        return 1;
    }
    return 0;
}

const bool registered = RegisterCommand(
    {QStringLiteral("import-scores"),
     QStringLiteral("import-scores BOOK KEY FILE OUT  read a CSV or .xlsx file's scores into the "
                    "test at KEY, register it and save the book to OUT"),
     RunImportScores});

} // namespace

} // namespace kirune::tool
