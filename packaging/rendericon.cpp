// Draws the program's SVG icon as PNG files of the sizes desktop menus and launchers use, for
// the installed icon theme (hicolor): the same drawing Qt makes of it on screen.
//   kirune-render-icon ICON.svg FOLDER SIZE...   writes FOLDER/<SIZE>x<SIZE>/kirune.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments().mid(1);
    QSvgRenderer svg(args.value(0));
    if (args.size() < 3 || !svg.isValid()) {
        std::fputs("usage: kirune-render-icon ICON.svg FOLDER SIZE...\n", stderr);
        return 2;
    }
    for (const QString& text : args.mid(2)) {
        const int size = text.toInt();
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        svg.render(&painter);
        painter.end();
        const QString folder = args.at(1) + QStringLiteral("/%1x%1").arg(size);
        if (size <= 0 || !QDir().mkpath(folder) ||
            !image.save(folder + QStringLiteral("/kirune.png"))) {
            std::fprintf(stderr, "kirune-render-icon: cannot write the %s icon\n",
                         qPrintable(text));
            return 1;
        }
    }
    return 0;
}
