// Windows registry: the Win32 registry of this machine.
//
// A value path is "<root>\<key path>\<value name>". The root is an
// abbreviation (HKLM, HKCU, HKCR, HKU, HKCC) or its long form
// (HKEY_LOCAL_MACHINE, ...), in any letter case. The value name is the last
// component, so a path that ends in "\" names the key's default value, and
// "HKLM\Name" a value of the root key itself.
//
// Messenger is a 32-bit program, so on 64-bit Windows its settings under HKLM
// live in the 32-bit view (Software\Wow6432Node). That view is read first,
// then the other one, whatever the bitness of this process; on 32-bit Windows
// both reads see the same registry.
//
// Plain Win32 and standard C++ only: this file is also cross-built with
// mingw-w64 and tested under wine.

#include "registry.h"

#include "windows_api.h"

#include <optional>
#include <string_view>
#include <utility>

namespace vellumo::platform {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide strings are UTF-16");

struct ValueAddress {
    HKEY root = nullptr;
    std::wstring subKey;
    std::wstring valueName;
};

char16_t asciiUpper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool equalsIgnoringAsciiCase(std::u16string_view text, std::u16string_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (asciiUpper(text[i]) != upper[i])
            return false;
    }
    return true;
}

HKEY rootNamed(std::u16string_view name)
{
    struct Root {
        std::u16string_view shortName;
        std::u16string_view longName;
        HKEY key;
    };
    const Root roots[] = {
        {u"HKLM", u"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {u"HKCU", u"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {u"HKCR", u"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {u"HKU", u"HKEY_USERS", HKEY_USERS},
        {u"HKCC", u"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    };
    for (const Root &root : roots) {
        if (equalsIgnoringAsciiCase(name, root.shortName)
            || equalsIgnoringAsciiCase(name, root.longName))
            return root.key;
    }
    return nullptr;
}

std::optional<ValueAddress> parseValuePath(std::u16string_view path)
{
    // A NUL would cut the names short and address some other value.
    if (path.find(u'\0') != std::u16string_view::npos)
        return std::nullopt;
    const std::size_t rootEnd = path.find(u'\\');
    if (rootEnd == std::u16string_view::npos)
        return std::nullopt; // a root, or nothing, but no value name
    ValueAddress address;
    address.root = rootNamed(path.substr(0, rootEnd));
    if (!address.root)
        return std::nullopt;
    const std::size_t nameStart = path.rfind(u'\\') + 1;
    const std::u16string_view subKey =
        nameStart > rootEnd + 1 ? path.substr(rootEnd + 1, nameStart - rootEnd - 2)
                                : std::u16string_view();
    const std::u16string_view valueName = path.substr(nameStart);
    address.subKey.assign(subKey.begin(), subKey.end());
    address.valueName.assign(valueName.begin(), valueName.end());
    return address;
}

// The text of the value in one view of the registry, unexpanded; nothing when
// the key or value is missing or the value is not text.
std::optional<std::u16string> readInView(const ValueAddress &address, REGSAM view)
{
    KeyHandle key;
    if (RegOpenKeyExW(address.root, address.subKey.c_str(), 0, KEY_QUERY_VALUE | view, key.out())
        != ERROR_SUCCESS)
        return std::nullopt;

    constexpr DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    const wchar_t *name = address.valueName.c_str();

    // Ask for the size, then fetch. Another process may lengthen the value in
    // between; ERROR_MORE_DATA then reports the new size, so try again, a few
    // times at most.
    DWORD bytes = 0;
    LSTATUS status = RegGetValueW(key.get(), nullptr, name, flags, nullptr, nullptr, &bytes);
    for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS; ++attempt) {
        // One unit more than asked for: the terminator RegGetValueW adds to
        // values stored without one.
        std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        status = RegGetValueW(key.get(), nullptr, name, flags, nullptr, buffer.data(), &bytes);
        if (status == ERROR_MORE_DATA) {
            status = ERROR_SUCCESS;
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        buffer.resize(bytes / sizeof(wchar_t));
        while (!buffer.empty() && buffer.back() == L'\0')
            buffer.pop_back();
        return std::u16string(buffer.begin(), buffer.end());
    }
    return std::nullopt;
}

class WindowsRegistry final : public Registry {
public:
    std::u16string readValue(const std::u16string &valuePath) const override
    {
        const std::optional<ValueAddress> address = parseValuePath(valuePath);
        if (!address)
            return {};
        // KEY_WOW64_64KEY names the native view also for a 32-bit process on
        // 64-bit Windows; 32-bit Windows ignores both flags.
        for (const REGSAM view : {REGSAM(KEY_WOW64_32KEY), REGSAM(KEY_WOW64_64KEY)}) {
            if (std::optional<std::u16string> text = readInView(*address, view))
                return std::move(*text);
        }
        return {};
    }
};

} // namespace

std::unique_ptr<Registry> createMachineRegistry()
{
    return std::make_unique<WindowsRegistry>();
}

} // namespace vellumo::platform
