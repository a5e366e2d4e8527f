// The main window offscreen, started as the program starts: what it shows after start, that its
// clicks reach the logic, its layout, its placement and its closing.
#include "app/frmmain.h"
#include "app/icons.h"
#include "app/nodetree.h"
#include "editors/common/gridview.h"
#include "editors/common/twips.h"
#include "support/fakeplatform.h"
#include "support/testutil.h"
#include "support/widgettest.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QSplitter>
#include <QStandardPaths>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

const QString kSavePromptText = u"ﾌｧｲﾙが保存していません。保存しますか？"_s;
const QString kStartHint =
    u"ﾋﾝﾄ：最初から始めるときはﾌｧｲﾙﾒﾆｭｰの[新規作成]を、利用中のﾌｧｲﾙがあるときは[開く]を"
    u"ｸﾘｯｸしてください"_s;

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
        : book(std::make_unique<GradeBook>()),
          logic(std::make_unique<MainLogic>(*book, session, platform)) {}

    // As the program starts: the window (its load routine), the reset, the showing.
    void Start() {
        window = std::make_unique<frmMain>(*logic);
        ResetGradeBook(*book);
        window->show();
        ProcessEvents();
    }

    QToolButton* ToolButton(const QString& key) {
        return qobject_cast<QToolButton*>(
            window->toolBar()->widgetForAction(window->toolbarAction(key)));
    }

    // Clicks node `index` (0-based) of the tree where it is drawn.
    void ClickNode(int index) {
        NodeTree* tree = window->treeView1();
        QTreeWidgetItem* item = tree->item(index);
        ASSERT_NE(item, nullptr);
        for (QTreeWidgetItem* up = item->parent(); up; up = up->parent())
            up->setExpanded(true);
        tree->scrollToItem(item);
        const QRect rect = tree->visualItemRect(item);
        ASSERT_FALSE(rect.isEmpty());
        Click(tree->viewport(), rect.center());
    }

    static QStringList MenuItems(QMenu* menu) {
        QStringList items;
        for (QAction* action : menu->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return items;
    }

    std::unique_ptr<GradeBook> book;
    Session session;
    FakePlatform platform;
    std::unique_ptr<MainLogic> logic;
    std::unique_ptr<frmMain> window; // destroyed first
};

TEST_F(MainWindowTest, ShowsItsCaptionsAndTheStartHint) {
    Start();
    EXPECT_EQ(window->windowTitle(), kProjectTitle);
    EXPECT_EQ(window->frame2()->title(), u"ﾂﾘｰﾋﾞｭｰ（学級・科目・学期・試験）"_s);
    EXPECT_EQ(window->frame1()->title(), logic->frame1Caption);
    EXPECT_EQ(window->frame1()->title(), u"   生徒数（ 0名）"_s);
    EXPECT_EQ(window->statusPanel()->text(), kStartHint);
    // The placeholder node, with no picture.
    ASSERT_EQ(window->treeView1()->nodeCount(), 1);
    EXPECT_EQ(window->treeView1()->item(0)->text(0), u"ファイルを開いてください"_s);
    EXPECT_TRUE(window->treeView1()->item(0)->icon(0).isNull());
    // The grid shows the logic's grid: 43 rows, 15 columns, the name header.
    EXPECT_EQ(window->msFlexGrid1()->grid(), &logic->grid);
    EXPECT_EQ(logic->grid.Rows(), 43);
    EXPECT_EQ(window->msFlexGrid1()->columnWidth(1), TwipsToPixels(1600));
}

