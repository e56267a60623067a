#include "platform/wine_prefix.h"
#include "platform/windows_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace vellumo::platform {

namespace {
// The entry of folder named like name, ignoring case; an exact match wins.
QString matchingEntry(const QString &folder, const QString &name)
{
    if (QFileInfo::exists(folder + QLatin1Char('/') + name))
        return name;
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return name;
}
} // namespace

QString localPathOfWindowsPath(const QString &windowsPath)
{
    QString path = windowsPath;
    path.replace(u'/', u'\\');
    if (path.size() < 2 || path[1] != u':' || !path[0].isLetter())
        return {};
    const QString drive = QDir(winePrefixFolder()).filePath(QStringLiteral("dosdevices/") + path[0].toLower() + u':');
    if (!QFileInfo(drive).isDir())
        return {};

    QStringList components;
    for (const QString &component : path.mid(2).split(u'\\', Qt::SkipEmptyParts)) {
        if (component == u".")
            continue;
        if (component == u"..") {
            if (!components.isEmpty())
                components.removeLast();
            continue;
        }
        components.append(component);
    }

    QString local = drive;
    for (const QString &component : components)
        local += QLatin1Char('/') + matchingEntry(local, component);
    if (path.endsWith(u'\\'))
        local += QLatin1Char('/');
    return local;
}

} // namespace vellumo::platform
