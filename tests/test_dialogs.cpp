// The main window on a chosen language: its commands before a preview, tree
// commands and progress steps; its dialogs (settings, about box, language
// chooser), and how the program ends with them.

#include "support/test_profile.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/keyed_tree.h"
#include "windows/link_label.h"
#include "windows/message_box.h"
#include "windows/tri_state_check_box.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        profile.store(u"updatelist"_s, u"2"_s);
        profile.settings().setLanguageChosen();
        main.startUp();
        ASSERT_TRUE(main.isVisible());
    }
    test::TestProfile profile;
    Form1 main{profile.environment()};
    QSignalSpy ended{&main, &Form1::programEnded};
};

// The loading timer never runs without an event loop.
TEST_F(MainWindow, HasAFixedSizeInstallWaitsForAPreviewTreeCommandsReachEveryNodeProgressStopsAtTheMaximum)
{
    EXPECT_TRUE(main.minimumSize() == main.maximumSize() && !(main.windowFlags() & Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(main.menus.update->shortcut(), QKeySequence(u"Ctrl+U"_s));
    EXPECT_EQ(main.menus.close->shortcut(), QKeySequence(u"Ctrl+S"_s));
    EXPECT_EQ(main.menus.skin->shortcut(), QKeySequence(u"Ctrl+I"_s));
    EXPECT_FALSE(main.Command1->isEnabled() || main.menus.skin->isEnabled()) << "Ctrl+I does nothing yet";
    main.TV1->addNode(u"msnskins"_s, u"Cartoons 12:00:00"_s, u" Cartoons"_s, false);
    main.TV1->addNode(u"Cartoons 12:00:00"_s, u"Blue Moon"_s, u"Blue Moon"_s, true);
    main.TV1->addNode(u"msnskins"_s, u"Nature 12:00:00"_s, u" Nature"_s, false);
    for (const bool expand : {true, false}) {
        (expand ? main.menus.out : main.menus.in)->trigger();
        for (const QString &key : {u"msnskins"_s, u"Cartoons 12:00:00"_s, u"Nature 12:00:00"_s})
            EXPECT_EQ(main.TV1->isExpanded(main.TV1->node(key)), expand) << key.toStdString();
    }
    QSignalSpy steps(main.ProgressBar1, &QProgressBar::valueChanged);
    for (int i = 0; i < 11; ++i)
        main.add();
    EXPECT_EQ(steps.count(), 10);
    EXPECT_EQ(main.ProgressBar1->value(), 100);
}

TEST_F(MainWindow, TheSettingsBoxSavesEveryChangeAndClicksOnlyTickOrClear)
{
    main.menus.settings->trigger();
    Form2 &dialog = *main.existingForm2();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Check1->checkState(), Qt::PartiallyChecked);
    for (const int expected : {1, 0, 1}) {
        dialog.Check1->click();
        EXPECT_EQ(dialog.Check1->value(), expected) << "a click on a grayed box ticks it";
        EXPECT_EQ(profile.stored(u"updatelist"_s), QString::number(expected));
    }
    profile.store(u"updatelist"_s, u"0"_s);
    dialog.Command1->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(profile.stored(u"updatelist"_s), u"0"_s) << "OK saves nothing";
    main.menus.settings->trigger();
    EXPECT_EQ(&dialog, main.existingForm2());
    EXPECT_EQ(dialog.Check1->value(), 1) << "shown again, nothing read from the store";
    dialog.close();
    test::processDeferredDeletes();
    ASSERT_FALSE(main.existingForm2());
    main.menus.settings->trigger();
    ASSERT_TRUE(main.existingForm2() && main.existingForm2()->isVisible());
    EXPECT_EQ(main.existingForm2()->Check1->value(), 0) << "made again after its close box, from the store";
}

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder() { QDesktopServices::setUrlHandler(u"http"_s, this, "open"); }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(u"http"_s); }
    QList<QUrl> opened;
    Q_INVOKABLE void open(const QUrl &url) { opened << url; }
};

TEST_F(MainWindow, TheLinkUnderlinesOverItselfAndOpensTheMenusAddress)
{
    UrlRecorder browser;
    main.menus.about->trigger();
    Form3 &about = *main.existingForm3();
    auto moveOver = [](QWidget *widget, QPoint at = {3, 3}) {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    };
    EXPECT_FALSE(about.Label3->isUnderlined());
    moveOver(about.Label3);
    EXPECT_TRUE(about.Label3->isUnderlined());
    moveOver(&about, about.Label2->geometry().center()); // as Qt passes it on from the label
    EXPECT_TRUE(about.Label3->isUnderlined()) << "another control does not clear it";
    moveOver(&about, QPoint(about.width() - 2, about.height() - 2));
    EXPECT_FALSE(about.Label3->isUnderlined()) << "the dialog's own surface clears it";
    moveOver(about.Label3);
    QTest::mouseClick(about.Label3, Qt::LeftButton);
    EXPECT_FALSE(about.Label3->isUnderlined());
    main.menus.visit->trigger();
    EXPECT_EQ(browser.opened, QList<QUrl>(2, QUrl(u"http://www.corvath.example/"_s))) << "link, then menu";
}

