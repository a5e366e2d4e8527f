#pragma once
// Pieces the two criteria windows share: the persistent drawing layer the graphs are drawn on,
// the share boxes with their spinners, the coloured rank labels and the decorative pictures.

#include "output/canvas.h"

#include <QColor>
#include <QImage>
#include <QLineEdit>
#include <QWidget>
#include <functional>

class QLabel;

namespace kirune {

// The window's own drawing surface: what is drawn stays until it is cleared (on activation).
class GraphLayer {
public:
    // A layer of `size` pixels at the screen's resolution, drawn at `pixelRatio` device pixels
    // to a pixel.
    void Resize(const QSize& size, qreal pixelRatio = 1.0);
    void Clear(const QColor& background);
    // Runs `draw` on a window canvas over the layer, in the window's font.
    void Paint(const std::function<void(Canvas&)>& draw);
    const QImage& image() const { return image_; }

private:
    QImage image_;
    QColor background_{Qt::white}; // what the graphs are erased with
};

// The spinner bound to a share box: two small arrow buttons stacked. `stepped` gets +1 or -1.
class SpinButtons : public QWidget {
public:
    explicit SpinButtons(QWidget* parent);
    std::function<void(int)> stepped;
};

// A share box: a one-line text box that also steps with the Up and Down keys, like its spinner.
class ShareLineEdit : public QLineEdit {
public:
    explicit ShareLineEdit(QWidget* parent);
    std::function<void(int)> stepped;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// "Aランク" on green, "Bランク" on yellow, "Cランク" on magenta.
QLabel* MakeRankLabel(QWidget* parent, const QString& text, QRgb background);

// A small fixed picture that only decorates the window.
class DecorativePicture : public QWidget {
public:
    enum class Kind { Star, Circle, Triangle, Horse, Cat, Pencil, Flower };
    DecorativePicture(QWidget* parent, Kind kind, QRgb colour = 0xff808080);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind kind_;
    QRgb colour_;
};

} // namespace kirune
