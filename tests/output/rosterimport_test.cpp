// Reading a pupils' roster file: the field rule, line ends, code page 932 and refusals.
#include "output/rosterimport.h"

#include "model/cp932.h"

#include "support/testutil.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

QByteArray Cp932(const char16_t* text) {
    return EncodeCp932(QString::fromUtf16(text));
}

QStringList Names(const QByteArray& bytes) {
    const RosterImport roster = ParseRoster(bytes);
    EXPECT_TRUE(roster.ok) << roster.message.toStdString();
    return roster.names;
}

TEST(RosterImport, OneNamePerLineInLineOrder) {
    EXPECT_EQ(Names(Cp932(u"青木一郎\r\n井上二葉\r\n上田三郎\r\n")),
              QStringList({u"青木一郎"_s, u"井上二葉"_s, u"上田三郎"_s}));
    // The last line needs no line end.
    EXPECT_EQ(Names(Cp932(u"青木\r\n井上")), QStringList({u"青木"_s, u"井上"_s}));
}

TEST(RosterImport, SemicolonBeforeCommaKeepsTheComma) {
    EXPECT_EQ(Names(QByteArray("A;B,C\r\n")), QStringList({"A", "B,C"}));
    EXPECT_EQ(Names(QByteArray("A,B;C,D\r\n")), QStringList({"A,B", "C,D"}));
    EXPECT_EQ(Names(QByteArray("A,B,C\r\n")), QStringList({"A", "B", "C"}));
    EXPECT_EQ(Names(QByteArray("A;B;C,D,E\r\n")), QStringList({"A", "B", "C,D,E"}));
    // Each line decides for itself.
    EXPECT_EQ(Names(QByteArray("A;B,C\r\nD,E\r\n")), QStringList({"A", "B,C", "D", "E"}));
}

TEST(RosterImport, EmptyFieldsAndLinesLeaveNoGaps) {
    EXPECT_EQ(Names(QByteArray("\r\nA,,B\r\n\r\n;;C;\r\n,\r\nD\r\n\r\n")),
              QStringList({"A", "B", "C", "D"}));
}

TEST(RosterImport, FieldsAreTakenUnchanged) {
    EXPECT_EQ(Names(QByteArray(" A ,\"B\"\r\n1,Tanaka\r\n")),
              QStringList({" A ", "\"B\"", "1", "Tanaka"}));
}

TEST(RosterImport, LineEndsCrLfLfOrCr) {
    const QStringList expected({"A", "B", "C", "D", "E"});
    EXPECT_EQ(Names(QByteArray("A\r\nB\r\nC\r\nD\r\nE\r\n")), expected);
    EXPECT_EQ(Names(QByteArray("A\nB\nC\nD\nE\n")), expected);
    EXPECT_EQ(Names(QByteArray("A\rB\rC\rD\rE\r")), expected);
    EXPECT_EQ(Names(QByteArray("A\rB\nC\r\nD\n\rE")), expected);
}

TEST(RosterImport, Cp932TwoByteCharactersAreKept) {
    // 「ソ」 and 「表」 end in the byte 0x5C; ①, ～ and 髙 exist only in code page 932.
    const QStringList names = {u"ソ表太郎"_s, u"髙橋①"_s, u"～ﾐﾅﾐ"_s};
    EXPECT_EQ(Names(EncodeCp932(names.join(u',') + QStringLiteral("\r\n"))), names);
}

TEST(RosterImport, EmptyFileGivesNoNames) {
    const RosterImport roster = ParseRoster(QByteArray());
    EXPECT_TRUE(roster.ok);
    EXPECT_TRUE(roster.names.isEmpty());
    EXPECT_TRUE(Names(QByteArray("\r\n,,\r\n;;\r\n")).isEmpty());
}

TEST(RosterImport, FortyNamesAreAccepted) {
    QByteArray bytes;
    for (int i = 1; i <= 40; ++i)
        bytes += "P" + QByteArray::number(i) + (i % 3 == 0 ? "\r\n" : ",");
    const QStringList names = Names(bytes);
    ASSERT_EQ(names.size(), 40);
    EXPECT_EQ(names.front(), QStringLiteral("P1"));
    EXPECT_EQ(names.back(), QStringLiteral("P40"));
}

