// The registry settings store, run under wine in a fresh prefix whose registry
// holds none of the names used here. Each case uses application names of its own.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/settings_store.h"

using vellumo::platform::createUserSettingsStore;

TEST(SettingsStoreWin, AbsentValuesReadAsNothingWithoutMakingKeysAndAValueIsRegSzThatReadsBackUnchanged)
{
    const auto store = createUserSettingsStore();
    HKEY key = nullptr; // stays unopened
    EXPECT_EQ(store->read(u"AbsentSoftware", u"General", u"Language"), std::nullopt);
    EXPECT_TRUE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\AbsentSoftware", 0, KEY_READ, &key) != ERROR_SUCCESS);

    ASSERT_TRUE(store->save(u"PartlySoftware", u"General", u"Language", u"nl"));
    EXPECT_EQ(store->read(u"PartlySoftware", u"General", u"Theme"), std::nullopt);
    EXPECT_EQ(store->read(u"PartlySoftware", u"Window", u"Language"), std::nullopt);
    EXPECT_TRUE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\PartlySoftware\\Window", 0, KEY_READ, &key) != ERROR_SUCCESS);

    // Under either case of the application's name, and as REG_SZ under Software\<application>\<section>.
    const std::u16string values[] = {
        std::u16string(500, u'l'),
        u"C:\\Users\\Public\\Vellumo",
        u"\u00e9\u00e9n, \u4E2D and \U0001F3B5", // a surrogate pair too
        std::u16string(340, u'\u00e9'),
        std::u16string(70000, u'x'),
        u"",
    };
    for (const std::u16string &value : values) {
        EXPECT_TRUE(store->save(u"CorVathSoftware", u"General", u"Value", value));
        EXPECT_EQ(store->read(u"CorvathSoftware", u"General", u"Value"), value);
    }
    ASSERT_TRUE(store->save(u"Vell\u00fcmo", u"Sectie \u00e9\u00e9n", u"Sl\u00fcssel", u"D:\\\u00e9"));
    EXPECT_EQ(store->read(u"Vell\u00fcmo", u"Sectie \u00e9\u00e9n", u"Sl\u00fcssel"), u"D:\\\u00e9");
    DWORD type = REG_NONE;
    wchar_t data[16] = {};
    DWORD bytes = sizeof data;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Vell\u00fcmo\\Sectie \u00e9\u00e9n", L"Sl\u00fcssel",
                          RRF_RT_ANY | RRF_NOEXPAND, &type, data, &bytes),
             ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(std::wstring(data), L"D:\\\u00e9");
}
