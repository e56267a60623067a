#include "platform/replace_file.h"

#include <QFile>

#include <cstdio>

namespace vellumo::platform {

bool replaceFile(const std::u16string &from, const std::u16string &to)
{
    return std::rename(QFile::encodeName(QString::fromStdU16String(from)).constData(),
                       QFile::encodeName(QString::fromStdU16String(to)).constData())
           == 0;
}

} // namespace vellumo::platform
