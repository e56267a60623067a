// The Windows registry reader, run under wine in a fresh 64-bit prefix whose
// registry holds none of the keys used here. Values are put in place in the
// 32-bit view (the one under Software\Wow6432Node), where a 32-bit installer
// writes, or in the native one.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/registry.h"

using namespace std::string_literals;
using vellumo::platform::createMachineRegistry;

namespace {

// Sets HKLM\Software\Vellumo Test\<key>\<name> in the given view, as a string
// or, for another type, the string's bytes.
bool put(const std::wstring &key, const wchar_t *name, const std::wstring &data, REGSAM view = KEY_WOW64_32KEY,
         DWORD type = REG_SZ)
{
    const std::wstring software = view == KEY_WOW64_32KEY ? L"Software\\Wow6432Node" : L"Software";
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, (software + L"\\Vellumo Test\\" + key).c_str(), name, type,
                           data.c_str(), DWORD((data.size() + 1) * sizeof(wchar_t)))
           == ERROR_SUCCESS;
}

} // namespace

// Values are found in the 32-bit view first, then in the native one; names
// ignore case; only strings are read, and whole.
TEST(RegistryWin, ReadsStringsFromThe32BitViewFirstThenTheNativeOneIgnoringCase)
{
    std::wstring longPath = L"C:\\Program Files\\\u00e9\u00e9n";
    while (longPath.size() < 5000)
        longPath += L"\\Subfolder " + std::to_wstring(longPath.size());
    ASSERT_TRUE(put(L"Views", L"Long", longPath));
    ASSERT_TRUE(put(L"Views", L"Only32", L"C:\\Program Files (x86)\\Only32"));
    ASSERT_TRUE(put(L"Views", L"Only64", L"C:\\Program Files\\Only64", KEY_WOW64_64KEY));
    ASSERT_TRUE(put(L"Views", L"Both", L"C:\\Program Files (x86)\\Both"));
    ASSERT_TRUE(put(L"Views", L"Both", L"C:\\Program Files\\Both", KEY_WOW64_64KEY));
    ASSERT_TRUE(put(L"NativeOnly", L"Name", L"C:\\Program Files\\Native", KEY_WOW64_64KEY));
    ASSERT_TRUE(put(L"Views", L"Expand", L"%ProgramFiles%\\X", KEY_WOW64_32KEY, REG_EXPAND_SZ));
    ASSERT_TRUE(put(L"Views", L"Binary", L"text", KEY_WOW64_32KEY, REG_BINARY));
    const std::u16string longValue(longPath.begin(), longPath.end());
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"HKLM\\Software\\Vellumo Test\\Views\\Only32", u"C:\\Program Files (x86)\\Only32"},
        {u"HKLM\\Software\\Vellumo Test\\Views\\Only64", u"C:\\Program Files\\Only64"},
        {u"HKLM\\Software\\Vellumo Test\\Views\\Both", u"C:\\Program Files (x86)\\Both"},
        {u"HKLM\\Software\\Vellumo Test\\NativeOnly\\Name", u"C:\\Program Files\\Native"},
        {u"HKLM\\Software\\Vellumo Test\\Views\\Long", longValue},
        {u"hKlM\\SOFTWARE\\vellumo test\\VIEWS\\lONG", longValue},
        {u"hkey_local_machine\\software\\Vellumo Test\\Views\\LONG", longValue},
        {u"HKLM\\Software\\Vellumo Test\\Views\\Expand", u"%ProgramFiles%\\X"},
        // What is absent or not a string reads as empty.
        {u"HKLM\\Software\\Vellumo Test\\Views\\Binary", u""},
        {u"HKLM\\Software\\Vellumo Test\\Views\\Missing", u""},
        {u"HKLM\\Software\\Vellumo Test\\Nowhere\\Only32", u""},
        {u"HKXX\\Software\\Vellumo Test\\Views\\Only32", u""},
        {u"Software\\Vellumo Test\\Views\\Only32", u""},
        {u"HKLM\\Software\\Vellumo Test\\Views\\Only32\0x"s, u""}, // not cut short at the NUL
        {u"", u""},
    };
    for (const auto &[path, expected] : cases)
        EXPECT_EQ(createMachineRegistry()->readValue(path), expected) << testing::PrintToString(path);
}
