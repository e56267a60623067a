#include "windows/keyed_tree.h"

#include <QAbstractItemModel>
#include <QKeyEvent>

namespace vellumo {

namespace {
// More than the tree could ever show; laying out a text of millions of
// characters would cost gigabytes, and a catalogue may hold one.
constexpr qsizetype maxShownText = 1000;
} // namespace

// The nodes in the order in which they were added, each numbered by its place
// in that order; number 0 is the invisible root above the top level. A
// node's first `shown` children are in the view; the others are held.
class KeyedNodeModel final : public QAbstractItemModel {
public:
    explicit KeyedNodeModel(QObject *parent)
        : QAbstractItemModel(parent)
    {
        nodes_.emplace_back();
    }

    void add(const QString &parentKey, const QString &key, const QString &text, bool leaf)
    {
        int parent = 0;
        if (!parentKey.isEmpty()) {
            // Nodes come in runs under one parent: it is looked up once a run.
            if (lastParent_ == 0 || nodes_[lastParent_].key != parentKey)
                lastParent_ = find(parentKey);
            parent = lastParent_;
            Q_ASSERT(parent > 0);
        }
        const int number = int(nodes_.size());
        const bool atTop = parent == 0;
        const bool inView = isShown(parent);
        if (inView)
            attachHeld();
        Node &above = nodes_[parent];
        const int row = int(above.children.size());
        if (atTop)
            beginInsertRows({}, row, row);
        above.children.append(number);
        if (!inView || atTop)
            above.shown = row + 1; // it joins the view with its parent, or at once
        else
            held_ = number;
        nodes_.push_back({key, text.size() > maxShownText ? text.left(maxShownText) + u'\u2026' : text, parent, row, leaf, 0, {}});
        if (atTop)
            endInsertRows();
    }

    void attachHeld()
    {
        if (held_ == 0)
            return;
        const int parent = nodes_[std::exchange(held_, 0)].parent;
        Node &above = nodes_[parent];
        beginInsertRows(indexOf(parent), above.shown, int(above.children.size()) - 1);
        above.shown = int(above.children.size());
        endInsertRows();
    }

    void clear()
    {
        beginResetModel();
        nodes_.resize(1);
        nodes_.front() = {};
        held_ = lastParent_ = 0;
        endResetModel();
    }

    int find(const QString &key) const
    {
        // The first node, then from the newest back: where parents are found at once.
        if (nodes_.size() > 1 && nodes_[1].key == key)
            return 1;
        for (int number = int(nodes_.size()) - 1; number > 0; --number)
            if (nodes_[number].key == key)
                return number;
        return 0;
    }

    QModelIndex indexOf(int number) const { return number > 0 ? createIndex(nodes_[number].row, 0, quintptr(number)) : QModelIndex(); }
    QModelIndex shownIndexOf(int number) const { return isShown(number) ? indexOf(number) : QModelIndex(); }
    int numberOf(const QModelIndex &index) const { return index.isValid() ? int(index.internalId()) : 0; }
    const QString &keyOf(const QModelIndex &index) const { return nodes_[numberOf(index)].key; }
    int count() const { return int(nodes_.size()) - 1; }

    QModelIndex index(int row, int column, const QModelIndex &parent) const override
    {
        const Node &above = nodes_[numberOf(parent)];
        if (column != 0 || row < 0 || row >= above.shown)
            return {};
        return createIndex(row, 0, quintptr(above.children[row]));
    }
    QModelIndex parent(const QModelIndex &child) const override { return indexOf(nodes_[numberOf(child)].parent); }
    int rowCount(const QModelIndex &parent) const override { return parent.column() > 0 ? 0 : nodes_[numberOf(parent)].shown; }
    int columnCount(const QModelIndex &) const override { return 1; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        return role == Qt::DisplayRole && index.isValid() ? QVariant(nodes_[numberOf(index)].text) : QVariant();
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        if (!index.isValid())
            return {};
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | (nodes_[numberOf(index)].leaf ? Qt::ItemNeverHasChildren : Qt::NoItemFlags);
    }

private:
    struct Node {
        QString key;
        QString text;
        int parent = 0;
        int row = 0;
        bool leaf = false;
        int shown = 0;
        QList<int> children;
    };

    // In the view: the root, and a node whose ancestors all show it.
    bool isShown(int number) const
    {
        for (; number > 0; number = nodes_[number].parent)
            if (nodes_[number].row >= nodes_[nodes_[number].parent].shown)
                return false;
        return true;
    }

    std::vector<Node> nodes_;
    int held_ = 0;
    int lastParent_ = 0;
};

KeyedTree::KeyedTree(QWidget *parent)
    : QTreeView(parent)
    , nodes_(new KeyedNodeModel(this))
{
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setModel(nodes_);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &node) { emit nodeClicked(keyOf(node)); });
}

void KeyedTree::addNode(const QString &parentKey, const QString &key, const QString &text, bool leaf)
{
    nodes_->add(parentKey, key, text, leaf);
}

void KeyedTree::attachHeldNodes()
{
    nodes_->attachHeld();
}

QModelIndex KeyedTree::node(const QString &key) const
{
    return nodes_->shownIndexOf(nodes_->find(key));
}

QString KeyedTree::keyOf(const QModelIndex &node) const
{
    return node.model() == nodes_ ? nodes_->keyOf(node) : QString();
}

int KeyedTree::nodeCount() const
{
    return nodes_->count();
}

void KeyedTree::setAllNodesExpanded(bool expanded)
{
    attachHeldNodes();
    // Qt keeps a node expanded while nothing is below it yet, for what comes.
    expanded ? expandAll() : collapseAll();
}

void KeyedTree::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event); // arrows, Home, End, pages, typing a name
    if (currentIndex().isValid() && currentIndex() != before)
        emit nodeClicked(keyOf(currentIndex()));
}

void KeyedTree::removeAllNodes()
{
    nodes_->clear();
}

} // namespace vellumo
