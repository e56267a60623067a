#pragma once

// Vellumo's built-in pictures, compiled into the program as Qt resources.
// They are drawn by tools/artwork and kept in share/artwork/.
//
// Both need a QGuiApplication (or QApplication) to exist.

#include <QIcon>
#include <QPixmap>

namespace vellumo {

// The picture shown in the preview until the user picks one: 201 x 291 pixels.
QPixmap defaultPreviewPicture();

// The program's icon, at 32 x 32 and 48 x 48 pixels.
QIcon programIcon();

} // namespace vellumo
