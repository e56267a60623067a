#include "platform/single_instance.h"

#include <QDir>

namespace vellumo::platform {

SingleInstanceAddress singleInstanceAddress()
{
    // Named pipes are machine-wide; the user's name keeps each user's own.
    const QString name = QStringLiteral("Vellumo-") + qEnvironmentVariable("USERDOMAIN") + QLatin1Char('-')
                         + qEnvironmentVariable("USERNAME");
    return {name, QDir(QDir::tempPath()).filePath(name + QStringLiteral(".lock"))};
}

} // namespace vellumo::platform
