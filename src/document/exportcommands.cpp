// The table on screen as a CSV file or a workbook, and the whole book as a workbook.
#include "mainlogic.h"

#include "browse/tables.h"
#include "output/csvexport.h"
#include "output/pdfname.h"
#include "output/xlsxexport.h"

#include <QFileInfo>

namespace kirune {

namespace {

QString U(const char16_t* text) {
    return QString::fromUtf16(text);
}

} // namespace

void MainLogic::mnuCSVSaveAs_Click() {
    if (!windowEnabled)
        return;
    // Its own title, so that it is not taken for Save As. Each export's dialog asks before it
    // lets an existing file be chosen, and offers the table's name beside the book.
    const auto chosen = platform.SaveFileName(
        U(u"画面の表をCSVで保存"), U(u"ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv"),
        {SaveStart(TableFileName(book, session.SelectedNodeKey, QStringLiteral("csv"))),
         QStringLiteral("csv")});
    if (!chosen)
        return;
    const QString path = WithSuffix(*chosen, "csv");
    QString error;
    if (!ExportCsv(grid, path, session.FileName, &error)) {
        platform.ShowMessage(error.isEmpty() ? U(u"CSVﾌｧｲﾙに書き込めませんでした。") : error);
        return;
    }
    Confirm(U(u"画面の表をCSVで保存しました: ") + QFileInfo(path).fileName());
}

void MainLogic::mnuXlsxSaveAs_Click() {
    if (!windowEnabled)
        return;
    const auto chosen = platform.SaveFileName(
        U(u"画面の表をExcel形式で保存"), U(u"Excel ブック (*.xlsx)|*.xlsx"),
        {SaveStart(TableFileName(book, session.SelectedNodeKey, QStringLiteral("xlsx"))),
         QStringLiteral("xlsx")});
    if (!chosen)
        return;
    const QString path = WithSuffix(*chosen, "xlsx");
    if (WriteWorkbook({ShownSheet()}, frame1Caption, path))
        Confirm(U(u"画面の表をExcel形式で保存しました: ") + QFileInfo(path).fileName());
}

void MainLogic::mnuXlsxBookSaveAs_Click() {
    if (!Allowed(Menu::XlsxBookSaveAs))
        return;
    const auto chosen =
        platform.SaveFileName(U(u"成績簿全体をExcel形式で保存"), U(u"Excel ブック (*.xlsx)|*.xlsx"),
                              {SaveStart(BookWorkbookName(book)), QStringLiteral("xlsx")});
    if (!chosen)
        return;
    const QString path = WithSuffix(*chosen, "xlsx");
    if (ExportWorkbookTo(path, {}))
        Confirm(U(u"成績簿全体をExcel形式で保存しました: ") + QFileInfo(path).fileName());
}

bool MainLogic::ExportWorkbookTo(const QString& path, const QStringList& keys) {
    if (keys.isEmpty())
        return WriteWorkbook(WholeBookSheets(book), HomeRoomHeading(book), path);
    std::vector<WorkbookSheet> sheets;
    for (const QString& key : keys) {
        if (!SelectNodeByKey(key)) {
            platform.ShowMessage(U(u"ツリーにない項目です: ") + key);
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
    platform.ShowMessage(error.isEmpty() ? U(u"Excel ファイルに書き込めませんでした。") : error);
    return false;
}

} // namespace kirune
