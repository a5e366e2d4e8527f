#include "icons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>
#include <functional>

namespace kirune {
namespace {

// Every picture is drawn on a 32 x 32 canvas and scaled for the size asked.
using Drawing = std::function<void(QPainter&)>;

QPen Outline(const QColor& colour, double width = 1.5) {
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QIcon Render(const Drawing& draw) {
    QIcon icon;
    for (int size : {16, 20, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(size / 32.0, size / 32.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A sheet of paper with a folded top-right corner.
void Sheet(QPainter& p, const QRectF& r, const QColor& fill = Qt::white) {
    const double fold = r.width() * 0.3;
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(Outline(QColor(90, 90, 90)));
    p.setBrush(fill);
    p.drawPath(path);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(215, 215, 215));
    p.drawPath(corner);
}

void TextLines(QPainter& p, double left, double right, double top, int count, double step) {
    p.setPen(Outline(QColor(120, 140, 170), 1.6));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + i * step), QPointF(right, top + i * step));
}

void Pencil(QPainter& p) {
    p.save();
    p.translate(19, 20);
    p.rotate(-45);
    // body from x = -10 to 8, 6 wide
    p.setPen(Outline(QColor(120, 70, 0), 1.2));
    p.setBrush(QColor(250, 190, 40));
    p.drawRect(QRectF(-8, -3, 15, 6));
    p.setBrush(QColor(240, 130, 150));
    p.drawRect(QRectF(7, -3, 4, 6));
    QPainterPath tip;
    tip.moveTo(-8, -3);
    tip.lineTo(-14, 0);
    tip.lineTo(-8, 3);
    tip.closeSubpath();
    p.setBrush(QColor(245, 220, 180));
    p.drawPath(tip);
    p.setBrush(QColor(40, 40, 40));
    p.setPen(Qt::NoPen);
    QPainterPath lead;
    lead.moveTo(-12, -1);
    lead.lineTo(-14, 0);
    lead.lineTo(-12, 1);
    lead.closeSubpath();
    p.drawPath(lead);
    p.restore();
}

// --- Toolbar ------------------------------------------------------------------------------

void DrawNew(QPainter& p) {
    Sheet(p, QRectF(6, 3, 20, 26));
    // a small green plus: something new
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 150, 60));
    p.drawEllipse(QRectF(15, 17, 14, 14));
    p.setPen(Outline(Qt::white, 2.4));
    p.drawLine(QPointF(22, 20), QPointF(22, 28));
    p.drawLine(QPointF(18, 24), QPointF(26, 24));
}

void DrawOpen(QPainter& p) {
    p.setPen(Outline(QColor(150, 100, 0)));
    p.setBrush(QColor(235, 180, 50));
    QPainterPath back;
    back.moveTo(3, 8);
    back.lineTo(11, 8);
    back.lineTo(14, 11);
    back.lineTo(26, 11);
    back.lineTo(26, 27);
    back.lineTo(3, 27);
    back.closeSubpath();
    p.drawPath(back);
    Sheet(p, QRectF(8, 5, 15, 14));
    p.setPen(Outline(QColor(150, 100, 0)));
    p.setBrush(QColor(255, 210, 90));
    QPainterPath front;
    front.moveTo(3, 27);
    front.lineTo(8, 15);
    front.lineTo(30, 15);
    front.lineTo(26, 27);
    front.closeSubpath();
    p.drawPath(front);
}

void DrawSave(QPainter& p) {
    p.setPen(Outline(QColor(20, 50, 110)));
    p.setBrush(QColor(50, 100, 190));
    QPainterPath disk;
    disk.moveTo(4, 4);
    disk.lineTo(24, 4);
    disk.lineTo(28, 8);
    disk.lineTo(28, 28);
    disk.lineTo(4, 28);
    disk.closeSubpath();
    p.drawPath(disk);
    p.setBrush(QColor(225, 230, 240));
    p.drawRect(QRectF(9, 4, 13, 9));
    p.setBrush(QColor(50, 100, 190));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(17, 6, 3, 5));
    p.setPen(Outline(QColor(20, 50, 110)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 17, 16, 11));
    TextLines(p, 10.5, 21.5, 20.5, 3, 2.8);
}

void DrawPrint(QPainter& p) {
    Sheet(p, QRectF(9, 2, 14, 12));
    p.setPen(Outline(QColor(60, 60, 60)));
    p.setBrush(QColor(170, 175, 185));
    p.drawRoundedRect(QRectF(3, 12, 26, 12), 2.5, 2.5);
    p.setBrush(QColor(70, 200, 90));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(23, 15, 3, 3));
    p.setPen(Outline(QColor(60, 60, 60)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 20, 16, 10));
    TextLines(p, 10.5, 21.5, 23.5, 2, 3.2);
}

