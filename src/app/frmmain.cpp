#include "frmmain.h"

#include "editors/common/gridview.h"
#include "editors/common/twips.h"
#include "icons.h"
#include "nodetree.h"
#include "placement.h"
#include "summarywindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <cmath>
#include <functional>
#include <utility>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// The toolbar's height in the window design: the panes' tops (480) are measured from the top of
// the client area, which holds the toolbar. Our toolbar (text under the pictures) is taller, so
// the panes are placed below it at the same distance.
constexpr double kToolbarDesignHeight = 420;

using Handler = void (MainLogic::*)();

// The command behind each menu item (the menus themselves and the recent files have none).
constexpr std::pair<Menu, Handler> kMenuHandlers[] = {
    {Menu::FileNew, &MainLogic::mnuFileNew_Click},
    {Menu::FileOpen, &MainLogic::mnuFileOpen_Click},
    {Menu::FileClose, &MainLogic::mnuFileClose_Click},
    {Menu::FileSave, &MainLogic::mnuFileSave_Click},
    {Menu::FileSaveAs, &MainLogic::mnuFileSaveAs_Click},
    {Menu::FileHistory, &MainLogic::mnuFileHistory_Click},
    {Menu::CSVSaveAs, &MainLogic::mnuCSVSaveAs_Click},
    {Menu::XlsxSaveAs, &MainLogic::mnuXlsxSaveAs_Click},
    {Menu::XlsxBookSaveAs, &MainLogic::mnuXlsxBookSaveAs_Click},
    {Menu::FileGradeSummary, &MainLogic::mnuFileGradeSummary_Click},
    {Menu::FilePageSetup, &MainLogic::mnuFilePageSetup_Click},
    {Menu::FilePrint, &MainLogic::mnuFilePrint_Click},
    {Menu::FilePupilRecords, &MainLogic::mnuFilePupilRecords_Click},
    {Menu::FileExit, &MainLogic::mnuFileExit_Click},
    {Menu::EditProperty, &MainLogic::mnuEditProperty_Click},
    {Menu::EditNameBook, &MainLogic::mnuEditNameBook_Click},
    {Menu::EditUndo, &MainLogic::mnuEditUndo_Click},
    {Menu::EditRedo, &MainLogic::mnuEditRedo_Click},
    {Menu::HelpContents, &MainLogic::mnuHelpContents_Click},
};

Handler MenuHandler(Menu item) {
    for (const auto& [menu, handler] : kMenuHandlers)
        if (menu == item)
            return handler;
    return nullptr;
}

const QString kTreeWidthKey = QStringLiteral("TreeWidth"); // twips, beside MainLeft etc.
constexpr int kNarrowestTablePane = 120;                   // pixels

double Twips(int pixels) {
    return std::round(PixelsToTwips(pixels));
}

// Cuts `r` so that it ends inside `area` less the given margins (pixels).
QRect FitInto(QRect r, const QRect& area, int rightMargin, int bottomMargin) {
    r.setRight(std::min(r.right(), area.right() - rightMargin));
    r.setBottom(std::min(r.bottom(), area.bottom() - bottomMargin));
    if (r.width() < 0)
        r.setWidth(0);
    if (r.height() < 0)
        r.setHeight(0);
    return r;
}

// A name for assistive technology: a caption without the blanks that pad it on screen.
QString AccessibleCaption(const QString& caption) {
    QString name = caption;
    name.remove(QChar(0x3000));
    name.remove(QLatin1Char(' '));
    return name;
}

} // namespace

frmMain::frmMain(MainLogic& logic, QWidget* parent)
    : QMainWindow(parent), logic_(logic),
      launcher_(logic.book, logic.session, logic.platform, logic) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(logic_.windowCaption); // its icon, the program's, comes once it is painted

    BuildMenus();
    BuildToolbar();
    BuildPanes();
    statusPanel_ = new QLabel(this);
    statusPanel_->setObjectName(QStringLiteral("sbStatusBarPanel1"));
    // A long hint must not hold the window wide: the panel shows what fits.
    statusPanel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusPanel_->setMinimumWidth(1);
    statusPanel_->setContentsMargins(4, 0, 0, 0);
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    statusBar()->addWidget(statusPanel_, 1);
    statusBar()->setAccessibleName(u"ステータスバー"_s);
    statusPanel_->setAccessibleName(u"ヒント"_s);
    // A class file dropped on the window is opened as Open does.
    setAcceptDrops(true);

    SetHooks();
    KeepWorkSafe();
    launcher_.SetAnchor(this);
    msFlexGrid1_->setGrid(&logic_.grid);
    Handle([this] { logic_.Form_Load(); });
}

