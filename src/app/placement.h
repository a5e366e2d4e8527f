#pragma once
// Where windows go on the screen: a stored placement brought inside the available area, and
// editor windows centred over the main window. Pure rectangles, so that tests can give any
// screen geometry.

#include <QList>
#include <QRect>

class QWidget;

namespace kirune {

// `outer` brought inside the available area of the screen that shows most of it (the first area
// when none shows any): no larger than that area, moved in from its edges.
QRect FitPlacement(const QRect& outer, const QList<QRect>& availableAreas);
// A window of `size` centred over `over`, then brought inside the available areas.
QRect CenteredOver(const QSize& size, const QRect& over, const QList<QRect>& availableAreas);
// The available areas of the screens, the primary screen's first.
QList<QRect> AvailableScreenAreas();

} // namespace kirune
