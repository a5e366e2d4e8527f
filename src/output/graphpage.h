#pragma once
// The graph page: the three distribution graphs of a subject on one portrait page under the
// date, the program's title line, the class line and the page heading. The semester page shows
// one semester's totals, the whole-year page the year's; both use the stored shares.

#include "canvas.h"
#include "model/gradebook.h"

#include <QDate>
#include <QRgb>

namespace kirune {

class Platform;

constexpr int kWholeYear = -1; // the semester argument of the whole-year page

// The page heading: "国語 一学期の集計グラフ" or "国語 通年の集計グラフ".
QString GraphPageHeading(const GradeBook& book, int subject, int semester);

// Draws the page on `canvas` (a printer canvas; a recording one in tests). `semester` 0..2 or
// kWholeYear; `textColour` is the colour the lines after the title are printed in.
void DrawGraphPage(Canvas& canvas, const GradeBook& book, const QDate& today, int subject,
                   int semester, QRgb textColour);

// Prints the page on the program's printer, portrait, colour, through the platform's print
// preview (a PDF file named after the class and the subject when the system has no printer).
// False when nothing was printed (cancelled, or the printer could not be started, which is
// reported). A PDF file is never written over the open book `bookPath` or its backup.
bool PrintGraphPage(Platform& platform, const GradeBook& book, int subject, int semester,
                    const QString& bookPath);

} // namespace kirune
