#include "fonts.h"

#include <QFont>
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

} // namespace kirune
