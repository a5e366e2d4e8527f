#include "icons.h"

#include "helpwindow.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QProxyStyle>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStyleOption>
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
constexpr char kPixelsMark[] = "KIRUNE-PIXELS-1\n";
constexpr qsizetype kPixelsMarkSize = sizeof(kPixelsMark) - 1;

QByteArray PixelsFile(const QImage& picture) {
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray bytes(kPixelsMark, kPixelsMarkSize);
    for (int y = 0; y < pixels.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(pixels.constScanLine(y)), pixels.width() * 4);
    const quint16 sum = qChecksum(QByteArrayView(bytes).sliced(kPixelsMarkSize));
    bytes.append(static_cast<char>(sum >> 8)).append(static_cast<char>(sum & 0xff));
    return bytes;
}

// The square picture of `side` a kept file holds; a null one for a file that does not fit.
QImage FromPixelsFile(const QByteArray& bytes, int side) {
    const qsizetype pixelBytes = qsizetype{side} * side * 4;
    if (bytes.size() != kPixelsMarkSize + pixelBytes + 2 ||
        !bytes.startsWith(QByteArrayView(kPixelsMark, kPixelsMarkSize)))
        return QImage();
    const QByteArrayView pixels = QByteArrayView(bytes).sliced(kPixelsMarkSize, pixelBytes);
    const auto sum = static_cast<quint16>(static_cast<uchar>(bytes[bytes.size() - 2]) << 8 |
                                          static_cast<uchar>(bytes[bytes.size() - 1]));
    if (qChecksum(pixels) != sum)
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
    // at every repaint of the panes (about a millisecond, on helper threads) for a tint no eye
    // tells from the window's colour, and under the tree and the table besides. Only the band
    // along the box's edges, where its outline runs, is drawn: side by side, four rectangles
    // (a clip of another shape sends every piece of the picture down a slow path).
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
        for (const QRect& band : bands) {
            painter->save();
            painter->setClipRect(band, Qt::IntersectClip);
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            painter->restore();
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
    // Window frames and task bars take the icon at the sizes the window system is given, each
    // of which the SVG plugin would read and draw anew: drawn once at the largest size instead,
    // the smaller ones made from it.
    static const QIcon icon = [] {
        const QString path = ResourcePicture(QStringLiteral("kirune"));
        if (path.isEmpty())
            return QIcon();
        return QIcon(new DeferredIconEngine([path] {
            constexpr int kLargest = 128;
            const QImage largest = DrawnPicture(path, kLargest, QIcon::Normal).toImage();
            QIcon sizes;
            for (int side = 16; side < kLargest; side *= 2)
                sizes.addPixmap(QPixmap::fromImage(
                    largest.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
            sizes.addPixmap(QPixmap::fromImage(largest));
            return sizes;
        }));
    }();
    return icon;
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
    KeepGroupBoxFrame();
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
