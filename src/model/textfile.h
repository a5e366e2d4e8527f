#pragma once
// Text files the teacher brings (rosters, CSV files of scores) read as text: UTF-16 after its
// byte order mark, UTF-8 after its mark or when DetectTextEncoding finds it, else code page 932
// (and valid UTF-8 that code page 932 cannot read). One decoder for every such file, so that a
// file reads the same wherever it is brought.

#include "cp932.h"

#include <QByteArrayView>
#include <QString>

namespace kirune {

struct DecodedText {
    bool ok = false;
    QString text; // without the byte order mark
    TextEncoding encoding = TextEncoding::Cp932;
    int badLine = 0; // the first line (from 1) that cannot be decoded, when !ok
};

DecodedText DecodeTextFile(QByteArrayView bytes);

// "3 行目に UTF-8 として読めない文字があります。" for a text that could not be decoded.
QString UndecodableTextMessage(const DecodedText& decoded);

} // namespace kirune
