#pragma once
// The main window's behaviour without a window: start-up and activation, the tree and its
// selection, the edit command, the document commands with the save prompt, the menus' and
// toolbar's captions and enabled states, the hints, and the main grid with its frame caption.
// frmMain shows this state and forwards events; kirune-tool drives the very same class.

#include "bookfile.h"
#include "browse/grid.h"
#include "browse/tables.h"
#include "browse/tree.h"
#include "keptcopies.h"
#include "mainform.h"
#include "menus.h"
#include "model/gradebook.h"
#include "model/session.h"
#include "output/platform.h"

#include <QString>
#include <QStringList>
#include <QUndoStack>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kirune {

struct WorkbookSheet;    // output/xlsxexport.h
class GradeSummaryLogic; // gradesummarylogic.h

struct ToolbarButtonState {
    QString key;     // what the dispatcher compares
    QString caption; // with its ideographic spaces
    QString toolTip;
    QString image; // image key: "New", "Open", "Save", "Print", "Edit"
    bool enabled = true;
};

struct TwipsRect {
    double left = 0, top = 0, width = 0, height = 0;
};

class MainLogic : public MainFormHooks {
public:
    MainLogic(GradeBook& book, Session& session, Platform& platform);

    // --- State shown by frmMain -------------------------------------------------------------
    GradeBook& book;
    Session& session;
    Platform& platform;

    Grid grid{43, 15};           // MSFlexGrid1
    QString frame1Caption;       // Frame1, the line above the grid
    QString statusText;          // first panel of sbStatusBar
    std::vector<TreeNode> nodes; // TreeView1, in creation order (node index = position + 1)
    bool windowEnabled = true;   // false while an editor is open

    // The menu bar's menus and items, by identity (the menu titles too).
    std::array<MenuItemState, kMenuCount> menus = StartMenus();
    const MenuItemState& Item(Menu item) const { return menus[static_cast<std::size_t>(item)]; }
    // Toolbar buttons in order; find one by key with Button().
    std::vector<ToolbarButtonState> toolbar;
    ToolbarButtonState* Button(const QString& key);

    // Fixed captions of the window and the tree's frame.
    const QString windowCaption;
    const QString frame2Caption;

    // Window placement read at load (twips) and the panes laid out by Form_Resize.
    TwipsRect placement;
    TwipsRect frame2, treeView1, frame1, msFlexGrid1;

    // --- Hooks set by the window (empty in the tool) ----------------------------------------
    std::function<void()> changed;              // something shown has changed
    std::function<void(EditorKind)> openEditor; // show an editor window modeless
    std::function<void()> closeWindow;          // Exit: unload the main window
    // Unloads open editors, last opened first; false when one stayed open (the teacher chose to
    // go on editing).
    std::function<bool()> closeOtherWindows;
    std::function<void()> applyPlacement; // Form_Load has read `placement`: move there
    // Shows the grade's summary in a window of its own, which then owns it.
    std::function<void(std::unique_ptr<GradeSummaryLogic>)> openSummary;

    // --- Events ------------------------------------------------------------------------------
    // Start state: run once when the window is created (before ResetGradeBook) and by Close.
    void Form_Load();
    // Brings the window up to date: run when it is first shown and whenever it becomes the active
    // window again after an editor has closed.
    void Form_Activate();
    void Form_Resize(double width, double height);
    // The unload handler: other windows, save prompt, placement store; the program then ends
    // normally and its recovery copy goes. False when an editor
    // stayed open, the teacher cancelled, or chose to save and nothing was saved: the window
    // then stays open.
    bool Form_Unload(const TwipsRect& current, bool minimized);

    void TreeView1_NodeClick(int nodeIndex); // 1-based, as the tree counts
    void mnuEditProperty_Click();
    void tbToolBar_ButtonClick(const QString& key);

    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileClose_Click();
    void mnuFileSave_Click();
    // Save as its menu item runs it: true when the book was written, false when it was not
    // (not offered, refused, cancelled or failed; any message shown).
    bool SaveCommand();
    void mnuFileSaveAs_Click();
    void mnuFileExit_Click();
    // ﾌｧｲﾙ > 画面の表をExcel形式で保存: the table on screen as a workbook of one sheet.
    void mnuXlsxSaveAs_Click();
    // ﾌｧｲﾙ > 成績簿全体をExcel形式で保存: every table of the book, a sheet each.
    void mnuXlsxBookSaveAs_Click();
    // Writes the workbook of the given tree nodes' tables (every table of the book when none)
    // to `path` (the tool's xlsx); false, with the message shown, when it could not.
    bool ExportWorkbookTo(const QString& path, const QStringList& keys);
    void mnuCSVSaveAs_Click();
    // ﾌｧｲﾙ > 学年の集計: several class books chosen at once, their summary in a window of its
    // own. The open book is not touched.
    void mnuFileGradeSummary_Click();
    void mnuFilePageSetup_Click();
    // ﾌｧｲﾙ > 個人票を全員分印刷: every named pupil's record, one A4 portrait page each.
    void mnuFilePupilRecords_Click();
    // The records of the pupils `numbers` (those with a name), one A4 portrait page each, through
    // the print preview; false when nothing was printed.
    bool PrintPupilRecords(const QList<int>& numbers);
    void mnuFilePrint_Click();
    // The file dialog's filter of the roster import.
    static QString RosterFilter();
    void mnuEditNameBook_Click();
    void mnuHelpContents_Click();

