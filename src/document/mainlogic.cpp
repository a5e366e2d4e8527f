// The main window's frame: menus and toolbar, load, resize, activation, unload and the stored
// placement.
#include "mainlogic.h"

#include "browse/tables.h"
#include "model/numbers.h"
#include "output/version.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

const QString kMainLeft = QStringLiteral("MainLeft");
const QString kMainTop = QStringLiteral("MainTop");
const QString kMainWidth = QStringLiteral("MainWidth");
const QString kMainHeight = QStringLiteral("MainHeight");
const QString kMainMaximized = QStringLiteral("MainMaximized");
const QString kRecentFiles = QStringLiteral("RecentFiles");

constexpr double kDefaultLeft = 1000;
constexpr double kDefaultTop = 1000;
constexpr double kDefaultWidth = 13000;
constexpr double kDefaultHeight = 10000;
constexpr double kWidestTree = 6000; // twips

// A stored placement value: the decimal text written at exit. Anything that is not a finite
// number gives the default.
double PlacementValue(const QVariant& value, double fallback) {
    bool ok = false;
    const double number = value.toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(number) ? number : fallback;
}

QString DataSubfolder(Platform& platform, const char* name) {
    const QString data = platform.DataFolder();
    return data.isEmpty() ? QString() : data + u'/' + QLatin1String(name);
}

QString PlacementText(double value) {
    return QString::number(value, 'g', 15);
}

} // namespace

MainLogic::MainLogic(GradeBook& bookRef, Session& sessionRef, Platform& platformRef)
    : book(bookRef), session(sessionRef), platform(platformRef), windowCaption(kTitleWithVersion),
      frame2Caption(u"ﾂﾘｰﾋﾞｭｰ（学級・科目・学期・試験）"_s),
      recovery(DataSubfolder(platformRef, "recovery")),
      history(DataSubfolder(platformRef, "history")), file_(platformRef) {
    toolbar = {
        {u"新規作成"_s, u"　　新　規　作　成　　"_s, u"新規作成"_s, QStringLiteral("New"), true},
        {u"開く"_s, u"ファイルを　開く　　　"_s, u"開く"_s, QStringLiteral("Open"), true},
        {u"上書き保存"_s, u"　上　書　き　保　存　"_s, u"上書き保存"_s, QStringLiteral("Save"),
         true},
        {u"印刷"_s, u"　画面の表を　印刷　　"_s, u"印刷"_s, QStringLiteral("Print"), true},
        {u"編集"_s, u"データの　編集　　　"_s, u"データの入力と編集"_s, QStringLiteral("Edit"),
         true},
    };

    placement = {kDefaultLeft, kDefaultTop, kDefaultWidth, kDefaultHeight};
    frame2 = {0, 480, 3375, 7455};
    treeView1 = {120, 240, 3135, 7095};
    frame1 = {3480, 480, 8415, 7455};
    msFlexGrid1 = {120, 240, 8175, 7095};
    statusText = u"ｽﾃｰﾀｽ"_s;
    undoStack.setUndoLimit(kUndoSteps);
    QObject::connect(&undoStack, &QUndoStack::cleanChanged, &undoStack,
                     [this] { FollowCleanState(); });
}

ToolbarButtonState* MainLogic::Button(const QString& key) {
    for (auto& button : toolbar)
        if (button.key == key)
            return &button;
    return nullptr;
}

void MainLogic::EnableMenus(std::initializer_list<Menu> items, bool enabled) {
    for (const Menu item : items)
        ItemRef(item).enabled = enabled;
}

void MainLogic::EnableButton(const QString& key, bool enabled) {
    if (auto* button = Button(key))
        button->enabled = enabled;
}

void MainLogic::EnableByEnrolment() {
    const bool enrolled = CountEnrolled(book) != 0;
    EnableMenus({Menu::EditNameBook}, !enrolled);
    // The pupils' records print whenever the table on screen can: a class with pupils.
    EnableMenus({Menu::FilePrint, Menu::FilePupilRecords}, enrolled);
    EnableButton(u"印刷"_s, enrolled);
}