void DrawEdit(QPainter& p) {
    Sheet(p, QRectF(4, 3, 19, 25));
    TextLines(p, 7.5, 17, 10, 4, 4);
    Pencil(p);
}

// --- Tree ---------------------------------------------------------------------------------

void DrawSchool(QPainter& p) {
    p.setPen(Outline(QColor(90, 60, 40)));
    p.setBrush(QColor(250, 245, 230));
    p.drawRect(QRectF(3, 13, 26, 16));
    p.setBrush(QColor(200, 60, 50));
    QPainterPath roof;
    roof.moveTo(1, 14);
    roof.lineTo(16, 4);
    roof.lineTo(31, 14);
    roof.closeSubpath();
    p.drawPath(roof);
    // clock
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(12.5, 7.5, 7, 7));
    p.drawLine(QPointF(16, 11), QPointF(16, 9));
    p.drawLine(QPointF(16, 11), QPointF(17.5, 11));
    // door and windows
    p.setBrush(QColor(150, 100, 60));
    p.drawRect(QRectF(13, 21, 6, 8));
    p.setBrush(QColor(150, 200, 240));
    p.drawRect(QRectF(5.5, 17, 5, 5));
    p.drawRect(QRectF(21.5, 17, 5, 5));
}

void DrawBook(QPainter& p) {
    // an open book: reading and writing
    p.setPen(Outline(QColor(150, 30, 30)));
    p.setBrush(QColor(210, 50, 50));
    p.drawRoundedRect(QRectF(2, 7, 28, 21), 2, 2);
    p.setPen(Outline(QColor(110, 110, 110), 1.2));
    p.setBrush(Qt::white);
    QPainterPath left;
    left.moveTo(16, 9);
    left.cubicTo(12, 6, 7, 6, 4, 7);
    left.lineTo(4, 25);
    left.cubicTo(7, 24, 12, 24, 16, 26);
    left.closeSubpath();
    p.drawPath(left);
    QPainterPath right;
    right.moveTo(16, 9);
    right.cubicTo(20, 6, 25, 6, 28, 7);
    right.lineTo(28, 25);
    right.cubicTo(25, 24, 20, 24, 16, 26);
    right.closeSubpath();
    p.drawPath(right);
    p.setPen(Outline(QColor(80, 80, 80), 1.4));
    for (int i = 0; i < 3; ++i) {
        p.drawLine(QPointF(7, 12 + i * 4), QPointF(13, 12.5 + i * 4));
        p.drawLine(QPointF(19, 12.5 + i * 4), QPointF(25, 12 + i * 4));
    }
}

void DrawArithmetic(QPainter& p) {
    p.setPen(Outline(QColor(20, 60, 140)));
    p.setBrush(QColor(50, 110, 210));
    p.drawRoundedRect(QRectF(2, 2, 28, 28), 5, 5);
    p.setPen(Outline(Qt::white, 2.6));
    // plus, minus, times, divide in the four quarters
    p.drawLine(QPointF(9, 6), QPointF(9, 14));
    p.drawLine(QPointF(5, 10), QPointF(13, 10));
    p.drawLine(QPointF(19, 10), QPointF(27, 10));
    p.drawLine(QPointF(6, 19), QPointF(12, 25));
    p.drawLine(QPointF(12, 19), QPointF(6, 25));
    p.drawLine(QPointF(19, 22), QPointF(27, 22));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(23, 18.3), 1.6, 1.6);
    p.drawEllipse(QPointF(23, 25.7), 1.6, 1.6);
}

