#pragma once
// Helpers for driving the program's widgets offscreen: clicks as the mouse makes them, and
// looking at what was drawn.

#include "support/testutil.h"
#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <ostream>

namespace kirune::test {

// A left click at `pos` (widget coordinates): press and release, as the mouse sends them. The
// press may close the window (a button that registers): then no release follows.
inline void Click(QWidget* widget, const QPoint& pos) {
    QPointer<QWidget> target = widget;
    const QPointF local(pos);
    const QPointF global(widget->mapToGlobal(pos));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    if (!target)
        return;
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

// A left click in the middle of `widget`.
inline void Click(QWidget* widget) {
    Click(widget, widget->rect().center());
}

// A pixel counts as ink when it is dark (text is drawn black on light cells).
inline bool IsInk(const QColor& colour) {
    return colour.lightness() < 110;
}

inline int InkPixels(const QImage& image, const QRect& rect) {
    int count = 0;
    const QRect inside = rect.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += IsInk(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

// Horizontal bands of ink inside `rect` (the cell's own edge lines left out): one per line of
// text.
inline int InkBands(const QImage& image, const QRect& rect) {
    const QRect inside = rect.adjusted(2, 2, -3, -3).intersected(image.rect());
    int bands = 0;
    bool inBand = false;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        bool ink = false;
        for (int x = inside.left(); x <= inside.right() && !ink; ++x)
            ink = IsInk(image.pixelColor(x, y));
        if (ink && !inBand)
            ++bands;
        inBand = ink;
    }
    return bands;
}

// What assistive technology reads: the name and the role of a control. A drop-down list is
// known by its label (its own name is its text on Linux).
inline QString AccessibleName(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (!iface)
        return QStringLiteral("(none)");
    if (iface->role() == QAccessible::ComboBox) {
        const auto labels = iface->relations(QAccessible::Label);
        return labels.isEmpty() ? QStringLiteral("(no label)")
                                : labels.front().first->text(QAccessible::Name);
    }
    return iface->text(QAccessible::Name);
}
inline QAccessible::Role AccessibleRole(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->role() : QAccessible::NoRole;
}

inline void ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace kirune::test
