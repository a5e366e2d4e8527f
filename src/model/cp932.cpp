#include "cp932.h"

#include <QVarLengthArray>
#include <QtGlobal>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace kirune {

namespace {

// Texts in memory are UTF-16 in the machine's byte order.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char* kUtf16 = "UTF-16LE";
#else
constexpr const char* kUtf16 = "UTF-16BE";
#endif

constexpr char16_t kReplacement = 0xFFFD;
// The decoder's "WCHAR_T" are whole characters (UCS-4 in the machine's byte order).
static_assert(sizeof(wchar_t) == sizeof(char32_t));

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// One pair of converters per thread, opened on first use and closed when the thread ends.
// Opening a converter costs far more than converting a line, so they are kept.
class Converters {
public:
    Converters() = default;
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;
    ~Converters() {
        if (toCp932_ != kNoConverter)
            iconv_close(toCp932_);
        if (fromCp932_ != kNoConverter)
            iconv_close(fromCp932_);
    }

    // kNoConverter when the C library has no CP932 (its conversion modules are missing).
    iconv_t ToCp932() { return Get(toCp932_, triedTo_, "CP932", kUtf16); }
    iconv_t FromCp932() { return Get(fromCp932_, triedFrom_, "WCHAR_T", "CP932"); }

private:
    static iconv_t Get(iconv_t& cd, bool& tried, const char* to, const char* from) {
        if (!tried) {
            tried = true;
            cd = iconv_open(to, from);
        } else if (cd != kNoConverter) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        }
        return cd;
    }

    iconv_t toCp932_ = kNoConverter;
    iconv_t fromCp932_ = kNoConverter;
    bool triedTo_ = false;
    bool triedFrom_ = false;
};

Converters& ThreadConverters() {
    thread_local Converters converters;
    return converters;
}

bool IsAscii(const char16_t* p, qsizetype n) {
    for (qsizetype i = 0; i < n; ++i)
        if (p[i] >= 0x80)
            return false;
    return true;
}

bool IsAscii(const char* p, qsizetype n) {
    for (qsizetype i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return false;
    return true;
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

bool Cp932Available() {
    return ThreadConverters().ToCp932() != kNoConverter &&
           ThreadConverters().FromCp932() != kNoConverter;
}

QString Cp932UnavailableMessage() {
    return QStringLiteral("シフトJIS（コードページ932）の変換機能を開けません（C ライブラリーの"
                          "変換モジュールがありません）。ファイルの読み書きはできません。");
}

bool Cp932CanHold(QStringView text, qsizetype* bad) {
    if (bad)
        *bad = -1;
    const char16_t* units = text.utf16();
    const qsizetype count = text.size();
    if (IsAscii(units, count))
        return true;
    const iconv_t cd = ThreadConverters().ToCp932();
    if (cd == kNoConverter)
        return false;
    char* inPtr = reinterpret_cast<char*>(const_cast<char16_t*>(units));
    size_t inLeft = static_cast<size_t>(count) * 2;
    // A converted character takes at most two bytes; the text is converted a piece at a time.
    char buffer[512];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno != E2BIG) {
            if (bad)
                *bad = count - static_cast<qsizetype>(inLeft / 2);
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            return false;
        }
    }
    return true;
}

