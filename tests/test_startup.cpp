// The start-up decisions over the stored settings, the command line and the language file.

#include "support/test_profile.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/form4.h"
#include "windows/keyed_tree.h"
#include "windows/tri_state_check_box.h"

#include <QDir>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

using namespace vellumo;
using namespace Qt::StringLiterals;

namespace {

const QString initialStatus = u"Vellumo geladen..."_s;

struct StartCase {
    const char *name;
    std::optional<QString> updatelist = std::nullopt, algedaan = std::nullopt;
    QString commandLine = {};
    QString language = {}; // the setting; the file of that name holds languageFile when there is one
    std::optional<QByteArray> languageFile = std::nullopt;
    bool loadFromCache = false;
    int checkValue = 1;
    QString failure = {}; // empty when the load step runs through
    QString status = u"Geladen"_s; // when it does
    bool chooserShown = true;
};

void PrintTo(const StartCase &c, std::ostream *os) { *os << c.name; }

class StartUp : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartUp, ReadsTheSettingsTheCommandLineAndTheLanguageFileAndTheChoosersCloseBoxEndsAFirstRun)
{
    const StartCase &c = GetParam();
    test::TestProfile profile;
    if (c.updatelist)
        profile.store(u"updatelist"_s, *c.updatelist);
    if (c.algedaan)
        profile.store(u"algedaan"_s, *c.algedaan);
    if (!c.language.isEmpty())
        profile.settings().setLanguage(c.language);
    if (c.languageFile)
        profile.writeProgramFile(c.language, *c.languageFile);
    Form1 main(profile.environment(c.commandLine));
    QSignalSpy ended{&main, &Form1::programEnded};
    main.startUp();
    ASSERT_TRUE(main.isLoaded());
    ASSERT_TRUE(main.existingForm4());
    EXPECT_EQ(main.existingForm4()->isVisible(), c.chooserShown) << "only algedaan 1 skips the chooser";
    EXPECT_EQ(main.isVisible(), !c.chooserShown);
    if (!c.failure.isEmpty()) {
        EXPECT_FALSE(main.loading->isActive());
        EXPECT_EQ(main.TV1->nodeCount(), 0);
        EXPECT_FALSE(profile.stored(u"path"_s)) << "steps after the failure are skipped";
        EXPECT_TRUE(main.catalogue().baseUrl.isEmpty());
        EXPECT_EQ(main.statusText(), c.failure) << "\"Geladen\" must not cover the failure";
        return;
    }
    ASSERT_TRUE(main.existingForm2());
    EXPECT_FALSE(main.existingForm2()->isVisible());
    EXPECT_TRUE(main.loading->isActive());
    EXPECT_EQ(main.catalogue().loadFromCache, c.loadFromCache);
    EXPECT_EQ(main.existingForm2()->Check1->value(), c.checkValue);
    EXPECT_EQ(profile.stored(u"updatelist"_s), QString::number(c.checkValue));
    EXPECT_EQ(profile.stored(u"path"_s), QDir::toNativeSeparators(profile.programFolder()));
    EXPECT_EQ(main.catalogue().baseUrl, Settings::builtInBaseUrl);
    ASSERT_EQ(main.TV1->nodeCount(), 1);
    const QModelIndex root = main.TV1->node(u"msnskins"_s);
    EXPECT_EQ(root.data().toString(), u" MSN Skins"_s);
    EXPECT_TRUE(main.TV1->isExpanded(root));
    EXPECT_EQ(main.statusText(), c.status);
    main.existingForm4()->close();
    EXPECT_EQ(ended.count(), c.chooserShown ? 1 : 0) << "closed before the main window shows, nothing is left";
}

// A complete language file whose given line reads text.
QByteArray languageFileWith(int line, const QString &text)
{
    QStringList lines = test::numberedLines();
    lines[line - 1] = text;
    return test::languageFile(lines);
}

