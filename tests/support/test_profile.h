#pragma once

// Every test runs in its own profile: a temporary program folder and its own
// per-user folders, so tests run in parallel and never touch the real home.

#include "app/environment.h"
#include "app/settings.h"
#include "download/transfer_policy.h"
#include "platform/registry.h"
#include "platform/settings_store_ini.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>

#include <ostream>

// Readable Qt values in test failures (a QStringList as a list of these).
inline void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QByteArray &bytes, std::ostream *os) { *os << '"' << bytes.toStdString() << '"'; }

namespace vellumo::test {

// Writes a file, and the folders it lies in; a failure ends the test program.
void writeFile(const QString &path, const QByteArray &content);

class TestProfile {
public:
    TestProfile();

    QString programFolder() const { return root_.filePath(QStringLiteral("program")); }
    QString configFolder() const { return root_.filePath(QStringLiteral("config")); }
    QString runtimeFolder() const { return root_.filePath(QStringLiteral("runtime")); }
    // A Wine prefix of the profile (WINEPREFIX), not booted: drive C: and
    // whatever registry file a test writes.
    QString prefixFolder() const { return root_.filePath(QStringLiteral("wine")); }
    QString driveC() const { return root_.filePath(QStringLiteral("wine/drive_c")); }

    Settings &settings() { return *settings_; }
    // The stored text of a key, as the store holds it; none when absent.
    std::optional<QString> stored(const QString &key) const;
    void store(const QString &key, const QString &value);

    // closeHelper: the program that closes Messenger's windows; none by default.
    Environment environment(const QString &commandLine = {}, const QString &closeHelper = {});
    // The environment's transfers, whose limits a test may shorten.
    TransferSession &transfers() { return transfers_; }

    // Writes a file, its path absolute or relative to the program folder, and
    // the folders it lies in.
    void writeProgramFile(const QString &name, const QByteArray &content)
    {
        writeFile(QDir(programFolder()).filePath(name), content);
    }

private:
    QTemporaryDir root_;
    std::unique_ptr<platform::IniSettingsStore> store_;
    std::unique_ptr<platform::Registry> registry_;
    std::unique_ptr<Settings> settings_;
    TransferSession transfers_;
};

// A language file of the given lines, Windows-1252, each ended with CR LF.
QByteArray languageFile(const QStringList &lines);
// Lines that name their number ("line 1" ...); 26 fill a language file.
QStringList numberedLines(int count = 26);

// What a file holds; "<missing>" when it cannot be read.
QByteArray contents(const QString &path);

// Lets deferred deletions happen, so closed dialogs are gone.
void processDeferredDeletes();

// Runs the event loop until the condition holds or the time is up; answers
// whether it held. Every wait in the tests is bounded by this.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 5000);

} // namespace vellumo::test
