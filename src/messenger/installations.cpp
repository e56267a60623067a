#include "messenger/installations.h"

#include "messenger/mdl_registry.h"
#include "platform/ordinary_file.h"
#include "platform/windows_paths.h"

#include <QFileInfo>

namespace vellumo {

const std::array<MessengerInstallation, 2> messengerInstallations = {
    MessengerInstallation{QStringLiteral("HKLM\\Software\\Microsoft\\MessengerService\\InstallationDirectory"),
                          QStringLiteral("msmsgs.exe")},
    MessengerInstallation{QStringLiteral("HKLM\\Software\\Microsoft\\MSNMessenger\\InstallationDirectory"),
                          QStringLiteral("msnmsgr.exe")},
};

QString joinWindowsPath(const QString &folder, const QString &name)
{
    return folder.endsWith(u'\\') || folder.endsWith(u'/') ? folder + name : folder + u'\\' + name;
}

QString backgroundTarget(const MessengerInstallation &installation, const mdlRegistry &registry, PresenceTest test)
{
    const QString folder = registry.ReadRegistryValue(installation.registryValue);
    if (folder.isEmpty())
        return {};
    const auto localFile = [&folder](const QString &name) {
        return platform::localPathOfWindowsPath(joinWindowsPath(folder, name)).toStdU16String();
    };
    const std::u16string target = localFile(backgroundFileName);

    bool present = false;
    switch (test) {
    case PresenceTest::ProgramFile:
        present = platform::isOrdinaryFile(localFile(installation.programFile));
        break;
    case PresenceTest::Background:
        present = platform::isOrdinaryFile(target);
        break;
    case PresenceTest::Folder: {
        const QString local = platform::localPathOfWindowsPath(folder);
        present = !local.isEmpty() && QFileInfo(local).isDir();
        break;
    }
    }
    return present ? QString::fromStdU16String(target) : QString();
}

} // namespace vellumo
