#include "platform/windows_paths.h"

namespace vellumo::platform {

QString localPathOfWindowsPath(const QString &windowsPath)
{
    return windowsPath;
}

} // namespace vellumo::platform
