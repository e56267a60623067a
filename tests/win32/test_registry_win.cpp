// The Windows registry reader, run under wine in a fresh 64-bit prefix whose
// registry holds none of the keys used here. Values are put in place with
// reg.exe, as an installer would, in the 32-bit view (/reg:32, the one under
// Software\Wow6432Node) or the native one (/reg:64).

#include "check.h"
#include "platform/registry.h"

using namespace std::string_literals;
using vellumo::platform::createMachineRegistry;

namespace {

// reg add "HKLM\Software\Vellumo Test\<key>" /v <name> /t <type> /d "<data>" /f /reg:<view>
bool regAdd(const std::wstring &key, const std::wstring &name, const std::wstring &type,
            const std::wstring &data, int view = 32)
{
    const std::wstring arguments = L"add \"HKLM\\Software\\Vellumo Test\\" + key + L"\" /v \""
                                   + name + L"\" /t " + type + L" /d \"" + data + L"\" /f /reg:"
                                   + std::to_wstring(view);
    const bool ok = check::finish(check::start(L"reg.exe " + arguments), 30000) == DWORD(0);
    if (!ok)
        std::printf("reg.exe %ls failed\n", arguments.c_str());
    return ok;
}

// The value at HKLM\Software\Vellumo Test\<path>.
std::u16string read(std::u16string_view path)
{
    return createMachineRegistry()->readValue(u"HKLM\\Software\\Vellumo Test\\"
                                              + std::u16string(path));
}

} // namespace

TEST_CASE(the_32_bit_view_is_read_first_then_the_native_one)
{
    REQUIRE(regAdd(L"Views", L"Only32", L"REG_SZ", L"C:\\Program Files (x86)\\Only32", 32));
    REQUIRE(regAdd(L"Views", L"Only64", L"REG_SZ", L"C:\\Program Files\\Only64", 64));
    REQUIRE(regAdd(L"Views", L"Both", L"REG_SZ", L"C:\\Program Files (x86)\\Both", 32));
    REQUIRE(regAdd(L"Views", L"Both", L"REG_SZ", L"C:\\Program Files\\Both", 64));
    REQUIRE(regAdd(L"NativeOnly", L"Name", L"REG_SZ", L"C:\\Program Files\\Native", 64));

    CHECK_EQ(read(u"Views\\Only32"), u"C:\\Program Files (x86)\\Only32");
    CHECK_EQ(read(u"Views\\Only64"), u"C:\\Program Files\\Only64");
    CHECK_EQ(read(u"Views\\Both"), u"C:\\Program Files (x86)\\Both");
    CHECK_EQ(read(u"NativeOnly\\Name"), u"C:\\Program Files\\Native");
}

TEST_CASE(what_is_absent_or_not_a_string_reads_as_empty)
{
    REQUIRE(regAdd(L"Types", L"Present", L"REG_SZ", L"here"));
    REQUIRE(regAdd(L"Types", L"Expand", L"REG_EXPAND_SZ", L"%ProgramFiles%\\X"));
    REQUIRE(regAdd(L"Types", L"Number", L"REG_DWORD", L"42"));
    CHECK_EQ(read(u"Types\\Present"), u"here");
    CHECK_EQ(read(u"Types\\Expand"), u"%ProgramFiles%\\X");
    CHECK_EQ(read(u"Types\\Number"), u"");

    const auto registry = createMachineRegistry();
    const std::u16string absent[] = {
        u"HKLM\\Software\\Vellumo Test\\Types\\Missing",
        u"HKLM\\Software\\Vellumo Test\\Nowhere\\Present",
        u"HKXX\\Software\\Vellumo Test\\Types\\Present",
        u"Software\\Vellumo Test\\Types\\Present",
        u"HKLM\\Software\\Vellumo Test\\Types\\Present\0x"s, // not cut short at the NUL
        u"",
    };
    for (const std::u16string &path : absent)
        CHECK_EQ(registry->readValue(path), u"");
}

TEST_CASE(names_ignore_case_and_long_values_come_back_whole)
{
    std::wstring longPath = L"C:\\Program Files\\\u00e9\u00e9n";
    while (longPath.size() < 5000)
        longPath += L"\\Subfolder " + std::to_wstring(longPath.size());
    REQUIRE(regAdd(L"Long", L"Path", L"REG_SZ", longPath));

    const std::u16string expected(longPath.begin(), longPath.end());
    const auto registry = createMachineRegistry();
    CHECK_EQ(registry->readValue(u"HKLM\\Software\\Vellumo Test\\Long\\Path"), expected);
    CHECK_EQ(registry->readValue(u"hKlM\\SOFTWARE\\vellumo test\\LONG\\pATH"), expected);
    CHECK_EQ(registry->readValue(u"hkey_local_machine\\software\\Vellumo Test\\Long\\PATH"),
             expected);
}

int main()
{
    return check::runAll();
}
