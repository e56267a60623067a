// The main window's side of the texts: what it shows when a language is
// loaded, and the language menu command.

#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/message_box.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

namespace vellumo {

void Form1::LoadDefaultLanguage()
{
    localisation_.LoadDefaultLanguage();
    // This may be the first touch of the window, which runs its load step.
    // A failure that step reports stays on the status bar rather than being
    // covered at once by "Geladen".
    const bool loadsNow = !loaded_;
    ensureLoaded();
    if (!(loadsNow && loadFailed_))
        setStatusText(localisation_.text.msgLoaded);
}

void Form1::LoadLanguage(const QString &strBestandspad)
{
    switch (localisation_.LoadLanguage(strBestandspad)) {
    case Localisation::Outcome::Missing:
        LoadDefaultLanguage();
        MessageBox::show(MessageBox::Icon::Information, QStringLiteral("Error"),
                         QStringLiteral("Language file is missing. The default language will be loaded."));
        return;
    case Localisation::Outcome::Broken:
        ensureLoaded();
        MessageBox::show(MessageBox::Icon::Critical, QStringLiteral("Error"),
                         QStringLiteral("Error in language file, cannot read input. "
                                        "Restart this program to load the default language."));
        return;
    case Localisation::Outcome::Applied:
        ensureLoaded();
        applyCaptions(localisation_.text);
        return;
    }
}

void Form1::applyCaptions(const TextTable &captions)
{
    Command1->setText(captions.capCommand1);
    menus.file->setTitle(captions.capFile);
    menus.update->setText(captions.capUpdate);
    menus.close->setText(captions.capClose);
    menus.options->setTitle(captions.capOptions);
    menus.skin->setText(captions.capSkin);
    menus.deleteskins->setText(captions.capDeleteSkins);
    menus.manualskin->setText(captions.capManualSkin);
    menus.settings->setText(captions.capSettings);
    menus.language->setText(captions.capLanguage);
    menus.out->setText(captions.capOut);
    menus.in->setText(captions.capIn);
    menus.help->setTitle(captions.capHelp);
    menus.visit->setText(captions.capVisit);
    form2().applyCaptions(captions);
    form3().applyCaptions(captions);
}

void Form1::language_Click()
{
    Form4 &chooser = form4();
    chooser.show();
    chooser.raise();
    chooser.activateWindow();
}

} // namespace vellumo
