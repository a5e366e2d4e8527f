#include "icons.h"

#include "helpwindow.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QLinearGradient>
#include <QMainWindow>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QProxyStyle>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStyleOption>
#include <QTimer>
#include <QVarLengthArray>
#include <QWidget>
#include <QtEndian>
#include <bit>
#include <cstring>
#include <functional>
#include <optional>

namespace kirune {
namespace {

// A picture made only when it is first drawn or measured: the style's own picture files (the
// menu bar's overflow arrow, which nobody sees at start-up) and the program's icon are not read
// or drawn before they are needed.
class DeferredIconEngine : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> make) : make_(std::move(make)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, 1.0, mode, state);
    }
    // Asked for device pixels (the size already multiplied by the scale).
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal) override {
        return pixmap(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QString key() const override { return QStringLiteral("KiruneDeferred"); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }
    bool isNull() override { return false; } // only made for pictures that exist

private:
    const QIcon& icon() {
        if (!made_)
            made_ = make_();
        return *made_;
    }

    std::function<QIcon()> make_;
    std::optional<QIcon> made_;
};

// The pictures are SVG files in the program's resources (src/app/icons/), drawn by Qt's SVG
// plugin at whatever size is asked: a picture is changed by editing its file. Each size drawn is
// kept: for this run in memory, and for the next starts as a file of its pixels in the user's
// cache folder, named by the SVG's bytes, the size, the look (normal, disabled) and the Qt
// version that drew it. A start then reads a few small files (copied, not decoded as a PNG
// would be) instead of loading the SVG plugin and drawing every picture again; a changed SVG
// file, or another Qt, is drawn afresh.

// The path of a picture in the resources, empty when there is none.
QString ResourcePicture(const QString& file) {
    HelpWindow::EnsureResources(); // the program's resources, pictures and help alike
    const QString path = QStringLiteral(":/icons/") + file + QStringLiteral(".svg");
    return QFile::exists(path) ? path : QString();
}

// Raised to have every picture drawn or read again (tests).
int& PictureGeneration() {
    static int generation = 0;
    return generation;
}

QString PictureFolder() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return cache.isEmpty() ? QString() : cache + QStringLiteral("/pictures");
}

// The name a drawn picture is kept under.
QString PictureName(const QString& svgPath, int side, QIcon::Mode mode) {
    static QHash<QString, QString> names; // by file: its bytes' hash
    auto found = names.constFind(svgPath);
    if (found == names.constEnd()) {
        QFile file(svgPath);
        QCryptographicHash hash(QCryptographicHash::Sha1);
        if (file.open(QIODevice::ReadOnly))
            hash.addData(file.readAll());
        hash.addData(QByteArray(qVersion()));
        found = names.insert(svgPath, QString::fromLatin1(hash.result().toHex()));
    }
    return *found + QStringLiteral("-%1-%2.pixels").arg(side).arg(static_cast<int>(mode));
}

// A kept picture's file: a mark, the pixels (premultiplied ARGB, row by row) and their checksum.
constexpr char kPixelsMark[] = "KIRUNE-PIXELS-2\n";
constexpr qsizetype kPixelsMarkSize = sizeof(kPixelsMark) - 1;
constexpr qsizetype kSumSize = 8;

// The checksum of the pixels, taken eight bytes at a time (a byte-wise CRC of the program's
// 128-pixel icon took a quarter of a millisecond of every start). Each step mixes one word into
// the sum in a way that can be undone, so a change to any one word always changes the sum.
quint64 PixelsSum(QByteArrayView bytes) {
    constexpr quint64 kPrime = 0x100000001b3;
    quint64 sum = 0xcbf29ce484222325;
    qsizetype at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        quint64 word;
        std::memcpy(&word, bytes.data() + at, sizeof word);
        sum = (std::rotl(sum, 5) ^ word) * kPrime;
    }
    for (; at < bytes.size(); ++at)
        sum = (std::rotl(sum, 5) ^ static_cast<uchar>(bytes[at])) * kPrime;
    return sum;
}