void AppendCp932(QByteArray& out, QStringView text) {
    const char16_t* units = text.utf16();
    const qsizetype count = text.size();
    const qsizetype start = out.size();
    // CP932 keeps the ASCII range as it is (0x5C and 0x7E included), so plain texts skip iconv.
    if (IsAscii(units, count)) {
        out.resize(start + count);
        char* dst = out.data() + start;
        for (qsizetype i = 0; i < count; ++i)
            dst[i] = static_cast<char>(units[i]);
        return;
    }

    // A BMP character takes at most two bytes; a surrogate pair is never in CP932 and becomes
    // one "?". So twice the count of UTF-16 units always suffices.
    out.resize(start + count * 2);
    char* const begin = out.data() + start;
    char* outPtr = begin;
    size_t outLeft = static_cast<size_t>(count) * 2;

    const iconv_t cd = ThreadConverters().ToCp932();
    qsizetype i = 0;
    while (i < count) {
        if (cd != kNoConverter) {
            char* inPtr = reinterpret_cast<char*>(const_cast<char16_t*>(units + i));
            size_t inLeft = static_cast<size_t>(count - i) * 2;
            const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
            i = count - static_cast<qsizetype>(inLeft / 2);
            if (result != static_cast<size_t>(-1))
                break;
            if (errno == E2BIG)
                break; // cannot happen with the size above; keep what was converted
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else if (units[i] < 0x80) {
            *outPtr++ = static_cast<char>(units[i++]);
            --outLeft;
            continue;
        }
        if (i >= count)
            break;
        // units[i] starts a character CP932 cannot hold (or a broken surrogate): one "?".
        *outPtr++ = '?';
        --outLeft;
        if (IsHighSurrogate(units[i]) && i + 1 < count && IsLowSurrogate(units[i + 1]))
            i += 2;
        else
            i += 1;
    }
    out.truncate(start + (outPtr - begin));
}

QByteArray EncodeCp932(const QString& text) {
    QByteArray out;
    AppendCp932(out, text);
    return out;
}

QString DecodeCp932(const QByteArray& bytes, bool* invalid) {
    return DecodeCp932(bytes.constData(), bytes.size(), invalid);
}

QString DecodeCp932(const char* data, qsizetype count, bool* invalid) {
    if (invalid)
        *invalid = false;
    if (IsAscii(data, count))
        return QString::fromLatin1(data, count);

    // Every byte gives at most one character. The converter gives the C library's own wide
    // characters (one step inside iconv, where UTF-16 would take two), made UTF-16 at the end.
    QVarLengthArray<char32_t, 256> wide(count);
    char32_t* const begin = wide.data();
    char* outPtr = reinterpret_cast<char*>(begin);
    size_t outLeft = static_cast<size_t>(count) * sizeof(char32_t);

    const iconv_t cd = ThreadConverters().FromCp932();
    qsizetype i = 0;
    const auto put = [&](char32_t c) {
        std::memcpy(outPtr, &c, sizeof c);
        outPtr += sizeof c;
        outLeft -= sizeof c;
    };
    while (i < count) {
        if (cd != kNoConverter) {
            char* inPtr = const_cast<char*>(data + i);
            size_t inLeft = static_cast<size_t>(count - i);
            const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
            i = count - static_cast<qsizetype>(inLeft);
            if (result != static_cast<size_t>(-1))
                break;
            if (errno == E2BIG)
                break; // cannot happen with the size above; keep what was converted
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else if (static_cast<unsigned char>(data[i]) < 0x80) {
            put(static_cast<unsigned char>(data[i++]));
            continue;
        }
        if (i >= count)
            break;
        // An invalid byte, or a lead byte cut off at the end: one replacement character for this
        // byte, then go on with the next one (so an ASCII trail byte is kept).
        put(kReplacement);
        ++i;
        if (invalid)
            *invalid = true;
    }
    // Code page 932 holds characters of the Basic Multilingual Plane only: one unit each.
    const qsizetype n =
        (outPtr - reinterpret_cast<char*>(begin)) / static_cast<qsizetype>(sizeof(char32_t));
    QString out(n, Qt::Uninitialized);
    char16_t* const units = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype k = 0; k < n; ++k)
        units[k] = begin[k] <= 0xFFFF ? static_cast<char16_t>(begin[k]) : kReplacement;
    return out;
}

qsizetype Utf8ErrorAt(QByteArrayView bytes, bool* japanese) {
    const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* p = begin;
    const auto* const end = p + bytes.size();
    bool seenJapanese = false;
    auto invalid = [&] {
        if (japanese)
            *japanese = seenJapanese;
        return static_cast<qsizetype>(p - begin);
    };
    while (p < end) {
        // ASCII 64 bytes at a time (a grade book is mostly ASCII digits).
        if (end - p >= 64) {
            quint64 any = 0;
            for (int i = 0; i < 64; i += 8) {
                quint64 word;
                std::memcpy(&word, p + i, sizeof word);
                any |= word;
            }
            if ((any & 0x8080808080808080ULL) == 0) {
                p += 64;
                continue;
            }
        }
        if (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        char32_t code = 0;
        char32_t least = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            code = c & 0x1F;
            least = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            code = c & 0x0F;
            least = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            code = c & 0x07;
            least = 0x10000;
        } else {
            return invalid();
        }
        if (end - p <= more)
            return invalid();
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return invalid();
            code = (code << 6) | (p[i] & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return invalid();
        if (code >= 0x3000)
            seenJapanese = true;
        p += more + 1;
    }
    if (japanese)
        *japanese = seenJapanese;
    return -1;
}

TextEncoding DetectTextEncoding(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xFE"))
        return TextEncoding::Utf16LE;
    if (bytes.startsWith("\xFE\xFF"))
        return TextEncoding::Utf16BE;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return TextEncoding::Utf8;
    bool japanese = false;
    return Utf8ErrorAt(bytes, &japanese) < 0 && japanese ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

qsizetype ByteOrderMarkSize(QByteArrayView bytes, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        return 2;
    case TextEncoding::Cp932:
        break;
    }
    return 0;
}

} // namespace kirune
