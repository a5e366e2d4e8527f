#include "nodetree.h"

#include "icons.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace kirune {

namespace {
constexpr int kIndexRole = Qt::UserRole + 1;

bool SameStructure(const std::vector<TreeNode>& a, const std::vector<TreeNode>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].parent != b[i].parent || a[i].key != b[i].key)
            return false;
    }
    return true;
}
} // namespace

NodeTree::NodeTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { emitFor(item); });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        const int index = item->data(0, kIndexRole).toInt() - 1;
        if (index >= 0 && index < static_cast<int>(items_.size()))
            makeChildren(index);
    });
}

void NodeTree::setNodes(const std::vector<TreeNode>& nodes) {
    if (!SameStructure(nodes, shown_)) {
        rebuild(nodes);
        return;
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        TreeNode& shown = shown_[i];
        // A node not made yet takes its text and picture when it is made.
        if (shown.text != nodes[i].text) {
            if (items_[i]) {
                items_[i]->setText(0, nodes[i].text);
                items_[i]->setToolTip(0, nodes[i].text);
            }
            shown.text = nodes[i].text;
        }
        if (shown.image != nodes[i].image) {
            if (items_[i])
                items_[i]->setIcon(0, TreeIcon(nodes[i].image));
            shown.image = nodes[i].image;
        }
    }
}

void NodeTree::rebuild(const std::vector<TreeNode>& nodes) {
    ++rebuilds_;
    setUpdatesEnabled(false);
    clear();
    shown_ = nodes;
    const size_t count = nodes.size();
    items_.assign(count, nullptr);
    children_.assign(count, {});
    childrenMade_.assign(count, false);
    std::vector<int> roots;
    for (size_t i = 0; i < count; ++i) {
        const int parent = nodes[i].parent;
        if (parent >= 0 && parent < static_cast<int>(i))
            children_[parent].push_back(static_cast<int>(i));
        else
            roots.push_back(static_cast<int>(i));
    }
    // The top nodes and their children are made detached and handed over at once: far quicker
    // than inserting them one by one into a live tree.
    QList<QTreeWidgetItem*> top;
    for (const int root : roots) {
        items_[root] = makeItem(root);
        makeChildren(root);
        top.append(items_[root]);
    }
    addTopLevelItems(top);
    setCurrentItem(nullptr);
    clearSelection();
    setUpdatesEnabled(true);
}

void NodeTree::selectNode(int index) {
    QTreeWidgetItem* wanted = index > 0 ? item(index - 1) : nullptr;
    if (wanted == currentItem() && (!wanted || wanted->isSelected()))
        return;
    if (!wanted) {
        setCurrentItem(nullptr);
        clearSelection();
        return;
    }
    setCurrentItem(wanted); // also selects it
    scrollToItem(wanted);
}

QTreeWidgetItem* NodeTree::makeItem(int index) const {
    const TreeNode& node = shown_[index];
    auto* item = new QTreeWidgetItem;
    item->setText(0, node.text);
    item->setToolTip(0, node.text); // the whole text, however narrow the pane
    if (!node.image.isEmpty())
        item->setIcon(0, TreeIcon(node.image));
    item->setData(0, kIndexRole, index + 1);
    // A node whose children are not made yet still shows that it can be opened.
    if (!children_[index].empty())
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void NodeTree::makeChildren(int index) {
    if (childrenMade_[index])
        return;
    childrenMade_[index] = true;
    QList<QTreeWidgetItem*> made;
    made.reserve(static_cast<qsizetype>(children_[index].size()));
    for (const int child : children_[index]) {
        items_[child] = makeItem(child);
        made.append(items_[child]);
    }
    items_[index]->addChildren(made);
}

QTreeWidgetItem* NodeTree::item(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size()))
        return nullptr;
    if (!items_[index]) {
        // Not a top node (those are always made): made with its parent's other children.
        const int parent = shown_[index].parent;
        item(parent);
        makeChildren(parent);
    }
    return items_[index];
}

void NodeTree::emitFor(QTreeWidgetItem* item) {
    if (!item)
        return;
    const int index = item->data(0, kIndexRole).toInt();
    if (index > 0)
        emit nodeClicked(index);
}

void NodeTree::keyPressEvent(QKeyEvent* event) {
    // Moving through the tree with the keys selects the node reached, as a click does.
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem* after = currentItem();
    if (after && after != before) {
        setCurrentItem(after); // also selects it
        emitFor(after);
    }
}

} // namespace kirune
