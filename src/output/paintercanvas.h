#pragma once
// The canvas on a QPainter: a window layer (a persistent picture that the window paints until it
// clears it) or the printer. Positions in twips are scaled to the device's resolution.

#include "canvas.h"

#include <QFont>

class QPainter;
class QPaintDevice;

namespace kirune {

class PainterCanvas : public Canvas {
public:
    // `painter` must be active on `device`. `printer` selects the printer geometry of the graph.
    // `originTwips` is subtracted from every position (a printer's page origin, say).
    PainterCanvas(QPainter& painter, const QPaintDevice& device, bool printer,
                  double pageWidthTwips);

    bool IsPrinter() const override { return printer_; }
    double PageWidth() const override { return pageWidth_; }

    double Scale() const { return scale_; } // device pixels per twip
    double TextWidth(const QString& text) const override;

protected:
    void DrawText(double x, double y, const QString& text) override;
    double LineHeight() const override;
    void DrawLine(double x1, double y1, double x2, double y2, QRgb colour) override;
    void DrawBox(double x1, double y1, double x2, double y2, QRgb outline, bool filled) override;
    void DrawErase(double x1, double y1, double x2, double y2) override;

private:
    QFont CurrentFont() const;
    void ApplyPen(QRgb colour) const;
    QPainter& painter_;
    const QPaintDevice& device_;
    bool printer_;
    double pageWidth_;
    double scale_;
};

} // namespace kirune
