#include "platform/ordinary_file.h"

#include <windows.h>

namespace vellumo::platform {

bool isOrdinaryFile(const std::u16string &path)
{
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t *>(path.c_str()));
    return attributes != INVALID_FILE_ATTRIBUTES
           && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

} // namespace vellumo::platform
