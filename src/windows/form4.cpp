#include "windows/form4.h"

#include "app/settings.h"
#include "platform/ordinary_file.h"
#include "windows/form1.h"
#include "windows/message_box.h"
#include "windows/twips.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace vellumo {

Form4::Form4(Form1 &mainWindow)
    : ToolDialog(QStringLiteral("Choose your language / Kies je taal"), 4680, 2370)
    , main_(mainWindow)
{
    Frame1 = separatorLine(twipsRect(120, 1680, 4455, 135));

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(twipsRect(3480, 1920, 1095, 375));

    File1 = new QListWidget(this);
    File1->setGeometry(twipsRect(120, 840, 4455, 870));
    File1->setSelectionMode(QAbstractItemView::SingleSelection);
    File1->setEditTriggers(QAbstractItemView::NoEditTriggers);

    Label1 = label(QStringLiteral("Please select a language file and click the OK button."),
                   twipsRect(120, 1920, 2295, 375), true);
    Label2 = label(QStringLiteral("Don't select anything if you want to load the default language."),
                   twipsRect(120, 120, 4575, 255), true);

    Line1 = separatorLine(QRect(px(120), px(360) - 1, px(4440) - px(120), 2));

    Label3 = label(QStringLiteral("Selecteer niets als je de Nederlandse taal wilt laden."),
                   twipsRect(120, 400, 4455, 255), true);

    setTabOrder(Command1, File1);
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
}

void Form4::fillFileList()
{
    File1->clear();
    // Ordinary files only; the pattern matches without regard to case, as on Windows.
    const QDir folder(main_.environment().programFolder);
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase)) {
        if (name.endsWith(QStringLiteral(".lng"), Qt::CaseInsensitive)
            && platform::isOrdinaryFile(folder.filePath(name).toStdU16String()))
            File1->addItem(name);
    }
}

void Form4::Form_Load()
{
    fillFileList();

    Settings &settings = *main_.environment().settings;
    const QString language = settings.language();
    if (language.isEmpty())
        main_.LoadDefaultLanguage();
    else
        main_.LoadLanguage(main_.files().file(language));

    if (settings.languageChosen()) {
        hidOnLoad_ = true;
        hide();
        main_.show();
    }
}

void Form4::Command1_Click()
{
    Settings &settings = *main_.environment().settings;
    settings.setLanguageChosen();

    const QList<QListWidgetItem *> selected = File1->selectedItems();
    const QString name = selected.isEmpty() ? QString() : selected.first()->text();
    settings.setLanguage(name);

    if (!name.isEmpty()) {
        main_.LoadLanguage(main_.files().file(name));
    } else {
        MessageBox::show(MessageBox::Icon::Information, QStringLiteral("Language"),
                         QStringLiteral("No language file selected, the default language (Dutch), will be loaded.\r\n"
                                        "It will take a effect when the program will be restarted."),
                         this);
    }

    main_.setStatusText(QString());
    closingByOk_ = true;
    close();
    main_.show();
}

void Form4::closeEvent(QCloseEvent *event)
{
    ToolDialog::closeEvent(event);
    // Closed by its close box while the main window has not been shown yet:
    // nothing would be left on screen, so the program ends.
    if (!closingByOk_ && !main_.isVisible())
        main_.close();
}

} // namespace vellumo