frmMain::~frmMain() {
    // The logic outlives the window: nothing may call back into a destroyed one.
    logic_.changed = nullptr;
    logic_.openEditor = nullptr;
    logic_.openSummary = nullptr;
    logic_.closeWindow = nullptr;
    logic_.closeOtherWindows = nullptr;
    logic_.applyPlacement = nullptr;
}

void frmMain::BuildMenus() {
    for (const Menu title : {Menu::File, Menu::Edit, Menu::Help}) {
        QMenu* menu = menuBar()->addMenu(logic_.Item(title).caption);
        menu->setObjectName(MenuName(title));
        for (const MenuEntry& entry : MenuLayout(title)) {
            if (entry.separator) {
                menu->addSeparator();
                continue;
            }
            const Menu item = entry.item;
            const MenuItemState& state = logic_.Item(item);
            QAction*& action = menuActions_[static_cast<std::size_t>(item)];
            if (item == Menu::FileRecent) {
                recentMenu_ = menu->addMenu(state.caption);
                recentMenu_->setObjectName(MenuName(item));
                action = recentMenu_->menuAction();
                continue;
            }
            action = menu->addAction(state.caption);
            action->setObjectName(MenuName(item));
            if (!state.shortcut.isEmpty())
                action->setShortcut(
                    QKeySequence::fromString(state.shortcut, QKeySequence::PortableText));
            if (const Handler call = MenuHandler(item))
                connect(action, &QAction::triggered, this, [this, call] { Forward(call); });
            // The table's own commands act on what it shows, not on the book.
            if (item == Menu::EditCopy)
                connect(action, &QAction::triggered, this, [this] { msFlexGrid1_->copy(); });
            if (item == Menu::EditSelectAll)
                connect(action, &QAction::triggered, this, [this] { msFlexGrid1_->selectAll(); });
        }
    }
}

