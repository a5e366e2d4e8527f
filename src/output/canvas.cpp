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
            const QString ellipsis(QChar(0x2026));
            QString cut = text;
            while (!cut.isEmpty() && width(cut + ellipsis, smallest) > room)
                cut.chop(cut.size() >= 2 && cut.back().isLowSurrogate() ? 2 : 1);
            fitted.text = cut + ellipsis;
        }
    }
    canvas.FontSize = shown;
    return fitted;
}

} // namespace kirune
