// The desktop services of the program: file dialog filters, the PDF report, the settings store,
// the help pages and the pictures.
#include "app/helpwindow.h"
#include "app/icons.h"
#include "app/qtplatform.h"
#include "support/widgettest.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QPainter>
#include <QPixmapCache>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>
#include <memory>

namespace kirune::test {
namespace {

TEST(QtPlatformTest, FiltersBecomeQtFilters) {
    EXPECT_EQ(QtPlatform::QtFilter(U(u"ﾃｷｽﾄﾌｧｲﾙ (*.txt)|*.txt")), U(u"ﾃｷｽﾄﾌｧｲﾙ (*.txt)"));
    EXPECT_EQ(QtPlatform::QtFilter(U(u"ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv")), U(u"ﾃｷｽﾄﾌｧｲﾙ (*.csv)"));
    // A description without its patterns gets them; several pairs become several entries;
    // patterns separated by ";" are separated by blanks.
    EXPECT_EQ(QtPlatform::QtFilter(QStringLiteral("Text|*.txt")), QStringLiteral("Text (*.txt)"));
    EXPECT_EQ(QtPlatform::QtFilter(QStringLiteral("Text|*.txt;*.csv|All|*.*")),
              QStringLiteral("Text (*.txt *.csv);;All (*.*)"));
    EXPECT_EQ(QtPlatform::QtFilter(QString()), QString());
}

TEST(QtPlatformTest, ThePdfReportNamesThePath) {
    const QString text = QtPlatform::PdfReportText(QStringLiteral("/home/t/a.pdf"), true);
    EXPECT_TRUE(text.startsWith(U(u"印刷できるプリンターがないため、PDFファイルに保存しました：")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("/home/t/a.pdf")));
    EXPECT_FALSE(QtPlatform::PdfReportText(QStringLiteral("/x.pdf"), false)
                     .contains(U(u"プリンターがない")));
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

// The questions that keep work: Esc cancels the save question, Enter takes its default (Yes);
// the discard question's default is No, so that Enter never throws work away.
TEST(QtPlatformTest, TheQuestionsDefaultsAndEscapeKeepTheWork) {
    QtPlatform platform;
    auto press = [](Qt::Key key) {
        QTimer::singleShot(0, [key] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(qobject_cast<QMessageBox*>(box), nullptr);
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(box, &event);
        });
    };
    press(Qt::Key_Escape);
    EXPECT_EQ(platform.AskYesNoCancel(QStringLiteral("?")), Platform::Answer::Cancel);
    press(Qt::Key_Return);
    EXPECT_EQ(platform.AskYesNoCancel(QStringLiteral("?")), Platform::Answer::Yes);
    press(Qt::Key_Return);
    EXPECT_FALSE(platform.AskYesNoDefaultNo(QStringLiteral("?")));
    press(Qt::Key_Escape);
    EXPECT_FALSE(platform.AskYesNoDefaultNo(QStringLiteral("?")));
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
    EXPECT_EQ(pages.size(), 7);
    for (const QString& title : {U(u"学級の作成"), U(u"試験の入力"), U(u"評定基準の設定"),
                                 U(u"印刷"), U(u"CSV保存 と 名簿の読み込み"),
                                 U(u"ファイルと控え（バックアップ）"), U(u"キー操作の一覧")})
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
    EXPECT_TRUE(help.browser()->toPlainText().contains(U(u"目次")));
    EXPECT_FALSE(help.testAttribute(Qt::WA_QuitOnClose));
}

TEST(HelpTest, APageOpensByNameAndTellsTheKeysAndWhereCopiesAreKept) {
    HelpWindow help;
    const std::pair<const char*, std::vector<const char*>> pages[] = {
        {"keys.html", {"Ctrl+O", "Ctrl+Shift+S", "Ctrl+P", "Ctrl+W", "Ctrl+Q", "F1", "Alt+R"}},
        {"file.html", {".bak", "recovery", "history"}},
        {"no-such.html", {}},
    };
    for (const auto& [page, words] : pages) {
        help.showPage(QLatin1String(page));
        const QString shown = help.browser()->source().fileName();
        EXPECT_EQ(shown, words.empty() ? QStringLiteral("index.html") : QLatin1String(page));
        for (const char* word : words)
            EXPECT_TRUE(help.browser()->toPlainText().contains(QLatin1String(word))) << word;
    }
}

TEST(IconsTest, EveryImageKeyHasItsOwnPicture) {
    const QStringList toolbar = {QStringLiteral("New"), QStringLiteral("Open"),
                                 QStringLiteral("Save"), QStringLiteral("Print"),
                                 QStringLiteral("Edit")};
    const QStringList tree = {
        QStringLiteral("root"),     QStringLiteral("LANGUAGE"), QStringLiteral("ARITHMETIC"),
        QStringLiteral("SCIENCE"),  QStringLiteral("SOCIETY"),  QStringLiteral("HOMEMAKE"),
        QStringLiteral("PHYSICAL"), QStringLiteral("SPRING"),   QStringLiteral("AUTUMN"),
        QStringLiteral("WINTER"),   QStringLiteral("lighton"),  QStringLiteral("lightoff"),
        QStringLiteral("test")};
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

// Pictures look exactly as their files drawn by Qt's SVG plugin, in every look, whether drawn
// now or read back from the cache folder; a kept file that does not fit is drawn again. Every
// picture is square. The program's icon has the sizes a window system is given. The style's
// picture that start-up would read is in place without its plugins.
TEST(IconsTest, PicturesLookAsTheirFilesDrawnOrKept) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                           QStringLiteral("/pictures");
    QDir(folder).removeRecursively();
    ForgetPicturesInMemory();
    const QString test = QStringLiteral(":/icons/test.svg");
    for (const bool kept : {false, true}) {
        for (const int side : {16, 24, 48})
            for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled})
                EXPECT_EQ(TreeIcon(QStringLiteral("test")).pixmap(side, mode).toImage(),
                          QIcon(test).pixmap(side, mode).toImage())
                    << kept << " " << side << " " << mode;
        ForgetPicturesInMemory(); // the second round reads the kept files
    }
    const QStringList files = QDir(folder).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 6);
    // Kept files that do not fit (damaged, or another program's) are drawn and kept again.
    auto contents = [&folder](const QString& file) {
        QFile kept(folder + QLatin1Char('/') + file);
        return kept.open(QIODevice::ReadOnly) ? kept.readAll() : QByteArray();
    };
    for (const QString& file : files) {
        QByteArray damaged = contents(file);
        damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x5a);
        QFile broken(folder + QLatin1Char('/') + file);
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
        broken.write(file.endsWith(QLatin1String("-0.pixels")) ? damaged : damaged.left(40));
    }
    ForgetPicturesInMemory();
    for (const int side : {16, 24, 48})
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled})
            EXPECT_EQ(TreeIcon(QStringLiteral("test")).pixmap(side, mode).toImage(),
                      QIcon(test).pixmap(side, mode).toImage())
                << side << " " << mode;
    for (const QString& file : files) // kept again, whole
        EXPECT_GT(contents(file).size(), 16 * 16 * 4) << file.toStdString();
    for (const QString& name : QDir(QStringLiteral(":/icons")).entryList())
        EXPECT_EQ(QIcon(QStringLiteral(":/icons/") + name).actualSize(QSize(64, 32)), QSize(32, 32))
            << name.toStdString();

    EXPECT_EQ(ProgramIcon().availableSizes(),
              QList<QSize>({{16, 16}, {32, 32}, {64, 64}, {128, 128}}));
    EXPECT_EQ(ProgramIcon().pixmap(128).toImage(),
              QIcon(QStringLiteral(":/icons/kirune.svg")).pixmap(128).toImage());

    QPixmapCache::clear();
    const QPixmap frame = KeepGroupBoxFrame();
    ASSERT_FALSE(frame.isNull());
    // The style's own reading of the file finds the kept picture, not a new copy.
    const QPixmap read(
        QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"));
    EXPECT_EQ(read.cacheKey(), frame.cacheKey());
}

