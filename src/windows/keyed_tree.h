#pragma once

#include <QTreeWidget>

namespace vellumo {

// The catalogue tree's view: it shows the catalogue's nodes, each with its key.
class KeyedTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit KeyedTree(QWidget *parent = nullptr);

    // Adds a node under the node with parentKey, which must be in the tree,
    // or at the top level when parentKey is empty. The key must be new.
    // A node below a top-level one is held, with what is added below it,
    // outside the view until attachHeldNodes() or the next such node: a
    // category's skins then join the view at once. A text beyond 1000
    // characters is shown cut short.
    QTreeWidgetItem *addNode(const QString &parentKey, const QString &key, const QString &text);
    void attachHeldNodes();

    // The node with this key. Its parent or the first node is found at once,
    // any other by a search: the catalogue asks for nothing else.
    QTreeWidgetItem *node(const QString &key) const;
    QString keyOf(const QTreeWidgetItem *item) const;
    int nodeCount() const;
    // Every node, in the order in which they were added.
    const QList<QTreeWidgetItem *> &nodes() const { return nodes_; }

    void removeAllNodes();

signals:
    // A node clicked, or reached with the keyboard; not one the program selects.
    void nodeClicked(QTreeWidgetItem *node);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QList<QTreeWidgetItem *> nodes_;
    QTreeWidgetItem *held_ = nullptr;
    QTreeWidgetItem *heldParent_ = nullptr;
    QTreeWidgetItem *lastParent_ = nullptr;
};

} // namespace vellumo
