// The spreadsheet export's rules: how a shown cell is written, and the sheets' names.
#include "output/xlsxexport.h"

#include "support/faultyops.h"
#include "support/testutil.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kirune {
namespace {

TEST(XlsxExport, CellsAreWrittenAsTheScreenShowsThem) {
    using Kind = SheetCell::Kind;
    const struct {
        const char16_t* shown;
        bool name;
        Kind kind;
        double number;
        const char* format;
        bool absent;
    } cases[] = {
        {u" 85", false, Kind::Number, 85, "0", false},
        {u"1,087", false, Kind::Number, 1087, "#,##0", false},
        {u" 72.5", false, Kind::Number, 72.5, "0.0", false},
        {u"-1,096.25", false, Kind::Number, -1096.25, "#,##0.00", false},
        {u"*85", false, Kind::Number, 85, "\"*\"0", true},
        {u"*1,698", false, Kind::Number, 1698, "\"*\"#,##0", true},
        {u"A", false, Kind::Text, 0, "", false},
        {u"*", false, Kind::Text, 0, "", false},
        {u"12a", false, Kind::Text, 0, "", false},
        {u"", false, Kind::Empty, 0, "", false},
        // Names are always strings, whatever they begin with.
        {u"-5", true, Kind::Text, 0, "", false},
        {u"=1+1", true, Kind::Text, 0, "", false},
        {u"+81 90", true, Kind::Text, 0, "", false},
        {u"@SUM(A1)", true, Kind::Text, 0, "", false},
    };
    for (const auto& c : cases) {
        const SheetCell cell = ClassifyCell(QString::fromUtf16(c.shown), c.name);
        SCOPED_TRACE(QString::fromUtf16(c.shown).toStdString());
        EXPECT_EQ(cell.kind, c.kind);
        if (c.kind == Kind::Number) {
            EXPECT_EQ(cell.number, c.number);
            EXPECT_EQ(cell.format, QLatin1String(c.format));
            EXPECT_EQ(cell.absent, c.absent);
        }
        if (c.kind == Kind::Text) {
            EXPECT_EQ(cell.text, QString::fromUtf16(c.shown));
        }
    }
}

TEST(XlsxExport, SheetNamesAreShortUniqueAndWithoutForbiddenCharacters) {
    QSet<QString> used;
    const std::pair<const char16_t*, const char16_t*> names[] = {
        {u"国語", u"国語"},
        {u"国語", u"国語 (2)"},
        {u"2026/05/14 漢字:テスト[1]?*\\", u"2026／05／14 漢字：テスト［1］？＊＼"},
        {u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむ",
         u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほま"},
        {u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむ",
         u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひ (2)"},
    };
    for (const auto& [node, sheet] : names)
        EXPECT_EQ(SheetName(QString::fromUtf16(node), used), QString::fromUtf16(sheet));
}

// A write that fails at any step up to the rename, reading the made workbook back included,
// leaves the target as it was, says what failed and leaves no temporary file; the open book and
// its backup are never written over.
TEST(XlsxExport, AFailedWriteLeavesTheTargetAsItWas) {
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("x.xlsx"));
    auto content = [&] {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    };
    WorkbookSheet sheet{QStringLiteral("t"), QStringLiteral("c"), Grid(3, 3), 3};
    sheet.grid.SetText(1, 2, QStringLiteral("85"));
    const auto steps =
        test::PlacingMadeFileSteps(QStringLiteral("book.xlsx"), QStringLiteral("x.xlsx"));
    test::FailEachStepInTurn(
        steps,
        [&](QString* error) {
            QFile old(target);
            EXPECT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
            old.write("old workbook");
            old.close();
            return ExportWorkbook({sheet}, QStringLiteral("c"), target, QString(), error);
        },
        [&](const test::FailingStep& step) {
            if (step.outcome == test::FailingStep::kFails) {
                EXPECT_EQ(content(), QByteArray("old workbook"));
            } else {
                EXPECT_TRUE(content().startsWith("PK"));
            }
            EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        });
    const QString book = folder.filePath(QStringLiteral("class.txt"));
    for (const QString& path : {book, folder.filePath(QStringLiteral("class.bak"))}) {
        QString error;
        EXPECT_FALSE(ExportWorkbook({sheet}, QStringLiteral("c"), path, book, &error));
        EXPECT_FALSE(QFile::exists(path));
    }
}

} // namespace
} // namespace kirune
