#include "model/storabletext.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace kirune;

// The one rule for texts the grade book file can hold, as each place stores them.
TEST(StorableText, FieldsAndLinesHoldWhatTheFileCanKeep) {
    const struct {
        QString text;
        TextPlace place;
        QString refused; // "" when the text can be stored
    } cases[] = {
        {u"髙橋 ①～ ｱｲｳ abc"_s, TextPlace::Field, u""_s},
        {u"2組;特別"_s, TextPlace::Line, u""_s},
        {u"a;b"_s, TextPlace::Field, u"「;」や改行"_s},
        {u"a\nb"_s, TextPlace::Line, u"「;」や改行"_s},
        {u"a\rb"_s, TextPlace::Field, u"「;」や改行"_s},
        {u"a\tb"_s, TextPlace::Line, u"制御文字"_s},
        {u"a\u007Fb"_s, TextPlace::Field, u"制御文字"_s},
        {u"山田😀花子"_s, TextPlace::Field, u"「😀」（Shift-JIS にない文字）"_s},
        {u"안 先生"_s, TextPlace::Line, u"「안」（Shift-JIS にない文字）"_s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnstorableCharacter(c.text, c.place), c.refused) << c.text.toStdString();
        EXPECT_EQ(IsStorableText(c.text, c.place), c.refused.isEmpty());
    }
    EXPECT_EQ(UnstorableMessage(u"試験の名称"_s, u"a;b"_s),
              u"試験の名称に「;」や改行は使えません。"_s);
    EXPECT_TRUE(UnstorableMessage(u"試験の名称"_s, u"ab"_s).isEmpty());
}
