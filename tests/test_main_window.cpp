// The main window: layout, menus, tree commands, progress steps, shut-down.

#include "app/form1.h"
#include "app/keyed_tree.h"
#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "localisation/form4.h"
#include "support/test_profile.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>

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

TEST_F(MainWindow, ClientAreaBelowTheMenuBarHoldsTheControlsInPixels)
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
    // The button's right edge lines up with the preview's.
    EXPECT_EQ(main.Command1->geometry().right(), main.scrSkin->geometry().right());
    // The preview starts with the built-in picture.
    ASSERT_FALSE(main.scrSkin->pixmap().isNull());
    EXPECT_EQ(main.scrSkin->pixmap().size(), QSize(201, 291));
}

TEST_F(MainWindow, ShortcutsAndDesignTimeStates)
{
    EXPECT_EQ(main.menus.update->shortcut(), QKeySequence(u"Ctrl+U"_s));
    EXPECT_EQ(main.menus.close->shortcut(), QKeySequence(u"Ctrl+S"_s));
    EXPECT_EQ(main.menus.skin->shortcut(), QKeySequence(u"Ctrl+I"_s));
    EXPECT_FALSE(main.menus.skin->isEnabled()) << "Ctrl+I does nothing until a skin is previewed";
    EXPECT_FALSE(main.Command1->isEnabled());
    EXPECT_TRUE(main.menus.none1->isSeparator() && main.menus.none2->isSeparator() && main.menus.none3->isSeparator()
                && main.menus.none4->isSeparator());
    EXPECT_EQ(main.statusText(), u"Vellumo geladen..."_s);
}

TEST_F(MainWindow, ExpandAndCollapseReachEveryNode)
{
    main.ensureLoaded();
    main.TV1->addNode(u"msnskins"_s, u"Cartoons 12:00:00"_s, u" Cartoons"_s);
    main.TV1->addNode(u"Cartoons 12:00:00"_s, u"Blue Moon"_s, u"Blue Moon"_s);
    main.TV1->addNode(u"msnskins"_s, u"Nature 12:00:00"_s, u" Nature"_s);

    main.menus.out->trigger();
    for (QTreeWidgetItem *node : main.TV1->nodes())
        EXPECT_TRUE(node->isExpanded()) << node->text(0).toStdString();
    main.menus.in->trigger();
    for (QTreeWidgetItem *node : main.TV1->nodes())
        EXPECT_FALSE(node->isExpanded()) << node->text(0).toStdString();

    main.TV1->removeAllNodes();
    main.menus.out->trigger(); // nothing to do, nothing breaks
    EXPECT_EQ(main.TV1->nodeCount(), 0);
}

TEST_F(MainWindow, ProgressStepsStopBelowTheMaximum)
{
    QSignalSpy values(main.ProgressBar1, &QProgressBar::valueChanged);
    for (int i = 0; i < 12; ++i)
        main.add();
    EXPECT_EQ(main.ProgressBar1->value(), 100);
    main.clear();
    EXPECT_EQ(main.ProgressBar1->value(), 0);
    main.ProgressBar1->setValue(95);
    main.add();
    EXPECT_EQ(main.ProgressBar1->value(), 95);

    QList<int> seen;
    for (const auto &args : values)
        seen << args.at(0).toInt();
    EXPECT_EQ(seen, (QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0, 95}));
}

class ShutDown : public ::testing::Test {
protected:
    void startAndShowMain()
    {
        profile.settings().save(Settings::languageApplication, u"algedaan"_s, u"1"_s);
        main.startUp();
        ASSERT_TRUE(main.isVisible());
    }

    TestProfile profile;
    Form1 main{profile.environment()};
    QSignalSpy ended{&main, &Form1::programEnded};
};

TEST_F(ShutDown, TheCloseCommandUnloadsEveryDialogEvenIfNeverShown)
{
    startAndShowMain();
    QPointer<QWidget> chooser = main.existingForm4();
    QPointer<QWidget> settings = main.existingForm2();
    QPointer<QWidget> about = &main.form3();
    ASSERT_TRUE(chooser && settings && about);
    ASSERT_FALSE(settings->isVisible());

    main.menus.close->trigger();

    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(main.isVisible());
    test::processDeferredDeletes();
    EXPECT_FALSE(chooser);
    EXPECT_FALSE(settings);
    EXPECT_FALSE(about);
}

TEST_F(ShutDown, TheCloseBoxEndsTheProgramWithADialogOnScreen)
{
    startAndShowMain();
    main.menus.settings->trigger();
    ASSERT_TRUE(main.existingForm2()->isVisible());

    EXPECT_TRUE(main.close());
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(main.existingForm2());
}

TEST_F(ShutDown, ClosingTheChooserOnAFirstRunEndsTheProgram)
{
    main.startUp();
    ASSERT_TRUE(main.existingForm4()->isVisible());
    ASSERT_FALSE(main.isVisible());

    main.existingForm4()->close();
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(ShutDown, EscapeInTheChooserOnAFirstRunEndsTheProgramToo)
{
    main.startUp();
    main.existingForm4()->reject();
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(ShutDown, ClosingTheChooserOpenedFromTheMenuKeepsTheProgram)
{
    startAndShowMain();
    main.menus.language->trigger();
    ASSERT_TRUE(main.existingForm4()->isVisible());

    main.existingForm4()->close();
    test::processDeferredDeletes();
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(main.existingForm4());
}

} // namespace
