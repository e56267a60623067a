// The main window's language procedures and the language menu command.

#include "app/form1.h"
#include "app/settings.h"
#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "dialogs/link_label.h"
#include "dialogs/message_box.h"
#include "dialogs/tri_state_check_box.h"
#include "localisation/form4.h"
#include "localisation/language_file.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace vellumo {

void Form1::LoadDefaultLanguage()
{
    const TextTable &builtIn = builtInTexts();
    for (int line = 2; line <= 8; ++line)
        text.entry(line) = builtIn.entry(line);

    // This may be the first touch of the window, which runs its load step.
    // A failure that step reports stays on the status bar rather than being
    // covered at once by "Geladen".
    const bool loadsNow = !loaded_;
    ensureLoaded();
    if (!(loadsNow && loadFailed_))
        setStatusText(text.msgLoaded);

    text.msgDownloadFailed = builtIn.msgDownloadFailed;
    text.msgSkinDownloaded = builtIn.msgSkinDownloaded;
}

void Form1::LoadLanguage(const QString &strBestandspad)
{
    Settings &settings = *environment_.settings;
    const LanguageFile file = readLanguageFile(strBestandspad);

    if (file.status == LanguageFile::Status::Missing) {
        settings.setLanguage(QString());
        LoadDefaultLanguage();
        MessageBox::show(MessageBox::Icon::Information, QStringLiteral("Error"),
                         QStringLiteral("Language file is missing. The default language will be loaded."));
        return;
    }

    // Each line takes its entry as it is read, so a short file leaves the
    // lines before its end in place.
    for (int i = 0; i < file.lines.size(); ++i)
        text.entry(i + 1) = file.lines.at(i);

    ensureLoaded();
    if (file.status != LanguageFile::Status::Complete) {
        settings.setLanguage(QString());
        MessageBox::show(MessageBox::Icon::Critical, QStringLiteral("Error"),
                         QStringLiteral("Error in language file, cannot read input. "
                                        "Restart this program to load the default language."));
        return;
    }
    applyCaptions();
}

void Form1::applyCaptions()
{
    appliedCaptions_ = text;
    Command1->setText(text.capCommand1);
    menus.file->setTitle(text.capFile);
    menus.update->setText(text.capUpdate);
    menus.close->setText(text.capClose);
    menus.options->setTitle(text.capOptions);
    menus.skin->setText(text.capSkin);
    menus.deleteskins->setText(text.capDeleteSkins);
    menus.manualskin->setText(text.capManualSkin);
    menus.settings->setText(text.capSettings);
    form2().setWindowTitle(text.capSettings);
    menus.language->setText(text.capLanguage);
    menus.out->setText(text.capOut);
    menus.in->setText(text.capIn);
    menus.help->setTitle(text.capHelp);
    menus.visit->setText(text.capVisit);
    form3().Label3->setText(text.capVisit);
    form3().Label2->setText(text.capMadeFor);
    form3().Label5->setText(text.capThanks);
    form2().Check1->setText(text.capUpdateOnStart);
}

void Form1::applyDialogCaptions(Form2 *form2, Form3 *form3)
{
    // Dialogs made again after being closed keep the language's captions.
    if (!appliedCaptions_)
        return;
    const TextTable &captions = *appliedCaptions_;
    if (form2) {
        form2->setWindowTitle(captions.capSettings);
        form2->Check1->setText(captions.capUpdateOnStart);
    }
    if (form3) {
        form3->Label3->setText(captions.capVisit);
        form3->Label2->setText(captions.capMadeFor);
        form3->Label5->setText(captions.capThanks);
    }
}

void Form1::language_Click()
{
    Form4 &chooser = form4();
    chooser.show();
    chooser.raise();
    chooser.activateWindow();
}

} // namespace vellumo
