#include "canvas.h"

#include <cmath>

namespace kirune {

double ContrastWithWhite(QRgb colour) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) +
                             0.0722 * linear(qBlue(colour));
    return 1.05 / (luminance + 0.05);
}

QString CutToWidth(QString text, double room, const std::function<double(const QString&)>& width) {
    if (width(text) <= room)
        return text;
    const QString ellipsis(QChar(0x2026));
    while (!text.isEmpty() && width(text + ellipsis) > room)
        text.chop(text.size() >= 2 && text.back().isLowSurrogate() ? 2 : 1);
    return text + ellipsis;
}

FittedText FitText(Canvas& canvas, const QString& text, double room, double size) {
    const double shown = canvas.FontSize;
    const auto width = [&canvas](const QString& t, double s) {
        canvas.FontSize = s;
        return canvas.TextWidth(t);
    };
    FittedText fitted{text, size};
    const double smallest = size * 0.7;
    if (width(text, size) > room) {
        // The size the width points to first (widths grow almost in proportion), then half a
        // point less at a time.
        double s = std::floor(size * room / std::max(width(text, size), 1.0) * 2) / 2;
        while (s >= smallest && width(text, s) > room)
            s -= 0.5;
        if (s >= smallest) {
            fitted.size = s;
        } else {
            fitted.size = smallest;
            fitted.text =
                CutToWidth(text, room, [&](const QString& t) { return width(t, smallest); });
        }
    }
    canvas.FontSize = shown;
    return fitted;
}

} // namespace kirune
