#include "app/program_files.h"

#include "app/failure.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace vellumo {

ProgramFiles::ProgramFiles(QString programFolder)
    : folder_(std::move(programFolder))
{
}

QString ProgramFiles::file(const QString &name) const
{
    return QDir::toNativeSeparators(QDir(folder_).filePath(name));
}

QString ProgramFiles::cacheLocation() const
{
    if (!cacheLocation_.isEmpty())
        return cacheLocation_;
    QTemporaryFile probe(QDir(folder_).filePath(QStringLiteral(".write-test-XXXXXX")));
    if (probe.open() || !QFileInfo::exists(folder_))
        return cacheLocation_ = file(QStringLiteral("Cache"));
    const QString userCache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return cacheLocation_ = QDir::toNativeSeparators(userCache + QStringLiteral("/vellumo/Cache"));
}

QString ProgramFiles::cacheFolder() const
{
    const QString folder = cacheLocation();
    if (QFileInfo(folder).isDir())
        return folder;
    // A program folder that is gone is not made anew; the user's cache folder may be.
    const bool made = folder == file(QStringLiteral("Cache")) ? QDir().mkdir(folder) : QDir().mkpath(folder);
    if (!made)
        throw Failure{QFileInfo::exists(folder_) ? FailureCode::PathFileAccessError : FailureCode::PathNotFound};
    return folder;
}

QString ProgramFiles::previewFile() const
{
    return QDir::toNativeSeparators(QDir(cacheLocation()).filePath(QStringLiteral("temp.dat")));
}

} // namespace vellumo
