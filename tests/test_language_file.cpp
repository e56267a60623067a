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
using Status = LanguageFile::Status;

namespace {

LanguageFile readBytes(TestProfile &profile, const QByteArray &content)
{
    profile.writeProgramFile(u"Test.lng"_s, content);
    return readLanguageFile(QDir(profile.programFolder()).filePath(u"Test.lng"_s));
}

TEST(LanguageFileReader, CountsLinesLikeALineReaderFindsOnlyOrdinaryFilesAndReadsWindows1252)
{
    TestProfile profile;
    const QStringList lines = test::numberedLines(26);
    EXPECT_EQ(readBytes(profile, test::languageFile(lines)).status, Status::Complete);
    EXPECT_EQ(readBytes(profile, test::languageFile(lines, "\r\n", false)).status, Status::Complete);
    EXPECT_EQ(readBytes(profile, test::languageFile(lines, "\n")).lines, lines);
    const LanguageFile longer = readBytes(profile, test::languageFile(test::numberedLines(27)));
    EXPECT_EQ(longer.status, Status::Complete);
    EXPECT_EQ(longer.lines, lines);
    const LanguageFile shorter = readBytes(profile, test::languageFile(test::numberedLines(25)));
    EXPECT_EQ(shorter.status, Status::Unreadable);
    EXPECT_EQ(shorter.lines.size(), 25);
    const LanguageFile empty = readBytes(profile, QByteArray());
    EXPECT_EQ(empty.status, Status::Unreadable);
    EXPECT_TRUE(empty.lines.isEmpty());
    // The end of the file starts no 26th line, but one more line end makes an empty one.
    EXPECT_EQ(readBytes(profile, test::languageFile(test::numberedLines(25)) + "\r\n").status, Status::Complete);
    QDir program(profile.programFolder());
    program.mkdir(u"Folder.lng"_s);
    profile.writeProgramFile(u".Hidden.lng"_s, test::languageFile(lines));
    for (const QString &missing : {u"Nothing.lng"_s, u"Folder.lng"_s, u".Hidden.lng"_s})
        EXPECT_EQ(readLanguageFile(program.filePath(missing)).status, Status::Missing) << missing.toStdString();
    EXPECT_EQ(readLanguageFile(QString()).status, Status::Missing);
    QByteArray content = "\xEF\xBB\xBF&Zet\r\n  blanks stay  \r\n\r\n\xE9\xE9n \x80 \x93x\x94\r\nlone\rCR\r\n";
    for (int i = 6; i <= 26; ++i)
        content += "x\r\n";
    const LanguageFile file = readBytes(profile, content);
    ASSERT_EQ(file.status, Status::Complete);
    EXPECT_EQ(file.lines.mid(0, 5), (QStringList{u"\u00ef\u00bb\u00bf&Zet"_s, u"  blanks stay  "_s, QString(),
                                                  u"\u00e9\u00e9n \u20ac \u201cx\u201d"_s, u"lone\rCR"_s}));
}

const std::vector<std::pair<int, std::function<QString(Form1 &)>>> captionTargets = {
    {1, [](Form1 &m) { return m.Command1->text(); }}, {11, [](Form1 &m) { return m.menus.file->title(); }},
    {12, [](Form1 &m) { return m.menus.update->text(); }}, {13, [](Form1 &m) { return m.menus.close->text(); }},
    {14, [](Form1 &m) { return m.menus.options->title(); }}, {15, [](Form1 &m) { return m.menus.skin->text(); }},
    {16, [](Form1 &m) { return m.menus.deleteskins->text(); }},
    {17, [](Form1 &m) { return m.menus.manualskin->text(); }},
    {18, [](Form1 &m) { return m.menus.settings->text(); }}, {18, [](Form1 &m) { return m.form2().windowTitle(); }},
    {19, [](Form1 &m) { return m.menus.language->text(); }}, {20, [](Form1 &m) { return m.menus.out->text(); }},
    {21, [](Form1 &m) { return m.menus.in->text(); }}, {22, [](Form1 &m) { return m.menus.help->title(); }},
    {23, [](Form1 &m) { return m.menus.visit->text(); }}, {23, [](Form1 &m) { return m.form3().Label3->text(); }},
    {24, [](Form1 &m) { return m.form3().Label2->text(); }}, {25, [](Form1 &m) { return m.form3().Label5->text(); }},
    {26, [](Form1 &m) { return m.form2().Check1->text(); }},
};

class LoadLanguage : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageBox::takeShown();
        main.LoadDefaultLanguage();
        main.setStatusText(u"before"_s);
        profile.settings().save(Settings::languageApplication, u"language"_s, u"Test.lng"_s);
    }
    void load(int lines)
    {
        profile.writeProgramFile(u"Test.lng"_s, test::languageFile(test::numberedLines(lines)));
        main.LoadLanguage(main.programFile(u"Test.lng"_s));
    }
    void expectOneBoxAndForgotten(MessageBox::Icon icon, const QString &text)
    {
        const auto boxes = MessageBox::takeShown();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0].icon, icon);
        EXPECT_EQ(boxes[0].title, u"Error"_s);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(profile.settings().read(Settings::languageApplication, u"language"_s, u"absent"_s), QString());
    }
    TestProfile profile;
    Form1 main{profile.environment()};
};

