// The Windows registry reader, run under wine in a fresh copy of a booted
// 64-bit prefix: the registry starts out without any of the keys used here.
// Values are put in place with reg.exe, the way an installer or a user would,
// into the 32-bit view (/reg:32, Software\Wow6432Node) or the native one
// (/reg:64). Each case uses keys of its own.

#include "check.h"
#include "platform/registry.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <optional>
#include <string>

using vellumo::platform::createMachineRegistry;

namespace {

constexpr DWORD regTimeoutMs = 30000;

// Runs reg.exe with these arguments; true when it ran and succeeded. Its
// chatter goes to NUL, its complaints to our stderr.
bool reg(const std::wstring &arguments)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inheritable, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = nul;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring commandLine = L"reg.exe " + arguments;
    PROCESS_INFORMATION process = {};
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    if (!started) {
        std::printf("cannot run reg.exe (error %lu)\n", GetLastError());
        return false;
    }
    DWORD exitCode = 1;
    if (WaitForSingleObject(process.hProcess, regTimeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        std::printf("reg.exe did not finish within %lu ms\n", regTimeoutMs);
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (exitCode != 0)
        std::printf("reg.exe %ls: exit code %lu\n", arguments.c_str(), exitCode);
    return exitCode == 0;
}

// reg add "<key>" /v <name> /t <type> /d "<data>" /f /reg:<view>
bool regAdd(const std::wstring &key, const std::wstring &name, const std::wstring &type,
            const std::wstring &data, int view = 32)
{
    const std::wstring valueName = name.empty() ? L"/ve" : L"/v \"" + name + L"\"";
    return reg(L"add \"" + key + L"\" " + valueName + L" /t " + type + L" /d \"" + data
               + L"\" /f /reg:" + std::to_wstring(view));
}

// The string value in one view exactly as stored, bypassing the reader, to
// make sure a case starts from the registry it means to.
std::optional<std::wstring> rawString(const wchar_t *subKey, const wchar_t *name, REGSAM view)
{
    wchar_t buffer[512];
    DWORD bytes = sizeof buffer;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey, 0, KEY_QUERY_VALUE | view, &key)
        != ERROR_SUCCESS)
        return std::nullopt;
    const LSTATUS status = RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, buffer, &bytes);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

std::u16string u16(const std::wstring &text)
{
    return {text.begin(), text.end()};
}

} // namespace

TEST_CASE(the_32_bit_view_is_read_first_then_the_native_one)
{
    const std::wstring key = L"HKLM\\Software\\Vellumo Test\\Views";
    REQUIRE(regAdd(key, L"Only32", L"REG_SZ", L"C:\\Program Files (x86)\\Only32", 32));
    REQUIRE(regAdd(key, L"Only64", L"REG_SZ", L"C:\\Program Files\\Only64", 64));
    REQUIRE(regAdd(key, L"Both", L"REG_SZ", L"C:\\Program Files (x86)\\Both", 32));
    REQUIRE(regAdd(key, L"Both", L"REG_SZ", L"C:\\Program Files\\Both", 64));
    // A key that exists in the native view only.
    REQUIRE(regAdd(L"HKLM\\Software\\Vellumo Test\\Native", L"Name", L"REG_SZ",
                   L"C:\\Program Files\\Native", 64));

    // The views really are apart.
    REQUIRE(rawString(L"Software\\Vellumo Test\\Views", L"Only32", KEY_WOW64_64KEY)
            == std::nullopt);
    REQUIRE(rawString(L"Software\\Wow6432Node\\Vellumo Test\\Views", L"Only32", KEY_WOW64_64KEY)
            == std::optional<std::wstring>(L"C:\\Program Files (x86)\\Only32"));
    REQUIRE(rawString(L"Software\\Vellumo Test\\Views", L"Only64", KEY_WOW64_32KEY)
            == std::nullopt);

    const auto registry = createMachineRegistry();
    REQUIRE(registry != nullptr);
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Views\\Only32"),
             u"C:\\Program Files (x86)\\Only32");
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Views\\Only64"),
             u"C:\\Program Files\\Only64");
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Views\\Both"),
             u"C:\\Program Files (x86)\\Both");
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Native\\Name"),
             u"C:\\Program Files\\Native");
}

TEST_CASE(what_is_not_there_reads_as_empty)
{
    REQUIRE(regAdd(L"HKLM\\Software\\Vellumo Test\\Absent", L"Present", L"REG_SZ", L"here"));
    REQUIRE(regAdd(L"HKLM\\Software\\Vellumo Test\\Absent", L"Present", L"REG_SZ", L"here", 64));
    const auto registry = createMachineRegistry();
    REQUIRE_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Absent\\Present"), u"here");

    const char16_t *const paths[] = {
        u"HKLM\\Software\\Vellumo Test\\Absent\\Missing",        // no such value
        u"HKLM\\Software\\Vellumo Test\\Nowhere\\Present",       // no such key
        u"HKLM\\Software\\Vellumo Test\\Absent\\Present\\Deeper", // a value is no key
        u"HKXX\\Software\\Vellumo Test\\Absent\\Present",        // no such root
        u"HKLMX\\Software\\Vellumo Test\\Absent\\Present",
        u"HKEY_LOCAL\\Software\\Vellumo Test\\Absent\\Present",
        u"Software\\Vellumo Test\\Absent\\Present",              // no root at all
        u"\\HKLM\\Software\\Vellumo Test\\Absent\\Present",
        u"HKLM",
        u"",
    };
    for (const char16_t *path : paths)
        CHECK_EQ(registry->readValue(path), u"");

    // A NUL inside the path must not cut it short to a path that exists.
    std::u16string withNul = u"HKLM\\Software\\Vellumo Test\\Absent\\Present";
    withNul += u'\0';
    withNul += u"x";
    CHECK_EQ(registry->readValue(withNul), u"");
}

