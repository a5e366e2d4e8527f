// The desktop services of the program: file dialog filters, the PDF report, the settings store,
// the help pages and the pictures.
#include "app/helpwindow.h"
#include "app/icons.h"
#include "app/qtplatform.h"
#include "document/mainlogic.h"
#include "support/widgettest.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

TEST(QtPlatformTest, FiltersBecomeQtFilters) {
    EXPECT_EQ(QtPlatform::QtFilter(u"ﾃｷｽﾄﾌｧｲﾙ (*.txt)|*.txt"_s), u"ﾃｷｽﾄﾌｧｲﾙ (*.txt)"_s);
    EXPECT_EQ(QtPlatform::QtFilter(u"ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv"_s), u"ﾃｷｽﾄﾌｧｲﾙ (*.csv)"_s);
    // A description without its patterns gets them; several pairs become several entries;
    // patterns separated by ";" are separated by blanks.
    EXPECT_EQ(QtPlatform::QtFilter(QStringLiteral("Text|*.txt")), QStringLiteral("Text (*.txt)"));
    EXPECT_EQ(QtPlatform::QtFilter(QStringLiteral("Text|*.txt;*.csv|All|*.*")),
              QStringLiteral("Text (*.txt *.csv);;All (*.*)"));
    EXPECT_EQ(QtPlatform::QtFilter(MainLogic::RosterFilter()),
              u"名簿ファイル (*.txt *.csv *.xlsx);;すべてのファイル (*)"_s);
    EXPECT_EQ(QtPlatform::QtFilter(QString()), QString());
}

TEST(QtPlatformTest, ThePdfReportNamesThePath) {
    const QString text = QtPlatform::PdfReportText(QStringLiteral("/home/t/a.pdf"), true);
    EXPECT_TRUE(text.startsWith(u"印刷できるプリンターがないため、PDFファイルに保存しました："_s));
    EXPECT_TRUE(text.endsWith(QStringLiteral("/home/t/a.pdf")));
    EXPECT_FALSE(
        QtPlatform::PdfReportText(QStringLiteral("/x.pdf"), false).contains(u"プリンターがない"_s));
}

TEST(QtPlatformTest, SettingsAreKeptUnderTheProgramsTitleInSectionSettings) {
    QtPlatform platform;
    platform.WriteSetting(QStringLiteral("MainLeft"), QStringLiteral("1234"));
    EXPECT_EQ(platform.ReadSetting(QStringLiteral("MainLeft"), {}).toString(),
              QStringLiteral("1234"));
    EXPECT_EQ(platform.ReadSetting(QStringLiteral("Missing"), 7).toInt(), 7);
    {
        QSettings settings(QStringLiteral("Kirune"), QStringLiteral("Kirune"));
        EXPECT_EQ(settings.value(QStringLiteral("Settings/MainLeft")).toString(),
                  QStringLiteral("1234"));
        settings.remove(QStringLiteral("Settings"));
    }
    EXPECT_FALSE(platform.ReadSetting(QStringLiteral("MainLeft"), {}).isValid());
}

TEST(QtPlatformTest, OnePrinterForTheWholeRun) {
    QtPlatform platform;
    EXPECT_FALSE(platform.HasPrinter()); // not made at the start: only when first printing
    EXPECT_EQ(&platform.Printer(), &platform.Printer());
    EXPECT_EQ(platform.Today(), QDate::currentDate());
}

