#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace kirune {

double ScreenDpi() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const double dpi = screen->logicalDotsPerInchX();
        if (dpi > 0)
            return dpi;
    }
    return 96.0;
}

int TwipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips * ScreenDpi() / 1440.0));
}

double PixelsToTwips(int pixels) {
    return pixels * 1440.0 / ScreenDpi();
}

QRect TwipsRectToPixels(double left, double top, double width, double height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

void PlaceTwips(QWidget* widget, double left, double top, double width, double height) {
    widget->setGeometry(TwipsRectToPixels(left, top, width, height));
}

} // namespace kirune
