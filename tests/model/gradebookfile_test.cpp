#include "model/cp932.h"
#include "model/gradebook.h"
#include "model/gradebookfile.h"
#include "model/numbers.h"

#include "support/testutil.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <sys/resource.h>
#include <vector>

using namespace Qt::StringLiterals;

using namespace kirune;

namespace {

QByteArray Sjis(const char16_t* text) {
    return EncodeCp932(QString::fromUtf16(text));
}

std::unique_ptr<GradeBook> ResetBook() {
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    return book;
}

// The file's lines without their CR LF; fails the test when a line ends otherwise.
QList<QByteArray> Lines(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    EXPECT_TRUE(lines.last().isEmpty()) << "the last line ends with CR LF";
    lines.removeLast();
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r'));
        line.chop(1);
    }
    return lines;
}

QByteArray JoinLines(const QList<QByteArray>& lines, const char* end = "\r\n") {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + end;
    return out;
}

// A class with pupils, names in Japanese, criteria, scores, absences and aggregates.
std::unique_ptr<GradeBook> SampleBook() {
    auto book = ResetBook();
    book->HomeRoomYear = u"令和6年度"_s;
    book->HomeRoomGrade = u"5年"_s;
    book->HomeRoomClass = u"2組"_s;
    book->TeacherName = u"髙橋 一郎"_s;
    book->RosterSize = 4;
    book->StudentNames[0] = u"青木 太郎"_s;
    book->StudentNames[1] = u"井上 ﾊﾅｺ"_s;
    book->StudentNames[3] = u"宇野 ①"_s;
    for (int p = 0; p < kCriteriaPeriods; ++p)
        for (int c = 0; c < kCriteriaColumns; ++c) {
            book->RankAPercent[p][c] = static_cast<int16_t>(20 + c);
            book->RankCPercent[p][c] = static_cast<int16_t>(c == 17 ? -1 : 40 - p);
        }
    book->RankAPercent[3][0] = 0;
    book->RankCPercent[3][0] = 100;
    book->SubjectTitles[4][0] = u"家庭科"_s;
    book->SubjectNameChoices[6] = u"生活"_s;
    const int slot = TestSlot(0, 1, 0, 0);
    book->Scores[slot][0] = 85;
    book->Scores[slot][1] = kAbsent;
    book->Scores[slot][3] = 0.5f;
    book->Scores[slot][kAverageColumn] = 42.5f;
    book->Scores[slot][kCountColumn] = 2;
    book->Scores[slot][kPointsColumn] = 100;
    const int aggregate = SemesterAggregateSlot(0, 1, 0);
    book->Scores[aggregate][1] = 10163.0f;
    book->Scores[aggregate][40] = 0;
    book->Scores[YearAggregateSlot(5, 3)][0] = 1234.5f;
    book->TestInfo[slot][0] = QStringLiteral("2024/05/10");
    book->TestInfo[slot][1] = u"小数の計算"_s;
    book->TestInfo[YearAggregateSlot(5, 3)][1] = u"年間"_s;
    return book;
}

// A whole book in one comparable value.
QByteArray Snapshot(const GradeBook& book) {
    return GradeBookFileBytes(book);
}

struct Refusal {
    QByteArray bytes;
    QString expectedLine; // "123 行目"
    const char* what;
};

} // namespace

// --- The writer ----------------------------------------------------------------------------

TEST(GradeBookFileWriter, ResetBookLines) {
    const QByteArray bytes = GradeBookFileBytes(*ResetBook());
    EXPECT_EQ(bytes.count('\n'), kGradeBookFileLines);
    EXPECT_EQ(bytes.count("\r\n"), kGradeBookFileLines) << "every line ends with CR LF";
    const QList<QByteArray> lines = Lines(bytes);
    ASSERT_EQ(lines.size(), kGradeBookFileLines);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(lines[i].isEmpty()) << "line " << i + 1;
    EXPECT_EQ(lines[4], QByteArray(" 0"));
    EXPECT_EQ(lines[5], QByteArray(40, ';'));
    for (int line = 7; line <= 14; ++line)
        EXPECT_EQ(lines[line - 1], QByteArray("-1;").repeated(18)) << "line " << line;
    // 一学期;二学期;三学期; and 国語;表現;理解;言語; in code page 932 (表 is 0x95 0x5C: its second
    // byte is a backslash).
    EXPECT_EQ(lines[14], QByteArray::fromHex("88ea8a778afa3b93f18a778afa3b8e4f8a778afa3b"));
    EXPECT_EQ(lines[15], QByteArray::fromHex("8d918cea3b955c8cbb3b979d89f03b8cbe8cea3b"));
    EXPECT_EQ(lines[20], Sjis(u"体育;知識;工夫;観点3;"));
    EXPECT_EQ(lines[21], Sjis(u"国語;算数;理科;社会;家庭;体育;;;;;"));
    EXPECT_EQ(lines[22],
              Sjis(u"表現;理解;知識;思考;観察;資料;観・資;観・実;知・理;工夫;言語;表・処;") +
                  QByteArray(8, ';'));
    for (int line = 24; line <= 839; ++line)
        ASSERT_EQ(lines[line - 1], QByteArray("-1.0;").repeated(45)) << "line " << line;
    // 一学期; 1回目試験;
    EXPECT_EQ(lines[839], QByteArray::fromHex("88ea8a778afa3b2031") + Sjis(u"回目試験;"));
    EXPECT_EQ(lines[840], Sjis(u"一学期; 1回目試験;")) << "viewpoint 1 of the same test";
    EXPECT_EQ(lines[842], QByteArray(";;")) << "the total's slot has no texts";
    EXPECT_EQ(lines[840 + 300 - 1], Sjis(u"二学期; 10回目試験;"));
    EXPECT_EQ(lines[1654], QByteArray(";;")) << "line 1655: a whole-year slot";
}