const QString typeMismatch = u"Fout opgetreden: 13 - Type mismatch"_s;
const QString invalidValue = u"Fout opgetreden: 380 - Invalid property value"_s;
const QString overflow = u"Fout opgetreden: 6 - Overflow"_s;

INSTANTIATE_TEST_SUITE_P(
    Settings, StartUp,
    ::testing::Values(
        StartCase{.name = "Absent"}, StartCase{.name = "One", .updatelist = u"1"_s},
        StartCase{.name = "Zero", .updatelist = u"0"_s, .loadFromCache = true, .checkValue = 0},
        StartCase{.name = "TwoIsGrayed", .updatelist = u"2"_s, .loadFromCache = true, .checkValue = 2},
        StartCase{.name = "Blanks", .updatelist = u" 1 "_s},
        StartCase{.name = "LoadcacheInCapitals", .commandLine = u"/LOADCACHE"_s, .loadFromCache = true},
        StartCase{.name = "LoadcacheInsideAWord", .commandLine = u"-x --noloadcacheplease"_s, .loadFromCache = true},
        StartCase{.name = "OtherArguments", .commandLine = u"load cache"_s},
        StartCase{.name = "Letters", .updatelist = u"abc"_s, .failure = typeMismatch},
        StartCase{.name = "Empty", .updatelist = u""_s, .failure = typeMismatch},
        StartCase{.name = "Seven", .updatelist = u"7"_s, .failure = invalidValue},
        StartCase{.name = "Negative", .updatelist = u"-1"_s, .failure = invalidValue},
        StartCase{.name = "DigitsThenMore", .updatelist = u"1x"_s, .failure = typeMismatch},
        StartCase{.name = "Decimal", .updatelist = u"1.0"_s, .failure = typeMismatch},
        StartCase{.name = "Largest", .updatelist = u"32767"_s, .failure = invalidValue},
        StartCase{.name = "Smallest", .updatelist = u"-32768"_s, .failure = invalidValue},
        StartCase{.name = "Overflow", .updatelist = u"32768"_s, .failure = overflow},
        StartCase{.name = "NegativeOverflow", .updatelist = u"-32769"_s, .failure = overflow},
        StartCase{.name = "Past64Bits", .updatelist = u"18446744073709551617"_s, .failure = overflow},
        StartCase{.name = "AlgedaanOne", .algedaan = u"1"_s, .chooserShown = false},
        StartCase{.name = "AlgedaanOneWithSign", .algedaan = u" +1"_s, .chooserShown = false},
        StartCase{.name = "AlgedaanTwo", .algedaan = u"2"_s}, StartCase{.name = "AlgedaanZero", .algedaan = u"0"_s},
        StartCase{.name = "AlgedaanLetters", .algedaan = u"x"_s},
        StartCase{.name = "AlgedaanBetweenTabs", .algedaan = u"\t1\t"_s, .chooserShown = false},
        StartCase{.name = "AlgedaanArabicDigitOne", .algedaan = u"\u0661"_s},
        StartCase{.name = "AlgedaanPast64BitsWrapsNotToOne", .algedaan = u"18446744073709551617"_s},
        // The language is loaded before the load step, which runs whatever the file is. What the file does to
        // the windows, its boxes and the stored choice are the LoadLanguage tests'.
        StartCase{.name = "LanguageFile", .language = u"Test.lng"_s,
                  .languageFile = test::languageFile(test::numberedLines()), .status = initialStatus},
        StartCase{.name = "LanguageFileWithItsOwnFailurePrefix", .updatelist = u"letters"_s, .language = u"Test.lng"_s,
                  .languageFile = languageFileWith(4, u"Error:"_s), .failure = u"Error:13 - Type mismatch"_s},
        StartCase{.name = "LanguageFileMissing", .language = u"Gone.lng"_s},
        StartCase{.name = "LanguageFileBroken", .language = u"Test.lng"_s, .languageFile = QByteArray(),
                  .status = initialStatus}),
    [](const auto &info) { return info.param.name; });

} // namespace
