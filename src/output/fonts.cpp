#include "fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace kirune {

void InstallFontSubstitutions() {
    const QStringList mincho = {QStringLiteral("IPAMincho"), QStringLiteral("IPAPMincho")};
    const QStringList gothic = {QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")};
    const QStringList pgothic = {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")};
    QFont::insertSubstitutions(u"ＭＳ 明朝"_s, mincho);
    QFont::insertSubstitutions(u"ＭＳ ゴシック"_s, gothic);
    QFont::insertSubstitutions(u"ＭＳ Ｐゴシック"_s, pgothic);
    QFont::insertSubstitutions(u"ＭＳ Ｐ明朝"_s, mincho);
}

QFont WindowFont(double points) {
    static const QString family = [] {
        // A family with styles is installed (asked family by family: listing every family
        // would read all of them).
        const QString wanted = u"ＭＳ Ｐゴシック"_s;
        if (!QFontDatabase::styles(wanted).isEmpty())
            return wanted;
        for (const QString& substitute : QFont::substitutes(wanted))
            if (!QFontDatabase::styles(substitute).isEmpty())
                return substitute;
        return wanted;
    }();
    QFont font(family);
    font.setPointSizeF(points);
    return font;
}

} // namespace kirune
