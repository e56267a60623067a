#pragma once

#include "platform/messenger_windows.h"

#include <QString>

namespace vellumo {

class Settings;
class TransferSession;
namespace platform {
class Registry;
}

// What the program is given when it starts.
struct Environment {
    QString programFolder; // the folder holding the program, no trailing separator
    QString commandLine;   // the whole argument text
    Settings *settings = nullptr;
    const platform::Registry *registry = nullptr;
    // The helper program that closes Messenger's windows inside Wine; empty
    // where none is used.
    QString closeHelper;
    int closeHelperTimeLimitMs = platform::defaultHelperTimeLimitMs;
    // What every download of the program shares: limits, connections,
    // unreachable hosts.
    TransferSession *transfers = nullptr;
};

} // namespace vellumo
