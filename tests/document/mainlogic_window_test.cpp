// The window's frame: menus and toolbar as designed, the panes on resizing, the stored placement
// and help.
#include "browse/tree.h"
#include "mainlogicfixture.h"
#include "support/testutil.h"

#include <functional>

using namespace Qt::StringLiterals;

namespace kirune::test {
namespace {

// A menu's entries by their controls' names, "-" for a separator.
QStringList LayoutNames(Menu menu) {
    QStringList names;
    for (const MenuEntry& entry : MenuLayout(menu))
        names << (entry.separator ? QStringLiteral("-") : MenuName(entry.item));
    return names;
}

// Within one menu every item has an access key of its own, so a key press chooses one item.
TEST_F(MainLogicTest, AccessKeysAreUniqueWithinEachMenu) {
    for (const Menu menu : {Menu::File, Menu::Edit, Menu::Help}) {
        QStringList keys;
        for (const MenuEntry& entry : MenuLayout(menu)) {
            if (entry.separator)
                continue;
            const QString& caption = logic->Item(entry.item).caption;
            const qsizetype amp = caption.indexOf(u'&');
            ASSERT_GE(amp, 0) << MenuName(entry.item).toStdString();
            const QString key = caption.mid(amp + 1, 1).toUpper();
            EXPECT_FALSE(keys.contains(key)) << MenuName(entry.item).toStdString();
            keys << key;
        }
    }
}

TEST_F(MainLogicTest, MenusCarryTheirCaptionsAccessKeysAndShortcuts) {
    const std::pair<Menu, const char16_t*> captions[] = {
        {Menu::File, u"ﾌｧｲﾙ(&F)"},
        {Menu::FileNew, u"新規作成(&N)"},
        {Menu::FileOpen, u"開く(&O)..."},
        {Menu::FileClose, u"閉じる(&C)"},
        {Menu::FileSave, u"上書き保存(&S)"},
        {Menu::FileSaveAs, u"名前を付けて保存(&A)..."},
        {Menu::FileRecent, u"最近使ったファイル(&R)"},
        {Menu::CSVSaveAs, u"画面の表をCSVで保存(&V)..."},
        {Menu::XlsxSaveAs, u"画面の表をExcel形式で保存(&E)..."},
        {Menu::XlsxBookSaveAs, u"成績簿全体をExcel形式で保存(&W)..."},
        {Menu::FileGradeSummary, u"学年の集計(&G)..."},
        {Menu::FilePageSetup, u"ﾍﾟｰｼﾞ設定(&U)..."},
        {Menu::FilePrint, u"画面の表を印刷(&P)..."},
        {Menu::FilePupilRecords, u"個人票を全員分印刷(&K)..."},
        {Menu::FileExit, u"終了(&X)"},
        {Menu::Edit, u"編集(&E)"},
        {Menu::EditProperty, u"学級・科目・試験・得点の編集(&E)"},
        {Menu::EditNameBook, u"生徒名簿ﾌｧｲﾙの読み込み(&I)..."},
        {Menu::Help, u"ﾍﾙﾌﾟ(&H)"},
        {Menu::HelpContents, u"ヘルプ(&C)"},
    };
    for (const auto& [item, caption] : captions)
        EXPECT_EQ(logic->Item(item).caption, QString::fromUtf16(caption))
            << MenuName(item).toStdString();
    const std::pair<Menu, const char*> shortcuts[] = {
        {Menu::FileNew, "Ctrl+N"},  {Menu::FileOpen, "Ctrl+O"},         {Menu::FileClose, "Ctrl+W"},
        {Menu::FileSave, "Ctrl+S"}, {Menu::FileSaveAs, "Ctrl+Shift+S"}, {Menu::FilePrint, "Ctrl+P"},
        {Menu::FileExit, "Ctrl+Q"}, {Menu::EditProperty, "Ctrl+E"},     {Menu::HelpContents, "F1"},
        {Menu::FilePageSetup, ""},
    };
    for (const auto& [item, keys] : shortcuts)
        EXPECT_EQ(logic->Item(item).shortcut, QString::fromLatin1(keys))
            << MenuName(item).toStdString();

    EXPECT_EQ(LayoutNames(Menu::File),
              QStringList({"mnuFileNew", "mnuFileOpen", "mnuFileRecent", "mnuFileClose", "-",
                           "mnuFileSave", "mnuFileSaveAs", "mnuFileHistory", "mnuCSVSaveAs",
                           "mnuXlsxSaveAs", "mnuXlsxBookSaveAs", "-", "mnuFileGradeSummary", "-",
                           "mnuFilePageSetup", "mnuFilePrint", "mnuFilePupilRecords", "-",
                           "mnuFileExit"}));
    EXPECT_EQ(LayoutNames(Menu::Edit), QStringList({"mnuEditUndo", "mnuEditRedo", "-",
                                                    "mnuEditProperty", "mnuEditNameBook"}));
    EXPECT_EQ(LayoutNames(Menu::Help), QStringList{"mnuHelpContents"});
    for (const Menu menu : {Menu::File, Menu::Edit, Menu::Help}) {
        for (const MenuEntry& entry : MenuLayout(menu)) {
            if (!entry.separator) {
                EXPECT_FALSE(logic->Item(entry.item).caption.isEmpty())
                    << MenuName(entry.item).toStdString();
            }
        }
    }

    EXPECT_EQ(logic->windowCaption, kProjectTitle);
    EXPECT_EQ(logic->frame2Caption, u"ﾂﾘｰﾋﾞｭｰ（学級・科目・学期・試験）"_s);
}

// The letter after a single "&" ("&&" is an ampersand shown), as Alt or the open menu takes it.
QChar AccessKey(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1].toUpper();
        ++i;
    }
    return {};
}