void frmMain::BuildToolbar() {
    toolBar_ = addToolBar(QStringLiteral("tbToolBar"));
    toolBar_->setObjectName(QStringLiteral("tbToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar_->setIconSize(QSize(24, 24));
    for (const ToolbarButtonState& button : logic_.toolbar) {
        QAction* action = toolBar_->addAction(ToolbarIcon(button.image), button.caption);
        action->setToolTip(button.toolTip);
        action->setData(button.key);
        const QString key = button.key;
        connect(action, &QAction::triggered, this,
                [this, key] { Handle([this, key] { logic_.tbToolBar_ButtonClick(key); }); });
        toolbarActions_.push_back(action);
        toolbarImages_.push_back(button.image);
    }
    toolBar_->setAccessibleName(u"ツールバー"_s);
}

void frmMain::BuildPanes() {
    panes_ = new QWidget(this);
    panes_->setObjectName(QStringLiteral("panes"));
    setCentralWidget(panes_);
    // The tree pane and the table pane side by side; dragging the bar between them widens or
    // narrows the tree, never below its caption's width, and the table takes the rest.
    splitter_ = new QSplitter(Qt::Horizontal, panes_);
    splitter_->setObjectName(QStringLiteral("PaneSplitter"));
    splitter_->setChildrenCollapsible(false);

    frame2_ = new QGroupBox(logic_.frame2Caption, splitter_);
    frame2_->setObjectName(QStringLiteral("Frame2"));
    frame2_->setMinimumWidth(frame2_->fontMetrics().horizontalAdvance(logic_.frame2Caption) + 24);
    treeView1_ = new NodeTree(frame2_);
    treeView1_->setObjectName(QStringLiteral("TreeView1"));

    frame1_ = new QGroupBox(splitter_);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setMinimumWidth(kNarrowestTablePane);
    msFlexGrid1_ = new GridView(frame1_);
    msFlexGrid1_->setObjectName(QStringLiteral("MSFlexGrid1"));
    treeView1_->setAccessibleName(AccessibleCaption(logic_.frame2Caption));
    msFlexGrid1_->setAccessibleName(u"画面の表"_s);

    splitter_->addWidget(frame2_);
    splitter_->addWidget(frame1_);
    splitter_->handle(1)->setAccessibleName(u"ツリーの幅"_s);
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { treeWidth_ = frame2_->width(); });
    // The tree and the table fill their panes, with the margins the window's design gives them.
    frame1_->installEventFilter(this);
    frame2_->installEventFilter(this);
    const int stored = logic_.platform.ReadSetting(kTreeWidthKey, 0).toInt();
    if (stored > 0)
        treeWidth_ = TwipsToPixels(stored);

    connect(treeView1_, &NodeTree::nodeClicked, this,
            [this](int index) { Handle([this, index] { logic_.TreeView1_NodeClick(index); }); });
    // The table is read with the keys and copied from; the grid's current cell follows the
    // view's.
    msFlexGrid1_->setNavigable(true);
    connect(msFlexGrid1_, &GridView::currentCellChanged, this,
            [this](int row, int col) { logic_.grid.SetCurrentCell(row, col); });
}

void frmMain::SetHooks() {
    logic_.changed = [this] { refresh(); };
    logic_.openEditor = [this](EditorKind kind) { launcher_.Open(kind); };
    logic_.closeWindow = [this] { close(); };
    logic_.openSummary = [this](std::unique_ptr<GradeSummaryLogic> summary) {
        (new SummaryWindow(std::move(summary), this))->show();
    };
    logic_.closeOtherWindows = [this] { return launcher_.CloseAll(); };
    logic_.applyPlacement = [this] { ApplyPlacement(); };
    connect(&launcher_, &EditorLauncher::opened, this, [this] { editorClosedPending_ = false; });
    connect(&launcher_, &EditorLauncher::allClosed, this, &frmMain::EditorsClosed);
}

void frmMain::KeepWorkSafe() {
    // The recovery copy of an unsaved book, at the latest every 30 seconds.
    auto* recoveryTimer = new QTimer(this);
    recoveryTimer->setObjectName(QStringLiteral("recoveryTimer"));
    recoveryTimer->setInterval(30 * 1000);
    connect(recoveryTimer, &QTimer::timeout, this, [this] {
        const QString before = logic_.statusText;
        const int shown = refreshes_;
        logic_.RecoveryTick();
        if (logic_.statusText != before && refreshes_ == shown)
            refresh();
    });
    recoveryTimer->start();
#ifndef QT_NO_SESSIONMANAGER
    // The desktop logs out: the same save question, whose キャンセル stops the log-out. When the
    // desktop allows no question, the recovery copy keeps the work for the next start.
    connect(static_cast<QGuiApplication*>(QCoreApplication::instance()),
            &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
                logic_.RecoveryTick();
                if (!logic_.session.NeedsSave || !manager.allowsInteraction())
                    return;
                Handle([this, &manager] {
                    const bool goOn = logic_.SavePrompt();
                    manager.release();
                    if (!goOn)
                        manager.cancel();
                });
            });
#endif
}

void frmMain::Forward(Handler handler) {
    Handle([this, handler] { std::invoke(handler, logic_); });
}

QAction* frmMain::menuAction(Menu item) const {
    return menuActions_[static_cast<std::size_t>(item)];
}

QAction* frmMain::toolbarAction(const QString& key) const {
    for (QAction* action : toolbarActions_)
        if (action->data().toString() == key)
            return action;
    return nullptr;
}

void frmMain::refresh() {
    ++refreshes_;
    for (std::size_t i = 0; i < kMenuCount; ++i) {
        QAction* action = menuActions_[i];
        if (!action)
            continue;
        const MenuItemState& state = logic_.menus[i];
        if (action->text() != state.caption)
            action->setText(state.caption);
        action->setEnabled(state.enabled);
    }
    for (size_t i = 0; i < toolbarActions_.size() && i < logic_.toolbar.size(); ++i) {
        const ToolbarButtonState& state = logic_.toolbar[i];
        QAction* action = toolbarActions_[i];
        if (action->text() != state.caption)
            action->setText(state.caption);
        if (action->toolTip() != state.toolTip)
            action->setToolTip(state.toolTip);
        if (toolbarImages_[i] != state.image) {
            action->setIcon(ToolbarIcon(state.image));
            toolbarImages_[i] = state.image;
        }
        action->setEnabled(state.enabled);
    }
    if (statusPanel_->text() != logic_.statusText)
        statusPanel_->setText(logic_.statusText);
    if (frame1_->title() != logic_.frame1Caption)
        frame1_->setTitle(logic_.frame1Caption);
    treeView1_->setNodes(logic_.nodes);
    treeView1_->selectNode(logic_.session.SelectedNodeIndex);
    msFlexGrid1_->refresh();
    if (shownTableKey_ != logic_.session.SelectedNodeKey) {
        // Another table: it is shown from its top-left corner, the names in view.
        shownTableKey_ = logic_.session.SelectedNodeKey;
        msFlexGrid1_->scrollToTopLeft();
        msFlexGrid1_->clearSelection();
    }
    LayoutPanes();
    RefreshDesktopState();
    if (isEnabled() != logic_.windowEnabled)
        setEnabled(logic_.windowEnabled);
}

