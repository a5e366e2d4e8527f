#pragma once
// Code page 932 (the Japanese Windows code page) through glibc iconv "CP932".

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace kirune {

// Whether the C library's converter of code page 932 can be opened (its conversion modules may
// be missing). Every read and every save of a code page 932 file needs it; without it they are
// refused with Cp932UnavailableMessage().
bool Cp932Available();
QString Cp932UnavailableMessage();

// Whether code page 932 holds every character of `text`, so that encoding it replaces nothing.
// False without the converter unless the text is plain ASCII; *bad (when given) is then the
// index of the first character it cannot hold (-1 when the converter is missing).
bool Cp932CanHold(QStringView text, qsizetype* bad = nullptr);

// Unicode to CP932, for texts Cp932CanHold passed: a character CP932 cannot hold would be
// written as "?" and the rest of the text kept, so every writer checks first.
QByteArray EncodeCp932(const QString& text);
// The same, appended to `out` (saves a copy when a whole file is built).
void AppendCp932(QByteArray& out, QStringView text);

// CP932 to Unicode. A byte sequence that is not valid CP932 becomes U+FFFD (one per bad byte) and
// the rest is decoded; *invalid (when given) tells whether that happened.
QString DecodeCp932(const QByteArray& bytes, bool* invalid = nullptr);
QString DecodeCp932(const char* data, qsizetype size, bool* invalid = nullptr);

// The encoding of a text file, told from its bytes.
enum class TextEncoding { Cp932, Utf8, Utf16LE, Utf16BE };

// A file that starts with a UTF-16 byte order mark is UTF-16; one that starts with the UTF-8
// byte order mark, or whose bytes are valid UTF-8 as a whole and hold at least one character
// from U+3000 on (Japanese), is UTF-8; any other is code page 932. Text in code page 932 that
// holds Japanese is practically never valid UTF-8; a few half-width katakana alone can be,
// hence the second condition.
TextEncoding DetectTextEncoding(QByteArrayView bytes);

// How many bytes the byte order mark of `encoding` takes at the start of `bytes` (0 if none).
qsizetype ByteOrderMarkSize(QByteArrayView bytes, TextEncoding encoding);

} // namespace kirune
