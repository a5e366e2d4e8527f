// kirune-tool import-scores BOOK KEY FILE OUT: reads FILE's scores into the test at KEY of BOOK
// through the test editor, as 得点の読み込み and 登録 do, and saves the result to OUT (never to
// BOOK). Cells that are no scores or a refused file stop it before anything is written; rows
// that match no pupil and pupils without a row are reported only.
#include "commands.h"
#include "editors/exam/testeditor.h"
#include "model/gradebookfile.h"
#include "model/outputplace.h"
#include "toolsession.h"

#include "browse/tree.h"

#include <QFileInfo>
#include <memory>
#include <numeric>
#include <optional>

using namespace Qt::StringLiterals;

namespace kirune::tool {

namespace {

void PrintPreview(const ScorePreview& preview) {
    PrintLine(preview.Counts());
    if (!preview.ByPosition().isEmpty())
        PrintLine(u"位置で選んだ列: "_s + preview.ByPosition());
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

const QString kUsage =
    QStringLiteral("import-scores BOOK KEY FILE OUT [--sheet NAME] [--by-number|--by-name] "
                   "[--columns NAME=COL,...] [--no-header]");

// The options after the four places, in any order.
struct ImportOptions {
    QStringList places;
    std::optional<QString> sheet;
    RowFollows follows = RowFollows::Neither;
    QString columns;
    bool headerless = false;
};

std::optional<ImportOptions> ParseOptions(const QStringList& args) {
    ImportOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool valued = arg == u"--sheet" || arg == u"--columns";
        if (valued && i + 1 >= args.size())
            return std::nullopt;
        if (arg == u"--sheet")
            options.sheet = args.at(++i);
        else if (arg == u"--columns")
            options.columns = args.at(++i);
        else if (arg == u"--by-number" || arg == u"--by-name")
            options.follows = arg == u"--by-number" ? RowFollows::Number : RowFollows::Name;
        else if (arg == u"--no-header")
            options.headerless = true;
        else if (arg.startsWith(u"--"))
            return std::nullopt;
        else
            options.places.push_back(arg);
    }
    if (options.places.size() != 4)
        return std::nullopt;
    return options;
}

QString SheetList(const TableFile& table, const std::vector<int>& sheets) {
    QStringList names;
    for (int sheet : sheets)
        names.push_back(u"「%1」"_s.arg(QuotedCell(table.sheetNames.value(sheet))));
    return names.join(QString());
}

// Chooses the sheet: the one named, else the only visible one with a pupil column, else the one
// the workbook opens on. False (with a message naming the file) when the name is no sheet's or
// more than one visible sheet has a pupil column.
bool ChooseSheet(ScoreImport& import, const std::optional<QString>& name) {
    const TableFile& table = import.Table();
    if (!table.workbook || !import.Book().ok)
        return true;
    std::vector<int> all(static_cast<size_t>(table.sheetNames.size()));
    std::iota(all.begin(), all.end(), 0);
    if (name) {
        const qsizetype sheet = table.sheetNames.indexOf(*name);
        if (sheet < 0) {
            PrintError(u"ファイル「%1」にシート「%2」はありません（シート: %3）。"_s.arg(
                table.fileName, QuotedCell(*name), SheetList(table, all)));
            return false;
        }
        import.ChooseSheet(static_cast<int>(sheet));
        return true;
    }
    const std::vector<int> pupils = import.PupilSheets();
    if (pupils.size() > 1) {
        PrintError(u"ファイル「%1」には生徒の列のある表示中のシートが %2 枚あります（%3）。"
                   u"--sheet で読むシートを指定してください。"_s.arg(table.fileName)
                       .arg(pupils.size())
                       .arg(SheetList(table, pupils)));
        return false;
    }
    if (pupils.size() == 1 && pupils.front() != table.sheet)
        import.ChooseSheet(pupils.front());
    return true;
}

int RunImportScores(const QStringList& args) {
    const std::optional<ImportOptions> options = ParseOptions(args);
    if (!options) {
        PrintError(u"usage: kirune-tool "_s + kUsage);
        return 2;
    }
    const QString bookPath = options->places.at(0), key = options->places.at(1),
                  file = options->places.at(2), out = options->places.at(3);
    if (KeyLevel(key) != 2) {
        PrintError(u"試験の項目ではありません: \""_s + key + u'"');
        return 2;
    }
    // BOOK and its backup stay as they are, and a book another program holds is not written.
    QString error;
    std::unique_ptr<QLockFile> lock;
    if (!CheckOutputPlace(out, KeptBooks(bookPath), &error, &lock)) {
        PrintError(error);
        return 1;
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
    if (!import.Open(file, *target) && !import.Book().ok) {
        PrintError(import.Message());
        return 1;
    }
    if (!ChooseSheet(import, options->sheet))
        return 1;
    if (options->headerless)
        import.SetHeaderless(true);
    if (!options->columns.isEmpty() && !import.ChooseColumnsText(options->columns, &error)) {
        PrintError(error);
        return 2;
    }
    error.clear();
    import.ChooseFollows(options->follows);
    const ScorePreview& preview = import.Preview();
    if (!import.Table().ok || !preview.ok) {
        PrintError(import.Message());
        return 1;
    }
    PrintPreview(preview);
    const QString where = import.Table().Where() + u": "_s;
    if (!preview.Unchosen().isEmpty()) {
        PrintError(where + u"観点「%1」の列が見出しにありません。--columns で指定してください"
                           u"（例: --columns %2=D）。"_s.arg(preview.Unchosen().join(u"」「"_s),
                                                             preview.Unchosen().front()));
        return 1;
    }
    if (preview.Conflicts() > 0) {
        PrintError(where + u"出席番号と氏名が名簿の別の生徒を指す行が %1 行あります。"
                           u"--by-number（出席番号に従う）か --by-name（氏名に従う）で"
                           u"指定してください。"_s.arg(preview.Conflicts()));
        return 1;
    }
    if (!preview.faults.empty())
        return 1;
    editor->ImportScores(preview);
    // Pupils without a score are reported above and do not stop the command: the editor's
    // question about them is answered Yes.
    tool.platform.choiceAnswers.push_back(kAnswerYes);
    if (!editor->OnRegister())
        return 1;

    if (!WriteGradeBookFile(QFileInfo(out).absoluteFilePath(), *tool.book, &error)) {
        PrintError(error);
        return 1;
    }
    return 0;
}

const bool registered = RegisterCommand(
    {QStringLiteral("import-scores"),
     kUsage + QStringLiteral("\n      read a CSV or .xlsx file's scores into the test at KEY, "
                             "register it and save the book to OUT"),
     RunImportScores,
     u"      --sheet NAME      the workbook's sheet to read (default: the only visible sheet with "
     u"a\n"
     u"                        pupil column, else the sheet the workbook opens on)\n"
     u"      --by-number       rows whose number and name are different pupils follow the number\n"
     u"      --by-name         ... follow the name (without either, such rows stop the command)\n"
     u"      --columns LIST    columns by letter: \"表現=C,理解=D,言語=-\" (also 番号=A, 氏名=B);\n"
     u"                        needed when headers name some viewpoints but not all\n"
     u"      --no-header       the first row is data (number in A, viewpoints from B)\n"
     u"      Limits: files up to 10 MB; 1,000 rows and 200 columns a sheet; a workbook unpacked\n"
     u"      up to 50 MB, with at most 400,000 cells and shared strings, 10,485,760 characters\n"
     u"      and 1,200,000 XML elements. Messages quote at most 40 characters of a cell."_s});

} // namespace

} // namespace kirune::tool
