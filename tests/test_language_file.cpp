// Reading language files and applying them to the windows.

#include "caption_fit.h"
#include "localisation/language_file.h"
#include "localisation/localisation.h"
#include "support/test_profile.h"
#include "windows/appearance.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/link_label.h"
#include "windows/message_box.h"
#include "windows/tri_state_check_box.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QStringDecoder>

#include <gtest/gtest.h>

using namespace vellumo;
using namespace Qt::StringLiterals;
using Status = LanguageFile::Status;

namespace {

// How lines are counted and cut, and when a file is complete, the fuzz target
// language_file checks on its corpus.
TEST(LanguageFileReader, FindsOnlyOrdinaryFilesAndReadsWindows1252)
{
    test::TestProfile profile;
    const QDir program(profile.programFolder());
    program.mkdir(u"Folder.lng"_s);
    profile.writeProgramFile(u".Dotted.lng"_s, test::languageFile(test::numberedLines()));
    EXPECT_EQ(readLanguageFile(program.filePath(u".Dotted.lng"_s)).status, Status::Complete) << "no hidden file";
    for (const QString &missing : {u"Nothing.lng"_s, u"Folder.lng"_s, QString()})
        EXPECT_EQ(readLanguageFile(missing.isEmpty() ? missing : program.filePath(missing)).status, Status::Missing)
            << missing.toStdString();
    profile.writeProgramFile(u"Test.lng"_s, "\xEF\xBB\xBF&Zet\r\n  blanks stay  \r\n\r\n\xE9\xE9n \x80 \x93x\x94\r\nlone\rCR\r\n"
                                                + QByteArray("x\r\n").repeated(21));
    const LanguageFile file = readLanguageFile(program.filePath(u"Test.lng"_s));
    ASSERT_EQ(file.status, Status::Complete);
    EXPECT_EQ(file.lines.mid(0, 5), (QStringList{u"\u00ef\u00bb\u00bf&Zet"_s, u"  blanks stay  "_s, QString(),
                                                  u"\u00e9\u00e9n \u20ac \u201cx\u201d"_s, u"lone\rCR"_s}));
}

// What the windows show of a language file, the texts behind them and the stored choice.
class LoadLanguage : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageBox::takeShown();
        main.LoadDefaultLanguage();
        main.setStatusText(u"before"_s);
        profile.settings().setLanguage(u"Test.lng"_s);
    }
    void load(int lines)
    {
        profile.writeProgramFile(u"Test.lng"_s, test::languageFile(test::numberedLines(lines)));
        main.LoadLanguage(main.files().file(u"Test.lng"_s));
    }
    void expectOneBox(MessageBox::Icon icon, const QString &text)
    {
        const auto boxes = MessageBox::takeShown();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(std::tie(boxes[0].icon, boxes[0].title, boxes[0].text), std::tuple(icon, u"Error"_s, text));
    }
    test::TestProfile profile;
    Form1 main{profile.environment()};
};

TEST_F(LoadLanguage, AppliesEveryCaptionThatLastsBeyondTheDialogs)
{
    load(27);
    for (int pass = 0; pass < 2; ++pass) { // the second time in dialogs made again after their close
        const std::tuple<int, QObject *, const char *> captions[] = {
            {1, main.Command1, "text"}, {11, main.menus.file, "title"}, {12, main.menus.update, "text"},
            {13, main.menus.close, "text"}, {14, main.menus.options, "title"}, {15, main.menus.skin, "text"},
            {16, main.menus.deleteskins, "text"}, {17, main.menus.manualskin, "text"},
            {18, main.menus.settings, "text"}, {18, &main.form2(), "windowTitle"}, {19, main.menus.language, "text"},
            {20, main.menus.out, "text"}, {21, main.menus.in, "text"}, {22, main.menus.help, "title"},
            {23, main.menus.visit, "text"}, {23, main.form3().Label3, "text"}, {24, main.form3().Label2, "text"},
            {25, main.form3().Label5, "text"}, {26, main.form2().Check1, "text"},
        };
        for (const auto &[line, control, property] : captions)
            EXPECT_EQ(control->property(property).toString(), u"line %1"_s.arg(line)) << "pass " << pass;
        EXPECT_FALSE(main.existingForm2()->isVisible() || main.existingForm3()->isVisible());
        main.form3().close();
        main.form2().close();
        test::processDeferredDeletes();
        ASSERT_FALSE(main.existingForm2() || main.existingForm3());
    }
    for (int line = 1; line <= 26; ++line)
        EXPECT_EQ(main.localisation().text.entry(line), u"line %1"_s.arg(line));
    EXPECT_EQ(profile.settings().language(), u"Test.lng"_s);
    EXPECT_EQ(main.statusText(), u"before"_s);
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
    main.LoadDefaultLanguage();
    for (int line = 2; line <= 10; ++line) // the messages are Dutch again
        EXPECT_EQ(main.localisation().text.entry(line), builtInTexts().entry(line));
    EXPECT_EQ(main.Command1->text(), u"line 1"_s) << "captions stay until the next start";
    EXPECT_EQ(main.statusText(), u"Geladen"_s);
}

