// What the fuzz targets share: a check naming the broken property, a scratch file for file readers.
#pragma once

#include <QFile>
#include <QTemporaryDir>

#define FUZZ_CHECK(condition) ((condition) ? void() : qFatal("%s:%d: %s", __FILE__, __LINE__, #condition))

namespace vellumo {}
using namespace vellumo;

// Writes the input to the file name in the folder (removed at exit); answers its path.
inline QString writeInput(const uint8_t *data, size_t size, const QString &name = QStringLiteral("input"))
{
    static const QTemporaryDir folder;
    QFile file(folder.filePath(name));
    FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(reinterpret_cast<const char *>(data), size) == qint64(size));
    return file.fileName();
}
