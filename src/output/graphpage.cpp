#include "graphpage.h"
#include "pdffile.h"
#include "pdfname.h"

#include "graph.h"
#include "model/numbers.h"
#include "output/version.h"
#include "paintercanvas.h"
#include "platform.h"
#include "printarea.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

constexpr double kGraphX = 3000;
constexpr double kGraphY[3] = {2340, 6860, 11280};

} // namespace

QString GraphPageHeading(const GradeBook& book, int subject, int semester) {
    const QString subjectName = book.SubjectTitles[std::clamp(subject, 0, kSubjects - 1)][0];
    if (semester == kWholeYear)
        return subjectName + u" 通年の集計グラフ"_s;
    return subjectName + u' ' + book.SemesterNames[std::clamp(semester, 0, kSemesters - 1)] +
           u"の集計グラフ"_s;
}

void DrawGraphPage(Canvas& canvas, const GradeBook& book, const QDate& today, int subject,
                   int semester, QRgb textColour) {
    subject = std::clamp(subject, 0, kSubjects - 1);
    if (semester != kWholeYear)
        semester = std::clamp(semester, 0, kSemesters - 1);

    // The date at the top right, in the short date format.
    canvas.FontName = u"ＭＳ 明朝"_s;
    canvas.FontSize = 10.5;
    const QString date = RegionalLocale().toString(today, QLocale::ShortFormat);
    canvas.CurrentY = 400;
    canvas.CurrentX =
        std::min(canvas.PageWidth() - 1000, canvas.PageWidth() - canvas.TextWidth(date));
    canvas.Print(date);

    // The program's title line in blue.
    canvas.CurrentY = 440;
    canvas.CurrentX = 2000;
    canvas.FontSize = 12;
    canvas.ForeColor = qRgb(0, 0, 255);
    canvas.Print(kTitleWithVersion);

    // An empty line, the class and the page heading, one under the other.
    canvas.FontSize = 16;
    canvas.ForeColor = textColour;
    canvas.Print(QString());
    canvas.CurrentX = 2000;
    canvas.Print(HomeRoomHeading(book));
    canvas.CurrentX = 2000;
    canvas.Print(GraphPageHeading(book, subject, semester));

    // The three graphs from the stored shares.
    const int period = semester == kWholeYear ? 3 : semester;
    for (int k = 0; k < kViewpoints; ++k) {
        const int slot = semester == kWholeYear ? YearAggregateSlot(subject, k)
                                                : SemesterAggregateSlot(semester, subject, k);
        const int criteria = CriteriaIndex(subject, k);
        DrawDistributionGraph(canvas, book, slot, kGraphX, kGraphY[k],
                              book.RankAPercent[period][criteria],
                              book.RankCPercent[period][criteria], subject, k);
    }
}

bool PrintGraphPage(Platform& platform, const GradeBook& book, int subject, int semester,
                    const QString& bookPath) {
    QPrinter& setup = platform.Printer();
    setup.setPageOrientation(QPageLayout::Portrait);
    setup.setColorMode(QPrinter::Color); // the boxes are told apart by colour
    // A PDF says which class and graphs it holds, and what made it.
    setup.setDocName(HomeRoomHeading(book) + u' ' + GraphPageHeading(book, subject, semester));
    setup.setCreator(kProgramTitle);
    const QDate today = platform.Today();
    // Shown in a preview first; the teacher prints it from there (or saves a PDF).
    const PaintJob paint = [&](QPrinter& printer) {
        QPainter painter;
        if (!painter.begin(&printer)) {
            platform.ShowMessage(u"印刷を開始できませんでした。"_s);
            return false;
        }
        // At least 10 mm from the paper's edges.
        const QRectF area = PrintAreaTwips(printer);
        MoveToPrintArea(painter, printer, area);
        PainterCanvas canvas(painter, printer, true, area.width());
        // Paper is white whatever the desktop's colours: the text is black, as in the table
        // printout.
        DrawGraphPage(canvas, book, today, subject, semester, kBlack);
        return painter.end(); // ends the document: the page goes out
    };
    return platform.PrintWithPreview(GraphPdfName(book, subject, semester),
                                     PaintingPdfAside(platform, bookPath, paint));
}

} // namespace kirune
