// Reading language files and applying them to the windows.

#include "app/form1.h"
#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "dialogs/link_label.h"
#include "dialogs/message_box.h"
#include "dialogs/tri_state_check_box.h"
#include "localisation/language_file.h"
#include "support/test_profile.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;
using vellumo::test::TestProfile;

namespace {

LanguageFile readBytes(TestProfile &profile, const QByteArray &content)
{
    profile.writeProgramFile(u"Test.lng"_s, content);
    return readLanguageFile(QDir(profile.programFolder()).filePath(u"Test.lng"_s));
}

TEST(LanguageFileReader, CountsLinesAsALineReaderWould)
{
    TestProfile profile;
    const QStringList lines = test::numberedLines(26);

    EXPECT_EQ(readBytes(profile, test::languageFile(lines)).status, LanguageFile::Status::Complete);
    EXPECT_EQ(readBytes(profile, test::languageFile(lines, "\r\n", false)).status, LanguageFile::Status::Complete);
    EXPECT_EQ(readBytes(profile, test::languageFile(lines, "\n")).lines, lines);

    const LanguageFile longer = readBytes(profile, test::languageFile(test::numberedLines(40)));
    EXPECT_EQ(longer.status, LanguageFile::Status::Complete);
    EXPECT_EQ(longer.lines, lines);

    const LanguageFile shorter = readBytes(profile, test::languageFile(test::numberedLines(25)));
    EXPECT_EQ(shorter.status, LanguageFile::Status::Unreadable);
    EXPECT_EQ(shorter.lines.size(), 25);

    const LanguageFile empty = readBytes(profile, QByteArray());
    EXPECT_EQ(empty.status, LanguageFile::Status::Unreadable);
    EXPECT_TRUE(empty.lines.isEmpty());

    // 25 lines with their line ends are short (the end of the file starts no
    // 26th line), but one more line end makes an empty 26th line.
    EXPECT_EQ(readBytes(profile, test::languageFile(test::numberedLines(25)) + "\r\n").status,
              LanguageFile::Status::Complete);
}

TEST(LanguageFileReader, TakesEveryLineWholeInWindows1252)
{
    TestProfile profile;
    QByteArray content = "\xEF\xBB\xBF&Zet\r\n"   // a UTF-8 mark is read as three characters
                         "  blanks stay  \r\n"
                         "\r\n"                    // an empty line is an empty text
                         "\xE9\xE9n \x80 \x93x\x94\r\n"
                         "lone\rCR\r\n";
    for (int i = 6; i <= 26; ++i)
        content += "x\r\n";
    const LanguageFile file = readBytes(profile, content);
    ASSERT_EQ(file.status, LanguageFile::Status::Complete);
    EXPECT_EQ(file.lines[0], u"\u00ef\u00bb\u00bf&Zet"_s);
    EXPECT_EQ(file.lines[1], u"  blanks stay  "_s);
    EXPECT_EQ(file.lines[2], QString());
    EXPECT_EQ(file.lines[3], u"\u00e9\u00e9n \u20ac \u201cx\u201d"_s);
    EXPECT_EQ(file.lines[4], u"lone\rCR"_s);
}

TEST(LanguageFileReader, MissingMeansNoOrdinaryFile)
{
    TestProfile profile;
    QDir program(profile.programFolder());
    program.mkdir(u"Folder.lng"_s);
    profile.writeProgramFile(u".Hidden.lng"_s, test::languageFile(test::numberedLines()));

    EXPECT_EQ(readLanguageFile(program.filePath(u"Nothing.lng"_s)).status, LanguageFile::Status::Missing);
    EXPECT_EQ(readLanguageFile(program.filePath(u"Folder.lng"_s)).status, LanguageFile::Status::Missing);
    EXPECT_EQ(readLanguageFile(program.filePath(u".Hidden.lng"_s)).status, LanguageFile::Status::Missing);
    EXPECT_EQ(readLanguageFile(QString()).status, LanguageFile::Status::Missing);
}

// The nineteen captions a language file sets, with the line each takes.
struct CaptionTarget {
    int line;
    std::function<QString(Form1 &)> caption;
};

std::vector<CaptionTarget> captionTargets()
{
    return {
        {1, [](Form1 &m) { return m.Command1->text(); }},
        {11, [](Form1 &m) { return m.menus.file->title(); }},
        {12, [](Form1 &m) { return m.menus.update->text(); }},
        {13, [](Form1 &m) { return m.menus.close->text(); }},
        {14, [](Form1 &m) { return m.menus.options->title(); }},
        {15, [](Form1 &m) { return m.menus.skin->text(); }},
        {16, [](Form1 &m) { return m.menus.deleteskins->text(); }},
        {17, [](Form1 &m) { return m.menus.manualskin->text(); }},
        {18, [](Form1 &m) { return m.menus.settings->text(); }},
        {18, [](Form1 &m) { return m.form2().windowTitle(); }},
        {19, [](Form1 &m) { return m.menus.language->text(); }},
        {20, [](Form1 &m) { return m.menus.out->text(); }},
        {21, [](Form1 &m) { return m.menus.in->text(); }},
        {22, [](Form1 &m) { return m.menus.help->title(); }},
        {23, [](Form1 &m) { return m.menus.visit->text(); }},
        {23, [](Form1 &m) { return m.form3().Label3->text(); }},
        {24, [](Form1 &m) { return m.form3().Label2->text(); }},
        {25, [](Form1 &m) { return m.form3().Label5->text(); }},
        {26, [](Form1 &m) { return m.form2().Check1->text(); }},
    };
}

class LoadLanguage : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageBox::takeShown();
        main.LoadDefaultLanguage();
        main.setStatusText(u"before"_s);
        profile.settings().save(Settings::languageApplication, u"language"_s, u"Test.lng"_s);
    }

    void load(const QByteArray &content)
    {
        profile.writeProgramFile(u"Test.lng"_s, content);
        main.LoadLanguage(main.programFile(u"Test.lng"_s));
    }
    QString storedLanguage()
    {
        return profile.settings().read(Settings::languageApplication, u"language"_s, u"absent"_s);
    }

    TestProfile profile;
    Form1 main{profile.environment()};
};

