#pragma once

#include <QString>

namespace vellumo {

namespace platform {
class SettingsStore;
}

// The program's settings, section "Vellumo" of the per-user store.
// Two application names are in use; the store matches them without regard
// to case, so both reach the same values.
class Settings {
public:
    static inline const QString languageApplication = QStringLiteral("CorvathSoftware");
    static inline const QString mainApplication = QStringLiteral("CorVathSoftware");
    static inline const QString section = QStringLiteral("Vellumo");

    explicit Settings(platform::SettingsStore &store);

    // The stored text, or defaultValue when the key is absent. Writes nothing.
    QString read(const QString &application, const QString &key, const QString &defaultValue) const;
    // Stores the text at once. A store that cannot be written is logged;
    // the running program goes on with what it has.
    void save(const QString &application, const QString &key, const QString &value);

private:
    platform::SettingsStore &store_;
};

} // namespace vellumo