// Within each menu, and among the menu bar's titles, every item has an access key of its own:
// Alt+F, X ends the program. The captions change as the book and the selection change, so the
// menus are looked at in each state.
TEST_F(MainLogicTest, EveryMenusAccessKeysAreUnique) {
    const QString path = WriteBook(QStringLiteral("class.txt"), 3);
    const struct {
        const char* what;
        std::function<void()> reach;
    } states[] = {
        {"start", [] {}},
        {"a book open, a recent file",
         [&] {
             Start();
             Open(path);
         }},
        {"a test selected, a step to undo",
         [&] {
             ASSERT_TRUE(logic->SelectNodeByKey(QStringLiteral("2 0 0 0")));
             session.MarkChanged();
             logic->RecordStep(u"国語 一学期 1回目試験の登録"_s);
         }},
        {"a pupil's record selected, the step undone",
         [&] {
             ASSERT_TRUE(logic->SelectNodeByKey(PupilKey(1)));
             logic->mnuEditUndo_Click();
         }},
    };
    for (const auto& state : states) {
        SCOPED_TRACE(state.what);
        state.reach();
        std::vector<std::pair<QString, QStringList>> menus = {
            {QStringLiteral("menu bar"),
             {logic->Item(Menu::File).caption, logic->Item(Menu::Edit).caption,
              logic->Item(Menu::Help).caption}},
            {QStringLiteral("recent files"), logic->RecentMenuCaptions()}};
        for (const Menu menu : {Menu::File, Menu::Edit, Menu::Help}) {
            QStringList captions;
            for (const MenuEntry& entry : MenuLayout(menu))
                if (!entry.separator)
                    captions << logic->Item(entry.item).caption;
            menus.emplace_back(MenuName(menu), captions);
        }
        for (const auto& [menu, captions] : menus) {
            std::map<QChar, QString> taken;
            for (const QString& caption : captions) {
                const QChar key = AccessKey(caption);
                EXPECT_FALSE(key.isNull()) << menu.toStdString() << ": " << caption.toStdString();
                const auto [at, fresh] = taken.emplace(key, caption);
                EXPECT_TRUE(fresh) << menu.toStdString() << ": " << caption.toStdString() << " and "
                                   << at->second.toStdString();
            }
        }
    }
}