// The program's icon is given to its windows once the main window has been painted, not before.
TEST(IconsTest, WindowsGetTheIconOnceTheMainWindowIsPainted) {
    QApplication::setWindowIcon(QIcon());
    QWidget window;
    SetProgramIconOncePainted(&window);
    QApplication::processEvents();
    EXPECT_TRUE(QApplication::windowIcon().isNull());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (int turn = 0; turn < 10 && QApplication::windowIcon().isNull(); ++turn)
        QApplication::processEvents();
    EXPECT_EQ(window.windowIcon().cacheKey(), ProgramIcon().cacheKey());
    EXPECT_EQ(QApplication::windowIcon().cacheKey(), ProgramIcon().cacheKey());
}

// A group box's caption starts inside its frame, clear of the corner, where the box has room.
TEST(IconsTest, GroupBoxCaptionsStartInsideTheirFrame) {
    const QString before = QApplication::style()->name();
    InstallProgramStyle();
    const QString caption = QString::fromUtf16(u"ﾂﾘｰﾋﾞｭｰ（学級・科目・学期・試験）");
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

// Group box frames and the toolbar under the menu bar look exactly as the Fusion style draws
// them, whether the program's style draws them itself (on an unscaled device) or leaves them to
// Fusion; a group box's middle, under the panes, is left as it is.
TEST(IconsTest, FramesAndToolbarsLookAsFusionDrawsThem) {
    const QString before = QApplication::style()->name();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));
    InstallProgramStyle();
    QStyle* program = QApplication::style();
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    const QColor window = QApplication::palette().window().color();
    // On the window's pixels (no alpha), with a painter that smooths pictures or not.
    const auto draw = [&](QStyle* style, QSize size, qreal scale, bool smooth, auto paint) {
        QImage image(size * scale, QImage::Format_RGB32);
        image.fill(window);
        QPainter painter(&image);
        painter.scale(scale, scale);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        paint(style, &painter);
        return image;
    };
    struct Box {
        const char16_t* title;
        QSize size;
        qreal scale;
        bool smooth;
    };
    for (const Box& c :
         {Box{u"ﾂﾘｰﾋﾞｭｰ", {300, 200}, 1, false}, Box{u"ﾂﾘｰﾋﾞｭｰ", {300, 200}, 1, true},
          Box{u"", {300, 200}, 1, true}, Box{u"表", {60, 400}, 1, false},
          Box{u"表", {1000, 700}, 1, true}, Box{u"表", {300, 200}, 2, true}}) {
        QGroupBox box(QString::fromUtf16(c.title));
        QStyleOptionGroupBox option;
        option.initFrom(&box);
        option.rect = QRect(QPoint(), c.size);
        const auto frame = [&](QStyle* style, QPainter* painter) {
            style->drawPrimitive(QStyle::PE_FrameGroupBox, &option, painter, &box);
        };
        QImage expected = draw(fusion.get(), c.size, c.scale, c.smooth, frame);
        QPainter middle(&expected);
        middle.scale(c.scale, c.scale);
        middle.fillRect(option.rect.adjusted(8, option.fontMetrics.height() + 16, -8, -8), window);
        middle.end();
        EXPECT_EQ(draw(program, c.size, c.scale, c.smooth, frame), expected)
            << c.size.width() << "x" << c.size.height() << " scale " << c.scale << " smooth "
            << c.smooth;
    }
    QMainWindow main;
    QToolBar* bar = main.addToolBar(QStringLiteral("bar"));
    for (const auto line :
         {QStyleOptionToolBar::OnlyOne, QStyleOptionToolBar::End, QStyleOptionToolBar::Beginning}) {
        QStyleOptionToolBar option;
        option.initFrom(bar);
        option.rect = QRect(0, 0, 867, 45);
        option.state |= QStyle::State_Horizontal;
        option.toolBarArea = Qt::TopToolBarArea;
        option.positionOfLine = line;
        const auto paint = [&](QStyle* style, QPainter* painter) {
            style->drawControl(QStyle::CE_ToolBar, &option, painter, bar);
        };
        EXPECT_EQ(draw(program, option.rect.size(), 1, true, paint),
                  draw(fusion.get(), option.rect.size(), 1, true, paint))
            << line;
    }
    QApplication::setStyle(QStyleFactory::create(before));
}

} // namespace
} // namespace kirune::test
