// Text files brought in: the one decoder's choice of encoding, and where it stops.
#include "model/textfile.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

TEST(TextFile, EachEncodingIsReadOrRefusedAtItsLine) {
    struct Case {
        const char* name;
        QByteArray bytes;
        const char16_t* text; // nullptr: refused
        TextEncoding encoding;
        int badLine;
    };
    // The roster's tests read UTF-8 (with and without a mark), UTF-16 and code page 932 through
    // this decoder; here what they do not: the encoding chosen and the line a refusal names.
    const Case cases[] = {
        {"code page 932", "\x90\xC2\x96\xD8\n", u"青木\n", TextEncoding::Cp932, 0},
        {"utf-8 that code page 932 cannot read", "caf\xC3\xA0\n", u"caf\u00E0\n",
         TextEncoding::Utf8, 0},
        {"bad code page 932 on line 3", "a\r\nb\r\n\x81\x20\n", nullptr, TextEncoding::Cp932, 3},
        {"bad utf-8 after a mark on line 2",
         "\xEF\xBB\xBF"
         "a\r\xE9\n",
         nullptr, TextEncoding::Utf8, 2},
        {"odd utf-16",
         QByteArray("\xFF\xFE"
                    "a\0\n\0b",
                    7),
         nullptr, TextEncoding::Utf16LE, 2},
    };
    for (const Case& c : cases) {
        const DecodedText decoded = DecodeTextFile(c.bytes);
        EXPECT_EQ(decoded.ok, c.text != nullptr) << c.name;
        EXPECT_EQ(decoded.text, c.text ? QString::fromUtf16(c.text) : QString()) << c.name;
        EXPECT_EQ(decoded.badLine, c.badLine) << c.name;
        EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
    }
    EXPECT_EQ(UndecodableTextMessage(DecodeTextFile("a\r\nb\r\n\x81\x20\n")),
              u"3 行目に Shift-JIS（ｺｰﾄﾞﾍﾟｰｼﾞ932） として読めない文字があります。"_s);
}

} // namespace
} // namespace kirune
