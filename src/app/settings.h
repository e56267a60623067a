#pragma once

#include <QString>

#include <cstdint>

namespace vellumo {

namespace platform {
class SettingsStore;
}

// The program's settings, section "Vellumo" of the per-user store. Every key
// and its default is written here once; the rest of the program uses these
// accessors. Two application names are in use; the store matches them
// without regard to case, so both reach the same values. A store that cannot
// be written is logged, and the running program goes on with what it has.
class Settings {
public:
    static inline const QString languageApplication = QStringLiteral("CorvathSoftware");
    static inline const QString mainApplication = QStringLiteral("CorVathSoftware");
    static inline const QString section = QStringLiteral("Vellumo");
    // Where the catalogue lies when "base" names no other place.
    static inline const QString builtInBaseUrl = QStringLiteral("http://skins.corvath.example/msnskins/");

    explicit Settings(platform::SettingsStore &store);

    // "language": the file name of the chosen language file; empty for the
    // built-in texts.
    QString language() const;
    void setLanguage(const QString &fileName);

    // "algedaan": whether a language was chosen on an earlier run (the
    // stored text reads as the number 1; anything else does not).
    bool languageChosen() const;
    void setLanguageChosen();

    // "updatelist": the state of "download the list at start" (0, 1 or 2),
    // 1 when absent. Throws Failure TypeMismatch (13) when the stored text is
    // no number, Overflow (6) outside 16 bits.
    std::int16_t updateList() const;
    void setUpdateList(int state);

    // "path": the program folder, written at every start.
    void setProgramFolder(const QString &programFolder);

    // "base": the catalogue's base address, ending in "/".
    QString baseUrl() const;

private:
    // The stored text, or defaultValue when the key is absent. Writes nothing.
    QString read(const QString &application, const QString &key, const QString &defaultValue) const;
    void save(const QString &application, const QString &key, const QString &value);

    platform::SettingsStore &store_;
};

} // namespace vellumo
