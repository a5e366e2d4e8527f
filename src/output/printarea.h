#pragma once
// The part of a printer's page that a printout uses.

#include <QRectF>

class QPainter;
class QPrinter;

namespace kirune {

// Paper a printer may not reach: every printout keeps at least this much (10 mm, in twips) from
// every edge of the paper.
constexpr double kPaperMargin = 567;

// The area a printout is laid out in: inside what the printer prints and at least kPaperMargin
// from every edge of the paper; in twips from the top-left corner of the printable area (where a
// painter on the printer starts).
QRectF PrintAreaTwips(const QPrinter& printer);

// Gives the printer's page at least kPaperMargin on every side (a wider margin chosen stays), so
// that its page set-up shows the margins the printouts keep.
void KeepPaperMargins(QPrinter& printer);

// Moves `painter`'s origin on `printer` to the area's top-left corner.
void MoveToPrintArea(QPainter& painter, const QPrinter& printer, const QRectF& area);

} // namespace kirune
