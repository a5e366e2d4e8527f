#pragma once
// Small pictures the editor windows draw for themselves: a transparent canvas that stays crisp on
// dense screens, and the fat arrows of the previous/next buttons.

#include <QPixmap>

namespace kirune {

// A transparent pixmap of `width` x `height` device-independent pixels, drawn at twice the size.
QPixmap NewPicture(int width, int height);

enum class ArrowDirection { Left, Right, Up, Down };
// Forward arrows (right, down: the next pupil) are blue, backward ones green.
QPixmap ArrowPicture(ArrowDirection direction);

} // namespace kirune