TEST_F(LoadLanguage, AppliesEveryCaptionAndEntryThatLastsBeyondTheDialogsAndTheDutchTexts)
{
    load(27);
    ASSERT_EQ(captionTargets.size(), 19u);
    for (const auto &[line, caption] : captionTargets)
        EXPECT_EQ(caption(main), u"line %1"_s.arg(line));
    for (int line = 1; line <= 26; ++line)
        EXPECT_EQ(main.text.entry(line), u"line %1"_s.arg(line));
    EXPECT_EQ(main.statusText(), u"before"_s);
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
    EXPECT_EQ(profile.settings().read(Settings::languageApplication, u"language"_s, u"absent"_s), u"Test.lng"_s);
    EXPECT_FALSE(main.existingForm2()->isVisible() || main.existingForm3()->isVisible());
    main.form3().close();
    main.form2().close();
    test::processDeferredDeletes();
    ASSERT_FALSE(main.existingForm2() || main.existingForm3());
    EXPECT_EQ(main.form2().windowTitle(), u"line 18"_s);
    EXPECT_EQ(main.form2().Check1->text(), u"line 26"_s);
    EXPECT_EQ(main.form3().Label3->text(), u"line 23"_s);
    EXPECT_EQ(main.form3().Label5->text(), u"line 25"_s);
    main.LoadDefaultLanguage();
    EXPECT_EQ(main.text.msgSkinApplied, u"Skin succesvol als achtergrond geplaatst!"_s);
    EXPECT_EQ(main.text.msgErrorPrefix, u"Fout opgetreden: "_s);
    EXPECT_EQ(main.text.msgDownloadFailed, u"Fout bij het downloaden!"_s);
    EXPECT_EQ(main.text.capCommand1, u"line 1"_s);
    EXPECT_EQ(main.Command1->text(), u"line 1"_s);
    EXPECT_EQ(main.statusText(), u"Geladen"_s);
}

TEST_F(LoadLanguage, AShortFileKeepsWhatItReadButChangesNoCaptionAndAMissingOneLoadsDutchFirst)
{
    load(25);
    for (int line = 1; line <= 25; ++line)
        EXPECT_EQ(main.text.entry(line), u"line %1"_s.arg(line));
    EXPECT_EQ(main.text.capUpdateOnStart, QString()) << "line 26 keeps its previous text";
    EXPECT_EQ(main.Command1->text(), u"&Zet als skin"_s);
    EXPECT_EQ(main.menus.file->title(), u"&Bestand"_s);
    expectOneBoxAndForgotten(MessageBox::Icon::Critical, u"Error in language file, cannot read input. Restart "
                                                         u"this program to load the default language."_s);
    EXPECT_EQ(main.statusText(), u"before"_s);
    profile.settings().save(Settings::languageApplication, u"language"_s, u"Gone.lng"_s);
    main.text.msgLoaded = main.text.msgSkinDownloaded = u"stale"_s;
    main.LoadLanguage(main.programFile(u"Gone.lng"_s));
    EXPECT_EQ(main.statusText(), u"Geladen"_s);
    EXPECT_EQ(main.text.msgSkinDownloaded, u"Skin succesvol gedownload!"_s);
    expectOneBoxAndForgotten(MessageBox::Icon::Information,
                             u"Language file is missing. The default language will be loaded."_s);
}

TEST(EnglishLanguageFile, ShipsBesideTheProgramComplete)
{
    const QString path = QStringLiteral(VELLUMO_SOURCE_DIR "/share/lng/English.lng");
    const LanguageFile file = readLanguageFile(path);
    ASSERT_EQ(file.status, Status::Complete);
    EXPECT_EQ(file.lines[3], u"An error occurred: "_s) << "the prefix ends in a blank";
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_EQ(bytes.count("\r\n"), 26);
    EXPECT_EQ(bytes.count('\n'), 26) << "every line ends in CR LF";
}

} // namespace