TEST_F(LoadLanguage, AppliesAllNineteenCaptionsAndNineMessages)
{
    load(test::languageFile(test::numberedLines(27)));

    const auto targets = captionTargets();
    ASSERT_EQ(targets.size(), 19u);
    for (const CaptionTarget &target : targets)
        EXPECT_EQ(target.caption(main), u"line %1"_s.arg(target.line));
    for (int line = 1; line <= 26; ++line)
        EXPECT_EQ(main.text.entry(line), u"line %1"_s.arg(line));
    EXPECT_EQ(main.statusText(), u"before"_s) << "a successful load leaves the status text";
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
    EXPECT_EQ(storedLanguage(), u"Test.lng"_s);
    // The dialogs were made hidden just to take their captions.
    EXPECT_FALSE(main.existingForm2()->isVisible());
    EXPECT_FALSE(main.existingForm3()->isVisible());
}

TEST_F(LoadLanguage, AShortFileKeepsWhatItReadButChangesNoCaption)
{
    load(test::languageFile(test::numberedLines(25)));

    for (int line = 1; line <= 25; ++line)
        EXPECT_EQ(main.text.entry(line), u"line %1"_s.arg(line));
    EXPECT_EQ(main.text.capUpdateOnStart, QString()) << "line 26 keeps its previous text";
    EXPECT_EQ(main.Command1->text(), u"&Zet als skin"_s);
    EXPECT_EQ(main.menus.file->title(), u"&Bestand"_s);

    const auto boxes = MessageBox::takeShown();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].icon, MessageBox::Icon::Critical);
    EXPECT_EQ(boxes[0].title, u"Error"_s);
    EXPECT_EQ(boxes[0].text,
              u"Error in language file, cannot read input. Restart this program to load the default language."_s);
    EXPECT_EQ(storedLanguage(), QString());
    EXPECT_EQ(main.statusText(), u"before"_s);
}

TEST_F(LoadLanguage, AMissingFileLoadsTheDutchMessagesFirst)
{
    main.text.msgLoaded = u"stale"_s;
    main.text.msgSkinDownloaded = u"stale"_s;
    main.LoadLanguage(main.programFile(u"Gone.lng"_s));

    EXPECT_EQ(main.statusText(), u"Geladen"_s);
    EXPECT_EQ(main.text.msgSkinDownloaded, u"Skin succesvol gedownload!"_s);
    const auto boxes = MessageBox::takeShown();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].icon, MessageBox::Icon::Information);
    EXPECT_EQ(boxes[0].title, u"Error"_s);
    EXPECT_EQ(boxes[0].text, u"Language file is missing. The default language will be loaded."_s);
    EXPECT_EQ(storedLanguage(), QString());
}

TEST_F(LoadLanguage, LoadDefaultLanguageLeavesLoadedCaptions)
{
    load(test::languageFile(test::numberedLines()));
    main.LoadDefaultLanguage();

    EXPECT_EQ(main.text.msgSkinApplied, u"Skin succesvol als achtergrond geplaatst!"_s);
    EXPECT_EQ(main.text.msgErrorPrefix, u"Fout opgetreden: "_s);
    EXPECT_EQ(main.text.msgDownloadFailed, u"Fout bij het downloaden!"_s);
    EXPECT_EQ(main.text.capCommand1, u"line 1"_s);
    EXPECT_EQ(main.Command1->text(), u"line 1"_s);
    EXPECT_EQ(main.statusText(), u"Geladen"_s);
}

TEST_F(LoadLanguage, DialogsMadeAgainKeepTheLanguagesCaptions)
{
    load(test::languageFile(test::numberedLines()));
    main.form3().close();
    main.form2().close();
    test::processDeferredDeletes();
    ASSERT_FALSE(main.existingForm2());
    ASSERT_FALSE(main.existingForm3());

    EXPECT_EQ(main.form2().windowTitle(), u"line 18"_s);
    EXPECT_EQ(main.form2().Check1->text(), u"line 26"_s);
    EXPECT_EQ(main.form3().Label3->text(), u"line 23"_s);
    EXPECT_EQ(main.form3().Label5->text(), u"line 25"_s);
}

TEST(EnglishLanguageFile, ShipsBesideTheProgramComplete)
{
    const LanguageFile file = readLanguageFile(QStringLiteral(VELLUMO_SOURCE_DIR "/share/lng/English.lng"));
    ASSERT_EQ(file.status, LanguageFile::Status::Complete);
    EXPECT_EQ(file.lines[3], u"An error occurred: "_s) << "the prefix ends in a blank";
    QFile raw(QStringLiteral(VELLUMO_SOURCE_DIR "/share/lng/English.lng"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_EQ(bytes.count("\r\n"), 26);
    EXPECT_EQ(bytes.count('\n'), 26) << "every line ends in CR LF";
}

} // namespace