// The questions as the teacher sees them, buttons from left to right ("*" marks the box's
// standard buttons, which carry the desktop's icons): Enter takes the default, which never throws
// work away, and Esc takes the safe answer.
TEST(QtPlatformTest, QuestionsShowTheirButtonsAndKeepTheWork) {
    using Ask = std::function<int(Platform&)>; // the index of the answer given
    const Ask yesNoCancel = [](Platform& p) { return static_cast<int>(AskYesNoCancel(p, u"?"_s)); };
    const Ask yesDefaultNo = [](Platform& p) { return AskYes(p, u"?"_s, true) ? 0 : 1; };
    const Ask yes = [](Platform& p) { return AskYes(p, u"?"_s) ? 0 : 1; };
    const Ask ok = [](Platform& p) { return AskOk(p, u"?"_s) ? 0 : 1; };
    const Ask choice = [](Platform& p) {
        return p.AskChoice(u"?"_s, {u"開く"_s, u"キャンセル"_s}, 0, 1);
    };
    const struct {
        Ask ask;
        Qt::Key key;
        const char16_t* buttons;
        int answer;
    } cases[] = {
        {yesNoCancel, Qt::Key_Escape, u"はい(&Y)* いいえ(&N)* キャンセル*", 2},
        {yesNoCancel, Qt::Key_Return, u"はい(&Y)* いいえ(&N)* キャンセル*", 0},
        {yesDefaultNo, Qt::Key_Return, u"はい(&Y)* いいえ(&N)*", 1},
        {yesDefaultNo, Qt::Key_Escape, u"はい(&Y)* いいえ(&N)*", 1},
        {yes, Qt::Key_Return, u"はい(&Y)* いいえ(&N)*", 0},
        {yes, Qt::Key_Escape, u"はい(&Y)* いいえ(&N)*", 1},
        {ok, Qt::Key_Return, u"OK* キャンセル*", 0},
        {ok, Qt::Key_Escape, u"OK* キャンセル*", 1},
        {choice, Qt::Key_Escape, u"開く キャンセル", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.buttons).toStdString());
        QtPlatform platform;
        QStringList shown;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            auto* buttonBox = box->findChild<QDialogButtonBox*>();
            ASSERT_NE(buttonBox, nullptr);
            QList<QAbstractButton*> buttons = buttonBox->buttons();
            std::sort(buttons.begin(), buttons.end(),
                      [](QAbstractButton* a, QAbstractButton* b) { return a->x() < b->x(); });
            for (QAbstractButton* button : buttons)
                shown << button->text() +
                             (buttonBox->standardButton(button) != QDialogButtonBox::NoButton
                                  ? QStringLiteral("*")
                                  : QString());
            QKeyEvent event(QEvent::KeyPress, c.key, Qt::NoModifier);
            QApplication::sendEvent(box, &event);
        });
        EXPECT_EQ(c.ask(platform), c.answer);
        EXPECT_EQ(shown.join(u' '), QString::fromUtf16(c.buttons));
    }
}

// The save dialog starts at the folder and name offered, gives a name typed without an
// extension its suffix, and asks with its own question before it lets an existing file be
// chosen: いいえ keeps the dialog open, so nothing is replaced unasked. A file the offer refuses
// is refused in a message before that question, and the dialog stays open.
TEST(QtPlatformTest, TheSaveDialogStartsAtTheOfferAndAsksBeforeReplacingAFile) {
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("book.txt")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    const struct {
        const char* typed;
        std::optional<QMessageBox::StandardButton> answer; // to the question, when one comes
        std::optional<QString> chosen;
        bool refused = false; // the offer refuses book.txt
    } cases[] = {
        {"new", {}, dir.filePath(QStringLiteral("new.txt"))},
        {"book", QMessageBox::Yes, dir.filePath(QStringLiteral("book.txt"))},
        {"book", QMessageBox::No, std::nullopt},
        {"book", {}, std::nullopt, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + (c.answer ? " answered" : ""));
        QtPlatform platform;
        QString startFolder, startName, question, refusal;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            startFolder = dialog->directory().absolutePath();
            startName = QFileInfo(dialog->selectedFiles().value(0)).fileName();
            dialog->selectFile(QString::fromLatin1(c.typed));
            QTimer::singleShot(0, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    question = box->text();
                    box->button(*c.answer)->click();
                } else if (modal && !qobject_cast<QFileDialog*>(modal)) { // the program's own
                    for (const QLabel* label : modal->findChildren<QLabel*>())
                        refusal += label->text();
                    static_cast<QDialog*>(modal)->accept();
                }
            });
            static_cast<QDialog*>(dialog)->accept(); // the dialog's own, as its save button
            if (dialog->isVisible())
                dialog->reject(); // いいえ, or refused: the dialog stayed open
        });
        const auto chosen = platform.SaveFileName(
            QStringLiteral("t"), QStringLiteral("Text|*.txt"),
            {dir.filePath(QStringLiteral("class.txt")), QStringLiteral("txt"),
             [&c](const QString& path) {
                 return c.refused && path.endsWith(u"book.txt"_s) ? u"refused"_s : QString();
             }});
        EXPECT_EQ(startFolder, QDir(dir.path()).absolutePath());
        EXPECT_EQ(startName, QStringLiteral("class.txt"));
        EXPECT_EQ(chosen, c.chosen);
        EXPECT_EQ(question.contains(QStringLiteral("book.txt")), c.answer.has_value())
            << question.toStdString();
        EXPECT_EQ(refusal, c.refused ? u"refused"_s : QString());
    }
}

