#include "app/new_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

namespace vellumo {

bool openNewFileBeside(QFile &file, const QString &target)
{
    const QDir folder = QFileInfo(target).dir();
    for (int attempt = 0; attempt < 16; ++attempt) {
        file.setFileName(folder.filePath(
            QStringLiteral(".vellumo-%1.part").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'))));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        file.setFileName(QString());
    }
    return false;
}

} // namespace vellumo