TEST(GradeBookFileWriter, ThreePupilsRegistered) {
    auto book = ResetBook();
    book->RosterSize = 3;
    book->StudentNames[0] = u"青木"_s;
    book->StudentNames[1] = u"井上"_s;
    book->StudentNames[2] = u"宇野"_s;
    for (int p = 0; p < kCriteriaPeriods; ++p)
        for (int c = 0; c < kCriteriaColumns; ++c) {
            book->RankAPercent[p][c] = 20;
            book->RankCPercent[p][c] = 40;
        }
    const QList<QByteArray> lines = Lines(GradeBookFileBytes(*book));
    EXPECT_EQ(lines[4], QByteArray(" 3"));
    EXPECT_EQ(lines[5], Sjis(u"青木;井上;宇野;") + QByteArray(37, ';'));
    for (int line = 7; line <= 10; ++line)
        EXPECT_EQ(lines[line - 1], QByteArray(" 20;").repeated(18));
    for (int line = 11; line <= 14; ++line)
        EXPECT_EQ(lines[line - 1], QByteArray(" 40;").repeated(18));
}

TEST(GradeBookFileWriter, ScoreTexts) {
    auto book = ResetBook();
    const float values[] = {85.0f,      kAbsent, 10163.0f, 0.5f,    -0.25f, 72.35f,
                            66.666664f, 0.0f,    -0.0f,    100.05f, 1e7f,   0.04f};
    const char* texts[] = {"85.0", "-2.0", "10163.0", "0.5",   "-0.3",       "72.3",
                           "66.7", "0.0",  "0.0",     "100.1", "10000000.0", "0.0"};
    for (size_t i = 0; i < std::size(values); ++i)
        book->Scores[5][i] = values[i];
    const QList<QByteArray> fields = Lines(GradeBookFileBytes(*book))[24 + 5 - 1].split(';');
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(fields[static_cast<qsizetype>(i)], QByteArray(texts[i])) << values[i];
    EXPECT_EQ(fields.size(), 46) << "45 fields, each followed by ;";
}

TEST(GradeBookFileWriter, EveryScoreFollowsTheNumberRules) {
    // Whole books of awkward values: each field must be ScoreText of the value, and must read
    // back as the nearest float to its leading number.
    std::mt19937 random(7);
    std::uniform_int_distribution<quint32> anyBits;
    std::uniform_int_distribution<int> tenths(-100000000, 100000000);
    std::vector<float> values = {0.05f,       0.15f,  0.25f,      0.35f,      -0.05f,
                                 -0.25f,      72.35f, 9999999.0f, 9999999.5f, 1e7f,
                                 -9999999.5f, 1e8f,   3.4e38f,    -3.4e38f,   1e-30f,
                                 -1e-30f,     0.0f,   -0.0f,      10163.0f,   kAbsent};
    while (values.size() < 4 * size_t(kUsedSlots) * kScoreColumns) {
        const float tenth = static_cast<float>(tenths(random)) / 10.0f;
        values.push_back(tenth);
        values.push_back(std::nextafter(tenth, 1e9f));
        float bits = 0;
        const quint32 pattern = anyBits(random);
        std::memcpy(&bits, &pattern, sizeof bits);
        if (std::isfinite(bits))
            values.push_back(bits);
        values.push_back(static_cast<float>(tenths(random) % 2000000) / 20.0f);
    }
    size_t next = 0;
    while (next < values.size()) {
        auto book = ResetBook();
        for (int slot = 0; slot < kUsedSlots && next < values.size(); ++slot)
            for (int col = 0; col < kScoreColumns && next < values.size(); ++col)
                book->Scores[slot][col] = values[next++];
        const QByteArray bytes = GradeBookFileBytes(*book);
        const QList<QByteArray> lines = Lines(bytes);
        auto read = ResetBook();
        ASSERT_TRUE(ParseGradeBookFile(bytes, *read, nullptr));
        for (int slot = 0; slot < kUsedSlots; ++slot) {
            const QList<QByteArray> fields = lines[23 + slot].split(';');
            for (int col = 0; col < kScoreColumns; ++col) {
                const float value = book->Scores[slot][col];
                ASSERT_EQ(QString::fromLatin1(fields[col]), ScoreText(value)) << value;
                const auto expected =
                    static_cast<float>(LeadingNumber(QString::fromLatin1(fields[col])));
                ASSERT_EQ(std::memcmp(&read->Scores[slot][col], &expected, sizeof expected), 0)
                    << fields[col].toStdString();
            }
        }
    }
}