void frmMain::RefreshDesktopState() {
    // The title: "4年2組.txt[*] - Kirune Ver1.2.2", the mark while the book is unsaved.
    const QString file = logic_.TitleFileName();
    const QString title = file.isEmpty() ? logic_.windowCaption
                                         : file + QStringLiteral("[*] - ") + logic_.windowCaption;
    const QString path = logic_.HasOwnFile() ? logic_.session.FileName : QString();
    if (windowFilePath() != path)
        setWindowFilePath(path);
    if (windowTitle() != title)
        setWindowTitle(title);
    setWindowModified(!file.isEmpty() && logic_.session.NeedsSave);

    for (size_t i = 0; i < toolbarActions_.size(); ++i)
        if (QWidget* button = toolBar_->widgetForAction(toolbarActions_[i]))
            button->setAccessibleName(AccessibleCaption(toolbarActions_[i]->text()));
    msFlexGrid1_->setAccessibleDescription(logic_.frame1Caption);

    const QStringList recent = logic_.RecentMenuCaptions();
    if (recentMenu_ && recent != recentShown_) {
        recentMenu_->clear();
        for (int i = 0; i < recent.size(); ++i) {
            QAction* entry = recentMenu_->addAction(recent[i]);
            entry->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i + 1));
            connect(entry, &QAction::triggered, this,
                    [this, i] { Handle([this, i] { logic_.mnuFileRecent_Click(i); }); });
        }
        recentShown_ = recent;
    }
    if (recentMenu_)
        recentMenu_->menuAction()->setEnabled(logic_.Item(Menu::FileRecent).enabled &&
                                              !recent.isEmpty());

    if (confirmationsShown_ != logic_.statusMessageCount) {
        confirmationsShown_ = logic_.statusMessageCount;
        statusBar()->showMessage(logic_.statusMessage, 8000);
    }
}

void frmMain::LayoutPanes() {
    const int shift = TwipsToPixels(kToolbarDesignHeight);
    const auto pixels = [](const TwipsRect& r) {
        return TwipsRectToPixels(r.left, r.top, r.width, r.height);
    };
    const QRect tree = pixels(logic_.frame2);
    const QRect table = pixels(logic_.frame1);
    QRect both = tree.united(table).translated(0, -shift);
    both.moveTop(std::max(both.top(), 0));
    splitter_->setGeometry(FitInto(both, panes_->rect(), 0, 2));
    splitter_->setHandleWidth(std::max(table.left() - tree.right() - 1, 1));
    // The tree pane is as wide as the teacher dragged it, or as the window's design says.
    const int treeWidth = treeWidth_ > 0 ? treeWidth_ : tree.width();
    const int room = splitter_->width() - splitter_->handleWidth();
    splitter_->setSizes({treeWidth, std::max(room - treeWidth, 0)});
    PlacePaneContents();
}

void frmMain::PlacePaneContents() {
    // A pane's content keeps its margins to the pane's edges, however wide the pane is.
    auto placeInside = [](QWidget* child, const QGroupBox* frame, const TwipsRect& outer,
                          const TwipsRect& r) {
        QRect rect = TwipsRectToPixels(r.left, r.top, r.width, r.height);
        const int right = TwipsToPixels(std::max(outer.width - r.left - r.width, 0.0));
        const int bottom = TwipsToPixels(std::max(outer.height - r.top - r.height, 0.0));
        rect.setRight(std::max(rect.right(), frame->width() - 1 - right));
        child->setGeometry(FitInto(rect, frame->rect(), right, bottom));
    };
    placeInside(treeView1_, frame2_, logic_.frame2, logic_.treeView1);
    placeInside(msFlexGrid1_, frame1_, logic_.frame1, logic_.msFlexGrid1);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && (watched == frame1_ || watched == frame2_))
        PlacePaneContents();
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::showAsPlaced() {
    // The maximized state was set with the placement; show() keeps it.
    show();
}

