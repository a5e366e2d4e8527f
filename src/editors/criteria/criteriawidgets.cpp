#include "criteriawidgets.h"

#include "editors/common/accessibility.h"
#include "editors/common/twips.h"
#include "output/paintercanvas.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <numbers>

using namespace Qt::StringLiterals;

namespace kirune {

void GraphLayer::Resize(const QSize& size, qreal pixelRatio) {
    // As many pixels as the screen shows for the window (twice as many each way at scale 2),
    // so that the graphs are as sharp as the window's texts.
    image_ = QImage(size * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(pixelRatio);
    // The layer's resolution is the screen's, so twips land where the controls' twips do.
    const int dotsPerMeter = static_cast<int>(std::lround(ScreenDpi() / 0.0254));
    image_.setDotsPerMeterX(dotsPerMeter);
    image_.setDotsPerMeterY(dotsPerMeter);
}

void GraphLayer::Clear(const QColor& background) {
    background_ = background;
    image_.fill(background);
}

void GraphLayer::Paint(const std::function<void(Canvas&)>& draw) {
    if (image_.isNull())
        return;
    QPainter painter(&image_);
    PainterCanvas canvas(painter, image_, false,
                         PixelsToTwips(image_.deviceIndependentSize().width()));
    // The window's font for the graphs: a fixed-pitch Gothic, whose half-width digits keep
    // three-digit column labels apart at the window's narrow column pitch.
    canvas.FontName = u"ＭＳ ゴシック"_s;
    canvas.FontSize = 9;
    canvas.BackColor = background_.rgba();
    // The graphs' texts stay readable on the window's background, light or dark.
    canvas.ForeColor = ReadableOn(QColor::fromRgba(canvas.ForeColor), background_).rgba();
    draw(canvas);
}

SpinButtons::SpinButtons(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const auto add = [this, layout](Qt::ArrowType arrow, int delta) {
        auto* button = new QToolButton(this);
        button->setArrowType(arrow);
        // No auto-repeat: a refused step shows a message box, which would swallow the
        // button's release and leave it stepping.
        button->setAutoRepeat(false);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setIconSize(QSize(6, 6));
        connect(button, &QToolButton::clicked, this, [this, delta] {
            if (stepped)
                stepped(delta);
        });
        layout->addWidget(button);
    };
    add(Qt::UpArrow, +1);
    add(Qt::DownArrow, -1);
}

ShareLineEdit::ShareLineEdit(QWidget* parent) : QLineEdit(parent) {
    // Numbers only: no input method.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setInputMethodHints(Qt::ImhPreferNumbers);
}

void ShareLineEdit::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && stepped) {
        stepped(event->key() == Qt::Key_Up ? +1 : -1);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

QLabel* MakeRankLabel(QWidget* parent, const QString& text, QRgb background) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(background));
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    label->setFrameShape(QFrame::Box);
    return label;
}

DecorativePicture::DecorativePicture(QWidget* parent, Kind kind, QRgb colour)
    : QWidget(parent), kind_(kind), colour_(colour) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const char16_t* names[] = {u"星の絵", u"丸の絵",   u"三角の絵", u"馬の絵",
                               u"猫の絵", u"鉛筆の絵", u"花の絵"};
    setAccessibleName(QString::fromUtf16(names[static_cast<int>(kind)]));
}

void DecorativePicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    const QColor colour = QColor::fromRgb(colour_);
    p.setPen(QPen(colour.darker(170), 1));
    p.setBrush(colour);
    const double w = r.width(), h = r.height();
    const QPointF c = r.center();
    switch (kind_) {
    case Kind::Star: {
        QPainterPath path;
        for (int i = 0; i < 10; ++i) {
            const double radius = (i % 2 == 0 ? 0.5 : 0.22) * std::min(w, h);
            const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
            const QPointF pt(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
            i == 0 ? path.moveTo(pt) : path.lineTo(pt);
        }
        path.closeSubpath();
        p.drawPath(path);
        break;
    }
    case Kind::Circle:
        p.drawEllipse(c, 0.4 * std::min(w, h), 0.4 * std::min(w, h));
        break;
    case Kind::Triangle: {
        const QPointF pts[3] = {{c.x(), r.top() + 0.1 * h},
                                {r.left() + 0.1 * w, r.bottom() - 0.1 * h},
                                {r.right() - 0.1 * w, r.bottom() - 0.1 * h}};
        p.drawPolygon(pts, 3);
        break;
    }
    case Kind::Horse: {
        // A small brown horse standing on grass.
        p.setBrush(QColor(120, 200, 90));
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(r.left(), r.top() + 0.85 * h, w, 0.15 * h));
        const QColor brown(150, 95, 50);
        p.setPen(QPen(brown.darker(150), std::max(2.0, w / 30)));
        for (double lx : {0.30, 0.40, 0.62, 0.72})
            p.drawLine(QPointF(r.left() + lx * w, r.top() + 0.55 * h),
                       QPointF(r.left() + lx * w, r.top() + 0.87 * h));
        p.setPen(QPen(brown.darker(150), 1));
        p.setBrush(brown);
        p.drawEllipse(QRectF(r.left() + 0.22 * w, r.top() + 0.38 * h, 0.56 * w, 0.24 * h));
        QPainterPath neck;
        neck.moveTo(r.left() + 0.66 * w, r.top() + 0.45 * h);
        neck.lineTo(r.left() + 0.78 * w, r.top() + 0.18 * h);
        neck.lineTo(r.left() + 0.92 * w, r.top() + 0.26 * h);
        neck.lineTo(r.left() + 0.88 * w, r.top() + 0.33 * h);
        neck.lineTo(r.left() + 0.80 * w, r.top() + 0.30 * h);
        neck.lineTo(r.left() + 0.76 * w, r.top() + 0.48 * h);
        neck.closeSubpath();
        p.drawPath(neck);
        p.setPen(QPen(QColor(60, 35, 20), std::max(2.0, w / 25)));
        p.drawLine(QPointF(r.left() + 0.22 * w, r.top() + 0.45 * h),
                   QPointF(r.left() + 0.12 * w, r.top() + 0.62 * h)); // tail
        p.drawLine(QPointF(r.left() + 0.70 * w, r.top() + 0.25 * h),
                   QPointF(r.left() + 0.76 * w, r.top() + 0.16 * h)); // mane
        break;
    }
    case Kind::Cat: {
        // A grey cat's face.
        const QColor grey(150, 150, 150);
        p.setBrush(grey);
        const double s = std::min(w, h);
        const QPointF ears[2][3] = {{{c.x() - 0.38 * s, c.y() - 0.05 * s},
                                     {c.x() - 0.30 * s, c.y() - 0.45 * s},
                                     {c.x() - 0.05 * s, c.y() - 0.25 * s}},
                                    {{c.x() + 0.38 * s, c.y() - 0.05 * s},
                                     {c.x() + 0.30 * s, c.y() - 0.45 * s},
                                     {c.x() + 0.05 * s, c.y() - 0.25 * s}}};
        p.drawPolygon(ears[0], 3);
        p.drawPolygon(ears[1], 3);
        p.drawEllipse(c + QPointF(0, 0.05 * s), 0.4 * s, 0.33 * s);
        p.setBrush(Qt::black);
        p.drawEllipse(c + QPointF(-0.15 * s, 0), 0.04 * s, 0.06 * s);
        p.drawEllipse(c + QPointF(0.15 * s, 0), 0.04 * s, 0.06 * s);
        p.setBrush(QColor(240, 140, 160));
        p.drawEllipse(c + QPointF(0, 0.12 * s), 0.04 * s, 0.03 * s);
        p.setPen(QPen(Qt::black, 1));
        for (int side : {-1, 1})
            for (double dy : {0.10, 0.17})
                p.drawLine(c + QPointF(side * 0.12 * s, dy * s),
                           c + QPointF(side * 0.42 * s, (dy + (dy - 0.135) * 1.5) * s));
        break;
    }
    case Kind::Pencil: {
        p.translate(c);
        p.rotate(-35);
        const double len = 0.9 * std::max(w, h), thick = 0.22 * std::min(w, h);
        p.setBrush(QColor(250, 200, 40));
        p.drawRect(QRectF(-len / 2, -thick / 2, 0.75 * len, thick));
        p.setBrush(QColor(240, 210, 170));
        const QPointF tip[3] = {{0.25 * len, -thick / 2}, {0.25 * len, thick / 2}, {len / 2, 0}};
        p.drawPolygon(tip, 3);
        break;
    }
    case Kind::Flower: {
        const double s = std::min(w, h);
        for (int i = 0; i < 5; ++i) {
            const double angle = i * 2 * std::numbers::pi / 5;
            p.drawEllipse(c + QPointF(0.22 * s * std::cos(angle), 0.22 * s * std::sin(angle)),
                          0.16 * s, 0.16 * s);
        }
        p.setBrush(QColor(250, 220, 60));
        p.drawEllipse(c, 0.13 * s, 0.13 * s);
        break;
    }
    }
}

} // namespace kirune