TEST(GradeBookFileReader, ScoreFieldsInOtherFormsReadAsTheirLeadingNumber) {
    const char* texts[] = {"85",    "+85.0", " 85.0",        "85.0 ",       "85.00",
                           "085.0", "-.5",   "1.",           "1e2",         "12345678901.5",
                           "0.1x",  "-0.0",  "--1.0",        "1.2.3",       "",
                           "-",     "abc",   "1234567890.1", "123456789.1", "9.99999999999999999e5",
                           "\t-3.5"};
    QList<QByteArray> lines = Lines(GradeBookFileBytes(*ResetBook()));
    QByteArray line;
    for (const char* text : texts)
        line += QByteArray(text) + ';';
    line += QByteArray("-1.0;").repeated(45 - static_cast<int>(std::size(texts)));
    lines[23] = line;
    auto book = ResetBook();
    ASSERT_TRUE(ParseGradeBookFile(JoinLines(lines), *book, nullptr));
    for (size_t i = 0; i < std::size(texts); ++i) {
        const auto expected = static_cast<float>(LeadingNumber(QString::fromLatin1(texts[i])));
        EXPECT_EQ(std::memcmp(&book->Scores[0][i], &expected, sizeof expected), 0) << texts[i];
    }
    EXPECT_EQ(book->Scores[0][0], 85.0f);
    EXPECT_EQ(book->Scores[0][6], -0.5f);
    EXPECT_TRUE(std::signbit(book->Scores[0][11])) << "-0.0 keeps its sign, as strtod gives it";
}

TEST(GradeBookFileWriter, NotSavedEntriesStayOut) {
    auto book = ResetBook();
    book->StudentNames[40] = QStringLiteral("never");
    book->RankAPercent[4][0] = 55;
    book->RankAPercent[0][18] = 55;
    book->Scores[816][0] = 55;
    book->Scores[0][45] = 55;
    book->TestInfo[0][2] = QStringLiteral("never");
    book->SubjectTitles[6][0] = QStringLiteral("never");
    book->SubjectTitles[0][4] = QStringLiteral("never");
    EXPECT_EQ(GradeBookFileBytes(*book), GradeBookFileBytes(*ResetBook()));
}

// --- Reading back --------------------------------------------------------------------------

TEST(GradeBookFileReader, RoundTripByteForByte) {
    const auto original = SampleBook();
    const QByteArray bytes = GradeBookFileBytes(*original);
    auto read = ResetBook();
    QString error;
    ASSERT_TRUE(ParseGradeBookFile(bytes, *read, &error)) << error.toStdString();
    EXPECT_EQ(GradeBookFileBytes(*read), bytes);

    EXPECT_EQ(read->TeacherName, u"髙橋 一郎"_s);
    EXPECT_EQ(read->StudentNames[1], u"井上 ﾊﾅｺ"_s);
    EXPECT_EQ(read->StudentNames[3], u"宇野 ①"_s);
    EXPECT_EQ(read->RosterSize, 4);
    EXPECT_EQ(CountEnrolled(*read), 3);
    EXPECT_EQ(read->RankAPercent[3][0], 0);
    EXPECT_EQ(read->RankCPercent[3][0], 100);
    EXPECT_EQ(read->RankCPercent[2][17], -1);
    EXPECT_EQ(read->RankAPercent[1][17], 37);
    const int slot = TestSlot(0, 1, 0, 0);
    EXPECT_EQ(read->Scores[slot][0], 85.0f);
    EXPECT_EQ(read->Scores[slot][1], kAbsent);
    EXPECT_EQ(read->Scores[slot][3], 0.5f);
    EXPECT_EQ(read->Scores[SemesterAggregateSlot(0, 1, 0)][1], 10163.0f);
    EXPECT_EQ(read->Scores[YearAggregateSlot(5, 3)][0], 1234.5f);
    EXPECT_EQ(read->TestInfo[slot][1], u"小数の計算"_s);
    EXPECT_EQ(read->SubjectTitles[4][0], u"家庭科"_s);
    EXPECT_EQ(read->SubjectNameChoices[6], u"生活"_s);
}

TEST(GradeBookFileReader, ManyTextsAndRowsThatComeBackAfterOthers) {
    // More distinct texts than a table of recent ones holds; rows and test lines equal to ones
    // a few lines before them, in runs and alone.
    auto book = ResetBook();
    for (int n = 0; n < kMaxPupils; ++n)
        book->StudentNames[n] = u"生徒"_s + QString::number(n);
    for (int slot = 0; slot < kUsedSlots; ++slot) {
        book->TestInfo[slot][0] = slot % 3 ? QString() : u"２月"_s + QString::number(slot % 5);
        book->TestInfo[slot][1] = u"単元"_s + QString::number(slot / 2 % 97);
        for (int col = 0; col < kScoreColumns; ++col)
            book->Scores[slot][col] = slot % 4 == 1 ? float(col) : float(slot / 3 % 5);
    }
    const QByteArray bytes = GradeBookFileBytes(*book);
    auto read = ResetBook();
    ASSERT_TRUE(ParseGradeBookFile(bytes, *read, nullptr));
    EXPECT_EQ(GradeBookFileBytes(*read), bytes);
    EXPECT_EQ(read->StudentNames, book->StudentNames);
    for (int slot = 0; slot < kUsedSlots; ++slot) {
        ASSERT_EQ(read->TestInfo[slot][0], book->TestInfo[slot][0]) << slot;
        ASSERT_EQ(read->TestInfo[slot][1], book->TestInfo[slot][1]) << slot;
        ASSERT_EQ(std::memcmp(read->Scores[slot].data(), book->Scores[slot].data(),
                              kScoreColumns * sizeof(float)),
                  0)
            << slot;
    }
}

