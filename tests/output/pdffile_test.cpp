// Printouts to a PDF file: made aside, put in place only when whole, never over the open book or
// its backup, and every failing step leaves the earlier file as it was.
#include "output/pdffile.h"

#include "support/fakeplatform.h"
#include "support/faultyops.h"
#include "support/testutil.h"
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune {
namespace {

class PdfFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(target);
    }
    // Puts the earlier printout in place and prints with `paint`; false and the messages shown
    // in *error when it failed.
    bool Print(const PaintJob& paint, QString* error) {
        QFile old(target);
        EXPECT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
        old.write("the earlier printout");
        old.close();
        platform.messages.clear();
        const bool printed = PaintingPdfAside(platform, book, paint)(printer);
        *error = platform.messages.join(u'\n');
        EXPECT_EQ(printer.outputFileName(), target);
        return printed;
    }
    QByteArray Content() const {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    QStringList Entries() const {
        return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    }

    static bool PaintPage(QPrinter& printer) {
        QPainter painter;
        if (!painter.begin(&printer))
            return false;
        painter.drawText(100, 100, u"5年2組"_s);
        return painter.end();
    }

    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("out.pdf"));
    const QString book = folder.filePath(QStringLiteral("b.txt"));
    test::FakePlatform platform;
    QPrinter printer{QPrinter::HighResolution};
};

// What the painting leaves in the file aside decides what happens to the earlier printout.
TEST_F(PdfFileTest, OnlyAWholePdfReplacesTheEarlierOne) {
    const struct {
        const char* name;
        PaintJob paint;
        bool printed;
        const char16_t* message; // nullptr: none
        bool replaced;
    } cases[] = {
        {"a page", PaintPage, true, nullptr, true},
        {"the painting failed", [](QPrinter&) { return false; }, false, nullptr, false},
        // A preview paints without writing a file.
        {"no file", [](QPrinter&) { return true; }, true, nullptr, false},
        {"cut short",
         [](QPrinter& printer) {
             QFile made(printer.outputFileName());
             return made.open(QIODevice::WriteOnly) && made.write("%PDF-1.4\n1 0 obj") > 0;
         },
         false, u"最後まで書かれていません", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        EXPECT_EQ(Print(c.paint, &error), c.printed);
        EXPECT_EQ(error.isEmpty(), c.message == nullptr) << error.toStdString();
        if (c.message) {
            EXPECT_TRUE(error.contains(QString::fromUtf16(c.message))) << error.toStdString();
        }
        EXPECT_EQ(Content().startsWith("%PDF-"), c.replaced);
        EXPECT_EQ(Entries(), QStringList{QStringLiteral("out.pdf")});
    }
}

// Qt's print preview paints the pages on the same printer: that writes no file and changes
// nothing; its print button puts the whole file in place.
TEST_F(PdfFileTest, ThePreviewWritesNothingAndItsPrintPutsTheFileInPlace) {
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the earlier printout");
    old.close();
    QPrintPreviewWidget preview(&printer);
    const PaintJob paint = PaintingPdfAside(platform, book, PaintPage);
    int painted = 0;
    QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, [&](QPrinter* on) {
        ++painted;
        paint(*on);
    });
    preview.updatePreview();
    EXPECT_EQ(painted, 1);
    EXPECT_EQ(preview.pageCount(), 1);
    EXPECT_EQ(Content(), QByteArray("the earlier printout"));
    EXPECT_EQ(printer.outputFileName(), target);
    preview.print();
    EXPECT_EQ(painted, 2);
    EXPECT_TRUE(Content().startsWith("%PDF-"));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("out.pdf")});
    EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages.join(u'\n').toStdString();
}

TEST_F(PdfFileTest, NeverOverTheBookOrItsBackup) {
    for (const char* name : {"b.txt", "b.bak"}) {
        SCOPED_TRACE(name);
        const QString path = folder.filePath(QLatin1String(name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("marks");
        file.close();
        printer.setOutputFileName(path);
        platform.messages.clear();
        EXPECT_FALSE(PaintingPdfAside(platform, book, PaintPage)(printer));
        ASSERT_EQ(platform.messages.size(), 1);
        EXPECT_TRUE(platform.messages[0].contains(u"開いている成績ファイル"_s));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("marks"));
    }
}

TEST_F(PdfFileTest, EachFailingStepLeavesTheEarlierPrintout) {
    const auto steps =
        test::PlacingMadeFileSteps(QStringLiteral("printout.pdf"), QStringLiteral("out.pdf"));
    test::FailEachStepInTurn(
        steps, [&](QString* error) { return Print(PaintPage, error); },
        [&](const test::FailingStep& step) {
            if (step.outcome == test::FailingStep::kFails) {
                EXPECT_EQ(Content(), QByteArray("the earlier printout"));
            } else {
                EXPECT_TRUE(Content().startsWith("%PDF-"));
            }
            EXPECT_EQ(Entries(), QStringList{QStringLiteral("out.pdf")});
        });
}

} // namespace
} // namespace kirune
