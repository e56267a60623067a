#pragma once

#include <QString>

namespace vellumo {

class Settings;

// What the program is given when it starts.
struct Environment {
    QString programFolder; // the folder holding the program, no trailing separator
    QString commandLine;   // the whole argument text
    Settings *settings = nullptr;
};

} // namespace vellumo