TEST_F(MainWindowTest, MenusHaveTheirItemsInOrderWithSeparatorsAndShortcuts) {
    Start();
    QStringList titles;
    for (QAction* action : window->menuBar()->actions())
        titles << action->text();
    EXPECT_EQ(titles, QStringList({u"ﾌｧｲﾙ(&F)"_s, u"編集(&E)"_s, u"ﾍﾙﾌﾟ(&H)"_s}));

    const auto menus = window->menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(MenuItems(menus[0]->menu()),
              QStringList({u"新規作成(&N)"_s, u"開く(&O)..."_s, u"最近使ったファイル(&R)"_s,
                           u"閉じる(&C)"_s, QStringLiteral("-"), u"上書き保存(&S)"_s,
                           u"名前を付けて保存(&A)..."_s, u"以前の版を開く(&H)..."_s,
                           u"画面の表をCSVで保存(&V)..."_s, u"画面の表をExcel形式で保存(&E)..."_s,
                           u"成績簿全体をExcel形式で保存(&W)..."_s, QStringLiteral("-"),
                           u"学年の集計(&G)..."_s, QStringLiteral("-"), u"ﾍﾟｰｼﾞ設定(&U)..."_s,
                           u"画面の表を印刷(&P)..."_s, u"個人票を全員分印刷(&K)..."_s,
                           QStringLiteral("-"), u"終了(&X)"_s}));
    EXPECT_EQ(
        MenuItems(menus[1]->menu()),
        QStringList({u"元に戻す(&U)"_s, u"やり直し(&R)"_s, QStringLiteral("-"), u"コピー(&C)"_s,
                     u"すべて選択(&A)"_s, QStringLiteral("-"),
                     u"学級・科目・試験・得点の編集(&E)"_s, u"生徒名簿ﾌｧｲﾙの読み込み(&I)..."_s}));
    EXPECT_EQ(MenuItems(menus[2]->menu()), QStringList({u"ヘルプ(&C)"_s}));

    // Every item carries the logic's shortcut, and the keys reach the commands.
    for (const Menu item :
         {Menu::FileNew, Menu::FileOpen, Menu::FileClose, Menu::FileSave, Menu::FileSaveAs,
          Menu::FilePrint, Menu::FileExit, Menu::EditProperty, Menu::HelpContents})
        EXPECT_EQ(window->menuAction(item)->shortcut(), QKeySequence(logic->Item(item).shortcut))
            << MenuName(item).toStdString();
    window->activateWindow();
    ProcessEvents();
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(platform.dialogTitles, QStringList{u"開く"_s});
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(platform.helpShown, 1);
}

TEST_F(MainWindowTest, CommandsAfterStartAreEnabledAsTheLogicSays) {
    Start();
    auto enabled = [this](Menu item) { return window->menuAction(item)->isEnabled(); };
    EXPECT_TRUE(enabled(Menu::FileNew));
    EXPECT_TRUE(enabled(Menu::FileOpen));
    EXPECT_FALSE(enabled(Menu::FileClose));
    EXPECT_FALSE(enabled(Menu::FileSave));
    EXPECT_FALSE(enabled(Menu::FileSaveAs));
    EXPECT_FALSE(enabled(Menu::CSVSaveAs)); // no table to export
    EXPECT_TRUE(enabled(Menu::FilePageSetup));
    EXPECT_FALSE(enabled(Menu::FilePrint));
    EXPECT_TRUE(enabled(Menu::FileExit));
    EXPECT_FALSE(enabled(Menu::EditProperty));
    // The load routine disables the roster import, the first activation enables it again.
    EXPECT_TRUE(enabled(Menu::EditNameBook));
    EXPECT_EQ(window->activationCount(), 1);

    EXPECT_EQ(window->toolBar()->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    const QStringList keys = {u"新規作成"_s, u"開く"_s, u"上書き保存"_s, u"印刷"_s, u"編集"_s};
    const QStringList captions = {u"　　新　規　作　成　　"_s, u"ファイルを　開く　　　"_s,
                                  u"　上　書　き　保　存　"_s, u"　画面の表を　印刷　　"_s,
                                  u"データの　編集　　　"_s};
    const QStringList tips = {u"新規作成"_s, u"開く"_s, u"上書き保存"_s, u"印刷"_s,
                              u"データの入力と編集"_s};
    const bool on[] = {true, true, false, false, false};
    const auto actions = window->toolBar()->actions();
    ASSERT_EQ(actions.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(actions[i]->data().toString(), keys[i]);
        EXPECT_EQ(actions[i]->text(), captions[i]);
        EXPECT_EQ(actions[i]->toolTip(), tips[i]);
        EXPECT_EQ(actions[i]->isEnabled(), on[i]) << i;
        EXPECT_FALSE(actions[i]->icon().isNull()) << i;
    }
}

TEST_F(MainWindowTest, ClickingThePlaceholderNodeReachesTheLogic) {
    Start();
    ClickNode(0);
    EXPECT_EQ(session.SelectedNodeKey, kRootNodeKey);
    EXPECT_EQ(session.SelectedNodeIndex, 1);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].startsWith(u"最初から始めるときは"_s));
    ClickNode(0); // every click asks again
    EXPECT_EQ(platform.messages.size(), 2);
}

