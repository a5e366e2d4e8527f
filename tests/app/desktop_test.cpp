// The main window on the desktop: its title, the recent files' menu, a dropped file, the
// confirmations in the status bar, names for assistive technology and placement on the screen.
#include "app/frmmain.h"
#include "app/nodetree.h"
#include "app/placement.h"
#include "editors/common/gridview.h"
#include "model/gradebookfile.h"
#include "support/fakeplatform.h"
#include "support/testutil.h"
#include "support/widgettest.h"

#include <QAccessible>
#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

class DesktopTest : public ::testing::Test {
protected:
    DesktopTest()
        : book(std::make_unique<GradeBook>()),
          logic(std::make_unique<MainLogic>(*book, session, platform)) {
        window = std::make_unique<frmMain>(*logic);
        ResetGradeBook(*book);
        window->show();
        ProcessEvents();
    }

    QString WriteClass(const QString& name) {
        auto other = std::make_unique<GradeBook>();
        ResetGradeBook(*other);
        other->RosterSize = 1;
        other->StudentNames[0] = u"青木 太郎"_s;
        const QString path = platform.dir.filePath(name);
        EXPECT_TRUE(WriteGradeBookFile(path, *other, nullptr));
        return path;
    }

    static QString AccessibleName(QObject* object) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
        return iface ? iface->text(QAccessible::Name) : QStringLiteral("(none)");
    }

    std::unique_ptr<GradeBook> book;
    Session session;
    FakePlatform platform;
    std::unique_ptr<MainLogic> logic;
    std::unique_ptr<frmMain> window;
};

// The title's mark follows what the file holds: a book just opened or saved is unchanged, a
// change marks it, and undoing or redoing back to what was saved takes the mark away again.
TEST_F(DesktopTest, TheTitleShowsTheFileAndItsUnsavedMark) {
    EXPECT_EQ(window->windowTitle(), kProjectTitle);
    const QString path = WriteClass(u"4年2組.txt"_s);
    ASSERT_TRUE(logic->OpenDocument(path));
    EXPECT_EQ(window->windowTitle(), u"4年2組.txt[*] - "_s + kProjectTitle);
    EXPECT_EQ(window->windowFilePath(), path);
    const auto command = [this](Menu item) { window->menuAction(item)->trigger(); };
    const auto changeAScore = [this] {
        book->Scores[0][0] = 75;
        session.MarkChanged();
        logic->RecordStep(u"得点の登録"_s);
        window->refresh();
    };
    const struct {
        std::function<void()> step;
        bool marked;
    } steps[] = {
        {[] {}, false}, // just opened
        {changeAScore, true},
        {[&] { command(Menu::EditUndo); }, false},
        {[&] { command(Menu::EditRedo); }, true},
        {[&] { command(Menu::FileSave); }, false},
        {[&] { command(Menu::EditUndo); }, true}, // the file holds the score now
        {[&] { command(Menu::EditRedo); }, false},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i].step();
        EXPECT_EQ(window->isWindowModified(), steps[i].marked) << i;
        EXPECT_EQ(session.NeedsSave, steps[i].marked) << i;
    }
    EXPECT_EQ(window->statusBar()->currentMessage(), u"保存しました: 4年2組.txt"_s);
    command(Menu::FileClose);
    EXPECT_TRUE(platform.questions.isEmpty()); // nothing to save: nothing asked
    EXPECT_FALSE(logic->BookOpen());
}

// Ctrl+S on a book that has no file yet asks for a name, as the toolbar's button and Save As do.
TEST_F(DesktopTest, SaveOfANewBookAsksForAName) {
    window->menuAction(Menu::FileNew)->trigger();
    EXPECT_TRUE(window->isWindowModified()); // a new book counts as changed until saved
    QAction* save = window->menuAction(Menu::FileSave);
    EXPECT_TRUE(save->isEnabled());
    EXPECT_EQ(save->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    const QString path = platform.dir.filePath(u"新しい学級"_s);
    platform.fileAnswers = {path};
    save->trigger();
    EXPECT_EQ(platform.dialogTitles.size(), 1);
    EXPECT_EQ(session.FileName, path + QStringLiteral(".txt"));
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral(".txt")));
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->windowTitle(), u"新しい学級.txt[*] - "_s + kProjectTitle);
}

TEST_F(DesktopTest, RecentFilesAreAMenuAndADroppedFileOpens) {
    const QString first = WriteClass(QStringLiteral("first.txt"));
    const QString second = WriteClass(QStringLiteral("second.txt"));
    ASSERT_TRUE(logic->OpenDocument(first));
    session.MarkChanged(); // a change: a dropped file asks the save question first

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(second)});
    EXPECT_EQ(frmMain::DroppedFile(&data), second);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    platform.answers = {false};
    static_cast<QObject*>(window.get())->event(&drop); // as the drag manager delivers it
    ProcessEvents();
    EXPECT_EQ(session.FileName, second);
    EXPECT_EQ(platform.questions.size(), 1); // the save question came first

    auto* recent = window->findChild<QMenu*>(QStringLiteral("mnuFileRecent"));
    ASSERT_NE(recent, nullptr);
    ASSERT_EQ(recent->actions().size(), 2);
    EXPECT_EQ(recent->actions()[0]->text(), QStringLiteral("&1 ") + second);
    platform.answers = {false};
    recent->actions()[1]->trigger();
    EXPECT_EQ(session.FileName, first);

    QMimeData text;
    text.setText(QStringLiteral("not a file"));
    EXPECT_EQ(frmMain::DroppedFile(&text), QString());
}

TEST_F(DesktopTest, ControlsHaveNamesWithoutTheirPadding) {
    EXPECT_EQ(AccessibleName(window->treeView1()), u"ﾂﾘｰﾋﾞｭｰ（学級・科目・学期・試験）"_s);
    EXPECT_EQ(AccessibleName(window->statusBar()), u"ステータスバー"_s);
    EXPECT_EQ(AccessibleName(window->msFlexGrid1()), u"画面の表"_s);
    const std::pair<const char16_t*, const char16_t*> buttons[] = {
        {u"新規作成", u"新規作成"},   {u"開く", u"ファイルを開く"}, {u"上書き保存", u"上書き保存"},
        {u"印刷", u"画面の表を印刷"}, {u"編集", u"データの編集"},
    };
    for (const auto& [key, name] : buttons)
        EXPECT_EQ(AccessibleName(window->toolBar()->widgetForAction(
                      window->toolbarAction(QString::fromUtf16(key)))),
                  QString::fromUtf16(name));
}

TEST(Placement, AStoredPlacementIsBroughtInsideTheScreen) {
    const QList<QRect> screens = {QRect(0, 0, 640, 480), QRect(640, 0, 800, 600)};
    struct Case {
        QRect stored, expected;
    } cases[] = {
        {{10, 20, 300, 200}, {10, 20, 300, 200}},       // fits: unchanged
        {{100, 100, 867, 667}, {0, 0, 640, 480}},       // too large at 2x: the whole screen
        {{400, 350, 300, 200}, {340, 280, 300, 200}},   // over the edge: moved in
        {{9000, 9000, 300, 200}, {340, 280, 300, 200}}, // off every screen: onto the first
        {{1300, 10, 300, 200}, {1140, 10, 300, 200}},   // mostly on the second screen
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitPlacement(c.stored, screens), c.expected) << c.stored.x();
    EXPECT_EQ(CenteredOver(QSize(200, 100), QRect(0, 0, 400, 300), screens),
              QRect(100, 100, 200, 100));
}

} // namespace
} // namespace kirune::test
