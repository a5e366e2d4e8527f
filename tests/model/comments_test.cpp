#include "model/comments.h"
#include "model/cp932.h"
#include "model/gradebook.h"
#include "model/gradebookfile.h"

#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;
using namespace kirune;

namespace {

std::unique_ptr<GradeBook> Book() {
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    book->RosterSize = 2;
    book->StudentNames[0] = u"青木 太郎"_s;
    book->StudentNames[1] = u"井上 花子"_s;
    return book;
}

// The fixed 1655 lines of a book, and what follows them.
QByteArray Head(const QByteArray& bytes) {
    qsizetype at = 0;
    for (int line = 0; line < kGradeBookFileLines; ++line)
        at = bytes.indexOf('\n', at) + 1;
    return bytes.left(at);
}

TEST(Comments, RoundTripKeepsEveryTextAndTheFixedLines) {
    const QString thousand = QString(999, u'あ') + u'\\';
    const QString cases[] = {u"よく頑張りました。"_s,
                             u"a;b;;c"_s,
                             u"\"引用\"と'引用'"_s,
                             u"一行目\n二行目\r\n三行目\r"_s,
                             u"\\s は \\n ではない\\"_s,
                             u"ソ表能"_s,
                             thousand,
                             u"\\\\;\n"_s};
    auto book = Book();
    const QByteArray plain = GradeBookFileBytes(*book);
    for (const QString& text : cases) {
        SCOPED_TRACE(text.left(30).toStdString());
        book->Comments[1][3] = text;
        book->Comments[39][0] = u"四十番"_s;
        book->CommentLimits[2] = 150;
        ASSERT_TRUE(CheckStorableTexts(*book, nullptr));
        const QByteArray bytes = GradeBookFileBytes(*book);
        EXPECT_EQ(Head(bytes), plain); // the fixed lines do not change
        auto read = std::make_unique<GradeBook>();
        ResetGradeBook(*read);
        QString error, warning;
        ASSERT_TRUE(ParseGradeBookFile(bytes, *read, &error, &warning)) << error.toStdString();
        EXPECT_EQ(warning, QString());
        EXPECT_EQ(read->Comments, book->Comments);
        EXPECT_EQ(read->CommentLimits, book->CommentLimits);
        EXPECT_EQ(GradeBookFileBytes(*read), bytes);
    }
    ResetGradeBook(*book); // without comments: byte for byte the fixed format
    EXPECT_EQ(GradeBookFileBytes(*book).count('\n'), kGradeBookFileLines);
}

TEST(Comments, ADamagedSectionKeepsTheGoodLinesAndNamesTheBadOnes) {
    const struct {
        const char* section; // after the header line 1656
        int goodComments;
        const char16_t* named; // in the message, "" for none
    } cases[] = {
        {" 1; 1;ok;\r\n", 1, u""},
        {" 1; 1;ok;\r\n 2; 5;x;\r\n", 1, u"1658 行目: 学期「 5」"},
        {"41; 1;x;\r\n 1; 4;ok;\r\n", 1, u"1657 行目: 出席番号「41」"},
        {"x; 1;x;\r\n", 0, u"出席番号「x」"},
        {" 1; 1;a;b;\r\n", 0, u"形ではありません"},
        {" 1; 1;a\\q;\r\n", 0, u"「\\」の後に"},
        {" 1; 1;a;\r\n 1; 1;b;\r\n", 1, u"1658 行目: 出席番号 1 の同じ学期"},
        {" 1; 1;\x82;\r\n", 0, u"読めないバイト"},
        {"\x8e\x9a\x90\x94; 1; 0;\r\n", 0, u"字数「 0」"},
        {"\r\n\r\n 1; 2;ok;", 1, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.section);
        auto book = Book();
        book->Comments[5][1] = u"old"_s;
        const QByteArray bytes =
            GradeBookFileBytes(*Book()) + EncodeCp932(u"[所見]\r\n"_s) + c.section;
        QString error, warning;
        ASSERT_TRUE(ParseGradeBookFile(bytes, *book, &error, &warning));
        int good = 0;
        for (const auto& pupil : book->Comments)
            for (const QString& comment : pupil)
                good += comment.isEmpty() ? 0 : 1;
        EXPECT_EQ(good, c.goodComments);
        const QString named = QString::fromUtf16(c.named);
        if (named.isEmpty())
            EXPECT_EQ(warning, QString());
        else
            EXPECT_TRUE(warning.contains(named)) << warning.toStdString();
    }
}

TEST(Comments, RefusedTexts) {
    const struct {
        QString text;
        const char16_t* named; // "" when kept
    } cases[] = {
        {u"①～髙﨑 ｶﾀｶﾅ ;\n\\"_s, u""},         {u"絵文字😀です"_s, u"「😀」（U+1F600）"},
        {u"a?b€"_s, u"「€」（U+20AC）"},        {QString(1000, u'字'), u""},
        {QString(1001, u'字'), u"1000 字まで"},
    };
    for (const auto& c : cases) {
        const QString why = CommentRefusal(c.text);
        if (QString::fromUtf16(c.named).isEmpty())
            EXPECT_EQ(why, QString()) << why.toStdString();
        else
            EXPECT_TRUE(why.contains(QString::fromUtf16(c.named))) << why.toStdString();
    }
    auto book = Book();
    book->Comments[1][2] = u"😀"_s;
    QString error;
    EXPECT_FALSE(CheckStorableTexts(*book, &error));
    EXPECT_TRUE(error.startsWith(u"出席番号 2 の三学期の所見を保存できません。"_s))
        << error.toStdString();
}

} // namespace
