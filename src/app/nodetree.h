#pragma once
// Shows the grade book's tree nodes (key, text, picture, parent) and reports clicks by the node's
// 1-based index. A new node list replaces the items; texts and pictures that change on their own
// are updated in place, so the teacher's expanded branches stay as they were. Of a new list only
// the top nodes and their children are made at once: a node's children are made when it is
// opened (or asked for), so a class of 745 nodes shows without making the 700 nobody sees yet.

#include "browse/tree.h"

#include <QTreeWidget>
#include <vector>

namespace kirune {

class NodeTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit NodeTree(QWidget* parent = nullptr);

    // Shows `nodes`: rebuilds when the keys or parents differ from what is shown, else updates
    // the texts and pictures that changed. No node is selected after a rebuild.
    void setNodes(const std::vector<TreeNode>& nodes);

    // Makes node `index` (1-based, as the tree counts; 0 for none) the selected one, its
    // branch opened, without reporting it as a click.
    void selectNode(int index);

    // The item of node `index` (0-based, in creation order), made with its ancestors' children
    // when it was not made yet; nullptr when there is no such node.
    QTreeWidgetItem* item(int index);
    int nodeCount() const { return static_cast<int>(items_.size()); }
    int rebuildCount() const { return rebuilds_; }

signals:
    // A node was clicked or chosen with the keyboard: its index in the tree's count (1-based).
    void nodeClicked(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void rebuild(const std::vector<TreeNode>& nodes);
    void emitFor(QTreeWidgetItem* item);
    QTreeWidgetItem* makeItem(int index) const;
    // Makes the children of node `index` (its item made), once. Opening a node makes its
    // children; opening a whole branch ("*") opens, and so makes, each node in turn.
    void makeChildren(int index);

    std::vector<QTreeWidgetItem*> items_; // per node; nullptr until made
    std::vector<std::vector<int>> children_;
    std::vector<bool> childrenMade_;
    std::vector<TreeNode> shown_;
    int rebuilds_ = 0;
};

} // namespace kirune
