// The table on screen as a CSV file or a workbook, and the whole book as a workbook.
#include "mainlogic.h"

#include "browse/tables.h"
#include "output/csvexport.h"
#include "output/pdfname.h"
#include "output/xlsxexport.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kirune {

// Each export's dialog has its own title, so that it is not taken for Save As; it refuses the
// open book, its backup and a book another program holds at once, asks before it lets another
// existing file be chosen, and offers `name` beside the book. The path chosen, with
// the extension a name typed without one gets; nullopt when cancelled.
std::optional<QString> MainLogic::ChooseExportPath(const QString& title, const QString& filter,
                                                   const QString& name, const char* suffix) {
    const auto chosen =
        platform.SaveFileName(title, filter,
                              {SaveStart(name), QString::fromLatin1(suffix),
                               [this](const QString& path) { return file_.Refusal(path, true); }});
    if (!chosen)
        return std::nullopt;
    return WithSuffix(*chosen, suffix);
}

void MainLogic::mnuCSVSaveAs_Click() {
    if (!Allowed(Menu::CSVSaveAs))
        return;
    const auto path = ChooseExportPath(
        u"画面の表をCSVで保存"_s, u"ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv"_s,
        TableFileName(book, session.SelectedNodeKey, QStringLiteral("csv")), "csv");
    if (!path)
        return;
    QString error;
    if (!ExportCsv(grid, *path, session.FileName, &error)) {
        platform.ShowMessage(error.isEmpty() ? u"CSVﾌｧｲﾙに書き込めませんでした。"_s : error);
        return;
    }
    Confirm(u"画面の表をCSVで保存しました: "_s + QFileInfo(*path).fileName());
}

void MainLogic::mnuXlsxSaveAs_Click() {
    if (!Allowed(Menu::XlsxSaveAs))
        return;
    const auto path = ChooseExportPath(
        u"画面の表をExcel形式で保存"_s, u"Excel ブック (*.xlsx)|*.xlsx"_s,
        TableFileName(book, session.SelectedNodeKey, QStringLiteral("xlsx")), "xlsx");
    if (path && WriteWorkbook({ShownSheet()}, frame1Caption, *path))
        Confirm(u"画面の表をExcel形式で保存しました: "_s + QFileInfo(*path).fileName());
}

void MainLogic::mnuXlsxBookSaveAs_Click() {
    if (!Allowed(Menu::XlsxBookSaveAs))
        return;
    const auto path =
        ChooseExportPath(u"成績簿全体をExcel形式で保存"_s, u"Excel ブック (*.xlsx)|*.xlsx"_s,
                         BookWorkbookName(book), "xlsx");
    if (path && ExportWorkbookTo(*path, {}))
        Confirm(u"成績簿全体をExcel形式で保存しました: "_s + QFileInfo(*path).fileName());
}

bool MainLogic::ExportWorkbookTo(const QString& path, const QStringList& keys) {
    if (keys.isEmpty())
        return WriteWorkbook(WholeBookSheets(book), HomeRoomHeading(book), path);
    std::vector<WorkbookSheet> sheets;
    for (const QString& key : keys) {
        if (!SelectNodeByKey(key)) {
            platform.ShowMessage(u"ツリーにない項目です: "_s + key);
            return false;
        }
        sheets.push_back(ShownSheet());
    }
    return WriteWorkbook(sheets, HomeRoomHeading(book), path);
}

WorkbookSheet MainLogic::ShownSheet() const {
    QString name = frame1Caption;
    for (const TreeNode& node : nodes)
        if (node.key == session.SelectedNodeKey)
            name = node.text;
    return SheetOfNode(book, session.SelectedNodeKey, name, frame1Caption, grid,
                       session.ShownColumnCount);
}

bool MainLogic::WriteWorkbook(const std::vector<WorkbookSheet>& sheets, const QString& title,
                              const QString& path) {
    QString error;
    if (ExportWorkbook(sheets, title, path, session.FileName, &error))
        return true;
    platform.ShowMessage(error.isEmpty() ? u"Excel ファイルに書き込めませんでした。"_s : error);
    return false;
}

} // namespace kirune
