// Windows icon files (.ico), written without help from Qt, which can read
// them but not write them.

#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace artwork {

// An icon file holding the given images, each as 32-bit BGRA with a 1-bit
// mask. Sizes up to 256 pixels.
QByteArray iconFile(const QList<QImage> &images);

} // namespace artwork
