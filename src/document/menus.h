#pragma once
// The main window's menus: every item by its identity (Menu::FileSave is the item mnuFileSave),
// with its caption, start state and shortcut in one fixed table, and the order of the items in
// the menu bar's three menus.

#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>
#include <vector>

namespace kirune {

// The menu bar's menus and their items, named as their controls without "mnu".
enum class Menu {
    File,
    FileNew,
    FileOpen,
    FileRecent,
    FileClose,
    FileSave,
    FileSaveAs,
    FileHistory,
    CSVSaveAs,
    XlsxSaveAs,
    XlsxBookSaveAs,
    FileGradeSummary,
    FilePageSetup,
    FilePrint,
    FilePupilRecords,
    FileExit,
    Edit,
    EditProperty,
    EditNameBook,
    EditUndo,
    EditRedo,
    EditCopy,
    EditSelectAll,
    Help,
    HelpContents,
};
constexpr std::size_t kMenuCount = static_cast<std::size_t>(Menu::HelpContents) + 1;

struct MenuItemState {
    QString caption;
    bool enabled = true;
    QString shortcut; // "Ctrl+N", "Ctrl+E"; "" for none
};

// The control's name: "mnuFileSave" for Menu::FileSave.
QString MenuName(Menu item);
// Every item as the window starts: captions, enabled states, shortcuts.
std::array<MenuItemState, kMenuCount> StartMenus();

// One entry of a menu bar menu: an item, or a separator line.
struct MenuEntry {
    bool separator = false;
    Menu item = Menu::File;
};
// The entries of Menu::File, Menu::Edit or Menu::Help in their order.
std::vector<MenuEntry> MenuLayout(Menu menu);

} // namespace kirune
