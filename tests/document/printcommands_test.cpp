// The print command and the page set-up on the main window's logic, printing to a PDF file.
#include "mainlogicfixture.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

// The scripted desktop without a preview (as kirune-tool has it), with a choice for the "no
// printer: where to write the PDF" question.
class ChoosingPlatform : public FakePlatform {
public:
    bool PrintWithPreview(const QString& pdfName,
                          const std::function<bool(QPrinter&)>& paint) override {
        return Platform::PrintWithPreview(pdfName, paint);
    }
    bool PrepareOutput() override {
        ++prepared;
        return prepareAnswer;
    }
    bool prepareAnswer = true;
    int prepared = 0;
};

class PrintCommandTest : public MainLogicTest {
protected:
    // A class of 40 opened with the given node selected.
    void OpenClassAt(const QString& key) {
        Start();
        Open(WriteBook(QStringLiteral("class.txt"), 40));
        ASSERT_TRUE(logic->SelectNodeByKey(key));
        platform.messages.clear();
    }
    bool PdfWritten() const { return QFile::exists(platform.pdfPath); }

    static QString PdfText(const QString& pdf) {
        QProcess convert;
        convert.start(QStringLiteral("pdftotext"),
                      {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
        if (!convert.waitForFinished(60000))
            return QString();
        return QString::fromUtf8(convert.readAllStandardOutput());
    }
};

TEST_F(PrintCommandTest, ClosingThePreviewPrintsNothing) {
    OpenClassAt(SemesterKey(0, 0));
    platform.previewAnswers.push_back(false);
    logic->mnuFilePrint_Click();
    EXPECT_EQ(platform.previewNames, QStringList{u"5年2組_国語_一学期.pdf"_s});
    EXPECT_EQ(platform.printed, 0);
    EXPECT_FALSE(PdfWritten());
    EXPECT_TRUE(platform.messages.isEmpty());
}

// A4 in colour; upright for a class of 40 in a table of few columns, which prints larger so.
TEST_F(PrintCommandTest, PrintWritesOneA4ColourPageTheLargerWay) {
    OpenClassAt(SemesterKey(0, 0));
    logic->mnuFilePrint_Click();
    EXPECT_EQ(platform.previewNames.size(), 1);
    EXPECT_EQ(platform.printed, 1);
    EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages.join(u'\n').toStdString();
    ASSERT_TRUE(PdfWritten());
    EXPECT_TRUE(ReadAll(platform.pdfPath).startsWith("%PDF-"));
    const QPrinter& printer = platform.Printer();
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_EQ(printer.colorMode(), QPrinter::Color);
}

TEST_F(PrintCommandTest, PrintoutHoldsTheDateTheTitleAndTheCells) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    OpenClassAt(TestKey(0, 0, 0));
    logic->grid.SetText(1, 2, QStringLiteral(" 87"));
    logic->grid.SetText(2, 6, QStringLiteral(" 13"));
    logic->mnuFilePrint_Click();
    const QString text = PdfText(platform.pdfPath);
    // Today (2026-12-07) in the short date format of the Japanese settings.
    EXPECT_TRUE(text.contains(QStringLiteral("2026/12/07"))) << text.toStdString();
    EXPECT_TRUE(text.contains(u"山田花子"_s));
    EXPECT_TRUE(text.contains(u"生徒40"_s));
    EXPECT_TRUE(text.contains(u"クラスの平均点"_s));
    EXPECT_TRUE(text.contains(QStringLiteral("87")));
    EXPECT_TRUE(text.contains(QStringLiteral("13")));
}

TEST_F(PrintCommandTest, LargeMarginsShrinkThePageInsteadOfLosingRows) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    OpenClassAt(SemesterKey(0, 0));
    platform.Printer().setPageMargins(QMarginsF(30, 40, 30, 40), QPageLayout::Millimeter);
    logic->mnuFilePrint_Click();
    // pdftotext drops text outside the page: the last row and the date must still be there.
    const QString text = PdfText(platform.pdfPath);
    EXPECT_TRUE(text.contains(u"生徒40"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"クラスの平均点"_s));
    EXPECT_TRUE(text.contains(QStringLiteral("2026/12/07")));
}

// The page is made aside; a PDF file that cannot be put in place is reported by what failed.
TEST_F(PrintCommandTest, PdfThatCannotBePutInPlaceIsReported) {
    OpenClassAt(SemesterKey(0, 0));
    platform.Printer().setOutputFileName(platform.dir.filePath(QStringLiteral("no/such/out.pdf")));
    logic->mnuFilePrint_Click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].contains(u"保存先のフォルダーがありません"_s))
        << platform.messages[0].toStdString();
    EXPECT_EQ(platform.printed, 0);
}

TEST_F(PrintCommandTest, WhatThePageSetUpChoseStaysInForce) {
    OpenClassAt(SemesterKey(0, 0));
    logic->mnuFilePageSetup_Click();
    EXPECT_EQ(platform.pageSetups, 1);
    EXPECT_EQ(platform.printed, 0);
    EXPECT_FALSE(PdfWritten());
    // Margins chosen in the dialog are kept by the print command, on the same printer.
    const QMarginsF margins(12, 14, 16, 18);
    platform.Printer().setPageMargins(margins, QPageLayout::Millimeter);
    logic->mnuFilePrint_Click();
    EXPECT_EQ(platform.printed, 1);
    EXPECT_EQ(platform.Printer().pageLayout().margins(QPageLayout::Millimeter), margins);
}

TEST_F(PrintCommandTest, CancelledPageSetUpChangesNothing) {
    OpenClassAt(SemesterKey(0, 0));
    platform.pageSetupAnswers.push_back(false);
    logic->mnuFilePageSetup_Click();
    EXPECT_EQ(platform.pageSetups, 1);
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_FALSE(PdfWritten());
}

TEST_F(PrintCommandTest, DisabledPrintCommandDoesNothing) {
    Start(); // no grade book: printing is not offered
    logic->mnuFilePrint_Click();
    EXPECT_TRUE(platform.previewNames.isEmpty());
    EXPECT_FALSE(PdfWritten());
}

TEST(PrintCommandPdfChoice, CancelledPdfFileNamePrintsNothing) {
    auto book = std::make_unique<GradeBook>();
    Session session;
    ChoosingPlatform platform;
    MainLogic logic(*book, session, platform);
    logic.Form_Load();
    ResetGradeBook(*book);
    logic.Form_Activate();
    FillClass(*book, 3);
    const QString path = platform.dir.filePath(QStringLiteral("c.txt"));
    QString error;
    ASSERT_TRUE(WriteGradeBookFile(path, *book, &error));
    ASSERT_TRUE(logic.OpenPath(path));
    platform.prepareAnswer = false;
    logic.mnuFilePrint_Click();
    EXPECT_EQ(platform.prepared, 1);
    EXPECT_EQ(platform.printed, 0);
    EXPECT_FALSE(QFile::exists(platform.pdfPath));
    platform.prepareAnswer = true;
    logic.mnuFilePrint_Click();
    EXPECT_EQ(platform.printed, 1);
    EXPECT_TRUE(QFile::exists(platform.pdfPath));
}

} // namespace
} // namespace kirune::test