// A message box is 320 pixels wide at least and wider for a long title, so that the title shows
// whole beside the frame's buttons; Ctrl+C copies its text, so that a teacher can paste it into
// a mail.
TEST(QtPlatformTest, AMessageBoxFitsItsTitleAndCopiesItsText) {
    const struct {
        const char16_t* title;
        int width;
    } cases[] = {
        {u"Kirune", 320},
        {u"Kirune Ver1.2.2 成績簿の読み込みと保存についてのお知らせ（学級担任の方へ）", 501},
    };
    for (const auto& c : cases) {
        QtPlatform platform;
        QGuiApplication::clipboard()->clear();
        int width = 0;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            width = box->width();
            QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QStringLiteral("c"));
            QApplication::sendEvent(box, &copy);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(box, &enter);
        });
        platform.ShowInformation(u"値"_s, QString::fromUtf16(c.title));
        EXPECT_EQ(QGuiApplication::clipboard()->text(), u"値"_s);
        EXPECT_EQ(width, c.width) << QString::fromUtf16(c.title).toStdString();
    }
}

TEST(HelpTest, TheContentsPageLinksEveryPageAndEveryPageExists) {
    HelpWindow::EnsureResources();
    QFile contents(HelpWindow::kContentsPage);
    ASSERT_TRUE(contents.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(contents.readAll());
    QStringList pages;
    const QRegularExpression link(QStringLiteral("href=\"([a-z]+\\.html)\""));
    for (auto it = link.globalMatch(html); it.hasNext();)
        pages << it.next().captured(1);
    pages.removeDuplicates();
    EXPECT_EQ(pages.size(), 10);
    for (const QString& title :
         {u"学級の作成"_s, u"試験の入力"_s, u"所見の入力"_s, u"得点の読み込み"_s,
          u"評定基準の設定"_s, u"印刷"_s, u"CSV保存 と 名簿の読み込み"_s,
          u"ファイルと控え（バックアップ）"_s, u"学年の集計"_s, u"キー操作の一覧"_s})
        EXPECT_TRUE(html.contains(title)) << title.toStdString();
    for (const QString& page : pages) {
        QFile file(QStringLiteral(":/help/") + page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page.toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        EXPECT_TRUE(text.contains(QStringLiteral("<h1>"))) << page.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("href=\"index.html\""))) << page.toStdString();
    }
}

TEST(HelpTest, TheHelpWindowOpensAtTheContents) {
    HelpWindow help;
    help.showContents();
    EXPECT_TRUE(help.isVisible());
    EXPECT_TRUE(help.browser()->source().toString().endsWith(QStringLiteral("index.html")));
    EXPECT_TRUE(help.browser()->toPlainText().contains(u"目次"_s));
    EXPECT_FALSE(help.testAttribute(Qt::WA_QuitOnClose));
}