TEST(RosterImport, MoreThanFortyNamesAreRefused) {
    QByteArray bytes;
    for (int i = 1; i <= 41; ++i)
        bytes += "P" + QByteArray::number(i) + "\r\n";
    const RosterImport roster = ParseRoster(bytes);
    EXPECT_FALSE(roster.ok);
    EXPECT_TRUE(roster.names.isEmpty());
    EXPECT_TRUE(roster.message.contains(u"40 名まで"_s)) << roster.message.toStdString();

    // Also when the surplus stands on the last line, after a long line of names.
    QByteArray oneLine;
    for (int i = 1; i <= 100; ++i)
        oneLine += "N,";
    EXPECT_FALSE(ParseRoster(oneLine).ok);
}

TEST(RosterImport, BytesThatAreNotCp932AreRefusedNamingTheLine) {
    QByteArray bytes = Cp932(u"青木\r\n井上\r\n");
    bytes += QByteArray("\x81\x20", 2); // a lead byte without a valid trail byte
    bytes += "\r\n";
    const RosterImport roster = ParseRoster(bytes);
    EXPECT_FALSE(roster.ok);
    EXPECT_TRUE(roster.names.isEmpty());
    EXPECT_TRUE(roster.message.startsWith(QStringLiteral("3 "))) << roster.message.toStdString();
}

TEST(RosterImport, UnicodeFilesAreReadAsUnicode) {
    const QString text = u"青木一郎\r\nﾀﾅｶ,髙橋①\r\n"_s;
    const QStringList names = {u"青木一郎"_s, u"ﾀﾅｶ"_s, u"髙橋①"_s};
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (const QChar c : text) {
        le += char(c.unicode() & 0xFF);
        le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8);
        be += char(c.unicode() & 0xFF);
    }
    for (const QByteArray& bytes : {text.toUtf8(), "\xEF\xBB\xBF" + text.toUtf8(), le, be})
        EXPECT_EQ(Names(bytes), names) << bytes.toHex().toStdString();
    // Half-width katakana in code page 932 that happen to be valid UTF-8 stay code page 932.
    EXPECT_EQ(Names(QByteArray("\xC3\xB1")), QStringList{u"ﾃｱ"_s});
    // An odd UTF-16 byte is refused.
    EXPECT_FALSE(ParseRoster(le + 'x').ok);
}

TEST(RosterImport, ControlCharactersInNamesAreRefusedNamingTheLine) {
    for (const char* bytes : {"A\r\nB\tC\r\n", "A\r\nB\x7F\r\n", "A\r\nB\x01,C"}) {
        const RosterImport roster = ParseRoster(QByteArray(bytes));
        EXPECT_FALSE(roster.ok) << bytes;
        EXPECT_TRUE(roster.names.isEmpty());
        EXPECT_TRUE(roster.message.startsWith(QStringLiteral("2 ")))
            << roster.message.toStdString();
    }
}

TEST(RosterImport, DosEndOfFileMarkIsNoName) {
    EXPECT_EQ(Names(QByteArray("A\r\nB\r\n\x1a")), QStringList({"A", "B"}));
}

TEST(RosterImport, ReadsAFileAndReportsOneThatCannotBeRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("roster.csv"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Cp932(u"青木;井上,上田\r\n"));
    }
    const RosterImport roster = ReadRosterFile(path);
    EXPECT_TRUE(roster.ok);
    EXPECT_EQ(roster.names, QStringList({u"青木"_s, u"井上,上田"_s}));

    const RosterImport missing = ReadRosterFile(dir.filePath(QStringLiteral("none.csv")));
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.message.contains(QStringLiteral("none.csv")));

    const RosterImport folder = ReadRosterFile(dir.path());
    EXPECT_FALSE(folder.ok);
    EXPECT_FALSE(folder.message.isEmpty());

    // A pipe is refused at once instead of waiting for a writer.
    const QString pipe = dir.filePath(QStringLiteral("pipe.csv"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const RosterImport fifo = ReadRosterFile(pipe);
    EXPECT_FALSE(fifo.ok);
    EXPECT_TRUE(fifo.message.contains(u"通常のファイルではありません"_s));
}

TEST(RosterImport, RefusalFromAFileNamesTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.csv"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 41; ++i)
            file.write("X\n");
    }
    const RosterImport roster = ReadRosterFile(path);
    EXPECT_FALSE(roster.ok);
    EXPECT_TRUE(roster.message.contains(QStringLiteral("big.csv")));
}

