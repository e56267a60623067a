#pragma once

#include "platform/messenger_windows.h"

#include <QString>

#include <functional>

namespace vellumo {

class CommandReport;
enum class PresenceTest;
struct TextTable;
namespace platform {
class Registry;
}

// Installs and removes Messenger's background, lvback.gif, in every
// Messenger installation the registry names, then asks Messenger to close.
// Each command reports its outcome; a failure ends it where it happened.
class BackgroundInstaller {
public:
    BackgroundInstaller(const platform::Registry &registry, platform::CloseHelper closeHelper, CommandReport &report,
                        const TextTable &texts);

    // Copies the picture to each installation whose program file exists.
    void install(const QString &picture);
    // Deletes lvback.gif where there is one.
    void remove();
    // Shows a picture chosen from disk, then copies it to each installation
    // whose folder exists.
    void installFromDisk(const QString &picture);

    // Asks the running Messenger windows to close; reports nothing.
    void closemsn();

private:
    // Every command's course: the change in each installation, in their fixed
    // order, that passes the test; then Messenger is asked to close and done
    // is reported. A failure ends the command where it happened; so does an
    // install that found no installation (53, file not found).
    void changeEach(PresenceTest test, const std::function<void(const QString &)> &change, const QString &done);

    const platform::Registry &registry_;
    platform::CloseHelper closeHelper_;
    CommandReport &report_;
    const TextTable &texts_;
};

} // namespace vellumo
