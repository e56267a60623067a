#include "platform/replace_file.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace vellumo::platform {

namespace {
QByteArray encoded(const std::u16string &path)
{
    return QFile::encodeName(QString::fromStdU16String(path));
}

bool sync(const QByteArray &path, int flags)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | flags);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return synced;
}
} // namespace

bool replaceFile(const std::u16string &from, const std::u16string &to)
{
    return std::rename(encoded(from).constData(), encoded(to).constData()) == 0;
}

bool replaceFileDurably(const std::u16string &from, const std::u16string &to)
{
    if (!sync(encoded(from), O_NOFOLLOW) || !replaceFile(from, to))
        return false;
    // The folder holds the new name; a file system that cannot sync a folder has it in place all the same.
    sync(QFile::encodeName(QFileInfo(QString::fromStdU16String(to)).absolutePath()), O_DIRECTORY);
    return true;
}

} // namespace vellumo::platform