TEST_F(MainWindowTest, NewFromTheToolbarShowsTheWholeTreeWithTheClassNodeSelected) {
    Start();
    const int rebuilds = window->treeView1()->rebuildCount();
    ToolButton(u"新規作成"_s)->click();
    NodeTree* tree = window->treeView1();
    EXPECT_EQ(tree->nodeCount(), 746); // the class's nodes and the (empty) pupils' branch
    EXPECT_EQ(tree->rebuildCount(), rebuilds + 1);
    EXPECT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 7);
    EXPECT_EQ(tree->currentItem(), tree->item(0));
    EXPECT_EQ(tree->selectedItems(), QList<QTreeWidgetItem*>{tree->item(0)});
    EXPECT_EQ(tree->item(744)->text(0), logic->nodes[744].text);
    EXPECT_FALSE(tree->item(744)->icon(0).isNull());
    // The state after New, as the logic has it.
    EXPECT_FALSE(window->toolbarAction(u"新規作成"_s)->isEnabled());
    EXPECT_TRUE(window->toolbarAction(u"開く"_s)->isEnabled());
    EXPECT_TRUE(window->toolbarAction(u"上書き保存"_s)->isEnabled());
    EXPECT_TRUE(window->toolbarAction(u"編集"_s)->isEnabled());
    EXPECT_EQ(window->toolbarAction(u"編集"_s)->text(), u" 学 級 の 編 集 "_s);
    EXPECT_EQ(window->menuAction(Menu::EditProperty)->text(), u"学級の編集(&E)"_s);

    // Showing the same nodes again rebuilds nothing; changed texts and pictures are updated in
    // place.
    window->refresh();
    EXPECT_EQ(tree->rebuildCount(), rebuilds + 1);
    QTreeWidgetItem* subject = tree->item(1);
    subject->setExpanded(true);
    logic->nodes[1].text = u"こくご"_s;
    logic->nodes[4].image = QStringLiteral("lighton");
    window->refresh();
    EXPECT_EQ(tree->rebuildCount(), rebuilds + 1);
    EXPECT_EQ(tree->item(1), subject);
    EXPECT_EQ(subject->text(0), u"こくご"_s);
    EXPECT_TRUE(subject->isExpanded());
    EXPECT_EQ(tree->item(4)->icon(0).pixmap(16).toImage(),
              TreeIcon(QStringLiteral("lighton")).pixmap(16).toImage());
}

