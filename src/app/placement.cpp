#include "placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace kirune {

QRect FitPlacement(const QRect& outer, const QList<QRect>& availableAreas) {
    if (availableAreas.isEmpty())
        return outer;
    QRect area = availableAreas.front();
    long long best = 0;
    for (const QRect& candidate : availableAreas) {
        const QRect seen = candidate.intersected(outer);
        const long long shown = seen.isEmpty() ? 0 : 1LL * seen.width() * seen.height();
        if (shown > best) {
            best = shown;
            area = candidate;
        }
    }
    QRect fitted = outer;
    fitted.setSize(outer.size().boundedTo(area.size()).expandedTo(QSize(1, 1)));
    fitted.moveLeft(std::clamp(fitted.left(), area.left(), area.right() - fitted.width() + 1));
    fitted.moveTop(std::clamp(fitted.top(), area.top(), area.bottom() - fitted.height() + 1));
    return fitted;
}

QRect CenteredOver(const QSize& size, const QRect& over, const QList<QRect>& availableAreas) {
    QRect placed(QPoint(0, 0), size);
    placed.moveCenter(over.center());
    return FitPlacement(placed, availableAreas);
}

QList<QRect> AvailableScreenAreas() {
    QList<QRect> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas << primary->availableGeometry();
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            areas << screen->availableGeometry();
    return areas;
}

} // namespace kirune
