#include "windows/keyed_tree.h"

#include <QHeaderView>

namespace vellumo {

namespace {
constexpr int keyRole = Qt::UserRole + 1;
}

KeyedTree::KeyedTree(QWidget *parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { emit nodeClicked(item); });
}

QTreeWidgetItem *KeyedTree::addNode(const QString &parentKey, const QString &key, const QString &text)
{
    Q_ASSERT(!byKey_.contains(key));
    auto *item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, keyRole, key);
    if (parentKey.isEmpty()) {
        attachHeldNodes();
        addTopLevelItem(item);
    } else {
        QTreeWidgetItem *parent = byKey_.value(parentKey);
        Q_ASSERT(parent);
        if (parent->treeWidget()) { // in the view: hold the new node outside it
            attachHeldNodes();
            held_ = item;
            heldParent_ = parent;
        } else {
            parent->addChild(item);
        }
    }
    byKey_.insert(key, item);
    nodes_.append(item);
    return item;
}

void KeyedTree::attachHeldNodes()
{
    if (held_)
        heldParent_->addChild(std::exchange(held_, nullptr));
}

QTreeWidgetItem *KeyedTree::node(const QString &key) const
{
    return byKey_.value(key);
}

QString KeyedTree::keyOf(const QTreeWidgetItem *item) const
{
    return item ? item->data(0, keyRole).toString() : QString();
}

int KeyedTree::nodeCount() const
{
    return int(nodes_.size());
}

void KeyedTree::keyPressEvent(QKeyEvent *event)
{
    QTreeWidgetItem *const before = currentItem();
    QTreeWidget::keyPressEvent(event); // arrows, Home, End, pages, typing a name
    if (currentItem() && currentItem() != before)
        emit nodeClicked(currentItem());
}

void KeyedTree::removeAllNodes()
{
    delete std::exchange(held_, nullptr);
    byKey_.clear();
    nodes_.clear();
    QTreeWidget::clear();
}

} // namespace vellumo
