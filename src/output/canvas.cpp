#include "canvas.h"

#include <algorithm>
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

double ShrunkSize(double size, double width, double room, double smallest,
                  const std::function<bool(double)>& fits) {
    double s = std::floor(size * room / std::max(width, 1.0) * 2) / 2;
    s = std::max(std::min(s, size - 0.5), smallest);
    while (s > smallest && !fits(s))
        s = std::max(smallest, s - 0.5);
    return s;
}

FittedText FitText(Canvas& canvas, const QString& text, double room, double size) {
    const double shown = canvas.FontSize;
    const auto width = [&canvas](const QString& t, double s) {
        canvas.FontSize = s;
        return canvas.TextWidth(t);
    };
    FittedText fitted{text, size};
    const double full = width(text, size);
    if (full > room) {
        fitted.size = ShrunkSize(size, full, room, size * 0.7,
                                 [&](double s) { return width(text, s) <= room; });
        // Cut with "…" when it does not fit even at the smallest size.
        fitted.text =
            CutToWidth(text, room, [&](const QString& t) { return width(t, fitted.size); });
    }
    canvas.FontSize = shown;
    return fitted;
}

} // namespace kirune
