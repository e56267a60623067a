// The registry settings store, run under wine in a fresh copy of a booted
// prefix: the registry starts out without any of the names used here. Each
// case uses application names of its own so the cases do not see each other.

#include "check.h"
#include "platform/settings_store.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <optional>
#include <string>

using vellumo::platform::createUserSettingsStore;

namespace {

struct RawValue {
    DWORD type = REG_NONE;
    std::wstring data; // as stored, terminator included
};

// The value exactly as the registry holds it, bypassing the store.
// (RegQueryValueExW, unlike RegGetValueW, adds no terminator of its own.)
std::optional<RawValue> rawValue(const wchar_t *subKey, const wchar_t *name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    RawValue raw;
    DWORD bytes = 0;
    LSTATUS status = RegQueryValueExW(key, name, nullptr, &raw.type, nullptr, &bytes);
    if (status == ERROR_SUCCESS) {
        raw.data.assign((bytes + 1) / sizeof(wchar_t), L'\0');
        status = RegQueryValueExW(key, name, nullptr, &raw.type,
                                  reinterpret_cast<BYTE *>(raw.data.data()), &bytes);
        raw.data.resize(bytes / sizeof(wchar_t));
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return raw;
}

bool keyExists(const wchar_t *subKey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool writeRaw(const wchar_t *subKey, const wchar_t *name, DWORD type, const void *data,
              DWORD bytes)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr)
        != ERROR_SUCCESS)
        return false;
    const bool ok = RegSetValueExW(key, name, 0, type, static_cast<const BYTE *>(data), bytes)
                    == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

std::u16string repeated(std::u16string_view unit, std::size_t times)
{
    std::u16string text;
    for (std::size_t i = 0; i < times; ++i)
        text += unit;
    return text;
}

} // namespace

TEST_CASE(absent_values_read_as_nothing_and_reading_creates_no_key)
{
    const auto store = createUserSettingsStore();
    REQUIRE(store != nullptr);

    CHECK_EQ(store->read(u"AbsentSoftware", u"General", u"Language"), std::nullopt);
    CHECK(!keyExists(L"Software\\AbsentSoftware"));

    REQUIRE(store->save(u"PartlySoftware", u"General", u"Language", u"nl"));
    CHECK_EQ(store->read(u"PartlySoftware", u"General", u"Theme"), std::nullopt);
    CHECK_EQ(store->read(u"PartlySoftware", u"Window", u"Language"), std::nullopt);
    CHECK(!keyExists(L"Software\\PartlySoftware\\Window"));
}

TEST_CASE(saved_values_read_back_unchanged)
{
    const auto store = createUserSettingsStore();
    const std::u16string dutch = u"\u00e9\u00e9n";                  // één
    const std::u16string beyondBmp = u"note \U0001F3B5 and \u4E2D"; // a surrogate pair
    const std::u16string longValue = repeated(u"0123456789abcdef\u00e9", 20); // 340 units
    const std::u16string hugeValue = repeated(u"x", 70000);

    const std::pair<const char16_t *, std::u16string> cases[] = {
        {u"Plain", u"C:\\Users\\Public\\Vellumo"},
        {u"Dutch", dutch},
        {u"BeyondBmp", beyondBmp},
        {u"Empty", u""},
        {u"Long", longValue},
        {u"Huge", hugeValue},
    };
    for (const auto &[key, value] : cases) {
        CHECK(store->save(u"RoundTripSoftware", u"General", key, value));
        CHECK_EQ(store->read(u"RoundTripSoftware", u"General", key), value);
    }

    // Non-ASCII application, section and key names work as well.
    CHECK(store->save(u"Vell\u00fcmo", u"Sectie \u00e9\u00e9n", u"Sl\u00fcssel", dutch));
    CHECK_EQ(store->read(u"Vell\u00fcmo", u"Sectie \u00e9\u00e9n", u"Sl\u00fcssel"), dutch);
}

TEST_CASE(values_are_visible_to_a_second_store)
{
    REQUIRE(createUserSettingsStore()->save(u"SharedSoftware", u"General", u"Mirror", u"3"));
    CHECK_EQ(createUserSettingsStore()->read(u"SharedSoftware", u"General", u"Mirror"),
             std::optional<std::u16string>(u"3"));
}

TEST_CASE(application_names_ignore_case)
{
    const auto store = createUserSettingsStore();

    REQUIRE(store->save(u"CorVathSoftware", u"General", u"Language", u"de"));
    CHECK_EQ(store->read(u"CorvathSoftware", u"General", u"Language"),
             std::optional<std::u16string>(u"de"));

    REQUIRE(store->save(u"MelbrinkSoftware", u"General", u"Language", u"fr"));
    CHECK_EQ(store->read(u"MelBrinkSoftware", u"General", u"Language"),
             std::optional<std::u16string>(u"fr"));

    // Both spellings address one value.
    REQUIRE(store->save(u"MELBRINKSOFTWARE", u"General", u"Language", u"it"));
    CHECK_EQ(store->read(u"MelbrinkSoftware", u"General", u"Language"),
             std::optional<std::u16string>(u"it"));
}

