#include "messenger/background_file.h"

#include "app/failure.h"
#include "app/new_file.h"
#include "platform/replace_file.h"

#include <QFile>
#include <QFileInfo>

namespace vellumo {

namespace {
// The file's own mode bits; the "user" bits would tell what this process
// may do, and root may write anything.
constexpr QFileDevice::Permissions writeBits
    = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

[[noreturn]] void failWith(QFileDevice::FileError error)
{
    throw Failure{error == QFileDevice::PermissionsError ? FailureCode::PermissionDenied
                                                         : FailureCode::PathFileAccessError};
}
} // namespace

bool isReadOnlyFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !(info.permissions() & writeBits);
}

void copyBackground(const QString &source, const QString &target)
{
    QFile input(source);
    if (!QFileInfo(source).isFile())
        throw Failure{FailureCode::FileNotFound};
    if (!input.open(QIODevice::ReadOnly))
        failWith(input.error());
    if (isReadOnlyFile(target) || QFileInfo(target).isDir())
        throw Failure{FailureCode::PermissionDenied};

    // Written beside the target and put in its place by a rename: a link
    // named lvback.gif is replaced, never written through.
    QFile output;
    if (!openNewFileBeside(output, target))
        failWith(output.error());
    const struct RemovedUnlessInPlace {
        QFile &file;
        ~RemovedUnlessInPlace()
        {
            if (!file.fileName().isEmpty())
                file.remove();
        }
    } removed{output};
    char buffer[64 * 1024];
    for (;;) {
        const qint64 read = input.read(buffer, sizeof buffer);
        if (read < 0)
            throw Failure{FailureCode::PathFileAccessError};
        if (read == 0)
            break;
        if (output.write(buffer, read) != read)
            failWith(output.error());
    }
    output.close();
    if (output.error() != QFileDevice::NoError)
        failWith(output.error());
    if (const QFileInfo earlier(target); earlier.isFile())
        output.setPermissions(earlier.permissions()); // as the picture it replaces
    if (!platform::replaceFileDurably(output.fileName().toStdU16String(), target.toStdU16String()))
        throw Failure{FailureCode::PathFileAccessError};
    output.setFileName(QString());
}

void deleteBackground(const QString &target)
{
    if (isReadOnlyFile(target))
        throw Failure{FailureCode::PermissionDenied};
    if (!QFile::remove(target)) {
        const bool folderWritable = QFileInfo(QFileInfo(target).absolutePath()).isWritable();
        throw Failure{folderWritable ? FailureCode::PathFileAccessError : FailureCode::PermissionDenied};
    }
}

} // namespace vellumo
