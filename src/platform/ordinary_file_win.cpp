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

std::optional<std::string> readRegularFile(const std::u16string &path, std::int64_t maxBytes)
{
    // A link (a reparse point) is opened as itself, and then refused.
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(path.c_str()), GENERIC_READ,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    std::optional<std::string> content;
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &information)
        && !(information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        && (std::int64_t(information.nFileSizeHigh) << 32 | information.nFileSizeLow) <= maxBytes) {
        content.emplace();
        char buffer[64 * 1024];
        for (DWORD read = 1; read > 0;) {
            if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr) || std::int64_t(content->size()) + read > maxBytes) {
                content.reset(); // a file that grows meanwhile counts too
                break;
            }
            content->append(buffer, read);
        }
    }
    CloseHandle(file);
    return content;
}

} // namespace vellumo::platform
