#include "model/cp932.h"

#include "support/testutil.h"
#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>
#include <iconv.h>
#include <string>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

using namespace kirune;

namespace {

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

} // namespace

TEST(Cp932, AsciiIsKeptAsItIs) {
    // The fast path for plain texts must agree with the C library byte for byte, including the
    // backslash and the tilde, which some Japanese code pages move elsewhere.
    iconv_t cd = iconv_open("CP932", "UTF-8");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (int c = 0; c < 0x80; ++c) {
        char in = static_cast<char>(c);
        char out[4] = {};
        char* inPtr = &in;
        char* outPtr = out;
        size_t inLeft = 1, outLeft = sizeof out;
        ASSERT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<size_t>(-1));
        ASSERT_EQ(outPtr - out, 1);
        const QString text(QChar(static_cast<char16_t>(c)));
        EXPECT_EQ(EncodeCp932(text), QByteArray(out, 1)) << c;
        bool invalid = true;
        EXPECT_EQ(DecodeCp932(QByteArray(out, 1), &invalid), text) << c;
        EXPECT_FALSE(invalid);
    }
    iconv_close(cd);
}

TEST(Cp932, ExtensionCharactersAndHalfWidthKatakanaRoundTrip) {
    // NEC special characters, the IBM extension kanji and half-width katakana: the characters a
    // plain Shift-JIS table loses.
    const QString text = u"①～髙ﾃｷｽﾄ"_s;
    const QByteArray bytes = EncodeCp932(text);
    EXPECT_EQ(bytes, Hex("87408160fbfcc3b7bdc4"));
    bool invalid = true;
    EXPECT_EQ(DecodeCp932(bytes, &invalid), text);
    EXPECT_FALSE(invalid);

    EXPECT_EQ(EncodeCp932(u"国語一学期"_s), Hex("8d918cea88ea8a778afa"));
    EXPECT_EQ(DecodeCp932(Hex("8754878a")), u"Ⅰ㈱"_s);
}

TEST(Cp932, NecSelectedDuplicatesReadAsTheSameCharacter) {
    // 0xED40 (NEC-selected) and 0xFA5C (IBM) are the same kanji; it is written the IBM way.
    EXPECT_EQ(DecodeCp932(Hex("ed40")), u"纊"_s);
    EXPECT_EQ(DecodeCp932(Hex("fa5c")), u"纊"_s);
    EXPECT_EQ(EncodeCp932(u"纊"_s), Hex("fa5c"));
}

TEST(Cp932, CharacterOutsideTheCodePageBecomesQuestionMark) {
    EXPECT_EQ(EncodeCp932(u"太郎😀"_s), Hex("91be9859") + "?") << "one ? per emoji, not two";
    EXPECT_EQ(EncodeCp932(u"a😀b😀"_s), QByteArray("a?b?"));
    EXPECT_EQ(EncodeCp932(u"한국어"_s), QByteArray("???"));
    EXPECT_EQ(EncodeCp932(u"café"_s), QByteArray("caf?"));
    EXPECT_EQ(EncodeCp932(u"é国"_s), QByteArray("?") + Hex("8d91"));

    // Broken UTF-16 (a lone half of a surrogate pair) is one "?" as well.
    QString lone = QStringLiteral("a");
    lone.append(QChar(char16_t(0xD83D)));
    lone.append(QStringLiteral("b"));
    EXPECT_EQ(EncodeCp932(lone), QByteArray("a?b"));
    QString trailing = u"国"_s;
    trailing.append(QChar(char16_t(0xD83D)));
    EXPECT_EQ(EncodeCp932(trailing), Hex("8d91") + "?");
    QString lowFirst = u"x"_s;
    lowFirst.append(QChar(char16_t(0xDE00)));
    lowFirst.append(u"国"_s);
    EXPECT_EQ(EncodeCp932(lowFirst), QByteArray("x?") + Hex("8d91"));
}

