#include "platform/replace_file.h"

#include <windows.h>

namespace vellumo::platform {

bool replaceFile(const std::u16string &from, const std::u16string &to)
{
    return MoveFileExW(reinterpret_cast<const wchar_t *>(from.c_str()), reinterpret_cast<const wchar_t *>(to.c_str()),
                       MOVEFILE_REPLACE_EXISTING)
           != 0;
}

} // namespace vellumo::platform
