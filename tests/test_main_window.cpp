// The main window: its commands before a preview, tree commands, progress steps, shut-down.

#include "support/test_profile.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/keyed_tree.h"

#include <QAction>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;

namespace {

TEST(MainWindow, HasAFixedSizeInstallWaitsForAPreviewTreeCommandsReachEveryNodeProgressStopsAtTheMaximum)
{
    test::TestProfile profile;
    Form1 main{profile.environment()};
    main.show(); // loads the window, but the loading timer never runs without an event loop
    ASSERT_TRUE(main.isVisible());
    EXPECT_EQ(main.windowTitle(), u"Vellumo v1.0 - Corvath Software"_s);
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

TEST(ShutDown, EveryWayOutEndsTheProgramAndEscapeIsNone)
{
    enum Way { CloseCommand, ChooserCloseBoxOnAFirstRun, EscapeOnAFirstRun };
    for (const Way way : {CloseCommand, ChooserCloseBoxOnAFirstRun, EscapeOnAFirstRun}) {
        SCOPED_TRACE(way);
        const bool firstRun = way != CloseCommand;
        test::TestProfile profile;
        if (!firstRun)
            profile.settings().setLanguageChosen();
        Form1 main{profile.environment()};
        QSignalSpy ended{&main, &Form1::programEnded};
        main.startUp();
        ASSERT_EQ(main.isVisible(), !firstRun);
        ASSERT_EQ(main.existingForm4()->isVisible(), firstRun);
        if (way == CloseCommand) {
            QPointer<QWidget> chooser = main.existingForm4(), settings = main.existingForm2(), about = &main.form3();
            QStringList unloaded;
            for (const auto &[dialog, name] :
                 {std::pair{chooser.data(), u"Form4"_s}, {settings.data(), u"Form2"_s}, {about.data(), u"Form3"_s}})
                QObject::connect(dialog, &QObject::destroyed, [&unloaded, name] { unloaded << name; });
            main.menus.close->trigger();
            EXPECT_FALSE(main.isVisible() || main.existingForm2() || main.existingForm3() || main.existingForm4());
            test::processDeferredDeletes();
            EXPECT_FALSE(chooser || settings || about) << "every dialog is unloaded, even one never shown";
            EXPECT_EQ(unloaded, (QStringList{u"Form4"_s, u"Form3"_s, u"Form2"_s}));
        } else if (way == EscapeOnAFirstRun) {
            QTest::keyClick(main.existingForm4(), Qt::Key_Escape);
            EXPECT_TRUE(main.existingForm4() && main.existingForm4()->isVisible());
        } else {
            main.existingForm4()->close();
        }
        EXPECT_EQ(ended.count(), way == EscapeOnAFirstRun ? 0 : 1);
    }
}

} // namespace
