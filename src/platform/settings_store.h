#pragma once

// Per-user settings store: string values addressed by application name,
// section and key. Application names are matched without regard to case.
//
// The interface is plain C++ so that the Windows backend compiles with
// nothing but the Win32 headers (it is cross-built and tested under wine).

#include <memory>
#include <optional>
#include <string>

namespace vellumo::platform {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored value, or nothing when the key is absent. Never writes.
    virtual std::optional<std::u16string> read(const std::u16string &application,
                                               const std::u16string &section,
                                               const std::u16string &key) const = 0;

    // Stores the value, creating what is needed and replacing an earlier one.
    // The value reaches the persistent store before this returns.
    // Answers false when the store could not be written.
    virtual bool save(const std::u16string &application, const std::u16string &section,
                      const std::u16string &key, const std::u16string &value) = 0;
};

// The store of the current user on this operating system.
std::unique_ptr<SettingsStore> createUserSettingsStore();

} // namespace vellumo::platform
