#pragma once

#include "platform/settings_store.h"

#include <QString>

namespace vellumo::platform {

// Settings as INI files: <configFolder>/<application in lower case>/<section>.ini,
// keys at top level. Every save is written to disk before it returns.
class IniSettingsStore final : public SettingsStore {
public:
    // configFolder: the per-user configuration folder ($XDG_CONFIG_HOME, ~/.config).
    explicit IniSettingsStore(QString configFolder);

    std::optional<std::u16string> read(const std::u16string &application, const std::u16string &section,
                                       const std::u16string &key) const override;
    bool save(const std::u16string &application, const std::u16string &section, const std::u16string &key,
              const std::u16string &value) override;

    QString filePath(const QString &application, const QString &section) const;

private:
    QString configFolder_;
};

} // namespace vellumo::platform
