#include "catalogue/picture_file.h"

#include "app/failure.h"

#include <QFileInfo>
#include <QImageReader>

namespace vellumo {

namespace {
constexpr int pictureAllocationLimitMB = 64;
} // namespace

QImage readPictureFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw Failure{FailureCode::FileNotFound};
    QImageReader::setAllocationLimit(pictureAllocationLimitMB);
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        throw Failure{reader.error() == QImageReader::DeviceError ? FailureCode::PathFileAccessError
                                                                  : FailureCode::InvalidPicture};
    }
    return picture;
}

} // namespace vellumo
