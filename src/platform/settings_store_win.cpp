// Windows settings store: the registry of the current user.
//
// A value lives at HKEY_CURRENT_USER\Software\<application>\<section>, named
// after its key, as REG_SZ. Registry key names ignore case, which gives the
// case-blind application names the interface promises.
//
// Plain Win32 and standard C++ only: this file is also cross-built with
// mingw-w64 and tested under wine.

#include "settings_store.h"

#include "windows_api.h"

#include <string_view>

namespace vellumo::platform {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide strings are UTF-16");

std::wstring toWide(std::u16string_view text)
{
    return {text.begin(), text.end()};
}

std::u16string fromWide(std::wstring_view text)
{
    return {text.begin(), text.end()};
}

// A name that would address some other key: empty, or splitting into subkeys.
bool isUsableKeyName(std::u16string_view name)
{
    return !name.empty() && name.find(u'\\') == std::u16string_view::npos
           && name.find(u'\0') == std::u16string_view::npos;
}

std::wstring subKeyPath(const std::u16string &application, const std::u16string &section)
{
    return L"Software\\" + toWide(application) + L"\\" + toWide(section);
}

class RegistrySettingsStore final : public SettingsStore {
public:
    std::optional<std::u16string> read(const std::u16string &application,
                                       const std::u16string &section,
                                       const std::u16string &key) const override
    {
        if (!isUsableKeyName(application) || !isUsableKeyName(section))
            return std::nullopt;
        const std::wstring subKey = subKeyPath(application, section);
        const std::wstring valueName = toWide(key);

        // Ask for the size, then fetch. Another process may lengthen the value
        // in between; ERROR_MORE_DATA then reports the new size, so try again,
        // a few times at most.
        DWORD bytes = 0;
        LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), valueName.c_str(),
                                      RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
        for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS; ++attempt) {
            std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
            bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
            status = RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), valueName.c_str(),
                                  RRF_RT_REG_SZ, nullptr, buffer.data(), &bytes);
            if (status == ERROR_MORE_DATA) {
                status = ERROR_SUCCESS;
                continue;
            }
            if (status != ERROR_SUCCESS)
                break;
            // The count includes the terminator RegGetValueW guarantees, and
            // whatever padding the writer stored.
            buffer.resize(bytes / sizeof(wchar_t));
            while (!buffer.empty() && buffer.back() == L'\0')
                buffer.pop_back();
            return fromWide(buffer);
        }
        return std::nullopt;
    }

    bool save(const std::u16string &application, const std::u16string &section,
              const std::u16string &key, const std::u16string &value) override
    {
        if (!isUsableKeyName(application) || !isUsableKeyName(section))
            return false;
        const std::wstring data = toWide(value);
        const std::size_t bytes = (data.size() + 1) * sizeof(wchar_t);
        if (bytes > MAXDWORD)
            return false;

        KeyHandle handle;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, subKeyPath(application, section).c_str(), 0,
                            nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                            handle.out(), nullptr)
            != ERROR_SUCCESS)
            return false;
        if (RegSetValueExW(handle.get(), toWide(key).c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE *>(data.c_str()),
                           static_cast<DWORD>(bytes))
            != ERROR_SUCCESS)
            return false;
        return RegFlushKey(handle.get()) == ERROR_SUCCESS;
    }
};

} // namespace

std::unique_ptr<SettingsStore> createUserSettingsStore()
{
    return std::make_unique<RegistrySettingsStore>();
}

} // namespace vellumo::platform
