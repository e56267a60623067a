#include "windows/keyed_tree.h"

#include <QHeaderView>

namespace vellumo {

namespace {
// More than the tree could ever show; laying out a text of millions of
// characters would cost gigabytes, and a catalogue may hold one.
constexpr qsizetype maxShownText = 1000;

// A node that carries its key itself: no item data to allocate per node.
struct KeyedItem : QTreeWidgetItem {
    KeyedItem(const QString &text, const QString &key)
        : QTreeWidgetItem(QStringList{text.size() > maxShownText ? text.left(maxShownText) + u'\u2026' : text}, UserType)
        , key(key)
    {
    }
    const QString key;
};
} // namespace

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
    auto *item = new KeyedItem(text, key);
    if (parentKey.isEmpty()) {
        attachHeldNodes();
        addTopLevelItem(item);
    } else {
        // Nodes come in runs under one parent: it is looked up once a run.
        if (!lastParent_ || keyOf(lastParent_) != parentKey)
            lastParent_ = node(parentKey);
        QTreeWidgetItem *parent = lastParent_;
        Q_ASSERT(parent);
        if (parent->treeWidget()) { // in the view: hold the new node outside it
            attachHeldNodes();
            held_ = item;
            heldParent_ = parent;
        } else {
            parent->addChild(item);
        }
    }
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
    // The first node, then from the newest back: where parents are found at once.
    if (!nodes_.isEmpty() && keyOf(nodes_.first()) == key)
        return nodes_.first();
    for (auto it = nodes_.crbegin(); it != nodes_.crend(); ++it)
        if (keyOf(*it) == key)
            return *it;
    return nullptr;
}

QString KeyedTree::keyOf(const QTreeWidgetItem *item) const
{
    return item && item->type() == QTreeWidgetItem::UserType ? static_cast<const KeyedItem *>(item)->key : QString();
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
    lastParent_ = nullptr;
    nodes_.clear();
    QTreeWidget::clear();
}

} // namespace vellumo
