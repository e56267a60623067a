// The start-up decisions over the stored settings and the command line.

#include "app/form1.h"
#include "app/keyed_tree.h"
#include "app/main_window_texts.h"
#include "dialogs/form2.h"
#include "dialogs/message_box.h"
#include "dialogs/tri_state_check_box.h"
#include "localisation/form4.h"
#include "support/test_profile.h"

#include <QDir>
#include <QStatusBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

using namespace vellumo;
using vellumo::test::TestProfile;
using namespace Qt::StringLiterals;

namespace {

struct StartCase {
    const char *name;
    std::optional<QString> updatelist;
    QString commandLine;
    // What the start should give.
    bool loads;             // the load step ran through without failure
    bool loadFromCache;
    int checkValue;
    QString failure;        // status text on the failure path
};

void PrintTo(const StartCase &c, std::ostream *os)
{
    *os << c.name;
}

class StartUp : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartUp, ReadsUpdatelistAndCommandLine)
{
    const StartCase &c = GetParam();
    TestProfile profile;
    if (c.updatelist)
        profile.store(QStringLiteral("updatelist"), *c.updatelist);

    Form1 main(profile.environment(c.commandLine));
    main.startUp();

    ASSERT_TRUE(main.isLoaded());
    ASSERT_TRUE(main.existingForm4());
    EXPECT_TRUE(main.existingForm4()->isVisible()) << "a first run shows the chooser";
    EXPECT_FALSE(main.isVisible());

    if (c.loads) {
        ASSERT_TRUE(main.existingForm2()) << "the load step loads the settings dialog, hidden";
        EXPECT_FALSE(main.existingForm2()->isVisible());
        EXPECT_TRUE(main.loading->isActive());
        EXPECT_EQ(main.loadFromCache, c.loadFromCache);
        EXPECT_EQ(main.existingForm2()->Check1->value(), c.checkValue);
        EXPECT_EQ(main.updateOnStart, c.checkValue);
        EXPECT_EQ(profile.stored(QStringLiteral("updatelist")), QString::number(c.checkValue));
        EXPECT_EQ(profile.stored(QStringLiteral("path")), QDir::toNativeSeparators(profile.programFolder()));
        EXPECT_EQ(main.baseUrl, mainwindow::builtInBaseUrl);
        ASSERT_EQ(main.TV1->nodeCount(), 1);
        QTreeWidgetItem *root = main.TV1->node(QStringLiteral("msnskins"));
        ASSERT_TRUE(root);
        EXPECT_EQ(root->text(0), QStringLiteral(" MSN Skins"));
        EXPECT_TRUE(root->isExpanded());
        EXPECT_EQ(main.statusText(), QStringLiteral("Geladen"));
    } else {
        EXPECT_FALSE(main.loading->isActive());
        EXPECT_EQ(main.TV1->nodeCount(), 0);
        EXPECT_FALSE(profile.has(QStringLiteral("path"))) << "steps after the failure are skipped";
        EXPECT_TRUE(main.baseUrl.isEmpty());
        // The failure stays on the status bar; "Geladen" does not cover it.
        EXPECT_EQ(main.statusText(), c.failure);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StartUp,
    ::testing::Values(
        StartCase{"Absent", std::nullopt, {}, true, false, 1, {}},
        StartCase{"One", u"1"_s, {}, true, false, 1, {}},
        StartCase{"Zero", u"0"_s, {}, true, true, 0, {}},
        StartCase{"TwoIsGrayed", u"2"_s, {}, true, true, 2, {}},
        StartCase{"Blanks", u" 1 "_s, {}, true, false, 1, {}},
        StartCase{"LoadcacheInCapitals", u"1"_s, u"/LOADCACHE"_s, true, true, 1, {}},
        StartCase{"LoadcacheInsideAWord", u"1"_s, u"-x --noloadcacheplease"_s, true, true, 1, {}},
        StartCase{"OtherArguments", u"1"_s, u"load cache"_s, true, false, 1, {}},
        StartCase{"Letters", u"abc"_s, {}, false, false, 0, u"Fout opgetreden: 13 - Type mismatch"_s},
        StartCase{"Empty", u""_s, {}, false, false, 0, u"Fout opgetreden: 13 - Type mismatch"_s},
        StartCase{"Seven", u"7"_s, {}, false, false, 0, u"Fout opgetreden: 380 - Invalid property value"_s},
        StartCase{"Negative", u"-1"_s, {}, false, false, 0, u"Fout opgetreden: 380 - Invalid property value"_s},
        StartCase{"Overflow", u"70000"_s, {}, false, false, 0, u"Fout opgetreden: 6 - Overflow"_s}),
    [](const ::testing::TestParamInfo<StartCase> &info) { return info.param.name; });

struct ChooserCase {
    const char *name;
    std::optional<QString> algedaan;
    bool chooserShown;
};

void PrintTo(const ChooserCase &c, std::ostream *os)
{
    *os << c.name;
}

class ChooserAtStart : public ::testing::TestWithParam<ChooserCase> {};

TEST_P(ChooserAtStart, IsSkippedOnlyWhenAlgedaanIsOne)
{
    TestProfile profile;
    if (GetParam().algedaan)
        profile.settings().save(Settings::languageApplication, QStringLiteral("algedaan"), *GetParam().algedaan);

    Form1 main(profile.environment());
    main.startUp();

    ASSERT_TRUE(main.existingForm4());
    EXPECT_EQ(main.existingForm4()->isVisible(), GetParam().chooserShown);
    EXPECT_EQ(main.isVisible(), !GetParam().chooserShown);
    // Either way the main window is loaded and its timer runs.
    EXPECT_TRUE(main.isLoaded());
    EXPECT_TRUE(main.loading->isActive());
}

INSTANTIATE_TEST_SUITE_P(Settings, ChooserAtStart,
                         ::testing::Values(ChooserCase{"Absent", std::nullopt, true}, ChooserCase{"One", u"1"_s, false},
                                           ChooserCase{"OneWithSign", u" +1"_s, false},
                                           ChooserCase{"Two", u"2"_s, true}, ChooserCase{"Zero", u"0"_s, true},
                                           ChooserCase{"Letters", u"x"_s, true}),
                         [](const ::testing::TestParamInfo<ChooserCase> &info) { return info.param.name; });

class LanguageAtStart : public ::testing::Test {
protected:
    void SetUp() override { MessageBox::takeShown(); }

