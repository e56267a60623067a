#pragma once

#include "platform/messenger_windows.h"

#include <QString>

namespace vellumo {

class Settings;
class TransferSession;
namespace platform {
class Registry;
}

// What the program is given when it starts. The windows need every part of it.
struct Environment {
    QString programFolder; // the folder holding the program, no trailing separator
    QString commandLine;   // the whole argument text
    Settings *settings = nullptr;
    const platform::Registry *registry = nullptr;
    // The helper program that closes Messenger's windows inside Wine.
    platform::CloseHelper closeHelper;
    // What every download of the program shares: limits, connections,
    // unreachable hosts.
    TransferSession *transfers = nullptr;
};

} // namespace vellumo