// A branch's nodes are made when it is opened, from the keyboard as with the mouse, with the
// texts the logic has by then; "*" opens a whole branch.
TEST_F(MainWindowTest, TreeBranchesAreMadeWhenOpened) {
    Start();
    logic->mnuFileNew_Click();
    NodeTree* tree = window->treeView1();
    QTreeWidgetItem* root = tree->topLevelItem(0);
    QTreeWidgetItem* subject = root->child(0);
    EXPECT_EQ(subject->childCount(), 0);
    EXPECT_EQ(subject->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    logic->nodes[2].text = u"一学期です"_s;
    window->refresh();
    root->setExpanded(true);
    tree->setCurrentItem(subject);
    QTest::keyClick(tree, Qt::Key_Right); // opens the subject
    ASSERT_EQ(subject->childCount(), 3);
    EXPECT_EQ(subject->child(0)->text(0), u"一学期です"_s);
    EXPECT_EQ(subject->child(0)->data(0, Qt::UserRole + 1).toInt(), 3);
    tree->setCurrentItem(root->child(1));
    QTest::keyClick(tree, Qt::Key_Asterisk);
    std::function<int(QTreeWidgetItem*)> open = [&open](QTreeWidgetItem* item) {
        int count = 1;
        for (int i = 0; item->isExpanded() && i < item->childCount(); ++i)
            count += open(item->child(i));
        return count;
    };
    EXPECT_EQ(open(root->child(1)), 1 + 3 + 30 + 90);
    EXPECT_EQ(tree->item(131), root->child(1)->child(0)->child(1)); // its second test
}

TEST_F(MainWindowTest, AClickOnATreeNodeGivesTheLogicItsIndex) {
    Start();
    logic->mnuFileNew_Click();
    ClickNode(1); // the first subject: no pupils yet, so the logic refuses with a message
    EXPECT_EQ(session.SelectedNodeIndex, 2);
    EXPECT_EQ(session.SelectedNodeKey, logic->nodes[1].key);
    ASSERT_FALSE(platform.messages.isEmpty());
    EXPECT_TRUE(platform.messages.back().startsWith(u"学級の編集（生徒の登録）がまだです"_s));

    ClickNode(0); // the homeroom
    EXPECT_EQ(session.SelectedNodeIndex, 1);
    EXPECT_EQ(window->statusPanel()->text(), logic->statusText);
    EXPECT_TRUE(window->statusPanel()->text().startsWith(u"ﾋﾝﾄ：学級のデータです。"_s));
}

TEST_F(MainWindowTest, AnOpenedClassIsShownInTreeTableAndCaptions) {
    Start();
    ASSERT_TRUE(logic->OpenPath(QStringLiteral(KIRUNE_TEST_DATA "/sample_class.txt")));
    window->refresh();
    NodeTree* tree = window->treeView1();
    EXPECT_EQ(tree->nodeCount(), 745 + 1 + 11);
    EXPECT_EQ(tree->item(0)->text(0), logic->nodes[0].text);
    EXPECT_TRUE(tree->item(0)->text(0).contains(u"佐藤 美咲"_s));
    EXPECT_EQ(window->frame1()->title(), logic->frame1Caption);
    EXPECT_TRUE(window->frame1()->title().endsWith(u" 生徒数（ 11名）"_s));
    EXPECT_TRUE(window->toolbarAction(u"印刷"_s)->isEnabled());
    EXPECT_FALSE(window->menuAction(Menu::EditNameBook)->isEnabled());

    // The first semester of the second subject (each subject takes 124 nodes): its table in
    // the grid, its hint below.
    const int semester = 1 + 124 + 1;
    ClickNode(semester);
    EXPECT_EQ(session.SelectedNodeKey, logic->nodes[semester].key);
    EXPECT_EQ(session.SelectedNodeKey, QStringLiteral("1 1 0"));
    EXPECT_EQ(window->statusPanel()->text(), logic->statusText);
    EXPECT_TRUE(logic->grid.Text(0, 2).contains(QLatin1Char('\r')));
    EXPECT_EQ(logic->grid.Text(1, 1), u"青木 颯太"_s);
    // A registered test shows the lit bulb, one never registered the dark one.
    const QImage lit = TreeIcon(QStringLiteral("lighton")).pixmap(16).toImage();
    const QImage dark = TreeIcon(QStringLiteral("lightoff")).pixmap(16).toImage();
    EXPECT_TRUE(tree->item(semester + 1)->icon(0).pixmap(16).toImage() == lit);
    EXPECT_TRUE(tree->item(semester + 1 + 4 * 9)->icon(0).pixmap(16).toImage() == dark);

    // A book opened over it (the same tree) shows its class node selected, not the semester;
    // closed, nothing is selected.
    ASSERT_TRUE(logic->OpenDocument(QStringLiteral(KIRUNE_TEST_DATA "/sample_class.txt")));
    EXPECT_EQ(tree->selectedItems(), QList<QTreeWidgetItem*>{tree->item(0)});
    window->menuAction(Menu::FileClose)->trigger();
    EXPECT_TRUE(tree->selectedItems().isEmpty());
}

TEST_F(MainWindowTest, AClickOnTheGridMovesItsCurrentCell) {
    Start();
    GridView* grid = window->msFlexGrid1();
    Click(grid->viewport(), grid->cellRect(3, 2).center());
    EXPECT_EQ(logic->grid.CurrentRow(), 3);
    EXPECT_EQ(logic->grid.CurrentCol(), 2);
    // A header cell selects its column, whose first cell becomes the current one.
    Click(grid->viewport(), grid->cellRect(0, 4).center());
    EXPECT_EQ(logic->grid.CurrentRow(), 1);
    EXPECT_EQ(logic->grid.CurrentCol(), 4);
    EXPECT_EQ(grid->selection(), (CellRange{0, 4, logic->grid.Rows() - 1, 4}));
}

// The Edit menu selects and copies the table (its keys: accessibilitybus_test).
TEST_F(MainWindowTest, TheEditMenuSelectsAndCopiesTheTable) {
    Start();
    window->menuAction(Menu::EditSelectAll)->trigger();
    window->menuAction(Menu::EditCopy)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text().count(u'\n'), logic->grid.Rows());
}

