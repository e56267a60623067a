// Which files count as ordinary on Windows, run under wine.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/ordinary_file.h"

#include <string>

using vellumo::platform::isOrdinaryFile;

namespace {

std::u16string utf16(const std::wstring &text)
{
    return {text.begin(), text.end()};
}

TEST(OrdinaryFileWin, FoldersAndHiddenOrSystemFilesAreNotOrdinary)
{
    wchar_t temp[MAX_PATH] = {};
    ASSERT_TRUE(GetTempPathW(MAX_PATH, temp));
    const std::wstring folder = std::wstring(temp) + L"ordinary\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::pair<const wchar_t *, DWORD> files[] = {
        {L"plain.tmp", FILE_ATTRIBUTE_NORMAL}, {L"kept.tmp", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE},
        {L"hidden.tmp", FILE_ATTRIBUTE_HIDDEN}, {L"system.tmp", FILE_ATTRIBUTE_SYSTEM}};
    for (const auto &[name, attributes] : files) {
        const std::wstring path = folder + name;
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
        EXPECT_EQ(isOrdinaryFile(utf16(path)), !(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            << std::string(path.begin(), path.end());
    }
    EXPECT_FALSE(isOrdinaryFile(utf16(folder)));
    EXPECT_FALSE(isOrdinaryFile(utf16(folder + L"missing.tmp")));
    EXPECT_FALSE(isOrdinaryFile(u""));
}

} // namespace
