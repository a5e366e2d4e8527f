#include "storabletext.h"

#include "cp932.h"

using namespace Qt::StringLiterals;

namespace kirune {

QString UnstorableCharacter(QStringView text, TextPlace place) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == u'\n' || (u == u';' && place == TextPlace::Field))
            return u"「;」や改行"_s;
        if (u < 0x20 || u == 0x7F)
            return u"制御文字"_s;
    }
    if (!Cp932Available())
        return Cp932UnavailableMessage();
    qsizetype bad = -1;
    if (Cp932CanHold(text, &bad))
        return QString();
    // A character outside the first plane is a pair of units: it is named whole.
    const qsizetype size = bad + 1 < text.size() && text[bad].isHighSurrogate() ? 2 : 1;
    return u"「%1」（Shift-JIS にない文字）"_s.arg(text.mid(bad, size));
}

QString UnstorableMessage(const QString& field, QStringView text, TextPlace place) {
    const QString what = UnstorableCharacter(text, place);
    if (what.isEmpty())
        return QString();
    if (!Cp932Available())
        return what;
    return field + u"に"_s + what + u"は使えません。"_s;
}

} // namespace kirune
