#pragma once

#include <QTreeView>

namespace vellumo {

class KeyedNodeModel;

// The catalogue tree's view: it shows the catalogue's nodes, each with its key,
// from a model that holds no more than a key, a text and a place per node.
class KeyedTree : public QTreeView {
    Q_OBJECT
public:
    explicit KeyedTree(QWidget *parent = nullptr);

    // Adds a node under the node with parentKey, which must be in the tree,
    // or at the top level when parentKey is empty. The key must be new; a leaf
    // never gets nodes below it.
    // A node below a top-level one is held, with what is added below it,
    // outside the view until attachHeldNodes() or the next such node: a
    // category's skins then join the view at once. A text beyond 1000
    // characters is shown cut short.
    void addNode(const QString &parentKey, const QString &key, const QString &text, bool leaf);
    void attachHeldNodes();

    // The node with this key in the view, or an invalid index. Its parent or
    // the first node is found at once, any other by a search: the catalogue
    // asks for nothing else.
    QModelIndex node(const QString &key) const;
    QString keyOf(const QModelIndex &node) const;
    int nodeCount() const;

    // Every node but the leaves; one expanded before nodes come below it
    // shows them when they do.
    void setAllNodesExpanded(bool expanded);
    void removeAllNodes();

signals:
    // A node clicked, or reached with the keyboard; not one the program selects.
    void nodeClicked(const QString &key);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    KeyedNodeModel *nodes_;
};

} // namespace vellumo