// The program's table as a screen reader finds it, from outside the program through the desktop's
// accessibility bus (AT-SPI): atspi_table.py, on a virtual screen with a session bus of its own.
TEST_F(MainWindowTest, AScreenReaderReadsTheTableThroughTheDesktopsBus) {
    const QString bus = QStandardPaths::findExecutable(u"dbus-run-session"_s);
    const QString screen = QStandardPaths::findExecutable(u"xvfb-run"_s);
    if (bus.isEmpty() || screen.isEmpty())
        GTEST_SKIP() << "no accessibility bus: dbus-run-session or xvfb-run is not installed";
    QProcess reader;
    reader.start(screen,
                 {u"-a"_s, u"-s"_s, u"-screen 0 1280x1024x24"_s, bus, u"--"_s,
                  u"/usr/bin/python3"_s, QStringLiteral(KIRUNE_TEST_SCRIPTS "/atspi_table.py"),
                  QStringLiteral(KIRUNE_PROGRAM_PATH),
                  QStringLiteral(KIRUNE_TEST_DATA "/sample_class.txt"), u"国語"_s});
    ASSERT_TRUE(reader.waitForFinished(240000));
    QString report = QString::fromUtf8(reader.readAllStandardOutput());
    report = report.mid(report.indexOf(u"size "_s)); // after what the bus's services print
    if (reader.exitCode() == 77)
        GTEST_SKIP() << report.toStdString();
    // The class's table, then a subject's: what is read where the current cell goes.
    EXPECT_EQ(report,
              u"size 14 x 14\nTab: 生徒氏名, 1, 青木 颯太\nDown: 生徒氏名, 2, 石川 結衣\n"
              u"Down: 生徒氏名, 3, 上田 蓮\nEnd: , 3, \nHome: 生徒氏名, 3, 上田 蓮\n"
              u"Tab: no focused cell\nclick: 表現 合計点, 3, 57\nRight: 表現 順位, 3, 3\n"_s)
        << reader.readAllStandardError().toStdString();
}