TEST(Cp932, InvalidBytesAreReplacedAndReported) {
    bool invalid = false;
    EXPECT_EQ(DecodeCp932(QByteArray("a\x80"
                                     "b"),
                          &invalid),
              u"a\uFFFDb"_s);
    EXPECT_TRUE(invalid);

    // A lead byte cut off at the end of the text.
    EXPECT_EQ(DecodeCp932(Hex("8d918d"), &invalid), u"国\uFFFD"_s);
    EXPECT_TRUE(invalid);

    // A lead byte followed by a byte that cannot follow it: the second byte is read on its own.
    EXPECT_EQ(DecodeCp932(Hex("8120") + "x", &invalid), u"\uFFFD x"_s);
    EXPECT_TRUE(invalid);

    EXPECT_EQ(DecodeCp932(Hex("fffffd"), &invalid), u"\uFFFD\uFFFD\uFFFD"_s);
    EXPECT_TRUE(invalid);

    EXPECT_EQ(DecodeCp932(Hex("8d91"), &invalid), u"国"_s);
    EXPECT_FALSE(invalid) << "the flag is cleared for a good text";

    // Every possible pair of bytes decodes without harm.
    for (int first = 0; first < 256; ++first)
        for (int second = 0; second < 256; second += 7) {
            QByteArray bytes;
            bytes.append(static_cast<char>(first));
            bytes.append(static_cast<char>(second));
            const QString text = DecodeCp932(bytes, &invalid);
            ASSERT_GE(text.size(), 1);
            ASSERT_LE(text.size(), 2);
        }
}

TEST(Cp932, EmptyAndLongTexts) {
    EXPECT_TRUE(EncodeCp932(QString()).isEmpty());
    EXPECT_TRUE(DecodeCp932(QByteArray()).isEmpty());

    QString text;
    for (int i = 0; i < 5000; ++i)
        text += u"通知表ﾃｽﾄ①;"_s + QString::number(i);
    const QByteArray bytes = EncodeCp932(text);
    EXPECT_EQ(DecodeCp932(bytes), text);

    QByteArray appended("head:");
    AppendCp932(appended, u"国語"_s);
    EXPECT_EQ(appended, QByteArray("head:") + Hex("8d918cea"));
}

TEST(Cp932, WorksOnAnotherThread) {
    QByteArray encoded;
    QString decoded;
    std::thread worker([&] {
        encoded = EncodeCp932(u"髙橋"_s);
        decoded = DecodeCp932(encoded);
    });
    worker.join();
    EXPECT_EQ(encoded, EncodeCp932(u"髙橋"_s));
    EXPECT_EQ(decoded, u"髙橋"_s);
}

TEST(Cp932, TextEncodingIsToldFromTheBytes) {
    // The bytes of a file (hex) and the encoding they are read in.
    const std::vector<std::pair<const char*, TextEncoding>> cases = {
        {"", TextEncoding::Cp932},
        {"41423b0d0a", TextEncoding::Cp932},   // "AB;" plain ASCII
        {"90c296d8", TextEncoding::Cp932},     // 青木 in code page 932
        {"c3b1", TextEncoding::Cp932},         // ﾃｱ: valid UTF-8 (ñ), but no Japanese
        {"e99d92e69ca8", TextEncoding::Utf8},  // 青木 in UTF-8
        {"41e3808042", TextEncoding::Utf8},    // an ideographic space, U+3000
        {"efbbbf41", TextEncoding::Utf8},      // the byte order mark alone decides
        {"e99d92e6", TextEncoding::Cp932},     // cut off in the middle of a character
        {"e99d92c0af", TextEncoding::Cp932},   // an overlong form after Japanese
        {"e99d92eda080", TextEncoding::Cp932}, // a surrogate
        {"fffe5275", TextEncoding::Utf16LE},
        {"feff7552", TextEncoding::Utf16BE},
    };
    for (const auto& [hex, encoding] : cases)
        EXPECT_EQ(DetectTextEncoding(Hex(hex)), encoding) << hex;
}
