// The tree and its selection: rebuilding the nodes, what a click on a node shows, and the edit
// command that opens the editor of the selected node.
#include "mainlogic.h"

#include "browse/tables.h"

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// What a node of levels 0 to 3 (subject, semester, test, viewpoint) puts in the edit command,
// the toolbar's edit button and the status bar.
struct LevelCaptions {
    const char16_t* menu; // nullptr: no editor, the command is disabled
    const char16_t* button;
    const char16_t* hint;
};
constexpr LevelCaptions kLevelCaptions[] = {
    {u"通年の評定基準の編集(&E)", u"通年の評定基準の編集 ",
     u"ﾋﾝﾄ：通年の科目データです。[通年の評定基準の編集]で観点の名称と通年の評価基準の編集をし"
     u"ます。[画面の表を印刷]で印刷します。"},
    {u"学期毎の評定基準の編集(&E)", u"学期毎の評定基準の編集",
     u"ﾋﾝﾄ：学期の科目データです。[学期毎の評定基準の編集]で学期毎年の評価基準の編集をします。"
     u"[画面の表を印刷]で印刷します。"},
    {u"試験結果の編集(&E)", u"試 験 結 果 の 編 集",
     u"ﾋﾝﾄ：試験のデータです。[試験結果の編集]で試験の名称・日付・観点の配点・生徒の得点を編集"
     u"します。[画面の表を印刷]で印刷します。"},
    {nullptr, u"デ ー タ の 編 集",
     u"ﾋﾝﾄ：観点毎の試験のデータです。[画面の表を印刷]で印刷します。"},
};

QString HomeRoomEditCaption() {
    return u"学級の編集(&E)"_s;
}

QString CommentEditCaption() {
    return u"所見の編集(&E)"_s;
}

} // namespace

void MainLogic::MSFlexGrid1_init() {
    InitMainGrid(book, grid);
    Notify();
}

void MainLogic::TreeView1_refresh() {
    nodes = BuildTreeNodes(book);
    MSFlexGrid1_init();
}

void MainLogic::TreeView1_NodeClick(int nodeIndex) {
    // A disabled window takes no clicks (an editor is open).
    if (!windowEnabled || nodeIndex < 1 || nodeIndex > static_cast<int>(nodes.size()))
        return;
    const TreeNode& node = nodes[nodeIndex - 1];
    session.SelectedNodeKey = node.key;
    session.SelectedNodeIndex = static_cast<int16_t>(nodeIndex);
    if (node.key == kRootNodeKey) {
        // The edit command is enabled by the click but does nothing on the placeholder.
        EnableMenus({Menu::EditProperty}, true);
        EnableButton(u"編集"_s, true);
        Notify();
        if (node.text == PlaceholderNodeText())
            platform.ShowMessage(
                u"最初から始めるときはﾌｧｲﾙﾒﾆｭｰの[新規作成]を、利用中のﾌｧｲﾙがあるとき"
                u"は[開く]をｸﾘｯｸしてください。"_s);
        return;
    }
    ShowSelectedNode();
    Notify();
}

void MainLogic::ShowBookAfresh() {
    pupilTableShown_ = false;
    grid = Grid(43, 15);
    InitMainGrid(book, grid);
    frame1Caption = HomeRoomHeading(book);
    session.CautionAnswer = false;
    const bool classNode = BookOpen() && !nodes.empty() && nodes.front().key == kHomeRoomKey;
    session.SelectedNodeIndex = classNode ? 1 : 0;
    session.SelectedNodeKey = classNode ? kHomeRoomKey : QString();
    ShowSelectedNode();
}

void MainLogic::ShowSelectedNode() {
    const QString key = session.SelectedNodeKey;
    ToolbarButtonState* edit = Button(u"編集"_s);
    // The table on screen goes to a file while there is one: with a book open.
    EnableMenus({Menu::CSVSaveAs, Menu::XlsxSaveAs}, BookOpen());
    if (!BookOpen() || key.isEmpty()) {
        // Nothing selected: the edit command and its button as the program starts.
        MenuItemState& property = ItemRef(Menu::EditProperty);
        property.caption = StartMenus()[static_cast<std::size_t>(Menu::EditProperty)].caption;
        property.enabled = false;
        if (edit) {
            edit->caption = EditButtonStartCaption();
            edit->enabled = false;
        }
        return;
    }

    EnableMenus({Menu::EditProperty}, true);
    if (edit)
        edit->enabled = true;
    if (key == kHomeRoomKey) {
        ItemRef(Menu::EditProperty).caption = HomeRoomEditCaption();
        if (edit)
            edit->caption = u" 学 級 の 編 集 "_s;
        ShowHomeRoomTable(book, session, grid, frame1Caption);
        statusText =
            u"ﾋﾝﾄ：学級のデータです。[学級の編集]で編集をします。[画面の表を印刷]で印刷します。"_s;
        return;
    }

    // Leaving a pupil's record or the ratings overview: the grid goes back to the layout the
    // class tables are built on (its numbers and names, 15 columns).
    if (pupilTableShown_) {
        pupilTableShown_ = false;
        grid = Grid(43, 15);
        InitMainGrid(book, grid);
    }
    const int level = KeyLevel(key);
    if (level == 4) {
        ShowPupilTable(edit);
        return;
    }
    if (level < 0 || level > 3)
        return;
    if (CountEnrolled(book) == 0) {
        Notify();
        platform.ShowMessage(
            u"学級の編集（生徒の登録）がまだです。[編集]－[学級の編集(E)]をしてください"_s);
        return;
    }

    SelectNode(session, key);
    ShowNodeTable(book, session, key, grid, frame1Caption);
    const LevelCaptions& captions = kLevelCaptions[level];
    // A viewpoint has no editor of its own: the command keeps its caption and is disabled.
    if (captions.menu)
        ItemRef(Menu::EditProperty).caption = QString::fromUtf16(captions.menu);
    else
        EnableMenus({Menu::EditProperty}, false);
    if (edit) {
        edit->caption = QString::fromUtf16(captions.button);
        edit->enabled = captions.menu != nullptr;
    }
    statusText = QString::fromUtf16(captions.hint);
}

