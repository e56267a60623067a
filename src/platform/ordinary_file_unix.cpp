#include "platform/ordinary_file.h"

#include <QFileInfo>

namespace vellumo::platform {

bool isOrdinaryFile(const std::u16string &path)
{
    return !path.empty() && QFileInfo(QString::fromStdU16String(path)).isFile();
}

} // namespace vellumo::platform
