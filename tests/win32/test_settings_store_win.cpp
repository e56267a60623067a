// The registry settings store, run under wine in a fresh prefix whose registry
// holds none of the names used here. Each case uses application names of its own.

#include "check.h"
#include "platform/settings_store.h"

using vellumo::platform::createUserSettingsStore;

TEST_CASE(an_absent_value_reads_as_nothing_and_reading_creates_no_key)
{
    const auto store = createUserSettingsStore();
    HKEY key = nullptr; // stays unopened
    CHECK_EQ(store->read(u"AbsentSoftware", u"General", u"Language"), std::nullopt);
    CHECK(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\AbsentSoftware", 0, KEY_READ, &key) != ERROR_SUCCESS);

    REQUIRE(store->save(u"PartlySoftware", u"General", u"Language", u"nl"));
    CHECK_EQ(store->read(u"PartlySoftware", u"General", u"Theme"), std::nullopt);
    CHECK_EQ(store->read(u"PartlySoftware", u"Window", u"Language"), std::nullopt);
    CHECK(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\PartlySoftware\\Window", 0, KEY_READ, &key) != ERROR_SUCCESS);
}

TEST_CASE(a_later_save_replaces_and_reads_back_unchanged_under_either_letter_case)
{
    const auto store = createUserSettingsStore();
    const std::u16string values[] = {
        std::u16string(500, u'l'),
        u"C:\\Users\\Public\\Vellumo",
        u"\u00e9\u00e9n, \u4E2D and \U0001F3B5", // a surrogate pair too
        std::u16string(340, u'\u00e9'),
        std::u16string(70000, u'x'),
        u"",
    };
    for (const std::u16string &value : values) {
        CHECK(store->save(u"CorVathSoftware", u"General", u"Value", value));
        CHECK_EQ(store->read(u"CorvathSoftware", u"General", u"Value"), value);
    }
    CHECK(store->save(u"Vell\u00fcmo", u"Sectie \u00e9\u00e9n", u"Sl\u00fcssel", u"\u00e9"));
    CHECK_EQ(store->read(u"Vell\u00fcmo", u"Sectie \u00e9\u00e9n", u"Sl\u00fcssel"), u"\u00e9");
}

TEST_CASE(a_value_is_reg_sz_under_software_application_section)
{
    const auto store = createUserSettingsStore();
    REQUIRE(store->save(u"LayoutSoftware", u"Downloads", u"Folder", u"D:\\\u00e9"));
    DWORD type = REG_NONE;
    wchar_t data[16] = {};
    DWORD bytes = sizeof data;
    CHECK_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\LayoutSoftware\\Downloads", L"Folder",
                          RRF_RT_ANY | RRF_NOEXPAND, &type, data, &bytes),
             ERROR_SUCCESS);
    CHECK_EQ(type, DWORD(REG_SZ));
    CHECK_EQ(std::wstring(data), L"D:\\\u00e9");
}

int main()
{
    return check::runAll();
}
