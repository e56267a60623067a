// The main window: layout, menus, tree commands, progress steps, shut-down.

#include "app/form1.h"
#include "app/keyed_tree.h"
#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "localisation/form4.h"
#include "support/test_profile.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;
using vellumo::test::TestProfile;

namespace {

class MainWindow : public ::testing::Test {
protected:
    TestProfile profile;
    Form1 main{profile.environment()};
};

TEST_F(MainWindow, LayoutInPixelsBelowTheMenuBarShortcutsAndDesignTimeStates)
{
    main.show();
    ASSERT_TRUE(test::waitUntil([&] { return main.isVisible(); }));
    const QWidget *client = main.centralWidget();
    EXPECT_EQ(client->size(), QSize(428, 353));
    EXPECT_GE(client->y(), main.menuBar()->geometry().bottom());
    EXPECT_EQ(main.size(), QSize(428, client->y() + 353));
    EXPECT_EQ(main.minimumSize(), main.maximumSize()) << "fixed border";
    EXPECT_FALSE(main.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(main.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(main.windowTitle(), u"Vellumo v1.0 - Corvath Software"_s);
    EXPECT_EQ(main.Command1->geometry(), QRect(338, 5, 81, 25));
    EXPECT_EQ(main.TV1->geometry(), QRect(8, 32, 203, 293));
    EXPECT_EQ(main.scrSkin->geometry(), QRect(216, 32, 203, 293));
    EXPECT_EQ(main.StatusBar1->geometry(), QRect(0, 336, 428, 17));
    EXPECT_EQ(main.ProgressBar1->geometry(), QRect(312, 339, 113, 13));
    EXPECT_EQ(main.scrSkin->pixmap().size(), QSize(201, 291)) << "the built-in preview picture";
    EXPECT_EQ(main.menus.update->shortcut(), QKeySequence(u"Ctrl+U"_s));
    EXPECT_EQ(main.menus.close->shortcut(), QKeySequence(u"Ctrl+S"_s));
    EXPECT_EQ(main.menus.skin->shortcut(), QKeySequence(u"Ctrl+I"_s));
    EXPECT_FALSE(main.menus.skin->isEnabled()) << "Ctrl+I does nothing until a skin is previewed";
    EXPECT_FALSE(main.Command1->isEnabled());
    for (QAction *separator : {main.menus.none1, main.menus.none2, main.menus.none3, main.menus.none4})
        EXPECT_TRUE(separator->isSeparator());
    EXPECT_EQ(main.statusText(), u"Vellumo geladen..."_s);
}

TEST_F(MainWindow, ExpandAndCollapseReachEveryNodeAndProgressStepsStopBelowTheMaximum)
{
    main.ensureLoaded();
    main.TV1->addNode(u"msnskins"_s, u"Cartoons 12:00:00"_s, u" Cartoons"_s);
    main.TV1->addNode(u"Cartoons 12:00:00"_s, u"Blue Moon"_s, u"Blue Moon"_s);
    main.TV1->addNode(u"msnskins"_s, u"Nature 12:00:00"_s, u" Nature"_s);
    for (const bool expand : {true, false}) {
        (expand ? main.menus.out : main.menus.in)->trigger();
        for (QTreeWidgetItem *node : main.TV1->nodes())
            EXPECT_EQ(node->isExpanded(), expand) << node->text(0).toStdString();
    }
    main.TV1->removeAllNodes();
    main.menus.out->trigger();
    main.menus.in->trigger();
    EXPECT_EQ(main.TV1->nodeCount(), 0);
    QSignalSpy values(main.ProgressBar1, &QProgressBar::valueChanged);
    for (int i = 0; i < 12; ++i)
        main.add();
    main.clear();
    main.ProgressBar1->setValue(95);
    main.add();
    EXPECT_EQ(main.ProgressBar1->value(), 95);
    QList<int> seen;
    for (const auto &args : values)
        seen << args.at(0).toInt();
    EXPECT_EQ(seen, (QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0, 95}));
}

TEST(ShutDown, EveryWayOutEndsTheProgram)
{
    enum Way { CloseCommand, CloseBoxWithADialogShown, ChooserCloseBoxOnAFirstRun, EscapeOnAFirstRun };
    for (const Way way : {CloseCommand, CloseBoxWithADialogShown, ChooserCloseBoxOnAFirstRun, EscapeOnAFirstRun}) {
        SCOPED_TRACE(way);
        const bool firstRun = way >= ChooserCloseBoxOnAFirstRun;
        TestProfile profile;
        if (!firstRun)
            profile.settings().save(Settings::languageApplication, u"algedaan"_s, u"1"_s);
        Form1 main{profile.environment()};
        QSignalSpy ended{&main, &Form1::programEnded};
        main.startUp();
        ASSERT_EQ(main.isVisible(), !firstRun);
        ASSERT_EQ(main.existingForm4()->isVisible(), firstRun);
        QPointer<QWidget> chooser = main.existingForm4(), settings = main.existingForm2(), about = &main.form3();
        if (way == CloseCommand) {
            ASSERT_TRUE(chooser && settings && about);
            ASSERT_FALSE(settings->isVisible());
            main.menus.close->trigger();
            EXPECT_FALSE(main.isVisible());
            test::processDeferredDeletes();
            EXPECT_FALSE(chooser || settings || about) << "every dialog is unloaded, even one never shown";
        } else if (way == CloseBoxWithADialogShown) {
            main.menus.settings->trigger();
            ASSERT_TRUE(main.existingForm2()->isVisible());
            EXPECT_TRUE(main.close());
            EXPECT_FALSE(main.existingForm2());
        } else {
            way == EscapeOnAFirstRun ? main.existingForm4()->reject() : void(main.existingForm4()->close());
        }
        EXPECT_EQ(ended.count(), 1);
    }
}

} // namespace
