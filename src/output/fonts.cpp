#include "fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace kirune {

void InstallFontSubstitutions() {
    const QStringList mincho = {QStringLiteral("IPAMincho"), QStringLiteral("IPAPMincho")};
    const QStringList gothic = {QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")};
    const QStringList pgothic = {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")};
    QFont::insertSubstitutions(QString::fromUtf16(u"ＭＳ 明朝"), mincho);
    QFont::insertSubstitutions(QString::fromUtf16(u"ＭＳ ゴシック"), gothic);
    QFont::insertSubstitutions(QString::fromUtf16(u"ＭＳ Ｐゴシック"), pgothic);
    QFont::insertSubstitutions(QString::fromUtf16(u"ＭＳ Ｐ明朝"), mincho);
}

QFont WindowFont(double points) {
    static const QString family = [] {
        // A family with styles is installed (asked family by family: listing every family
        // would read all of them).
        const QString wanted = QString::fromUtf16(u"ＭＳ Ｐゴシック");
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