TEST_F(MainLogicTest, ToolbarButtonsInOrderWithIdeographicSpaces) {
    ASSERT_EQ(logic->toolbar.size(), 5u);
    const char16_t* expected[5][4] = {
        {u"新規作成", u"　　新　規　作　成　　", u"新規作成", u"New"},
        {u"開く", u"ファイルを　開く　　　", u"開く", u"Open"},
        {u"上書き保存", u"　上　書　き　保　存　", u"上書き保存", u"Save"},
        {u"印刷", u"　画面の表を　印刷　　", u"印刷", u"Print"},
        {u"編集", u"データの　編集　　　", u"データの入力と編集", u"Edit"},
    };
    for (int i = 0; i < 5; ++i) {
        const auto& button = logic->toolbar[i];
        EXPECT_EQ(button.key, QString::fromUtf16(expected[i][0]));
        EXPECT_EQ(button.caption, QString::fromUtf16(expected[i][1]));
        EXPECT_EQ(button.toolTip, QString::fromUtf16(expected[i][2]));
        EXPECT_EQ(button.image, QString::fromUtf16(expected[i][3]));
    }
    EXPECT_EQ(logic->toolbar[0].caption.count(QChar(0x3000)), 7);
    EXPECT_EQ(logic->Button(QStringLiteral("none")), nullptr);
}

TEST_F(MainLogicTest, PanesStartAtTheirDesignPlaces) {
    EXPECT_EQ(logic->frame2.left, 0);
    EXPECT_EQ(logic->frame2.top, 480);
    EXPECT_EQ(logic->frame2.width, 3375);
    EXPECT_EQ(logic->frame2.height, 7455);
    EXPECT_EQ(logic->treeView1.width, 3135);
    EXPECT_EQ(logic->frame1.left, 3480);
    EXPECT_EQ(logic->frame1.width, 8415);
    EXPECT_EQ(logic->msFlexGrid1.width, 8175);
    EXPECT_EQ(logic->msFlexGrid1.height, 7095);
}

TEST_F(MainLogicTest, ResizeGivesTheTreeAThirdUpTo6000) {
    logic->Form_Resize(9000, 1500);
    EXPECT_EQ(logic->frame2.width, 3000);
    EXPECT_EQ(logic->treeView1.width, 2760);
    EXPECT_EQ(logic->frame1.left, 3105);
    EXPECT_EQ(logic->frame1.width, 5775);
    EXPECT_EQ(logic->msFlexGrid1.width, 5535);
    // 1500 high: the heights stay as designed.
    EXPECT_EQ(logic->frame2.height, 7455);
    EXPECT_EQ(logic->treeView1.height, 7095);
    EXPECT_EQ(logic->frame1.height, 7455);
    EXPECT_EQ(logic->msFlexGrid1.height, 7095);

    logic->Form_Resize(20000, 10000);
    EXPECT_EQ(logic->frame2.width, 6000);
    EXPECT_EQ(logic->frame1.left, 6105);
    EXPECT_EQ(logic->frame1.width, 13775);
    EXPECT_EQ(logic->frame2.height, 8500);
    EXPECT_EQ(logic->frame1.height, 8500);
    EXPECT_EQ(logic->treeView1.height, 8140);
    EXPECT_EQ(logic->msFlexGrid1.height, 8140);

    // 2000 or less in a direction leaves that direction alone.
    logic->Form_Resize(2000, 2000);
    EXPECT_EQ(logic->frame2.width, 6000);
    EXPECT_EQ(logic->frame2.height, 8500);
    EXPECT_EQ(logic->frame2.top, 480);
    EXPECT_EQ(logic->frame1.top, 480);
    EXPECT_EQ(logic->msFlexGrid1.left, 120);
    EXPECT_EQ(logic->msFlexGrid1.top, 240);
}

