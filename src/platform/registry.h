#pragma once

// Reading the machine's registry, where Messenger records its installation
// folders. Plain C++, so that the Windows backend compiles with nothing but
// the Win32 headers.

#include <memory>
#include <string>

namespace vellumo::platform {

class Registry {
public:
    virtual ~Registry() = default;

    // The text of the value that valuePath names: a root abbreviation
    // ("HKLM", "HKCU", ...), the key path and the value name, joined by "\".
    // The 32-bit view is read first (Messenger is a 32-bit program), then the
    // native one. Answers "" for anything that fails or is not a string
    // (REG_SZ, or REG_EXPAND_SZ left unexpanded). Never throws.
    virtual std::u16string readValue(const std::u16string &valuePath) const = 0;
};

// The registry of this machine: the Win32 registry on Windows, the registry
// of the Wine prefix in WINEPREFIX (default ~/.wine) elsewhere.
std::unique_ptr<Registry> createMachineRegistry();

} // namespace vellumo::platform
