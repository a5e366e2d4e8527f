#pragma once
// The main window: menus, toolbar, the tree pane, the table pane and the status bar. It shows
// MainLogic's state and forwards the teacher's clicks to it; what a command does lives there.

#include "document/mainlogic.h"
#include "editorlauncher.h"

#include <QMainWindow>
#include <QMargins>
#include <QPointer>
#include <array>
#include <vector>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QMimeData;
class QSplitter;
class QToolBar;

namespace kirune {

class GridView;
class NodeTree;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs the logic's load routine (placement, placeholder node, start
    // state of menus and toolbar).
    explicit frmMain(MainLogic& logic, QWidget* parent = nullptr);
    ~frmMain() override;

    MainLogic& logic() { return logic_; }
    EditorLauncher& editors() { return launcher_; }

    // The controls, by their names in the logic.
    QAction* menuAction(Menu item) const; // nullptr for the menu bar's menus themselves
    QAction* toolbarAction(const QString& key) const;
    QToolBar* toolBar() const { return toolBar_; }
    QLabel* statusPanel() const { return statusPanel_; }
    QGroupBox* frame1() const { return frame1_; }
    QGroupBox* frame2() const { return frame2_; }
    NodeTree* treeView1() const { return treeView1_; }
    GridView* msFlexGrid1() const { return msFlexGrid1_; }
    QSplitter* paneSplitter() const { return splitter_; }
    int activationCount() const { return activations_; }

    // Shows the logic's state in every control.
    void refresh();
    // Shows the window where the stored placement says, maximized when it was at exit.
    void showAsPlaced();
    // The local file a drop carries (the first one), "" when none.
    static QString DroppedFile(const QMimeData* data);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolbar();
    void BuildPanes();
    void SetHooks();
    void KeepWorkSafe(); // the recovery timer and the desktop's log-out
    void LayoutPanes();
    void PlacePaneContents();
    void ApplyPlacement();
    QMargins FrameMargins() const;
    void FitPlacementToFrame();
    void RunPendingActivation();
    void EditorsClosed();
    void Forward(void (MainLogic::*handler)());
    // Runs an event's work on the logic and shows what it changed: the logic tells through its
    // `changed` hook, so the window is refreshed here only when the work did not.
    template <typename Work> void Handle(const Work& work) {
        const int shown = refreshes_;
        work();
        if (refreshes_ == shown)
            refresh();
    }
    void RefreshDesktopState(); // title, recent files, confirmation, accessible names

    MainLogic& logic_;
    EditorLauncher launcher_;

    std::array<QAction*, kMenuCount> menuActions_{};
    std::vector<QAction*> toolbarActions_; // in the order of logic.toolbar
    std::vector<QString> toolbarImages_;
    QToolBar* toolBar_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QWidget* panes_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    NodeTree* treeView1_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    GridView* msFlexGrid1_ = nullptr;
    QSplitter* splitter_ = nullptr; // holds the two panes
    int treeWidth_ = 0;             // pixels the teacher dragged the tree pane to; 0: the usual
    QString shownTableKey_;         // the node whose table the grid shows

    // Activation: at the first showing and when the window comes back after an editor closed.
    bool firstActivationPending_ = true;
    bool editorClosedPending_ = false;
    bool activating_ = false;
    int activations_ = 0;

    bool unloading_ = false;
    bool shown_ = false;
    QMargins placedWithMargins_; // frame margins known when the placement was applied
    QMenu* recentMenu_ = nullptr;
    QStringList recentShown_;    // the captions the recent-files menu holds
    int confirmationsShown_ = 0; // logic's statusMessageCount last shown
    int refreshes_ = 0;          // grows with every refresh
    bool frameSettling_ = false; // just shown: the window manager's frame may still change
};

} // namespace kirune
