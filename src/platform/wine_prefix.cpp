#include "platform/wine_prefix.h"

#include <QDir>

namespace vellumo::platform {

QString winePrefixFolder()
{
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    return prefix.isEmpty() ? QDir::home().filePath(QStringLiteral(".wine")) : prefix;
}

} // namespace vellumo::platform
