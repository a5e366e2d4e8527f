#include "icons.h"

#include "helpwindow.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QProxyStyle>
#include <QStyleOptionComplex>

namespace kirune {
namespace {

// A picture of the resources (src/app/icons/): Qt's SVG icon engine draws it at every size asked
// and keeps what it has drawn. A picture is changed by editing its file.
QIcon FromResource(const QString& name) {
    HelpWindow::EnsureResources(); // the program's resources, pictures and help alike
    const QString path = QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

// The toolbar's image keys and the names of the desktop theme's pictures for them.
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

const QStringList& TreeKeys() {
    static const QStringList keys = {
        QStringLiteral("root"),     QStringLiteral("LANGUAGE"), QStringLiteral("ARITHMETIC"),
        QStringLiteral("SCIENCE"),  QStringLiteral("SOCIETY"),  QStringLiteral("HOMEMAKE"),
        QStringLiteral("PHYSICAL"), QStringLiteral("SPRING"),   QStringLiteral("AUTUMN"),
        QStringLiteral("WINTER"),   QStringLiteral("lighton"),  QStringLiteral("lightoff"),
        QStringLiteral("test"),     QStringLiteral("pupils")};
    return keys;
}

// One icon object per key, so that the hundreds of tree nodes share the sizes drawn.
QIcon Kept(QHash<QString, QIcon>& icons, const QString& key, const auto& make) {
    auto found = icons.constFind(key);
    if (found == icons.constEnd())
        found = icons.insert(key, make());
    return *found;
}

// A group box's caption starts inside its frame, clear of the rounded corner, as frames'
// captions do on every desktop: at the frame's very edge, the tree pane at the window's left
// edge showed its caption against the window's border.
class ProgramStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override {
        QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
        if (control == CC_GroupBox && (part == SC_GroupBoxLabel || part == SC_GroupBoxCheckBox) &&
            option->direction == Qt::LeftToRight &&
            rect.right() + kCaptionInset <= option->rect.right()) // a narrow box keeps it whole
            rect.translate(kCaptionInset, 0);
        return rect;
    }

private:
    static constexpr int kCaptionInset = 6;
};

} // namespace

QIcon ToolbarIcon(const QString& imageKey) {
    static QHash<QString, QIcon> icons;
    return Kept(icons, imageKey, [&imageKey] {
        const auto theme = ToolbarThemeNames().constFind(imageKey);
        return theme == ToolbarThemeNames().constEnd()
                   ? QIcon()
                   : QIcon::fromTheme(*theme, FromResource(imageKey.toLower()));
    });
}

QIcon TreeIcon(const QString& imageKey) {
    static QHash<QString, QIcon> icons;
    return Kept(icons, imageKey, [&imageKey] {
        return TreeKeys().contains(imageKey) ? FromResource(imageKey.toLower()) : QIcon();
    });
}

QIcon ProgramIcon() {
    static const QIcon icon = FromResource(QStringLiteral("kirune"));
    return icon;
}

void InstallProgramStyle() {
    QApplication::setStyle(new ProgramStyle(QApplication::style()->name()));
}

QStringList ToolbarImageKeys() {
    return ToolbarThemeNames().keys();
}
QStringList TreeImageKeys() {
    return TreeKeys();
}

} // namespace kirune
