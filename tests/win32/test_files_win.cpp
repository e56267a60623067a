// Files on Windows, run under wine: which count as ordinary, and replacing one.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/ordinary_file.h"
#include "platform/replace_file.h"

#include <fstream>

using vellumo::platform::isOrdinaryFile;
using vellumo::platform::replaceFile;

TEST(OrdinaryFileWin, FoldersAndHiddenOrSystemFilesAreNotOrdinary)
{
    ASSERT_TRUE(CreateDirectoryW(L"C:\\ordinary", nullptr));
    for (const DWORD attributes : {FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE,
                                   FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        const std::wstring path = L"C:\\ordinary\\" + std::to_wstring(attributes) + L".tmp";
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
        EXPECT_EQ(isOrdinaryFile({path.begin(), path.end()}),
                  !(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            << attributes;
    }
    for (const char16_t *notAFile : {u"C:\\ordinary", u"C:\\ordinary\\missing.tmp", u""})
        EXPECT_FALSE(isOrdinaryFile(notAFile));
}

TEST(ReplaceFileWin, TakesTheTargetsPlaceOrLeavesBothAsTheyWere)
{
    ASSERT_TRUE(CreateDirectoryW(L"C:\\replace", nullptr));
    for (const char *name : {"C:\\replace\\new", "C:\\replace\\old"})
        std::ofstream(name) << name;
    EXPECT_TRUE(replaceFile(u"C:\\replace\\new", u"C:\\replace\\old"));
    EXPECT_EQ(GetFileAttributesW(L"C:\\replace\\new"), INVALID_FILE_ATTRIBUTES);
    std::string text;
    std::getline(std::ifstream("C:\\replace\\old"), text);
    EXPECT_EQ(text, "C:\\replace\\new");
    EXPECT_FALSE(replaceFile(u"C:\\replace\\missing", u"C:\\replace\\old"));
    EXPECT_NE(GetFileAttributesW(L"C:\\replace\\old"), INVALID_FILE_ATTRIBUTES);
}
