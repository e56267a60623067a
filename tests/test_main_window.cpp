// The main window: its commands before a preview, tree commands, progress steps.

#include "support/test_profile.h"
#include "windows/form1.h"
#include "windows/keyed_tree.h"

#include <QAction>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;

namespace {

TEST(MainWindow, HasAFixedSizeInstallWaitsForAPreviewTreeCommandsReachEveryNodeProgressStopsAtTheMaximum)
{
    test::TestProfile profile;
    Form1 main{profile.environment()};
    main.show(); // loads the window, but the loading timer never runs without an event loop
    EXPECT_TRUE(main.minimumSize() == main.maximumSize() && !(main.windowFlags() & Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(main.menus.update->shortcut(), QKeySequence(u"Ctrl+U"_s));
    EXPECT_EQ(main.menus.close->shortcut(), QKeySequence(u"Ctrl+S"_s));
    EXPECT_EQ(main.menus.skin->shortcut(), QKeySequence(u"Ctrl+I"_s));
    EXPECT_FALSE(main.Command1->isEnabled() || main.menus.skin->isEnabled()) << "Ctrl+I does nothing yet";
    main.TV1->addNode(u"msnskins"_s, u"Cartoons 12:00:00"_s, u" Cartoons"_s);
    main.TV1->addNode(u"Cartoons 12:00:00"_s, u"Blue Moon"_s, u"Blue Moon"_s);
    main.TV1->addNode(u"msnskins"_s, u"Nature 12:00:00"_s, u" Nature"_s);
    for (const bool expand : {true, false}) {
        (expand ? main.menus.out : main.menus.in)->trigger();
        for (QTreeWidgetItem *node : main.TV1->nodes())
            EXPECT_EQ(node->isExpanded(), expand) << node->text(0).toStdString();
    }
    QSignalSpy steps(main.ProgressBar1, &QProgressBar::valueChanged);
    for (int i = 0; i < 11; ++i)
        main.add();
    EXPECT_EQ(steps.count(), 10);
    EXPECT_EQ(main.ProgressBar1->value(), 100);
}

} // namespace
