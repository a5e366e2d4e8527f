// kirune-tool comments BOOK OUT.csv|OUT.xlsx [--semester 1|2|3|year]: the number, the name and
// the report-card comments of every named pupil, a row each, for pasting into the school's
// system; every period a column, or the one chosen.
#include "commands.h"
#include "toolsession.h"

#include "browse/commenttable.h"
#include "output/csvexport.h"
#include "output/xlsxexport.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kirune::tool {

namespace {

constexpr auto kUsage = "usage: kirune-tool comments BOOK OUT.csv|OUT.xlsx [--semester 1|2|3|year]";

int RunComments(QStringList args) {
    const int period = TakeSemesterOption(args);
    const QString suffix = args.size() == 2 ? QFileInfo(args.at(1)).suffix().toLower() : QString();
    if (period == -2 || (suffix != u"csv"_s && suffix != u"xlsx"_s)) {
        PrintError(QString::fromLatin1(kUsage));
        return 2;
    }
    ToolSession tool;
    if (!tool.OpenAndSelect(args.at(0), {}))
        return 1;
    Grid grid;
    QString caption;
    ShowCommentsTable(*tool.book, period, grid, caption);
    const QString out = QFileInfo(args.at(1)).absoluteFilePath();
    const QString bookPath = QFileInfo(args.at(0)).absoluteFilePath();
    QString error;
    const bool written =
        suffix == u"csv"_s ? ExportCsv(grid, out, bookPath, &error)
                           : ExportWorkbook({WorkbookSheet{u"所見"_s, caption, grid, grid.Cols()}},
                                            caption, out, bookPath, &error);
    if (!written)
        PrintError(error);
    return written ? 0 : 1;
}

const bool registered = RegisterCommand(
    {u"comments"_s,
     u"comments BOOK OUT.csv|OUT.xlsx [--semester 1|2|3|year]  number, name and comments of "
     u"every named pupil, a row each"_s,
     RunComments});

} // namespace

} // namespace kirune::tool
