// Edit > 元に戻す and やり直し: every change of the book is one step on Qt's undo stack, holding
// the whole book before and after it.
#include "mainlogic.h"

#include "browse/tables.h"

#include <QUndoCommand>

namespace kirune {

namespace {

class BookStep : public QUndoCommand {
public:
    BookStep(MainLogic& logic, std::shared_ptr<const GradeBook> before,
             std::shared_ptr<const GradeBook> after, const QString& text, bool followUp)
        : QUndoCommand(text), logic_(logic), before_(std::move(before)), after_(std::move(after)),
          followUp_(followUp) {}

    void undo() override { logic_.RestoreSnapshot(before_); }
    void redo() override {
        // The stack runs redo when the step is pushed: the book already is `after` then.
        if (pushed_)
            logic_.RestoreSnapshot(after_);
        pushed_ = true;
    }
    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const BookStep*>(other);
        if (!next->followUp_)
            return false;
        after_ = next->after_;
        return true;
    }

private:
    MainLogic& logic_;
    std::shared_ptr<const GradeBook> before_, after_;
    bool followUp_ = false;
    bool pushed_ = false;
};

} // namespace

void MainLogic::RecordStep(const QString& description) {
    PushStep(description, false);
}

void MainLogic::PushStep(const QString& description, bool followUp) {
    auto after = std::make_shared<const GradeBook>(book);
    auto before = baseline_ ? baseline_ : after;
    // Names changed (the homeroom's registration, a transfer out, a roster import): the pupils'
    // branch of the tree follows; every other node keeps its place and its text.
    if (before->StudentNames != after->StudentNames || before->RosterSize != after->RosterSize)
        RefreshPupilNodes();
    baseline_ = after;
    undoStack.push(new BookStep(*this, std::move(before), std::move(after), description, followUp));
    FollowCleanState();
    UpdateUndoMenus();
    WriteRecoveryCopy();
}

void MainLogic::RefreshPupilNodes() {
    if (nodes.empty() || nodes.front().key != kHomeRoomKey)
        return; // no book's tree to update
    std::vector<TreeNode> rebuilt = BuildTreeNodes(book);
    rebuilt.front() = nodes.front(); // the homeroom node keeps its text as shown
    nodes = std::move(rebuilt);
    Notify();
}

void MainLogic::FollowCleanState() {
    session.NeedsSave = BookOpen() && (startUnsaved_ || !undoStack.isClean());
}

void MainLogic::ResetUndo() {
    undoStack.clear();
    baseline_ = std::make_shared<const GradeBook>(book);
    UpdateUndoMenus();
}

void MainLogic::UpdateUndoMenus() {
    // The access key comes last, in the Japanese manner: "元に戻す: 学級の登録(&U)".
    const auto caption = [](const char16_t* verb, const QString& step, const char* key) {
        QString text = QString::fromUtf16(verb);
        if (!step.isEmpty())
            text += QStringLiteral(": ") + QString(step).replace(u'&', QStringLiteral("&&"));
        return text + QStringLiteral("(&") + QLatin1String(key) + u')';
    };
    MenuItemState& undo = ItemRef(Menu::EditUndo);
    undo.caption =
        caption(u"元に戻す", undoStack.canUndo() ? undoStack.undoText() : QString(), "U");
    undo.enabled = windowEnabled && undoStack.canUndo();
    MenuItemState& redo = ItemRef(Menu::EditRedo);
    redo.caption =
        caption(u"やり直し", undoStack.canRedo() ? undoStack.redoText() : QString(), "R");
    redo.enabled = windowEnabled && undoStack.canRedo();
}

void MainLogic::mnuEditUndo_Click() {
    if (!Allowed(Menu::EditUndo))
        return;
    undoStack.undo();
    AfterUndoOrRedo();
}

void MainLogic::mnuEditRedo_Click() {
    if (!Allowed(Menu::EditRedo))
        return;
    undoStack.redo();
    AfterUndoOrRedo();
}

void MainLogic::AfterUndoOrRedo() {
    UpdateUndoMenus();
    FollowCleanState();
    // Back at what the file holds, the recovery copy has nothing left to keep.
    if (session.NeedsSave)
        WriteRecoveryCopy();
    else
        DropRecoveryCopy();
    Notify();
}

void MainLogic::RestoreSnapshot(const std::shared_ptr<const GradeBook>& snapshot) {
    book = *snapshot;
    baseline_ = snapshot;
    ShowRestoredBook();
}

void MainLogic::ShowRestoredBook() {
    TreeView1_refresh();
    EnableByEnrolment();
    frame1Caption = HomeRoomHeading(book);
    // The node that was selected shows the restored book; without pupils only the homeroom
    // has something to show.
    int index = 1;
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].key == session.SelectedNodeKey)
            index = static_cast<int>(i) + 1;
    if (CountEnrolled(book) == 0 || session.SelectedNodeKey == kRootNodeKey)
        index = 1;
    TreeView1_NodeClick(index);
}

} // namespace kirune
