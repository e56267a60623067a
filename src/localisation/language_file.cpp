#include "localisation/language_file.h"

#include "localisation/windows1252.h"
#include "platform/ordinary_file.h"

#include <QFile>

namespace vellumo {

LanguageFile readLanguageFile(const QString &path)
{
    LanguageFile result;
    if (!platform::isOrdinaryFile(path.toStdU16String())) {
        result.status = LanguageFile::Status::Missing;
        return result;
    }

    result.status = LanguageFile::Status::Unreadable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result;

    while (result.lines.size() < languageFileLines) {
        QByteArray line = file.readLine();
        if (line.isEmpty())
            return result; // the file ended before its 26th line
        if (line.endsWith('\n')) {
            line.chop(1);
            if (line.endsWith('\r'))
                line.chop(1);
        }
        result.lines.append(decodeWindows1252(line));
    }
    result.status = LanguageFile::Status::Complete;
    return result;
}

} // namespace vellumo
