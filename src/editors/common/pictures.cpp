#include "pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

namespace kirune {

namespace {
constexpr qreal kPictureScale = 2.0;
}

QPixmap NewPicture(int width, int height) {
    QPixmap pixmap(static_cast<int>(width * kPictureScale),
                   static_cast<int>(height * kPictureScale));
    pixmap.setDevicePixelRatio(kPictureScale);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap ArrowPicture(ArrowDirection direction) {
    // The arrow is drawn pointing right in a 36 x 24 box, then turned into place.
    const bool across = direction == ArrowDirection::Left || direction == ArrowDirection::Right;
    const int w = across ? 36 : 24;
    const int h = across ? 24 : 36;
    QPainterPath path;
    path.moveTo(2, 8);
    path.lineTo(19, 8);
    path.lineTo(19, 1);
    path.lineTo(34, 12);
    path.lineTo(19, 23);
    path.lineTo(19, 16);
    path.lineTo(2, 16);
    path.closeSubpath();
    QTransform turn;
    switch (direction) {
    case ArrowDirection::Right:
        break;
    case ArrowDirection::Left:
        turn.translate(w, 0);
        turn.scale(-1, 1);
        break;
    case ArrowDirection::Down:
        turn.translate(w, 0);
        turn.rotate(90);
        break;
    case ArrowDirection::Up:
        turn.translate(0, h);
        turn.rotate(-90);
        break;
    }
    path = turn.map(path);

    QPixmap pixmap = NewPicture(w, h);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const bool forward = direction == ArrowDirection::Right || direction == ArrowDirection::Down;
    p.setPen(QPen(QColor(0, 70, 140), 1.2));
    p.setBrush(forward ? QColor(60, 140, 230) : QColor(90, 170, 90));
    p.drawPath(path);
    return pixmap;
}

} // namespace kirune
