#include "messenger/installations.h"

#include "messenger/mdl_registry.h"
#include "platform/windows_paths.h"

#include <QFileInfo>

namespace vellumo {

const std::array<MessengerInstallation, 2> messengerInstallations = {
    MessengerInstallation{QStringLiteral("HKLM\\Software\\Microsoft\\MessengerService\\InstallationDirectory"),
                          QStringLiteral("msmsgs.exe"), true},
    MessengerInstallation{QStringLiteral("HKLM\\Software\\Microsoft\\MSNMessenger\\InstallationDirectory"),
                          QStringLiteral("msnmsgr.exe"), false},
};

QString MessengerInstallation::join(const QString &folder, const QString &name) const
{
    return joinWithSeparator ? folder + QLatin1Char('\\') + name : folder + name;
}

namespace {
bool isOrdinaryFile(const QString &path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isFile() && !info.isHidden();
}
} // namespace

QString backgroundTarget(const MessengerInstallation &installation, const mdlRegistry &registry, PresenceTest test)
{
    const QString folder = registry.ReadRegistryValue(installation.registryValue);
    if (folder.isEmpty())
        return {};

    bool present = false;
    switch (test) {
    case PresenceTest::ProgramFile:
        present = isOrdinaryFile(platform::localPathOfWindowsPath(installation.join(folder, installation.programFile)));
        break;
    case PresenceTest::Background:
        present = isOrdinaryFile(platform::localPathOfWindowsPath(installation.join(folder, backgroundFileName)));
        break;
    case PresenceTest::Folder: {
        const QString path = installation.joinWithSeparator ? folder + QLatin1Char('\\') : folder;
        const QString local = platform::localPathOfWindowsPath(path);
        present = !local.isEmpty() && QFileInfo(local).isDir();
        break;
    }
    }
    return present ? platform::localPathOfWindowsPath(installation.join(folder, backgroundFileName)) : QString();
}

} // namespace vellumo