TEST(RosterImport, TablesWithANameColumnGiveTheNamesBelowTheirHeader) {
    const QStringList homeroom = {u"青木 颯太"_s, u"石川 結衣"_s, u"上田 蓮"_s, u"遠藤 さくら"_s,
                                  u"小川 大翔"_s, u"加藤 陽菜"_s, u"木村 湊"_s, u"小林 芽依"_s,
                                  u"斉藤 悠真"_s, u"高橋 美羽"_s, u"田中 樹"_s};
    struct Case {
        const char* name;
        QByteArray bytes;
        QStringList names;
    };
    auto fixture = [](const char* file) {
        QFile f(QStringLiteral(KIRUNE_TEST_DATA "/scores/") + QString::fromLatin1(file));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    const Case cases[] = {
        // The program's own homeroom table as CSV and as a workbook: the header and the empty
        // rows are no names, the pupil who left has none.
        {"homeroom CSV", fixture("homeroom_export.csv"), homeroom},
        {"homeroom workbook", fixture("homeroom_export.xlsx"), homeroom},
        // A test's table: the class-average row has no pupil's number.
        {"test workbook", fixture("own_export.xlsx"), homeroom},
        {"numbers and names",
         fixture("openpyxl.xlsx"),
         {u"青木 颯太"_s, u"石川 結衣"_s, u"上田 蓮"_s, u"小川 大翔"_s}},
        {"a name column in CSV",
         Cp932(u"学級名簿\r\n氏名,ふりがな\r\n 青木 ,あおき\r\n\r\n井上,\r\n"),
         {u"青木"_s, u"井上"_s}},
    };
    for (const Case& c : cases) {
        const RosterImport roster = ParseRosterFile(c.bytes, QStringLiteral("r"));
        EXPECT_TRUE(roster.ok) << c.name << ": " << roster.message.toStdString();
        EXPECT_EQ(roster.names.join(u'/'), c.names.join(u'/')) << c.name;
    }
}

TEST(RosterImport, TablesThatCannotBeARosterAreRefused) {
    QByteArray many = "No.,氏名\n";
    for (int i = 1; i <= 41; ++i)
        many += QByteArray::number(i) + ",X\n";
    QFile encrypted(QStringLiteral(KIRUNE_TEST_DATA "/scores/encrypted.xlsx"));
    ASSERT_TRUE(encrypted.open(QIODevice::ReadOnly));
    struct Case {
        const char* name;
        QByteArray bytes;
        const char16_t* message;
    };
    const Case cases[] = {
        {"a semicolon", QByteArray("氏名\n\"A;B\"\n"),
         u"ﾌｧｲﾙ「r.csv」: 2 行目の名前に「;」や改行があります。"},
        {"a line break", QByteArray("名前\n\"A\nB\"\n"), u"2 行目の名前に"},
        {"41 names", many, u"41 名以上の名前があります"},
        {"an encrypted workbook", encrypted.readAll(), u"ファイル「r.csv」: 暗号化された zip です"},
    };
    for (const Case& c : cases) {
        const RosterImport roster = ParseRosterFile(c.bytes, QStringLiteral("r.csv"));
        EXPECT_FALSE(roster.ok) << c.name;
        EXPECT_TRUE(roster.names.isEmpty()) << c.name;
        EXPECT_TRUE(roster.message.contains(QString::fromUtf16(c.message)))
            << c.name << ": " << roster.message.toStdString();
        EXPECT_TRUE(roster.message.endsWith(u"生徒名簿は読み込みませんでした。"_s)) << c.name;
    }
}

} // namespace
} // namespace kirune
