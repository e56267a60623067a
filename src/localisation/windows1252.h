#pragma once

#include <QByteArrayView>
#include <QString>

namespace vellumo {

// Decodes 8-bit text in the Windows-1252 code page, one character per byte.
// The five bytes the code page leaves undefined map to the control
// characters of the same value, as Windows itself does.
QString decodeWindows1252(QByteArrayView bytes);

// The reverse, for texts the program writes; characters outside the code
// page become '?'.
QByteArray encodeWindows1252(QStringView text);

} // namespace vellumo