void MainLogic::ShowPupilTable(ToolbarButtonState* edit) {
    // A pupil's comments, or the homeroom editor from the ratings overview.
    const bool pupil = PupilNumberOfKey(session.SelectedNodeKey) > 0;
    ItemRef(Menu::EditProperty).caption = pupil ? CommentEditCaption() : HomeRoomEditCaption();
    if (edit)
        edit->caption = pupil ? u" 所 見 の 編 集 "_s : u" 学 級 の 編 集 "_s;
    if (CountEnrolled(book) == 0) {
        grid.ClearAllText();
        statusText = u"ﾋﾝﾄ：学級の編集（生徒の登録）がまだです。"_s;
        return;
    }
    pupilTableShown_ = true;
    ShowNodeTable(book, session, session.SelectedNodeKey, grid, frame1Caption, &recordTables_);
    if (PupilNumberOfKey(session.SelectedNodeKey) > 0) {
        statusText = u"ﾋﾝﾄ：この生徒の個人票です。[所見の編集]で所見を書きます。[画面の表を印刷]で"
                     u"印刷、[ﾌｧｲﾙ]－[個人票を全員分印刷]で全員分を印刷します。"_s;
    } else {
        statusText = u"ﾋﾝﾄ：学級全員の学年の評定の一覧です。[画面の表を印刷]で印刷します。"
                     u"生徒を選ぶと個人票を表示します。"_s;
    }
}

bool MainLogic::SelectNodeByKey(const QString& key) {
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].key == key) {
            TreeView1_NodeClick(static_cast<int>(i) + 1);
            return true;
        }
    return false;
}

void MainLogic::mnuEditProperty_Click() {
    // A disabled command (no grade book, a viewpoint node) and a disabled window do nothing.
    if (!windowEnabled || !Item(Menu::EditProperty).enabled)
        return;
    const QString key = session.SelectedNodeKey;
    if (key == kRootNodeKey)
        return;

    // The editor shows itself modeless; the main window takes no input until it closes.
    auto open = [this](EditorKind kind) {
        if (!openEditor)
            return;
        windowEnabled = false;
        UpdateUndoMenus();
        Notify();
        openEditor(kind);
    };

    if (Item(Menu::EditProperty).caption == CommentEditCaption()) {
        session.CurrentStudentNo = static_cast<int16_t>(PupilNumberOfKey(key));
        open(EditorKind::Comment);
        Notify();
        return;
    }
    if (key == kHomeRoomKey || Item(Menu::EditProperty).caption == HomeRoomEditCaption()) {
        // At the selected pupil's number, or the first.
        const int pupil = PupilNumberOfKey(key);
        session.CurrentStudentNo = static_cast<int16_t>(pupil > 0 ? pupil : 1);
        // The class node is what the editor edits and what the window shows after it.
        session.SelectedNodeIndex = 1;
        session.SelectedNodeKey = kHomeRoomKey;
        open(EditorKind::HomeRoom);
        frame1Caption = HomeRoomHeading(book);
        if (!nodes.empty() && nodes.front().key == kHomeRoomKey) {
            nodes.front().text = HomeRoomNodeText(book);
            nodes.front().image = QStringLiteral("root");
        }
        Notify();
        return;
    }

    switch (KeyLevel(key)) {
    case 0:
        session.CurrentSubject = static_cast<int16_t>(KeyIndex(key, 3));
        session.CautionAnswer = true;
        open(EditorKind::Subject);
        break;
    case 1:
        session.CurrentSubject = static_cast<int16_t>(KeyIndex(key, 3));
        session.CurrentSemester = static_cast<int16_t>(KeyIndex(key, 5));
        open(EditorKind::Semester);
        break;
    case 2:
        session.CurrentSubject = static_cast<int16_t>(KeyIndex(key, 3));
        session.CurrentSemester = static_cast<int16_t>(KeyIndex(key, 5));
        session.CurrentTest = static_cast<int16_t>(KeyIndex(key, 7));
        open(EditorKind::Test);
        break;
    case 3:
        session.CurrentSubject = static_cast<int16_t>(KeyIndex(key, 3));
        session.CurrentSemester = static_cast<int16_t>(KeyIndex(key, 5));
        session.CurrentTest = static_cast<int16_t>(KeyIndex(key, 7));
        session.CurrentViewpoint = static_cast<int16_t>(KeyIndex(key, 9));
        break;
    default:
        break;
    }
    Notify();
}

} // namespace kirune
