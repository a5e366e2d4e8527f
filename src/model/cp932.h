#pragma once
// Code page 932 (the Japanese Windows code page) through glibc iconv "CP932".

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace kirune {

// Unicode to CP932. A character CP932 cannot hold is written as "?" and the rest of the text is
// kept.
QByteArray EncodeCp932(const QString& text);
// The same, appended to `out` (saves a copy when a whole file is built).
void AppendCp932(QByteArray& out, QStringView text);

// CP932 to Unicode. A byte sequence that is not valid CP932 becomes U+FFFD (one per bad byte) and
// the rest is decoded; *invalid (when given) tells whether that happened.
QString DecodeCp932(const QByteArray& bytes, bool* invalid = nullptr);
QString DecodeCp932(const char* data, qsizetype size, bool* invalid = nullptr);

} // namespace kirune