TEST(HelpTest, APageOpensByNameAndTellsTheKeysAndWhereCopiesAreKept) {
    HelpWindow help;
    const std::pair<const char*, std::vector<const char*>> pages[] = {
        {"keys.html",
         {"Ctrl+O", "Ctrl+Shift+S", "Ctrl+P", "Ctrl+W", "Ctrl+Q", "F1", "Alt+R", "F4"}},
        {"file.html", {".bak", "recovery", "history", ".lock"}},
        {"index.html",
         {"児童別", "個人票", "評定一覧", "所見", "Ctrl+Home", "Page Down", "Shift+Tab", "Ctrl+C",
          "Ctrl+A"}},
        {"comment.html", {"所見の編集", "Ctrl+Page Down", "未記入・字数超過", "1000", "元に戻す"}},
        {"csv.html",
         {"Excel", "画面の表をExcel形式で保存", "成績簿全体をExcel形式で保存", "生徒氏名"}},
        {"import.html", {"得点の読み込み", "取り込む", "import-scores", "50 MB"}},
        {"no-such.html", {}},
    };
    for (const auto& [page, words] : pages) {
        help.showPage(QLatin1String(page));
        const QString shown = help.browser()->source().fileName();
        EXPECT_EQ(shown, words.empty() ? QStringLiteral("index.html") : QLatin1String(page));
        for (const char* word : words)
            EXPECT_TRUE(help.browser()->toPlainText().contains(QString::fromUtf8(word))) << word;
    }
}

TEST(IconsTest, EveryImageKeyHasItsOwnPicture) {
    const QStringList toolbar = ToolbarImageKeys();
    const QStringList tree = TreeImageKeys();
    EXPECT_EQ(toolbar.size(), 5);
    EXPECT_EQ(tree.size(), 14);
    QList<QImage> seen;
    for (const QString& key : toolbar) {
        const QImage image = ToolbarIcon(key).pixmap(24).toImage();
        EXPECT_FALSE(image.isNull()) << key.toStdString();
        EXPECT_FALSE(seen.contains(image)) << key.toStdString();
        seen << image;
    }
    for (const QString& key : tree) {
        const QImage image = TreeIcon(key).pixmap(16).toImage();
        EXPECT_FALSE(image.isNull()) << key.toStdString();
        EXPECT_FALSE(seen.contains(image)) << key.toStdString();
        seen << image;
    }
    EXPECT_TRUE(TreeIcon(QString()).isNull());
    EXPECT_TRUE(TreeIcon(QStringLiteral("unknown")).isNull());
}

// Every picture is square, so it fills the room a button or a node gives it; the program's
// icon is there for window frames and task bars, sharp at the sizes they take.
TEST(IconsTest, PicturesAreSquareAndTheProgramHasAnIcon) {
    for (const QString& name : QDir(QStringLiteral(":/icons")).entryList())
        EXPECT_EQ(QIcon(QStringLiteral(":/icons/") + name).actualSize(QSize(64, 32)), QSize(32, 32))
            << name.toStdString();
    ASSERT_FALSE(ProgramIcon().isNull());
    for (const int side : {16, 32, 64, 128})
        EXPECT_EQ(ProgramIcon().pixmap(side).size(), QSize(side, side)) << side;
}

// A group box's caption starts inside its frame, clear of the corner, where the box has room.
TEST(IconsTest, GroupBoxCaptionsStartInsideTheirFrame) {
    const QString before = QApplication::style()->name();
    InstallProgramStyle();
    const QString caption = u"ﾂﾘｰﾋﾞｭｰ（学級・科目・学期・試験）"_s;
    for (const bool roomy : {true, false}) {
        QGroupBox box(caption);
        QStyleOptionGroupBox option;
        option.initFrom(&box);
        option.text = caption;
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        option.rect = QRect(0, 0, roomy ? 400 : option.fontMetrics.horizontalAdvance(caption), 80);
        const QRect label = box.style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                        QStyle::SC_GroupBoxLabel, &box);
        EXPECT_EQ(label.left() > 0, roomy);
        EXPECT_LE(label.right(), option.rect.right() + (roomy ? 0 : label.width()));
    }
    QApplication::setStyle(QStyleFactory::create(before));
}

} // namespace
} // namespace kirune::test