QByteArray PixelsFile(const QImage& picture) {
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray bytes(kPixelsMark, kPixelsMarkSize);
    for (int y = 0; y < pixels.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(pixels.constScanLine(y)), pixels.width() * 4);
    const quint64 sum = qToLittleEndian(PixelsSum(QByteArrayView(bytes).sliced(kPixelsMarkSize)));
    bytes.append(reinterpret_cast<const char*>(&sum), kSumSize);
    return bytes;
}

// The square picture of `side` a kept file holds; a null one for a file that does not fit.
QImage FromPixelsFile(const QByteArray& bytes, int side) {
    const qsizetype pixelBytes = qsizetype{side} * side * 4;
    if (bytes.size() != kPixelsMarkSize + pixelBytes + kSumSize ||
        !bytes.startsWith(QByteArrayView(kPixelsMark, kPixelsMarkSize)))
        return QImage();
    const QByteArrayView pixels = QByteArrayView(bytes).sliced(kPixelsMarkSize, pixelBytes);
    if (PixelsSum(pixels) !=
        qFromLittleEndian<quint64>(bytes.constData() + bytes.size() - kSumSize))
        return QImage();
    QImage picture(side, side, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < side; ++y)
        std::memcpy(picture.scanLine(y), pixels.data() + qsizetype{y} * side * 4,
                    static_cast<size_t>(side) * 4);
    return picture;
}

QImage DrawSvg(const QString& svgPath, int side, QIcon::Mode mode) {
    QPixmap drawn = QIcon(svgPath).pixmap(QSize(side, side), 1.0, QIcon::Normal);
    if (mode != QIcon::Normal && !drawn.isNull()) {
        // the look Qt gives every icon in that mode (greyed for a disabled button)
        QStyleOption option;
        option.palette = QApplication::palette();
        const QPixmap look = QApplication::style()->generatedIconPixmap(mode, drawn, &option);
        if (!look.isNull())
            drawn = look;
    }
    return drawn.toImage();
}

QPixmap DrawnPicture(const QString& svgPath, int side, QIcon::Mode mode) {
    if (side <= 0)
        return QPixmap();
    const QString name = PictureName(svgPath, side, mode);
    const QString folder = PictureFolder();
    if (!folder.isEmpty()) {
        QFile file(folder + QLatin1Char('/') + name);
        if (file.open(QIODevice::ReadOnly)) {
            const QImage kept = FromPixelsFile(file.readAll(), side);
            if (!kept.isNull())
                return QPixmap::fromImage(kept);
        }
    }
    const QImage drawn = DrawSvg(svgPath, side, mode);
    if (drawn.size() == QSize(side, side) && !folder.isEmpty() && QDir().mkpath(folder)) {
        // A picture that cannot be kept is drawn again at the next start: nothing else is lost.
        QSaveFile file(folder + QLatin1Char('/') + name);
        if (file.open(QIODevice::WriteOnly) && file.write(PixelsFile(drawn)) > 0)
            file.commit();
    }
    return QPixmap::fromImage(drawn);
}

// An SVG picture from the resources, drawn through DrawnPicture. The pictures are square (a
// test checks every file), so their size for any room is known without reading the file.
class SvgPictureEngine : public QIconEngine {
public:
    explicit SvgPictureEngine(QString path) : path_(std::move(path)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        const QSize room = actualSize(rect.size(), mode, state);
        const QRect square(rect.x() + (rect.width() - room.width()) / 2,
                           rect.y() + (rect.height() - room.height()) / 2, room.width(),
                           room.height());
        painter->drawPixmap(square, pixmap(room * scale, mode, state));
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        if (generation_ != PictureGeneration()) {
            drawn_.clear();
            generation_ = PictureGeneration();
        }
        const int side = actualSize(size, mode, state).width();
        const int key = side * 8 + static_cast<int>(mode);
        auto found = drawn_.constFind(key);
        if (found == drawn_.constEnd())
            found = drawn_.insert(key, DrawnPicture(path_, side, mode));
        return *found;
    }
    // Asked for device pixels (the size already multiplied by the scale).
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal) override {
        return pixmap(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {}; } // any size
    QString key() const override { return QStringLiteral("KiruneSvgPicture"); }
    QIconEngine* clone() const override { return new SvgPictureEngine(path_); }
    bool isNull() override { return false; } // only made for files that exist

private:
    QString path_;
    QHash<int, QPixmap> drawn_; // by size and look
    int generation_ = PictureGeneration();
};