TwipsRect MainLogic::StoredPlacement() {
    return {PlacementValue(platform.ReadSetting(kMainLeft, QVariant()), kDefaultLeft),
            PlacementValue(platform.ReadSetting(kMainTop, QVariant()), kDefaultTop),
            PlacementValue(platform.ReadSetting(kMainWidth, QVariant()), kDefaultWidth),
            PlacementValue(platform.ReadSetting(kMainHeight, QVariant()), kDefaultHeight)};
}

void MainLogic::Form_Load() {
    grid.SetRows(43);
    grid.SetCols(15);

    // The window is placed once, when the program starts: Close runs this routine again, and
    // the window must keep its size and its maximized state then.
    if (!placed_) {
        placed_ = true;
        placement = StoredPlacement();
        placementMaximized = platform.ReadSetting(kMainMaximized, QVariant()).toString() == u'1';
        if (applyPlacement)
            applyPlacement();
    }
    recentFiles = platform.ReadSetting(kRecentFiles, QVariant()).toStringList();
    if (recentFiles.size() > kMaxRecentFiles)
        recentFiles = recentFiles.mid(0, kMaxRecentFiles);

    nodes.clear();
    nodes.push_back({kRootNodeKey, PlaceholderNodeText(), QString(), -1, -1});

    statusText =
        u"ﾋﾝﾄ：最初から始めるときはﾌｧｲﾙﾒﾆｭｰの[新規作成]を、利用中のﾌｧｲﾙがあるときは[開く]を"
        u"ｸﾘｯｸしてください"_s;

    // The whole book goes to a workbook while a book is open, as Close is offered; the pupils'
    // records print as the table on screen does.
    EnableMenus({Menu::EditProperty, Menu::FileClose, Menu::XlsxBookSaveAs, Menu::FileSave,
                 Menu::FileSaveAs, Menu::FilePrint, Menu::FilePupilRecords, Menu::EditNameBook,
                 Menu::FileHistory},
                false);
    session.NeedsSave = false;

    EnableButton(u"編集"_s, false);
    EnableButton(u"上書き保存"_s, false);
    EnableButton(u"印刷"_s, false);
    Notify();
}

void MainLogic::Form_Resize(double width, double height) {
    if (width > 2000) {
        // A third of the window, so that a dated test's name and its viewpoint show whole in
        // the tree; never wider than kWidestTree.
        frame2.width = std::min(width / 3, kWidestTree);
        frame1.left = frame2.width + 105;
        treeView1.width = frame2.width - 240;
        frame1.width = width - frame1.left - 120;
        msFlexGrid1.width = frame1.width - 240;
    }
    if (height > 2000) {
        frame2.height = height - 1500;
        treeView1.height = frame2.height - 360;
        frame1.height = frame2.height;
        msFlexGrid1.height = frame1.height - 360;
    }
    Notify();
}

void MainLogic::Form_Activate() {
    if (pupilTableShown_) { // the class tables' layout first
        pupilTableShown_ = false;
        grid = Grid(43, 15);
    }
    MSFlexGrid1_init();
    frame1Caption = HomeRoomHeading(book);
    EnableByEnrolment();

    const int index = session.SelectedNodeIndex;
    if (index == 1) {
        if (!nodes.empty() && nodes.front().key == kHomeRoomKey) {
            nodes.front().text = HomeRoomNodeTextSpaced(book);
            nodes.front().image = QStringLiteral("root");
            statusText = u"ﾂﾘｰﾋﾞｭｰの項目を選択して参照します。[データの編集]で編集をします。"
                         u"[画面の表を印刷]で印刷します。"_s;
        }
        ShowHomeRoomTable(book, session, grid, frame1Caption);
        Notify();
        return;
    }

    if (CountEnrolled(book) > 0) {
        const QString& key = session.SelectedNodeKey;
        if (key == kHomeRoomKey) {
            // Set by New and Open before any node was clicked: the homeroom is what is selected.
            ShowHomeRoomTable(book, session, grid, frame1Caption);
        } else if (key == kRootNodeKey || key.isEmpty()) {
            // No grade book node is selected: nothing to show.
        } else {
            switch (KeyLevel(key)) {
            case 0:
                CarrySubjectRename();
                break;
            case 2:
                if (session.CautionAnswer) {
                    if (index >= 1 && index <= static_cast<int>(nodes.size()))
                        nodes[index - 1].image = QStringLiteral("lighton");
                    session.CautionAnswer = false;
                }
                break;
            default:
                break;
            }
            if (KeyLevel(key) == 4)
                ShowPupilTable(Button(u"編集"_s));
            else
                ShowNodeTable(book, session, key, grid, frame1Caption);
        }
    }
    Notify();
}

