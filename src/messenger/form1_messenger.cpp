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

#include <functional>

namespace vellumo {

namespace {
// Visits the installations in their fixed order and hands the path of
// lvback.gif in each one that passes the command's presence test to change.
// A Failure thrown by change ends the visit.
void forEachBackground(const platform::Registry &registry, PresenceTest test,
                       const std::function<void(const QString &)> &change)
{
    const mdlRegistry reader(registry);
    for (const MessengerInstallation &installation : messengerInstallations) {
        const QString target = backgroundTarget(installation, reader, test);
        if (!target.isEmpty())
            change(target);
    }
}
} // namespace

void Form1::Command1_Click()
{
    try {
        const QString preview = programFile(QStringLiteral("Cache/temp.dat"));
        forEachBackground(*environment_.registry, PresenceTest::ProgramFile,
                          [&preview](const QString &target) { copyBackground(preview, target); });
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
        forEachBackground(*environment_.registry, PresenceTest::Background, &deleteBackground);
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
        forEachBackground(*environment_.registry, PresenceTest::Folder,
                          [&chosen](const QString &target) { copyBackground(chosen, target); });
        closemsn();
        setStatusText(text.msgSkinApplied);
    } catch (const Failure &failure) {
        reportFailure(failure);
    }
}

void Form1::closemsn()
{
    platform::closeMessengerWindows(environment_.closeHelper.toStdU16String(), environment_.closeHelperTimeLimitMs);
}

} // namespace vellumo
