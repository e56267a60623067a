// The main window's commands that install and remove Messenger's background.

#include "app/failure.h"
#include "app/form1.h"
#include "catalogue/picture_file.h"
#include "dialogs/file_dialog.h"
#include "messenger/background_file.h"
#include "messenger/installations.h"
#include "messenger/mdl_registry.h"
#include "platform/messenger_windows.h"

#include <QLabel>

namespace vellumo {

void Form1::Command1_Click()
{
    try {
        const mdlRegistry registry(*environment_.registry);
        const QString preview = programFile(QStringLiteral("Cache/temp.dat"));
        for (const MessengerInstallation &installation : messengerInstallations) {
            const QString target = backgroundTarget(installation, registry, PresenceTest::ProgramFile);
            if (!target.isEmpty())
                copyBackground(preview, target);
        }
        closemsn();
        setStatusText(text.msgSkinApplied);
    } catch (const Failure &failure) {
        reportFailure(failure);
    }
}

void Form1::skin_Click()
{
    Command1_Click();
}

void Form1::deleteskins_Click()
{
    try {
        const mdlRegistry registry(*environment_.registry);
        for (const MessengerInstallation &installation : messengerInstallations) {
            const QString target = backgroundTarget(installation, registry, PresenceTest::Background);
            if (!target.isEmpty())
                deleteBackground(target);
        }
        closemsn();
        setStatusText(text.msgSkinRemoved);
    } catch (const Failure &failure) {
        reportFailure(failure);
    }
}

void Form1::manualskin_Click()
{
    const QString chosen = FileDialog::getOpenFileName(this, QStringLiteral("GIF-files (*.gif)"));
    if (chosen.isEmpty())
        return;
    try {
        scrSkin->setPixmap(QPixmap::fromImage(readPictureFile(chosen)));
        const mdlRegistry registry(*environment_.registry);
        for (const MessengerInstallation &installation : messengerInstallations) {
            const QString target = backgroundTarget(installation, registry, PresenceTest::Folder);
            if (!target.isEmpty())
                copyBackground(chosen, target);
        }
        closemsn();
        setStatusText(text.msgSkinApplied);
    } catch (const Failure &failure) {
        reportFailure(failure);
    }
}

void Form1::closemsn()
{
    platform::closeMessengerWindows(environment_.closeHelper.toStdU16String());
}

} // namespace vellumo
