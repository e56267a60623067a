#include "platform/replace_file.h"

#include <windows.h>

namespace vellumo::platform {

bool replaceFile(const std::u16string &from, const std::u16string &to)
{
    return MoveFileExW(reinterpret_cast<const wchar_t *>(from.c_str()), reinterpret_cast<const wchar_t *>(to.c_str()),
                       MOVEFILE_REPLACE_EXISTING)
           != 0;
}

bool replaceFileDurably(const std::u16string &from, const std::u16string &to)
{
    const auto *source = reinterpret_cast<const wchar_t *>(from.c_str());
    const HANDLE file = CreateFileW(source, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool flushed = file != INVALID_HANDLE_VALUE && FlushFileBuffers(file);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return flushed
           && MoveFileExW(source, reinterpret_cast<const wchar_t *>(to.c_str()),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

} // namespace vellumo::platform