QIcon FromResource(const QString& file) {
    const QString path = ResourcePicture(file);
    return path.isEmpty() ? QIcon() : QIcon(new SvgPictureEngine(path));
}

// The style's pictures that every menu bar and toolbar asks for when it is made (the arrows
// shown when the buttons do not fit): made when first shown, not at start-up.
class ProgramStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (icon != SP_ToolBarHorizontalExtensionButton &&
            icon != SP_ToolBarVerticalExtensionButton)
            return QProxyStyle::standardIcon(icon, option, widget);
        const QPointer<QStyle> base = baseStyle();
        return QIcon(new DeferredIconEngine(
            [base, icon] { return base ? base->standardIcon(icon, nullptr, nullptr) : QIcon(); }));
    }

    // A group box's caption starts inside its frame, clear of the rounded corner, as frames'
    // captions do on every desktop; at the frame's very edge a pane at the window's left edge
    // lost the caption's first character.
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override {
        QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
        if (control == CC_GroupBox && (part == SC_GroupBoxLabel || part == SC_GroupBoxCheckBox) &&
            option->direction == Qt::LeftToRight &&
            rect.right() + kCaptionInset <= option->rect.right()) // a narrow box keeps it whole
            rect.translate(kCaptionInset, 0);
        return rect;
    }
    static constexpr int kCaptionInset = 6;

    // A group box's frame picture has a middle of a faint shade, stretched over the whole box
    // at every repaint of the panes for a tint no eye tells from the window's colour, and under
    // the tree and the table besides. Only the band along the box's edges, where its outline
    // runs, is drawn.
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const QRect outer = option->rect;
        const int below = option->fontMetrics.height() + 16; // under the title and the top edge
        const QRect middle = outer.adjusted(8, below, -8, -8);
        if (element != PE_FrameGroupBox || middle.isEmpty()) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QRect bands[] = {
            QRect(outer.left(), outer.top(), outer.width(), middle.top() - outer.top()),
            QRect(outer.left(), middle.bottom() + 1, outer.width(),
                  outer.bottom() - middle.bottom()),
            QRect(outer.left(), middle.top(), middle.left() - outer.left(), middle.height()),
            QRect(middle.right() + 1, middle.top(), outer.right() - middle.right(),
                  middle.height()),
        };
        if (DrawsAsFusion(painter)) {
            const QRect frame = FusionFrame(option, widget);
            if (frame.width() >= 2 * kFrameEdge && frame.height() >= 2 * kFrameEdge) {
                for (const QRect& band : bands)
                    DrawFrame(painter, frame, band);
                return;
            }
            static const bool kept = !KeepGroupBoxFrame().isNull();
            Q_UNUSED(kept);
        }
        // Side by side, four rectangles: a clip of another shape sends every piece of the
        // picture down a slow path.
        for (const QRect& band : bands) {
            painter->save();
            painter->setClipRect(band, Qt::IntersectClip);
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            painter->restore();
        }
    }

    // A toolbar under the menu bar: a shade from light to the window's colour with a light line
    // at its top and a light and a dark one at its bottom, as the Fusion style draws it.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* bar = qstyleoption_cast<const QStyleOptionToolBar*>(option);
        const QRect rect = option->rect;
        if (element != CE_ToolBar || !bar || !DrawsAsFusion(painter) ||
            !(option->state & State_Horizontal) || bar->toolBarArea != Qt::TopToolBarArea ||
            (bar->positionOfLine != QStyleOptionToolBar::End &&
             bar->positionOfLine != QStyleOptionToolBar::OnlyOne) ||
            !widget || !qobject_cast<const QMainWindow*>(widget->parentWidget()) ||
            rect.height() < 3 || rect.height() >= kRowsOnThisThread) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        QLinearGradient shade(rect.topLeft(), rect.bottomLeft());
        shade.setColorAt(0, option->palette.window().color().lighter(104));
        shade.setColorAt(1, option->palette.window().color());
        painter->fillRect(rect, shade);
        // Lines as one-row rectangles: the same pixels as a pen's, in one piece where a line
        // longer than 255 pixels is blended on helper threads.
        const QColor light(255, 255, 255, 90);
        const QColor dark(0, 0, 0, 60);
        painter->fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), light);
        painter->fillRect(QRect(rect.left(), rect.bottom() - 1, rect.width(), 1), dark);
        painter->fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), light);
    }