TEST_F(MainWindowTest, ThePanesFollowTheResizeRule) {
    Start();
    window->resize(TwipsToPixels(7500), TwipsToPixels(10000));
    ProcessEvents();
    const QRect outer = window->frameGeometry();
    EXPECT_NEAR(logic->frame2.width, PixelsToTwips(outer.width()) / 3, 1.0);
    // A third of this window is narrower than the tree's caption: the tree pane takes the
    // caption's width from the table pane, whose right edge stays.
    const QGroupBox* tree = window->frame2();
    const int caption = tree->fontMetrics().horizontalAdvance(tree->title()) + 24;
    const int widened =
        std::max(TwipsToPixels(logic->frame2.width), caption) - TwipsToPixels(logic->frame2.width);
    EXPECT_GT(widened, 0);
    EXPECT_EQ(window->frame2()->width(), TwipsToPixels(logic->frame2.width) + widened);
    EXPECT_EQ(window->frame1()->x(), TwipsToPixels(logic->frame1.left) + widened);
    EXPECT_EQ(window->frame1()->width(), TwipsToPixels(logic->frame1.width) - widened);
    EXPECT_EQ(window->treeView1()->x(), TwipsToPixels(120));
    EXPECT_EQ(window->treeView1()->width(), TwipsToPixels(logic->treeView1.width) + widened);
    EXPECT_EQ(window->msFlexGrid1()->width(), TwipsToPixels(logic->msFlexGrid1.width) - widened);
    // Nothing reaches outside the window's client area or outside its frame.
    const QRect area = window->centralWidget()->rect();
    EXPECT_TRUE(area.contains(window->frame1()->geometry()));
    EXPECT_TRUE(area.contains(window->frame2()->geometry()));
    EXPECT_TRUE(window->frame1()->rect().contains(window->msFlexGrid1()->geometry()));
    EXPECT_TRUE(window->frame2()->rect().contains(window->treeView1()->geometry()));

    // Wider: the tree pane stops at 6000 twips.
    window->resize(TwipsToPixels(25000), TwipsToPixels(10000));
    ProcessEvents();
    EXPECT_DOUBLE_EQ(logic->frame2.width, 6000);
    EXPECT_EQ(window->frame2()->width(), TwipsToPixels(6000));
    EXPECT_EQ(window->frame1()->x(), TwipsToPixels(6105));
}

TEST_F(MainWindowTest, TheSplitterWidensTheTreeAndItsWidthIsKept) {
    Start();
    window->resize(TwipsToPixels(20000), TwipsToPixels(10000));
    ProcessEvents();
    const int before = window->frame2()->width();
    const int gridRight = window->frame1()->geometry().right();
    QWidget* bar = window->paneSplitter()->handle(1);
    const QPoint grip = bar->rect().center();
    QTest::mousePress(bar, Qt::LeftButton, {}, grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(60, 0)),
                     QPointF(bar->mapToGlobal(grip + QPoint(60, 0))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, grip + QPoint(60, 0));
    EXPECT_EQ(window->frame2()->width(), before + 60);
    EXPECT_EQ(window->frame1()->geometry().right(), gridRight);
    EXPECT_EQ(bar->x(), window->frame2()->geometry().right() + 1);
    EXPECT_TRUE(window->frame1()->rect().contains(window->msFlexGrid1()->geometry()));

    ASSERT_TRUE(window->close());
    const int stored = platform.settings[QStringLiteral("TreeWidth")].toInt();
    EXPECT_NEAR(stored, PixelsToTwips(before + 60), 15);
    window.reset();
    Start(); // the next start opens with the tree pane as wide as it was left
    window->resize(TwipsToPixels(20000), TwipsToPixels(10000));
    ProcessEvents();
    EXPECT_EQ(window->frame2()->width(), before + 60);
}

TEST_F(MainWindowTest, TheStoredPlacementIsWhereTheWindowOpens) {
    platform.settings[QStringLiteral("MainLeft")] = QStringLiteral("1500");
    platform.settings[QStringLiteral("MainTop")] = QStringLiteral("900");
    platform.settings[QStringLiteral("MainWidth")] = QStringLiteral("9000");
    platform.settings[QStringLiteral("MainHeight")] = QStringLiteral("7500");
    Start();
    const QRect outer = window->frameGeometry();
    EXPECT_EQ(outer.topLeft(), QPoint(TwipsToPixels(1500), TwipsToPixels(900)));
    EXPECT_EQ(outer.size(), QSize(TwipsToPixels(9000), TwipsToPixels(7500)));
}

TEST_F(MainWindowTest, APlacementOffEveryScreenIsBroughtBack) {
    platform.settings[QStringLiteral("MainLeft")] = QStringLiteral("900000");
    platform.settings[QStringLiteral("MainTop")] = QStringLiteral("900000");
    platform.settings[QStringLiteral("MainWidth")] = QStringLiteral("9000");
    platform.settings[QStringLiteral("MainHeight")] = QStringLiteral("7500");
    Start();
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_TRUE(screen.intersects(window->frameGeometry()));
}