    void storeLanguage(const QString &name)
    {
        profile.settings().save(Settings::languageApplication, QStringLiteral("language"), name);
    }
    QString storedLanguage()
    {
        return profile.settings().read(Settings::languageApplication, QStringLiteral("language"), u"absent"_s);
    }

    TestProfile profile;
};

TEST_F(LanguageAtStart, AValidFileKeepsTheDesignTimeStatusText)
{
    profile.writeProgramFile(u"English.lng"_s, test::languageFile(test::numberedLines()));
    storeLanguage(u"English.lng"_s);

    Form1 main(profile.environment());
    main.startUp();

    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
    EXPECT_EQ(main.statusText(), QStringLiteral("Vellumo geladen..."));
    EXPECT_EQ(main.text.msgLoaded, QStringLiteral("line 8"));
    EXPECT_EQ(storedLanguage(), QStringLiteral("English.lng"));
}

TEST_F(LanguageAtStart, ALoadFailureIsReportedWithTheFilesPrefix)
{
    QStringList lines = test::numberedLines();
    lines[3] = u"Error:"_s;
    profile.writeProgramFile(u"English.lng"_s, test::languageFile(lines));
    storeLanguage(u"English.lng"_s);
    profile.store(u"updatelist"_s, u"letters"_s);

    Form1 main(profile.environment());
    main.startUp();

    EXPECT_EQ(main.statusText(), QStringLiteral("Error:13 - Type mismatch"));
}

TEST_F(LanguageAtStart, AMissingFileFallsBackToDutchAndForgetsTheChoice)
{
    storeLanguage(u"Deleted.lng"_s);

    Form1 main(profile.environment());
    main.startUp();

    const auto boxes = MessageBox::takeShown();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].icon, MessageBox::Icon::Information);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Error"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Language file is missing. The default language will be loaded."));
    EXPECT_EQ(storedLanguage(), QString());
    EXPECT_EQ(main.statusText(), QStringLiteral("Geladen"));
    EXPECT_EQ(main.text.msgErrorPrefix, QStringLiteral("Fout opgetreden: "));
    EXPECT_TRUE(main.existingForm4()->isVisible());
}

TEST_F(LanguageAtStart, ABrokenFileIsReportedAndForgotten)
{
    profile.writeProgramFile(u"Broken.lng"_s, QByteArray());
    storeLanguage(u"Broken.lng"_s);

    Form1 main(profile.environment());
    main.startUp();

    const auto boxes = MessageBox::takeShown();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].icon, MessageBox::Icon::Critical);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Error"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Error in language file, cannot read input. Restart this program to "
                                            "load the default language."));
    EXPECT_EQ(storedLanguage(), QString());
    EXPECT_TRUE(main.isLoaded());
    EXPECT_TRUE(main.loading->isActive());
}

TEST(StartUpSettings, TheTimerRunsOnceAndStopsItself)
{
    TestProfile profile;
    Form1 main(profile.environment());
    main.startUp();
    ASSERT_TRUE(main.loading->isActive());
    EXPECT_EQ(main.loading->interval(), 10);
    EXPECT_TRUE(test::waitUntil([&] { return !main.loading->isActive(); }));
}

} // namespace