private:
    // Qt's painter hands a blend of 96 rows or more to helper threads; for the few pixels of a
    // frame's edge, waking them and waiting costs far more than the blend (milliseconds at the
    // first paint). The pieces drawn here stay below that.
    static constexpr int kRowsOnThisThread = 96;
    static constexpr int kFrameEdge = 6; // the frame picture's corners
    static constexpr int kFrameRun = 64; // the length of an edge piece in FrameTiles
    static_assert(kFrameRun < kRowsOnThisThread);

    bool IsFusion() const {
        const QStyle* base = baseStyle();
        return base && qstrcmp(base->metaObject()->className(), "QFusionStyle") == 0;
    }
    // Drawn here as the Fusion style would, pixel for pixel: on a device without scaling, with
    // nothing blended in an unusual way.
    bool DrawsAsFusion(const QPainter* painter) const {
        return IsFusion() && painter->deviceTransform().type() <= QTransform::TxTranslate &&
               painter->opacity() == 1.0 &&
               painter->compositionMode() == QPainter::CompositionMode_SourceOver;
    }
    // Where the Fusion style puts a group box's frame: below the title's line, or just below
    // the top of a box with neither title nor check box.
    QRect FusionFrame(const QStyleOption* option, const QWidget* widget) const {
        constexpr int kTopMargin = 3;
        const auto* box = qobject_cast<const QGroupBox*>(widget);
        const int top = box && !box->isCheckable() && box->title().isEmpty()
                            ? kTopMargin
                            : std::max(baseStyle()->pixelMetric(PM_ExclusiveIndicatorHeight),
                                       option->fontMetrics.height()) +
                                  kTopMargin;
        return option->rect.adjusted(0, top, 0, 0);
    }

    // The frame picture tiled: its corners, each edge's one shade a run of kFrameRun pixels
    // long, and the middle's shade; any frame is drawn from it in pieces copied unscaled, from
    // the smoothed tiles where the painter smooths pictures.
    static const QImage& FrameTiles(bool smooth) {
        // The picture's distinct pixels, premultiplied: six rows and columns along each edge
        // with the one stretched between them in the middle.
        static constexpr QRgb kCells[13][13] = {
            {0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000,
             0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000, 0x00000000},
            {0x00000000, 0x0d020202, 0x34131313, 0x34161616, 0x32171717, 0x32171717, 0x32171717,
             0x32171717, 0x32171717, 0x32171717, 0x34161616, 0x37161616, 0x0c010101},
            {0x00000000, 0x39161616, 0x1f0b0b0b, 0x0a000000, 0x08000000, 0x07000000, 0x07000000,
             0x07000000, 0x07000000, 0x08000000, 0x0a000000, 0x1e0b0b0b, 0x35131313},
            {0x00000000, 0x34161616, 0x09000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
             0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x09000000, 0x34161616},
            {0x00000000, 0x32171717, 0x08000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
             0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x08000000, 0x32171717},
            {0x00000000, 0x32171717, 0x07000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
             0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x07000000, 0x32171717},
            {0x00000000, 0x32171717, 0x07000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
             0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x07000000, 0x32171717},
            {0x00000000, 0x32171717, 0x07000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
             0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x07000000, 0x32171717},
            {0x00000000, 0x32171717, 0x07000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
             0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x07000000, 0x32171717},
            {0x00000000, 0x32171717, 0x08000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
             0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x08000000, 0x32171717},
            {0x00000000, 0x34161616, 0x09000000, 0x03000000, 0x03000000, 0x03000000, 0x03000000,
             0x03000000, 0x03000000, 0x03000000, 0x03000000, 0x09000000, 0x34161616},
            {0x00000000, 0x35131313, 0x1e0b0b0b, 0x0a000000, 0x08000000, 0x07000000, 0x07000000,
             0x07000000, 0x07000000, 0x08000000, 0x0a000000, 0x1f0b0b0b, 0x39161616},
            {0x00000000, 0x0c010101, 0x37161616, 0x34161616, 0x32171717, 0x32171717, 0x32171717,
             0x32171717, 0x32171717, 0x32171717, 0x34161616, 0x34131313, 0x0d020202},
        };
        // Stretched smoothly, these cells of the edges come out lighter: (row, column, pixel).
        static constexpr struct {
            int row, column;
            QRgb pixel;
        } kSmoothed[] = {
            {1, 6, 0x31161616},  {6, 1, 0x31161616},  {6, 11, 0x06000000},
            {6, 12, 0x31161616}, {11, 6, 0x06000000}, {12, 6, 0x31161616},
        };
        const auto make = [](bool smoothed) {
            QRgb cells[13][13];
            std::memcpy(cells, kCells, sizeof cells);
            if (smoothed)
                for (const auto& cell : kSmoothed)
                    cells[cell.row][cell.column] = cell.pixel;
            constexpr int kSide = 2 * kFrameEdge + kFrameRun;
            const auto cellOf = [](int i) {
                return i < kFrameEdge               ? i
                       : i < kFrameEdge + kFrameRun ? kFrameEdge
                                                    : i - kFrameRun + 1;
            };
            QImage image(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < kSide; ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < kSide; ++x)
                    line[x] = cells[cellOf(y)][cellOf(x)];
            }
            return image;
        };
        static const QImage sharp = make(false);
        static const QImage smoothed = make(true);
        return smooth ? smoothed : sharp;
    }

    // One side of the frame, as pieces: (where, how long, where in FrameTiles).
    struct Piece {
        int at, length, from;
    };
    static QVarLengthArray<Piece, 40> Pieces(int start, int length) {
        QVarLengthArray<Piece, 40> pieces;
        pieces.append({start, kFrameEdge, 0});
        for (int along = kFrameEdge; along < length - kFrameEdge; along += kFrameRun)
            pieces.append(
                {start + along, std::min(kFrameRun, length - kFrameEdge - along), kFrameEdge});
        pieces.append({start + length - kFrameEdge, kFrameEdge, kFrameEdge + kFrameRun});
        return pieces;
    }

    // The part of the frame picture stretched over `frame` that falls in `band`.
    static void DrawFrame(QPainter* painter, const QRect& frame, const QRect& band) {
        const QImage& tiles =
            FrameTiles(painter->renderHints().testFlag(QPainter::SmoothPixmapTransform));
        const auto rows = Pieces(frame.top(), frame.height());
        const auto columns = Pieces(frame.left(), frame.width());
        for (const Piece& row : rows)
            for (const Piece& column : columns) {
                const QRect part =
                    QRect(column.at, row.at, column.length, row.length).intersected(band);
                if (!part.isEmpty())
                    painter->drawImage(part.topLeft(), tiles,
                                       QRect(column.from + part.left() - column.at,
                                             row.from + part.top() - row.at, part.width(),
                                             part.height()));
            }
    }
};

