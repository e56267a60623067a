#pragma once

#include <QString>

namespace vellumo {

namespace platform {
class Registry;
}

// The registry reader of the Messenger commands.
class mdlRegistry {
public:
    explicit mdlRegistry(const platform::Registry &registry);

    // The text stored in the value that path names ("HKLM\...\Name"), or ""
    // when anything fails. Never fails itself.
    QString ReadRegistryValue(const QString &path) const;

private:
    const platform::Registry &registry_;
};

} // namespace vellumo
