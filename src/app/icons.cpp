#include "icons.h"

#include "helpwindow.h"

#include <QFile>
#include <QHash>

namespace kirune {
namespace {

// The pictures are SVG files in the program's resources (src/app/icons/), drawn by Qt's SVG
// plugin at whatever size is asked: a picture is changed by editing its file.
QIcon FromResource(const QString& file) {
    HelpWindow::EnsureResources(); // the program's resources, pictures and help alike
    const QString path = QStringLiteral(":/icons/") + file + QStringLiteral(".svg");
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

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
    static const QIcon icon = FromResource(QStringLiteral("kirune"));
    return icon;
}

QStringList ToolbarImageKeys() {
    return ToolbarThemeNames().keys();
}
QStringList TreeImageKeys() {
    return TreeKeys();
}

} // namespace kirune
