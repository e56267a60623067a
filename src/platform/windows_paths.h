#pragma once

#include <QString>

namespace vellumo::platform {

// The local path of a Windows path read from the registry, such as
// "C:\Program Files\Messenger\lvback.gif". On Windows it is the path
// itself. Under Wine it lies in the prefix: the drive through the prefix's
// dosdevices link, each component matched without regard to case as Wine
// does, ".." never above the drive's root; components that do not exist are
// kept as written. A trailing separator is kept. Empty when the path has no
// drive the prefix knows.
QString localPathOfWindowsPath(const QString &windowsPath);

} // namespace vellumo::platform
