#pragma once
// Shows the grade book's tree nodes (key, text, picture, parent) and reports clicks by the node's
// 1-based index. A new node list is built whole; texts and pictures that change on their own are
// updated in place, so the teacher's expanded branches stay as they were.

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

    // The item of node `index` (0-based, in creation order); nullptr when there is none.
    QTreeWidgetItem* item(int index) const;
    int nodeCount() const { return static_cast<int>(items_.size()); }
    int rebuildCount() const { return rebuilds_; }

signals:
    // A node was clicked or chosen with the keyboard: its index in the tree's count (1-based).
    void nodeClicked(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // A node whose text does not fit the pane shows its whole text as a tooltip.
    bool viewportEvent(QEvent* event) override;

private:
    void rebuild(const std::vector<TreeNode>& nodes);
    void emitFor(QTreeWidgetItem* item);

    std::vector<QTreeWidgetItem*> items_;
    std::vector<TreeNode> shown_;
    int rebuilds_ = 0;
};

} // namespace kirune