TEST(GradeBookFileReader, ScoresComeBackRoundedToOneDecimal) {
    auto book = ResetBook();
    book->Scores[0][kAverageColumn] = 66.666664f;
    book->Scores[1][kAverageColumn] = 72.35f;
    auto read = ResetBook();
    ASSERT_TRUE(ParseGradeBookFile(GradeBookFileBytes(*book), *read, nullptr));
    EXPECT_EQ(read->Scores[0][kAverageColumn], 66.7f);
    EXPECT_EQ(read->Scores[1][kAverageColumn], 72.3f);
}

TEST(GradeBookFileReader, KeepsWhatTheFileDoesNotHold) {
    auto book = ResetBook();
    book->StudentNames[40] = QStringLiteral("kept");
    book->Scores[816][3] = 7;
    book->Scores[3][45] = 8;
    book->TestInfo[5][2] = QStringLiteral("kept");
    book->RankAPercent[4][2] = 9;
    book->SubjectKeys[0] = QStringLiteral("KEPT");
    ASSERT_TRUE(ParseGradeBookFile(GradeBookFileBytes(*SampleBook()), *book, nullptr));
    EXPECT_EQ(book->StudentNames[40], QStringLiteral("kept"));
    EXPECT_EQ(book->Scores[816][3], 7.0f);
    EXPECT_EQ(book->Scores[3][45], 8.0f);
    EXPECT_EQ(book->TestInfo[5][2], QStringLiteral("kept"));
    EXPECT_EQ(book->RankAPercent[4][2], 9);
    EXPECT_EQ(book->SubjectKeys[0], QStringLiteral("KEPT"));
    EXPECT_EQ(book->TeacherName, u"髙橋 一郎"_s);
}

TEST(GradeBookFileReader, FieldsAndNumbersAsTheReaderTakesThem) {
    QList<QByteArray> lines = Lines(GradeBookFileBytes(*ResetBook()));
    lines[0] = Sjis(u"  令和6年度; そのまま "); // whole line, ";" included
    lines[4] = "  12.5abc";                     // leading number, half to even
    lines[5] = Sjis(u"青木;井上;") + QByteArray(38, ';') + "extra;text"; // 40 fields, rest ignored
    lines[6] = " 20; 2.5;3.5;abc; 7x;-0.5;" + QByteArray("0;").repeated(12) + "99";
    lines[23] = "  85abc;-2.0;1e1;.5;" + QByteArray("-1.0;").repeated(41);
    lines[839] = Sjis(u" 日付 ;名;前;"); // a ";" typed into a name splits it
    auto book = ResetBook();
    QString error;
    ASSERT_TRUE(ParseGradeBookFile(JoinLines(lines), *book, &error)) << error.toStdString();
    EXPECT_EQ(book->HomeRoomYear, u"  令和6年度; そのまま "_s);
    EXPECT_EQ(book->RosterSize, 12);
    EXPECT_EQ(book->StudentNames[0], u"青木"_s);
    EXPECT_EQ(book->StudentNames[1], u"井上"_s);
    EXPECT_TRUE(book->StudentNames[39].isEmpty());
    EXPECT_EQ(book->RankAPercent[0][0], 20);
    EXPECT_EQ(book->RankAPercent[0][1], 2);
    EXPECT_EQ(book->RankAPercent[0][2], 4);
    EXPECT_EQ(book->RankAPercent[0][3], 0);
    EXPECT_EQ(book->RankAPercent[0][4], 7);
    EXPECT_EQ(book->RankAPercent[0][5], 0) << "-0.5 rounds to even: 0";
    EXPECT_EQ(book->RankAPercent[0][17], 0);
    EXPECT_EQ(book->Scores[0][0], 85.0f);
    EXPECT_EQ(book->Scores[0][1], -2.0f);
    EXPECT_EQ(book->Scores[0][2], 10.0f);
    EXPECT_EQ(book->Scores[0][3], 0.5f);
    EXPECT_EQ(book->TestInfo[0][0], u" 日付 "_s);
    EXPECT_EQ(book->TestInfo[0][1], u"名"_s);

    lines[4] = " 13.5";
    ASSERT_TRUE(ParseGradeBookFile(JoinLines(lines), *book, nullptr));
    EXPECT_EQ(book->RosterSize, 14);
}

TEST(GradeBookFileReader, LineEndsAndTheEndOfTheFile) {
    const auto sample = SampleBook();
    const QByteArray bytes = GradeBookFileBytes(*sample);
    const QList<QByteArray> lines = Lines(bytes);

    struct Variant {
        const char* what;
        QByteArray bytes;
    };
    QByteArray noFinalEnd = bytes;
    noFinalEnd.chop(2);
    QByteArray mixed;
    for (qsizetype i = 0; i < lines.size(); ++i)
        mixed += lines[i] + (i % 2 ? "\n" : "\r\n");
    const Variant variants[] = {
        {"as written", bytes},
        {"line 1655 without CR LF", noFinalEnd},
        {"lone LF line ends", JoinLines(lines, "\n")},
        {"mixed line ends", mixed},
        {"lines after 1655", bytes + "garbage;\r\n\xff\xfe\r\nmore"},
        {"an empty line after 1655", bytes + "\r\n"},
    };
    for (const Variant& variant : variants) {
        auto book = ResetBook();
        QString error;
        ASSERT_TRUE(ParseGradeBookFile(variant.bytes, *book, &error))
            << variant.what << ": " << error.toStdString();
        EXPECT_EQ(GradeBookFileBytes(*book), bytes) << variant.what;
    }
}