TEST_F(MainWindowTest, ClosingStoresThePlacement) {
    platform.settings[QStringLiteral("MainLeft")] = QStringLiteral("1500");
    platform.settings[QStringLiteral("MainTop")] = QStringLiteral("900");
    Start();
    window->move(TwipsToPixels(3000), TwipsToPixels(2400));
    ProcessEvents();
    const QRect outer = window->frameGeometry();
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_DOUBLE_EQ(platform.settings[QStringLiteral("MainLeft")].toDouble(),
                     std::round(PixelsToTwips(outer.x())));
    EXPECT_DOUBLE_EQ(platform.settings[QStringLiteral("MainTop")].toDouble(),
                     std::round(PixelsToTwips(outer.y())));
    EXPECT_DOUBLE_EQ(platform.settings[QStringLiteral("MainWidth")].toDouble(),
                     std::round(PixelsToTwips(outer.width())));
    EXPECT_DOUBLE_EQ(platform.settings[QStringLiteral("MainHeight")].toDouble(),
                     std::round(PixelsToTwips(outer.height())));
    EXPECT_TRUE(platform.questions.isEmpty()); // nothing to save
}

TEST_F(MainWindowTest, ExitFromTheMenuClosesTheWindow) {
    Start();
    window->menuAction(Menu::FileExit)->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(platform.settings.count(QStringLiteral("MainWidth")), 1u);
}

TEST_F(MainWindowTest, AClosingTheLogicRefusesLeavesTheWindowOpen) {
    Start();
    logic->mnuFileNew_Click();
    platform.answers = {true}; // save: yes; the save-as dialog is cancelled
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(platform.questions.size(), 1);
    EXPECT_EQ(platform.settings.count(QStringLiteral("MainLeft")), 0u);
}

TEST_F(MainWindowTest, CancelOnTheSaveQuestionKeepsTheWindowAndTheBook) {
    Start();
    logic->mnuFileNew_Click();
    platform.choices = {Platform::Answer::Cancel};
    window->menuAction(Menu::FileExit)->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(platform.questions, QStringList{kSavePromptText});
    EXPECT_TRUE(session.NeedsSave);
    EXPECT_TRUE(window->menuAction(Menu::FileClose)->isEnabled());
}

TEST_F(MainWindowTest, HelpComesFromThePlatform) {
    Start();
    window->menuAction(Menu::HelpContents)->trigger();
    EXPECT_EQ(platform.helpShown, 1);
}

TEST_F(MainWindowTest, TheWindowTakesNoInputWhileTheLogicSaysSo) {
    Start();
    logic->windowEnabled = false;
    window->refresh();
    EXPECT_FALSE(window->isEnabled());
    logic->EnableMainWindow();
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(MainWindowTest, ComingBackToTheWindowWithoutAnEditorDoesNotActivateAgain) {
    Start();
    ASSERT_EQ(window->activationCount(), 1);
    QWidget other;
    other.show();
    other.activateWindow();
    ProcessEvents();
    window->activateWindow();
    ProcessEvents();
    EXPECT_EQ(window->activationCount(), 1);
}

TEST_F(MainWindowTest, AnEditorDisablesTheWindowAndItsClosingBringsItUpToDate) {
    Start();
    logic->mnuFileNew_Click();
    ToolButton(u"編集"_s)->click();
    ProcessEvents();
    ASSERT_EQ(window->editors().OpenCount(), 1);
    QWidget* editor = window->editors().LastOpened();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(window->isEnabled());
    EXPECT_EQ(window->activationCount(), 1);

    editor->close(); // the frame's close box cancels
    ProcessEvents();
    EXPECT_EQ(window->editors().OpenCount(), 0);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->activationCount(), 2);
    EXPECT_EQ(window->frame1()->title(), logic->frame1Caption);
}

TEST_F(MainWindowTest, ClosingTheWindowClosesOpenEditors) {
    Start();
    logic->mnuFileNew_Click();
    logic->mnuEditProperty_Click();
    ProcessEvents();
    ASSERT_EQ(window->editors().OpenCount(), 1);
    platform.answers = {false}; // do not save
    EXPECT_TRUE(window->close());
    ProcessEvents();
    EXPECT_EQ(window->editors().OpenCount(), 0);
}

} // namespace
} // namespace kirune::test