QString frmMain::DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            return url.toLocalFile();
    return QString();
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (logic_.windowEnabled && !DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty() || !logic_.windowEnabled)
        return;
    event->acceptProposedAction();
    // After the drop has finished: the save question must not hold up the program it came from.
    QTimer::singleShot(0, this,
                       [this, path] { Handle([this, path] { logic_.OpenDocument(path); }); });
}

void frmMain::ApplyPlacement() {
    const TwipsRect& p = logic_.placement;
    // A placement stored on a larger screen (or at another scale) is brought inside this one.
    const QRect outer =
        FitPlacement(TwipsRectToPixels(p.left, p.top, p.width, p.height), AvailableScreenAreas());
    // The placement is the outer frame; the window's own size leaves the frame out.
    const QMargins margins = FrameMargins();
    placedWithMargins_ = margins; // before moving: the move and resize events look at it
    if (isVisible() && (isMinimized() || isMaximized()))
        showNormal();
    resize(std::max(outer.width() - margins.left() - margins.right(), 1),
           std::max(outer.height() - margins.top() - margins.bottom(), 1));
    move(outer.topLeft());
    if (logic_.placementMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FitPlacementToFrame();
    const QRect outer = frameGeometry();
    logic_.Form_Resize(Twips(outer.width()), Twips(outer.height()));
    LayoutPanes();
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        // The window manager puts its frame around the window a little after it is shown; until
        // then the outer size is unknown. For a short while the placement is applied again
        // whenever the frame turns out different, so that the stored outer size is the size the
        // window gets (and does not grow by the frame at every start).
        frameSettling_ = true;
        QTimer::singleShot(1500, this, [this] { frameSettling_ = false; });
        QTimer::singleShot(0, this, [this] {
            FitPlacementToFrame();
            RunPendingActivation();
        });
    }
}

QMargins frmMain::FrameMargins() const {
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

void frmMain::FitPlacementToFrame() {
    if (frameSettling_ && windowState() == Qt::WindowNoState &&
        FrameMargins() != placedWithMargins_)
        ApplyPlacement();
}

void frmMain::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    FitPlacementToFrame();
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        RunPendingActivation();
}

void frmMain::EditorsClosed() {
    editorClosedPending_ = true;
    if (isActiveWindow()) {
        RunPendingActivation();
        return;
    }
    // The teacher comes back to the main window; its activation brings it up to date.
    if (isVisible()) {
        raise();
        activateWindow();
    }
}

// The activation routine runs at the first showing and when the window becomes active again
// after the editors have closed; nothing else (a message box coming and going, switching to
// another program and back) runs it, so a message shown during it cannot start it again.
void frmMain::RunPendingActivation() {
    if (activating_ || unloading_ || !isVisible() || launcher_.OpenCount() > 0)
        return;
    if (!firstActivationPending_ && !editorClosedPending_)
        return;
    firstActivationPending_ = false;
    editorClosedPending_ = false;
    activating_ = true;
    ++activations_;
    Handle([this] { logic_.Form_Activate(); });
    activating_ = false;
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        // Already asking (a second close while the save question is open).
        event->ignore();
        return;
    }
    unloading_ = true;
    // A maximized window stores the place it goes back to, and that it was maximized.
    const bool maximized = isMaximized();
    const QRect outer =
        maximized ? normalGeometry().marginsAdded(placedWithMargins_) : frameGeometry();
    if (!isMinimized())
        logic_.placementMaximized = maximized;
    const TwipsRect current{Twips(outer.x()), Twips(outer.y()), Twips(outer.width()),
                            Twips(outer.height())};
    const int shown = refreshes_;
    const bool unload = logic_.Form_Unload(current, isMinimized());
    unloading_ = false;
    if (!unload) {
        event->ignore();
        if (refreshes_ == shown)
            refresh();
        return;
    }
    // The tree pane's width is kept with the placement, once the teacher has dragged it.
    if (treeWidth_ > 0)
        logic_.platform.WriteSetting(kTreeWidthKey, static_cast<int>(Twips(frame2_->width())));
    event->accept();
}

} // namespace kirune
