#include "platform/single_instance.h"

#include <QDir>

#include <unistd.h>

namespace vellumo::platform {

SingleInstanceAddress singleInstanceAddress()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString socket = !runtime.isEmpty() && QDir(runtime).exists()
                               ? QDir(runtime).filePath(QStringLiteral("vellumo.socket"))
                               : QDir(QDir::tempPath()).filePath(QStringLiteral("vellumo-%1.socket").arg(getuid()));
    return {socket, socket + QStringLiteral(".lock")};
}

} // namespace vellumo::platform
