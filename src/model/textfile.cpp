#include "textfile.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// The line (from 1) that holds the `offset`th unit of `text`; line ends are CR LF, LF or CR.
template <typename View> int LineAt(View text, qsizetype offset) {
    int line = 1;
    for (qsizetype i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
            ++line;
    }
    return line;
}

} // namespace

DecodedText DecodeTextFile(QByteArrayView bytes) {
    DecodedText decoded;
    decoded.encoding = DetectTextEncoding(bytes);
    const QByteArrayView body = bytes.sliced(ByteOrderMarkSize(bytes, decoded.encoding));
    switch (decoded.encoding) {
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        QStringDecoder decoder(decoded.encoding == TextEncoding::Utf16LE ? QStringDecoder::Utf16LE
                                                                         : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        decoded.text = decoder(body);
        if (decoder.hasError() || body.size() % 2 != 0) {
            const qsizetype bad = decoded.text.indexOf(QChar(QChar::ReplacementCharacter));
            decoded.badLine =
                LineAt(QStringView(decoded.text), bad < 0 ? decoded.text.size() : bad);
            decoded.text.clear();
            return decoded;
        }
        break;
    }
    case TextEncoding::Utf8:
    case TextEncoding::Cp932: {
        const qsizetype utf8Error = Utf8ErrorAt(body);
        if (decoded.encoding == TextEncoding::Cp932) {
            bool invalid = false;
            decoded.text = DecodeCp932(body.data(), body.size(), &invalid);
            if (!invalid)
                break;
            if (utf8Error >= 0) {
                // Code page 932 never yields U+FFFD but for a byte it cannot read.
                decoded.badLine = LineAt(QStringView(decoded.text),
                                         decoded.text.indexOf(QChar(QChar::ReplacementCharacter)));
                decoded.text.clear();
                return decoded;
            }
            decoded.encoding = TextEncoding::Utf8; // valid UTF-8 without Japanese
        } else if (utf8Error >= 0) {
            decoded.badLine = LineAt(body, utf8Error);
            return decoded;
        }
        decoded.text = QString::fromUtf8(body);
        break;
    }
    }
    decoded.ok = true;
    return decoded;
}

QString UndecodableTextMessage(const DecodedText& decoded) {
    QString name = u"Shift-JIS（ｺｰﾄﾞﾍﾟｰｼﾞ932）"_s;
    if (decoded.encoding == TextEncoding::Utf8)
        name = QStringLiteral("UTF-8");
    else if (decoded.encoding != TextEncoding::Cp932)
        name = QStringLiteral("UTF-16");
    return u"%1 行目に %2 として読めない文字があります。"_s.arg(decoded.badLine).arg(name);
}

} // namespace kirune
