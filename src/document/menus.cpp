#include "menus.h"

namespace kirune {

namespace {

struct MenuRow {
    Menu item;
    const char* name;
    const char16_t* caption;
    bool enabled;
    const char* shortcut;
};

// The menus' texts keep their words before the access key; the standard keys of a desktop
// program are the shortcuts.
constexpr MenuRow kMenus[] = {
    {Menu::File, "mnuFile", u"ﾌｧｲﾙ(&F)", true, ""},
    {Menu::FileNew, "mnuFileNew", u"新規作成(&N)", true, "Ctrl+N"},
    {Menu::FileOpen, "mnuFileOpen", u"開く(&O)...", true, "Ctrl+O"},
    {Menu::FileRecent, "mnuFileRecent", u"最近使ったファイル(&R)", true, ""},
    {Menu::FileClose, "mnuFileClose", u"閉じる(&C)", true, "Ctrl+W"},
    {Menu::FileSave, "mnuFileSave", u"上書き保存(&S)", true, "Ctrl+S"},
    {Menu::FileSaveAs, "mnuFileSaveAs", u"名前を付けて保存(&A)...", true, "Ctrl+Shift+S"},
    {Menu::FileHistory, "mnuFileHistory", u"以前の版を開く(&H)...", false, ""},
    {Menu::CSVSaveAs, "mnuCSVSaveAs", u"画面の表をCSVで保存(&V)...", false, ""},
    {Menu::XlsxSaveAs, "mnuXlsxSaveAs", u"画面の表をExcel形式で保存(&E)...", false, ""},
    {Menu::XlsxBookSaveAs, "mnuXlsxBookSaveAs", u"成績簿全体をExcel形式で保存(&W)...", false, ""},
    {Menu::FileGradeSummary, "mnuFileGradeSummary", u"学年の集計(&G)...", true, ""},
    {Menu::FilePageSetup, "mnuFilePageSetup", u"ﾍﾟｰｼﾞ設定(&U)...", true, ""},
    {Menu::FilePrint, "mnuFilePrint", u"画面の表を印刷(&P)...", true, "Ctrl+P"},
    {Menu::FilePupilRecords, "mnuFilePupilRecords", u"個人票を全員分印刷(&K)...", true, ""},
    {Menu::FileExit, "mnuFileExit", u"終了(&X)", true, "Ctrl+Q"},
    {Menu::Edit, "mnuEdit", u"編集(&E)", true, ""},
    {Menu::EditProperty, "mnuEditProperty", u"学級・科目・試験・得点の編集(&E)", true, "Ctrl+E"},
    {Menu::EditNameBook, "mnuEditNameBook", u"生徒名簿ﾌｧｲﾙの読み込み(&I)...", true, ""},
    {Menu::EditUndo, "mnuEditUndo", u"元に戻す(&U)", false, "Ctrl+Z"},
    {Menu::EditRedo, "mnuEditRedo", u"やり直し(&R)", false, "Ctrl+Y"},
    {Menu::EditCopy, "mnuEditCopy", u"コピー(&C)", true, "Ctrl+C"},
    {Menu::EditSelectAll, "mnuEditSelectAll", u"すべて選択(&A)", true, "Ctrl+A"},
    {Menu::Help, "mnuHelp", u"ﾍﾙﾌﾟ(&H)", true, ""},
    {Menu::HelpContents, "mnuHelpContents", u"ヘルプ(&C)", true, "F1"},
};
static_assert(std::size(kMenus) == kMenuCount);
static_assert(
    [] {
        for (std::size_t i = 0; i < kMenuCount; ++i)
            if (kMenus[i].item != static_cast<Menu>(i))
                return false;
        return true;
    }(),
    "the table lists the items in the order of the enum");

const MenuRow& Row(Menu item) {
    return kMenus[static_cast<std::size_t>(item)];
}

} // namespace

QString MenuName(Menu item) {
    return QLatin1String(Row(item).name);
}

std::array<MenuItemState, kMenuCount> StartMenus() {
    std::array<MenuItemState, kMenuCount> menus;
    for (std::size_t i = 0; i < kMenuCount; ++i)
        menus[i] = {QString::fromUtf16(kMenus[i].caption), kMenus[i].enabled,
                    QLatin1String(kMenus[i].shortcut)};
    return menus;
}

std::vector<MenuEntry> MenuLayout(Menu menu) {
    constexpr MenuEntry kLine{true};
    auto item = [](Menu m) { return MenuEntry{false, m}; };
    switch (menu) {
    case Menu::File:
        return {item(Menu::FileNew),
                item(Menu::FileOpen),
                item(Menu::FileRecent),
                item(Menu::FileClose),
                kLine,
                item(Menu::FileSave),
                item(Menu::FileSaveAs),
                item(Menu::FileHistory),
                item(Menu::CSVSaveAs),
                item(Menu::XlsxSaveAs),
                item(Menu::XlsxBookSaveAs),
                kLine,
                item(Menu::FileGradeSummary),
                kLine,
                item(Menu::FilePageSetup),
                item(Menu::FilePrint),
                item(Menu::FilePupilRecords),
                kLine,
                item(Menu::FileExit)};
    case Menu::Edit:
        return {item(Menu::EditUndo),     item(Menu::EditRedo),      kLine,
                item(Menu::EditCopy),     item(Menu::EditSelectAll), kLine,
                item(Menu::EditProperty), item(Menu::EditNameBook)};
    case Menu::Help:
        return {item(Menu::HelpContents)};
    default:
        return {};
    }
}

} // namespace kirune
