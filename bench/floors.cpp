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

#include "app/timing_log.h"

#include <QApplication>
#include <QFile>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const bool tree = args.size() == 4 && args[1] == u"tree";
    if (!tree && !(args.size() == 2 && args[1] == u"window")) {
        std::fprintf(stderr, "usage: vellumo-bench-floor window | tree FOLDER SUFFIX\n");
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
        auto *view = new QTreeWidget(client);
        view->setGeometry(treeGeometry);
        view->setHeaderHidden(true);
        view->setUniformRowHeights(true);
        const QString folder = args[2], suffix = QLatin1Char('.') + args[3];
        QTreeWidgetItem *root = node(QStringLiteral("msnskins"), QStringLiteral(" MSN Skins"));
        QList<QTreeWidgetItem *> categories;
        for (const QString &category : readList(folder + QStringLiteral("/msnskins") + suffix)) {
            QTreeWidgetItem *categoryNode = node(category, QLatin1Char(' ') + category);
            QList<QTreeWidgetItem *> skins;
            for (const QString &skin : readList(folder + QLatin1Char('/') + category + suffix))
                skins.append(node(skin, skin));
            categoryNode->addChildren(skins);
            categories.append(categoryNode);
        }
        root->addChildren(categories);
        view->addTopLevelItem(root);
        root->setExpanded(true);
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
