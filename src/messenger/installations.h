#pragma once

#include <QString>

#include <array>

namespace vellumo {

class mdlRegistry;

// The two Messenger programs whose installation folders the registry names,
// in the order every command visits them.
struct MessengerInstallation {
    QString registryValue;
    QString programFile;
};

// A Windows folder and a name in it, joined with exactly one separator:
// installers record the folder with or without a trailing one.
QString joinWindowsPath(const QString &folder, const QString &name);

extern const std::array<MessengerInstallation, 2> messengerInstallations;

inline const QString backgroundFileName = QStringLiteral("lvback.gif");

// What a command requires of an installation before it acts on it.
enum class PresenceTest {
    ProgramFile, // its program file exists: installing the previewed skin
    Background,  // its lvback.gif exists: removing the background
    Folder,      // its folder exists: installing a picture from disk
};

// The local path of lvback.gif in the installation, when the registry names
// its folder and the presence test passes; empty otherwise.
QString backgroundTarget(const MessengerInstallation &installation, const mdlRegistry &registry, PresenceTest test);

} // namespace vellumo