    // Save prompt (Yes/No/キャンセル); false when the command that asked must stop: the
    // teacher cancelled, or answered Yes and nothing was saved.
    bool SavePrompt();
    // Save through Save or Save As as the menus allow; true when the file was written.
    bool SaveNow();
    // Opens `path` as the Open command does after its dialog (used by the tool too).
    bool OpenPath(const QString& path);
    // The same without a message when the file cannot be read (then nothing changes).
    bool OpenPathIfReadable(const QString& path);
    // Selects the node with `key` as a click would; false when there is no such node.
    bool SelectNodeByKey(const QString& key);
    // Writes the grade book to `FileName` (the Save command without its enabled check).
    bool WriteToFileName();
    // The placement in the settings store, defaults for missing keys.
    TwipsRect StoredPlacement();

    // --- On the desktop: recent files, opening from outside, the title, confirmations ---------
    static constexpr int kMaxRecentFiles = 8;
    QStringList recentFiles;         // last opened or saved first, at most kMaxRecentFiles
    QString statusMessage;           // the last confirmation shown in the status bar
    int statusMessageCount = 0;      // grows with every confirmation, so each is shown once
    bool placementMaximized = false; // read by Form_Load, stored by Form_Unload

    // Captions of the entries of 最近使ったファイル, with their access keys 1..8.
    QStringList RecentMenuCaptions() const;
    // Opens recent file `index` (0-based); one that is gone is taken off the list with a message.
    void mnuFileRecent_Click(int index);
    // Opens `path` as Open does after its dialog, with the save question first while a book is
    // open (a file named on the command line, dropped on the window, or a recent file). False when
    // nothing was opened.
    bool OpenDocument(const QString& path);
    // True while a grade book is open (after New or Open, until Close).
    bool BookOpen() const { return Item(Menu::FileClose).enabled; }
    // The file shown in the window title: "" without a book, "無題" before a new book's first
    // save, else the file's name.
    QString TitleFileName() const;
    // True while the open book has a file of its own (it was opened from it or saved to it), which
    // Save writes; Save of a book without one asks for a name as Save As does.
    bool HasOwnFile() const { return BookOpen() && file_.HasOwnFile(); }
    // True while the open book was opened read-only (another program holds it): Save asks for
    // another name, as Save As does.
    bool ReadOnly() const { return BookOpen() && file_.ReadOnly(); }
    // True while this program holds the lock of the open book's file.
    bool HoldsLock() const { return BookOpen() && file_.HoldsLock(); }

    // --- MainFormHooks ---------------------------------------------------------------------
    void EnableMainWindow() override;
    void MSFlexGrid1_init() override;
    void TreeView1_refresh() override;
    void RecordStep(const QString& description) override;

    // The table on screen as a sheet named after its tree node.
    WorkbookSheet ShownSheet() const;
    // Writes `sheets` to `path`; false, with the message shown, when it could not.
    bool WriteWorkbook(const std::vector<WorkbookSheet>& sheets, const QString& title,
                       const QString& path);

    // --- Undo and redo ---------------------------------------------------------------------
    // Each step holds the whole book before and after it (a snapshot is small), so undo and
    // redo put back exactly what was there. Cleared by New, Open and Close.
    static constexpr int kUndoSteps = 100;
    QUndoStack undoStack;
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();
    // Puts `snapshot` in the book as one undo or redo does: the tree and the table follow.
    void RestoreSnapshot(const std::shared_ptr<const GradeBook>& snapshot);

