#pragma once

#include <QImage>
#include <QString>

namespace vellumo {

// Decodes the picture in a file, its format recognised from the content,
// within a memory limit: a picture that claims enormous dimensions is
// refused rather than allocated. Throws Failure FileNotFound (53),
// PathFileAccessError (75) or InvalidPicture (481).
QImage readPictureFile(const QString &path);

} // namespace vellumo
