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
    changeEach(PresenceTest::ProgramFile, [&picture](const QString &target) { copyBackground(picture, target); },
               texts_.msgSkinApplied);
}

void BackgroundInstaller::remove()
{
    changeEach(PresenceTest::Background, &deleteBackground, texts_.msgSkinRemoved);
}

void BackgroundInstaller::installFromDisk(const QString &picture)
{
    try {
        report_.showPicture(readPictureFile(picture));
    } catch (const Failure &failure) {
        return report_.reportFailure(failure);
    }
    changeEach(PresenceTest::Folder, [&picture](const QString &target) { copyBackground(picture, target); },
               texts_.msgSkinApplied);
}

void BackgroundInstaller::changeEach(PresenceTest test, const std::function<void(const QString &)> &change,
                                     const QString &done)
{
    try {
        const mdlRegistry reader(registry_);
        int changed = 0;
        for (const MessengerInstallation &installation : messengerInstallations) {
            const QString target = backgroundTarget(installation, reader, test);
            if (!target.isEmpty()) {
                change(target);
                ++changed;
            }
        }
        // A picture that went nowhere is no success; nothing left to remove is.
        if (changed == 0 && test != PresenceTest::Background)
            throw Failure{FailureCode::FileNotFound};
        closemsn();
        report_.showStatus(done);
    } catch (const Failure &failure) {
        report_.reportFailure(failure);
    }
}

void BackgroundInstaller::closemsn()
{
    platform::closeMessengerWindows(closeHelper_);
}

} // namespace vellumo