    // --- Recovery copies and earlier versions ----------------------------------------------
    // The copies live in the user's data folder (Platform::DataFolder), never beside the
    // teacher's file. While the book needs saving a recovery copy is kept: at once after every
    // step and at the latest RecoveryTick after any other change.
    RecoveryStore recovery;
    VersionHistory history;
    // Writes the recovery copy when the book needs saving and differs from the last copy.
    void RecoveryTick();
    // At start-up: offers the copies left by programs that did not end normally. True when
    // one was restored (then it is the open, unsaved book).
    bool OfferRecovery();
    // False when OfferRecovery would surely offer nothing (no copies but this program's own).
    bool RecoveryMayBeOffered() const { return recovery.MayHaveOrphans(); }
    // File > 以前の版を開く...: the chosen earlier version of the open file becomes the book,
    // unsaved, under the open file's name (one step of undo).
    void mnuFileHistory_Click();
    // The text of a version in the list: date and time, pupils, registered tests.
    static QString VersionText(const QDateTime& when, const GradeBook* version);

private:
    // Open without its message: reads `path` (a refusal's text in *error, "" when the teacher
    // chose not to open a book another program holds) and shows the book.
    bool OpenRead(const QString& path, QString* error);
    BookFile file_; // the open book's file: its lock, what it held, read-only or not
    // A step that changes the book; `followUp` merges it into the step before (the subject's
    // new name carried into the tree's texts after its registration).
    void PushStep(const QString& description, bool followUp);
    void ResetUndo();       // empty history, the book as it is now as its start
    void UpdateUndoMenus(); // captions and enabled state of 元に戻す and やり直し
    // The book needs saving while the undo stack is away from its clean state (the one the file
    // holds, set when the book is opened or saved), and always while the file holds nothing of
    // it yet (a new book, a restored recovery copy): undoing back to what was saved leaves
    // nothing to save.
    void FollowCleanState();
    void AfterUndoOrRedo();     // menus, the recovery copy and the window follow the step
    void RefreshPupilNodes();   // the tree's pupils after a change of names
    bool placed_ = false;       // the stored placement was applied (at the first load)
    bool startUnsaved_ = false; // the undo history starts from a book the file does not hold
    void ShowRestoredBook();    // tree, table, heading and menus after an undo or redo
    std::shared_ptr<const GradeBook> baseline_; // the book after the last step
    // After a file was read or a book restored: menus, toolbar, tree and heading of an open book
    // named `fileName` ("" for a book without a name, which Save As names).
    void ShowOpenedBook(const QString& fileName);
    void WriteRecoveryCopy();
    void DropRecoveryCopy(); // saved, or closed without saving by the teacher's choice
    void KeepVersion();      // after a successful save
    void UpdateHistoryMenu();
    QByteArray recoveryBytes_; // what the last copy holds (or the file, when just read or saved)
    // The book as just read, when its bytes have not been made yet: they are made at the first
    // comparison, so opening a file does not write the whole book out once more in memory.
    std::shared_ptr<const GradeBook> recoveryBase_;
    bool recoveryFailed_ = false;
    void StartNewBook(); // New after its enabled check (also roster import without a book)
    MenuItemState& ItemRef(Menu item) { return menus[static_cast<std::size_t>(item)]; }
    void EnableMenus(std::initializer_list<Menu> items, bool enabled);
    void EnableButton(const QString& key, bool enabled);
    void EnableByEnrolment(); // print and roster import by CountEnrolled
    void CarrySubjectRename();
    // What the selected node shows (the session's SelectedNodeKey; nothing without a book): the
    // table and its heading, the edit command and its button, the hint, the table's exports.
    // Every command derives these from the selection here, so none can forget a part.
    void ShowSelectedNode();
    // After a command that replaced or cleared the book: the class node selected and its table
    // built afresh, as after a first Open; without a book, nothing selected, as at the start.
    void ShowBookAfresh();
    static QString EditButtonStartCaption(); // the edit button while nothing is selected
    // A node of the pupils' branch selected: the ratings overview, or a pupil's record.
    void ShowPupilTable(ToolbarButtonState* edit);
    bool pupilTableShown_ = false;   // the grid holds one of those: other tables re-lay it first
    SubjectTableCache recordTables_; // what the pupils' records are read from
    // The window takes input and the item is enabled.
    bool Allowed(Menu item) const { return windowEnabled && Item(item).enabled; }
    bool SaveAsWithDialog(); // Save As after its enabled check; true when written
    // Where a save dialog starts: `name` in the open book's folder, or in the folder last
    // chosen for a book without a file of its own.
    QString SaveStart(const QString& name) const;
    std::optional<QString> ChooseExportPath(const QString& title, const QString& filter,
                                            const QString& name, const char* suffix);
    void RememberRecent(const QString& path);
    void Confirm(const QString& message); // a confirmation for the status bar
    void Notify() {
        if (changed)
            changed();
    }
};

} // namespace kirune