TEST_CASE(a_later_save_replaces_the_value)
{
    const auto store = createUserSettingsStore();
    const std::u16string longer = repeated(u"long ", 100);

    REQUIRE(store->save(u"ReplaceSoftware", u"General", u"Server", longer));
    REQUIRE(store->save(u"ReplaceSoftware", u"General", u"Server", u"short"));
    CHECK_EQ(store->read(u"ReplaceSoftware", u"General", u"Server"),
             std::optional<std::u16string>(u"short"));

    REQUIRE(store->save(u"ReplaceSoftware", u"General", u"Server", u""));
    CHECK_EQ(store->read(u"ReplaceSoftware", u"General", u"Server"),
             std::optional<std::u16string>(u""));

    // Neighbours keep their values.
    REQUIRE(store->save(u"ReplaceSoftware", u"General", u"Port", u"8080"));
    REQUIRE(store->save(u"ReplaceSoftware", u"Other", u"Server", u"elsewhere"));
    CHECK_EQ(store->read(u"ReplaceSoftware", u"General", u"Server"),
             std::optional<std::u16string>(u""));
    CHECK_EQ(store->read(u"ReplaceSoftware", u"General", u"Port"),
             std::optional<std::u16string>(u"8080"));
}

TEST_CASE(values_land_under_software_application_section_as_reg_sz)
{
    const auto store = createUserSettingsStore();
    REQUIRE(store->save(u"LayoutSoftware", u"Downloads", u"Folder", u"D:\\\u00e9\u00e9n"));

    const auto raw = rawValue(L"Software\\LayoutSoftware\\Downloads", L"Folder");
    REQUIRE(raw.has_value());
    CHECK_EQ(raw->type, static_cast<DWORD>(REG_SZ));
    CHECK_EQ(raw->data, std::wstring(L"D:\\\u00e9\u00e9n", 7)); // terminator stored too

    REQUIRE(store->save(u"LayoutSoftware", u"Downloads", u"Nothing", u""));
    const auto empty = rawValue(L"Software\\LayoutSoftware\\Downloads", L"Nothing");
    REQUIRE(empty.has_value());
    CHECK_EQ(empty->type, static_cast<DWORD>(REG_SZ));
    CHECK_EQ(empty->data, std::wstring(1, L'\0'));
}

TEST_CASE(values_written_by_other_programs)
{
    const auto store = createUserSettingsStore();
    const wchar_t *subKey = L"Software\\ForeignSoftware\\General";

    // Stored without a terminator. (The registry would count a NUL right behind
    // the data as the terminator; the '!' keeps it out.)
    const wchar_t bare[] = {L'a', L'b', L'c', L'!'};
    REQUIRE(writeRaw(subKey, L"Bare", REG_SZ, bare, 3 * sizeof(wchar_t)));
    CHECK_EQ(store->read(u"ForeignSoftware", u"General", u"Bare"),
             std::optional<std::u16string>(u"abc"));

    // Stored with surplus terminators.
    const wchar_t padded[] = {L'x', L'y', L'\0', L'\0', L'\0'};
    REQUIRE(writeRaw(subKey, L"Padded", REG_SZ, padded, sizeof padded));
    CHECK_EQ(store->read(u"ForeignSoftware", u"General", u"Padded"),
             std::optional<std::u16string>(u"xy"));

    // Not text at all.
    const DWORD number = 42;
    REQUIRE(writeRaw(subKey, L"Number", REG_DWORD, &number, sizeof number));
    CHECK_EQ(store->read(u"ForeignSoftware", u"General", u"Number"), std::nullopt);
}

TEST_CASE(names_that_would_address_another_key_are_refused)
{
    const auto store = createUserSettingsStore();

    CHECK(!store->save(u"Corvath\\Vellumo", u"General", u"Language", u"nl"));
    CHECK(!keyExists(L"Software\\Corvath"));
    CHECK(!store->save(u"EscapeSoftware", u"General\\Deeper", u"Language", u"nl"));
    CHECK(!keyExists(L"Software\\EscapeSoftware"));
    CHECK(!store->save(u"", u"General", u"Language", u"nl"));
    CHECK(!store->save(u"EmptySoftware", u"", u"Language", u"nl"));
    CHECK(!keyExists(L"Software\\EmptySoftware"));

    // Reading through such names finds nothing, even where a key of that path exists.
    REQUIRE(writeRaw(L"Software\\Corvath\\Vellumo\\General", L"Language", REG_SZ, L"nl", 6));
    CHECK_EQ(store->read(u"Corvath\\Vellumo", u"General", u"Language"), std::nullopt);
}

TEST_CASE(a_save_the_registry_refuses_answers_false)
{
    const auto store = createUserSettingsStore();
    // Key names are limited to 255 characters.
    const std::u16string overlong = repeated(u"s", 300);
    CHECK(!store->save(u"RefusedSoftware", overlong, u"Language", u"nl"));
    CHECK_EQ(store->read(u"RefusedSoftware", overlong, u"Language"), std::nullopt);
}

int main(int argc, char **argv)
{
    return check::runAll(argc, argv);
}
