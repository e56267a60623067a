// The pictures vellumo-artwork draws: the default preview picture and the
// program icon.

#pragma once

#include <QImage>
#include <QString>

namespace artwork {

// The default preview picture, 201 x 291 pixels in plain 24-bit colour, with
// the name written in the given handwriting font in the lower right corner.
QImage drawPreview(const QString &fontFamily);

// The program icon at size x size pixels (32, 48 or larger), with alpha.
QImage drawIcon(int size);

} // namespace artwork