// Nothing is read in with a character replaced: the first line that is no code page 932 text
// refuses the file.
TEST(GradeBookFileReader, BytesThatAreNoCp932TextAreRefusedAtTheirLine) {
    const struct {
        int line; // 0-based
        QByteArray bytes;
    } cases[] = {
        {3, "\x80" + Sjis(u"先生")},
        {5, "\x8d;" + QByteArray(39, ';')}, // a lead byte cut off by the separator
    };
    for (const auto& c : cases) {
        QList<QByteArray> lines = Lines(GradeBookFileBytes(*ResetBook()));
        lines[c.line] = c.bytes;
        auto book = ResetBook();
        const QByteArray before = Snapshot(*book);
        QString error;
        EXPECT_FALSE(ParseGradeBookFile(JoinLines(lines), *book, &error));
        EXPECT_EQ(error,
                  u"%1 行目: シフトJIS（コードページ932）として読めない文字があります。"_s.arg(
                      c.line + 1));
        EXPECT_EQ(Snapshot(*book), before);
    }
}

TEST(GradeBookFileReader, NameWithEmojiComesBackWithQuestionMark) {
    auto book = ResetBook();
    book->RosterSize = 1;
    book->StudentNames[0] = u"山田😀花子"_s;
    book->TeacherName = u"안 先生"_s;
    auto read = ResetBook();
    ASSERT_TRUE(ParseGradeBookFile(GradeBookFileBytes(*book), *read, nullptr));
    EXPECT_EQ(read->StudentNames[0], u"山田?花子"_s);
    EXPECT_EQ(read->TeacherName, u"? 先生"_s);
}

TEST(GradeBookFileReader, UnicodeFilesFromATextEditor) {
    // Saved again from an editor in UTF-8, with or without a byte order mark, the book reads the
    // same; in UTF-16 it is refused with a message that says so.
    const auto sample = SampleBook();
    const QString text = DecodeCp932(GradeBookFileBytes(*sample));
    for (const QByteArray& bytes : {text.toUtf8(), QByteArray("\xEF\xBB\xBF") + text.toUtf8()}) {
        auto book = ResetBook();
        QString error;
        ASSERT_TRUE(ParseGradeBookFile(bytes, *book, &error)) << error.toStdString();
        EXPECT_EQ(Snapshot(*book), Snapshot(*sample));
    }
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    auto book = ResetBook();
    QString error;
    EXPECT_FALSE(ParseGradeBookFile(utf16, *book, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("UTF-16"))) << error.toStdString();
}

// --- Refusals ------------------------------------------------------------------------------

TEST(GradeBookFileReader, EveryRefusalLeavesTheBookUntouched) {
    const QList<QByteArray> good = Lines(GradeBookFileBytes(*ResetBook()));
    auto replaced = [&](int line, const QByteArray& text) {
        QList<QByteArray> lines = good;
        lines[line - 1] = text;
        return JoinLines(lines);
    };
    auto firstLines = [&](int count) { return JoinLines(good.mid(0, count)); };

    QByteArray cutMidLine = firstLines(899);
    cutMidLine += "-1.0;-1.0";

    const Refusal refusals[] = {
        {QByteArray(), u"1 行目"_s, "an empty file"},
        {firstLines(3), u"4 行目"_s, "only three lines"},
        {firstLines(1654), u"1655 行目"_s, "line 1655 missing"},
        {cutMidLine, u"900 行目"_s, "cut in the middle of a score line"},
        {firstLines(1654) + ";", u"1655 行目"_s, "line 1655 with one field"},
        {firstLines(1654) + "\r\n", u"1655 行目"_s, "an empty line 1655"},
        {replaced(6, QByteArray(39, ';')), u"6 行目"_s, "39 names"},
        {replaced(10, QByteArray("-1;").repeated(17) + "-1"), u"10 行目"_s, "17 criteria"},
        {replaced(15, "a;b;c"), u"15 行目"_s, "two semester names"},
        {replaced(21, "a;b;c;"), u"21 行目"_s, "three subject titles"},
        {replaced(22, QByteArray(9, ';')), u"22 行目"_s, "nine subject choices"},
        {replaced(23, QByteArray(19, ';')), u"23 行目"_s, "19 viewpoint choices"},
        {replaced(24, QByteArray("-1.0;").repeated(44)), u"24 行目"_s, "44 scores"},
        {replaced(839, QByteArray("-1.0,").repeated(45)), u"839 行目"_s, "commas"},
        {replaced(1000, "only one;"), u"1000 行目"_s, "one test text"},
        {replaced(5, " 41"), u"5 行目"_s, "41 pupils"},
        {replaced(5, "-1"), u"5 行目"_s, "a negative roster"},
        {replaced(5, "40.6"), u"5 行目"_s, "rounds to 41"},
        {replaced(5, "1e10"), u"5 行目"_s, "a roster far too big"},
        {replaced(5, "65576"), u"5 行目"_s, "a roster that wraps to 40 in 16 bits"},
        {replaced(8, " 32768;" + QByteArray(" 20;").repeated(17)), u"8 行目"_s, "32768"},
        {replaced(12, QByteArray(" 40;").repeated(17) + "32767.5;"), u"12 行目"_s,
         "rounds to 32768"},
        {replaced(13, "-32769;" + QByteArray(" 40;").repeated(17)), u"13 行目"_s, "-32769"},
        {replaced(14, "1e999;" + QByteArray(" 40;").repeated(17)), u"14 行目"_s, "infinite"},
        {replaced(30, "1e39;" + QByteArray("-1.0;").repeated(44)), u"30 行目"_s, "beyond a float"},
        {replaced(31, QByteArray("-1.0;").repeated(44) + "-3.5e38;"), u"31 行目"_s,
         "beyond a float, negative"},
        {replaced(32, "1e99999;" + QByteArray("-1.0;").repeated(44)), u"32 行目"_s,
         "an absurd exponent"},
    };
    for (const Refusal& refusal : refusals) {
        auto book = SampleBook();
        const QByteArray before = Snapshot(*book);
        QString error;
        EXPECT_FALSE(ParseGradeBookFile(refusal.bytes, *book, &error)) << refusal.what;
        EXPECT_EQ(Snapshot(*book), before) << refusal.what;
        EXPECT_TRUE(error.startsWith(refusal.expectedLine))
            << refusal.what << ": " << error.toStdString();
    }
}