// Toolbar pictures: the desktop theme's own where it has one, else ours.
const QHash<QString, QString>& ToolbarThemeNames() {
    static const QHash<QString, QString> names = {
        {QStringLiteral("New"), QStringLiteral("document-new")},
        {QStringLiteral("Open"), QStringLiteral("document-open")},
        {QStringLiteral("Save"), QStringLiteral("document-save")},
        {QStringLiteral("Print"), QStringLiteral("document-print")},
        {QStringLiteral("Edit"), QStringLiteral("document-properties")},
    };
    return names;
}

// Whether the desktop names an icon theme of its own. Without one Qt falls back on "hicolor",
// which holds the programs' own pictures and none of the toolbar's: looking there only costs
// the start-up the reading of that theme's long index (some ten milliseconds).
bool DesktopHasIconTheme() {
    const QString name = QIcon::themeName();
    return !name.isEmpty() && name != QLatin1String("hicolor");
}

const QStringList& TreeKeys() {
    static const QStringList keys = {
        QStringLiteral("root"),     QStringLiteral("LANGUAGE"), QStringLiteral("ARITHMETIC"),
        QStringLiteral("SCIENCE"),  QStringLiteral("SOCIETY"),  QStringLiteral("HOMEMAKE"),
        QStringLiteral("PHYSICAL"), QStringLiteral("SPRING"),   QStringLiteral("AUTUMN"),
        QStringLiteral("WINTER"),   QStringLiteral("lighton"),  QStringLiteral("lightoff"),
        QStringLiteral("test")};
    return keys;
}

