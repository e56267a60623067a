#include "messenger/background_installer.h"

#include "app/command_report.h"
#include "app/failure.h"
#include "catalogue/picture_file.h"
#include "localisation/text_table.h"
#include "messenger/background_file.h"
#include "messenger/installations.h"
#include "messenger/mdl_registry.h"
#include "platform/messenger_windows.h"

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

BackgroundInstaller::BackgroundInstaller(const platform::Registry &registry, platform::CloseHelper closeHelper,
                                         CommandReport &report, const TextTable &texts)
    : registry_(registry)
    , closeHelper_(std::move(closeHelper))
    , report_(report)
    , texts_(texts)
{
}

void BackgroundInstaller::install(const QString &picture)
{
    try {
        forEachBackground(registry_, PresenceTest::ProgramFile,
                          [&picture](const QString &target) { copyBackground(picture, target); });
        closemsn();
        report_.showStatus(texts_.msgSkinApplied);
    } catch (const Failure &failure) {
        report_.reportFailure(failure);
    }
}

void BackgroundInstaller::remove()
{
    try {
        forEachBackground(registry_, PresenceTest::Background, &deleteBackground);
        closemsn();
        report_.showStatus(texts_.msgSkinRemoved);
    } catch (const Failure &failure) {
        report_.reportFailure(failure);
    }
}

void BackgroundInstaller::installFromDisk(const QString &picture)
{
    try {
        report_.showPicture(readPictureFile(picture));
        forEachBackground(registry_, PresenceTest::Folder,
                          [&picture](const QString &target) { copyBackground(picture, target); });
        closemsn();
        report_.showStatus(texts_.msgSkinApplied);
    } catch (const Failure &failure) {
        report_.reportFailure(failure);
    }
}

void BackgroundInstaller::closemsn()
{
    platform::closeMessengerWindows(closeHelper_);
}

} // namespace vellumo
