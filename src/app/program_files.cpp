#include "app/program_files.h"

#include "app/failure.h"

#include <QDir>
#include <QFileInfo>

namespace vellumo {

ProgramFiles::ProgramFiles(QString programFolder)
    : folder_(std::move(programFolder))
{
}

QString ProgramFiles::file(const QString &name) const
{
    return QDir::toNativeSeparators(QDir(folder_).filePath(name));
}

QString ProgramFiles::cacheFolder() const
{
    const QString folder = file(QStringLiteral("Cache"));
    if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder))
        throw Failure{QFileInfo::exists(folder_) ? FailureCode::PathFileAccessError : FailureCode::PathNotFound};
    return folder;
}

QString ProgramFiles::previewFile() const
{
    return file(QStringLiteral("Cache/temp.dat"));
}

} // namespace vellumo
