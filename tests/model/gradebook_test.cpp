#include "model/gradebook.h"
#include "model/numbers.h"

#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace kirune;

TEST(GradeBookReset, DefaultsAfterStartUp) {
    GradeBook book;
    ResetGradeBook(book);
    EXPECT_EQ(CountEnrolled(book), 0);
    for (int slot = 0; slot < kUsedSlots; ++slot)
        for (int col = 0; col < kScoreColumns; ++col)
            ASSERT_EQ(book.Scores[slot][col], -1.0f) << slot << "," << col;
    EXPECT_EQ(book.TestInfo[0][1], u" 1回目試験"_s);
    EXPECT_EQ(book.TestInfo[0][0], u"一学期"_s);
    EXPECT_EQ(book.TestInfo[300][1], u" 10回目試験"_s);
    EXPECT_EQ(book.TestInfo[300][0], u"二学期"_s);
    EXPECT_TRUE(book.TestInfo[3][1].isEmpty()) << "the total's slot is not a test of its own";
    EXPECT_EQ(book.SubjectTitles[5][3], u"観点3"_s);
    EXPECT_EQ(book.SubjectKeys[1], QStringLiteral("ARITHMETIC"));
    EXPECT_EQ(book.RankAPercent[3][17], -1);
    EXPECT_EQ(book.ViewpointNameChoices[11], u"表・処"_s);
    EXPECT_TRUE(book.ViewpointNameChoices[12].isEmpty());
}

TEST(GradeBookReset, SlotsAndEnrolment) {
    EXPECT_EQ(TestSlot(2, 5, 9, 2), 786);
    EXPECT_EQ(YearAggregateSlot(5, 3), 815);
    GradeBook book;
    ResetGradeBook(book);
    book.RosterSize = 5;
    book.StudentNames[0] = "a";
    book.StudentNames[1] = "b";
    book.StudentNames[4] = "e";
    EXPECT_EQ(CountEnrolled(book), 3);
    book.RosterSize = 0;
    EXPECT_EQ(CountEnrolled(book), 0) << "stray names beyond the roster do not count";
}

TEST(GradeBookReset, KeepsWhatTheResetDoesNotCover) {
    GradeBook book;
    ResetGradeBook(book);
    book.TestInfo[3][1] = "kept";
    book.RankAPercent[0][0] = 30;
    book.SubjectTitles[0][0] = "x";
    ResetGradeBook(book);
    EXPECT_EQ(book.TestInfo[3][1], QStringLiteral("kept"));
    EXPECT_EQ(book.RankAPercent[0][0], -1);
    EXPECT_EQ(book.SubjectTitles[0][0], u"国語"_s);
}

TEST(Numbers, NumberTextAndLeadingNumber) {
    EXPECT_EQ(NumberText(5), QStringLiteral(" 5"));
    EXPECT_EQ(NumberText(0), QStringLiteral(" 0"));
    EXPECT_EQ(NumberText(-1), QStringLiteral("-1"));
    EXPECT_EQ(LeadingNumber(u"  85abc"), 85.0);
    EXPECT_EQ(LeadingNumber(u"\t-2.5e1x"), -25.0);
    EXPECT_EQ(LeadingNumber(u"abc"), 0.0);
    EXPECT_EQ(LeadingNumber(u""), 0.0);
    EXPECT_EQ(LeadingNumber(u" 8 5"), 85.0);
    EXPECT_EQ(LeadingNumber(u"１２"), 0.0) << "full-width digits are not digits";
    EXPECT_EQ(LeadingNumber(u"1e"), 1.0);
    EXPECT_EQ(LeadingNumber(u".5"), 0.5);
    EXPECT_TRUE(std::isinf(LeadingNumber(u"1e99999999999999999999")));
}

TEST(Numbers, TheDecimalPointIsAPointWhateverTheRegionalSettings) {
    // A locale with a decimal comma, made for this test (none may be installed).
    QTemporaryDir folder;
    QProcess make;
    make.start(QStringLiteral("localedef"),
               {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                QStringLiteral("UTF-8"), folder.filePath(QStringLiteral("de_DE.UTF-8"))});
    if (!make.waitForFinished(60000) || make.exitCode() != 0)
        GTEST_SKIP() << "localedef could not make a de_DE locale here";
    const QByteArray before = qgetenv("LOCPATH");
    qputenv("LOCPATH", folder.path().toLocal8Bit());
    const bool comma = setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    const double read = LeadingNumber(u"85.55");
    const double exponent = LeadingNumber(u"-2.5e1");
    setlocale(LC_NUMERIC, "C");
    if (before.isNull())
        qunsetenv("LOCPATH");
    else
        qputenv("LOCPATH", before);
    ASSERT_TRUE(comma);
    EXPECT_EQ(read, 85.55);
    EXPECT_EQ(exponent, -25.0);
}

TEST(Numbers, RoundingRules) {
    EXPECT_EQ(RoundHalfEvenInt16(2.5), 2);
    EXPECT_EQ(RoundHalfEvenInt16(3.5), 4);
    EXPECT_EQ(RoundHalfEvenInt16(-2.5), -2);
    EXPECT_EQ(RoundHalfEvenInt16(1e9), 32767);
    EXPECT_EQ(RoundHalfEvenInt16(-1e9), -32768);
    int16_t out = 0;
    EXPECT_FALSE(TryRoundToInt16(32767.5, &out));
    EXPECT_TRUE(TryRoundToInt16(32767.4, &out));
    EXPECT_EQ(out, 32767);
    EXPECT_TRUE(TryRoundToInt16(-32768.5, &out)) << "halves to even: -32768";
    EXPECT_EQ(out, -32768);
}

TEST(Numbers, ScoreTextOnTheExactFloat) {
    EXPECT_EQ(ScoreText(-1.0f), QStringLiteral("-1.0"));
    EXPECT_EQ(ScoreText(0.5f), QStringLiteral("0.5"));
    EXPECT_EQ(ScoreText(85.0f), QStringLiteral("85.0"));
    EXPECT_EQ(ScoreText(10163.0f), QStringLiteral("10163.0"));
    EXPECT_EQ(ScoreText(72.35f), QStringLiteral("72.3")) << "72.35f is 72.3499985";
    EXPECT_EQ(ScoreText(0.25f), QStringLiteral("0.3")) << "an exact half rounds away from zero";
    EXPECT_EQ(ScoreText(-0.25f), QStringLiteral("-0.3"));
    EXPECT_EQ(ScoreText(66.666664f), QStringLiteral("66.7"));
    EXPECT_EQ(ScoreText(123456.0f), QStringLiteral("123456.0")) << "no digit grouping";
}

TEST(Numbers, RegionalFormatting) {
    const QLocale ja(QLocale::Japanese, QLocale::Japan);
    EXPECT_EQ(FormatFixed(1234, 0, ja), QStringLiteral("1,234"));
    EXPECT_EQ(FormatFixed(2.5, 0, ja), QStringLiteral("3"));
    EXPECT_EQ(FormatFixed(72.5, 0, ja), QStringLiteral("73"));
    EXPECT_EQ(FormatFixed(static_cast<float>(72.5), 1, ja), QStringLiteral("72.5"));
    EXPECT_EQ(FormatFixed(70, 1, ja), QStringLiteral("70.0"));
    EXPECT_EQ(FormatFixed(-0.4, 0, ja), QStringLiteral("0"));
}