TEST(Chooser, ListsTheFilesAndOkWithoutOneMeansDutchNextTimeThenTheMenuMakesItAgainForOkWithAFile)
{
    test::TestProfile profile;
    Form1 main{profile.environment()};
    auto listed = [&main] {
        QStringList names;
        for (int i = 0; i < main.existingForm4()->File1->count(); ++i)
            names << main.existingForm4()->File1->item(i)->text();
        return names;
    };
    auto ok = [&] {
        QPointer<Form4> chooser = main.existingForm4();
        chooser->Command1->click();
        EXPECT_TRUE(profile.settings().languageChosen());
        EXPECT_EQ(main.statusText(), QString());
        EXPECT_TRUE(main.isVisible());
        test::processDeferredDeletes();
        EXPECT_FALSE(chooser) << "OK destroys the chooser";
    };
    MessageBox::takeShown();
    for (const QString &name : {u"English.lng"_s, u"deutsch.LNG"_s, u".hidden.lng"_s, u"notes.txt"_s})
        profile.writeProgramFile(name, test::languageFile(test::numberedLines()));
    QDir(profile.programFolder()).mkdir(u"folder.lng"_s);
    profile.settings().setLanguage(u"English.lng"_s);
    main.startUp();
    QTest::keyClick(main.existingForm4(), Qt::Key_Escape); // the dialogs have no cancel button
    ASSERT_TRUE(main.existingForm4() && main.existingForm4()->isVisible()) << "Escape does nothing";
    EXPECT_EQ(main.existingForm4()->focusWidget(), main.existingForm4()->Command1) << "OK has the focus";
    EXPECT_EQ(listed(), (QStringList{u".hidden.lng"_s, u"deutsch.LNG"_s, u"English.lng"_s}));
    EXPECT_TRUE(main.existingForm4()->File1->selectedItems().isEmpty());
    ok();
    const auto boxes = MessageBox::takeShown();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(std::tie(boxes[0].icon, boxes[0].title, boxes[0].text),
              std::tuple(MessageBox::Icon::Information, u"Language"_s,
                         u"No language file selected, the default language (Dutch), will be loaded.\r\n"
                         u"It will take a effect when the program will be restarted."_s));
    EXPECT_EQ(profile.settings().language(), QString());
    EXPECT_EQ(main.localisation().text.msgLoaded, u"line 8"_s) << "this run keeps its texts";

    QStringList lines = test::numberedLines();
    lines[0] = u"&Set as skin"_s;
    profile.writeProgramFile(u"New.lng"_s, test::languageFile(lines));
    main.menus.language->trigger();
    ASSERT_TRUE(main.existingForm4() && main.existingForm4()->isVisible());
    EXPECT_EQ(listed(), (QStringList{u".hidden.lng"_s, u"deutsch.LNG"_s, u"English.lng"_s, u"New.lng"_s}))
        << "the list is refreshed";
    EXPECT_EQ(main.statusText(), u"Geladen"_s) << "the built-in texts were loaded again";
    main.existingForm4()->File1->item(3)->setSelected(true);
    ok();
    EXPECT_EQ(profile.settings().language(), u"New.lng"_s);
    EXPECT_EQ(main.Command1->text(), u"&Set as skin"_s);
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
}

TEST_F(MainWindow, TheMenuShowsTheHiddenChooserWithoutLoadingAgainAndClosingItKeepsTheProgram)
{
    Form4 *chooser = main.existingForm4();
    ASSERT_FALSE(chooser->isVisible());
    main.setStatusText(u"busy"_s);
    main.menus.language->trigger();
    EXPECT_EQ(main.existingForm4(), chooser);
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_EQ(main.statusText(), u"busy"_s);
    chooser->close();
    test::processDeferredDeletes();
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(main.existingForm4());
}

TEST_F(MainWindow, TheCloseCommandEndsTheProgramUnloadingEveryDialogChooserFirst)
{
    QStringList unloaded;
    for (const auto &[dialog, name] : {std::pair<QWidget *, QString>{main.existingForm4(), u"Form4"_s},
                                       {main.existingForm2(), u"Form2"_s}, {&main.form3(), u"Form3"_s}})
        QObject::connect(dialog, &QObject::destroyed, [&unloaded, name] { unloaded << name; });
    main.menus.close->trigger();
    EXPECT_FALSE(main.isVisible() || main.existingForm2() || main.existingForm3() || main.existingForm4());
    EXPECT_EQ(ended.count(), 1);
    test::processDeferredDeletes();
    EXPECT_EQ(unloaded, (QStringList{u"Form4"_s, u"Form3"_s, u"Form2"_s})) << "every dialog, even one never shown";
}

} // namespace

#include "test_dialogs.moc"
