#pragma once
// Window geometry is given in twips (1/1440 inch); this is the one place that turns twips into
// pixels of the screen, using its logical resolution.

#include <QRect>

class QWidget;

namespace kirune {

// Logical dots per inch of the screen (96 when there is no screen).
double ScreenDpi();
int TwipsToPixels(double twips);
double PixelsToTwips(int pixels);
QRect TwipsRectToPixels(double left, double top, double width, double height);
// Places `widget` at a position and size given in twips (relative to its parent).
void PlaceTwips(QWidget* widget, double left, double top, double width, double height);

} // namespace kirune