TEST_F(MainLogicTest, PlacementDefaultsWhenNothingIsStored) {
    Start();
    EXPECT_EQ(logic->placement.left, 1000);
    EXPECT_EQ(logic->placement.top, 1000);
    EXPECT_EQ(logic->placement.width, 13000);
    EXPECT_EQ(logic->placement.height, 10000);
}

TEST_F(MainLogicTest, StoredPlacementIsReadBackAsNumbers) {
    platform.settings[QStringLiteral("MainLeft")] = QStringLiteral("1500");
    platform.settings[QStringLiteral("MainTop")] = QStringLiteral("750.5");
    platform.settings[QStringLiteral("MainWidth")] = QStringLiteral("garbage");
    Start();
    EXPECT_EQ(logic->placement.left, 1500);
    EXPECT_EQ(logic->placement.top, 750.5);
    EXPECT_EQ(logic->placement.width, 13000); // unreadable: the default
    EXPECT_EQ(logic->placement.height, 10000);
}

TEST_F(MainLogicTest, PlacementSurvivesARestart) {
    Start();
    ASSERT_TRUE(logic->Form_Unload({1234, 567, 11000, 9000}, false));
    auto next = std::make_unique<GradeBook>();
    Session nextSession;
    MainLogic restarted(*next, nextSession, platform);
    restarted.Form_Load();
    EXPECT_EQ(restarted.placement.left, 1234);
    EXPECT_EQ(restarted.placement.top, 567);
    EXPECT_EQ(restarted.placement.width, 11000);
    EXPECT_EQ(restarted.placement.height, 9000);
}

TEST_F(MainLogicTest, MinimisedWindowStoresNothing) {
    platform.settings[QStringLiteral("MainLeft")] = QStringLiteral("300");
    Start();
    ASSERT_TRUE(logic->Form_Unload({-32000, -32000, 2000, 500}, true));
    EXPECT_EQ(platform.settings.size(), 1u);
    EXPECT_EQ(platform.settings[QStringLiteral("MainLeft")].toString(), QStringLiteral("300"));
}

// The window is placed once, at start: Close leaves its size, place and maximized state alone
// (placing it again took a maximized window out of that state, a little larger each time).
TEST_F(MainLogicTest, CloseLeavesTheWindowWhereItIs) {
    platform.settings[QStringLiteral("MainLeft")] = QStringLiteral("2000");
    platform.settings[QStringLiteral("MainMaximized")] = QStringLiteral("1");
    std::vector<TwipsRect> applied;
    logic->applyPlacement = [&] { applied.push_back(logic->placement); };
    Start();
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied.back().left, 2000);
    EXPECT_TRUE(logic->placementMaximized);
    for (int round = 0; round < 3; ++round) {
        logic->mnuFileNew_Click();
        platform.answers = {false};
        logic->mnuFileClose_Click();
    }
    EXPECT_EQ(applied.size(), 1u);
    EXPECT_TRUE(logic->placementMaximized);
}

TEST_F(MainLogicTest, HelpOpensTheHelpViewer) {
    Start();
    logic->mnuHelpContents_Click();
    EXPECT_EQ(platform.helpShown, 1);
}

TEST_F(MainLogicTest, EveryChangeIsAnnouncedToTheWindow) {
    int changes = 0;
    logic->changed = [&] { ++changes; };
    Start();
    EXPECT_GT(changes, 0);
    const int afterStart = changes;
    logic->mnuFileNew_Click();
    EXPECT_GT(changes, afterStart);
    const int afterNew = changes;
    logic->Form_Resize(9000, 9000);
    EXPECT_GT(changes, afterNew);
}

} // namespace
} // namespace kirune::test