void DrawFlask(QPainter& p) {
    QPainterPath flask;
    flask.moveTo(12, 3);
    flask.lineTo(20, 3);
    flask.lineTo(20, 5);
    flask.lineTo(19, 5);
    flask.lineTo(19, 12);
    flask.lineTo(28, 27);
    flask.quadTo(29, 29, 26.5, 29);
    flask.lineTo(5.5, 29);
    flask.quadTo(3, 29, 4, 27);
    flask.lineTo(13, 12);
    flask.lineTo(13, 5);
    flask.lineTo(12, 5);
    flask.closeSubpath();
    p.setPen(Outline(QColor(40, 90, 50)));
    p.setBrush(QColor(235, 250, 240));
    p.drawPath(flask);
    QPainterPath liquid;
    liquid.moveTo(9, 19);
    liquid.lineTo(23, 19);
    liquid.lineTo(28, 27);
    liquid.quadTo(29, 29, 26.5, 29);
    liquid.lineTo(5.5, 29);
    liquid.quadTo(3, 29, 4, 27);
    liquid.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 190, 90));
    p.drawPath(liquid);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(13, 24), 1.8, 1.8);
    p.drawEllipse(QPointF(18, 22), 1.2, 1.2);
    p.setPen(Outline(QColor(40, 90, 50)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(flask);
}

void DrawGlobe(QPainter& p) {
    const QRectF ball(3, 3, 26, 26);
    p.setPen(Outline(QColor(20, 70, 130)));
    p.setBrush(QColor(80, 160, 230));
    p.drawEllipse(ball);
    p.save();
    QPainterPath clip;
    clip.addEllipse(ball);
    p.setClipPath(clip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 170, 70));
    QPainterPath land;
    land.moveTo(6, 9);
    land.cubicTo(10, 5, 15, 8, 14, 12);
    land.cubicTo(13, 16, 9, 15, 10, 20);
    land.cubicTo(11, 24, 6, 24, 4, 19);
    land.closeSubpath();
    land.moveTo(19, 14);
    land.cubicTo(24, 12, 29, 16, 27, 21);
    land.cubicTo(25, 26, 20, 27, 19, 22);
    land.closeSubpath();
    p.drawPath(land);
    p.setPen(Outline(QColor(255, 255, 255, 170), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(10, 3, 12, 26));
    p.drawLine(QPointF(3, 16), QPointF(29, 16));
    p.restore();
    p.setPen(Outline(QColor(20, 70, 130)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(ball);
}

void DrawPot(QPainter& p) {
    // a cooking pot with a lid and steam
    p.setPen(Outline(QColor(160, 160, 160), 1.4));
    p.setBrush(Qt::NoBrush);
    QPainterPath steam;
    steam.moveTo(12, 9);
    steam.cubicTo(10, 7, 14, 5, 12, 2);
    steam.moveTo(20, 9);
    steam.cubicTo(18, 7, 22, 5, 20, 2);
    p.drawPath(steam);
    p.setPen(Outline(QColor(120, 40, 60)));
    p.setBrush(QColor(200, 70, 110));
    p.drawRoundedRect(QRectF(5, 15, 22, 13), 3, 3);
    p.drawRect(QRectF(1, 16.5, 4, 3));
    p.drawRect(QRectF(27, 16.5, 4, 3));
    p.setBrush(QColor(230, 120, 150));
    QPainterPath lid;
    lid.moveTo(4, 15);
    lid.quadTo(16, 6, 28, 15);
    lid.closeSubpath();
    p.drawPath(lid);
    p.drawEllipse(QRectF(14, 8.5, 4, 3));
}

void DrawBall(QPainter& p) {
    const QRectF ball(3, 3, 26, 26);
    p.setPen(Outline(QColor(150, 70, 0)));
    p.setBrush(QColor(245, 140, 30));
    p.drawEllipse(ball);
    p.setPen(Outline(QColor(110, 50, 0), 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(3, 16), QPointF(29, 16));
    p.drawLine(QPointF(16, 3), QPointF(16, 29));
    p.drawArc(QRectF(-7, 7, 18, 18), -60 * 16, 120 * 16);
    p.drawArc(QRectF(21, 7, 18, 18), 120 * 16, 120 * 16);
}

void DrawBlossom(QPainter& p) {
    // cherry blossom: spring
    p.setPen(Outline(QColor(200, 80, 120), 1.2));
    p.setBrush(QColor(255, 175, 200));
    for (int i = 0; i < 5; ++i) {
        p.save();
        p.translate(16, 16);
        p.rotate(i * 72.0);
        QPainterPath petal;
        petal.moveTo(0, 0);
        petal.cubicTo(-8, -5, -6, -14, -1.5, -14);
        petal.lineTo(0, -12);
        petal.lineTo(1.5, -14);
        petal.cubicTo(6, -14, 8, -5, 0, 0);
        p.drawPath(petal);
        p.restore();
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 60, 110));
    p.drawEllipse(QPointF(16, 16), 3, 3);
}

void DrawLeaf(QPainter& p) {
    // an autumn leaf
    p.setPen(Outline(QColor(140, 50, 0)));
    p.setBrush(QColor(235, 100, 20));
    QPainterPath leaf;
    leaf.moveTo(6, 26);
    leaf.cubicTo(2, 14, 12, 3, 28, 3);
    leaf.cubicTo(29, 19, 18, 29, 6, 26);
    leaf.closeSubpath();
    p.drawPath(leaf);
    p.setPen(Outline(QColor(140, 50, 0), 1.3));
    p.drawLine(QPointF(3, 29), QPointF(22, 9));
    p.drawLine(QPointF(13, 18), QPointF(12, 11));
    p.drawLine(QPointF(13, 18), QPointF(20, 19));
    p.drawLine(QPointF(18, 13), QPointF(18, 7));
    p.drawLine(QPointF(18, 13), QPointF(24, 14));
}

void DrawSnow(QPainter& p) {
    p.setPen(Outline(QColor(40, 120, 210), 2.2));
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(16, 16);
        p.rotate(i * 60.0);
        p.drawLine(QPointF(0, -13), QPointF(0, 13));
        for (int side : {-1, 1}) {
            p.drawLine(QPointF(0, side * -8), QPointF(-4, side * -11.5));
            p.drawLine(QPointF(0, side * -8), QPointF(4, side * -11.5));
        }
        p.restore();
    }
}

void DrawBulb(QPainter& p, bool lit) {
    if (lit) {
        p.setPen(Outline(QColor(240, 170, 0), 1.8));
        for (int i = 0; i < 5; ++i) {
            p.save();
            p.translate(16, 13);
            p.rotate(-90 + (i - 2) * 40.0);
            p.drawLine(QPointF(12, 0), QPointF(15, 0));
            p.restore();
        }
    }
    p.setPen(Outline(lit ? QColor(180, 120, 0) : QColor(110, 110, 110)));
    p.setBrush(lit ? QColor(255, 225, 60) : QColor(225, 225, 225));
    QPainterPath glass;
    glass.moveTo(12, 22);
    glass.cubicTo(12, 18, 6, 17, 6, 11.5);
    glass.cubicTo(6, 6, 11, 3, 16, 3);
    glass.cubicTo(21, 3, 26, 6, 26, 11.5);
    glass.cubicTo(26, 17, 20, 18, 20, 22);
    glass.closeSubpath();
    p.drawPath(glass);
    p.setBrush(QColor(150, 150, 160));
    p.setPen(Outline(QColor(90, 90, 100), 1.2));
    p.drawRect(QRectF(12, 22, 8, 6));
    p.drawLine(QPointF(12, 24), QPointF(20, 24));
    p.drawLine(QPointF(12, 26), QPointF(20, 26));
    p.setPen(Outline(lit ? QColor(200, 110, 0) : QColor(150, 150, 150), 1.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath filament;
    filament.moveTo(14, 22);
    filament.lineTo(14, 14);
    filament.lineTo(16, 12);
    filament.lineTo(18, 14);
    filament.lineTo(18, 22);
    p.drawPath(filament);
}

void DrawTest(QPainter& p) {
    Sheet(p, QRectF(5, 2, 22, 28));
    TextLines(p, 9, 19, 9, 2, 4.5);
    TextLines(p, 9, 12, 18, 2, 4.5);
    // the red circle of a marked answer sheet
    p.setPen(Outline(QColor(220, 30, 30), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(14, 16, 10, 10));
}

const QHash<QString, Drawing>& ToolbarDrawings() {
    static const QHash<QString, Drawing> drawings = {
        {QStringLiteral("New"), DrawNew},   {QStringLiteral("Open"), DrawOpen},
        {QStringLiteral("Save"), DrawSave}, {QStringLiteral("Print"), DrawPrint},
        {QStringLiteral("Edit"), DrawEdit},
    };
    return drawings;
}

const QHash<QString, Drawing>& TreeDrawings() {
    static const QHash<QString, Drawing> drawings = {
        {QStringLiteral("root"), DrawSchool},
        {QStringLiteral("LANGUAGE"), DrawBook},
        {QStringLiteral("ARITHMETIC"), DrawArithmetic},
        {QStringLiteral("SCIENCE"), DrawFlask},
        {QStringLiteral("SOCIETY"), DrawGlobe},
        {QStringLiteral("HOMEMAKE"), DrawPot},
        {QStringLiteral("PHYSICAL"), DrawBall},
        {QStringLiteral("SPRING"), DrawBlossom},
        {QStringLiteral("AUTUMN"), DrawLeaf},
        {QStringLiteral("WINTER"), DrawSnow},
        {QStringLiteral("lighton"), [](QPainter& p) { DrawBulb(p, true); }},
        {QStringLiteral("lightoff"), [](QPainter& p) { DrawBulb(p, false); }},
        {QStringLiteral("test"), DrawTest},
    };
    return drawings;
}

QIcon Cached(const QHash<QString, Drawing>& drawings, QHash<QString, QIcon>& cache,
             const QString& key) {
    auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    auto drawing = drawings.constFind(key);
    QIcon icon = drawing == drawings.constEnd() ? QIcon() : Render(*drawing);
    cache.insert(key, icon);
    return icon;
}

} // namespace

QIcon ToolbarIcon(const QString& imageKey) {
    static QHash<QString, QIcon> cache;
    return Cached(ToolbarDrawings(), cache, imageKey);
}

QIcon TreeIcon(const QString& imageKey) {
    static QHash<QString, QIcon> cache;
    return Cached(TreeDrawings(), cache, imageKey);
}

QIcon ProgramIcon() {
    static const QIcon icon = Render([](QPainter& p) {
        p.setPen(Outline(QColor(30, 80, 60)));
        p.setBrush(QColor(40, 130, 90));
        p.drawRoundedRect(QRectF(2, 2, 28, 28), 5, 5);
        Sheet(p, QRectF(7, 5, 18, 23));
        p.setPen(Outline(QColor(120, 140, 170), 1.3));
        for (int i = 0; i < 2; ++i)
            p.drawLine(QPointF(10, 11 + i * 4), QPointF(21, 11 + i * 4));
        for (int i = 2; i < 4; ++i)
            p.drawLine(QPointF(10, 11 + i * 4), QPointF(13, 11 + i * 4));
        p.setPen(Outline(QColor(220, 30, 30), 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(15, 17, 8, 8));
    });
    return icon;
}

QStringList ToolbarImageKeys() {
    return ToolbarDrawings().keys();
}
QStringList TreeImageKeys() {
    return TreeDrawings().keys();
}

} // namespace kirune