TEST_CASE(only_strings_are_read_and_left_unexpanded)
{
    const std::wstring key = L"HKLM\\Software\\Vellumo Test\\Types";
    REQUIRE(regAdd(key, L"Expand", L"REG_EXPAND_SZ", L"%ProgramFiles%\\X"));
    REQUIRE(regAdd(key, L"Number", L"REG_DWORD", L"42"));
    REQUIRE(regAdd(key, L"Lines", L"REG_MULTI_SZ", L"one\\0two"));
    REQUIRE(regAdd(key, L"Bytes", L"REG_BINARY", L"43003a00"));
    REQUIRE(regAdd(key, L"Empty", L"REG_SZ", L""));

    const auto registry = createMachineRegistry();
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Types\\Expand"),
             u"%ProgramFiles%\\X");
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Types\\Number"), u"");
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Types\\Lines"), u"");
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Types\\Bytes"), u"");
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Types\\Empty"), u"");
}

TEST_CASE(a_trailing_backslash_names_the_default_value)
{
    REQUIRE(regAdd(L"HKLM\\Software\\Vellumo Test\\Default", L"", L"REG_SZ", L"the default"));
    REQUIRE(regAdd(L"HKLM\\Software\\Vellumo Test\\Default", L"Named", L"REG_SZ", L"named"));
    REQUIRE(regAdd(L"HKLM\\Software\\Vellumo Test\\NoDefault", L"Named", L"REG_SZ", L"named"));

    const auto registry = createMachineRegistry();
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Default\\"), u"the default");
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Default\\Named"), u"named");
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\NoDefault\\"), u"");
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Default"), u"");
}

TEST_CASE(roots_keys_and_names_ignore_letter_case)
{
    // One value under each root, written with the abbreviation.
    struct Root {
        const wchar_t *regKey;
        std::u16string abbreviation;
        std::u16string longForm;
    };
    const Root roots[] = {
        {L"HKLM\\Software\\Vellumo Test\\Roots", u"HKLM", u"HKEY_LOCAL_MACHINE"},
        {L"HKCU\\Software\\Vellumo Test\\Roots", u"HKCU", u"HKEY_CURRENT_USER"},
        {L"HKCR\\Software\\Vellumo Test\\Roots", u"HKCR", u"HKEY_CLASSES_ROOT"},
        {L"HKU\\.DEFAULT\\Software\\Vellumo Test\\Roots", u"HKU", u"HKEY_USERS"},
        {L"HKCC\\Software\\Vellumo Test\\Roots", u"HKCC", u"HKEY_CURRENT_CONFIG"},
    };
    const auto registry = createMachineRegistry();
    for (const Root &root : roots) {
        const std::wstring where = root.regKey;
        const std::wstring data =
            L"under " + std::wstring(root.longForm.begin(), root.longForm.end());
        if (!CHECK(regAdd(where, L"Where", L"REG_SZ", data)))
            continue;
        const std::u16string rest = u16(where.substr(where.find(L'\\'))) + u"\\Where";

        std::u16string lower = root.longForm;
        for (char16_t &c : lower)
            c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
        for (const std::u16string &name : {root.abbreviation, root.longForm, lower})
            CHECK_EQ(registry->readValue(name + rest), u16(data));
    }

    CHECK_EQ(registry->readValue(u"hKlM\\SOFTWARE\\vellumo test\\ROOTS\\wHERE"),
             u"under HKEY_LOCAL_MACHINE");
}

TEST_CASE(long_and_non_ascii_values_come_back_whole)
{
    // Far beyond MAX_PATH, and beyond the buffer a first guess would take.
    std::wstring longPath = L"C:\\Program Files";
    while (longPath.size() < 5000)
        longPath += L"\\Subfolder " + std::to_wstring(longPath.size());
    REQUIRE(regAdd(L"HKLM\\Software\\Vellumo Test\\Long", L"Path", L"REG_SZ", longPath));

    // Longer than a command line can carry: written directly.
    const std::wstring huge(100000, L'x');
    HKEY key = nullptr;
    REQUIRE(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Vellumo Test\\Long", 0, nullptr, 0,
                            KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr)
            == ERROR_SUCCESS);
    const LSTATUS set = RegSetValueExW(key, L"Huge", 0, REG_SZ,
                                       reinterpret_cast<const BYTE *>(huge.c_str()),
                                       static_cast<DWORD>((huge.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    REQUIRE_EQ(set, ERROR_SUCCESS);

    const std::wstring dutch = L"C:\\Programma's\\\u00e9\u00e9n \u4E2D \U0001F3B5";
    REQUIRE(regAdd(L"HKLM\\Software\\Vellumo Test\\\u00c9\u00e9n", L"Na\u00e4m", L"REG_SZ", dutch));

    const auto registry = createMachineRegistry();
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Long\\Path"), u16(longPath));
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Long\\Huge"), u16(huge));
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\\u00c9\u00e9n\\Na\u00e4m"),
             u16(dutch));
}

int main(int argc, char **argv)
{
    return check::runAll(argc, argv);
}