// The annual criteria editor may have renamed the selected subject: the subject node takes the
// new name, and so does every text of its subtree and the current semester's test names that
// held the old one.
void MainLogic::CarrySubjectRename() {
    const int index = session.SelectedNodeIndex;
    if (index < 1 || index > static_cast<int>(nodes.size()))
        return;
    TreeNode& subjectNode = nodes[index - 1];
    // A node list rebuilt since the click no longer has the subject at this place.
    if (subjectNode.key != session.SelectedNodeKey || subjectNode.level != 0)
        return;
    const int subject = session.CurrentSubject;
    if (subject < 0 || subject >= kSubjects)
        return;
    const QString newName = book.SubjectTitles[subject][0];
    if (subjectNode.text == newName)
        return;
    const QString oldName = subjectNode.text;
    subjectNode.text = newName;

    // The subject's semesters, tests and viewpoints: 3 x (1 + 10 x (1 + 3)) nodes.
    constexpr int kSubtreeNodes = 123;
    const int last = std::min(index - 1 + kSubtreeNodes, static_cast<int>(nodes.size()) - 1);
    if (oldName.isEmpty())
        return; // replacing an empty text changes nothing
    for (int i = index; i <= last; ++i) {
        QString text = nodes[i].text;
        text.replace(oldName, newName);
        if (!text.isEmpty())
            nodes[i].text = text;
    }

    const int semester = session.CurrentSemester;
    if (semester < 0 || semester >= kSemesters)
        return;
    bool changedNames = false;
    const int first = 264 * semester + 44 * subject;
    for (int k = 0; k < 44; ++k) {
        QString& name = book.TestInfo[first + k][1];
        const QString renamed = QString(name).replace(oldName, newName);
        if (renamed != name) {
            name = renamed;
            changedNames = true;
        }
    }
    if (changedNames) {
        session.MarkChanged();
        // Part of the subject's registration just before: one step with it.
        PushStep(oldName + u"から"_s + newName + u"への名称変更"_s, true);
    }
}

bool MainLogic::Form_Unload(const TwipsRect& current, bool minimized) {
    // Editors first: what they hold is not in the book yet, and each may ask to keep it.
    if (closeOtherWindows && !closeOtherWindows())
        return false;
    if (!SavePrompt())
        return false;
    DropRecoveryCopy();
    if (!minimized) {
        placement = current;
        platform.WriteSetting(kMainLeft, PlacementText(current.left));
        platform.WriteSetting(kMainTop, PlacementText(current.top));
        platform.WriteSetting(kMainWidth, PlacementText(current.width));
        platform.WriteSetting(kMainHeight, PlacementText(current.height));
        platform.WriteSetting(kMainMaximized,
                              placementMaximized ? QStringLiteral("1") : QStringLiteral("0"));
    }
    return true;
}

void MainLogic::EnableMainWindow() {
    windowEnabled = true;
    UpdateUndoMenus();
    Notify();
}

void MainLogic::mnuHelpContents_Click() {
    platform.ShowHelp();
}

} // namespace kirune