TEST(GradeBookFileReader, RefusalMessagesSayWhatIsWrong) {
    const QList<QByteArray> good = Lines(GradeBookFileBytes(*ResetBook()));
    auto book = ResetBook();
    QString error;

    EXPECT_FALSE(ParseGradeBookFile(JoinLines(good.mid(0, 100)), *book, &error));
    EXPECT_EQ(error, u"101 行目がありません。ファイルが途中で終わっています"
                     u"（成績ファイルは 1655 行です）。"_s);

    QList<QByteArray> lines = good;
    lines[5] = QByteArray(12, ';');
    EXPECT_FALSE(ParseGradeBookFile(JoinLines(lines), *book, &error));
    EXPECT_EQ(error, u"6 行目: 項目が足りません（「;」で区切られた項目が 40 個必要ですが、"
                     u"12 個しかありません）。"_s);

    lines = good;
    lines[4] = Sjis(u" 45人");
    EXPECT_FALSE(ParseGradeBookFile(JoinLines(lines), *book, &error));
    EXPECT_EQ(error, u"5 行目: 生徒数「 45人」が 0 から 40 の範囲にありません。"_s);

    lines = good;
    lines[100] = "-1.0;-1.0;" + QByteArray("1e40;") + QByteArray("-1.0;").repeated(42);
    EXPECT_FALSE(ParseGradeBookFile(JoinLines(lines), *book, &error));
    EXPECT_EQ(error, u"101 行目: 3 番目の項目「1e40」は得点として大きすぎます。"_s);

    lines = good;
    lines[7] = QByteArray(" 20;").repeated(4) + "99999;" + QByteArray(" 20;").repeated(13);
    EXPECT_FALSE(ParseGradeBookFile(JoinLines(lines), *book, &error));
    EXPECT_EQ(error, u"8 行目: 5 番目の項目「99999」は評価基準の値として大きすぎます"
                     u"（-32768 から 32767 までです）。"_s);
}

TEST(GradeBookFileReader, BoundaryValuesThatFit) {
    QList<QByteArray> lines = Lines(GradeBookFileBytes(*ResetBook()));
    lines[4] = "40.5"; // halves to even: 40
    lines[6] = "32767.4;-32768.5;" + QByteArray("-1;").repeated(16);
    lines[23] = "3.4e38;-3.4e38;1e-50;" + QByteArray("-1.0;").repeated(42);
    auto book = ResetBook();
    QString error;
    ASSERT_TRUE(ParseGradeBookFile(JoinLines(lines), *book, &error)) << error.toStdString();
    EXPECT_EQ(book->RosterSize, 40);
    EXPECT_EQ(book->RankAPercent[0][0], 32767);
    EXPECT_EQ(book->RankAPercent[0][1], -32768);
    EXPECT_EQ(book->Scores[0][0], 3.4e38f);
    EXPECT_EQ(book->Scores[0][1], -3.4e38f);
    EXPECT_EQ(book->Scores[0][2], 0.0f);

    // Extreme scores are written in full and read back to the same value.
    auto again = ResetBook();
    ASSERT_TRUE(ParseGradeBookFile(GradeBookFileBytes(*book), *again, &error));
    EXPECT_EQ(again->Scores[0][0], 3.4e38f);
    EXPECT_EQ(GradeBookFileBytes(*again), GradeBookFileBytes(*book));
}

TEST(GradeBookFileReader, RefusesAnOversizedFile) {
    QByteArray bytes = GradeBookFileBytes(*ResetBook());
    bytes += QByteArray(kMaxGradeBookFileBytes - bytes.size() + 1, 'x');
    auto book = SampleBook();
    const QByteArray before = Snapshot(*book);
    QString error;
    EXPECT_FALSE(ParseGradeBookFile(bytes, *book, &error));
    EXPECT_TRUE(error.contains(u"大きすぎます"_s)) << error.toStdString();
    EXPECT_EQ(Snapshot(*book), before);

    bytes.chop(1); // exactly at the limit: the lines after 1655 are ignored
    EXPECT_TRUE(ParseGradeBookFile(bytes, *book, &error)) << error.toStdString();
}

// --- Files on disk -------------------------------------------------------------------------

class GradeBookFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QString Path(const QString& name) const { return folder.filePath(name); }
    static QByteArray Content(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return "(missing)";
        return file.readAll();
    }
    static void Put(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QStringList Entries() const {
        return QDir(folder.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    QTemporaryDir folder;
};

TEST_F(GradeBookFileOnDisk, ReadsWhatWasWritten) {
    const QString path = Path(QStringLiteral("class3.txt"));
    const auto sample = SampleBook();
    QString error;
    ASSERT_TRUE(WriteGradeBookFile(path, *sample, &error)) << error.toStdString();
    EXPECT_EQ(Content(path), GradeBookFileBytes(*sample));
    auto read = ResetBook();
    ASSERT_TRUE(ReadGradeBookFile(path, *read, &error)) << error.toStdString();
    EXPECT_EQ(Snapshot(*read), Snapshot(*sample));
}

TEST_F(GradeBookFileOnDisk, FirstSaveMakesNoBackup) {
    const QString path = Path(QStringLiteral("a.txt"));
    QString error;
    ASSERT_TRUE(WriteGradeBookFile(path, *ResetBook(), &error)) << error.toStdString();
    EXPECT_EQ(Content(path), GradeBookFileBytes(*ResetBook()));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("a.txt")}) << "no backup, no temporary file";
}

TEST_F(GradeBookFileOnDisk, SavingOverAFileKeepsTheOldOneAsBackup) {
    const QString path = Path(QStringLiteral("a.txt"));
    const QString backup = Path(QStringLiteral("a.bak"));
    Put(backup, "an older backup");
    Put(path, "the previous content");
    const auto sample = SampleBook();
    QString error;
    ASSERT_TRUE(WriteGradeBookFile(path, *sample, &error)) << error.toStdString();
    EXPECT_EQ(Content(path), GradeBookFileBytes(*sample));
    EXPECT_EQ(Content(backup), QByteArray("the previous content"));

    ASSERT_TRUE(WriteGradeBookFile(path, *ResetBook(), &error));
    EXPECT_EQ(Content(backup), GradeBookFileBytes(*sample));
    EXPECT_EQ(Content(path), GradeBookFileBytes(*ResetBook()));
    EXPECT_EQ(Entries().size(), 2);
}

TEST_F(GradeBookFileOnDisk, NameWithoutExtensionGetsBakAppended) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("v1.2")));
    const QString path = Path(QStringLiteral("v1.2/class3"));
    Put(path, "old");
    ASSERT_TRUE(WriteGradeBookFile(path, *ResetBook(), nullptr));
    EXPECT_EQ(Content(Path(QStringLiteral("v1.2/class3.bak"))), QByteArray("old"));
    EXPECT_EQ(Content(Path(QStringLiteral("v1.bak"))), QByteArray("(missing)"));
}

TEST_F(GradeBookFileOnDisk, SavingUnderTheBackupNameItselfMakesNoBackup) {
    // "a.bak" would be its own backup: removing the old backup must not remove the file.
    const QString path = Path(QStringLiteral("a.bak"));
    Put(path, "old");
    QString error;
    ASSERT_TRUE(WriteGradeBookFile(path, *SampleBook(), &error)) << error.toStdString();
    EXPECT_EQ(Content(path), GradeBookFileBytes(*SampleBook()));
}

TEST_F(GradeBookFileOnDisk, AFailingBackupIsPassedOver) {
    const QString path = Path(QStringLiteral("a.txt"));
    Put(path, "old");
    // The backup's place is taken by a folder that is not empty, so it can be neither removed
    // nor replaced.
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("a.bak/inside")));
    QString error;
    ASSERT_TRUE(WriteGradeBookFile(path, *ResetBook(), &error)) << error.toStdString();
    EXPECT_EQ(Content(path), GradeBookFileBytes(*ResetBook()));
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("a.bak"))).isDir());
}

TEST_F(GradeBookFileOnDisk, SaveIntoAMissingFolderFails) {
    const QString path = Path(QStringLiteral("gone/a.txt"));
    QString error;
    EXPECT_FALSE(WriteGradeBookFile(path, *ResetBook(), &error));
    EXPECT_TRUE(error.contains(u"保存できませんでした"_s)) << error.toStdString();
    EXPECT_TRUE(error.contains(u"フォルダーがありません"_s)) << error.toStdString();
    EXPECT_TRUE(Entries().isEmpty());
}

TEST_F(GradeBookFileOnDisk, SaveOverAFolderFailsAndKeepsIt) {
    const QString path = Path(QStringLiteral("a.txt"));
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("a.txt/inside")));
    QString error;
    EXPECT_FALSE(WriteGradeBookFile(path, *ResetBook(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("a.txt/inside"))).isDir());
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("a.txt")});
}