// A number as the pixmap cache's keys write it: each byte in memory order, low digit first.
template <typename T> QString HexText(T value) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    QString text;
    const auto* byte = reinterpret_cast<const unsigned char*>(&value);
    for (size_t i = 0; i < sizeof(T); ++i, ++byte) {
        text += QChar(kDigits[*byte & 0xf]);
        text += QChar(kDigits[*byte >> 4]);
    }
    return text;
}

} // namespace

QIcon ToolbarIcon(const QString& imageKey) {
    static QHash<QString, QIcon> cache;
    auto found = cache.constFind(imageKey);
    if (found != cache.constEnd())
        return *found;
    const auto theme = ToolbarThemeNames().constFind(imageKey);
    QIcon icon;
    if (theme != ToolbarThemeNames().constEnd())
        icon = DesktopHasIconTheme() ? QIcon::fromTheme(*theme, FromResource(imageKey.toLower()))
                                     : FromResource(imageKey.toLower());
    cache.insert(imageKey, icon);
    return icon;
}

QIcon TreeIcon(const QString& imageKey) {
    static QHash<QString, QIcon> cache;
    auto found = cache.constFind(imageKey);
    if (found != cache.constEnd())
        return *found;
    const QIcon icon = TreeKeys().contains(imageKey) ? FromResource(imageKey.toLower()) : QIcon();
    cache.insert(imageKey, icon);
    return icon;
}

QIcon ProgramIcon() {
    // Window frames and task bars take the icon at the sizes the window system is given: each
    // drawn and kept as the other pictures are, read from its kept file at later starts.
    static const QIcon icon = [] {
        const QString path = ResourcePicture(QStringLiteral("kirune"));
        if (path.isEmpty())
            return QIcon();
        return QIcon(new DeferredIconEngine([path] {
            QIcon sizes;
            for (int side = 16; side <= 128; side *= 2)
                sizes.addPixmap(DrawnPicture(path, side, QIcon::Normal));
            return sizes;
        }));
    }();
    return icon;
}

namespace {
// Gives the program's icon on the turn after its window's first paint, or after kLatestMs.
class IconOnFirstPaint : public QObject {
public:
    explicit IconOnFirstPaint(QWidget* watched) : QObject(watched) {
        watched->installEventFilter(this);
        QTimer::singleShot(kLatestMs, this, [this] { Give(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] { Give(); });
        }
        return false;
    }

private:
    static constexpr int kLatestMs = 2000;
    void Give() {
        if (given_)
            return;
        given_ = true;
        QApplication::setWindowIcon(ProgramIcon());
        deleteLater();
    }
    bool given_ = false;
};
} // namespace

void SetProgramIconOncePainted(QWidget* window) {
    new IconOnFirstPaint(window);
}

QPixmap KeepGroupBoxFrame() {
    const QString frame =
        QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png");
    const QFileInfo info(frame);
    QImageReader reader(frame, "png");
    reader.setAutoDetectImageFormat(false);
    const QImage picture = reader.read();
    if (picture.isNull())
        return QPixmap();
    const QPixmap kept = QPixmap::fromImage(picture);
    // The key the pixmap cache knows a picture file by: path, time and size of the file, kind.
    QPixmapCache::insert(QStringLiteral("qt_pixmap") + info.absoluteFilePath() +
                             HexText(static_cast<uint>(info.lastModified().toSecsSinceEpoch())) +
                             HexText(static_cast<quint64>(info.size())) + HexText(0u),
                         kept);
    return kept;
}

void InstallProgramStyle() {
    // The style chosen so far (the desktop's, or one named with -style), kept underneath.
    QApplication::setStyle(new ProgramStyle(QApplication::style()->name()));
}

void ForgetPicturesInMemory() {
    ++PictureGeneration();
}

QStringList ToolbarImageKeys() {
    return ToolbarThemeNames().keys();
}
QStringList TreeImageKeys() {
    return TreeKeys();
}

} // namespace kirune
