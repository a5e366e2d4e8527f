#include "printarea.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace kirune {

QRectF PrintAreaTwips(const QPrinter& printer) {
    constexpr double kTwipsPerPoint = 20;
    const QRectF paper = printer.paperRect(QPrinter::Point);
    const QRectF printable = printer.pageRect(QPrinter::Point);
    const double margin = kPaperMargin / kTwipsPerPoint;
    QRectF area = paper.adjusted(margin, margin, -margin, -margin).intersected(printable);
    if (area.isEmpty())
        area = printable;
    area.translate(-printable.topLeft());
    return {area.x() * kTwipsPerPoint, area.y() * kTwipsPerPoint, area.width() * kTwipsPerPoint,
            area.height() * kTwipsPerPoint};
}

void KeepPaperMargins(QPrinter& printer) {
    constexpr double kMillimetresPerTwip = 25.4 / 1440;
    const double least = kPaperMargin * kMillimetresPerTwip;
    const QMarginsF now = printer.pageLayout().margins(QPageLayout::Millimeter);
    const QMarginsF wanted(std::max(now.left(), least), std::max(now.top(), least),
                           std::max(now.right(), least), std::max(now.bottom(), least));
    if (wanted != now)
        printer.setPageMargins(wanted, QPageLayout::Millimeter);
}

void MoveToPrintArea(QPainter& painter, const QPrinter& printer, const QRectF& area) {
    painter.translate(area.x() * printer.logicalDpiX() / 1440.0,
                      area.y() * printer.logicalDpiY() / 1440.0);
}

} // namespace kirune