TEST_F(GradeBookFileOnDisk, WriteFailingPartWayKeepsTheOldFile) {
    // A file-size limit makes the disk "full" after 4 KB: the write fails part-way.
    const QString path = Path(QStringLiteral("a.txt"));
    const QString backup = Path(QStringLiteral("a.bak"));
    Put(path, "the previous content");
    Put(backup, "an older backup");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* const oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool saved_ok = WriteGradeBookFile(path, *SampleBook(), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_TRUE(error.contains(u"元のファイルは変更されていません"_s)) << error.toStdString();
    EXPECT_EQ(Content(path), QByteArray("the previous content"));
    EXPECT_EQ(Content(backup), QByteArray("an older backup")) << "no backup for a failed save";
    EXPECT_EQ(Entries().size(), 2) << "the temporary file is gone";
}

TEST_F(GradeBookFileOnDisk, TextsTheFileCannotHoldAreRefused) {
    const QString path = Path(QStringLiteral("a.txt"));
    Put(path, "old");
    auto book = SampleBook();
    book->StudentNames[2] = u"佐藤;花子"_s;
    QString error;
    EXPECT_FALSE(WriteGradeBookFile(path, *book, &error));
    EXPECT_TRUE(error.contains(u"出席番号 3 の氏名"_s)) << error.toStdString();
    EXPECT_EQ(Content(path), QByteArray("old"));

    book = SampleBook();
    book->TeacherName = u"髙橋\n一郎"_s;
    EXPECT_FALSE(WriteGradeBookFile(path, *book, &error));
    EXPECT_TRUE(error.contains(u"担任の氏名"_s)) << error.toStdString();
    EXPECT_TRUE(error.contains(u"改行"_s)) << error.toStdString();

    book = SampleBook();
    book->TestInfo[TestSlot(1, 2, 3, 0)][1] = QStringLiteral("a\nb");
    EXPECT_FALSE(WriteGradeBookFile(path, *book, &error));
    EXPECT_TRUE(error.contains(u"二学期 理科 第4回"_s)) << error.toStdString();

    // Never written with a character replaced: one the code page lacks refuses the save.
    book = SampleBook();
    book->StudentNames[0] = u"山田😀花子"_s;
    EXPECT_FALSE(WriteGradeBookFile(path, *book, &error));
    EXPECT_TRUE(error.contains(u"出席番号 1 の氏名「山田😀花子」に「😀」"_s)) << error.toStdString();
    EXPECT_EQ(Content(path), QByteArray("old"));

    // The four homeroom lines are whole lines: a ";" is stored as it stands.
    book = SampleBook();
    book->HomeRoomClass = u"2組;特別"_s;
    EXPECT_TRUE(WriteGradeBookFile(path, *book, &error)) << error.toStdString();
    auto read = ResetBook();
    ASSERT_TRUE(ReadGradeBookFile(path, *read, &error));
    EXPECT_EQ(read->HomeRoomClass, u"2組;特別"_s);
}

TEST_F(GradeBookFileOnDisk, ReadRefusals) {
    auto book = SampleBook();
    const QByteArray before = Snapshot(*book);
    QString error;

    EXPECT_FALSE(ReadGradeBookFile(Path(QStringLiteral("none.txt")), *book, &error));
    EXPECT_TRUE(error.contains(u"見つかりません"_s)) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("none.txt")));

    EXPECT_FALSE(ReadGradeBookFile(folder.path(), *book, &error));
    EXPECT_TRUE(error.contains(u"フォルダー"_s)) << error.toStdString();

    const QString short_ = Path(QStringLiteral("short.txt"));
    Put(short_, "2024\r\n5\r\n");
    EXPECT_FALSE(ReadGradeBookFile(short_, *book, &error));
    EXPECT_TRUE(error.startsWith(u"3 行目がありません"_s)) << error.toStdString();

    const QString big = Path(QStringLiteral("big.txt"));
    {
        QFile file(big);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(kMaxGradeBookFileBytes + 1));
    }
    EXPECT_FALSE(ReadGradeBookFile(big, *book, &error));
    EXPECT_TRUE(error.contains(u"大きすぎます"_s)) << error.toStdString();

    // A device without a size and without an end is refused unread.
    EXPECT_FALSE(ReadGradeBookFile(QStringLiteral("/dev/zero"), *book, &error));
    EXPECT_TRUE(error.contains(u"通常のファイルではありません"_s)) << error.toStdString();

    EXPECT_EQ(Snapshot(*book), before);
}

TEST_F(GradeBookFileOnDisk, SmallFixtureFromDisk) {
    // A hand-made file: the first 23 lines as a teacher's file has them, the rest generated.
    QFile fixture(QStringLiteral(KIRUNE_TEST_DATA "/model_head.txt"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = fixture.readAll().split('\n');
    ASSERT_EQ(lines.takeLast(), QByteArray());
    ASSERT_EQ(lines.size(), 23);
    const QList<QByteArray> generated = Lines(GradeBookFileBytes(*ResetBook()));
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + '\n';
    bytes += JoinLines(generated.mid(23));
    auto book = ResetBook();
    QString error;
    ASSERT_TRUE(ParseGradeBookFile(bytes, *book, &error)) << error.toStdString();
    EXPECT_EQ(book->HomeRoomYear, u"令和6年度"_s);
    EXPECT_EQ(book->TeacherName, u"髙橋 一郎"_s);
    EXPECT_EQ(book->RosterSize, 3);
    EXPECT_EQ(book->StudentNames[2], u"ﾀﾅｶ ①"_s);
    EXPECT_EQ(CountEnrolled(*book), 2);
    EXPECT_EQ(book->RankAPercent[0][0], 20);
    EXPECT_EQ(book->RankCPercent[3][17], 40);
    EXPECT_EQ(book->SubjectTitles[4][0], u"家庭科"_s);
    // Written back byte for byte, except that the kanji stored in its NEC-selected form (0xEEE0)
    // is written in its IBM form (0xFBFC), as Windows does.
    const qsizetype head = bytes.indexOf("-1.0;");
    EXPECT_EQ(GradeBookFileBytes(*book).left(head),
              bytes.left(head).replace(QByteArray::fromHex("eee0"), QByteArray::fromHex("fbfc")));
}
