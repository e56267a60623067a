// The floors the benchmark compares Vellumo with: what Qt itself takes to do
// the same on the same screen. Each writes the timing log that Vellumo writes
// (VELLUMO_TIMING_LOG) and stays until it is killed.
//
//   vellumo-bench-floor window
//       a bare main window of the size of Vellumo's, with a menu bar of three
//       empty menus: "window-shown" after its first paint.
//   vellumo-bench-floor tree FOLDER SUFFIX
//       the same window with a bare tree where Vellumo has its catalogue tree,
//       holding the nodes of the lists FOLDER/msnskins.SUFFIX and
//       FOLDER/<category>.SUFFIX as Vellumo builds them (a root, the
//       categories under it, the skins under each, every node with its key):
//       "load-started" and "load-ended" around reading the lists and building
//       the nodes, then "tree-painted" after the tree's first paint.
//   vellumo-bench-floor model FOLDER SUFFIX
//       the same with a bare QTreeView over Qt's QStandardItemModel.

#include "app/timing_log.h"

#include <QApplication>
#include <QFile>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QStandardItemModel>
#include <QTreeView>
#include <QTreeWidget>

#include <cstdio>

namespace {

// Vellumo's main window: a client area of 6420 × 5295 twips below the menu
// bar, the tree at (120, 480), 3045 × 4395 twips; 15 twips to the pixel.
constexpr QSize clientSize(428, 353);
constexpr QRect treeGeometry(8, 32, 203, 293);
constexpr int keyRole = Qt::UserRole + 1;

QStringList readList(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromLatin1(file.readAll());
    return text.isEmpty() ? QStringList() : text.split(u'*');
}

QTreeWidgetItem *node(const QString &key, const QString &text)
{
    auto *item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, keyRole, key);
    return item;
}

QStandardItem *modelNode(const QString &key, const QString &text)
{
    auto *item = new QStandardItem(text);
    item->setData(key, keyRole);
    item->setEditable(false);
    return item;
}

// The root, the categories under it and the skins under each, each level
// added at once, as the catalogue's lists in FOLDER name them.
template<typename Item, typename MakeNode, typename AddChildren>
Item *catalogueNodes(const QString &folder, const QString &suffix, MakeNode makeNode, AddChildren addChildren)
{
    Item *root = makeNode(QStringLiteral("msnskins"), QStringLiteral(" MSN Skins"));
    QList<Item *> categories;
    for (const QString &category : readList(folder + QStringLiteral("/msnskins") + suffix)) {
        Item *categoryNode = makeNode(category, QLatin1Char(' ') + category);
        QList<Item *> skins;
        for (const QString &skin : readList(folder + QLatin1Char('/') + category + suffix))
            skins.append(makeNode(skin, skin));
        addChildren(categoryNode, skins);
        categories.append(categoryNode);
    }
    addChildren(root, categories);
    return root;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const bool tree = args.size() == 4 && (args[1] == u"tree" || args[1] == u"model");
    if (!tree && !(args.size() == 2 && args[1] == u"window")) {
        std::fprintf(stderr, "usage: vellumo-bench-floor window | tree FOLDER SUFFIX | model FOLDER SUFFIX\n");
        return 2;
    }
    const auto timing = vellumo::TimingLog::fromEnvironment();
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Liberation Sans"), font.family()});
    font.setPixelSize(11);
    QApplication::setFont(font);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Floor"));
    auto *client = new QWidget(&window);
    client->setFixedSize(clientSize);
    window.setCentralWidget(client);
    window.layout()->setSizeConstraint(QLayout::SetFixedSize);
    for (const char *title : {"File", "Options", "Help"})
        window.menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Item"));

    if (tree) {
        if (timing)
            timing->mark("load-started");
        const QString folder = args[2], suffix = QLatin1Char('.') + args[3];
        QTreeView *view = nullptr;
        if (args[1] == u"tree") {
            auto *widget = new QTreeWidget(client);
            QTreeWidgetItem *root = catalogueNodes<QTreeWidgetItem>(
                folder, suffix, node, [](QTreeWidgetItem *parent, const QList<QTreeWidgetItem *> &children) { parent->addChildren(children); });
            widget->addTopLevelItem(root);
            root->setExpanded(true);
            view = widget;
        } else {
            view = new QTreeView(client);
            auto *model = new QStandardItemModel(view);
            model->appendRow(catalogueNodes<QStandardItem>(
                folder, suffix, modelNode, [](QStandardItem *parent, const QList<QStandardItem *> &children) { parent->appendRows(children); }));
            view->setModel(model);
            view->expand(model->index(0, 0));
        }
        view->setGeometry(treeGeometry);
        view->setHeaderHidden(true);
        view->setUniformRowHeights(true);
        if (timing) {
            timing->mark("load-ended");
            timing->markAfterNextPaint(view->viewport(), "tree-painted");
        }
    } else if (timing) {
        timing->markAfterNextPaint(&window, "window-shown");
    }
    window.show();
    return QApplication::exec();
}