// A short or a missing file is forgotten: the next start speaks Dutch.
TEST_F(LoadLanguage, AShortFileChangesNoCaptionButItsLinesAndAMissingOneLoadsDutchFirst)
{
    load(25);
    EXPECT_EQ(main.Command1->text(), u"&Zet als skin"_s);
    EXPECT_EQ(main.form3().Label5->text(), builtInTexts().capThanks) << "nor on a dialog made later";
    EXPECT_EQ(main.localisation().text.entry(25), u"line 25"_s) << "the lines before the end are taken";
    expectOneBox(MessageBox::Icon::Critical, u"Error in language file, cannot read input. Restart "
                                             u"this program to load the default language."_s);
    EXPECT_EQ(main.statusText(), u"before"_s);
    EXPECT_EQ(profile.settings().language(), QString());
    profile.settings().setLanguage(u"Gone.lng"_s);
    main.LoadLanguage(main.files().file(u"Gone.lng"_s));
    EXPECT_EQ(main.statusText(), u"Geladen"_s) << "line 8 of the short file is forgotten";
    expectOneBox(MessageBox::Icon::Information, u"Language file is missing. The default language will be loaded."_s);
    EXPECT_EQ(profile.settings().language(), QString());
}

// Every language file that ships, read by the program and shown in its windows.
TEST(ShippedLanguageFiles, AreWindows1252WithCrLfAndTheirCaptionsFitWithUniqueAccessKeys)
{
    const QDir folder(u"" VELLUMO_SOURCE_DIR "/share/lng"_s);
    const QStringList names = folder.entryList({u"*.lng"_s}, QDir::Files);
    EXPECT_EQ(names, (QStringList{u"Deutsch.lng"_s, u"English.lng"_s, u"Espanol.lng"_s, u"Francais.lng"_s,
                                  u"Italiano.lng"_s}));
    const auto restoreFont = qScopeGuard([font = QApplication::font()] { QApplication::setFont(font); });
    QApplication::setFont(programFont()); // the font the layouts are measured in
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        QFile raw(folder.filePath(name));
        const QByteArray bytes = raw.open(QIODevice::ReadOnly) ? raw.readAll() : QByteArray();
        EXPECT_TRUE(bytes.count("\r\n") == 26 && bytes.count('\n') == 26) << "every line ends in CR LF";
        // Letters beyond ASCII that make valid UTF-8 were saved in the wrong encoding.
        QStringDecoder utf8(QStringDecoder::Utf8);
        EXPECT_TRUE(QString(utf8.decode(bytes)).toLatin1() == bytes || utf8.hasError()) << "saved as UTF-8";
        const LanguageFile file = readLanguageFile(folder.filePath(name));
        ASSERT_EQ(file.status, Status::Complete);
        for (const QString &line : file.lines)
            EXPECT_FALSE(std::ranges::any_of(line, [](QChar c) { return c.category() == QChar::Other_Control
                                                                        || c == QChar::ReplacementCharacter; }))
                << line.toStdString();
        EXPECT_TRUE(file.lines[3].endsWith(u": "_s)) << "the failure prefix ends in a blank";

        test::TestProfile profile;
        profile.writeProgramFile(name, bytes);
        Form1 main{profile.environment()};
        main.LoadLanguage(main.files().file(name));
        EXPECT_EQ(main.Command1->text(), file.lines[0]);
        QAction button(main.Command1->text()); // shares its access key with the menu bar
        for (const QList<QAction *> &menu : {main.menuBar()->actions() << &button, main.menus.file->actions(),
                                             main.menus.options->actions(), main.menus.help->actions()}) {
            QStringList keys;
            for (const QAction *action : menu)
                keys << QKeySequence::mnemonic(action->text()).toString();
            keys.removeAll(QString());
            EXPECT_EQ(keys.removeDuplicates(), 0) << "an access key twice in one menu";
        }
        for (const QWidget *window : std::initializer_list<const QWidget *>{&main, &main.form2(), &main.form3()})
            for (const screenshots::CaptionFit &fit : screenshots::captionFits(*window))
                EXPECT_TRUE(fit.fits()) << "clipped: " << fit.text.toStdString();
    }
    // The measure itself, on captions a little too long for the button, the check box and a wrapping label.
    test::TestProfile profile;
    Form1 main{profile.environment()};
    main.Command1->setText(u"&Set as the background"_s);
    main.form2().Check1->setText(u"Update the skin list at every start-up (recommended)"_s);
    main.form3().Label5->setText(main.form3().Label5->text().repeated(2).left(200));
    for (const QWidget *window : std::initializer_list<const QWidget *>{&main, &main.form2(), &main.form3()})
        EXPECT_EQ(std::ranges::count_if(screenshots::captionFits(*window), [](auto &fit) { return !fit.fits(); }), 1);
}

} // namespace
