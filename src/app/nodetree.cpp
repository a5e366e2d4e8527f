#include "nodetree.h"

#include "icons.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>

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
}

void NodeTree::setNodes(const std::vector<TreeNode>& nodes) {
    if (!SameStructure(nodes, shown_)) {
        rebuild(nodes);
        return;
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        TreeNode& shown = shown_[i];
        if (shown.text != nodes[i].text) {
            items_[i]->setText(0, nodes[i].text);
            shown.text = nodes[i].text;
        }
        if (shown.image != nodes[i].image) {
            items_[i]->setIcon(0, TreeIcon(nodes[i].image));
            shown.image = nodes[i].image;
        }
    }
}

void NodeTree::rebuild(const std::vector<TreeNode>& nodes) {
    ++rebuilds_;
    setUpdatesEnabled(false);
    clear();
    items_.clear();
    items_.reserve(nodes.size());
    // Build the items detached and hand the roots over at once: far quicker than inserting
    // 745 items one by one into a live tree.
    QList<QTreeWidgetItem*> roots;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const TreeNode& node = nodes[i];
        auto* item = new QTreeWidgetItem;
        item->setText(0, node.text);
        if (!node.image.isEmpty())
            item->setIcon(0, TreeIcon(node.image));
        item->setData(0, kIndexRole, static_cast<int>(i) + 1);
        const bool hasParent = node.parent >= 0 && node.parent < static_cast<int>(i);
        if (hasParent)
            items_[node.parent]->addChild(item);
        else
            roots.append(item);
        items_.push_back(item);
    }
    addTopLevelItems(roots);
    shown_ = nodes;
    setCurrentItem(nullptr);
    clearSelection();
    setUpdatesEnabled(true);
}

QTreeWidgetItem* NodeTree::item(int index) const {
    return index >= 0 && index < static_cast<int>(items_.size()) ? items_[index] : nullptr;
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

namespace kirune {

bool NodeTree::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QTreeWidget::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QRect rect = visualRect(index);
    const QString text = index.data(Qt::DisplayRole).toString();
    // Room the text needs: the picture, the item's margins and the text itself.
    const int needed = iconSize().width() + 12 + fontMetrics().horizontalAdvance(text);
    const int visibleRight = std::min(rect.right(), viewport()->width());
    if (index.isValid() && rect.left() + needed > visibleRight)
        QToolTip::showText(help->globalPos(), text, viewport(), rect);
    else
        QToolTip::hideText();
    return true;
}

} // namespace kirune
