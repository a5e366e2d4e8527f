#include "paintercanvas.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// Positions far off the page (from absurd values in a file) are kept to a range the paint
// engine handles; a position that is not a number draws nothing.
constexpr double kFarTwips = 1e7;
double Near(double twips) {
    return std::clamp(twips, -kFarTwips, kFarTwips);
}
bool Finite(double a, double b, double c = 0, double d = 0) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

} // namespace

PainterCanvas::PainterCanvas(QPainter& painter, const QPaintDevice& device, bool printer,
                             double pageWidthTwips)
    : painter_(painter), device_(device), printer_(printer), pageWidth_(pageWidthTwips),
      scale_(device.logicalDpiX() / 1440.0) {
    FontName = u"ＭＳ ゴシック"_s;
}

QFont PainterCanvas::CurrentFont() const {
    QFont font(FontName.isEmpty() ? u"ＭＳ ゴシック"_s : FontName);
    font.setPointSizeF(FontSize > 0 ? FontSize : 9);
    return font;
}

void PainterCanvas::ApplyPen(QRgb colour) const {
    // A pixel of line width is one screen pixel on a window and 1/300 inch on paper.
    const double pixel = printer_ ? device_.logicalDpiX() / 300.0 : 1.0;
    QPen pen{QColor::fromRgb(colour)};
    pen.setWidthF(std::max(1, DrawWidth) * pixel);
    pen.setStyle(Style == DrawStyle::Dot ? Qt::DotLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    painter_.setPen(pen);
}

void PainterCanvas::DrawText(double x, double y, const QString& text) {
    if (!Finite(x, y) || text.isEmpty())
        return;
    x = Near(x);
    y = Near(y);
    const QFont font = CurrentFont();
    painter_.setFont(font);
    painter_.setPen(QColor::fromRgb(ForeColor));
    const QFontMetricsF metrics(font, &device_);
    painter_.drawText(QPointF(x * scale_, y * scale_ + metrics.ascent()), text);
}

double PainterCanvas::LineHeight() const {
    const QFontMetricsF metrics(CurrentFont(), &device_);
    return metrics.height() / scale_;
}

double PainterCanvas::TextWidth(const QString& text) const {
    const QFontMetricsF metrics(CurrentFont(), &device_);
    return metrics.horizontalAdvance(text) / scale_;
}

void PainterCanvas::DrawLine(double x1, double y1, double x2, double y2, QRgb colour) {
    if (!Finite(x1, y1, x2, y2))
        return;
    x1 = Near(x1), y1 = Near(y1), x2 = Near(x2), y2 = Near(y2);
    ApplyPen(colour);
    painter_.drawLine(QPointF(x1 * scale_, y1 * scale_), QPointF(x2 * scale_, y2 * scale_));
}

void PainterCanvas::DrawBox(double x1, double y1, double x2, double y2, QRgb outline, bool filled) {
    if (!Finite(x1, y1, x2, y2))
        return;
    x1 = Near(x1), y1 = Near(y1), x2 = Near(x2), y2 = Near(y2);
    ApplyPen(outline);
    painter_.setBrush(filled ? QBrush(QColor::fromRgb(FillColor)) : QBrush(Qt::NoBrush));
    painter_.drawRect(
        QRectF(QPointF(x1 * scale_, y1 * scale_), QPointF(x2 * scale_, y2 * scale_)).normalized());
    painter_.setBrush(Qt::NoBrush);
}

void PainterCanvas::DrawErase(double x1, double y1, double x2, double y2) {
    if (!Finite(x1, y1, x2, y2))
        return;
    x1 = Near(x1), y1 = Near(y1), x2 = Near(x2), y2 = Near(y2);
    painter_.fillRect(
        QRectF(QPointF(x1 * scale_, y1 * scale_), QPointF(x2 * scale_, y2 * scale_)).normalized(),
        QColor::fromRgb(BackColor));
}

} // namespace kirune
