// system.reg: the installation folders read the same whatever the names' case, and map inside C:.

#include "fuzz_check.h"
#include "messenger/installations.h"
#include "platform/registry.h"
#include "platform/windows_paths.h"

#include <QDir>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const QDir prefix(QFileInfo(writeInput(nullptr, 0, QStringLiteral("system.reg"))).path());
    FUZZ_CHECK(prefix.mkpath(QStringLiteral("dosdevices/c:/Program Files/MSN Messenger")));
    qputenv("WINEPREFIX", prefix.path().toLocal8Bit());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString prefix = QFileInfo(writeInput(data, size, QStringLiteral("system.reg"))).path();
    const QString drive = prefix + QStringLiteral("/dosdevices/c:");
    const auto registry = platform::createMachineRegistry();
    for (const MessengerInstallation &installation : messengerInstallations) {
        const std::u16string folder = registry->readValue(installation.registryValue.toStdU16String());
        FUZZ_CHECK(registry->readValue(installation.registryValue.toLower().toStdU16String()) == folder);
        const QString local = QDir::cleanPath(platform::localPathOfWindowsPath(QString::fromStdU16String(folder)));
        FUZZ_CHECK(local.isEmpty() || local == drive || local.startsWith(drive + u'/'));
    }
    return 0;
}
