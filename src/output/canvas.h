#pragma once
// A drawing surface measured in twips (1/1440 inch) with the primitives the distribution graph
// and the printouts need. The state (position, font, colours, line width and style, fill) lives
// here; implementations draw text, lines and boxes.

#include <QRgb>
#include <QString>
#include <functional>

namespace kirune {

enum class DrawStyle { Solid, Dot };
enum class FillStyle { Solid, Transparent };

class Canvas {
public:
    virtual ~Canvas() = default;

    // True for the program's printer (the graph uses the printer geometry there).
    virtual bool IsPrinter() const = 0;
    // Width of the printable page in twips (the window's width for a window layer).
    virtual double PageWidth() const = 0;

    // Draws `text` with its top-left corner at the current position in the current font and
    // text colour, then moves the position to the start of the next line at the same left edge.
    void Print(const QString& text);
    // A line from (x1, y1) to (x2, y2) in the current line width and style.
    void Line(double x1, double y1, double x2, double y2, QRgb colour);
    // A rectangle between two corners outlined in `outline`; filled with FillColor when FillStyle
    // is Solid.
    void Box(double x1, double y1, double x2, double y2, QRgb outline);
    // Fills the rectangle between two corners with BackColor, wiping what was drawn there.
    void Erase(double x1, double y1, double x2, double y2) { DrawErase(x1, y1, x2, y2); }

    // Width of `text` and height of one line in twips in the current font.
    virtual double TextWidth(const QString& text) const = 0;
    double TextHeight() const { return LineHeight(); }

    double CurrentX = 0;
    double CurrentY = 0;
    QString FontName;
    double FontSize = 9;
    QRgb ForeColor = 0xff000000;
    int DrawWidth = 1; // pixels; a printer pixel is taken as 1/300 inch
    DrawStyle Style = DrawStyle::Solid;
    FillStyle Fill = FillStyle::Transparent;
    QRgb FillColor = 0xff000000;
    QRgb BackColor = 0xffffffff; // what Erase fills with

protected:
    virtual void DrawText(double x, double y, const QString& text) = 0;
    // Height of one line of text in twips in the current font.
    virtual double LineHeight() const = 0;
    virtual void DrawLine(double x1, double y1, double x2, double y2, QRgb colour) = 0;
    virtual void DrawBox(double x1, double y1, double x2, double y2, QRgb outline, bool filled) = 0;
    virtual void DrawErase(double x1, double y1, double x2, double y2) = 0;
};

inline void Canvas::Print(const QString& text) {
    DrawText(CurrentX, CurrentY, text);
    CurrentY += LineHeight();
}
inline void Canvas::Line(double x1, double y1, double x2, double y2, QRgb colour) {
    DrawLine(x1, y1, x2, y2, colour);
    CurrentX = x2;
    CurrentY = y2;
}
inline void Canvas::Box(double x1, double y1, double x2, double y2, QRgb outline) {
    DrawBox(x1, y1, x2, y2, outline, Fill == FillStyle::Solid);
    CurrentX = x2;
    CurrentY = y2;
}

constexpr QRgb kRankAColour = 0xff00ff00;      // green
constexpr QRgb kRankBColour = 0xffffff00;      // yellow (screen and graph)
constexpr QRgb kRankBPrintColour = 0xffff8000; // orange (the screen's tables)
constexpr QRgb kRankCColour = 0xffff00ff;      // magenta
constexpr QRgb kBlack = 0xff000000;

// On paper the ratings keep their hues but are dark enough to read on a printer that prints in
// greys (a contrast of at least 4.5 : 1 against white): a dark green, orange and magenta.
constexpr QRgb kRankAPaperText = 0xff007800;
constexpr QRgb kRankBPaperText = 0xffaa5500;
constexpr QRgb kRankCPaperText = 0xffaa00aa;
// The graph's boxes on paper: light green, middle orange, dark magenta, so that A, B and C
// differ in grey as well as in hue.
constexpr QRgb kRankAPaperFill = 0xffbef0be;
constexpr QRgb kRankBPaperFill = 0xfff09628;
constexpr QRgb kRankCPaperFill = 0xff961e96;

// The contrast of a colour against white, as WCAG 2 reckons it (1 to 21).
double ContrastWithWhite(QRgb colour);

// A text fitted into `room` twips: at `size` points when it fits, else at the largest half-point
// size down to 70 % of it at which it fits, else at 70 % and cut with "…" where the room ends.
struct FittedText {
    QString text;
    double size = 0;
};
FittedText FitText(Canvas& canvas, const QString& text, double room, double size);
// Shrink-to-fit, one rule for the tables on screen and on paper: a text `width` wide at `size`
// points, too wide for `room`, gets the largest size on half points below `size`, down to
// `smallest`, at which `fits` says it fits; `smallest` when none does. Widths grow almost in
// proportion to the size, so the size the width points to is tried first, then half a point
// less at a time (each size tried costs a measurement or a font).
double ShrunkSize(double size, double width, double room, double smallest,
                  const std::function<bool(double)>& fits);
// `text` as it is when `width` of it fits `room`, else cut with "…" where the room ends.
QString CutToWidth(QString text, double room, const std::function<double(const QString&)>& width);

} // namespace kirune
